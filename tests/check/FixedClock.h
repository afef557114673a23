#pragma once

#include "platform/DateTime.h"

namespace lintora::test {

// Makes the clock stand still at 2026/12/11 9:05:03 for the life of the object, so that a stored
// check date can be compared byte for byte. Response times come from the steady clock and still run.
class FixedClock
{
public:
    FixedClock()
    {
        encodeDateTime({2026, 12, 11, 9, 5, 3, 0}, m_now);
        Clock::setNowForTests([now = m_now] { return now; });
    }
    ~FixedClock() { Clock::setNowForTests({}); }
    FixedClock(const FixedClock&) = delete;
    FixedClock& operator=(const FixedClock&) = delete;

    static constexpr const char* Text = "2026/12/11 9:05:03";

private:
    TDateTime m_now = 0;
};

} // namespace lintora::test
