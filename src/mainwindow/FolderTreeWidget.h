#pragma once

#include <QPersistentModelIndex>
#include <QTreeWidget>
#include <functional>

namespace lintora {

// The folder tree: its nodes can be dragged, and it is the one drop target of the window. What a
// drag may do is the main window's decision; the tree only asks and hands the drop over.
class FolderTreeWidget : public QTreeWidget
{
    Q_OBJECT
public:
    // Whether a drag coming from source may be dropped here.
    using DragOverHandler = std::function<bool(QObject* source)>;
    // A drop from source at point, in the coordinates of the tree's viewport.
    using DropHandler = std::function<void(QObject* source, const QPoint& point)>;

    explicit FolderTreeWidget(QWidget* parent = nullptr);

    void setDropHandlers(DragOverHandler dragOver, DropHandler drop);

    // The node marked as the drop target while a drag passes over the tree, or none.
    QTreeWidgetItem* dropTargetItem() const;

    // The MIME type of a drag that carries a folder node; the node is the tree's selected one.
    static QString folderMimeType();

protected:
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void drawRow(QPainter* painter, const QStyleOptionViewItem& option,
                 const QModelIndex& index) const override;

private:
    bool acceptDrag(QDropEvent* event);
    void markDropTarget(const QModelIndex& index);
    void endDrag();

    DragOverHandler m_dragOver;
    DropHandler m_drop;
    QPersistentModelIndex m_dropTarget;
};

} // namespace lintora
