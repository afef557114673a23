#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace lintora::test {

// A real favorites folder in a temporary directory, removed at the end of the test.
class TempFavorites
{
public:
    TempFavorites();
    ~TempFavorites();

    // The favorites folder itself (a subfolder "Favorites" of the temporary directory).
    QString root() const { return m_root; }
    // The temporary directory holding root(); free for the test's other files.
    QString scratch() const { return m_dir.path(); }

    // Creates the folder (and its parents) at root()/relative; returns its full path.
    QString addFolder(const QString& relative);
    // Writes a file at root()/relative with the given bytes (parents created); returns its path.
    QString addFile(const QString& relative, const QByteArray& bytes);
    // Writes a shortcut file with [InternetShortcut] URL and, when given, a [Lintora] section.
    // Title and comment are written in CP932.
    QString addShortcut(const QString& relativeFolder, const QString& title, const QString& url,
                        const QString& comment = QString(), const QByteArray& extraLintoraLines = QByteArray());

    static QByteArray readBytes(const QString& path);
    // Removes every write permission bit (read-only, as Windows would call it).
    static void makeReadOnly(const QString& path);

private:
    QTemporaryDir m_dir;
    QString m_root;
};

} // namespace lintora::test
