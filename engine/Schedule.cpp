#include "Schedule.h"

namespace velmora {

std::string TwoDigits(int value) {
    if (value >= 0 && value < 10) {
        return "0" + std::to_string(value);
    }
    return std::to_string(value);
}

std::string DueQueryText(const std::string& hh, const std::string& mm) {
    return "SELECT * from service where status=\"Start\" and ( (schedule_by=\"Daily\" and "
           "schedule_hour=\"" +
           hh + "\" and schedule_minute=\"" + mm +
           "\") or (schedule_by=\"Hourly\" and schedule_minute=\"" + mm +
           "\") or (schedule_by=\"Minutely\" and mod(" + mm +
           ",schedule_minute)=0 ) ) order by ip, service";
}

std::string DueQueryText(const LocalTime& now) {
    return DueQueryText(TwoDigits(now.hour), TwoDigits(now.minute));
}

std::string RunNowQueryText(long long id) {
    return "SELECT * from service where id=" + std::to_string(id);
}

std::string GateQueryText(int hour) {
    return "select * from scheduling where schedule_time=" + std::to_string(hour);
}

int IsoWeekday(const LocalTime& t) {
    return t.weekday == 0 ? 7 : t.weekday;
}

std::string WeekdayColumn(int isoWeekday) {
    static const char* const names[] = {"mon", "tue", "wed", "thu", "fri", "sat", "sun"};
    if (isoWeekday < 1 || isoWeekday > 7) {
        return "";
    }
    return names[isoWeekday - 1];
}

GateAction GateDecision(const std::vector<std::string>& dayValues, bool tickOn) {
    std::string value = "no";
    for (const std::string& v : dayValues) {
        value = v;
    }
    if (value == "yes" && !tickOn) {
        return GateAction::SwitchOn;
    }
    if (value == "no" && tickOn) {
        return GateAction::SwitchOff;
    }
    return GateAction::None;
}

} // namespace velmora
