// Moving bookmarks and folders by dragging them onto a folder of the tree.

#include "app/ErrorHandler.h"
#include "mainwindow/BookmarkListView.h"
#include "mainwindow/FolderTreeWidget.h"
#include "mainwindow/MainWindow.h"
#include "platform/FileSystem.h"
#include "platform/MessageBox.h"
#include "store/FolderScan.h"

#include <QPointer>
#include <QTreeView>
#include <QTreeWidget>

namespace lintora {

namespace {

const QString CannotMoveTail = QStringLiteral(" は 移動できません");

QString fileNameOf(const QString& path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

QString withoutExtension(const QString& name)
{
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? name : name.left(dot);
}

} // namespace

void TForm1::CreateDragAndDrop()
{
    auto* tree = static_cast<FolderTreeWidget*>(TreeView1);
    tree->setDropHandlers([this](QObject* source) { return TreeView1DragOver(source); },
                          [this](QObject* source, const QPoint& point) {
                              // The drop is handled once the drag has ended: its messages are modal,
                              // and a modal box inside the drag would find the mouse still held by it.
                              QPointer<QObject> from(source);
                              QMetaObject::invokeMethod(
                                  this,
                                  [this, from, point] {
                                      if (from)
                                          TreeView1DragDrop(from, point);
                                  },
                                  Qt::QueuedConnection);
                          });
}

bool TForm1::TreeView1DragOver(QObject* source) const
{
    return source != nullptr && (source == ListView1 || source == TreeView1);
}

void TForm1::TreeView1DragDrop(QObject* source, const QPoint& point)
{
    runCommand([&] {
        QTreeWidgetItem* node = TreeView1->itemAt(point);
        if (!node)
            return;
        if (node == TopNode(0) || node == TopNode(1)) {
            messages().inform(QStringLiteral("移動できません"));
            return;
        }
        const QString target = node == TopNode(2) ? Settings.FavoritesFolder : NodePath(node);

        if (source == ListView1) {
            // Every row selected at the drop is tried, one failure does not stop the others.
            for (const QString& from : SelectedPaths()) {
                const QString name = fileNameOf(from);
                if (!renameNoReplace(from, joinPath(target, name)))
                    messages().inform(withoutExtension(name) + CannotMoveTail);
            }
            QStringList L;
            CollectShortcuts(L);
            FillList(L);
        } else if (source == TreeView1) {
            const QList<QTreeWidgetItem*> selected = TreeView1->selectedItems();
            if (selected.isEmpty())
                return;
            QTreeWidgetItem* dragged = selected.first();
            const QString label = dragged->text(0);
            if (!dragged->parent() || dragged == node) {
                messages().inform(label + CannotMoveTail);
                return;
            }
            if (renameNoReplace(NodePath(dragged), joinPath(target, label)))
                BuildFolderTree();
            else
                messages().inform(label + CannotMoveTail);
        }
    });
}

} // namespace lintora
