#include "mainwindow/BookmarkListView.h"

#include <QApplication>
#include <QDrag>
#include <QItemSelectionModel>
#include <QMimeData>
#include <QMouseEvent>

namespace lintora {

BookmarkListView::BookmarkListView(QWidget* parent) : QTreeView(parent)
{
    setAcceptDrops(false);
    setDragDropMode(QAbstractItemView::NoDragDrop);
}

QString BookmarkListView::bookmarksMimeType()
{
    return QStringLiteral("application/x-lintoradesk-bookmarks");
}

void BookmarkListView::mousePressEvent(QMouseEvent* event)
{
    QTreeView::mousePressEvent(event);
    // A press on an unselected row has just selected it; with Ctrl it may have deselected it.
    const QModelIndex index = indexAt(event->position().toPoint());
    m_dragPending = event->button() == Qt::LeftButton && index.isValid() && selectionModel() &&
                    selectionModel()->isRowSelected(index.row(), index.parent());
    m_pressPoint = event->position().toPoint();
}

void BookmarkListView::mouseMoveEvent(QMouseEvent* event)
{
    if (m_dragPending && (event->buttons() & Qt::LeftButton)) {
        // Until the drag starts, the move must not select: the rows selected are the ones dragged.
        if ((event->position().toPoint() - m_pressPoint).manhattanLength() >=
            QApplication::startDragDistance()) {
            m_dragPending = false;
            startBookmarkDrag();
            setState(NoState);
        }
        return;
    }
    m_dragPending = false;
    QTreeView::mouseMoveEvent(event);
}

void BookmarkListView::mouseReleaseEvent(QMouseEvent* event)
{
    const bool clickOnSelection =
        m_dragPending && event->button() == Qt::LeftButton && event->modifiers() == Qt::NoModifier;
    m_dragPending = false;
    const QModelIndex index = indexAt(event->position().toPoint());
    if (clickOnSelection && index.isValid() && selectionModel()->selectedRows().size() > 1) {
        // As in a file list: a click that did not become a drag, on one of several selected rows,
        // leaves that row alone selected and starts no rename of it.
        selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        setState(NoState);
        return;
    }
    QTreeView::mouseReleaseEvent(event);
}

void BookmarkListView::startBookmarkDrag()
{
    // The drop reads the list's selection, so the data only names the kind of drag.
    auto* data = new QMimeData;
    data->setData(bookmarksMimeType(), QByteArray());
    auto* drag = new QDrag(this);
    drag->setMimeData(data);
    drag->exec(Qt::MoveAction, Qt::MoveAction);
}

} // namespace lintora
