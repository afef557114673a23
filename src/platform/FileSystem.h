#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <stdexcept>
#include <vector>

namespace lintora {

// Windows file attribute values, as the folder and shortcut rules speak of them.
namespace FileAttribute {
constexpr std::uint32_t ReadOnly = 1;
constexpr std::uint32_t Hidden = 2;
constexpr std::uint32_t System = 4;
constexpr std::uint32_t VolumeLabel = 8;
constexpr std::uint32_t Directory = 16;
constexpr std::uint32_t Archive = 32;
constexpr std::uint32_t ReparsePoint = 0x400; // a symbolic link, whatever it points to
} // namespace FileAttribute

struct DirEntry
{
    QString name;              // the entry's name, without path
    std::uint32_t attributes;  // FileAttribute bits, from lstat (links are never followed)
    bool isFileOrLinkToFile;   // a regular file, or a symbolic link that resolves to one
};

enum class EnumerateMode {
    Folders,   // every entry except hidden ones ("*" asking for folders)
    Shortcuts, // entries whose name ends in ".URL", any letter case ("*.URL" asking for everything)
};

// Lists a folder's entries in the order NTFS delivers them: names compared by their Unicode upper
// case, then ordinally. "." and ".." are never delivered. Returns false (and an empty list) when the
// folder cannot be opened.
bool enumerateFolder(const QString& folder, EnumerateMode mode, std::vector<DirEntry>& entries);

// NTFS order of two names.
bool ntfsNameLess(const QString& a, const QString& b);

// The scan's fast forms of enumerateFolder, in the same order: only the names that the folder rule
// (a real directory, not hidden, not read-only, not a link) or the shortcut rule (a name ending in
// ".URL" that is a file or a link to one) takes. They ask the file system no more than the rule
// needs: the entry type from the directory listing, lstat only where it can change the answer.
// False (and no names) when the folder cannot be opened.
bool listSubfolderNames(const QString& folder, QStringList& names);
bool listShortcutNames(const QString& folder, QStringList& names);

// A regular file, or a symbolic link to one, exists at path. A folder does not count.
bool fileExists(const QString& path);
// A directory (or a symbolic link to one) exists at path.
bool directoryExists(const QString& path);

// Renames or moves a file or folder, never replacing an existing target. False when the target
// exists, the source is missing, a folder would move into its own subtree, or the file system
// refuses.
bool renameNoReplace(const QString& from, const QString& to);

// A name that a rename may give: not empty of meaning for a path ("." or ".."), and without "/".
bool isPlainName(const QString& name);

class WriteError : public std::runtime_error
{
public:
    explicit WriteError(const QString& path, const QString& message);
    QString path() const { return m_path; }
    QString message() const { return m_message; }

private:
    QString m_path;
    QString m_message;
};

enum class WriteMode {
    CreateOrReplace, // the settings file: created when missing
    ReplaceExisting, // a shortcut file: never re-created once it is gone
};

enum class WriteResult { Written, TargetMissing };

// Reads a whole file. Returns false when it cannot be opened.
bool readWholeFile(const QString& path, QByteArray& content);

// Replaces a file's content as a whole: a temporary file beside it, then a rename over the
// original, keeping its permission bits. A file whose permission bits grant no write is refused,
// even for root. On any failure the original stays byte for byte as it was and WriteError is
// thrown with the message "<path> に書き込めません". In ReplaceExisting mode a file that has vanished
// is not re-created: the result is TargetMissing and nothing is written.
WriteResult writeFileSafely(const QString& path, const QByteArray& content, WriteMode mode);

// Removes files and folders (with their whole subtrees) permanently. Symbolic links are removed as
// links, never followed. Returns the paths that could not be removed completely.
QStringList removePermanently(const QStringList& paths);

// The user's home directory and logon name, from the password database.
QString homeDirectory();
QString logonName();
// The folder that holds the running executable.
QString executableFolder();

} // namespace lintora
