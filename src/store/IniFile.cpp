#include "store/IniFile.h"

#include "platform/Cp932.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace lintora {

namespace ini {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r';
}

// One line of the file: [start, end) without its line break; next is where the following line starts.
struct Line
{
    qsizetype start = 0;
    qsizetype end = 0;
    qsizetype next = 0;
    bool hasBreak = false;
};

enum class LineKind
{
    Other,
    Section,
    Key
};

struct ParsedLine
{
    LineKind kind = LineKind::Other;
    qsizetype nameStart = 0; // section or key name, blanks trimmed
    qsizetype nameEnd = 0;
    qsizetype valueStart = 0; // just after "=" (keys only)
};

qsizetype firstLineStart(const QByteArray& content)
{
    // A UTF-8 byte-order mark (some editors add one) is not part of the first line.
    return content.startsWith("\xEF\xBB\xBF") ? 3 : 0;
}

// Reads the line starting at pos; false at the end of the content.
bool nextLine(const QByteArray& content, qsizetype pos, Line& line)
{
    const qsizetype size = content.size();
    if (pos >= size)
        return false;
    const char* data = content.constData();
    const void* found = std::memchr(data + pos, '\n', std::size_t(size - pos));
    line.start = pos;
    if (found) {
        const qsizetype lf = static_cast<const char*>(found) - data;
        line.end = lf > pos && data[lf - 1] == '\r' ? lf - 1 : lf;
        line.next = lf + 1;
        line.hasBreak = true;
    } else {
        line.end = size;
        line.next = size;
        line.hasBreak = false;
    }
    return true;
}

ParsedLine parseLine(const QByteArray& content, const Line& line)
{
    const char* data = content.constData();
    ParsedLine parsed;
    qsizetype p = line.start;
    while (p < line.end && isBlank(data[p]))
        ++p;
    if (p < line.end && data[p] == '[') {
        const void* close = std::memchr(data + p + 1, ']', std::size_t(line.end - p - 1));
        if (close) {
            qsizetype s = p + 1;
            qsizetype e = static_cast<const char*>(close) - data;
            while (s < e && isBlank(data[s]))
                ++s;
            while (e > s && isBlank(data[e - 1]))
                --e;
            parsed.kind = LineKind::Section;
            parsed.nameStart = s;
            parsed.nameEnd = e;
            return parsed;
        }
    }
    const void* eq = std::memchr(data + p, '=', std::size_t(line.end - p));
    if (!eq)
        return parsed;
    qsizetype e = static_cast<const char*>(eq) - data;
    parsed.valueStart = e + 1;
    while (e > p && isBlank(data[e - 1]))
        --e;
    if (e == p)
        return parsed; // no key name
    parsed.kind = LineKind::Key;
    parsed.nameStart = p;
    parsed.nameEnd = e;
    return parsed;
}

// Names compare with ASCII letters folded; the trail byte of a two-byte character is compared as it
// is, since it may look like a letter without being one.
bool sameName(const char* a, qsizetype aSize, const char* pb, qsizetype bSize)
{
    if (aSize != bSize)
        return false;
    for (qsizetype i = 0; i < aSize; ++i) {
        const unsigned char ca = static_cast<unsigned char>(a[i]);
        const unsigned char cb = static_cast<unsigned char>(pb[i]);
        if (isCp932LeadByte(ca)) {
            if (ca != cb || i + 1 >= aSize || a[i + 1] != pb[i + 1])
                return false;
            ++i;
            continue;
        }
        const auto fold = [](unsigned char c) { return c >= 'a' && c <= 'z' ? c - 32 : c; };
        if (fold(ca) != fold(cb))
            return false;
    }
    return true;
}

bool sameName(const char* a, qsizetype aSize, const QByteArray& b)
{
    return sameName(a, aSize, b.constData(), b.size());
}

QByteArray trimmedName(const QByteArray& name)
{
    qsizetype s = 0;
    qsizetype e = name.size();
    while (s < e && isBlank(name[s]))
        ++s;
    while (e > s && isBlank(name[e - 1]))
        --e;
    return name.mid(s, e - s);
}

// Where a key stands in the content (or would go).
struct KeyPosition
{
    bool sectionFound = false;
    bool keyFound = false;
    Line keyLine;          // when keyFound
    ParsedLine keyParsed;  // when keyFound
    Line lastNonBlankLine; // of the section, its header included (when sectionFound)
};

