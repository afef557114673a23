// The shortcut file record: getters, setters, texts, rename, search, open, and the one-read row.

#include "store/BookmarkFile.h"

#include "TempFavorites.h"
#include "platform/Cp932.h"
#include "platform/UrlOpener.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace lintora;
using lintora::test::TempFavorites;

namespace {

TDateTime dateTime(int y, int mo, int d, int h = 0, int mi = 0, int s = 0)
{
    TDateTime v = 0;
    EXPECT_TRUE(encodeDateTime({y, mo, d, h, mi, s, 0}, v));
    return v;
}

// The six texts through the six getters, for comparison with ReadRow.
BookmarkRowTexts rowByGetters(const TBMFile& file)
{
    return {file.GetTitle(),      file.GetURL(),          file.GetComment(),
            file.GetStatusText(), file.GetResponseText(), file.GetCheckDateText()};
}

void expectSameRow(const BookmarkRowTexts& a, const BookmarkRowTexts& b, const std::string& what)
{
    EXPECT_EQ(a.title, b.title) << what;
    EXPECT_EQ(a.url, b.url) << what;
    EXPECT_EQ(a.comment, b.comment) << what;
    EXPECT_EQ(a.statusText, b.statusText) << what;
    EXPECT_EQ(a.responseText, b.responseText) << what;
    EXPECT_EQ(a.checkDateText, b.checkDateText) << what;
}

class RecordingOpener
{
public:
    RecordingOpener() { UrlOpener::setInstance(&opener); }
    ~RecordingOpener() { UrlOpener::setInstance(nullptr); }
    RecordingUrlOpener opener;
};

} // namespace

TEST(Bookmark, AMissingFileGivesEmptyValuesAndIsNeverCreated)
{
    TempFavorites fav;
    const QString path = fav.root() + QStringLiteral("/none.URL");
    RecordingOpener recorder;
    {
        TBMFile file(path);
        // A file that appears after the record was opened changes nothing for this record.
        for (bool appeared : {false, true}) {
            if (appeared)
                fav.addShortcut(QString(), QStringLiteral("none"), QStringLiteral("http://late/"),
                                QStringLiteral("c"));
            const QByteArray onDisk = TempFavorites::readBytes(path);
            EXPECT_EQ(file.GetTitle(), QString());
            EXPECT_EQ(file.GetURL(), QString());
            EXPECT_EQ(file.GetComment(), QString());
            EXPECT_EQ(file.GetStatus(), 0);
            EXPECT_EQ(file.GetStatusText(), QStringLiteral("未調査"));
            EXPECT_EQ(file.GetCheckDate(), NullDateTime);
            EXPECT_EQ(file.GetCheckDateText(), QString());
            EXPECT_EQ(file.GetResponse(), 0.0);
            EXPECT_EQ(file.GetResponseText(), QString());
            EXPECT_FALSE(file.Matches(QStringLiteral("none")));
            EXPECT_FALSE(file.Matches(QStringLiteral("late")));
            expectSameRow(file.ReadRow(), rowByGetters(file), "missing");
            file.SetURL(QStringLiteral("http://x/"));
            file.SetComment(QStringLiteral("x"));
            file.SetStatus(1);
            file.SetCheckDate(dateTime(2026, 1, 1));
            file.SetResponse(1.5);
            EXPECT_EQ(TempFavorites::readBytes(path), onDisk);
            EXPECT_EQ(QFileInfo::exists(path), appeared);
            file.Open();
        }
        EXPECT_FALSE(
            TBMFile(fav.root() + QStringLiteral("/other.URL")).Rename(fav.root() + QStringLiteral("/x.URL")));
    }
    EXPECT_TRUE(recorder.opener.opened.isEmpty());
}

TEST(Bookmark, AFileDeletedWhileOpenReadsEmptyAndIsNotBroughtBack)
{
    TempFavorites fav;
    const QString path =
        fav.addShortcut(QString(), QStringLiteral("gone"), QStringLiteral("http://a/"), QStringLiteral("c"));
    TBMFile file(path);
    EXPECT_EQ(file.GetURL(), QStringLiteral("http://a/"));
    ASSERT_TRUE(QFile::remove(path));
    EXPECT_EQ(file.GetURL(), QString());
    EXPECT_EQ(file.GetTitle(), QString());
    file.SetStatus(1);
    file.SetComment(QStringLiteral("again"));
    EXPECT_FALSE(QFileInfo::exists(path));
    EXPECT_EQ(file.ReadRow().title, QString());
    // A folder of that name is no file either.
    QDir().mkpath(path);
    EXPECT_EQ(file.GetTitle(), QString());
    file.SetStatus(1);
    EXPECT_TRUE(QFileInfo(path).isDir());
}

