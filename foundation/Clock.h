#pragma once
// The one source of "now" for every time decision (log file names, the minute tick, the
// hour grid, housekeeping). Tests install their own clock to run hours of schedule in seconds.
#include <chrono>
#include <string>

namespace velmora {

using TimePoint = std::chrono::system_clock::time_point;

class Clock {
public:
    virtual ~Clock() = default;
    virtual TimePoint Now() const = 0;
};

// The clock in force; the system clock unless a test installed another one.
const Clock& CurrentClock();
// Installs `clock` (not owned; nullptr restores the system clock).
void SetClock(const Clock* clock);
inline TimePoint Now() { return CurrentClock().Now(); }

// A clock that stays where it is set; for tests and benchmarks.
class ManualClock : public Clock {
public:
    explicit ManualClock(TimePoint start = std::chrono::system_clock::now()) : now_(start) {}
    TimePoint Now() const override { return now_; }
    void Set(TimePoint t) { now_ = t; }
    void Advance(std::chrono::milliseconds d) { now_ += d; }

private:
    TimePoint now_;
};

// Broken-down local time.
struct LocalTime {
    int year = 0, month = 0, day = 0;        // month 1..12, day 1..31
    int hour = 0, minute = 0, second = 0;    // 24-hour clock
    int millisecond = 0;
    int weekday = 0;                          // 0 Sunday .. 6 Saturday
};

LocalTime ToLocal(TimePoint t);
// Local wall time back to a time point (seconds precision); for tests and date arithmetic.
TimePoint FromLocal(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);

std::string FormatDate(TimePoint t);         // "yyyy-MM-dd"
std::string FormatDateTime(TimePoint t);     // "yyyy-MM-dd HH:mm:ss"
std::string FormatDateTimeMs(TimePoint t);   // "yyyy-MM-dd HH:mm:ss.zzz"

} // namespace velmora
