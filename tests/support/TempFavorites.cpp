#include "TempFavorites.h"

#include "platform/Cp932.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace lintora::test {

TempFavorites::TempFavorites()
{
    m_root = m_dir.path() + QStringLiteral("/Favorites");
    QDir().mkpath(m_root);
}

TempFavorites::~TempFavorites()
{
    // Give back write permission everywhere, so the temporary directory can be removed.
    QDir dir(m_dir.path());
    const auto chmodTree = [](const QString& path, auto&& self) -> void {
        ::chmod(QFile::encodeName(path).constData(), 0755);
        QDir d(path);
        for (const QFileInfo& info : d.entryInfoList(QDir::Dirs | QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot | QDir::System)) {
            if (info.isSymLink())
                continue;
            if (info.isDir())
                self(info.filePath(), self);
            else
                ::chmod(QFile::encodeName(info.filePath()).constData(), 0644);
        }
    };
    chmodTree(dir.path(), chmodTree);
}

QString TempFavorites::addFolder(const QString& relative)
{
    const QString path = m_root + QLatin1Char('/') + relative;
    QDir().mkpath(path);
    return path;
}

QString TempFavorites::addFile(const QString& relative, const QByteArray& bytes)
{
    const QString path = m_root + QLatin1Char('/') + relative;
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        ADD_FAILURE() << "cannot write " << path.toStdString();
    file.write(bytes);
    return path;
}

QString TempFavorites::addShortcut(const QString& relativeFolder, const QString& title, const QString& url,
                                   const QString& comment, const QByteArray& extraLintoraLines)
{
    QByteArray bytes = "[InternetShortcut]\r\nURL=" + encodeCp932(url) + "\r\n";
    if (!comment.isEmpty() || !extraLintoraLines.isEmpty()) {
        bytes += "[Lintora]\r\n";
        if (!comment.isEmpty())
            bytes += "COMMENT=" + encodeCp932(comment) + "\r\n";
        bytes += extraLintoraLines;
    }
    const QString folder = relativeFolder.isEmpty() ? QString() : relativeFolder + QLatin1Char('/');
    return addFile(folder + title + QStringLiteral(".URL"), bytes);
}

QByteArray TempFavorites::readBytes(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

void TempFavorites::makeReadOnly(const QString& path)
{
    struct stat st{};
    const QByteArray p = QFile::encodeName(path);
    if (::stat(p.constData(), &st) == 0)
        ::chmod(p.constData(), st.st_mode & ~0222);
}

} // namespace lintora::test
