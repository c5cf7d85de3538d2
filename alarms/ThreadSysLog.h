#pragma once
// One BSD syslog message in one UDP datagram to the SysLog method's server.
#include "alarms/AlarmMethodSettings.h"
#include "alarms/AlarmSender.h"

#include <ctime>

namespace velmora {

// Facility and severity codes of the stored names ("Local Use Zero" 16, "Error" 3); a name
// outside the tables (names are compared exactly) gives 0.
int SysLogFacilityCode(const std::string& name);
int SysLogSeverityCode(const std::string& name);
// A text with a ":" at position 2 or later gets a ":" in front, so a receiver reading the
// part before the first colon as the tag finds an empty tag; otherwise unchanged.
std::string PrepareSysLogText(const std::string& text);
// "Mar  5 09:07:02": month, day padded with a blank, time.
std::string SysLogTimestamp(const std::tm& local);
// "<PRI>TIMESTAMP HOSTNAME TEXT", cut to its first 1024 bytes.
std::string BuildSysLogMessage(int facility, int severity, const std::tm& local,
                               const std::string& hostname, const std::string& preparedText);

class ThreadSysLog : public AlarmSender {
public:
    // Opens the UDP socket at once (bound to any local port, receive timeout = timeout);
    // throws std::runtime_error when the socket cannot be made.
    ThreadSysLog(const AlarmMethodSettings::SysLog& settings, const AlarmParams& params,
                 const std::string& text);
    ~ThreadSysLog() override;
    void Execute() override;

    const std::string& PreparedText() const { return prepared_; }

private:
    void CloseSocket();

    std::string host_;
    int port_;
    int facility_, severity_;
    std::string prepared_;
    int fd_ = -1;
};

} // namespace velmora
