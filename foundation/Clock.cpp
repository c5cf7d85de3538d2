#include "Clock.h"

#include <atomic>
#include <cstdio>
#include <ctime>

namespace velmora {

namespace {
class SystemClock : public Clock {
public:
    TimePoint Now() const override { return std::chrono::system_clock::now(); }
};
const SystemClock systemClock;
std::atomic<const Clock*> installed{nullptr};
} // namespace

const Clock& CurrentClock() {
    const Clock* c = installed.load();
    return c ? *c : systemClock;
}

void SetClock(const Clock* clock) { installed.store(clock); }

LocalTime ToLocal(TimePoint t) {
    const auto secs = std::chrono::system_clock::to_time_t(t);
    std::tm tm{};
    localtime_r(&secs, &tm);
    LocalTime lt;
    lt.year = tm.tm_year + 1900;
    lt.month = tm.tm_mon + 1;
    lt.day = tm.tm_mday;
    lt.hour = tm.tm_hour;
    lt.minute = tm.tm_min;
    lt.second = tm.tm_sec;
    lt.weekday = tm.tm_wday;
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(t.time_since_epoch()).count() % 1000;
    lt.millisecond = static_cast<int>(ms < 0 ? ms + 1000 : ms);
    return lt;
}

TimePoint FromLocal(int year, int month, int day, int hour, int minute, int second) {
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_sec = second;
    tm.tm_isdst = -1;
    return std::chrono::system_clock::from_time_t(std::mktime(&tm));
}

std::string FormatDate(TimePoint t) {
    const LocalTime lt = ToLocal(t);
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", lt.year, lt.month, lt.day);
    return buf;
}

std::string FormatDateTime(TimePoint t) {
    const LocalTime lt = ToLocal(t);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", lt.year, lt.month, lt.day,
                  lt.hour, lt.minute, lt.second);
    return buf;
}

std::string FormatDateTimeMs(TimePoint t) {
    const LocalTime lt = ToLocal(t);
    char buf[40];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d.%03d", lt.year, lt.month, lt.day,
                  lt.hour, lt.minute, lt.second, lt.millisecond);
    return buf;
}

} // namespace velmora
