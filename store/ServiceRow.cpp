#include "ServiceRow.h"

#include "ValueTables.h"

#include "foundation/IniFile.h"

namespace velmora {

const std::vector<std::string>& ServiceRow::ColumnNames() {
    static const std::vector<std::string> names = {
        "id", "service", "ip", "port", "title", "auth_type", "tls_type", "username",
        "password", "schedule_by", "schedule_hour", "schedule_minute", "no_of_cons_alarm",
        "current_no_of_cons_alarm", "reset_to_zero", "keep_on_sending", "last_access",
        "service_status", "status", "timeout", "read_timeout", "proxy_ip", "proxy_port",
        "proxy_username", "proxy_password", "command", "buffer_size", "url_method",
        "url_max_redirect", "url_cookie", "url_header_data", "url_content_encoding",
        "url_content_language", "url_content_type", "url_content_version", "url_user_agent",
        "url_referer", "url_accept", "url_accept_charSet", "url_accept_encoding",
        "url_accept_language", "smtp_mail_agent", "pop3_check_total_msg", "imap_mailbox",
        "ftp_is_passive", "ftp_account", "ftp_client_name", "ftp_client_version",
        "ftp_platform_description", "ftp_proxytype", "dns_query_type", "dns_request_ip_domain",
        "dns_expect_ip_domain", "nntp_group", "sntp_compare_time", "sntp_time_different",
        "rsh_host_username", "rsh_client_username", "database_name", "wmi_namespace",
        "wmi_process_name", "wmi_freespace", "wmi_specified_drive", "alarm_email", "alarm_smpp",
        "alarm_httpsms", "alarm_syslog", "alarm_snmp", "alarm_snpp", "recovery_alarm_email",
        "recovery_alarm_smpp", "recovery_alarm_httpsms", "recovery_alarm_syslog",
        "recovery_alarm_snmp", "recovery_alarm_snpp", "alarm_syslog_facility",
        "alarm_syslog_severity", "alarm_snmp_version", "alarm_snmp_trap_oid",
        "alarm_snmp_trap_community", "alarm_snmp_trap_enterprise", "alarm_snmp_trap_username",
        "alarm_snmp_trap_password", "ssl_enable", "ssl_method", "ssl_mode", "ssl_cert_file",
        "ssl_key_file", "ssl_root_cert_file", "ssl_cipher_list", "ssl_verify_depth",
        "ssl_verify_dirs", "ssl_peer", "ssl_once", "ssl_fail",
    };
    return names;
}

const std::string& ServiceRow::Get(std::string_view column) const {
    static const std::string empty;
    const auto it = columns_.find(column);
    return it == columns_.end() ? empty : it->second;
}

long long ServiceRow::GetInt(std::string_view column, long long def) const {
    const auto v = ParseInteger(Get(column));
    return v ? *v : def;
}

bool ServiceRow::GetYes(std::string_view column) const { return IsYes(Get(column)); }

bool ServiceRow::Has(std::string_view column) const { return columns_.find(column) != columns_.end(); }

void ServiceRow::Set(std::string_view column, std::string value) {
    columns_.insert_or_assign(std::string(column), std::move(value));
}

} // namespace velmora
