#include "Import.h"

#include "ValueTables.h"

#include "foundation/IniFile.h"
#include "foundation/Messages.h"
#include "foundation/Program.h"
#include "foundation/SystemLog.h"

#include <pugixml.hpp>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace velmora {

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::string cur;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(cur);
            cur.clear();
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
        } else {
            cur += c;
        }
    }
    if (!cur.empty()) {
        lines.push_back(cur);
    }
    return lines;
}

ImportRecord SplitImportLine(const std::string& line) {
    ImportRecord f;
    size_t start = 0;
    for (size_t i = 0; i < f.size(); ++i) {
        const size_t comma = line.find(',', start);
        if (comma == std::string::npos) {
            break;  // this field and every later one read as empty
        }
        f[i] = line.substr(start, comma - start);
        start = comma + 1;
    }
    return f;
}

namespace {

ImportOutcome CsvFailure(ImportOutcome out, const std::string& why) {
    const std::string message(msg::ERR00507);
    if (IsConsole()) {
        ShowErrorDialog(message);
    }
    WriteSystemLog(message, LogError);
    out.failed = true;
    out.error = why.empty() ? message : msg::WithError(message, why);
    return out;
}

} // namespace

ImportOutcome ImportCsvText(const std::string& text, ZUVOzedovUzivara& db) {
    ImportOutcome out;
    const std::vector<std::string> lines = SplitLines(text);
    for (size_t n = 0; n < lines.size(); ++n) {
        const std::string where = "line " + std::to_string(n + 1) + ": ";
        ImportRecord f = SplitImportLine(lines[n]);
        if (f[5].empty()) {
            ++out.skipped;
            out.notes.push_back(where + "no host (the sixth field is empty or missing)");
            continue;
        }
        f[5] = NormaliseHost(f[5]);
        std::string error;
        try {
            if (InsertImportedService(f, &error, db)) {
                ++out.stored;
                continue;
            }
        } catch (const std::exception& e) {
            return CsvFailure(std::move(out), e.what());
        }
        ++out.skipped;
        out.notes.push_back(where + "refused by the database: " + error);
    }
    return out;
}

ImportOutcome ImportCsvFile(const std::string& path, ZUVOzedovUzivara& db) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
        return CsvFailure({}, "Cannot open file \"" + path + "\".");
    }
    std::ifstream in(path, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    if (!in && !in.eof()) {
        return CsvFailure({}, "Cannot read file \"" + path + "\".");
    }
    return ImportCsvText(ss.str(), db);
}

const std::vector<std::string>& ServiceXmlElements() {
    static const std::vector<std::string> names = {
        "service", "wmi_process_name", "wmi_share_folder", "port", "title", "auth_type", "tls_type",
        "username", "password", "schedule_by", "schedule_hour", "schedule_minute", "no_of_cons_alarm",
        "reset_to_zero", "keep_on_sending", "timeout", "read_timeout", "proxy_ip", "proxy_port",
        "proxy_username", "proxy_password", "command", "buffer_size", "url_method", "url_max_redirect",
        "url_cookie", "url_header_data", "url_content_encoding", "url_content_language",
        "url_content_type", "url_content_version", "url_user_agent", "url_referer", "url_accept",
        "url_accept_charSet", "url_accept_encoding", "url_accept_language", "smtp_mail_agent",
        "pop3_check_total_msg", "imap_mailbox", "ftp_is_passive", "ftp_account", "ftp_client_name",
        "ftp_client_version", "ftp_platform_description", "ftp_proxytype", "dns_query_type",
        "dns_request_ip_domain", "dns_expect_ip_domain", "nntp_group", "sntp_compare_time",
        "sntp_time_different", "rsh_host_username", "rsh_client_username", "database_name",
        "wmi_namespace", "wmi_freespace", "wmi_specified_drive", "ssl_enable", "ssl_method", "ssl_mode",
        "ssl_cert_file", "ssl_key_file", "ssl_root_cert_file", "ssl_cipher_list", "ssl_verify_depth",
        "ssl_verify_dirs", "ssl_peer", "ssl_once", "ssl_fail", "ip", "status",
    };
    return names;
}

ServiceRow ServiceXmlRow(const std::function<std::string(const std::string&)>& text) {
    ServiceRow row;
    for (const std::string& name : ServiceXmlElements()) {
        if (name == "wmi_process_name" || name == "wmi_share_folder") {
            continue;
        }
        const std::string value = text(name);
        if (IsNumericServiceColumn(name)) {
            const auto v = ParseInteger(value);
            row.Set(name, std::to_string(v ? *v : 0));
        } else {
            row.Set(name, value);
        }
    }
    const std::string type = row.Get("service");
    if (type == "WMI Process") {
        row.Set("wmi_process_name", text("wmi_process_name"));
    } else if (type == "WMI Share Folder") {
        // Stored as the path stands in the file; the statement's escaping keeps backslashes.
        row.Set("wmi_process_name", text("wmi_share_folder"));
    } else {
        row.Set("wmi_process_name", "");
    }
    for (const char* flag : {"alarm_email", "alarm_smpp", "alarm_httpsms", "alarm_syslog", "alarm_snmp",
                             "alarm_snpp", "recovery_alarm_email", "recovery_alarm_smpp",
                             "recovery_alarm_httpsms", "recovery_alarm_syslog", "recovery_alarm_snmp",
                             "recovery_alarm_snpp"}) {
        row.Set(flag, kNo);
    }
    row.Set("alarm_syslog_facility", "Kernel");
    row.Set("alarm_syslog_severity", "Emergency");
    row.Set("alarm_snmp_version", "1");
    row.Set("alarm_snmp_trap_community", "public");
    for (const char* empty : {"alarm_snmp_trap_oid", "alarm_snmp_trap_enterprise", "alarm_snmp_trap_username",
                              "alarm_snmp_trap_password"}) {
        row.Set(empty, "");
    }
    row.Set("current_no_of_cons_alarm", "0");
    return row;
}

ImportOutcome ImportServiceXmlFile(const std::string& path, ZUVOzedovUzivara& db) {
    ImportOutcome out;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
        out.failed = true;
        out.error = "Cannot find service.xml file.";
        return out;
    }
    pugi::xml_document doc;
    const pugi::xml_parse_result parsed = doc.load_file(path.c_str());
    if (!parsed) {
        const std::string message(msg::ERR00601);
        const std::string full = msg::WithError(message, parsed.description());
        if (IsConsole()) {
            ShowErrorDialog(full);
        }
        WriteSystemLog(message, LogError);
        out.failed = true;
        out.error = full + " (at byte " + std::to_string(parsed.offset) + ")";
        return out;
    }
    int n = 0;
    for (const pugi::xml_node service : doc.document_element().children()) {
        if (service.type() != pugi::node_element) {
            continue;
        }
        ++n;
        const ServiceRow row = ServiceXmlRow(
            [&](const std::string& name) { return std::string(service.child(name.c_str()).text().get()); });
        std::string error;
        if (InsertServiceRow(row, &error, db)) {
            ++out.stored;
        } else {
            ++out.skipped;
            out.notes.push_back("service " + std::to_string(n) + ": refused by the database: " + error);
        }
    }
    return out;
}

} // namespace velmora
