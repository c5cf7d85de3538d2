#pragma once
// The alarm message history (file and table) and the hourly housekeeping of logs and history.
#include "store/ZUVOzedovUzivara.h"

#include <string>

namespace velmora {

// Writes one failure to the alarm message log file (when its backup is enabled) and to
// alarm_msg_history (when the table backup is enabled). A failing file write is reported
// as the log writer does and the table write still runs; a failing insert throws
// DatabaseError to the caller. Messages longer than the column (255 characters) are cut.
void RecordAlarmMessage(const std::string& alarmTime, long long serviceId,
                        const std::string& serviceType, const std::string& status,
                        const std::string& message, const std::string& port,
                        const std::string& host, ZUVOzedovUzivara& db = Database());

// Deletes every system log and alarm message log file of the configured prefixes whose date
// is N or more days before today (N the HouseKeepDay of each), and the alarm_msg_history
// and access_history rows older than today minus Alarm Msg DB Backup HouseKeepDay at
// 00:00:00. A failing delete throws DatabaseError. "Today" is the program clock's date.
void HouseKeep(ZUVOzedovUzivara& db = Database());

// The local calendar date `days` days before the clock's today, "yyyy-MM-dd".
std::string DateDaysAgo(int days);

// Deletes the files "<dirAndPrefix>yyyy-MM-dd.log" whose date is `cutoff` or earlier
// (dates as "yyyy-MM-dd"); other names are left alone. Returns how many were deleted.
int DeleteDatedFiles(const std::string& dirAndPrefix, const std::string& cutoff);

} // namespace velmora
