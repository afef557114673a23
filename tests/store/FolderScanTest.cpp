// The favorites folder scan: which folders and shortcut files are taken, and in which order.

#include "store/FolderScan.h"

#include "TempFavorites.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace lintora;
using lintora::test::TempFavorites;

namespace {

QStringList relative(const TempFavorites& fav, const QStringList& paths)
{
    QStringList out;
    for (const QString& p : paths)
        out.append(p == fav.root() ? QStringLiteral(".") : p.mid(fav.root().size() + 1));
    return out;
}

void chmodPath(const QString& path, mode_t mode)
{
    ::chmod(QFile::encodeName(path).constData(), mode);
}

} // namespace

TEST(FolderScan, AllFoldersComeBreadthFirstInNtfsOrder)
{
    TempFavorites fav;
    fav.addFolder(QStringLiteral("y"));
    fav.addFolder(QStringLiteral("X/X1"));
    fav.addFolder(QStringLiteral("X/x0/deep"));
    fav.addFolder(QStringLiteral("y/Y1"));
    QStringList list{QStringLiteral("stale entry")};
    CollectAllFolders(fav.root(), list);
    EXPECT_EQ(relative(fav, list), (QStringList{".", "X", "y", "X/x0", "X/X1", "y/Y1", "X/x0/deep"}));
}

TEST(FolderScan, AMissingFavoritesFolderGivesJustItself)
{
    QStringList list;
    CollectAllFolders(QStringLiteral("/nonexistent/Favorites"), list);
    EXPECT_EQ(list, QStringList{QStringLiteral("/nonexistent/Favorites")});
    QStringList shortcuts;
    CollectShortcuts(list, shortcuts);
    EXPECT_TRUE(shortcuts.isEmpty());
}

TEST(FolderScan, FoldersWithMoreThanTheDirectoryAttributeAreLeftOutWithTheirSubtree)
{
    TempFavorites fav;
    fav.addShortcut(QStringLiteral("ok"), QStringLiteral("visible"), QStringLiteral("http://v/"));
    fav.addShortcut(QStringLiteral(".hidden/inner"), QStringLiteral("h"), QStringLiteral("http://h/"));
    fav.addShortcut(QStringLiteral("readonly/inner"), QStringLiteral("r"), QStringLiteral("http://r/"));
    chmodPath(fav.root() + QStringLiteral("/readonly"), 0555);
    fav.addShortcut(QStringLiteral("elsewhere/inner"), QStringLiteral("e"), QStringLiteral("http://e/"));
    QFile::link(fav.root() + QStringLiteral("/elsewhere"), fav.root() + QStringLiteral("/ok/link"));
    QDir(fav.root()).rename(QStringLiteral("elsewhere"), QStringLiteral("../elsewhere"));
    fav.addFolder(QStringLiteral("Folder.URL/sub"));

    QStringList folders;
    CollectAllFolders(fav.root(), folders);
    EXPECT_EQ(relative(fav, folders), (QStringList{".", "Folder.URL", "ok", "Folder.URL/sub"}));

    QStringList shortcuts;
    CollectShortcuts(folders, shortcuts);
    EXPECT_EQ(relative(fav, shortcuts), QStringList{"ok/visible.URL"});

    QStringList tree;
    WalkSubfolders<int>(fav.root(), 0, [&](int depth, const QString& name, const QString&) {
        tree.append(QString(depth, QLatin1Char(' ')) + name);
        return depth + 1;
    });
    EXPECT_EQ(tree, (QStringList{"Folder.URL", " sub", "ok"}));
}

TEST(FolderScan, ShortcutsOfEveryKindAreCollectedFolderByFolder)
{
    TempFavorites fav;
    fav.addFile(QStringLiteral("b.URL"), "x");
    fav.addFile(QStringLiteral("A.url"), "x");
    fav.addFile(QStringLiteral("c.Url"), "x");
    fav.addFile(QStringLiteral(".hidden.URL"), "x");
    fav.addFile(QStringLiteral("notes.txt"), "x");
    fav.addFile(QStringLiteral("URL"), "x");
    TempFavorites::makeReadOnly(fav.addFile(QStringLiteral("ro.URL"), "x"));
    fav.addFolder(QStringLiteral("dir.URL"));
    QFile::link(fav.root() + QStringLiteral("/b.URL"), fav.root() + QStringLiteral("/linked.URL"));
    QFile::link(fav.root() + QStringLiteral("/missing"), fav.root() + QStringLiteral("/dangling.URL"));
    fav.addFile(QStringLiteral("sub/z.URL"), "x");
    fav.addFile(QStringLiteral("sub/deeper/never.URL"), "x");

    QStringList list{QStringLiteral("kept")};
    CollectShortcuts({fav.root() + QStringLiteral("/sub"), fav.root(), fav.root() + QStringLiteral("/gone")},
                     list);
    EXPECT_EQ(relative(fav, list.mid(1)),
              (QStringList{"sub/z.URL", ".hidden.URL", "A.url", "b.URL", "c.Url", "linked.URL", "ro.URL"}));
    EXPECT_EQ(list.first(), QStringLiteral("kept"));
}

TEST(FolderScan, LinkLoopsAndUnreadableFoldersEndTheScan)
{
    TempFavorites fav;
    fav.addFolder(QStringLiteral("a/b"));
    QFile::link(fav.root(), fav.root() + QStringLiteral("/a/b/up"));
    QFile::link(QStringLiteral(".."), fav.root() + QStringLiteral("/a/parent"));
    QFile::link(fav.root() + QStringLiteral("/a/self"), fav.root() + QStringLiteral("/a/self"));
    const QString locked = fav.addFolder(QStringLiteral("locked/inner"));
    chmodPath(fav.root() + QStringLiteral("/locked"),
              0300); // writable, but cannot be listed (except by root)

    QStringList folders;
    CollectAllFolders(fav.root(), folders);
    QStringList expected{".", "a", "locked", "a/b"};
    if (::geteuid() == 0)
        expected.append(QStringLiteral("locked/inner"));
    EXPECT_EQ(relative(fav, folders), expected);
    chmodPath(fav.root() + QStringLiteral("/locked"), 0755);
}

TEST(FolderScan, FoldersRemovedDuringTheWalkAreSimplySkipped)
{
    TempFavorites fav;
    fav.addFolder(QStringLiteral("1/inside"));
    fav.addFolder(QStringLiteral("2/inside/deeper"));
    fav.addFolder(QStringLiteral("3"));
    QStringList visited;
    WalkSubfolders<int>(fav.root(), 0, [&](int, const QString& name, const QString& path) {
        visited.append(path.mid(fav.root().size() + 1));
        if (name == QLatin1String("1")) {
            // Another program removes the next folder and this folder's child while we walk.
            QDir(fav.root() + QStringLiteral("/2")).removeRecursively();
            QDir(path + QStringLiteral("/inside")).removeRecursively();
        }
        return 0;
    });
    EXPECT_EQ(visited, (QStringList{"1", "2", "3"}));

    EXPECT_TRUE(subfolderNames(fav.root() + QStringLiteral("/2")).isEmpty());
    EXPECT_EQ(subfolderNames(fav.root()), (QStringList{"1", "3"}));
}

TEST(FolderScan, PathsJoinWithOneSlash)
{
    EXPECT_EQ(joinPath(QStringLiteral("/a/b"), QStringLiteral("c.URL")), QStringLiteral("/a/b/c.URL"));
    EXPECT_EQ(joinPath(QStringLiteral("/a/"), QStringLiteral("c")), QStringLiteral("/a//c"));
}
