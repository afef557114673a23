#pragma once

#include <QString>
#include <functional>

namespace lintora {

// The local date and time as days since 1899-12-30, the time of day as the fraction, at
// millisecond resolution. The value 0 stands for "no date". This is the form in which shortcut
// files have always stored the check date, so it stays a plain double.
using TDateTime = double;

constexpr TDateTime NullDateTime = 0.0;

struct DateTimeParts
{
    int year = 1899;
    int month = 12;
    int day = 30;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};

// Builds the value for a local calendar date and time of day. Dates before 1899-12-30 are
// negative whole days with the time of day added as a positive fraction away from zero, as the
// stored form has always had it. Returns false for an impossible date or time.
bool encodeDateTime(const DateTimeParts& parts, TDateTime& result);
DateTimeParts decodeDateTime(TDateTime value);

// The stored and displayed text of a date-time: "yyyy/MM/dd", then, unless hours, minutes and
// seconds are all zero, a blank and "H:mm:ss" (24-hour clock, no leading zero on the hour).
// This is the Japanese Windows default, fixed whatever the machine's locale.
QString formatDateTime(TDateTime value);
// Reads the same form back (the date's parts in year/month/day order, the time optional, seconds
// optional). Returns false for text that is not a date in that form.
bool parseDateTime(const QString& text, TDateTime& result);

// The clock. Tests may replace it with a fixed one; the program never does.
class Clock
{
public:
    static TDateTime now();
    static void setNowForTests(std::function<TDateTime()> now); // empty function: the real clock
};

} // namespace lintora
