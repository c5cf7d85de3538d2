#include "checks/CheckBuilders.h"

#include <strings.h>

namespace velmora {

const CheckType* FindCheckType(std::string_view name) {
    for (const CheckType& t : CheckTypes()) {
        if (name == t.name) {
            return &t;
        }
    }
    return nullptr;
}

CheckContext ContextFromRow(const ServiceRow& row, std::string origin) {
    CheckContext c;
    c.origin = std::move(origin);
    c.id = row.GetInt("id");
    c.no_of_cons_alarm = static_cast<int>(row.GetInt("no_of_cons_alarm"));
    c.current_no_of_cons_alarm = static_cast<int>(row.GetInt("current_no_of_cons_alarm"));
    c.reset_to_zero = static_cast<int>(row.GetInt("reset_to_zero"));
    c.keep_on_sending = static_cast<int>(row.GetInt("keep_on_sending"));
    c.alarm_email = row.GetYes("alarm_email");
    c.alarm_smpp = row.GetYes("alarm_smpp");
    c.alarm_httpsms = row.GetYes("alarm_httpsms");
    c.alarm_syslog = row.GetYes("alarm_syslog");
    c.alarm_snmp = row.GetYes("alarm_snmp");
    c.alarm_snpp = row.GetYes("alarm_snpp");
    c.recovery_alarm_email = row.GetYes("recovery_alarm_email");
    c.recovery_alarm_smpp = row.GetYes("recovery_alarm_smpp");
    c.recovery_alarm_httpsms = row.GetYes("recovery_alarm_httpsms");
    c.recovery_alarm_syslog = row.GetYes("recovery_alarm_syslog");
    c.recovery_alarm_snmp = row.GetYes("recovery_alarm_snmp");
    c.recovery_alarm_snpp = row.GetYes("recovery_alarm_snpp");
    c.service_status = row.Get("service_status");
    c.alarm_syslog_facility = row.Get("alarm_syslog_facility");
    c.alarm_syslog_severity = row.Get("alarm_syslog_severity");
    c.alarm_snmp_version = static_cast<int>(row.GetInt("alarm_snmp_version"));
    c.alarm_snmp_trap_oid = row.Get("alarm_snmp_trap_oid");
    c.alarm_snmp_trap_community = row.Get("alarm_snmp_trap_community");
    c.alarm_snmp_trap_enterprise = row.Get("alarm_snmp_trap_enterprise");
    c.alarm_snmp_trap_username = row.Get("alarm_snmp_trap_username");
    c.alarm_snmp_trap_password = row.Get("alarm_snmp_trap_password");
    return c;
}

net::TlsSettings TlsSettingsFromRow(const ServiceRow& row) {
    net::TlsSettings::Columns c;
    c.method = row.Get("ssl_method");
    c.mode = row.Get("ssl_mode");
    c.certFile = row.Get("ssl_cert_file");
    c.keyFile = row.Get("ssl_key_file");
    c.rootCertFile = row.Get("ssl_root_cert_file");
    c.cipherList = row.Get("ssl_cipher_list");
    c.verifyDepth = row.Get("ssl_verify_depth");
    c.verifyDirs = row.Get("ssl_verify_dirs");
    c.peer = row.Get("ssl_peer");
    c.fail = row.Get("ssl_fail");
    c.once = row.Get("ssl_once");
    return net::TlsSettings::FromColumns(c);
}

std::string PortFromRow(const ServiceRow& row) { return std::to_string(row.GetInt("port")); }

std::string NormaliseUrl(const std::string& address, bool ssl) {
    if (address.empty()) {
        return address;
    }
    if (strncasecmp(address.c_str(), "HTTP://", 7) == 0 || strncasecmp(address.c_str(), "HTTPS://", 8) == 0) {
        return address;
    }
    return (ssl ? "https://" : "http://") + address;
}

std::unique_ptr<CheckItem> BuildCheck(const ServiceRow& row, const std::string& origin) {
    const CheckType* type = FindCheckType(row.Get("service"));
    if (!type || !type->build) {
        return nullptr;
    }
    try {
        CheckBuild b;
        b.context = ContextFromRow(row, origin);
        b.tls = type->tls && row.Get("ssl_enable") == "y";
        if (b.tls) {
            b.tlsSettings = TlsSettingsFromRow(row);
        }
        return type->build(row, b);
    } catch (const std::exception& e) {
        throw CheckBuildError(type->errorCode, e.what());
    }
}

} // namespace velmora
