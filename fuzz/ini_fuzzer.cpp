// Feeds arbitrary bytes to the INI text rules: lookups and rewrites must never crash or hang, a
// rewrite must read back, and it must leave every other key as it was.

#include "platform/Cp932.h"
#include "store/IniFile.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

using namespace lintora;

namespace {

const char* const Sections[] = {"Lintora",  "DEFAULT", "InternetShortcut", "lintora", "New",
                                "\x82\xa0", "A B"};
const char* const Keys[] = {"COMMENT", "STATUS", "BASEURL", "URL", "comment", "K", "\x93\xfa"};

void check(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 3)
        return 0;
    const char* section = Sections[data[0] % std::size(Sections)];
    const char* key = Keys[data[1] % std::size(Keys)];
    const std::size_t valueSize = std::min<std::size_t>(data[2], size - 3);
    const QByteArray value(reinterpret_cast<const char*>(data + 3), qsizetype(valueSize));
    const QByteArray content(reinterpret_cast<const char*>(data + 3 + valueSize),
                             qsizetype(size - 3 - valueSize));

    // Reading: always comes back within the limit, and decodes; the one-pass form agrees.
    std::vector<ini::KeyRef> all;
    for (const char* s : Sections)
        for (const char* k : Keys)
            all.push_back({s, k});
    const auto many = ini::lookupMany(content, all);
    std::size_t index = 0;
    for (const char* s : Sections) {
        for (const char* k : Keys) {
            const auto found = ini::lookup(content, s, k);
            check(many[index++] == found);
            if (found) {
                check(found->size() <= ini::MaxValueBytes);
                decodeCp932(*found);
                ini::parseInteger(*found);
                ini::parseFloat(*found);
            }
        }
    }

    // Writing: the value reads back; other keys read as before.
    const QByteArray after = ini::withValue(content, section, key, value);
    const auto readBack = ini::lookup(after, section, key);
    check(readBack.has_value());
    // Any value without line breaks or NULs that fits reads back exactly.
    bool plain = value.size() <= ini::MaxValueBytes - 2;
    for (char c : value)
        plain = plain && c != '\r' && c != '\n' && c != '\0';
    if (plain)
        check(*readBack == value);
    for (const char* s : Sections) {
        for (const char* k : Keys) {
            if (qstricmp(s, section) == 0 && qstricmp(k, key) == 0)
                continue;
            check(ini::lookup(after, s, k) == ini::lookup(content, s, k));
        }
    }
    // Writing the same value again changes nothing.
    check(ini::withValue(after, section, key, value) == after);

    // The code page: decoding then encoding never grows beyond two bytes per character.
    const QString text = decodeCp932(content);
    check(encodeCp932(text).size() <= 2 * text.size());

    // The float form reads back what it wrote.
    if (size >= 11) {
        double d;
        std::memcpy(&d, data + 3, sizeof d);
        // (Near the ends of the double range the 15-digit text rounds out of range; no response
        // time comes near them.)
        if (d == 0 || (std::fabs(d) > 1e-300 && std::fabs(d) < 1e300)) {
            const auto back = ini::parseFloat(ini::formatFloat(d));
            check(back.has_value());
            check(std::fabs(*back - d) <= std::fabs(d) * 1e-14);
        }
    }
    return 0;
}
