#pragma once

// Builds a realistic favorites tree on disk for the benchmarks: nested folders with Japanese and
// ASCII names, shortcut files in CP932 with URLs, comments and, for some, stored check results.
// Header-only so that every benchmark can include it.

#include "platform/Cp932.h"
#include "platform/DateTime.h"
#include "store/FolderScan.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QString>
#include <QStringList>
#include <fcntl.h>
#include <unistd.h>

namespace lintora::bench {

struct FavoritesShape
{
    int bookmarks = 100000;
    int folders = 5000;
    int maxDepth = 4;          // folder levels below the favorites folder
    double checkedShare = 0.4; // share of bookmarks with a stored check result
    double commentShare = 0.5; // share of bookmarks with a comment
    quint32 seed = 20261211;
};

struct GeneratedFavorites
{
    QString root;
    QStringList folders;   // every folder, the favorites folder first (creation order)
    QStringList shortcuts; // every shortcut file (creation order)
};

namespace detail {

inline const QStringList& words()
{
    static const QStringList list = {
        QStringLiteral("ニュース"), QStringLiteral("天気予報"), QStringLiteral("技術"),
        QStringLiteral("ブログ"),   QStringLiteral("旅行"),     QStringLiteral("料理"),
        QStringLiteral("音楽"),     QStringLiteral("映画"),     QStringLiteral("株価"),
        QStringLiteral("地図"),     QStringLiteral("辞書"),     QStringLiteral("掲示板"),
        QStringLiteral("ショップ"), QStringLiteral("公式"),     QStringLiteral("資料"),
        QStringLiteral("髙橋"),     QStringLiteral("①番"),      QStringLiteral("～まとめ"),
        QStringLiteral("Ｑ＆Ａ"),   QStringLiteral("ﾃｽﾄ"),      QStringLiteral("Linux"),
        QStringLiteral("Qt"),       QStringLiteral("News"),     QStringLiteral("Wiki"),
        QStringLiteral("Docs"),     QStringLiteral("Search"),   QStringLiteral("Mail"),
        QStringLiteral("Photo"),
    };
    return list;
}

inline QString phrase(QRandomGenerator& random, int count)
{
    QString text;
    for (int i = 0; i < count; ++i) {
        if (i > 0 && random.bounded(3) == 0)
            text += QLatin1Char(' ');
        text += words()[random.bounded(int(words().size()))];
    }
    return text;
}

inline bool writeBytes(const QString& path, const QByteArray& bytes)
{
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    const bool ok = ::write(fd, bytes.constData(), std::size_t(bytes.size())) == bytes.size();
    return ::close(fd) == 0 && ok;
}

} // namespace detail

// Creates the tree below root (created when missing). Folder names and titles are unique within
// their folder; the contents are CP932 with CR LF line ends, as a browser and this program write them.
inline GeneratedFavorites generateFavorites(const QString& root, const FavoritesShape& shape)
{
    QRandomGenerator random(shape.seed);
    GeneratedFavorites out;
    out.root = root;
    QDir().mkpath(root);
    out.folders.append(root);
    std::vector<int> depth{0};
    for (int i = 0; i < shape.folders; ++i) {
        // Parents are picked among the folders made so far that are not yet at the deepest level,
        // favouring recent ones so that the tree gets both breadth and depth.
        int parent = 0;
        for (int attempt = 0; attempt < 8; ++attempt) {
            const int candidate = random.bounded(2) == 0
                                      ? random.bounded(int(out.folders.size()))
                                      : std::max(0, int(out.folders.size()) - 1 - random.bounded(20));
            if (depth[candidate] < shape.maxDepth) {
                parent = candidate;
                break;
            }
        }
        const QString name = detail::phrase(random, 1 + random.bounded(2)) + QStringLiteral(" %1").arg(i);
        const QString path = joinPath(out.folders[parent], name);
        QDir().mkdir(path);
        out.folders.append(path);
        depth.push_back(depth[parent] + 1);
    }

    TDateTime baseDate = 0;
    encodeDateTime({2026, 1, 1, 0, 0, 0, 0}, baseDate);
    for (int i = 0; i < shape.bookmarks; ++i) {
        const QString& folder = out.folders[random.bounded(int(out.folders.size()))];
        const QString title = detail::phrase(random, 1 + random.bounded(3)) + QStringLiteral(" %1").arg(i);
        const QString path = joinPath(folder, title + QStringLiteral(".URL"));
        QByteArray bytes = "[DEFAULT]\r\nBASEURL=https://www.example.com/" + QByteArray::number(i) +
                           "/index.html\r\n"
                           "[InternetShortcut]\r\nURL=https://www.example.com/" +
                           QByteArray::number(i) + "/index.html\r\nIconIndex=0\r\nModified=" +
                           QByteArray::number(random.generate64(), 16) + "\r\n";
        const bool commented = random.generateDouble() < shape.commentShare;
        const bool checked = random.generateDouble() < shape.checkedShare;
        if (commented || checked) {
            bytes += "[Lintora]\r\n";
            if (commented)
                bytes += "COMMENT=" + encodeCp932(detail::phrase(random, 2 + random.bounded(6))) + "\r\n";
            if (checked) {
                static const int statuses[] = {1, 1, 1, -1, -2, -4};
                const int status = statuses[random.bounded(6)];
                bytes += "STATUS=" + QByteArray::number(status) + "\r\n";
                const TDateTime when = baseDate + random.bounded(300) + random.bounded(86400) / 86400.0;
                bytes += "DATE=" + formatDateTime(when).toLatin1() + "\r\n";
                if (status == 1)
                    bytes += "RESPONS=" + QByteArray::number(random.bounded(5000) / 1000.0) + "\r\n";
            }
        }
        detail::writeBytes(path, bytes);
        out.shortcuts.append(path);
    }
    return out;
}

} // namespace lintora::bench
