#include "ValueTables.h"

#include <algorithm>

namespace velmora {

const std::vector<std::string>& CheckTypeNames() {
    static const std::vector<std::string> names = {
        "URL",  "Ping", "TCP",  "UDP",    "SMTP",  "POP3",        "IMAP",
        "FTP",  "DNS",  "NNTP", "SNTP",   "Rsh",   "Telnet",      "MySQL",
        "WMI Process",  "WMI HD Freespace", "WMI Share Folder",
    };
    return names;
}

const std::string& CheckTypeName(long long code) {
    const auto& names = CheckTypeNames();
    if (code < 1 || code > static_cast<long long>(names.size())) {
        return names[0];
    }
    return names[static_cast<size_t>(code - 1)];
}

int CheckTypeCode(std::string_view name) {
    const auto& names = CheckTypeNames();
    for (size_t i = 0; i < names.size(); ++i) {
        if (names[i] == name) {
            return static_cast<int>(i + 1);
        }
    }
    return 0;
}

const std::vector<std::string>& ScheduleMethods() {
    static const std::vector<std::string> m = {kScheduleDaily, kScheduleHourly, kScheduleMinutely};
    return m;
}

const char* ScheduleMethodFromCode(std::string_view code) {
    if (code == "1") {
        return kScheduleDaily;
    }
    if (code == "2") {
        return kScheduleHourly;
    }
    return kScheduleMinutely;
}

bool IsYes(std::string_view value) {
    if (value.empty()) {
        return false;
    }
    const char c = value.front();
    return c == 'y' || c == 'Y' || c == 't' || c == 'T';
}

namespace {

struct AuthWords {
    const char* type;
    const char* one;
    const char* zero;
};

constexpr AuthWords kAuthWords[] = {
    {"SMTP", "Login", "None"},
    {"POP3", "True", "False"},
    {"IMAP", "User / Pass", "SASL"},
};

const AuthWords* FindAuthWords(std::string_view type) {
    for (const auto& w : kAuthWords) {
        if (type == w.type) {
            return &w;
        }
    }
    return nullptr;
}

int IndexIn(const std::vector<std::string>& list, std::string_view name) {
    const auto it = std::find(list.begin(), list.end(), name);
    return it == list.end() ? 0 : static_cast<int>(it - list.begin());
}

} // namespace

std::string AuthTypeLabel(std::string_view checkType, long long authType) {
    const AuthWords* w = FindAuthWords(checkType);
    if (!w) {
        return {};
    }
    return authType == 1 ? w->one : w->zero;
}

int AuthTypeFromLabel(std::string_view checkType, std::string_view label) {
    const AuthWords* w = FindAuthWords(checkType);
    return w && label == w->one ? 1 : 0;
}

const std::vector<std::string>& SyslogFacilities() {
    static const std::vector<std::string> f = {
        "Kernel",         "User Level",      "Mail System",     "System Daemon",
        "Security One",   "Syslogd",         "LPR",             "NNTP",
        "UUCP",           "Clock Daemon One", "Security Two",   "FTP Daemon",
        "NTP",            "Log Audit",       "Log Alert",       "Clock Daemon Two",
        "Local Use Zero", "Local Use One",   "Local Use Two",   "Local Use Three",
        "Local Use Four", "Local Use Five",  "Local Use Six",   "Local Use Seven",
    };
    return f;
}

const std::vector<std::string>& SyslogSeverities() {
    static const std::vector<std::string> s = {"Emergency", "Alert",  "Critical",      "Error",
                                               "Warning",   "Notice", "Informational", "Debug"};
    return s;
}

int SyslogFacilityCode(std::string_view name) { return IndexIn(SyslogFacilities(), name); }
int SyslogSeverityCode(std::string_view name) { return IndexIn(SyslogSeverities(), name); }

const std::vector<std::string>& AlarmMethodTypes() {
    static const std::vector<std::string> t = {"Email", "SMS", "SMS by HTTP", "SysLog", "SNMP", "SNPP"};
    return t;
}

const std::vector<FreeSpaceSize>& FreeSpaceSizes() {
    static const std::vector<FreeSpaceSize> sizes = {
        {107374182, "100M"},    {214748365, "200M"},    {322122547, "300M"},
        {429496730, "400M"},    {536870912, "500M"},    {1073741824, "1G"},
        {2147483648, "2G"},     {3221225472, "3G"},     {4294967296, "4G"},
        {5368709120, "5G"},     {10737418240, "10G"},   {21474836480, "20G"},
        {32212254720, "30G"},   {42949672960, "40G"},   {53687091200, "50G"},
    };
    return sizes;
}

std::string FreeSpaceLabel(std::int64_t bytes) {
    for (const auto& s : FreeSpaceSizes()) {
        if (s.bytes == bytes) {
            return s.label;
        }
    }
    return "50G";
}

std::int64_t FreeSpaceBytes(std::string_view label) {
    for (const auto& s : FreeSpaceSizes()) {
        if (label == s.label) {
            return s.bytes;
        }
    }
    return kFreeSpaceMax;
}

} // namespace velmora
