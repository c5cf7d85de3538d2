#pragma once
// The daily system log and the daily alarm message log. Safe to call from any thread: one
// lock around open-append-close, so lines never interleave.
#include <string>

namespace velmora {

enum LogLevel : int {
    LogDebug = 1,
    LogInfo = 2,
    LogNotice = 3,
    LogWarning = 4,
    LogError = 5,
    LogCritical = 6,
    LogAlert = 7,
    LogEmergency = 8,
};

// "[DEBUG]" .. "[EMERGENCY]" (Warning is "[WARMING]"); "" outside 1..8.
const char* LevelTag(int level);
// timestamp + " " + tag + " " + text (no line end).
std::string FormatSystemLogLine(const std::string& timestamp, int level, const std::string& text);
// LogDir + prefix + "yyyy-MM-dd" + ".log" for the current clock.
std::string SystemLogFileName();
std::string AlarmLogFileName();

// Appends one line to today's system log. Ends the program when the log directory or file
// cannot be written (after the console's dialog).
void WriteSystemLog(const std::string& text, int level);

// The alarm message log line: time " [" type "] [" host "] [" port "] " message.
std::string FormatAlarmMessageLine(const std::string& alarmTime, const std::string& serviceType,
                                   const std::string& host, const std::string& port,
                                   const std::string& message);
// Appends one line to today's alarm message log when the file backup is enabled. Returns
// false (after the console's warning) when the file could not be written.
bool AppendAlarmMessageLine(const std::string& alarmTime, const std::string& serviceType,
                            const std::string& host, const std::string& port,
                            const std::string& message);

} // namespace velmora
