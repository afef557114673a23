// The INI text rules on bytes: lookup, in-place rewrite, and the typed text forms.

#include "store/IniFile.h"

#include <QRandomGenerator>
#include <cmath>
#include <gtest/gtest.h>

using namespace lintora;

namespace {

std::optional<QByteArray> look(const QByteArray& content, const char* section, const char* key)
{
    return ini::lookup(content, section, key);
}

} // namespace

TEST(IniLookup, FindsValuesByTheRulesOfTheProfileFunctions)
{
    struct Case
    {
        const char* name;
        QByteArray content;
        const char* section;
        const char* key;
        std::optional<QByteArray> expected;
    };
    const Case cases[] = {
        {"plain", "[A]\r\nK=v\r\n", "A", "K", "v"},
        {"case of names", "[lintora]\r\ncomment=v\r\n", "Lintora", "COMMENT", "v"},
        {"blanks around names", "  [ A ]  \r\n  K  = v\r\n", "A", "K", "v"},
        {"blanks around value", "[A]\r\nK= \t v w \t \r\n", "A", "K", "v w"},
        {"double quotes", "[A]\r\nK=\" v \"\r\n", "A", "K", " v "},
        {"single quotes", "[A]\r\nK='v'\r\n", "A", "K", "v"},
        {"one pair only", "[A]\r\nK=\"\"v\"\"\r\n", "A", "K", "\"v\""},
        {"unmatched quotes stay", "[A]\r\nK=\"v'\r\n", "A", "K", "\"v'"},
        {"lone quote stays", "[A]\r\nK=\"\r\n", "A", "K", "\""},
        {"empty value", "[A]\r\nK=\r\n", "A", "K", ""},
        {"equals in value", "[A]\r\nK=a=b\r\n", "A", "K", "a=b"},
        {"missing key", "[A]\r\nX=v\r\n", "A", "K", std::nullopt},
        {"missing section", "[B]\r\nK=v\r\n", "A", "K", std::nullopt},
        {"key of another section", "[B]\r\nK=v\r\n[A]\r\n", "A", "K", std::nullopt},
        {"key before any section", "K=v\r\n[A]\r\n", "A", "K", std::nullopt},
        {"first of two keys", "[A]\r\nK=1\r\nK=2\r\n", "A", "K", "1"},
        {"first of two sections", "[A]\r\nX=1\r\n[A]\r\nK=2\r\n", "A", "K", std::nullopt},
        {"first section's value", "[A]\r\nK=1\r\n[a]\r\nK=2\r\n", "A", "K", "1"},
        {"LF only", "[A]\nK=v\n", "A", "K", "v"},
        {"no final break", "[A]\r\nK=v", "A", "K", "v"},
        {"UTF-8 BOM", "\xEF\xBB\xBF[A]\r\nK=v\r\n", "A", "K", "v"},
        {"NUL ends the value", QByteArray("[A]\r\nK=ab\0cd\r\n", 14), "A", "K", "ab"},
        {"line without equals", "[A]\r\nK\r\nK=v\r\n", "A", "K", "v"},
        {"bracket without close", "[A\r\nK=v\r\n", "A", "K", std::nullopt},
        {"Shift-JIS value", "[A]\r\nK=\x93\xfa\x96\x7b\r\n", "A", "K", "\x93\xfa\x96\x7b"},
        // 0x82 0x61 is one character whose second byte looks like "a": it must not match "A".
        {"trail byte is no letter", "[\x82\x61]\r\nK=v\r\n", "\x82\x41", "K", std::nullopt},
        {"empty content", "", "A", "K", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(look(c.content, c.section, c.key), c.expected) << c.name;
        // The one-pass form reads the same, also beside other lookups.
        const auto many =
            ini::lookupMany(c.content, {{"A", "X"}, {c.section, c.key}, {"B", "K"}, {c.section, "K"}});
        EXPECT_EQ(many[1], c.expected) << c.name;
        EXPECT_EQ(many[0], look(c.content, "A", "X")) << c.name;
        EXPECT_EQ(many[2], look(c.content, "B", "K")) << c.name;
        EXPECT_EQ(many[3], look(c.content, c.section, "K")) << c.name;
    }
}

TEST(IniLookup, LongValuesAreCutAt2047BytesWithoutSplittingACharacter)
{
    const QByteArray ascii(3000, 'a');
    EXPECT_EQ(look("[A]\r\nK=" + ascii + "\r\n", "A", "K"), ascii.left(2047));
    // 1 ASCII byte then two-byte characters: byte 2047 would be a lead byte, so the cut is at 2046.
    QByteArray kanji = "x";
    for (int i = 0; i < 1500; ++i)
        kanji += "\x93\xfa";
    EXPECT_EQ(look("[A]\r\nK=" + kanji + "\r\n", "A", "K"), kanji.left(2047));
    kanji = "xy" + kanji.mid(1);
    EXPECT_EQ(look("[A]\r\nK=" + kanji + "\r\n", "A", "K"), kanji.left(2046));
    // A 1 MB line is read, not choked on.
    const QByteArray huge(1024 * 1024, 'z');
    EXPECT_EQ(look("[A]\r\nX=" + huge + "\r\nK=v\r\n", "A", "K"), QByteArray("v"));
}

TEST(IniWrite, RewritesOnlyTheValueOrAddsItsOwnLines)
{
    struct Case
    {
        const char* name;
        QByteArray before;
        const char* section;
        const char* key;
        QByteArray value;
        QByteArray after;
    };
    const Case cases[] = {
        {"replace in place", "[A]\r\nK=old\r\nL=1\r\n", "A", "K", "new", "[A]\r\nK=new\r\nL=1\r\n"},
        {"name spelling and blanks before = kept", "[a]\r\n k =old\r\n", "A", "K", "new",
         "[a]\r\n k =new\r\n"},
        {"first of two keys", "[A]\r\nK=1\r\nK=2\r\n", "A", "K", "x", "[A]\r\nK=x\r\nK=2\r\n"},
        {"key added after the last non-blank line", "[A]\r\nX=1\r\n\r\n[B]\r\nY=2\r\n", "A", "K", "v",
         "[A]\r\nX=1\r\nK=v\r\n\r\n[B]\r\nY=2\r\n"},
        {"key added to an empty section", "[A]\r\n[B]\r\n", "A", "K", "v", "[A]\r\nK=v\r\n[B]\r\n"},
        {"key goes to the first of two sections", "[A]\r\nX=1\r\n[B]\r\n[A]\r\n", "A", "K", "v",
         "[A]\r\nX=1\r\nK=v\r\n[B]\r\n[A]\r\n"},
        {"section added at the end", "[B]\r\nY=2\r\n", "A", "K", "v", "[B]\r\nY=2\r\n[A]\r\nK=v\r\n"},
        {"empty file", "", "A", "K", "v", "[A]\r\nK=v\r\n"},
        {"LF-only file keeps LF", "[B]\nY=2\n", "A", "K", "v", "[B]\nY=2\n[A]\nK=v\n"},
        {"LF-only section", "[A]\nX=1\n", "A", "K", "v", "[A]\nX=1\nK=v\n"},
        {"no final break, new section", "[B]\r\nY=2", "A", "K", "v", "[B]\r\nY=2\r\n[A]\r\nK=v\r\n"},
        {"no final break, new key", "[A]\r\nX=1", "A", "K", "v", "[A]\r\nX=1\r\nK=v"},
        {"no final break, replaced", "[A]\r\nK=1", "A", "K", "v", "[A]\r\nK=v"},
        {"BOM kept", "\xEF\xBB\xBF[A]\r\nK=1\r\n", "A", "K", "2", "\xEF\xBB\xBF[A]\r\nK=2\r\n"},
        {"BOM only", "\xEF\xBB\xBF", "A", "K", "v", "\xEF\xBB\xBF[A]\r\nK=v\r\n"},
        {"line breaks in the value become blanks", "[A]\r\nK=1\r\n", "A", "K", "a\r\nb\nc\rd",
         "[A]\r\nK=a  b c d\r\n"},
        {"no injected section", "", "A", "K", "x\r\n[DEFAULT]\r\nBASEURL=evil",
         "[A]\r\nK=x  [DEFAULT]  BASEURL=evil\r\n"},
        {"empty value", "[A]\r\nK=old\r\n", "A", "K", "", "[A]\r\nK=\r\n"},
        {"quoted value keeps its quotes", "", "A", "K", "\"q\"", "[A]\r\nK=\"\"q\"\"\r\n"},
        {"single-quoted value", "", "A", "K", "'q'", "[A]\r\nK=\"'q'\"\r\n"},
        {"blanks at the ends kept", "", "A", "K", " a\t", "[A]\r\nK=\" a\t\"\r\n"},
        {"a line break at the end", "", "A", "K", "a\r\n", "[A]\r\nK=\"a  \"\r\n"},
        {"inner quotes need nothing", "", "A", "K", "say \"hi\"", "[A]\r\nK=say \"hi\"\r\n"},
        {"other bytes untouched", "; note\r\n[A]\r\n\x82\xa0=\x93\xfa\r\nK=1\r\ngarbage\x01\x02\r\n", "A",
         "K", "2", "; note\r\n[A]\r\n\x82\xa0=\x93\xfa\r\nK=2\r\ngarbage\x01\x02\r\n"},
    };
    for (const Case& c : cases) {
        const QByteArray result = ini::withValue(c.before, c.section, c.key, c.value);
        EXPECT_EQ(result, c.after) << c.name;
    }
}

namespace {

// The bytes of `after` are `before` with one stretch replaced; returns the stretch of `before`
// that was replaced (empty for a pure insertion) and the stretch of `after` that replaced it.
void changedStretch(const QByteArray& before, const QByteArray& after, QByteArray& removed, QByteArray& added)
{
    qsizetype prefix = 0;
    while (prefix < before.size() && prefix < after.size() && before[prefix] == after[prefix])
        ++prefix;
    qsizetype suffix = 0;
    while (suffix < before.size() - prefix && suffix < after.size() - prefix &&
           before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix])
        ++suffix;
    removed = before.mid(prefix, before.size() - prefix - suffix);
    added = after.mid(prefix, after.size() - prefix - suffix);
}

QByteArray nastyInput(int which)
{
    QRandomGenerator random(1234 + which);
    QByteArray bytes;
    switch (which) {
    case 0: // binary garbage
        for (int i = 0; i < 4096; ++i)
            bytes += char(random.bounded(256));
        return bytes;
    case 1: // garbage made of the INI layer's own punctuation
        for (int i = 0; i < 4096; ++i)
            bytes += "[]=\r\n\"' \tLintoraCOMMENT\x82\0"[random.bounded(25)];
        return bytes;
    case 2:
        return QByteArray("[Lintora]\0COMMENT=a\0b\r\n\0\0[DEFAULT]\r\n", 36);
    case 3: // a 1 MB line
        return "[Lintora]\r\nX=" + QByteArray(1024 * 1024, 'q') + "\r\nCOMMENT=c\r\n";
    case 4: // invalid Shift-JIS: lead bytes without trail bytes, lone trail bytes
        return "[Lintora]\r\nCOMMENT=\x81\r\n\x82=\xfc\xfd\xfe\xff\x80\xa0\r\n[\x81]\r\n";
    case 5:
        return "just text, no sections at all\r\nCOMMENT=not in a section\r\n";
    case 6:
        return "\xEF\xBB\xBF[Lintora]\r\nCOMMENT=bom\r\n";
    case 7:
        return "[InternetShortcut]\nURL=http://lf/\n[Lintora]\nCOMMENT=lf";
    case 8:
        return "[Lintora]\r\nCOMMENT=1\r\ncomment=2\r\n[LINTORA]\r\nCOMMENT=3\r\n";
    case 9:
        return "[Lintora]\r\nCOMMENT=\"quoted\"\r\nSTATUS='1'\r\n";
    case 10:
        return "\r\n\r\n\n\r\r\r\n[Lintora\r\n]\r\n=\r\n==\r\n[]\r\n[ ]\r\n";
    case 11:
        return QByteArray(70000, '\n');
    default:
        return QByteArray();
    }
}

} // namespace

