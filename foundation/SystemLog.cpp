#include "SystemLog.h"

#include "Clock.h"
#include "InitSettings.h"
#include "Messages.h"
#include "Program.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <unistd.h>

namespace velmora {

namespace {

std::mutex& LogMutex() {
    static std::mutex m;
    return m;
}

// Appends `line` to `path` with one write call; returns "" or the error text.
std::string AppendToFile(const std::string& path, const std::string& line) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0) {
        return std::string("Cannot open file \"") + path + "\". " + std::strerror(errno);
    }
    std::string err;
    size_t done = 0;
    while (done < line.size()) {
        const ssize_t n = ::write(fd, line.data() + done, line.size() - done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            err = std::string("Cannot write file \"") + path + "\". " + std::strerror(errno);
            break;
        }
        done += static_cast<size_t>(n);
    }
    if (::close(fd) != 0 && err.empty()) {
        err = std::string("Cannot write file \"") + path + "\". " + std::strerror(errno);
    }
    return err;
}

} // namespace

const char* LevelTag(int level) {
    switch (level) {
    case LogDebug:
        return "[DEBUG]";
    case LogInfo:
        return "[INFO]";
    case LogNotice:
        return "[NOTICE]";
    case LogWarning:
        return "[WARMING]";
    case LogError:
        return "[ERROR]";
    case LogCritical:
        return "[CRITICAL]";
    case LogAlert:
        return "[ALERT]";
    case LogEmergency:
        return "[EMERGENCY]";
    default:
        return "";
    }
}

std::string FormatSystemLogLine(const std::string& timestamp, int level, const std::string& text) {
    return timestamp + " " + LevelTag(level) + " " + text;
}

std::string SystemLogFileName() {
    const TInitSettings& s = InitSettings();
    return s.LogDir + s.SystemLogFilename + FormatDate(Now()) + ".log";
}

std::string AlarmLogFileName() {
    const TInitSettings& s = InitSettings();
    return s.AlarmMsgFilenamePath + s.AlarmMsgFilename + FormatDate(Now()) + ".log";
}

void WriteSystemLog(const std::string& text, int level) {
    std::unique_lock lock(LogMutex());
    if (!CheckLogDir()) {
        lock.unlock();
        if (IsConsole()) {
            ShowErrorDialog(std::string(msg::ERR00205));
        }
        EndProgram(1);
    }
    TInitSettings& s = InitSettings();
    if (level == LogDebug && !s.isDebug) {
        return;
    }
    if (s.SystemLogFilename.empty()) {
        s.SystemLogFilename = "system_";
    }
    const TimePoint now = Now();
    const std::string line = FormatSystemLogLine(FormatDateTime(now), level, text);
    const std::string path = s.LogDir + s.SystemLogFilename + FormatDate(now) + ".log";
    const std::string err = AppendToFile(path, line + "\r\n");
    if (Program().echoLogToStderr) {
        std::fprintf(stderr, "%s\n", line.c_str());
    }
    if (!err.empty()) {
        lock.unlock();
        if (IsConsole()) {
            ShowErrorDialog(msg::WithError(msg::ERR00202, err));
        }
        EndProgram(1);
    }
}

std::string FormatAlarmMessageLine(const std::string& alarmTime, const std::string& serviceType,
                                   const std::string& host, const std::string& port,
                                   const std::string& message) {
    return alarmTime + " [" + serviceType + "] [" + host + "] [" + port + "] " + message;
}

bool AppendAlarmMessageLine(const std::string& alarmTime, const std::string& serviceType,
                            const std::string& host, const std::string& port,
                            const std::string& message) {
    const TInitSettings& s = InitSettings();
    if (!s.AlarmMsgFileEnable) {
        return true;
    }
    std::string err;
    {
        std::lock_guard lock(LogMutex());
        err = AppendToFile(AlarmLogFileName(),
                           FormatAlarmMessageLine(alarmTime, serviceType, host, port, message) +
                               "\r\n");
    }
    if (!err.empty()) {
        if (IsConsole()) {
            ShowWarningDialog(msg::WithError(msg::ERR00206, err));
        }
        return false;
    }
    return true;
}

} // namespace velmora
