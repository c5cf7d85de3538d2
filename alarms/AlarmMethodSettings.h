#pragma once
// The settings of the six alarm methods, as loaded from the alarm_method table, and the
// per-service alarm parameters a delivery needs.
#include <map>
#include <string>
#include <vector>

namespace velmora {

// Method names as stored in alarm_method.type (case matters).
inline constexpr const char* kMethodEmail = "Email";
inline constexpr const char* kMethodSms = "SMS";
inline constexpr const char* kMethodSmsHttp = "SMS by HTTP";
inline constexpr const char* kMethodSysLog = "SysLog";
inline constexpr const char* kMethodSnmp = "SNMP";
inline constexpr const char* kMethodSnpp = "SNPP";

struct AlarmMethodSettings {
    struct Email {
        bool enabled = false;
        std::string host;
        int port = 0;
        std::string mail_agent;
        std::string from_address;
        int authenticate = 0;
        std::string username, password;
        int timeout = 0, read_timeout = 0;
        // Trusted roots for STARTTLS / implicit TLS; the server's certificate is verified only
        // when one of them is set (not stored in alarm_method).
        std::string ca_file, ca_dir;
    } email;
    struct Sms {
        bool enabled = false;
        std::string host;
        int port = 0;
        std::string originator;           // sms_oa
        bool authenticate = false;
        std::string username, password;
        int version = 0;
        std::string system_type;
        int ton = 0, npi = 0, dest_ton = 0, dest_npi = 0, orig_ton = 0, orig_npi = 0;
        int timeout = 0;
    } sms;
    struct SmsHttp {
        bool enabled = false;
        std::string url;
        int port = 0;
        std::string method_word;          // "Get" or "Post"
        bool authenticate = false;
        std::string username, password;
        std::string proxy_host;
        int proxy_port = 0;
        std::string proxy_username, proxy_password;
        std::string field_msisdn, field_message;
        int timeout = 0, read_timeout = 0;
        std::vector<std::string> ExtraPostFields;   // "name=value" lines in table order
        // Trusted roots for https:// gateways; verified only when one is set (not stored).
        std::string ca_file, ca_dir;
    } smsHttp;
    struct SysLog {
        bool enabled = false;
        std::string host;
        int port = 0;
        int timeout = 0;
    } syslog;
    struct Snmp {
        bool enabled = false;
        std::string host;
        int port = 0;                     // local port of the trap sender
        int trap_port = 0;                // receiver's port
        std::string local_engine_id;
        std::string local_host;
    } snmp;
    struct Snpp {
        bool enabled = false;
        std::string host;
        int port = 0;
        int timeout = 0, read_timeout = 0;
    } snpp;

    // Whether the named method's group is enabled (false for an unknown name).
    bool Enabled(const std::string& method) const;
};

// The service's alarm parameters that the syslog and SNMP senders use.
struct AlarmParams {
    std::string alarm_syslog_facility;
    std::string alarm_syslog_severity;
    int alarm_snmp_version = 1;
    std::string alarm_snmp_trap_oid;
    std::string alarm_snmp_trap_community;
    std::string alarm_snmp_trap_enterprise;
    std::string alarm_snmp_trap_username;
    std::string alarm_snmp_trap_password;
};

// Which program loads the settings: the console and the service program prepare the hosts
// of the five server-based methods differently.
enum class HostVariant { Console, Service };

// Host of "Email", "SMS", "SysLog", "SNMP", "SNPP". Console: lower case, then the first
// "http://" and the first "https://" removed. Service: only the first "http://" (any case)
// removed, nothing else changed.
std::string NormaliseMethodHost(const std::string& ip, HostVariant variant);
// The "SMS by HTTP" URL: unchanged when it starts with http:// or https:// (any case),
// else "http://" in front.
std::string NormaliseGatewayUrl(const std::string& ip);

// One table row: column name -> text (NULL read as "").
using AlarmRow = std::map<std::string, std::string>;

// Applies the rows of alarm_method in table order to `settings`: unknown types are ignored,
// a later row of a type overwrites an earlier one, a type without a row keeps its values.
// ExtraPostFields is rebuilt: from `extraRows` (alarm_method_extra_fields, result order)
// only when "SMS by HTTP" is enabled with the method word exactly "Post".
void LoadAlarmMethods(AlarmMethodSettings& settings, const std::vector<AlarmRow>& methodRows,
                      const std::vector<AlarmRow>& extraRows, HostVariant variant);

// A timeout setting as used: 0 or less means 5000 ms.
inline int EffectiveTimeout(int ms) { return ms <= 0 ? 5000 : ms; }

} // namespace velmora