TEST(Bookmark, TheUrlComesFromBaseurlElseFromTheShortcutSection)
{
    struct Case
    {
        const char* name;
        QByteArray content;
        const char* url;
    };
    const Case cases[] = {
        {"both", "[DEFAULT]\r\nBASEURL=http://base/\r\n[InternetShortcut]\r\nURL=http://url/\r\n",
         "http://base/"},
        {"empty BASEURL", "[DEFAULT]\r\nBASEURL=\r\n[InternetShortcut]\r\nURL=http://url/\r\n",
         "http://url/"},
        {"blank BASEURL", "[DEFAULT]\r\nBASEURL=   \r\n[InternetShortcut]\r\nURL=http://url/\r\n",
         "http://url/"},
        {"no BASEURL", "[InternetShortcut]\r\nURL=http://url/\r\n", "http://url/"},
        {"neither", "[InternetShortcut]\r\nIconIndex=0\r\n", ""},
        {"empty file", "", ""},
    };
    TempFavorites fav;
    for (const Case& c : cases) {
        const QString path = fav.addFile(QStringLiteral("u.URL"), c.content);
        EXPECT_EQ(TBMFile(path).GetURL(), QString::fromUtf8(c.url)) << c.name;
    }
}

TEST(Bookmark, SetUrlWritesBaseurlOnly)
{
    TempFavorites fav;
    const QByteArray original("[InternetShortcut]\r\nURL=http://old/\r\nIconIndex=0\r\n");
    const QString path = fav.addFile(QStringLiteral("u.URL"), original);
    TBMFile file(path);
    file.SetURL(QStringLiteral("http://new/"));
    EXPECT_EQ(TempFavorites::readBytes(path), original + "[DEFAULT]\r\nBASEURL=http://new/\r\n");
    EXPECT_EQ(file.GetURL(), QStringLiteral("http://new/"));
    file.SetURL(QString());
    EXPECT_EQ(TempFavorites::readBytes(path), original + "[DEFAULT]\r\nBASEURL=\r\n");
    EXPECT_EQ(file.GetURL(), QStringLiteral("http://old/"));
}

TEST(Bookmark, WithoutThePrivateSectionEverythingIsUncheckedAndTheFirstSetterAddsIt)
{
    TempFavorites fav;
    const QByteArray original("[InternetShortcut]\r\nURL=http://a/\r\n");
    const QString path = fav.addFile(QStringLiteral("a.URL"), original);
    TBMFile file(path);
    expectSameRow(file.ReadRow(),
                  {QStringLiteral("a"), QStringLiteral("http://a/"), QString(), QStringLiteral("未調査"),
                   QString(), QString()},
                  "fresh");
    file.SetStatus(CheckStatusCode::Readable);
    file.SetCheckDate(dateTime(2026, 12, 11, 9, 5, 3));
    file.SetResponse(0.351);
    file.SetComment(QStringLiteral("日本語のコメント～"));
    EXPECT_EQ(TempFavorites::readBytes(path),
              original + "[Lintora]\r\nSTATUS=1\r\nDATE=2026/12/11 9:05:03\r\nRESPONS=0.351\r\nCOMMENT=" +
                  encodeCp932(QStringLiteral("日本語のコメント～")) + "\r\n");
    expectSameRow(file.ReadRow(),
                  {QStringLiteral("a"), QStringLiteral("http://a/"), QStringLiteral("日本語のコメント～"),
                   QStringLiteral("読込可能"), QStringLiteral("0.4"), QStringLiteral("2026/12/11 9:05:03")},
                  "after setters");
    expectSameRow(rowByGetters(file), file.ReadRow(), "getters");

    // Rewriting keeps every line in place.
    file.SetStatus(CheckStatusCode::CannotConnect);
    EXPECT_EQ(TempFavorites::readBytes(path),
              original + "[Lintora]\r\nSTATUS=-2\r\nDATE=2026/12/11 9:05:03\r\nRESPONS=0.351\r\nCOMMENT=" +
                  encodeCp932(QStringLiteral("日本語のコメント～")) + "\r\n");
}

