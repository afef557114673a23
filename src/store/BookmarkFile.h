#pragma once

#include "platform/DateTime.h"
#include "store/IniFile.h"

#include <QString>
#include <cstdint>
#include <memory>

namespace lintora {

// The result of a bookmark's last link check, stored as STATUS.
using CheckStatus = std::int32_t;

namespace CheckStatusCode {
constexpr CheckStatus NotChecked = 0;
constexpr CheckStatus Readable = 1;
constexpr CheckStatus Unreadable = -1;
constexpr CheckStatus CannotConnect = -2;
constexpr CheckStatus Checking = -3;
constexpr CheckStatus Unprocessable = -4;
} // namespace CheckStatusCode

// The six texts of a bookmark list row, exactly as the six getters would give them at that moment.
struct BookmarkRowTexts
{
    QString title;
    QString url;
    QString comment;
    QString statusText;
    QString responseText;
    QString checkDateText;
};

// One Internet shortcut (.URL) file, opened on a path for one command, list fill or check. Nothing is
// cached: getters read the file anew and setters write through at once. A record opened where no
// file existed stays "missing" for its whole life: getters give empty values, setters write nothing.
class TBMFile
{
public:
    explicit TBMFile(const QString& path);
    ~TBMFile();
    TBMFile(const TBMFile&) = delete;
    TBMFile& operator=(const TBMFile&) = delete;

    const QString& FilePath() const { return m_filePath; }

    QString GetTitle() const;
    bool Rename(const QString& newPath);

    QString GetURL() const;
    void SetURL(const QString& url);
    QString GetComment() const;
    void SetComment(const QString& text);
    CheckStatus GetStatus() const;
    void SetStatus(CheckStatus code);
    QString GetStatusText() const;
    TDateTime GetCheckDate() const;
    void SetCheckDate(TDateTime when);
    QString GetCheckDateText() const;
    double GetResponse() const;
    void SetResponse(double seconds);
    QString GetResponseText() const;

    static QString StatusText(CheckStatus code);

    // Opens the bookmark's address in the browser (only http, https, ftp and file addresses).
    void Open() const;
    // True when the text occurs, letter case aside, in the title, the URL or the comment.
    // Reads the file once.
    bool Matches(const QString& searchText) const;

    // Matches on content already read from the file at path; wanted is the search text in capitals.
    // Only the fields tried are decoded, in the order title, URL, comment.
    static bool MatchesContent(const QString& path, const QByteArray& content, const QString& wanted);

    // All six row texts from a single read of the file.
    BookmarkRowTexts ReadRow() const;
    // The same as TBMFile(path).ReadRow(), for filling many rows: the record's existence test and
    // the read are one opening of the file, so a row costs one open and one read.
    static BookmarkRowTexts ReadRowOf(const QString& path);

    // Text forms shared with the list's sort.
    static QString ResponseText(double seconds);   // "" for exactly 0, else "%0.1f"
    static QString CheckDateText(TDateTime when);  // "" for the null date-time

    static constexpr const char* PrivateSection = "Lintora";

private:
    bool present() const; // Ini was opened and a file exists at FilePath now

    std::unique_ptr<IniFile> Ini;
    QString m_filePath;
};

// Title of a shortcut path: the file name without its last extension.
QString titleOfPath(const QString& path);
// The file name part of a path (after its last "/").
QString fileNameOfPath(const QString& path);

} // namespace lintora