TEST(IniWrite, EveryValueWithoutLineBreaksReadsBackAsWritten)
{
    const QByteArray values[] = {
        "plain", "",    " ",     "  ",  "\"",        "'",   "\"\"", "''",
        "\"a'",  " x ", "\"x\"", "'x'", "\"\"x\"\"", "\tx", "x\t",  "\x93\xfa \x96\x7b",
        "a=b",   "[A]", ";c"};
    for (const QByteArray& value : values) {
        const QByteArray written = ini::withValue("[A]\r\nK=old\r\n", "A", "K", value);
        EXPECT_EQ(look(written, "A", "K"), value) << value.constData();
        EXPECT_EQ(look(ini::withValue("", "A", "K", value), "A", "K"), value) << value.constData();
    }
}

TEST(IniWrite, NastyFilesReadWithoutHarmAndASetterTouchesOnlyItsOwnBytes)
{
    const std::pair<const char*, const char*> targets[] = {
        {"Lintora", "COMMENT"}, {"Lintora", "STATUS"}, {"DEFAULT", "BASEURL"}, {"New", "KEY"}};
    for (int which = 0; which <= 12; ++which) {
        const QByteArray before = nastyInput(which);
        for (const auto& [section, key] : targets) {
            // Reading anything at all must come back (and stay within the limit).
            const auto value = look(before, section, key);
            EXPECT_EQ(ini::lookupMany(before, {{"Lintora", "STATUS"}, {section, key}})[1], value) << which;
            if (value) {
                EXPECT_LE(value->size(), ini::MaxValueBytes);
            }

            const QByteArray written = "\x90\x56value";
            const QByteArray after = ini::withValue(before, section, key, written);
            EXPECT_EQ(look(after, section, key), written) << which << " " << section << " " << key;

            QByteArray removed, added;
            changedStretch(before, after, removed, added);
            // Only the old value's bytes went away: never a line break, so never another line.
            EXPECT_FALSE(removed.contains('\n')) << which << " " << key;
            // What came in is the value, or whole lines of its own: its key (and section) with the value.
            EXPECT_TRUE(added.contains(written) || written.contains(added)) << which << " " << key;
            EXPECT_LE(added.size(), written.size() + qsizetype(strlen(section) + strlen(key) + 12)) << which;
            // Every other key reads as before.
            for (const auto& [otherSection, otherKey] : targets) {
                if (std::string(otherKey) != key || std::string(otherSection) != section) {
                    EXPECT_EQ(look(after, otherSection, otherKey), look(before, otherSection, otherKey))
                        << which << " " << otherKey;
                }
            }
        }
    }
}

