#include "mainwindow/FolderTreeWidget.h"

#include <QDrag>
#include <QDragEnterEvent>
#include <QMimeData>
#include <QStyle>
#include <QStyleOptionViewItem>

namespace lintora {

FolderTreeWidget::FolderTreeWidget(QWidget* parent) : QTreeWidget(parent)
{
    setDragEnabled(true);
    setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDropIndicatorShown(false); // the node under the pointer is marked instead
}

void FolderTreeWidget::setDropHandlers(DragOverHandler dragOver, DropHandler drop)
{
    m_dragOver = std::move(dragOver);
    m_drop = std::move(drop);
}

QTreeWidgetItem* FolderTreeWidget::dropTargetItem() const
{
    return m_dropTarget.isValid() ? itemFromIndex(m_dropTarget) : nullptr;
}

QString FolderTreeWidget::folderMimeType()
{
    return QStringLiteral("application/x-lintoradesk-folder");
}

void FolderTreeWidget::startDrag(Qt::DropActions)
{
    if (selectedItems().isEmpty())
        return;
    // The drop reads the selected node, so the data only names the kind of drag. Whatever the drop
    // did, the tree is not touched here: a folder that moved is shown by the rebuild that follows.
    auto* data = new QMimeData;
    data->setData(folderMimeType(), QByteArray());
    auto* drag = new QDrag(this);
    drag->setMimeData(data);
    drag->exec(Qt::MoveAction, Qt::MoveAction);
}

bool FolderTreeWidget::acceptDrag(QDropEvent* event)
{
    if (!m_dragOver || !m_dragOver(event->source())) {
        event->ignore();
        return false;
    }
    event->setDropAction(Qt::MoveAction);
    event->accept();
    return true;
}

void FolderTreeWidget::dragEnterEvent(QDragEnterEvent* event)
{
    if (!acceptDrag(event))
        return;
    // The item view scrolls by itself near the edges only while it is in this state.
    setState(DraggingState);
    markDropTarget(indexAt(event->position().toPoint()));
}

void FolderTreeWidget::dragMoveEvent(QDragMoveEvent* event)
{
    if (!acceptDrag(event)) {
        markDropTarget(QModelIndex());
        return;
    }
    const QPoint point = event->position().toPoint();
    markDropTarget(indexAt(point));
    const QRect area = viewport()->rect();
    const int margin = autoScrollMargin();
    if (point.y() - area.top() < margin || area.bottom() - point.y() < margin ||
        point.x() - area.left() < margin || area.right() - point.x() < margin)
        startAutoScroll();
}

void FolderTreeWidget::dragLeaveEvent(QDragLeaveEvent* event)
{
    endDrag();
    event->accept();
}

void FolderTreeWidget::dropEvent(QDropEvent* event)
{
    endDrag();
    if (!acceptDrag(event))
        return;
    if (m_drop)
        m_drop(event->source(), event->position().toPoint());
}

void FolderTreeWidget::endDrag()
{
    stopAutoScroll();
    setState(NoState);
    markDropTarget(QModelIndex());
}

void FolderTreeWidget::markDropTarget(const QModelIndex& index)
{
    if (QModelIndex(m_dropTarget) == index)
        return;
    m_dropTarget = index;
    viewport()->update();
}

void FolderTreeWidget::drawRow(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const
{
    if (m_dropTarget.isValid() && index.row() == m_dropTarget.row() &&
        index.parent() == m_dropTarget.parent()) {
        // The drop target looks like a selected node, as the tree's own highlighting does.
        QStyleOptionViewItem marked = option;
        marked.state |= QStyle::State_Selected | QStyle::State_Active;
        QTreeWidget::drawRow(painter, marked, index);
        return;
    }
    QTreeWidget::drawRow(painter, option, index);
}

} // namespace lintora
