#include "alarms/AlarmMethodSettings.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace velmora {

namespace {

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

// Removes the first occurrence of `what` (compared without regard to case).
std::string RemoveFirstNoCase(const std::string& s, const std::string& what) {
    const auto pos = Lower(s).find(what);
    if (pos == std::string::npos) return s;
    return s.substr(0, pos) + s.substr(pos + what.size());
}

std::string Text(const AlarmRow& row, const char* column) {
    const auto it = row.find(column);
    return it == row.end() ? std::string() : it->second;
}

int Int(const AlarmRow& row, const char* column) {
    const std::string t = Text(row, column);
    return static_cast<int>(std::strtol(t.c_str(), nullptr, 10));
}

bool NonZero(const AlarmRow& row, const char* column) { return Int(row, column) != 0; }

} // namespace

bool AlarmMethodSettings::Enabled(const std::string& method) const {
    if (method == kMethodEmail) return email.enabled;
    if (method == kMethodSms) return sms.enabled;
    if (method == kMethodSmsHttp) return smsHttp.enabled;
    if (method == kMethodSysLog) return syslog.enabled;
    if (method == kMethodSnmp) return snmp.enabled;
    if (method == kMethodSnpp) return snpp.enabled;
    return false;
}

std::string NormaliseMethodHost(const std::string& ip, HostVariant variant) {
    if (variant == HostVariant::Service) return RemoveFirstNoCase(ip, "http://");
    return RemoveFirstNoCase(RemoveFirstNoCase(Lower(ip), "http://"), "https://");
}

std::string NormaliseGatewayUrl(const std::string& ip) {
    const std::string low = Lower(ip);
    if (low.rfind("http://", 0) == 0 || low.rfind("https://", 0) == 0) return ip;
    return "http://" + ip;
}

void LoadAlarmMethods(AlarmMethodSettings& s, const std::vector<AlarmRow>& methodRows,
                      const std::vector<AlarmRow>& extraRows, HostVariant variant) {
    for (const AlarmRow& r : methodRows) {
        const std::string type = Text(r, "type");
        const std::string host = NormaliseMethodHost(Text(r, "ip"), variant);
        if (type == kMethodEmail) {
            auto& g = s.email;
            g.enabled = NonZero(r, "enable");
            g.host = host;
            g.port = Int(r, "port");
            g.mail_agent = Text(r, "smtp_mail_agent");
            g.from_address = Text(r, "smtp_from_address");
            g.authenticate = Int(r, "authenticate");
            g.username = Text(r, "username");
            g.password = Text(r, "password");
            g.timeout = Int(r, "timeout");
            g.read_timeout = Int(r, "read_timeout");
        } else if (type == kMethodSms) {
            auto& g = s.sms;
            g.enabled = NonZero(r, "enable");
            g.host = host;
            g.port = Int(r, "port");
            g.originator = Text(r, "sms_oa");
            g.authenticate = NonZero(r, "authenticate");
            g.username = Text(r, "username");
            g.password = Text(r, "password");
            g.version = Int(r, "sms_version");
            g.system_type = Text(r, "sms_system_type");
            g.ton = Int(r, "sms_ton");
            g.npi = Int(r, "sms_npi");
            g.dest_ton = Int(r, "sms_dest_ton");
            g.dest_npi = Int(r, "sms_dest_npi");
            g.orig_ton = Int(r, "sms_orig_ton");
            g.orig_npi = Int(r, "sms_orig_npi");
            g.timeout = Int(r, "timeout");
        } else if (type == kMethodSmsHttp) {
            auto& g = s.smsHttp;
            g.enabled = NonZero(r, "enable");
            g.url = NormaliseGatewayUrl(Text(r, "ip"));
            g.port = Int(r, "port");
            g.method_word = Text(r, "url_method");
            g.authenticate = NonZero(r, "authenticate");
            g.username = Text(r, "username");
            g.password = Text(r, "password");
            g.proxy_host = Text(r, "proxy_ip");
            g.proxy_port = Int(r, "proxy_port");
            g.proxy_username = Text(r, "proxy_username");
            g.proxy_password = Text(r, "proxy_password");
            g.field_msisdn = Text(r, "field_msisdn");
            g.field_message = Text(r, "field_message");
            g.timeout = Int(r, "timeout");
            g.read_timeout = Int(r, "read_timeout");
        } else if (type == kMethodSysLog) {
            auto& g = s.syslog;
            g.enabled = NonZero(r, "enable");
            g.host = host;
            g.port = Int(r, "port");
            g.timeout = Int(r, "timeout");
        } else if (type == kMethodSnmp) {
            auto& g = s.snmp;
            g.enabled = NonZero(r, "enable");
            g.host = host;
            g.port = Int(r, "port");
            g.trap_port = Int(r, "snmp_trap_port");
            g.local_engine_id = Text(r, "snmp_local_engine_id");
            g.local_host = Text(r, "snmp_localhost");
        } else if (type == kMethodSnpp) {
            auto& g = s.snpp;
            g.enabled = NonZero(r, "enable");
            g.host = host;
            g.port = Int(r, "port");
            g.timeout = Int(r, "timeout");
            g.read_timeout = Int(r, "read_timeout");
        }
    }
    s.smsHttp.ExtraPostFields.clear();
    if (s.smsHttp.enabled && s.smsHttp.method_word == "Post") {
        for (const AlarmRow& r : extraRows) {
            s.smsHttp.ExtraPostFields.push_back(Text(r, "field_name") + "=" + Text(r, "field_value"));
        }
    }
}

} // namespace velmora
