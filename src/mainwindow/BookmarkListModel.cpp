#include "mainwindow/BookmarkListModel.h"

#include "platform/ParallelFor.h"

#include <QStringList>

namespace lintora {

BookmarkRow makeBookmarkRow(const BookmarkRowTexts& t, const QString& path)
{
    return {t.title, t.url, t.comment, t.statusText, t.responseText, t.checkDateText, path};
}

std::vector<BookmarkRow> readBookmarkRows(const QStringList& paths)
{
    const std::size_t count = static_cast<std::size_t>(paths.size());
    std::vector<BookmarkRow> rows(count);
    const auto readOne = [&](std::size_t i) {
        const QString& path = paths[static_cast<qsizetype>(i)];
        // A record's row in one open and one read of the file, its existence test included.
        rows[i] = makeBookmarkRow(TBMFile::ReadRowOf(path), path);
    };

    // Small lists are not worth a thread.
    constexpr std::size_t Block = 256;
    forEachIndexInBlocks(count, Block, 4 * Block, readOne);
    return rows;
}

BookmarkListModel::BookmarkListModel(QObject* parent) : QAbstractTableModel(parent) {}

int BookmarkListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int BookmarkListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ListColumn::Count;
}

QVariant BookmarkListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= ListColumn::Count)
        return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return cell(index.row(), index.column());
    return {};
}

Qt::ItemFlags BookmarkListModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.isValid() && index.column() == ListColumn::Title && m_titleEdited)
        flags |= Qt::ItemIsEditable;
    return flags;
}

bool BookmarkListModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || !index.isValid() || index.column() != ListColumn::Title ||
        index.row() >= rowCount() || !m_titleEdited)
        return false;
    // The handler's message box runs an event loop: the row is followed wherever it goes, and left
    // alone if the rows were replaced meanwhile.
    const QPersistentModelIndex edited(index);
    QString text = value.toString();
    m_titleEdited(index.row(), text);
    if (edited.isValid())
        setCell(edited.row(), ListColumn::Title, text);
    return true;
}

QString BookmarkListModel::columnCaption(int column)
{
    static const char16_t* const captions[ListColumn::Count] = {
        u"タイトル", u"ＵＲＬ", u"コメント", u"確認", u"レスポンス", u"確認日時", u"ショートカットファイル",
    };
    if (column < 0 || column >= ListColumn::Count)
        return {};
    return QString::fromUtf16(captions[column]);
}

QVariant BookmarkListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return columnCaption(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}

void BookmarkListModel::setRows(std::vector<BookmarkRow> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

void BookmarkListModel::clear()
{
    setRows({});
}

void BookmarkListModel::setCell(int r, int column, const QString& text)
{
    m_rows[static_cast<std::size_t>(r)][column] = text;
    emit dataChanged(index(r, column), index(r, column));
}

void BookmarkListModel::setRowTexts(int r, const BookmarkRowTexts& t)
{
    BookmarkRow& row = m_rows[static_cast<std::size_t>(r)];
    row[ListColumn::Title] = t.title;
    row[ListColumn::Url] = t.url;
    row[ListColumn::Comment] = t.comment;
    row[ListColumn::Status] = t.statusText;
    row[ListColumn::Response] = t.responseText;
    row[ListColumn::CheckDate] = t.checkDateText;
    emit dataChanged(index(r, 0), index(r, ListColumn::CheckDate));
}

void BookmarkListModel::reorder(const std::vector<int>& order)
{
    const int n = static_cast<int>(m_rows.size());
    if (static_cast<int>(order.size()) != n)
        return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);

    std::vector<int> newIndexOf(static_cast<std::size_t>(n));
    std::vector<BookmarkRow> sorted;
    sorted.reserve(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        const int old = order[static_cast<std::size_t>(i)];
        newIndexOf[static_cast<std::size_t>(old)] = i;
        sorted.push_back(std::move(m_rows[static_cast<std::size_t>(old)]));
    }
    m_rows = std::move(sorted);

    const QModelIndexList from = persistentIndexList();
    QModelIndexList to;
    to.reserve(from.size());
    for (const QModelIndex& index : from)
        to.append(index.isValid()
                      ? createIndex(newIndexOf[static_cast<std::size_t>(index.row())], index.column())
                      : QModelIndex());
    changePersistentIndexList(from, to);

    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

} // namespace lintora