KeyPosition findKey(const QByteArray& content, const QByteArray& sectionName, const QByteArray& keyName)
{
    const QByteArray section = trimmedName(sectionName);
    const QByteArray key = trimmedName(keyName);
    const char* data = content.constData();
    KeyPosition found;
    Line line;
    qsizetype pos = firstLineStart(content);
    bool inSection = false;
    while (nextLine(content, pos, line)) {
        pos = line.next;
        const ParsedLine parsed = parseLine(content, line);
        if (parsed.kind == LineKind::Section) {
            if (inSection)
                break; // only the first section of that name counts
            if (sameName(data + parsed.nameStart, parsed.nameEnd - parsed.nameStart, section)) {
                inSection = true;
                found.sectionFound = true;
                found.lastNonBlankLine = line;
            }
            continue;
        }
        if (!inSection)
            continue;
        bool blank = true;
        for (qsizetype i = line.start; i < line.end && blank; ++i)
            blank = isBlank(data[i]);
        if (!blank)
            found.lastNonBlankLine = line;
        if (parsed.kind == LineKind::Key &&
            sameName(data + parsed.nameStart, parsed.nameEnd - parsed.nameStart, key)) {
            found.keyFound = true;
            found.keyLine = line;
            found.keyParsed = parsed;
            return found;
        }
    }
    return found;
}

// The longest prefix of at most MaxValueBytes bytes that does not split a two-byte character.
qsizetype cutLength(const char* data, qsizetype size)
{
    if (size <= MaxValueBytes)
        return size;
    qsizetype i = 0;
    while (i < size) {
        const qsizetype step = isCp932LeadByte(static_cast<unsigned char>(data[i])) ? 2 : 1;
        if (i + step > MaxValueBytes)
            break;
        i += step;
    }
    return i;
}

QByteArray lineBreakOf(const QByteArray& content)
{
    const qsizetype lf = content.indexOf('\n');
    if (lf > 0 && content[lf - 1] == '\r')
        return QByteArrayLiteral("\r\n");
    if (lf >= 0)
        return QByteArrayLiteral("\n");
    return QByteArrayLiteral("\r\n");
}

} // namespace

namespace {

// The value of a key line as the profile functions return it.
QByteArray valueOf(const QByteArray& content, const Line& line, const ParsedLine& parsed)
{
    const char* data = content.constData();
    qsizetype s = parsed.valueStart;
    qsizetype e = line.end;
    // The value is a C string to the programs that share these files: a NUL ends it.
    if (const void* nul = std::memchr(data + s, '\0', std::size_t(e - s)))
        e = static_cast<const char*>(nul) - data;
    while (s < e && isBlank(data[s]))
        ++s;
    while (e > s && isBlank(data[e - 1]))
        --e;
    if (e - s >= 2 && (data[s] == '"' || data[s] == '\'') && data[e - 1] == data[s]) {
        ++s;
        --e;
    }
    return QByteArray(data + s, cutLength(data + s, e - s));
}

} // namespace

std::optional<QByteArray> lookup(const QByteArray& content, const QByteArray& section, const QByteArray& key)
{
    const KeyPosition found = findKey(content, section, key);
    if (!found.keyFound)
        return std::nullopt;
    return valueOf(content, found.keyLine, found.keyParsed);
}

std::vector<std::optional<QByteArray>> lookupMany(const QByteArray& content, const std::vector<KeyRef>& keys)
{
    enum class State
    {
        Before,
        Inside,
        After
    };
    struct Wanted
    {
        const char* section;
        qsizetype sectionSize;
        const char* key;
        qsizetype keySize;
        State state;
    };
    // Names given without blanks around them, as the program's own names are, need no trimming.
    const auto bare = [](const char* s) {
        qsizetype n = qsizetype(std::strlen(s));
        while (n > 0 && isBlank(s[n - 1]))
            --n;
        while (n > 0 && isBlank(*s)) {
            ++s;
            --n;
        }
        return std::pair{s, n};
    };
    std::vector<Wanted> wanted;
    wanted.reserve(keys.size());
    for (const KeyRef& k : keys) {
        const auto [section, sectionSize] = bare(k.section);
        const auto [key, keySize] = bare(k.key);
        wanted.push_back({section, sectionSize, key, keySize, State::Before});
    }
    std::vector<std::optional<QByteArray>> values(keys.size());
    std::size_t open = keys.size(); // lookups not yet answered for good
    const char* data = content.constData();
    Line line;
    qsizetype pos = firstLineStart(content);
    while (open > 0 && nextLine(content, pos, line)) {
        pos = line.next;
        const ParsedLine parsed = parseLine(content, line);
        if (parsed.kind == LineKind::Section) {
            for (std::size_t i = 0; i < wanted.size(); ++i) {
                Wanted& w = wanted[i];
                if (w.state == State::Inside) {
                    // Only the first section of a name counts.
                    w.state = State::After;
                    if (!values[i])
                        --open;
                } else if (w.state == State::Before &&
                           sameName(data + parsed.nameStart, parsed.nameEnd - parsed.nameStart, w.section,
                                    w.sectionSize)) {
                    w.state = State::Inside;
                }
            }
            continue;
        }
        if (parsed.kind != LineKind::Key)
            continue;
        for (std::size_t i = 0; i < wanted.size(); ++i) {
            Wanted& w = wanted[i];
            if (w.state == State::Inside && !values[i] &&
                sameName(data + parsed.nameStart, parsed.nameEnd - parsed.nameStart, w.key, w.keySize)) {
                values[i] = valueOf(content, line, parsed);
                --open;
            }
        }
    }
    return values;
}

