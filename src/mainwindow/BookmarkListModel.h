#pragma once

#include "store/BookmarkFile.h"

#include <QAbstractTableModel>
#include <QString>
#include <array>
#include <functional>
#include <vector>

namespace lintora {

// The seven cells of one bookmark list row: title, URL, comment, status text, response text,
// check date text and the shortcut file's full path. The path identifies the row's file.
using BookmarkRow = std::array<QString, 7>;

namespace ListColumn {
constexpr int Title = 0;
constexpr int Url = 1;
constexpr int Comment = 2;
constexpr int Status = 3;
constexpr int Response = 4;
constexpr int CheckDate = 5;
constexpr int Path = 6;
constexpr int Count = 7;
} // namespace ListColumn

BookmarkRow makeBookmarkRow(const BookmarkRowTexts& texts, const QString& path);

// Reads one row per path, in the order of paths: each through a record of its own, opened and
// released for that row. Large lists are read on a few threads at once; the rows come out the same.
std::vector<BookmarkRow> readBookmarkRows(const QStringList& paths);

// The rows behind the bookmark list: plain text cells, so that a hundred thousand bookmarks cost
// one small record each and the view asks only for what it draws.
class BookmarkListModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit BookmarkListModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    // Only the title is edited in place, and only once a rename handler is installed.
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // A confirmed title edit goes to the rename handler, which may change the text to the title as
    // it was; the cell then shows whatever the handler left.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

    // handler(row, text): renames the row's file after an in-place edit of its title.
    using TitleEditHandler = std::function<void(int row, QString& text)>;
    void setTitleEditHandler(TitleEditHandler handler) { m_titleEdited = std::move(handler); }

    static QString columnCaption(int column);

    // Replaces every row (the view's selection goes with the old rows).
    void setRows(std::vector<BookmarkRow> rows);
    void clear();

    const BookmarkRow& row(int r) const { return m_rows[static_cast<std::size_t>(r)]; }
    const QString& cell(int r, int column) const { return m_rows[static_cast<std::size_t>(r)][column]; }
    const QString& path(int r) const { return cell(r, ListColumn::Path); }

    // Rewrites one cell of row r.
    void setCell(int r, int column, const QString& text);
    // Rewrites the first six cells of row r.
    void setRowTexts(int r, const BookmarkRowTexts& texts);

    // Puts the rows in the order given (order[i] is the old index of the row that goes to i). Rows
    // keep their contents, and the view's selection and current row move with them.
    void reorder(const std::vector<int>& order);

private:
    std::vector<BookmarkRow> m_rows;
    TitleEditHandler m_titleEdited;
};

} // namespace lintora