TEST(Bookmark, StoredValuesReadAsTheirTexts)
{
    struct Case
    {
        QByteArray lintoraLines;
        const char* statusText;
        const char* responseText;
        const char* dateText;
    };
    const Case cases[] = {
        {"STATUS=7\r\n", "", "", ""},
        {"STATUS=0x1\r\n", "読込可能", "", ""},
        {"STATUS=word\r\n", "未調査", "", ""},
        {"STATUS=-1\r\n", "読込不可", "", ""},
        {"STATUS=-3\r\n", "調査中...", "", ""},
        {"STATUS=-4\r\n", "処理不可", "", ""},
        {"RESPONS=0\r\n", "未調査", "", ""},
        {"RESPONS=0.04\r\n", "未調査", "0.0", ""},
        {"RESPONS=2.345\r\n", "未調査", "2.3", ""},
        {"RESPONS=12\r\n", "未調査", "12.0", ""},
        {"RESPONS=-0.25\r\n", "未調査", "-0.2", ""},
        {"RESPONS=1E-5\r\n", "未調査", "0.0", ""},
        {"RESPONS=1,5\r\n", "未調査", "", ""},
        {"DATE=2026/12/11\r\n", "未調査", "", "2026/12/11"},
        {"DATE=2026/12/11 0:00:00\r\n", "未調査", "", "2026/12/11"},
        {"DATE=2026/1/2 9:05\r\n", "未調査", "", "2026/01/02 9:05:00"},
        {"DATE=12/11/2026\r\n", "未調査", "", ""},
        {"DATE=\r\n", "未調査", "", ""},
    };
    TempFavorites fav;
    for (const Case& c : cases) {
        const QString path = fav.addShortcut(QString(), QStringLiteral("t"), QStringLiteral("http://t/"),
                                             QString(), c.lintoraLines);
        const TBMFile file(path);
        const BookmarkRowTexts row = file.ReadRow();
        EXPECT_EQ(row.statusText, QString::fromUtf8(c.statusText)) << c.lintoraLines.constData();
        EXPECT_EQ(row.responseText, QString::fromUtf8(c.responseText)) << c.lintoraLines.constData();
        EXPECT_EQ(row.checkDateText, QString::fromUtf8(c.dateText)) << c.lintoraLines.constData();
        expectSameRow(row, rowByGetters(file), c.lintoraLines.toStdString());
    }
}

TEST(Bookmark, ACheckAtMidnightStoresTheDateAloneAndReadsBackAsMidnight)
{
    TempFavorites fav;
    const QString path = fav.addShortcut(QString(), QStringLiteral("m"), QStringLiteral("http://m/"));
    TBMFile file(path);
    file.SetCheckDate(dateTime(2026, 12, 11) + 0.4 / 86400.0); // 0.4 s past midnight
    EXPECT_TRUE(TempFavorites::readBytes(path).endsWith("[Lintora]\r\nDATE=2026/12/11\r\n"));
    EXPECT_EQ(file.GetCheckDate(), dateTime(2026, 12, 11));
    EXPECT_EQ(file.GetCheckDateText(), QStringLiteral("2026/12/11"));
}

TEST(Bookmark, StatusTextsAndResponseTexts)
{
    EXPECT_EQ(TBMFile::StatusText(0), QStringLiteral("未調査"));
    EXPECT_EQ(TBMFile::StatusText(1), QStringLiteral("読込可能"));
    EXPECT_EQ(TBMFile::StatusText(-1), QStringLiteral("読込不可"));
    EXPECT_EQ(TBMFile::StatusText(-2), QStringLiteral("接続不可"));
    EXPECT_EQ(TBMFile::StatusText(-3), QStringLiteral("調査中..."));
    EXPECT_EQ(TBMFile::StatusText(-4), QStringLiteral("処理不可"));
    EXPECT_EQ(TBMFile::StatusText(2), QString());
    EXPECT_EQ(TBMFile::StatusText(-5), QString());
    EXPECT_EQ(TBMFile::ResponseText(0.05), QStringLiteral("0.1"));
    EXPECT_EQ(TBMFile::ResponseText(0.25), QStringLiteral("0.2")); // exact binary half: to even, as printf
    EXPECT_EQ(TBMFile::ResponseText(30.0), QStringLiteral("30.0"));
    EXPECT_EQ(TBMFile::ResponseText(1e20), QStringLiteral("100000000000000000000.0"));
    EXPECT_EQ(TBMFile::CheckDateText(NullDateTime), QString());
}