QByteArray withValue(const QByteArray& content, const QByteArray& section, const QByteArray& key,
                     const QByteArray& value)
{
    QByteArray safeValue = value;
    for (char& c : safeValue)
        if (c == '\r' || c == '\n' || c == '\0')
            c = ' ';
    // A value that reading would change (blanks at an end, or a matching pair of quotes around it)
    // goes inside one pair of quotes, which reading removes again: a comment keeps its quotes.
    const qsizetype n = safeValue.size();
    if (n > 0 &&
        (isBlank(safeValue[0]) || isBlank(safeValue[n - 1]) ||
         (n >= 2 && (safeValue[0] == '"' || safeValue[0] == '\'') && safeValue[n - 1] == safeValue[0])))
        safeValue = '"' + safeValue + '"';
    const KeyPosition found = findKey(content, section, key);
    if (found.keyFound) {
        QByteArray result = content;
        result.replace(found.keyParsed.valueStart, found.keyLine.end - found.keyParsed.valueStart, safeValue);
        return result;
    }
    const QByteArray lineBreak = lineBreakOf(content);
    const QByteArray keyLine = trimmedName(key) + '=' + safeValue;
    if (found.sectionFound) {
        QByteArray result = content;
        const Line& last = found.lastNonBlankLine;
        if (last.hasBreak)
            result.insert(last.next, keyLine + lineBreak);
        else
            result.insert(last.next, lineBreak + keyLine); // the file had no final line break
        return result;
    }
    QByteArray result = content;
    if (result.size() > firstLineStart(result) && !result.endsWith('\n'))
        result += lineBreak;
    result += '[' + trimmedName(section) + ']' + lineBreak + keyLine + lineBreak;
    return result;
}

std::optional<int> parseInteger(const QByteArray& text)
{
    const QByteArray t = trimmedName(text);
    if (t.size() > 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X')) {
        unsigned long long v = 0;
        const char* first = t.constData() + 2;
        const char* last = t.constData() + t.size();
        const auto [end, error] = std::from_chars(first, last, v, 16);
        if (error != std::errc() || end != last || v > 0xFFFFFFFFULL)
            return std::nullopt;
        return static_cast<int>(static_cast<std::uint32_t>(v)); // 0xFFFFFFFF is -1, as it always was
    }
    const char* first = t.constData();
    const char* last = first + t.size();
    if (first != last && *first == '+') {
        ++first;
        if (first != last && *first == '-')
            return std::nullopt;
    }
    long long v = 0;
    const auto [end, error] = std::from_chars(first, last, v, 10);
    if (error != std::errc() || end != last || v < INT32_MIN || v > INT32_MAX)
        return std::nullopt;
    return static_cast<int>(v);
}

QByteArray formatFloat(double value)
{
    if (std::isnan(value))
        return QByteArrayLiteral("NAN");
    if (std::isinf(value))
        return value < 0 ? QByteArrayLiteral("-INF") : QByteArrayLiteral("INF");
    if (value == 0)
        return QByteArrayLiteral("0");
    // 15 significant digits, correctly rounded, without regard to the C locale.
    char buffer[64];
    const auto [end, error] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 14);
    if (error != std::errc())
        return QByteArrayLiteral("0");
    const QByteArray sci(buffer, end - buffer); // [-]d.ddddddddddddddde[+-]xx
    const bool negative = sci.startsWith('-');
    const qsizetype ePos = sci.indexOf('e');
    QByteArray digits = sci.mid(negative ? 1 : 0, ePos - (negative ? 1 : 0));
    digits.remove(1, 1); // the point
    while (digits.size() > 1 && digits.endsWith('0'))
        digits.chop(1);
    const int exponent = std::atoi(sci.constData() + ePos + 1); // value = d.ddd * 10^exponent
    const int integerDigits = exponent + 1;

    QByteArray out;
    if (negative)
        out += '-';
    if (integerDigits >= -3 && integerDigits <= 15) {
        if (integerDigits <= 0) {
            out += "0." + QByteArray(-integerDigits, '0') + digits;
        } else if (digits.size() <= integerDigits) {
            out += digits + QByteArray(integerDigits - digits.size(), '0');
        } else {
            out += digits.left(integerDigits) + '.' + digits.mid(integerDigits);
        }
    } else {
        out += digits.left(1);
        if (digits.size() > 1)
            out += '.' + digits.mid(1);
        out += 'E' + QByteArray::number(exponent);
    }
    return out;
}

