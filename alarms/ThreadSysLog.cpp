#include "alarms/ThreadSysLog.h"

#include "alarms/TextUtil.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <netdb.h>
#include <netinet/in.h>
#include <stdexcept>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

namespace velmora {

namespace {

const char* const kFacilities[24] = {
    "Kernel", "User Level", "Mail System", "System Daemon", "Security One", "Syslogd", "LPR", "NNTP",
    "UUCP", "Clock Daemon One", "Security Two", "FTP Daemon", "NTP", "Log Audit", "Log Alert",
    "Clock Daemon Two", "Local Use Zero", "Local Use One", "Local Use Two", "Local Use Three",
    "Local Use Four", "Local Use Five", "Local Use Six", "Local Use Seven",
};
const char* const kSeverities[8] = {
    "Emergency", "Alert", "Critical", "Error", "Warning", "Notice", "Informational", "Debug",
};
const char* const kMonths[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                 "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

constexpr size_t kMaxDatagram = 1024;

} // namespace

int SysLogFacilityCode(const std::string& name) {
    for (int i = 0; i < 24; ++i)
        if (name == kFacilities[i]) return i;
    return 0;
}

int SysLogSeverityCode(const std::string& name) {
    for (int i = 0; i < 8; ++i)
        if (name == kSeverities[i]) return i;
    return 0;
}

std::string PrepareSysLogText(const std::string& text) {
    const auto colon = text.find(':', 1);
    return colon == std::string::npos ? text : ":" + text;
}

std::string SysLogTimestamp(const std::tm& t) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%s %2d %02d:%02d:%02d", kMonths[(t.tm_mon % 12 + 12) % 12], t.tm_mday,
                  t.tm_hour, t.tm_min, t.tm_sec);
    return buf;
}

std::string BuildSysLogMessage(int facility, int severity, const std::tm& local,
                               const std::string& hostname, const std::string& preparedText) {
    std::string msg = "<" + std::to_string(facility * 8 + severity) + ">" + SysLogTimestamp(local) + " " +
                      hostname + " " + preparedText;
    if (msg.size() > kMaxDatagram) msg.resize(kMaxDatagram);
    return msg;
}

ThreadSysLog::ThreadSysLog(const AlarmMethodSettings::SysLog& settings, const AlarmParams& params,
                           const std::string& text)
    : AlarmSender(kMethodSysLog), host_(settings.host), port_(settings.port),
      facility_(SysLogFacilityCode(params.alarm_syslog_facility)),
      severity_(SysLogSeverityCode(params.alarm_syslog_severity)), prepared_(PrepareSysLogText(text)) {
    fd_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd_ < 0) throw std::runtime_error(std::strerror(errno));
    sockaddr_in any{};
    any.sin_family = AF_INET;
    any.sin_addr.s_addr = htonl(INADDR_ANY);
    const int ms = EffectiveTimeout(settings.timeout);
    timeval tv{ms / 1000, (ms % 1000) * 1000};
    if (::bind(fd_, reinterpret_cast<sockaddr*>(&any), sizeof any) != 0 ||
        ::setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv) != 0) {
        const std::string err = std::strerror(errno);
        CloseSocket();
        throw std::runtime_error(err);
    }
}

ThreadSysLog::~ThreadSysLog() { CloseSocket(); }

void ThreadSysLog::CloseSocket() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

void ThreadSysLog::Execute() {
    try {
        if (prepared_.empty()) {
            SetError("[ERR01101 : SysLog Message required]");
        } else {
            // Linux sends a datagram to port 0 without complaint although nothing can receive
            // it; treat it as the address error other socket layers report.
            if (port_ <= 0 || port_ > 65535) throw std::runtime_error(std::strerror(EADDRNOTAVAIL));
            addrinfo hints{};
            hints.ai_family = AF_INET;
            hints.ai_socktype = SOCK_DGRAM;
            addrinfo* res = nullptr;
            const int g = host_.empty() ? EAI_NONAME
                                        : getaddrinfo(host_.c_str(), std::to_string(port_).c_str(), &hints, &res);
            if (g != 0 || !res) throw std::runtime_error(g == EAI_SYSTEM ? std::strerror(errno) : gai_strerror(g));
            sockaddr_in to{};
            std::memcpy(&to, res->ai_addr, sizeof to);
            freeaddrinfo(res);
            // The local address the datagram leaves from is the HOSTNAME of the message.
            if (::connect(fd_, reinterpret_cast<sockaddr*>(&to), sizeof to) != 0)
                throw std::runtime_error(std::strerror(errno));
            sockaddr_in local{};
            socklen_t len = sizeof local;
            char dotted[INET_ADDRSTRLEN] = "0.0.0.0";
            if (::getsockname(fd_, reinterpret_cast<sockaddr*>(&local), &len) == 0)
                inet_ntop(AF_INET, &local.sin_addr, dotted, sizeof dotted);
            const std::time_t now = std::time(nullptr);
            std::tm tm{};
            localtime_r(&now, &tm);
            const std::string msg = BuildSysLogMessage(facility_, severity_, tm, dotted, prepared_);
            if (::send(fd_, msg.data(), msg.size(), MSG_NOSIGNAL) < 0) throw std::runtime_error(std::strerror(errno));
            SetSent("[SysLog Alarm Sent Succeed]");
        }
    } catch (const std::exception& e) {
        SetError("[SysLog Alarm Sent Error:" + Trim(e.what()) + "]");
    }
    CloseSocket();
}

} // namespace velmora