TEST(Bookmark, TheTitleIsTheFileNameWithoutItsLastExtension)
{
    TempFavorites fav;
    const std::pair<const char*, const char*> cases[] = {
        {"a.b.URL", "a.b"}, {"x.url", "x"}, {".URL", ""}, {"日本語.URL", "日本語"}, {"noext", "noext"}};
    for (const auto& [name, title] : cases) {
        const QString path = fav.addFile(QString::fromUtf8(name), "[InternetShortcut]\r\nURL=http://t/\r\n");
        EXPECT_EQ(TBMFile(path).GetTitle(), QString::fromUtf8(title)) << name;
        EXPECT_EQ(TBMFile(path).ReadRow().title, QString::fromUtf8(title)) << name;
        EXPECT_EQ(titleOfPath(path), QString::fromUtf8(title)) << name;
    }
    EXPECT_EQ(fileNameOfPath(QStringLiteral("/a/b.c/d.URL")), QStringLiteral("d.URL"));
}

TEST(Bookmark, RenameMovesTheFileButNeverOntoAnother)
{
    TempFavorites fav;
    const QString a = fav.addShortcut(QString(), QStringLiteral("a"), QStringLiteral("http://a/"));
    const QString b = fav.addShortcut(QString(), QStringLiteral("b"), QStringLiteral("http://b/"));
    const QByteArray aBytes = TempFavorites::readBytes(a);
    const QByteArray bBytes = TempFavorites::readBytes(b);
    TBMFile file(a);
    EXPECT_FALSE(file.Rename(b));
    EXPECT_EQ(file.FilePath(), a);
    EXPECT_EQ(TempFavorites::readBytes(a), aBytes);
    EXPECT_EQ(TempFavorites::readBytes(b), bBytes);
    EXPECT_FALSE(file.Rename(fav.root() + QStringLiteral("/nofolder/c.URL")));
    EXPECT_EQ(file.GetURL(), QStringLiteral("http://a/"));

    const QString c = fav.root() + QStringLiteral("/新しい名前.URL");
    EXPECT_TRUE(file.Rename(c));
    EXPECT_EQ(file.FilePath(), c);
    EXPECT_FALSE(QFileInfo::exists(a));
    EXPECT_EQ(file.GetTitle(), QStringLiteral("新しい名前"));
    file.SetComment(QStringLiteral("moved"));
    EXPECT_EQ(TBMFile(c).GetComment(), QStringLiteral("moved"));

    // Renaming a record whose file is gone fails.
    TBMFile gone(b);
    QFile::remove(b);
    EXPECT_FALSE(gone.Rename(fav.root() + QStringLiteral("/d.URL")));
}

TEST(Bookmark, MatchesLooksInTitleUrlAndCommentLetterCaseAside)
{
    TempFavorites fav;
    const QString path =
        fav.addShortcut(QString(), QStringLiteral("Ｔｉｔｌｅ日本"), QStringLiteral("http://example.com/ABC"),
                        QStringLiteral("a Comment in ελληνικα"));
    const TBMFile file(path);
    for (const char* hit : {"abc", "ABC", "ｔｉｔｌｅ", "日本", "comment", "EXAMPLE.COM/", "ΕΛΛΗΝΙΚΑ", "Ελλ"})
        EXPECT_TRUE(file.Matches(QString::fromUtf8(hit))) << hit;
    for (const char* miss : {"", "xyz", "title", "本日"})
        EXPECT_FALSE(file.Matches(QString::fromUtf8(miss))) << miss;
    // A trail byte that looks like an ASCII letter is no letter: "ｂ" (82 82) must not match "B".
    const QString sjis =
        fav.addShortcut(QString(), QStringLiteral("t"), QStringLiteral("http://x/"), QStringLiteral("ｂ"));
    EXPECT_FALSE(TBMFile(sjis).Matches(QStringLiteral("B")));
}

TEST(Bookmark, ALongCommentReadsAsItsFirst2047Bytes)
{
    TempFavorites fav;
    const QString path = fav.addShortcut(QString(), QStringLiteral("l"), QStringLiteral("http://l/"));
    TBMFile file(path);
    const QString comment(3000, QLatin1Char('c'));
    file.SetComment(comment);
    EXPECT_EQ(file.GetComment(), comment.left(2047));
    EXPECT_TRUE(TempFavorites::readBytes(path).contains(comment.toLatin1()));
}

