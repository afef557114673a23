#include "mainwindow/ListSort.h"

#include "platform/Cp932.h"
#include "platform/DateTime.h"

#include <algorithm>
#include <cstring>
#include <numeric>

namespace lintora {

ColumnKind columnKind(int column)
{
    switch (column) {
    case ListColumn::Response:
        return ColumnKind::Number;
    case ListColumn::CheckDate:
        return ColumnKind::DateTime;
    default:
        return ColumnKind::Text;
    }
}

QByteArray textSortBytes(const QString& text)
{
    // Plain ASCII is its own CP932 form; only other texts need the codec.
    const QChar* p = text.constData();
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (p[i].unicode() >= 0x80)
            return sortKeyBytes(text);
    }
    return text.toLatin1();
}

int compareSortBytes(const QByteArray& a, const QByteArray& b)
{
    const qsizetype common = std::min(a.size(), b.size());
    const int c =
        common > 0 ? std::memcmp(a.constData(), b.constData(), static_cast<std::size_t>(common)) : 0;
    if (c != 0)
        return c < 0 ? -1 : 1;
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

double responseSortValue(const QString& cell)
{
    if (cell.isEmpty())
        return 0.0;
    bool ok = false;
    const double value = cell.toDouble(&ok); // always "." as the decimal point
    return ok ? value : 0.0;
}

double checkDateSortValue(const QString& cell)
{
    if (cell.isEmpty())
        return 0.0;
    TDateTime value = 0.0;
    return parseDateTime(cell, value) ? value : 0.0;
}

namespace {

int compareNumbers(double a, double b)
{
    if (a > b)
        return 1;
    if (a < b)
        return -1;
    return 0;
}

} // namespace

int compareCells(const QString& a, const QString& b, int column)
{
    if (column < 0 || column >= ListColumn::Count)
        return 0;
    switch (columnKind(column)) {
    case ColumnKind::Number:
        return compareNumbers(responseSortValue(a), responseSortValue(b));
    case ColumnKind::DateTime:
        return compareNumbers(checkDateSortValue(a), checkDateSortValue(b));
    case ColumnKind::Text:
        break;
    }
    return compareSortBytes(textSortBytes(a), textSortBytes(b));
}

std::vector<int> sortedRowOrder(const BookmarkListModel& model, int column, int sortOrder)
{
    const int n = model.rowCount();
    std::vector<int> order(static_cast<std::size_t>(n));
    std::iota(order.begin(), order.end(), 0);
    if (column < 0 || column >= ListColumn::Count || n < 2)
        return order;

    const bool descending = sortOrder < 0;
    if (columnKind(column) == ColumnKind::Text) {
        std::vector<QByteArray> keys(static_cast<std::size_t>(n));
        for (int r = 0; r < n; ++r)
            keys[static_cast<std::size_t>(r)] = textSortBytes(model.cell(r, column));
        std::stable_sort(order.begin(), order.end(), [&](int x, int y) {
            const int c =
                compareSortBytes(keys[static_cast<std::size_t>(x)], keys[static_cast<std::size_t>(y)]);
            return descending ? c > 0 : c < 0;
        });
    } else {
        const bool isDate = columnKind(column) == ColumnKind::DateTime;
        std::vector<double> keys(static_cast<std::size_t>(n));
        for (int r = 0; r < n; ++r) {
            const QString& cell = model.cell(r, column);
            keys[static_cast<std::size_t>(r)] = isDate ? checkDateSortValue(cell) : responseSortValue(cell);
        }
        std::stable_sort(order.begin(), order.end(), [&](int x, int y) {
            const double a = keys[static_cast<std::size_t>(x)];
            const double b = keys[static_cast<std::size_t>(y)];
            return descending ? a > b : a < b;
        });
    }
    return order;
}

} // namespace lintora
