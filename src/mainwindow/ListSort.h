#pragma once

#include "mainwindow/BookmarkListModel.h"

#include <QByteArray>
#include <QString>
#include <vector>

namespace lintora {

// The bookmark list's comparison rules, one kind per column: texts by the bytes of their CP932
// form (so Japanese titles order as they always did in Shift-JIS), the response column as a number
// and the check date column as a date-time, an empty cell counting as 0.

enum class ColumnKind
{
    Text,
    Number,
    DateTime
};
ColumnKind columnKind(int column);

// The bytes a text sorts by.
QByteArray textSortBytes(const QString& text);
void appendTextSortBytes(QStringView text, QByteArray& out);
// Byte-wise, unsigned, the shorter first when it begins the longer: -1, 0 or +1.
int compareSortBytes(const QByteArray& a, const QByteArray& b);
// The response cell's value ("12.5"), 0 when empty or not a number.
double responseSortValue(const QString& cell);
// The check date cell's value, 0 when empty or not a date.
double checkDateSortValue(const QString& cell);

// Compares two cells of the given column (0..6) in ascending order: -1, 0 or +1. Columns beyond
// the seventh compare as 0.
int compareCells(const QString& a, const QString& b, int column);

// The order of the rows sorted by column in the direction sortOrder (+1 ascending, -1 descending):
// element i is the index of the row that goes to place i. The keys are worked out once per row,
// and rows that compare equal keep their order.
std::vector<int> sortedRowOrder(const BookmarkListModel& model, int column, int sortOrder);

} // namespace lintora