TEST(Bookmark, AReadOnlyShortcutRefusesWritesWithTheMessage)
{
    TempFavorites fav;
    const QString path =
        fav.addShortcut(QString(), QStringLiteral("ro"), QStringLiteral("http://ro/"), QStringLiteral("old"));
    const QByteArray original = TempFavorites::readBytes(path);
    TempFavorites::makeReadOnly(path);
    TBMFile file(path);
    const std::function<void()> setters[] = {
        [&] { file.SetURL(QStringLiteral("http://new/")); },
        [&] { file.SetComment(QStringLiteral("new")); },
        [&] { file.SetStatus(1); },
        [&] { file.SetCheckDate(dateTime(2026, 1, 1)); },
        [&] { file.SetResponse(1.0); },
    };
    for (const auto& set : setters) {
        try {
            set();
            ADD_FAILURE() << "a write to a read-only file went through";
        } catch (const WriteError& e) {
            EXPECT_EQ(e.message(), path + QStringLiteral(" に書き込めません"));
        }
    }
    EXPECT_EQ(TempFavorites::readBytes(path), original);
    EXPECT_EQ(file.GetComment(), QStringLiteral("old"));
}

TEST(Bookmark, TwoRecordsOnOneFileSeeEachOthersWrites)
{
    TempFavorites fav;
    const QString path = fav.addShortcut(QString(), QStringLiteral("s"), QStringLiteral("http://s/"));
    TBMFile first(path);
    TBMFile second(path);
    first.SetComment(QStringLiteral("from first"));
    EXPECT_EQ(second.GetComment(), QStringLiteral("from first"));
    second.SetStatus(-1);
    EXPECT_EQ(first.GetStatusText(), QStringLiteral("読込不可"));
}

TEST(Bookmark, ALinkedShortcutStaysALink)
{
    TempFavorites fav;
    const QString target =
        fav.addShortcut(QStringLiteral("store"), QStringLiteral("t"), QStringLiteral("http://t/"));
    const QString link = fav.root() + QStringLiteral("/l.URL");
    ASSERT_TRUE(QFile::link(target, link));
    TBMFile file(link);
    file.SetComment(QStringLiteral("via link"));
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(TBMFile(target).GetComment(), QStringLiteral("via link"));
    EXPECT_EQ(file.GetTitle(), QStringLiteral("l"));
}

TEST(Bookmark, OpenHandsTheUrlToTheBrowser)
{
    TempFavorites fav;
    RecordingOpener recorder;
    TBMFile(fav.addShortcut(QString(), QStringLiteral("w"), QStringLiteral("https://example.com/a?b=c")))
        .Open();
    TBMFile(fav.addShortcut(QString(), QStringLiteral("j"), QStringLiteral("javascript:alert(1)"))).Open();
    TBMFile(fav.addFile(QStringLiteral("e.URL"), "[InternetShortcut]\r\n")).Open();
    ASSERT_EQ(recorder.opener.opened.size(), 1);
    EXPECT_EQ(recorder.opener.opened[0].toString(), QStringLiteral("https://example.com/a?b=c"));
}

TEST(Bookmark, ReadRowGivesWhatTheGettersGiveEvenForOddFiles)
{
    const QByteArray files[] = {
        QByteArray("\x00\x01\x02[Lintora]\x00\r\nCOMMENT=\x81\r\n", 26),
        "\xEF\xBB\xBF[DEFAULT]\r\nBASEURL=\"http://q/\"\r\n[Lintora]\r\nSTATUS= 0x01 \r\nRESPONS= 3.25\r\n",
        "[lintora]\nstatus=1\ncomment='x'\ndate=2026/12/11 23:59:59\n[Lintora]\nSTATUS=-1\n",
        "[InternetShortcut]\r\nURL=" + QByteArray(5000, 'u') + "\r\n",
        "no sections at all",
        "",
    };
    TempFavorites fav;
    int n = 0;
    for (const QByteArray& content : files) {
        const QString path = fav.addFile(QStringLiteral("odd%1.URL").arg(n++), content);
        const TBMFile file(path);
        expectSameRow(file.ReadRow(), rowByGetters(file), std::to_string(n));
        expectSameRow(TBMFile::ReadRowOf(path), rowByGetters(file), std::to_string(n));
    }
    expectSameRow(TBMFile::ReadRowOf(fav.root() + QStringLiteral("/none.URL")),
                  {QString(), QString(), QString(), QStringLiteral("未調査"), QString(), QString()},
                  "missing");
    const TBMFile quoted(fav.root() + QStringLiteral("/odd1.URL"));
    EXPECT_EQ(quoted.GetURL(), QStringLiteral("http://q/"));
    EXPECT_EQ(quoted.GetStatusText(), QStringLiteral("読込可能"));
    EXPECT_EQ(quoted.GetResponseText(), QStringLiteral("3.2"));
    const TBMFile lowercase(fav.root() + QStringLiteral("/odd2.URL"));
    EXPECT_EQ(lowercase.GetStatusText(), QStringLiteral("読込可能"));
    EXPECT_EQ(lowercase.GetComment(), QStringLiteral("x"));
}
