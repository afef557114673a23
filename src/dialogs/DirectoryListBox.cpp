#include "dialogs/DirectoryListBox.h"

#include <QDir>
#include <QKeyEvent>
#include <QStyle>
#include <QStyledItemDelegate>

namespace lintora {

namespace {

constexpr int RowHeight = 16;
constexpr int IndentPerLevel = 8;

// Indents each row by its depth, as a folder list shows the way down from the root.
class IndentDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyleOptionViewItem shifted(option);
        shifted.rect.setLeft(option.rect.left() + indent(index));
        QStyledItemDelegate::paint(painter, shifted, index);
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        return QSize(QStyledItemDelegate::sizeHint(option, index).width() + indent(index), RowHeight);
    }

private:
    static int indent(const QModelIndex& index)
    {
        return index.data(DirectoryListBox::LevelRole).toInt() * IndentPerLevel;
    }
};

QString childPath(const QString& folder, const QString& name)
{
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

} // namespace

DirectoryListBox::DirectoryListBox(QWidget* parent) : QListWidget(parent)
{
    setItemDelegate(new IndentDelegate(this));
    setIconSize(QSize(14, 14));
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    connect(this, &QListWidget::itemDoubleClicked, this, &DirectoryListBox::openRow);
}

void DirectoryListBox::showFolder(const QString& folder, const QString& root)
{
    clear();
    addRow(root, root, 0, true);
    QString path = root;
    int level = 0;
    const QString below = folder.mid(root.size());
    const QStringList names = below.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (const QString& name : names) {
        path = childPath(path, name);
        addRow(name, path, ++level, true);
    }
    setCurrentRow(count() - 1);

    const QStringList subfolders =
        QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QString& name : subfolders)
        addRow(name, childPath(folder, name), level + 1, false);
}

QString DirectoryListBox::pathOf(int row) const
{
    const QListWidgetItem* entry = item(row);
    return entry ? entry->data(PathRole).toString() : QString();
}

void DirectoryListBox::keyPressEvent(QKeyEvent* event)
{
    // Enter opens the current row here instead of pressing the dialog's default button.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentItem()) {
        openRow(currentItem());
        event->accept();
        return;
    }
    QListWidget::keyPressEvent(event);
}

void DirectoryListBox::openRow(QListWidgetItem* item)
{
    if (item)
        emit folderOpened(item->data(PathRole).toString());
}

void DirectoryListBox::addRow(const QString& text, const QString& path, int level, bool open)
{
    auto* row = new QListWidgetItem(
        style()->standardIcon(open ? QStyle::SP_DirOpenIcon : QStyle::SP_DirClosedIcon), text, this);
    row->setData(PathRole, path);
    row->setData(LevelRole, level);
}

} // namespace lintora
