#include "platform/DateTime.h"

#include <cmath>
#include <ctime>
#include <mutex>
#include <sys/time.h>

namespace lintora {

namespace {

constexpr qint64 MsPerDay = 24LL * 60 * 60 * 1000;

bool isLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month)
{
    static constexpr int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : days[month - 1];
}

// Days from 0001-01-01 (proleptic Gregorian) to the given date.
qint64 daysFromCivil(int year, int month, int day)
{
    const qint64 y = year - 1;
    qint64 days = y * 365 + y / 4 - y / 100 + y / 400;
    for (int m = 1; m < month; ++m)
        days += daysInMonth(year, m);
    return days + day - 1;
}

const qint64 EpochDays = daysFromCivil(1899, 12, 30);

void civilFromDays(qint64 days, int& year, int& month, int& day)
{
    // Inverse of daysFromCivil by the 400-year cycle.
    constexpr qint64 D400 = 146097, D100 = 36524, D4 = 1461;
    qint64 n = days;
    qint64 y = 1;
    y += 400 * (n / D400);
    n %= D400;
    qint64 c = n / D100;
    if (c == 4)
        c = 3;
    y += 100 * c;
    n -= c * D100;
    y += 4 * (n / D4);
    n %= D4;
    qint64 a = n / 365;
    if (a == 4)
        a = 3;
    y += a;
    n -= a * 365;
    year = int(y);
    month = 1;
    while (n >= daysInMonth(year, month)) {
        n -= daysInMonth(year, month);
        ++month;
    }
    day = int(n) + 1;
}

std::mutex clockMutex;
std::function<TDateTime()> testClock;

} // namespace

bool encodeDateTime(const DateTimeParts& p, TDateTime& result)
{
    if (p.year < 1 || p.year > 9999 || p.month < 1 || p.month > 12 || p.day < 1 ||
        p.day > daysInMonth(p.year, p.month))
        return false;
    if (p.hour < 0 || p.hour > 23 || p.minute < 0 || p.minute > 59 || p.second < 0 || p.second > 59 ||
        p.millisecond < 0 || p.millisecond > 999)
        return false;
    const qint64 days = daysFromCivil(p.year, p.month, p.day) - EpochDays;
    const double fraction =
        double(((p.hour * 60 + p.minute) * 60 + p.second) * 1000LL + p.millisecond) / double(MsPerDay);
    result = days >= 0 ? double(days) + fraction : double(days) - fraction;
    return true;
}

DateTimeParts decodeDateTime(TDateTime value)
{
    DateTimeParts parts;
    if (!std::isfinite(value))
        return parts;
    double whole = std::trunc(value);
    qint64 ms = std::llround(std::fabs(value - whole) * double(MsPerDay));
    if (ms >= MsPerDay) {
        // Rounding to the millisecond reached the next midnight.
        ms -= MsPerDay;
        whole += value >= 0 ? 1 : -1;
    }
    const qint64 days = qint64(whole) + EpochDays;
    if (days < 0 || days >= daysFromCivil(10000, 1, 1))
        return parts;
    civilFromDays(days, parts.year, parts.month, parts.day);
    parts.millisecond = int(ms % 1000);
    ms /= 1000;
    parts.second = int(ms % 60);
    ms /= 60;
    parts.minute = int(ms % 60);
    parts.hour = int(ms / 60);
    return parts;
}

QString formatDateTime(TDateTime value)
{
    const DateTimeParts p = decodeDateTime(value);
    // Written by hand: list fills format a date for every row.
    char text[32];
    char* o = text;
    const auto digits = [&o](int v, int width) {
        char buffer[12];
        int n = 0;
        do {
            buffer[n++] = char('0' + v % 10);
            v /= 10;
        } while (v > 0);
        while (n < width)
            buffer[n++] = '0';
        while (n > 0)
            *o++ = buffer[--n];
    };
    digits(p.year, 4);
    *o++ = '/';
    digits(p.month, 2);
    *o++ = '/';
    digits(p.day, 2);
    if (p.hour != 0 || p.minute != 0 || p.second != 0) {
        *o++ = ' ';
        digits(p.hour, 1);
        *o++ = ':';
        digits(p.minute, 2);
        *o++ = ':';
        digits(p.second, 2);
    }
    return QString::fromLatin1(text, o - text);
}

namespace {

// A run of 1 to maxDigits ASCII digits at pos.
bool readNumber(const QString& s, qsizetype& pos, int maxDigits, int& value)
{
    const qsizetype start = pos;
    value = 0;
    while (pos < s.size() && s[pos] >= QLatin1Char('0') && s[pos] <= QLatin1Char('9') &&
           pos - start < maxDigits) {
        value = value * 10 + (s[pos].unicode() - '0');
        ++pos;
    }
    return pos > start && !(pos < s.size() && s[pos].isDigit());
}

bool expect(const QString& s, qsizetype& pos, char c)
{
    if (pos < s.size() && s[pos] == QLatin1Char(c)) {
        ++pos;
        return true;
    }
    return false;
}

void skipBlanks(const QString& s, qsizetype& pos)
{
    while (pos < s.size() && (s[pos] == QLatin1Char(' ') || s[pos] == QLatin1Char('\t')))
        ++pos;
}

} // namespace

bool parseDateTime(const QString& text, TDateTime& result)
{
    DateTimeParts p;
    qsizetype pos = 0;
    skipBlanks(text, pos);
    const qsizetype yearStart = pos;
    if (!readNumber(text, pos, 4, p.year))
        return false;
    if (pos - yearStart <= 2)
        p.year += 2000; // a two-digit year, as the short date form would have shown it
    if (!expect(text, pos, '/') || !readNumber(text, pos, 2, p.month) || !expect(text, pos, '/') ||
        !readNumber(text, pos, 2, p.day))
        return false;
    skipBlanks(text, pos);
    if (pos < text.size()) {
        if (!readNumber(text, pos, 2, p.hour) || !expect(text, pos, ':') ||
            !readNumber(text, pos, 2, p.minute))
            return false;
        if (expect(text, pos, ':')) {
            if (!readNumber(text, pos, 2, p.second))
                return false;
            if (expect(text, pos, '.') && !readNumber(text, pos, 3, p.millisecond))
                return false;
        }
        skipBlanks(text, pos);
        if (pos != text.size())
            return false;
    }
    return encodeDateTime(p, result);
}

TDateTime Clock::now()
{
    std::function<TDateTime()> fixed;
    {
        std::lock_guard lock(clockMutex);
        fixed = testClock;
    }
    if (fixed)
        return fixed();
    struct timeval tv
    {
    };
    ::gettimeofday(&tv, nullptr);
    const time_t seconds = tv.tv_sec;
    struct tm local
    {
    };
    ::localtime_r(&seconds, &local);
    DateTimeParts p;
    p.year = local.tm_year + 1900;
    p.month = local.tm_mon + 1;
    p.day = local.tm_mday;
    p.hour = local.tm_hour;
    p.minute = local.tm_min;
    p.second = local.tm_sec > 59 ? 59 : local.tm_sec; // a leap second
    p.millisecond = int(tv.tv_usec / 1000);
    TDateTime value = NullDateTime;
    encodeDateTime(p, value);
    return value;
}

void Clock::setNowForTests(std::function<TDateTime()> now)
{
    std::lock_guard lock(clockMutex);
    testClock = std::move(now);
}

} // namespace lintora
