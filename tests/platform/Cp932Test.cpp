#include "platform/Cp932.h"

#include <gtest/gtest.h>

using namespace lintora;

namespace {

QByteArray hex(const char* h)
{
    return QByteArray::fromHex(h);
}

} // namespace

TEST(Cp932, KnownCharactersRoundTripWithTheWindowsBytes)
{
    struct Case
    {
        const char* text;  // UTF-8
        const char* bytes; // hex of the CP932 form
    };
    const Case cases[] = {
        {"abc=/\\~", "6162633d2f5c7e"}, // 0x5C stays a backslash, 0x7E a tilde
        {"日本語", "93fa967b8cea"},
        {"ｱｲｳ", "b1b2b3"},             // half-width katakana are single bytes
        {"～", "8160"},                // FULLWIDTH TILDE, the Windows reading of 0x8160
        {"①Ⅰ㈱№", "87408754878a8782"}, // NEC row 13
        {"髙﨑", "fbfcfab1"},          // IBM extensions
        {"ⅰ", "fa40"},                 // small roman numeral: IBM code preferred over NEC-selected
        {"∵", "81e6"},                 // in JIS X 0208, NEC row 13 and IBM: the JIS code wins
        {"￢", "81ca"},
        {"－", "817c"},
    };
    for (const Case& c : cases) {
        const QString text = QString::fromUtf8(c.text);
        EXPECT_EQ(encodeCp932(text).toHex(), QByteArray(c.bytes)) << c.text;
        EXPECT_EQ(decodeCp932(hex(c.bytes)), text) << c.text;
        EXPECT_TRUE(canEncodeCp932(text)) << c.text;
    }
}

TEST(Cp932, EveryCodeOfTheCodePageDecodesAndItsCharacterEncodesBackToTheSameCharacter)
{
    int assigned = 0;
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        if (!isCp932LeadByte(std::uint8_t(lead)))
            continue;
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            if (trail == 0x7F)
                continue;
            const QByteArray bytes{1, char(lead)};
            const QByteArray pair = bytes + char(trail);
            const QString text = decodeCp932(pair);
            ASSERT_EQ(text.size(), 1) << pair.toHex().constData();
            if (text[0] == QChar(0xFFFD))
                continue;
            ++assigned;
            const QByteArray back = encodeCp932(text);
            ASSERT_EQ(back.size(), 2) << pair.toHex().constData();
            ASSERT_EQ(decodeCp932(back), text) << pair.toHex().constData();
        }
    }
    EXPECT_GT(assigned, 7900); // JIS X 0208 plus the NEC and IBM extensions
}

TEST(Cp932, MalformedBytesBecomeReplacementsWithoutSwallowingTheirNeighbours)
{
    struct Case
    {
        const char* bytes;
        const char16_t* text;
    };
    const Case cases[] = {
        {"8120", u"\uFFFD "}, // lead byte followed by a blank: the blank survives
        {"41817f42", u"A\uFFFD\u007FB"},
        {"4181", u"A\uFFFD"}, // lead byte at the very end
        {"8540", u"\uFFFD"},  // well-formed but unassigned pair
        {"80a0fdfeff", u"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(decodeCp932(hex(c.bytes)), QString::fromUtf16(c.text)) << c.bytes;
    EXPECT_EQ(decodeCp932(hex("410042")), QStringLiteral("A") + QChar(0) + QStringLiteral("B"));
}

TEST(Cp932, CharactersWithoutACodeAreWrittenAsQuestionMarks)
{
    EXPECT_EQ(encodeCp932(QString::fromUtf8("a€b")), QByteArray("a?b"));
    EXPECT_EQ(encodeCp932(QString::fromUtf8("x😀y")), QByteArray("x?y")); // one mark for the surrogate pair
    EXPECT_EQ(encodeCp932(QString::fromUtf8("한")), QByteArray("?"));
    EXPECT_FALSE(canEncodeCp932(QString::fromUtf8("a€b")));
    // Text from JIS-based converters gets the code page's character with the same glyph.
    EXPECT_EQ(encodeCp932(QString::fromUtf8("〜−‖")).toHex(), QByteArray("8160817c8161"));
}

TEST(Cp932, SortKeysAreTheCodePageBytesOrUtf8WhenThereAreNone)
{
    EXPECT_EQ(sortKeyBytes(QString::fromUtf8("あア")), hex("82a08341"));
    EXPECT_EQ(sortKeyBytes(QString::fromUtf8("a€")), QByteArray("a\xE2\x82\xAC"));
    // Hiragana sort before katakana, as the code page has them.
    EXPECT_LT(sortKeyBytes(QString::fromUtf8("ん")), sortKeyBytes(QString::fromUtf8("ア")));
}
