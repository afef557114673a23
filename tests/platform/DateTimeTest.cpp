#include "platform/DateTime.h"

#include <QDateTime>
#include <cmath>
#include <gtest/gtest.h>

using namespace lintora;

namespace {

TDateTime encoded(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0)
{
    TDateTime value = -999999;
    EXPECT_TRUE(encodeDateTime({y, mo, d, h, mi, s, ms}, value));
    return value;
}

} // namespace

TEST(DateTime, ValuesCountDaysSince1899WithTheTimeAsFraction)
{
    EXPECT_EQ(encoded(1899, 12, 30), 0.0);
    EXPECT_EQ(encoded(1900, 1, 1), 2.0);
    EXPECT_EQ(encoded(2000, 1, 1), 36526.0);
    EXPECT_DOUBLE_EQ(encoded(2026, 12, 11, 12), 46367.5);
    // Before the epoch the whole days are negative and the time goes further from zero.
    EXPECT_DOUBLE_EQ(encoded(1899, 12, 29, 6), -1.25);
    EXPECT_DOUBLE_EQ(encoded(1800, 3, 1, 18), -36463.75);

    const DateTimeParts p = decodeDateTime(-1.25);
    EXPECT_EQ(p.year, 1899);
    EXPECT_EQ(p.month, 12);
    EXPECT_EQ(p.day, 29);
    EXPECT_EQ(p.hour, 6);
}

TEST(DateTime, ImpossibleDatesAreRefused)
{
    TDateTime v;
    EXPECT_FALSE(encodeDateTime({2025, 2, 29, 0, 0, 0, 0}, v));
    EXPECT_TRUE(encodeDateTime({2024, 2, 29, 0, 0, 0, 0}, v));
    EXPECT_FALSE(encodeDateTime({1900, 2, 29, 0, 0, 0, 0}, v));
    EXPECT_FALSE(encodeDateTime({2026, 13, 1, 0, 0, 0, 0}, v));
    EXPECT_FALSE(encodeDateTime({2026, 1, 1, 24, 0, 0, 0}, v));
    EXPECT_FALSE(encodeDateTime({2026, 1, 1, 0, 60, 0, 0}, v));
    EXPECT_FALSE(encodeDateTime({0, 1, 1, 0, 0, 0, 0}, v));
}

TEST(DateTime, DecodingRecoversEveryMillisecond)
{
    for (int ms : {0, 1, 499, 500, 999}) {
        for (const DateTimeParts& in :
             {DateTimeParts{2026, 12, 11, 23, 59, 59, ms}, DateTimeParts{1899, 12, 30, 0, 0, 0, ms},
              DateTimeParts{1850, 6, 15, 13, 7, 9, ms}, DateTimeParts{9999, 12, 31, 23, 59, 59, ms}}) {
            TDateTime v;
            ASSERT_TRUE(encodeDateTime(in, v));
            const DateTimeParts out = decodeDateTime(v);
            EXPECT_EQ(
                std::tie(out.year, out.month, out.day, out.hour, out.minute, out.second, out.millisecond),
                std::tie(in.year, in.month, in.day, in.hour, in.minute, in.second, in.millisecond))
                << in.year << " " << ms;
        }
    }
    // A value a hair before midnight rounds to the next day, not to 24:00:00.
    const DateTimeParts next = decodeDateTime(encoded(2026, 12, 11) - 1e-10);
    EXPECT_EQ(next.day, 11);
    EXPECT_EQ(next.hour, 0);
}

TEST(DateTime, TextIsTheJapaneseWindowsForm)
{
    EXPECT_EQ(formatDateTime(encoded(2026, 12, 11, 9, 5, 3)), QStringLiteral("2026/12/11 9:05:03"));
    EXPECT_EQ(formatDateTime(encoded(2026, 1, 2, 23, 0, 0)), QStringLiteral("2026/01/02 23:00:00"));
    EXPECT_EQ(formatDateTime(encoded(2026, 1, 2)), QStringLiteral("2026/01/02")); // midnight: the date alone
    EXPECT_EQ(formatDateTime(encoded(2026, 1, 2, 0, 0, 0, 700)), QStringLiteral("2026/01/02"));
    EXPECT_EQ(formatDateTime(encoded(2026, 1, 2, 0, 0, 1)), QStringLiteral("2026/01/02 0:00:01"));
    EXPECT_EQ(formatDateTime(encoded(999, 5, 6)), QStringLiteral("0999/05/06"));
}

TEST(DateTime, ParsingReadsTheSameFormAndRefusesOthers)
{
    struct Case
    {
        const char* text;
        bool ok;
        TDateTime expected;
    };
    const Case cases[] = {
        {"2026/12/11 9:05:03", true, encoded(2026, 12, 11, 9, 5, 3)},
        {"2026/12/11", true, encoded(2026, 12, 11)},
        {"2026/1/2 09:05", true, encoded(2026, 1, 2, 9, 5)},
        {"2026/12/11 9:05:03.250", true, encoded(2026, 12, 11, 9, 5, 3, 250)},
        {"  2026/12/11  ", true, encoded(2026, 12, 11)},
        {"26/12/11", true, encoded(2026, 12, 11)},
        {"", false, 0},
        {"2026-12-11", false, 0},
        {"12/11/2026", false, 0},
        {"2026/02/30", false, 0},
        {"2026/12/11 25:00:00", false, 0},
        {"2026/12/11 9", false, 0},
        {"2026/12/11 9:05:03 PM", false, 0},
        {"2026/12/11x", false, 0},
        {"yesterday", false, 0},
        {"20260/12/11", false, 0},
    };
    for (const Case& c : cases) {
        TDateTime v = 0;
        EXPECT_EQ(parseDateTime(QString::fromUtf8(c.text), v), c.ok) << c.text;
        if (c.ok) {
            EXPECT_DOUBLE_EQ(v, c.expected) << c.text;
        }
    }
    // What is written reads back.
    const TDateTime t = encoded(2031, 7, 4, 17, 45, 30);
    TDateTime back = 0;
    ASSERT_TRUE(parseDateTime(formatDateTime(t), back));
    EXPECT_DOUBLE_EQ(back, t);
}

TEST(DateTime, ClockGivesLocalTimeAndCanBeFixedForTests)
{
    const QDateTime before = QDateTime::currentDateTime();
    const TDateTime now = Clock::now();
    const QDateTime after = QDateTime::currentDateTime();
    const auto asValue = [](const QDateTime& d) {
        TDateTime v = 0;
        encodeDateTime({d.date().year(), d.date().month(), d.date().day(), d.time().hour(), d.time().minute(),
                        d.time().second(), d.time().msec()},
                       v);
        return v;
    };
    EXPECT_GE(now, asValue(before) - 1e-9);
    EXPECT_LE(now, asValue(after) + 1e-9);

    Clock::setNowForTests([] { return 46367.25; });
    EXPECT_EQ(Clock::now(), 46367.25);
    Clock::setNowForTests({});
    EXPECT_GT(Clock::now(), 46000.0);
}
