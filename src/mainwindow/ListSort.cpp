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

namespace {

// The CP932 bytes of every UTF-16 code unit, worked out once: 0 for none (a surrogate or a
// character outside the code page), else the one or two bytes with the count in the top bits.
// Sorting a column encodes every cell, so this is what a sort of long Japanese paths costs.
class Cp932Table
{
public:
    Cp932Table() : m_codes(0x10000, 0)
    {
        for (char32_t c = 1; c < 0x10000; ++c) {
            if (c >= 0xD800 && c <= 0xDFFF)
                continue;
            const QString one(QChar(static_cast<char16_t>(c)));
            if (!canEncodeCp932(one))
                continue;
            const QByteArray bytes = encodeCp932(one);
            if (bytes.size() == 1)
                m_codes[c] = (1u << 16) | static_cast<unsigned char>(bytes[0]);
            else if (bytes.size() == 2)
                m_codes[c] = (2u << 16) | (static_cast<unsigned char>(bytes[0]) << 8) |
                             static_cast<unsigned char>(bytes[1]);
        }
    }

    // Appends the CP932 form of text to out; false (and out as it was) when it has none.
    bool append(QStringView text, QByteArray& out) const
    {
        const qsizetype at = out.size();
        out.resize(at + 2 * text.size());
        char* dst = out.data() + at;
        for (const QChar ch : text) {
            const std::uint32_t code = m_codes[ch.unicode()];
            if (code == 0) {
                out.resize(at);
                return false;
            }
            if ((code >> 16) == 2)
                *dst++ = static_cast<char>((code >> 8) & 0xFF);
            *dst++ = static_cast<char>(code & 0xFF);
        }
        out.resize(dst - out.constData());
        return true;
    }

private:
    std::vector<std::uint32_t> m_codes;
};

const Cp932Table& cp932Table()
{
    static const Cp932Table table;
    return table;
}

} // namespace

void appendTextSortBytes(QStringView text, QByteArray& out)
{
    const QChar* p = text.constData();
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n && p[i].unicode() < 0x80 && p[i].unicode() != 0)
        ++i;
    if (i == n) {
        // Plain ASCII is its own CP932 form.
        const qsizetype at = out.size();
        out.resize(at + n);
        char* dst = out.data() + at;
        for (qsizetype k = 0; k < n; ++k)
            dst[k] = static_cast<char>(p[k].unicode());
        return;
    }
    if (!cp932Table().append(text, out))
        out.append(sortKeyBytes(text.toString())); // no CP932 form: its UTF-8 bytes
}

QByteArray textSortBytes(const QString& text)
{
    QByteArray bytes;
    appendTextSortBytes(text, bytes);
    return bytes;
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
        // Texts that all begin with the same plain ASCII (the favorites folder at the start of every
        // path) have the same bytes there in any encoding: only what follows is encoded and compared.
        qsizetype shared = model.cell(0, column).size();
        const QChar* first = model.cell(0, column).constData();
        for (int r = 1; r < n && shared > 0; ++r) {
            const QString& text = model.cell(r, column);
            const qsizetype limit = std::min(shared, text.size());
            qsizetype i = 0;
            while (i < limit && text[i] == first[i])
                ++i;
            shared = i;
        }
        qsizetype ascii = 0;
        while (ascii < shared && first[ascii].unicode() < 0x80 && first[ascii].unicode() != 0)
            ++ascii;
        shared = ascii;

        // All keys in one buffer: no allocation per row.
        QByteArray blob;
        qsizetype characters = 0;
        for (int r = 0; r < n; ++r)
            characters += model.cell(r, column).size() - shared;
        blob.reserve(2 * characters);
        std::vector<std::pair<qsizetype, qsizetype>> spans(static_cast<std::size_t>(n));
        for (int r = 0; r < n; ++r) {
            const qsizetype start = blob.size();
            appendTextSortBytes(QStringView(model.cell(r, column)).mid(shared), blob);
            spans[static_cast<std::size_t>(r)] = {start, blob.size() - start};
        }
        const char* bytes = blob.constData();
        // The first eight bytes of each key travel with the row, so that most comparisons are
        // decided without a trip into the buffer.
        struct Entry
        {
            quint64 head;
            int row;
        };
        std::vector<Entry> entries(static_cast<std::size_t>(n));
        for (int r = 0; r < n; ++r) {
            const auto [start, length] = spans[static_cast<std::size_t>(r)];
            quint64 head = 0;
            for (qsizetype i = 0; i < 8; ++i)
                head = (head << 8) | (i < length ? static_cast<unsigned char>(bytes[start + i]) : 0u);
            entries[static_cast<std::size_t>(r)] = {head, r};
        }
        const auto compare = [&](const Entry& x, const Entry& y) {
            if (x.head != y.head)
                return x.head < y.head ? -1 : 1;
            const auto [xs, xl] = spans[static_cast<std::size_t>(x.row)];
            const auto [ys, yl] = spans[static_cast<std::size_t>(y.row)];
            const qsizetype common = std::min(xl, yl);
            const int c = common > 0 ? std::memcmp(bytes + xs, bytes + ys, std::size_t(common)) : 0;
            if (c != 0)
                return c;
            return xl == yl ? 0 : (xl < yl ? -1 : 1);
        };
        std::stable_sort(entries.begin(), entries.end(), [&](const Entry& x, const Entry& y) {
            const int c = compare(x, y);
            return descending ? c > 0 : c < 0;
        });
        for (int i = 0; i < n; ++i)
            order[static_cast<std::size_t>(i)] = entries[static_cast<std::size_t>(i)].row;
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
