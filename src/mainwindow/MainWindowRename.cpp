// Renaming bookmarks and folders in place: the title cell of a list row, the label of a tree node.

#include "mainwindow/MainWindow.h"

#include "app/ErrorHandler.h"
#include "mainwindow/BookmarkListModel.h"
#include "platform/FileSystem.h"
#include "platform/MessageBox.h"
#include "store/BookmarkFile.h"
#include "store/FolderScan.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStyledItemDelegate>
#include <QTreeView>
#include <QTreeWidget>

namespace lintora {

namespace {

const QString& cannotRenameText()
{
    static const QString text = QStringLiteral("この名前には変更できません");
    return text;
}

// Hands a finished label edit to the window before the label changes, so that a refused rename
// leaves the old label in place.
class FolderLabelDelegate : public QStyledItemDelegate
{
public:
    explicit FolderLabelDelegate(TForm1* window) : QStyledItemDelegate(window), m_window(window) {}

    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override
    {
        const auto* line = qobject_cast<QLineEdit*>(editor);
        QTreeWidgetItem* node = m_window->TreeView1->itemFromIndex(index);
        if (!line || !node) {
            QStyledItemDelegate::setModelData(editor, model, index);
            return;
        }
        // The handler's message box runs an event loop: the node is followed by a persistent index,
        // which lets go if the tree is rebuilt meanwhile.
        const QPersistentModelIndex edited(index);
        QString S = line->text();
        m_window->TreeView1Edited(node, S);
        if (edited.isValid() && edited.data(Qt::EditRole).toString() != S)
            model->setData(edited, S, Qt::EditRole);
    }

private:
    TForm1* m_window;
};

// F2 edits the title of the current row, whichever cell of the row was clicked last: the other
// columns cannot be edited, and the row is selected as a whole.
class TitleEditKey : public QObject
{
public:
    explicit TitleEditKey(QTreeView* list) : QObject(list), m_list(list) {}

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_list && event->type() == QEvent::KeyPress &&
            static_cast<QKeyEvent*>(event)->key() == Qt::Key_F2 &&
            static_cast<QKeyEvent*>(event)->modifiers() == Qt::NoModifier) {
            const QModelIndex current = m_list->currentIndex();
            const QModelIndex title = current.siblingAtColumn(ListColumn::Title);
            // An F2 that an open editor passed on starts nothing new.
            if (current.isValid() && current.column() != ListColumn::Title && !m_list->indexWidget(title)) {
                m_list->edit(title);
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QTreeView* m_list;
};

} // namespace

void TForm1::SetupRenaming()
{
    const auto triggers = QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked;
    ListModel->setTitleEditHandler([this](int row, QString& S) { ListView1Edited(row, S); });
    ListView1->setEditTriggers(triggers);
    ListView1->installEventFilter(new TitleEditKey(ListView1));
    TreeView1->setItemDelegate(new FolderLabelDelegate(this));
    TreeView1->setEditTriggers(triggers);
}

void TForm1::ListView1Edited(int row, QString& S)
{
    const QString caption = ListModel->cell(row, ListColumn::Title);
    QString label = caption; // what the row shows afterwards
    runCommand([&] {
        const QString P = ListModel->path(row);
        TBMFile record(P);
        // The folder stays the file's own: a typed "/" must not move the bookmark elsewhere.
        const QString name = S + QStringLiteral(".URL");
        const QString newPath = joinPath(P.left(P.lastIndexOf(QLatin1Char('/'))), name);
        bool renamed = false;
        if (isPlainName(name)) {
            // Confirming the title unchanged renames the file onto itself, which the file system
            // allows; only the never-replace rename would call it a clash.
            renamed = newPath == P ? fileExists(P) : record.Rename(newPath);
        }
        if (!renamed) {
            messages().inform(cannotRenameText());
            return;
        }
        ListModel->setCell(row, ListColumn::Path, record.FilePath());
        label = S;
    });
    S = label;
}

void TForm1::TreeView1Edited(QTreeWidgetItem* node, QString& S)
{
    const QString oldLabel = node->text(0);
    QString label = oldLabel; // what the node shows afterwards
    runCommand([&] {
        if (!node->parent()) {
            messages().inform(QStringLiteral("トップノードは変更できません"));
            return;
        }
        const QString D = NodePath(node->parent());
        const QString oldPath = joinPath(D, oldLabel);
        const QString newPath = joinPath(D, S);
        bool renamed = false;
        // A typed "/", "." or ".." would move the folder or name another one: refused.
        if (isPlainName(S))
            renamed = newPath == oldPath ? directoryExists(oldPath) : renameNoReplace(oldPath, newPath);
        if (!renamed) {
            messages().inform(cannotRenameText());
            return;
        }
        label = S;
        FolderPaths.clear();
        FolderPaths.append(newPath);
        QStringList L;
        CollectShortcuts(L);
        FillList(L);
    });
    S = label;
}

} // namespace lintora