TEST(IniForms, IntegersReadAsStatusValuesAre)
{
    struct Case
    {
        const char* text;
        std::optional<int> expected;
    };
    const Case cases[] = {
        {"0", 0},
        {"1", 1},
        {"-2", -2},
        {"+5", 5},
        {" 7 ", 7},
        {"0x1", 1},
        {"0X1f", 31},
        {"0xFFFFFFFF", -1},
        {"0x", std::nullopt},
        {"0x1G", std::nullopt},
        {"0x100000000", std::nullopt},
        {"2147483647", 2147483647},
        {"2147483648", std::nullopt},
        {"-2147483648", INT32_MIN},
        {"word", std::nullopt},
        {"", std::nullopt},
        {"1.5", std::nullopt},
        {"1 2", std::nullopt},
        {"-", std::nullopt},
        {"+-1", std::nullopt},
        {"$10", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ini::parseInteger(c.text), c.expected) << c.text;
}

TEST(IniForms, FloatsAreWrittenWith15SignificantDigits)
{
    struct Case
    {
        double value;
        const char* text;
    };
    const Case cases[] = {
        {0.0, "0"},
        {-0.0, "0"},
        {12.0, "12"},
        {0.351, "0.351"},
        {0.0001, "0.0001"},
        {0.00001, "1E-5"},
        {0.0000015, "1.5E-6"},
        {2.5e20, "2.5E20"},
        {-2.5, "-2.5"},
        {1.0 / 3.0, "0.333333333333333"},
        {2.0 / 3.0, "0.666666666666667"},
        {123456789012345.0, "123456789012345"},
        {1234567890123456.0, "1.23456789012346E15"},
        {999999999999999.9, "1E15"},
        {0.1 + 0.2, "0.3"},
        {0.00012345, "0.00012345"},
        {-0.00001, "-1E-5"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ini::formatFloat(c.value), QByteArray(c.text)) << c.text;
        const auto back = ini::parseFloat(c.text);
        ASSERT_TRUE(back.has_value()) << c.text;
        EXPECT_NEAR(*back, c.value, std::fabs(c.value) * 1e-14) << c.text;
    }
}

TEST(IniForms, FloatTextThatIsNoNumberReadsAsNothing)
{
    EXPECT_EQ(ini::parseFloat("1.5"), 1.5);
    EXPECT_EQ(ini::parseFloat(" -2e3 "), -2000.0);
    EXPECT_EQ(ini::parseFloat(".5"), 0.5);
    EXPECT_EQ(ini::parseFloat("5."), 5.0);
    EXPECT_EQ(ini::parseFloat("+1"), 1.0);
    for (const char* bad : {"", "abc", "1,5", "1.5s", "nan", "inf", "0x10", "1e", "e5", ".", "1e999", "--1"})
        EXPECT_EQ(ini::parseFloat(bad), std::nullopt) << bad;
}
