#pragma once

#include <QPoint>
#include <QTreeView>

namespace lintora {

// The bookmark list's view: the selected rows can be dragged onto the folder tree. The list itself
// takes no drops.
class BookmarkListView : public QTreeView
{
    Q_OBJECT
public:
    explicit BookmarkListView(QWidget* parent = nullptr);

    // The MIME type of a drag that carries bookmarks; the rows are the list's selected ones.
    static QString bookmarksMimeType();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void startBookmarkDrag();

    // Where the left button went down on a selected row; a move from there far enough starts a drag.
    QPoint m_pressPoint;
    bool m_dragPending = false;
};

} // namespace lintora
