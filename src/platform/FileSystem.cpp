#include "platform/FileSystem.h"

#include <QCoreApplication>
#include <QFile>
#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lintora {

namespace {

QByteArray nativePath(const QString& path)
{
    return QFile::encodeName(path);
}

// File names are UTF-8 bytes. A name that is not valid UTF-8 could not be turned back into the same
// bytes, so such an entry would be unreachable by its path; it is left out of every listing.
bool nameFromBytes(const char* bytes, QString& name)
{
    const std::size_t length = std::strlen(bytes);
    bool ascii = true;
    for (std::size_t i = 0; i < length && ascii; ++i)
        ascii = static_cast<unsigned char>(bytes[i]) < 0x80;
    name = QString::fromUtf8(bytes, qsizetype(length));
    if (ascii)
        return true;
    const QByteArray back = name.toUtf8();
    return back.size() == qsizetype(length) && std::memcmp(back.constData(), bytes, length) == 0;
}

bool isDotOrDotDot(const char* name)
{
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

bool endsWithUrlExtension(const char* name)
{
    const std::size_t length = std::strlen(name);
    if (length < 4)
        return false;
    const char* e = name + length - 4;
    return e[0] == '.' && (e[1] | 0x20) == 'u' && (e[2] | 0x20) == 'r' && (e[3] | 0x20) == 'l';
}

// Closes a DIR* on every way out.
struct DirCloser
{
    DIR* dir;
    ~DirCloser()
    {
        if (dir)
            ::closedir(dir);
    }
};

DIR* openFolder(const QString& folder)
{
    const QByteArray path = nativePath(folder);
    if (path.isEmpty())
        return nullptr;
    // O_NOFOLLOW is not used: the folder itself was reached through the folder rule or given by the
    // user; only entries inside it are never followed.
    const int fd = ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    DIR* dir = ::fdopendir(fd);
    if (!dir)
        ::close(fd);
    return dir;
}

void sortNtfs(std::vector<QString>& names)
{
    std::sort(names.begin(), names.end(), ntfsNameLess);
}

bool isLinkToRegularFile(int dirFd, const char* name)
{
    struct stat target
    {
    };
    return ::fstatat(dirFd, name, &target, 0) == 0 && S_ISREG(target.st_mode);
}

} // namespace

bool ntfsNameLess(const QString& a, const QString& b)
{
    const qsizetype n = std::min(a.size(), b.size());
    const QChar* pa = a.constData();
    const QChar* pb = b.constData();
    for (qsizetype i = 0; i < n; ++i) {
        char16_t ca = pa[i].unicode();
        char16_t cb = pb[i].unicode();
        if (ca == cb)
            continue;
        // NTFS folds each UTF-16 unit through its upper-case table; no full case mapping (ß stays).
        ca = ca < 0x80 ? (ca >= 'a' && ca <= 'z' ? char16_t(ca - 32) : ca) : QChar::toUpper(ca);
        cb = cb < 0x80 ? (cb >= 'a' && cb <= 'z' ? char16_t(cb - 32) : cb) : QChar::toUpper(cb);
        if (ca != cb)
            return ca < cb;
    }
    if (a.size() != b.size())
        return a.size() < b.size();
    // Equal but for letter case (possible on Linux): a fixed order all the same.
    return QStringView(a).compare(QStringView(b)) < 0;
}

bool enumerateFolder(const QString& folder, EnumerateMode mode, std::vector<DirEntry>& entries)
{
    entries.clear();
    DirCloser closer{openFolder(folder)};
    if (!closer.dir)
        return false;
    const int dirFd = ::dirfd(closer.dir);
    while (const dirent* e = ::readdir(closer.dir)) {
        const char* raw = e->d_name;
        if (isDotOrDotDot(raw))
            continue;
        const bool hidden = raw[0] == '.';
        if (mode == EnumerateMode::Folders && hidden)
            continue;
        if (mode == EnumerateMode::Shortcuts && !endsWithUrlExtension(raw))
            continue;
        struct stat st
        {
        };
        if (::fstatat(dirFd, raw, &st, AT_SYMLINK_NOFOLLOW) != 0)
            continue; // removed since it was listed
        DirEntry entry;
        if (!nameFromBytes(raw, entry.name))
            continue;
        entry.attributes = 0;
        if (S_ISDIR(st.st_mode))
            entry.attributes |= FileAttribute::Directory;
        if (hidden)
            entry.attributes |= FileAttribute::Hidden;
        if ((st.st_mode & 0222) == 0)
            entry.attributes |= FileAttribute::ReadOnly;
        if (S_ISLNK(st.st_mode))
            entry.attributes |= FileAttribute::ReparsePoint;
        entry.isFileOrLinkToFile =
            S_ISREG(st.st_mode) || (S_ISLNK(st.st_mode) && isLinkToRegularFile(dirFd, raw));
        entries.push_back(std::move(entry));
    }
    std::sort(entries.begin(), entries.end(),
              [](const DirEntry& a, const DirEntry& b) { return ntfsNameLess(a.name, b.name); });
    return true;
}

namespace {

// The names of a folder's entries that take(dirFd, entry) accepts, in NTFS order.
template <typename Take> bool listNamesWhere(const QString& folder, QStringList& names, const Take& take)
{
    names.clear();
    DirCloser closer{openFolder(folder)};
    if (!closer.dir)
        return false;
    const int dirFd = ::dirfd(closer.dir);
    std::vector<QString> found;
    while (const dirent* e = ::readdir(closer.dir)) {
        QString name;
        if (take(dirFd, *e) && nameFromBytes(e->d_name, name))
            found.push_back(std::move(name));
    }
    sortNtfs(found);
    names.reserve(qsizetype(found.size()));
    for (QString& name : found)
        names.append(std::move(name));
    return true;
}

} // namespace

bool listSubfolderNames(const QString& folder, QStringList& names)
{
    return listNamesWhere(folder, names, [](int dirFd, const dirent& e) {
        const char* raw = e.d_name;
        if (raw[0] == '.') // hidden, and "." and ".."
            return false;
        if (e.d_type != DT_DIR && e.d_type != DT_UNKNOWN)
            return false;
        struct stat st
        {
        };
        return ::fstatat(dirFd, raw, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(st.st_mode) &&
               (st.st_mode & 0222) != 0;
    });
}

bool listShortcutNames(const QString& folder, QStringList& names)
{
    return listNamesWhere(folder, names, [](int dirFd, const dirent& e) {
        const char* raw = e.d_name;
        if (!endsWithUrlExtension(raw))
            return false;
        switch (e.d_type) {
        case DT_REG:
            return true;
        case DT_LNK:
            return isLinkToRegularFile(dirFd, raw);
        case DT_UNKNOWN: {
            struct stat st
            {
            };
            return ::fstatat(dirFd, raw, &st, AT_SYMLINK_NOFOLLOW) == 0 &&
                   (S_ISREG(st.st_mode) || (S_ISLNK(st.st_mode) && isLinkToRegularFile(dirFd, raw)));
        }
        default:
            return false;
        }
    });
}

bool fileExists(const QString& path)
{
    struct stat st
    {
    };
    return !path.isEmpty() && ::stat(nativePath(path).constData(), &st) == 0 && S_ISREG(st.st_mode);
}

bool directoryExists(const QString& path)
{
    struct stat st
    {
    };
    return !path.isEmpty() && ::stat(nativePath(path).constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

namespace {

QByteArray parentOf(const QByteArray& path)
{
    QByteArray trimmed = path;
    while (trimmed.size() > 1 && trimmed.endsWith('/'))
        trimmed.chop(1);
    const qsizetype slash = trimmed.lastIndexOf('/');
    if (slash < 0)
        return QByteArrayLiteral(".");
    if (slash == 0)
        return QByteArrayLiteral("/");
    return trimmed.left(slash);
}

QByteArray canonical(const QByteArray& path)
{
    char buffer[PATH_MAX];
    if (!::realpath(path.constData(), buffer))
        return QByteArray();
    return QByteArray(buffer);
}

// Moving a folder into itself or below itself.
bool movesIntoOwnSubtree(const QByteArray& from, const QByteArray& to)
{
    const QByteArray source = canonical(from);
    const QByteArray targetParent = canonical(parentOf(to));
    if (source.isEmpty() || targetParent.isEmpty())
        return false; // the rename itself will fail
    return targetParent == source || targetParent.startsWith(source + '/') || source == "/";
}

bool exists(const QByteArray& path)
{
    struct stat st
    {
    };
    return ::lstat(path.constData(), &st) == 0;
}

} // namespace

bool renameNoReplace(const QString& from, const QString& to)
{
    if (from.isEmpty() || to.isEmpty())
        return false;
    const QByteArray f = nativePath(from);
    const QByteArray t = nativePath(to);
    struct stat st
    {
    };
    if (::lstat(f.constData(), &st) != 0)
        return false;
    const bool isFolder = S_ISDIR(st.st_mode);
    if (isFolder && movesIntoOwnSubtree(f, t))
        return false;
    if (::renameat2(AT_FDCWD, f.constData(), AT_FDCWD, t.constData(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP)
        return false;
    // The file system cannot rename without replacing.
    if (!isFolder) {
        if (::link(f.constData(), t.constData()) == 0) {
            if (::unlink(f.constData()) == 0)
                return true;
            ::unlink(t.constData());
            return false;
        }
        if (errno != EPERM && errno != EOPNOTSUPP && errno != ENOSYS)
            return false; // EEXIST among them
    }
    // No hard links either: check, then rename (the only way left on such a file system).
    if (exists(t))
        return false;
    return ::rename(f.constData(), t.constData()) == 0;
}

bool isPlainName(const QString& name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..") &&
           !name.contains(QLatin1Char('/')) && !name.contains(QChar(0));
}

WriteError::WriteError(const QString& path, const QString& message)
    : std::runtime_error(message.toStdString()), m_path(path), m_message(message)
{
}

bool readWholeFile(const QString& path, QByteArray& content)
{
    content.clear();
    if (path.isEmpty())
        return false;
    // O_NONBLOCK: a FIFO named like a shortcut must not make the reader wait for a writer.
    const int fd = ::open(nativePath(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return false;
    struct stat st
    {
    };
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return false;
    }
    // One byte more than the file's size, so that the common case ends with a single short read.
    const qsizetype expected = qsizetype(st.st_size);
    qsizetype capacity = expected + 1;
    content.resize(capacity);
    qsizetype size = 0;
    for (;;) {
        if (size == capacity) {
            // The file grew since fstat: read on.
            capacity = capacity * 2 + 4096;
            content.resize(capacity);
        }
        const ssize_t n = ::read(fd, content.data() + size, std::size_t(capacity - size));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            ::close(fd);
            content.clear();
            return false;
        }
        if (n == 0)
            break;
        size += n;
        if (size == expected && size < capacity)
            break; // a short read that matches the size fstat gave: the end of the file
    }
    ::close(fd);
    content.resize(size);
    return true;
}

namespace {

[[noreturn]] void throwWriteError(const QString& path)
{
    throw WriteError(path, path + QStringLiteral(" に書き込めません"));
}

bool writeAll(int fd, const QByteArray& content)
{
    const char* data = content.constData();
    std::size_t left = std::size_t(content.size());
    while (left > 0) {
        const ssize_t n = ::write(fd, data, left);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += n;
        left -= std::size_t(n);
    }
    return ::fdatasync(fd) == 0;
}

// Follows symbolic links from path to the file they finally name, which may not exist yet.
// Empty on a loop or an unreadable link.
QByteArray resolveLinks(const QByteArray& path)
{
    QByteArray current = path;
    for (int hop = 0; hop < 40; ++hop) {
        struct stat st
        {
        };
        if (::lstat(current.constData(), &st) != 0 || !S_ISLNK(st.st_mode))
            return current;
        char buffer[PATH_MAX];
        const ssize_t n = ::readlink(current.constData(), buffer, sizeof buffer - 1);
        if (n <= 0)
            return QByteArray();
        const QByteArray target(buffer, n);
        current = target.startsWith('/') ? target : parentOf(current) + '/' + target;
    }
    return QByteArray();
}

} // namespace

WriteResult writeFileSafely(const QString& path, const QByteArray& content, WriteMode mode)
{
    const QByteArray given = nativePath(path);
    if (given.isEmpty())
        throwWriteError(path);
    // Write through a link to its target, so that a linked shortcut stays a link.
    const QByteArray target = resolveLinks(given);
    if (target.isEmpty())
        throwWriteError(path);

    struct stat st
    {
    };
    if (::lstat(target.constData(), &st) != 0) {
        if (errno != ENOENT)
            throwWriteError(path);
        if (mode == WriteMode::ReplaceExisting)
            return WriteResult::TargetMissing;
        // A new file: nothing to protect, so it is written in place and removed again on failure.
        const int fd = ::open(target.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0)
            throwWriteError(path);
        const bool ok = writeAll(fd, content);
        if (::close(fd) != 0 || !ok) {
            ::unlink(target.constData());
            throwWriteError(path);
        }
        return WriteResult::Written;
    }
    if (!S_ISREG(st.st_mode))
        throwWriteError(path);
    // Permission bits decide, for root as for anyone: a file nobody may write is read-only.
    if ((st.st_mode & 0222) == 0 || ::faccessat(AT_FDCWD, target.constData(), W_OK, AT_EACCESS) != 0)
        throwWriteError(path);

    QByteArray temporary = parentOf(target) + "/.lintora-XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        throwWriteError(path);
    bool ok = writeAll(fd, content) && ::fchmod(fd, st.st_mode & 07777) == 0;
    if (ok && ::geteuid() == 0 && (st.st_uid != 0 || st.st_gid != 0))
        ok = ::fchown(fd, st.st_uid, st.st_gid) == 0;
    if (::close(fd) != 0)
        ok = false;
    if (!ok) {
        ::unlink(temporary.constData());
        throwWriteError(path);
    }

    if (mode == WriteMode::ReplaceExisting) {
        // Exchanging the two names fails when the original has gone, so a deleted shortcut is never
        // brought back; afterwards the temporary name holds the old bytes.
        if (::renameat2(AT_FDCWD, temporary.constData(), AT_FDCWD, target.constData(), RENAME_EXCHANGE) ==
            0) {
            ::unlink(temporary.constData());
            return WriteResult::Written;
        }
        if (errno == ENOENT) {
            ::unlink(temporary.constData());
            return WriteResult::TargetMissing;
        }
        if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) {
            ::unlink(temporary.constData());
            throwWriteError(path);
        }
        if (!exists(target)) {
            ::unlink(temporary.constData());
            return WriteResult::TargetMissing;
        }
    }
    if (::rename(temporary.constData(), target.constData()) != 0) {
        ::unlink(temporary.constData());
        throwWriteError(path);
    }
    return WriteResult::Written;
}

namespace {

// Removes name inside the folder dirFd, a folder with its whole content; links are removed as links.
bool removeAt(int dirFd, const char* name)
{
    struct stat st
    {
    };
    if (::fstatat(dirFd, name, &st, AT_SYMLINK_NOFOLLOW) != 0)
        return errno == ENOENT;
    if (!S_ISDIR(st.st_mode))
        return ::unlinkat(dirFd, name, 0) == 0 || errno == ENOENT;
    const int fd = ::openat(dirFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    bool ok = fd >= 0;
    if (fd >= 0) {
        DIR* dir = ::fdopendir(fd);
        if (!dir) {
            ::close(fd);
            ok = false;
        } else {
            while (const dirent* e = ::readdir(dir)) {
                if (isDotOrDotDot(e->d_name))
                    continue;
                if (!removeAt(::dirfd(dir), e->d_name))
                    ok = false;
            }
            ::closedir(dir);
        }
    }
    if (::unlinkat(dirFd, name, AT_REMOVEDIR) != 0 && errno != ENOENT)
        ok = false;
    return ok;
}

} // namespace

QStringList removePermanently(const QStringList& paths)
{
    QStringList failed;
    for (const QString& path : paths) {
        const QByteArray native = nativePath(path);
        if (native.isEmpty()) {
            failed.append(path);
            continue;
        }
        if (!removeAt(AT_FDCWD, native.constData()))
            failed.append(path);
    }
    return failed;
}

namespace {

bool userEntry(passwd& entry, std::vector<char>& buffer)
{
    buffer.resize(16384);
    passwd* result = nullptr;
    return ::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &result) == 0 && result != nullptr;
}

} // namespace

QString homeDirectory()
{
    passwd entry{};
    std::vector<char> buffer;
    if (userEntry(entry, buffer) && entry.pw_dir && entry.pw_dir[0] != '\0')
        return QFile::decodeName(entry.pw_dir);
    return QStringLiteral("/");
}

QString logonName()
{
    passwd entry{};
    std::vector<char> buffer;
    if (userEntry(entry, buffer) && entry.pw_name)
        return QFile::decodeName(entry.pw_name);
    return QString::number(::getuid());
}

QString executableFolder()
{
    char buffer[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n > 0) {
        const QByteArray exe(buffer, n);
        return QFile::decodeName(parentOf(exe));
    }
    return QCoreApplication::applicationDirPath();
}

} // namespace lintora
