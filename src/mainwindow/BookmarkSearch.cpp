#include "mainwindow/BookmarkSearch.h"

#include "platform/FileSystem.h"
#include "platform/ParallelFor.h"
#include "store/BookmarkFile.h"
#include "store/FolderScan.h"

#include <vector>

namespace lintora {

namespace {

// TBMFile::Matches from a single read of the file, wanted being the search text in capitals.
bool matchesUpper(const QString& path, const QString& wanted)
{
    QByteArray content;
    // A file that exists but cannot be read still has its title; a missing one has nothing.
    if (!readWholeFile(path, content) && !fileExists(path))
        return false;
    return TBMFile::MatchesContent(path, content, wanted);
}

} // namespace

QStringList findBookmarks(const QStringList& folders, const QString& searchText)
{
    const QString wanted = searchText.toUpper();
    if (wanted.isEmpty())
        return {};
    // Listing a folder and reading its files go together, folder by folder on a few threads; the
    // results are joined in the folders' order, as CollectShortcuts lists them.
    std::vector<QStringList> perFolder(static_cast<std::size_t>(folders.size()));
    forEachIndexInBlocks(perFolder.size(), 8, 16, [&](std::size_t f) {
        const QString& folder = folders[static_cast<qsizetype>(f)];
        QStringList names;
        if (!listShortcutNames(folder, names))
            return;
        for (const QString& name : names) {
            QString path = joinPath(folder, name);
            if (matchesUpper(path, wanted))
                perFolder[f].append(std::move(path));
        }
    });
    QStringList found;
    for (QStringList& paths : perFolder)
        found.append(std::move(paths));
    return found;
}

} // namespace lintora
