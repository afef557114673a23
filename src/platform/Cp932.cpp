#include "platform/Cp932.h"

#include <array>
#include <cerrno>
#include <iconv.h>
#include <memory>

namespace lintora {

namespace {

constexpr char16_t Replacement = 0xFFFD;
constexpr char16_t NoMapping = 0;

// Conversion tables, built once from glibc's "CP932" converter. Tables rather than a converter per
// call: decoding runs for every field of every bookmark of a list fill, and a table lookup is both
// fast and free of converter state, so any thread may use it. glibc maps the Windows code page
// exactly (NEC and IBM extensions, 0x5C as backslash, U+FF5E for the full-width tilde).
struct Tables
{
    // Single bytes: the character, or NoMapping for a lead byte or an unassigned byte.
    std::array<char16_t, 256> single{};
    // Two-byte characters by (lead - 0x80) * 256 + trail; NoMapping when unassigned.
    std::array<char16_t, 128 * 256> pair{};
    // UTF-16 code unit to CP932 bytes (high byte 0 for a single byte); 0xFFFF when there is none.
    std::array<std::uint16_t, 65536> encode{};

    Tables()
    {
        encode.fill(0xFFFF);
        iconv_t toUnicode = iconv_open("UTF-16LE", "CP932");
        iconv_t fromUnicode = iconv_open("CP932", "UTF-16LE");
        if (toUnicode == iconv_t(-1) || fromUnicode == iconv_t(-1)) {
            // Without the converter, keep ASCII working; everything else becomes a replacement.
            for (int b = 0; b < 0x80; ++b) {
                single[b] = char16_t(b);
                encode[b] = std::uint16_t(b);
            }
            return;
        }
        const auto decodeOne = [&](const char* bytes, std::size_t size) -> char16_t {
            char16_t out[4];
            char* in = const_cast<char*>(bytes);
            std::size_t inLeft = size;
            char* o = reinterpret_cast<char*>(out);
            std::size_t outLeft = sizeof out;
            iconv(toUnicode, nullptr, nullptr, nullptr, nullptr);
            if (iconv(toUnicode, &in, &inLeft, &o, &outLeft) == std::size_t(-1) || inLeft != 0)
                return NoMapping;
            if (sizeof out - outLeft != 2)
                return NoMapping;
            return out[0];
        };
        const auto encodeOne = [&](char16_t c) -> std::uint16_t {
            char out[8];
            char* in = reinterpret_cast<char*>(&c);
            std::size_t inLeft = 2;
            char* o = out;
            std::size_t outLeft = sizeof out;
            iconv(fromUnicode, nullptr, nullptr, nullptr, nullptr);
            if (iconv(fromUnicode, &in, &inLeft, &o, &outLeft) == std::size_t(-1))
                return 0xFFFF;
            const std::size_t n = sizeof out - outLeft;
            if (n == 1)
                return std::uint8_t(out[0]);
            if (n == 2)
                return std::uint16_t((std::uint8_t(out[0]) << 8) | std::uint8_t(out[1]));
            return 0xFFFF;
        };

        for (int b = 0; b < 256; ++b) {
            if (isCp932LeadByte(std::uint8_t(b)))
                continue;
            const char byte = char(b);
            single[b] = b == 0 ? char16_t(0) : decodeOne(&byte, 1);
        }
        for (int lead = 0x81; lead <= 0xFC; ++lead) {
            if (!isCp932LeadByte(std::uint8_t(lead)))
                continue;
            for (int trail = 0x40; trail <= 0xFC; ++trail) {
                const char bytes[2] = {char(lead), char(trail)};
                pair[(lead - 0x80) * 256 + trail] = decodeOne(bytes, 2);
            }
        }
        // The reverse direction: for each character the code page has, the bytes Windows writes for
        // it (where a character has several codes, the converter knows the preferred one). Only
        // choices that decode back to the same character are kept, so a write never changes text.
        const auto addReverse = [&](char16_t c) {
            if (c == NoMapping || c == Replacement || encode[c] != 0xFFFF)
                return;
            const std::uint16_t bytes = encodeOne(c);
            if (bytes == 0xFFFF)
                return;
            const char16_t back =
                bytes < 0x100 ? single[bytes] : pair[((bytes >> 8) - 0x80) * 256 + (bytes & 0xFF)];
            if (back == c)
                encode[c] = bytes;
        };
        encode[0] = 0;
        for (char16_t c : single)
            addReverse(c);
        for (char16_t c : pair)
            addReverse(c);
        // Characters that JIS-based converters produce for the same code points (from Mac or Unix
        // text, say): written as the code page's character that shows the same glyph.
        const std::pair<char16_t, std::uint16_t> jisVariants[] = {
            {0x301C, 0x8160}, // WAVE DASH -> FULLWIDTH TILDE
            {0x2016, 0x8161}, // DOUBLE VERTICAL LINE -> PARALLEL TO
            {0x2212, 0x817C}, // MINUS SIGN -> FULLWIDTH HYPHEN-MINUS
            {0x00A2, 0x8191}, // CENT SIGN -> FULLWIDTH CENT SIGN
            {0x00A3, 0x8192}, // POUND SIGN -> FULLWIDTH POUND SIGN
            {0x00AC, 0x81CA}, // NOT SIGN -> FULLWIDTH NOT SIGN
            {0x2014, 0x815C}, // EM DASH -> HORIZONTAL BAR
        };
        for (const auto& [c, bytes] : jisVariants)
            if (encode[c] == 0xFFFF)
                encode[c] = bytes;
        iconv_close(toUnicode);
        iconv_close(fromUnicode);
    }
};

const Tables& tables()
{
    static const Tables instance;
    return instance;
}

} // namespace

QString decodeCp932(const char* data, qsizetype size)
{
    QString result(size, Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(result.data());
    const auto* in = reinterpret_cast<const unsigned char*>(data);
    qsizetype n = 0;
    qsizetype i = 0;
    // Plain ASCII needs no table.
    while (i < size && in[i] < 0x80)
        out[n++] = in[i++];
    if (i < size) {
        const Tables& t = tables();
        while (i < size) {
            const unsigned char b = in[i];
            if (b < 0x80) {
                out[n++] = t.single[b];
                ++i;
            } else if (isCp932LeadByte(b)) {
                const unsigned char trail = i + 1 < size ? in[i + 1] : 0;
                const char16_t c = (trail >= 0x40 && trail <= 0xFC && trail != 0x7F)
                                       ? t.pair[(b - 0x80) * 256 + trail]
                                       : NoMapping;
                if (c != NoMapping) {
                    out[n++] = c;
                    i += 2;
                } else if (trail >= 0x40 && trail <= 0xFC && trail != 0x7F) {
                    // A well-formed but unassigned pair: one replacement for both bytes.
                    out[n++] = Replacement;
                    i += 2;
                } else {
                    // A lead byte without its trail: the next byte stands on its own.
                    out[n++] = Replacement;
                    ++i;
                }
            } else {
                const char16_t c = t.single[b];
                out[n++] = c == NoMapping ? Replacement : c;
                ++i;
            }
        }
    }
    result.truncate(n);
    return result;
}

QString decodeCp932(const QByteArray& bytes)
{
    return decodeCp932(bytes.constData(), bytes.size());
}

namespace {

// Encodes text; returns false in `exact` when some character had to be replaced by "?".
QByteArray encode(const QString& text, bool& exact)
{
    exact = true;
    QByteArray out;
    out.reserve(text.size() * 2);
    const char16_t* s = reinterpret_cast<const char16_t*>(text.constData());
    const qsizetype size = text.size();
    qsizetype i = 0;
    while (i < size && s[i] < 0x80)
        out.append(char(s[i++]));
    if (i == size)
        return out;
    const Tables& t = tables();
    for (; i < size; ++i) {
        const char16_t c = s[i];
        if (QChar::isHighSurrogate(c) && i + 1 < size && QChar::isLowSurrogate(s[i + 1])) {
            // No character outside the Basic Multilingual Plane has a CP932 form: one "?" for the pair.
            out.append('?');
            exact = false;
            ++i;
            continue;
        }
        const std::uint16_t bytes = t.encode[c];
        if (bytes == 0xFFFF) {
            out.append('?');
            exact = false;
        } else if (bytes < 0x100) {
            out.append(char(bytes));
        } else {
            out.append(char(bytes >> 8));
            out.append(char(bytes & 0xFF));
        }
    }
    return out;
}

} // namespace

QByteArray encodeCp932(const QString& text)
{
    bool exact;
    return encode(text, exact);
}

bool canEncodeCp932(const QString& text)
{
    bool exact;
    encode(text, exact);
    return exact;
}

QByteArray sortKeyBytes(const QString& text)
{
    bool exact;
    QByteArray bytes = encode(text, exact);
    return exact ? bytes : text.toUtf8();
}

} // namespace lintora
