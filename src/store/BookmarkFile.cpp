#include "store/BookmarkFile.h"

#include "platform/Cp932.h"
#include "platform/UrlOpener.h"

#include <charconv>

namespace lintora {

namespace {

// Sections and keys of a shortcut file. The private section's key really is "RESPONS".
const QByteArray DefaultSection = QByteArrayLiteral("DEFAULT");
const QByteArray BaseUrlKey = QByteArrayLiteral("BASEURL");
const QByteArray ShortcutSection = QByteArrayLiteral("InternetShortcut");
const QByteArray UrlKey = QByteArrayLiteral("URL");
const QByteArray LintoraSection = QByteArrayLiteral("Lintora");
const QByteArray CommentKey = QByteArrayLiteral("COMMENT");
const QByteArray StatusKey = QByteArrayLiteral("STATUS");
const QByteArray DateKey = QByteArrayLiteral("DATE");
const QByteArray ResponseKey = QByteArrayLiteral("RESPONS");

// What the stored values read as; shared by the getters and ReadRow so that both give the same.
using Value = std::optional<QByteArray>;

QString urlFrom(const Value& base, const Value& url)
{
    if (base && !base->isEmpty())
        return decodeCp932(*base);
    return url ? decodeCp932(*url) : QString();
}

QString textFrom(const Value& value)
{
    return value ? decodeCp932(*value) : QString();
}

CheckStatus statusFrom(const Value& value)
{
    return value ? ini::parseInteger(*value).value_or(0) : 0;
}

TDateTime checkDateFrom(const Value& value)
{
    TDateTime result = NullDateTime;
    if (!value || !parseDateTime(QString::fromLatin1(*value), result))
        return NullDateTime;
    return result;
}

double responseFrom(const Value& value)
{
    return value ? ini::parseFloat(*value).value_or(0.0) : 0.0;
}

QString urlIn(const QByteArray& content)
{
    const Value base = ini::lookup(content, DefaultSection, BaseUrlKey);
    if (base && !base->isEmpty())
        return urlFrom(base, std::nullopt);
    return urlFrom(base, ini::lookup(content, ShortcutSection, UrlKey));
}

QString commentIn(const QByteArray& content)
{
    return textFrom(ini::lookup(content, LintoraSection, CommentKey));
}

CheckStatus statusIn(const QByteArray& content)
{
    return statusFrom(ini::lookup(content, LintoraSection, StatusKey));
}

TDateTime checkDateIn(const QByteArray& content)
{
    return checkDateFrom(ini::lookup(content, LintoraSection, DateKey));
}

double responseIn(const QByteArray& content)
{
    return responseFrom(ini::lookup(content, LintoraSection, ResponseKey));
}

} // namespace

QString fileNameOfPath(const QString& path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

QString titleOfPath(const QString& path)
{
    const QString name = fileNameOfPath(path);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? name : name.left(dot);
}

TBMFile::TBMFile(const QString& path) : m_filePath(path)
{
    if (fileExists(path))
        Ini = std::make_unique<IniFile>(path, WriteMode::ReplaceExisting);
}

TBMFile::~TBMFile()
{
    if (Ini)
        Ini->flush();
}

bool TBMFile::present() const
{
    return Ini && fileExists(m_filePath);
}

QString TBMFile::GetTitle() const
{
    return present() ? titleOfPath(m_filePath) : QString();
}

bool TBMFile::Rename(const QString& newPath)
{
    if (!fileExists(m_filePath))
        return false;
    if (!renameNoReplace(m_filePath, newPath))
        return false;
    if (Ini)
        Ini->flush();
    m_filePath = newPath;
    Ini = std::make_unique<IniFile>(newPath, WriteMode::ReplaceExisting);
    return true;
}

QString TBMFile::GetURL() const
{
    return present() ? urlIn(Ini->readContent()) : QString();
}

void TBMFile::SetURL(const QString& url)
{
    if (present())
        Ini->writeString(QString::fromLatin1(DefaultSection), QString::fromLatin1(BaseUrlKey), url);
}

QString TBMFile::GetComment() const
{
    return present() ? commentIn(Ini->readContent()) : QString();
}

void TBMFile::SetComment(const QString& text)
{
    if (present())
        Ini->writeString(QString::fromLatin1(LintoraSection), QString::fromLatin1(CommentKey), text);
}

CheckStatus TBMFile::GetStatus() const
{
    return present() ? statusIn(Ini->readContent()) : 0;
}

void TBMFile::SetStatus(CheckStatus code)
{
    if (present())
        Ini->writeInteger(QString::fromLatin1(LintoraSection), QString::fromLatin1(StatusKey), code);
}

QString TBMFile::GetStatusText() const
{
    return StatusText(GetStatus());
}

TDateTime TBMFile::GetCheckDate() const
{
    return present() ? checkDateIn(Ini->readContent()) : NullDateTime;
}

void TBMFile::SetCheckDate(TDateTime when)
{
    if (present())
        Ini->writeDateTime(QString::fromLatin1(LintoraSection), QString::fromLatin1(DateKey), when);
}

QString TBMFile::GetCheckDateText() const
{
    return CheckDateText(GetCheckDate());
}

double TBMFile::GetResponse() const
{
    return present() ? responseIn(Ini->readContent()) : 0.0;
}

void TBMFile::SetResponse(double seconds)
{
    if (present())
        Ini->writeFloat(QString::fromLatin1(LintoraSection), QString::fromLatin1(ResponseKey), seconds);
}

QString TBMFile::GetResponseText() const
{
    return ResponseText(GetResponse());
}

QString TBMFile::StatusText(CheckStatus code)
{
    switch (code) {
    case CheckStatusCode::NotChecked:
        return QStringLiteral("未調査");
    case CheckStatusCode::Readable:
        return QStringLiteral("読込可能");
    case CheckStatusCode::Unreadable:
        return QStringLiteral("読込不可");
    case CheckStatusCode::CannotConnect:
        return QStringLiteral("接続不可");
    case CheckStatusCode::Checking:
        return QStringLiteral("調査中...");
    case CheckStatusCode::Unprocessable:
        return QStringLiteral("処理不可");
    default:
        return QString();
    }
}

QString TBMFile::ResponseText(double seconds)
{
    if (seconds == 0)
        return QString();
    // "%0.1f", but with "." whatever the C locale says.
    char buffer[400];
    const auto [end, error] =
        std::to_chars(buffer, buffer + sizeof buffer, seconds, std::chars_format::fixed, 1);
    if (error != std::errc())
        return QString();
    return QString::fromLatin1(buffer, end - buffer);
}

QString TBMFile::CheckDateText(TDateTime when)
{
    return when == NullDateTime ? QString() : formatDateTime(when);
}

void TBMFile::Open() const
{
    // The browser gets the bookmark's address itself; an empty one opens nothing.
    openInBrowser(GetURL());
}

bool TBMFile::Matches(const QString& searchText) const
{
    const QString wanted = searchText.toUpper();
    if (wanted.isEmpty() || !present())
        return false;
    return MatchesContent(m_filePath, Ini->readContent(), wanted);
}

bool TBMFile::MatchesContent(const QString& path, const QByteArray& content, const QString& wanted)
{
    if (wanted.isEmpty())
        return false;
    if (titleOfPath(path).toUpper().contains(wanted))
        return true;
    const std::vector<Value> values =
        ini::lookupMany(content, {{"DEFAULT", "BASEURL"}, {"InternetShortcut", "URL"}, {"Lintora", "COMMENT"}});
    if (urlFrom(values[0], values[1]).toUpper().contains(wanted))
        return true;
    return textFrom(values[2]).toUpper().contains(wanted);
}

BookmarkRowTexts TBMFile::ReadRow() const
{
    if (!Ini) {
        BookmarkRowTexts row;
        row.statusText = StatusText(CheckStatusCode::NotChecked);
        return row;
    }
    return ReadRowOf(m_filePath);
}

BookmarkRowTexts TBMFile::ReadRowOf(const QString& path)
{
    BookmarkRowTexts row;
    QByteArray content;
    // One read answers the existence test too; only a file that exists but cannot be read needs
    // the separate test, to tell it from a missing one.
    if (!readWholeFile(path, content) && !fileExists(path)) {
        row.statusText = StatusText(CheckStatusCode::NotChecked);
        return row;
    }
    const std::vector<Value> values = ini::lookupMany(content, {{"DEFAULT", "BASEURL"},
                                                                {"InternetShortcut", "URL"},
                                                                {"Lintora", "COMMENT"},
                                                                {"Lintora", "STATUS"},
                                                                {"Lintora", "RESPONS"},
                                                                {"Lintora", "DATE"}});
    row.title = titleOfPath(path);
    row.url = urlFrom(values[0], values[1]);
    row.comment = textFrom(values[2]);
    row.statusText = StatusText(statusFrom(values[3]));
    row.responseText = ResponseText(responseFrom(values[4]));
    row.checkDateText = CheckDateText(checkDateFrom(values[5]));
    return row;
}

} // namespace lintora
