#pragma once
// The texts and decisions of the minute tick and the hour-grid gate, apart from any I/O.
#include "foundation/Clock.h"

#include <string>
#include <vector>

namespace velmora {

// "07" for 7; values outside 0..99 are written as they are.
std::string TwoDigits(int value);

// The due selection for the local hour and minute (two-digit texts). Daily services are due at
// HH:MM, hourly ones at minute MM, minutely ones whenever MM is a multiple of their interval
// (an interval of 0 never). Stopped services are never due.
std::string DueQueryText(const std::string& hh, const std::string& mm);
std::string DueQueryText(const LocalTime& now);

// The single-service selection of "Run Now" (status not looked at).
std::string RunNowQueryText(long long id);

// The hour grid's rows for hour `hour` (0..23).
std::string GateQueryText(int hour);

// Monday 1 .. Sunday 7 from the broken-down time.
int IsoWeekday(const LocalTime& t);
// The grid column of a weekday 1..7: "mon" .. "sun" ("" outside).
std::string WeekdayColumn(int isoWeekday);

enum class GateAction { None, SwitchOn, SwitchOff };

// The gate's decision from the weekday column's values of the rows returned for the hour (in
// result order; the last one wins, no row means "no") and the tick's present state.
GateAction GateDecision(const std::vector<std::string>& dayValues, bool tickOn);

} // namespace velmora