std::optional<double> parseFloat(const QByteArray& text)
{
    const QByteArray t = trimmedName(text);
    const char* p = t.constData();
    const char* last = p + t.size();
    // A plain decimal number with "." and an optional exponent; no hexadecimal, "inf" or "nan".
    const char* q = p;
    if (q != last && (*q == '+' || *q == '-'))
        ++q;
    bool digits = false;
    while (q != last && *q >= '0' && *q <= '9') {
        ++q;
        digits = true;
    }
    if (q != last && *q == '.') {
        ++q;
        while (q != last && *q >= '0' && *q <= '9') {
            ++q;
            digits = true;
        }
    }
    if (!digits)
        return std::nullopt;
    if (q != last && (*q == 'e' || *q == 'E')) {
        ++q;
        if (q != last && (*q == '+' || *q == '-'))
            ++q;
        bool expDigits = false;
        while (q != last && *q >= '0' && *q <= '9') {
            ++q;
            expDigits = true;
        }
        if (!expDigits)
            return std::nullopt;
    }
    if (q != last)
        return std::nullopt;
    if (*p == '+')
        ++p;
    double v = 0;
    const auto [end, error] = std::from_chars(p, last, v, std::chars_format::general);
    if (error != std::errc() || end != last || !std::isfinite(v))
        return std::nullopt;
    return v;
}

} // namespace ini

IniFile::IniFile(QString path, WriteMode mode) : m_path(std::move(path)), m_mode(mode) {}

QByteArray IniFile::readContent() const
{
    QByteArray content;
    readWholeFile(m_path, content);
    return content;
}

QString IniFile::readString(const QString& section, const QString& key, const QString& defaultValue) const
{
    const auto value = ini::lookup(readContent(), encodeCp932(section), encodeCp932(key));
    return value ? decodeCp932(*value) : defaultValue;
}

int IniFile::readInteger(const QString& section, const QString& key, int defaultValue) const
{
    const auto value = ini::lookup(readContent(), encodeCp932(section), encodeCp932(key));
    if (!value)
        return defaultValue;
    return ini::parseInteger(*value).value_or(defaultValue);
}

bool IniFile::readBool(const QString& section, const QString& key, bool defaultValue) const
{
    return readInteger(section, key, defaultValue ? 1 : 0) != 0;
}

TDateTime IniFile::readDateTime(const QString& section, const QString& key, TDateTime defaultValue) const
{
    const auto value = ini::lookup(readContent(), encodeCp932(section), encodeCp932(key));
    TDateTime result = defaultValue;
    if (!value || !parseDateTime(decodeCp932(*value), result))
        return defaultValue;
    return result;
}

double IniFile::readFloat(const QString& section, const QString& key, double defaultValue) const
{
    const auto value = ini::lookup(readContent(), encodeCp932(section), encodeCp932(key));
    if (!value)
        return defaultValue;
    return ini::parseFloat(*value).value_or(defaultValue);
}

void IniFile::writeString(const QString& section, const QString& key, const QString& value)
{
    writeRaw(section, key, encodeCp932(value));
}

void IniFile::writeInteger(const QString& section, const QString& key, int value)
{
    writeRaw(section, key, QByteArray::number(value));
}

void IniFile::writeBool(const QString& section, const QString& key, bool value)
{
    writeRaw(section, key, value ? QByteArrayLiteral("1") : QByteArrayLiteral("0"));
}

void IniFile::writeDateTime(const QString& section, const QString& key, TDateTime value)
{
    writeRaw(section, key, formatDateTime(value).toLatin1());
}

void IniFile::writeFloat(const QString& section, const QString& key, double value)
{
    writeRaw(section, key, ini::formatFloat(value));
}

void IniFile::writeRaw(const QString& section, const QString& key, const QByteArray& value)
{
    QByteArray content;
    if (!readWholeFile(m_path, content)) {
        // Rewriting a file that exists but cannot be read would lose everything else in it.
        if (fileExists(m_path))
            throw WriteError(m_path, m_path + QStringLiteral(" に書き込めません"));
        if (m_mode == WriteMode::ReplaceExisting)
            return;
        content.clear();
    }
    writeFileSafely(m_path, ini::withValue(content, encodeCp932(section), encodeCp932(key), value), m_mode);
}

} // namespace lintora
