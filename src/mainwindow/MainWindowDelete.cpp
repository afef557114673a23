// Deleting the selected bookmarks, or the selected folder with everything below it.

#include "app/ErrorHandler.h"
#include "mainwindow/DeleteReport.h"
#include "mainwindow/MainWindow.h"
#include "platform/FileSystem.h"
#include "platform/MessageBox.h"

#include <QFile>
#include <QHash>
#include <QTreeView>
#include <QTreeWidget>

#include <sys/stat.h>

namespace lintora {

namespace {

bool isRealFolder(const QString& path)
{
    struct stat st
    {
    };
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Sorts out the paths that lie in the favorites tree but would be reached through a symbolic link
// put in place of one of its folders since the tree was read: removing them would delete outside
// the tree. The last name of a path is never followed by the removal itself. Paths outside the tree
// (find results of an earlier favorites folder) are left to the removal as they are.
QStringList reachedThroughLinks(const QString& root, QStringList& paths)
{
    QStringList refused;
    if (root.isEmpty())
        return refused;
    const QString prefix = root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/');
    QHash<QString, bool> checked; // folder → reached without a link
    const auto folderIsSound = [&](const QString& folder, auto&& self) -> bool {
        if (folder.size() <= root.size())
            return true;
        const auto known = checked.constFind(folder);
        if (known != checked.constEnd())
            return *known;
        const QString parent = folder.left(folder.lastIndexOf(QLatin1Char('/')));
        const bool sound = self(parent, self) && isRealFolder(folder);
        checked.insert(folder, sound);
        return sound;
    };
    QStringList kept;
    kept.reserve(paths.size());
    for (const QString& path : std::as_const(paths)) {
        const QString parent = path.left(path.lastIndexOf(QLatin1Char('/')));
        if (path.startsWith(prefix) && !folderIsSound(parent, folderIsSound))
            refused.append(path);
        else
            kept.append(path);
    }
    paths = kept;
    return refused;
}

} // namespace

QString notRemovedReport(const QStringList& failed)
{
    // A box taller than the screen would hide its OK button: a long list is cut short.
    constexpr qsizetype Shown = 20;
    QString text = QStringLiteral("次のファイルまたはフォルダを削除できませんでした:");
    for (qsizetype i = 0; i < failed.size() && i < Shown; ++i)
        text += QLatin1Char('\n') + failed[i];
    if (failed.size() > Shown)
        text += QStringLiteral("\nほか %1 件").arg(failed.size() - Shown);
    return text;
}

namespace {

// Removes the paths for good and reports in one box those that could not be removed.
void removeAndReport(const QString& favoritesFolder, QStringList paths)
{
    QStringList failed = reachedThroughLinks(favoritesFolder, paths);
    failed += removePermanently(paths);
    if (failed.isEmpty())
        return;
    messages().inform(notRemovedReport(failed));
}

} // namespace

QWidget* TForm1::ActiveControl() const
{
    // The window's own focus child: a menu opened over the window does not change it.
    QWidget* focused = focusWidget();
    if (focused == ListView1 || focused == TreeView1)
        return focused;
    return nullptr;
}

void TForm1::N1Click()
{
    runCommand([this] {
        QWidget* active = ActiveControl();
        if (active == ListView1) {
            const QStringList selected = SelectedPaths();
            if (selected.isEmpty())
                return;
            if (messages().ask(QStringLiteral("選択されているブックマークを削除しますか？")) ==
                MessageService::Answer::No)
                return;
            QStringList paths;
            for (const QString& path : selected) {
                if (fileExists(path))
                    paths.append(path);
            }
            if (!paths.isEmpty())
                removeAndReport(Settings.FavoritesFolder, paths);
            QStringList L;
            CollectShortcuts(L);
            FillList(L);
        } else if (active == TreeView1) {
            const QList<QTreeWidgetItem*> selected = TreeView1->selectedItems();
            if (selected.isEmpty())
                return;
            QTreeWidgetItem* node = selected.first();
            if (!node->parent()) {
                messages().inform(QStringLiteral("トップノードは削除できません"));
                return;
            }
            if (messages().ask(QStringLiteral("選択されているフォルダから下を全て削除しますか？")) ==
                MessageService::Answer::No)
                return;
            removeAndReport(Settings.FavoritesFolder, {NodePath(node)});
            BuildFolderTree();
        }
    });
}

} // namespace lintora
