#include "Schema.h"

#include "ZUVOzedovUzivara.h"

#include "foundation/Messages.h"
#include "foundation/Program.h"
#include "foundation/SystemLog.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

namespace velmora {

namespace schema {

namespace {

struct Col {
    const char* name;       // nullptr: the primary key element
    const char* type;
    bool notNull;
    const char* def;        // nullptr: no default
    bool autoIncrement;
};

constexpr bool NN = true;
constexpr bool NUL = false;

std::string Element(const Col& c) {
    if (!c.name) {
        return "PRIMARY KEY (id)";
    }
    std::string e = std::string(c.name) + " " + c.type;
    if (c.notNull) {
        e += " NOT NULL";
    }
    if (c.def) {
        e += std::string(" DEFAULT ") + c.def;
    }
    if (c.autoIncrement) {
        e += " AUTO_INCREMENT";
    }
    return e;
}

std::string CreateTable(const std::string& name, const std::vector<Col>& cols) {
    std::string s = "create table velmoradb." + name + " (";
    for (size_t i = 0; i < cols.size(); ++i) {
        s += (i ? "," : "") + Element(cols[i]);
    }
    return s + ") CHARACTER SET UTF8;";
}

const Col kPrimaryKey{nullptr, nullptr, false, nullptr, false};

const std::vector<Col>& ServiceCols() {
    static const std::vector<Col> cols = {
        {"id", "INTEGER", NN, nullptr, true},
        kPrimaryKey,
        {"service", "VARCHAR(50)", NN, nullptr, false},
        {"ip", "VARCHAR(500)", NN, nullptr, false},
        {"port", "INTEGER", NN, nullptr, false},
        {"title", "VARCHAR(100)", NUL, nullptr, false},
        {"auth_type", "INTEGER", NN, "0", false},
        {"tls_type", "INTEGER", NN, "0", false},
        {"username", "VARCHAR(50)", NUL, nullptr, false},
        {"password", "VARCHAR(50)", NUL, nullptr, false},
        {"schedule_by", "VARCHAR(10)", NN, "\"Hourly\"", false},
        {"schedule_hour", "VARCHAR(2)", NN, "\"00\"", false},
        {"schedule_minute", "VARCHAR(2)", NN, "\"00\"", false},
        {"no_of_cons_alarm", "INTEGER", NN, "0", false},
        {"current_no_of_cons_alarm", "INTEGER", NN, "0", false},
        {"reset_to_zero", "INTEGER", NN, "0", false},
        {"keep_on_sending", "INTEGER", NN, "1", false},
        {"last_access", "DATETIME", NN, "\"0000-00-00 00:00:00\"", false},
        {"service_status", "VARCHAR(10)", NN, "\"Unknown\"", false},
        {"status", "VARCHAR(10)", NN, "\"Start\"", false},
        {"timeout", "INTEGER", NN, "5000", false},
        {"read_timeout", "INTEGER", NN, "5000", false},
        {"proxy_ip", "VARCHAR(500)", NUL, nullptr, false},
        {"proxy_port", "INTEGER", NUL, nullptr, false},
        {"proxy_username", "VARCHAR(50)", NUL, nullptr, false},
        {"proxy_password", "VARCHAR(50)", NUL, nullptr, false},
        {"command", "VARCHAR(100)", NUL, nullptr, false},
        {"buffer_size", "INTEGER", NN, "8192", false},
        {"url_method", "VARCHAR(10)", NUL, nullptr, false},
        {"url_max_redirect", "INTEGER", NN, "1", false},
        {"url_cookie", "VARCHAR(200)", NUL, nullptr, false},
        {"url_header_data", "VARCHAR(200)", NUL, nullptr, false},
        {"url_content_encoding", "VARCHAR(100)", NUL, nullptr, false},
        {"url_content_language", "VARCHAR(100)", NUL, nullptr, false},
        {"url_content_type", "VARCHAR(100)", NUL, nullptr, false},
        {"url_content_version", "VARCHAR(100)", NUL, nullptr, false},
        {"url_user_agent", "VARCHAR(100)", NUL, nullptr, false},
        {"url_referer", "VARCHAR(100)", NUL, nullptr, false},
        {"url_accept", "VARCHAR(100)", NUL, nullptr, false},
        {"url_accept_charSet", "VARCHAR(100)", NUL, nullptr, false},
        {"url_accept_encoding", "VARCHAR(100)", NUL, nullptr, false},
        {"url_accept_language", "VARCHAR(100)", NUL, nullptr, false},
        {"smtp_mail_agent", "VARCHAR(100)", NUL, nullptr, false},
        {"pop3_check_total_msg", "INTEGER", NN, "0", false},
        {"imap_mailbox", "VARCHAR(100)", NUL, nullptr, false},
        {"ftp_is_passive", "INTEGER", NN, "0", false},
        {"ftp_account", "VARCHAR(100)", NUL, nullptr, false},
        {"ftp_client_name", "VARCHAR(100)", NUL, nullptr, false},
        {"ftp_client_version", "VARCHAR(100)", NUL, nullptr, false},
        {"ftp_platform_description", "VARCHAR(500)", NUL, nullptr, false},
        {"ftp_proxytype", "INTEGER", NN, "0", false},
        {"dns_query_type", "INTEGER", NN, "0", false},
        {"dns_request_ip_domain", "VARCHAR(500)", NUL, nullptr, false},
        {"dns_expect_ip_domain", "VARCHAR(500)", NUL, nullptr, false},
        {"nntp_group", "VARCHAR(150)", NUL, nullptr, false},
        {"sntp_compare_time", "INTEGER", NN, "0", false},
        {"sntp_time_different", "INTEGER", NN, "5000", false},
        {"rsh_host_username", "VARCHAR(100)", NUL, nullptr, false},
        {"rsh_client_username", "VARCHAR(100)", NUL, nullptr, false},
        {"database_name", "VARCHAR(150)", NUL, nullptr, false},
        {"wmi_namespace", "VARCHAR(500)", NUL, nullptr, false},
        {"wmi_process_name", "VARCHAR(100)", NUL, nullptr, false},
        {"wmi_freespace", "BIGINT", NN, "0", false},
        {"wmi_specified_drive", "INTEGER", NN, "0", false},
        {"alarm_email", "VARCHAR(1)", NN, "\"n\"", false},
        {"alarm_smpp", "VARCHAR(1)", NN, "\"n\"", false},
        {"alarm_httpsms", "VARCHAR(1)", NN, "\"n\"", false},
        {"alarm_syslog", "VARCHAR(1)", NN, "\"n\"", false},
        {"alarm_snmp", "VARCHAR(1)", NN, "\"n\"", false},
        {"alarm_snpp", "VARCHAR(1)", NN, "\"n\"", false},
        {"recovery_alarm_email", "VARCHAR(1)", NN, "\"n\"", false},
        {"recovery_alarm_smpp", "VARCHAR(1)", NN, "\"n\"", false},
        {"recovery_alarm_httpsms", "VARCHAR(1)", NN, "\"n\"", false},
        {"recovery_alarm_syslog", "VARCHAR(1)", NN, "\"n\"", false},
        {"recovery_alarm_snmp", "VARCHAR(1)", NN, "\"n\"", false},
        {"recovery_alarm_snpp", "VARCHAR(1)", NN, "\"n\"", false},
        {"alarm_syslog_facility", "VARCHAR(50)", NUL, nullptr, false},
        {"alarm_syslog_severity", "VARCHAR(50)", NUL, nullptr, false},
        {"alarm_snmp_version", "INTEGER", NN, "1", false},
        {"alarm_snmp_trap_oid", "VARCHAR(150)", NUL, nullptr, false},
        {"alarm_snmp_trap_community", "VARCHAR(150)", NUL, nullptr, false},
        {"alarm_snmp_trap_enterprise", "VARCHAR(150)", NUL, nullptr, false},
        {"alarm_snmp_trap_username", "VARCHAR(50)", NUL, nullptr, false},
        {"alarm_snmp_trap_password", "VARCHAR(50)", NUL, nullptr, false},
        {"ssl_enable", "VARCHAR(1)", NN, "\"n\"", false},
        {"ssl_method", "INTEGER", NN, "0", false},
        {"ssl_mode", "INTEGER", NN, "0", false},
        {"ssl_cert_file", "VARCHAR(250)", NUL, nullptr, false},
        {"ssl_key_file", "VARCHAR(250)", NUL, nullptr, false},
        {"ssl_root_cert_file", "VARCHAR(250)", NUL, nullptr, false},
        {"ssl_cipher_list", "VARCHAR(250)", NUL, nullptr, false},
        {"ssl_verify_depth", "INTEGER", NN, "1", false},
        {"ssl_verify_dirs", "VARCHAR(250)", NUL, nullptr, false},
        {"ssl_peer", "VARCHAR(1)", NN, "\"n\"", false},
        {"ssl_once", "VARCHAR(1)", NN, "\"n\"", false},
        {"ssl_fail", "VARCHAR(1)", NN, "\"n\"", false},
    };
    return cols;
}

Index Idx(const std::string& name, const std::string& statement) { return Index{name, statement}; }

} // namespace

const std::vector<Table>& Tables() {
    static const std::vector<Table> tables = [] {
        std::vector<Table> t;
        t.push_back({"service", CreateTable("service", ServiceCols()),
                     {Idx("idx_service_service", "CREATE INDEX idx_service_service ON service(service);"),
                      Idx("idx_service_ip", "CREATE INDEX idx_service_ip ON service(ip(500));")},
                     {}});
        t.push_back({"service_url_detail",
                     CreateTable("service_url_detail",
                                 {{"service_id", "INTEGER", NN, nullptr, false},
                                  {"fieldname", "VARCHAR(50)", NN, nullptr, false},
                                  {"fieldvalue", "VARCHAR(50)", NN, nullptr, false},
                                  {"isFile", "VARCHAR(1)", NN, "\"n\"", false}}),
                     {Idx("idx_service_url_detail_sid",
                          "CREATE INDEX idx_service_url_detail_sid ON service_url_detail(service_id);")},
                     {}});
        t.push_back({"service_contact_person",
                     CreateTable("service_contact_person",
                                 {{"service_id", "INTEGER", NN, nullptr, false},
                                  {"contact_person_id", "INTEGER", NUL, nullptr, false}}),
                     {Idx("idx_service_contact_person_sid",
                          "CREATE INDEX idx_service_contact_person_sid ON service_contact_person(service_id);"),
                      Idx("idx_service_contact_person_cpid",
                          "CREATE INDEX idx_service_contact_person_cpid ON "
                          "service_contact_person(contact_person_id);")},
                     {}});
        t.push_back({"contact_person",
                     CreateTable("contact_person",
                                 {{"id", "INTEGER", NN, nullptr, true},
                                  kPrimaryKey,
                                  {"name", "VARCHAR(50)", NUL, nullptr, false},
                                  {"details", "VARCHAR(150)", NUL, nullptr, false},
                                  {"email", "VARCHAR(100)", NUL, nullptr, false},
                                  {"sms", "VARCHAR(100)", NUL, nullptr, false},
                                  {"pager_id", "VARCHAR(100)", NUL, nullptr, false}}),
                     {},
                     {}});
        t.push_back({"contact_group",
                     CreateTable("contact_group", {{"id", "INTEGER", NN, nullptr, true},
                                                   kPrimaryKey,
                                                   {"name", "VARCHAR(50)", NUL, nullptr, false}}),
                     {},
                     {}});
        t.push_back({"contact_person_group",
                     CreateTable("contact_person_group",
                                 {{"contact_person_id", "INTEGER", NN, nullptr, false},
                                  {"contact_group_id", "INTEGER", NN, nullptr, false}}),
                     {Idx("idx_contact_person_group_pid",
                          "CREATE INDEX idx_contact_person_group_pid ON contact_person_group(contact_person_id);"),
                      Idx("idx_contact_person_group_gid",
                          "CREATE INDEX idx_contact_person_group_gid ON contact_person_group(contact_group_id);")},
                     {}});
        t.push_back({"access_history",
                     CreateTable("access_history",
                                 {{"access_datetime", "DATETIME", NN, "\"0000-00-00 00:00:00\"", false},
                                  {"service_id", "INTEGER", NN, nullptr, false},
                                  {"response_time", "INTEGER", NN, "0", false},
                                  {"service_status", "VARCHAR(10)", NN, "\"Unknown\"", false}}),
                     {Idx("idx_access_history_access_datetime",
                          "CREATE INDEX idx_access_history_access_datetime ON access_history(access_datetime);"),
                      Idx("idx_access_history_service_id",
                          "CREATE INDEX idx_access_history_service_id ON access_history(service_id);"),
                      Idx("idx_access_history_service_status",
                          "CREATE INDEX idx_access_history_service_status ON access_history(service_status(10));"),
                      Idx("idx_access_history_response_time",
                          "CREATE INDEX idx_access_history_response_time ON access_history(response_time);")},
                     {}});
        t.push_back({"alarm_msg_history",
                     CreateTable("alarm_msg_history",
                                 {{"alarm_datetime", "DATETIME", NN, "\"0000-00-00 00:00:00\"", false},
                                  {"service_id", "INTEGER", NN, nullptr, false},
                                  {"msg", "VARCHAR(255)", NN, nullptr, false},
                                  {"service_status", "VARCHAR(10)", NN, "\"Unknown\"", false}}),
                     {Idx("idx_alarm_msg_history_datetime",
                          "CREATE INDEX idx_alarm_msg_history_datetime ON alarm_msg_history(alarm_datetime);"),
                      Idx("idx_alarm_msg_history_service_id",
                          "CREATE INDEX idx_alarm_msg_history_service_id ON alarm_msg_history(service_id);"),
                      Idx("idx_alarm_msg_history_service_status",
                          "CREATE INDEX idx_alarm_msg_history_service_status ON "
                          "alarm_msg_history(service_status(10));")},
                     {}});
        t.push_back({"alarm_method",
                     CreateTable("alarm_method",
                                 {{"id", "INTEGER", NN, nullptr, true},
                                  kPrimaryKey,
                                  {"type", "VARCHAR(20)", NN, nullptr, false},
                                  {"enable", "Integer", NN, "0", false},
                                  {"ip", "VARCHAR(500)", NN, nullptr, false},
                                  {"port", "INTEGER", NN, nullptr, false},
                                  {"authenticate", "Integer", NN, "0", false},
                                  {"username", "VARCHAR(50)", NUL, nullptr, false},
                                  {"password", "VARCHAR(50)", NUL, nullptr, false},
                                  {"proxy_ip", "VARCHAR(500)", NUL, nullptr, false},
                                  {"proxy_port", "INTEGER", NUL, nullptr, false},
                                  {"proxy_username", "VARCHAR(50)", NUL, nullptr, false},
                                  {"proxy_password", "VARCHAR(50)", NUL, nullptr, false},
                                  {"url_method", "VARCHAR(5)", NUL, nullptr, false},
                                  {"field_msisdn", "VARCHAR(50)", NUL, nullptr, false},
                                  {"field_message", "VARCHAR(50)", NUL, nullptr, false},
                                  {"smtp_mail_agent", "VARCHAR(100)", NUL, nullptr, false},
                                  {"smtp_from_address", "VARCHAR(100)", NUL, nullptr, false},
                                  {"sms_oa", "VARCHAR(50)", NUL, nullptr, false},
                                  {"sms_version", "INTEGER", NN, "34", false},
                                  {"sms_system_type", "VARCHAR(50)", NUL, nullptr, false},
                                  {"sms_ton", "INTEGER", NN, "1", false},
                                  {"sms_npi", "INTEGER", NN, "1", false},
                                  {"sms_dest_ton", "INTEGER", NN, "1", false},
                                  {"sms_dest_npi", "INTEGER", NN, "1", false},
                                  {"sms_orig_ton", "INTEGER", NN, "1", false},
                                  {"sms_orig_npi", "INTEGER", NN, "1", false},
                                  {"snmp_trap_port", "Integer", NN, "0", false},
                                  {"snmp_local_engine_id", "VARCHAR(100)", NUL, nullptr, false},
                                  {"snmp_localhost", "VARCHAR(100)", NUL, nullptr, false},
                                  {"timeout", "INTEGER", NN, "5000", false},
                                  {"read_timeout", "INTEGER", NN, "5000", false},
                                  {"retry", "INTEGER", NN, "0", false}}),
                     {},
                     {}});
        t.push_back({"alarm_method_extra_fields",
                     CreateTable("alarm_method_extra_fields",
                                 {{"field_name", "VARCHAR(50)", NUL, nullptr, false},
                                  {"field_value", "VARCHAR(50)", NUL, nullptr, false}}),
                     {},
                     {}});
        Table sched{"scheduling",
                    CreateTable("scheduling", {{"schedule_time", "integer", NN, "0", false},
                                               {"mon", "varchar(3)", NN, "\"yes\"", false},
                                               {"tue", "varchar(3)", NN, "\"yes\"", false},
                                               {"wed", "varchar(3)", NN, "\"yes\"", false},
                                               {"thu", "varchar(3)", NN, "\"yes\"", false},
                                               {"fri", "varchar(3)", NN, "\"yes\"", false},
                                               {"sat", "varchar(3)", NN, "\"yes\"", false},
                                               {"sun", "varchar(3)", NN, "\"yes\"", false}}),
                    {Idx("idx_scheduling_time", "CREATE INDEX idx_scheduling_time ON scheduling(schedule_time);")},
                    {}};
        for (int h = 0; h < 24; ++h) {
            char buf[200];
            std::snprintf(buf, sizeof buf,
                          "insert into velmoradb.scheduling (schedule_time,mon,tue,wed,thu,fri,sat,sun) "
                          "values (%d,\"yes\",\"yes\",\"yes\",\"yes\",\"yes\",\"yes\",\"yes\")",
                          h);
            sched.rows.emplace_back(buf);
        }
        t.push_back(std::move(sched));
        return t;
    }();
    return tables;
}

std::string ServiceColumnDefinition(const std::string& column) {
    for (const Col& c : ServiceCols()) {
        if (c.name && column == c.name) {
            return Element(c);
        }
    }
    return {};
}

const std::vector<Upgrade>& Upgrades() {
    static const std::vector<Upgrade> upgrades = [] {
        auto add = [](const std::string& column) {
            return "ALTER TABLE velmoradb.service ADD " + ServiceColumnDefinition(column) + ";";
        };
        std::vector<Upgrade> u;
        u.push_back({"recovery_alarm_email", false, false,
                     {add("recovery_alarm_email"), add("recovery_alarm_smpp"), add("recovery_alarm_httpsms"),
                      add("recovery_alarm_syslog"), add("recovery_alarm_snmp"), add("recovery_alarm_snpp")}});
        u.push_back({"wmi_namespace", false, false, {add("wmi_namespace"), add("wmi_process_name")}});
        u.push_back({"keep_on_sending", false, false, {add("keep_on_sending")}});
        u.push_back({"wmi_freespace", false, false, {add("wmi_freespace")}});
        u.push_back({"wmi_specified_drive", false, false, {add("wmi_specified_drive")}});
        u.push_back({"title", false, true, {add("title")}});
        u.push_back({"description", true, true, {"ALTER TABLE velmoradb.service DROP description;"}});
        return u;
    }();
    return upgrades;
}

} // namespace schema

// --- The creation steps of the data module -------------------------------------------------

namespace {

// Lets the zero-date defaults of the schema through on servers whose mode forbids them,
// for the time of the creation statements; the session's mode is restored afterwards.
class RelaxedDateMode {
public:
    explicit RelaxedDateMode(ZUVOzedovUzivara& db) : db_(db) {
        try {
            const DbResult r = db_.Query("select @@SESSION.sql_mode as m");
            saved_ = r.empty() ? std::string() : r[0].Get("m");
            std::string kept;
            std::stringstream ss(saved_);
            bool changed = false;
            for (std::string flag; std::getline(ss, flag, ',');) {
                if (flag == "NO_ZERO_DATE" || flag == "NO_ZERO_IN_DATE" || flag == "TRADITIONAL") {
                    changed = true;
                } else if (!flag.empty()) {
                    kept += (kept.empty() ? "" : ",") + flag;
                }
            }
            if (changed) {
                db_.Execute("SET SESSION sql_mode='" + db_.Escape(kept) + "'");
                active_ = true;
            }
        } catch (const DatabaseError&) {
            // The creation statements report their own failures.
        }
    }
    ~RelaxedDateMode() {
        if (active_) {
            try {
                db_.Execute("SET SESSION sql_mode='" + db_.Escape(saved_) + "'");
            } catch (const DatabaseError&) {
            }
        }
    }

private:
    ZUVOzedovUzivara& db_;
    std::string saved_;
    bool active_ = false;
};

} // namespace

bool ZUVOzedovUzivara::TableExists(const std::string& table) {
    try {
        for (const DbRow& r : Query("show tables")) {
            if (r.size() > 0 && r.At(0) == table) {
                return true;
            }
        }
    } catch (const DatabaseError&) {
    }
    return false;
}

void ZUVOzedovUzivara::ExecuteDdl(const std::string& sql, const std::string& name, int kind) {
    try {
        Execute(sql);
    } catch (const DatabaseError& e) {
        std::string message;
        switch (kind) {
        case DdlDatabase: message = std::string(msg::ERR00104); break;
        case DdlTable: message = msg::Format(msg::ERR00105, name); break;
        case DdlIndex: message = msg::Format(msg::ERR00106, name); break;
        default: message = msg::Format(msg::ERR00107, name); break;
        }
        const std::string full = msg::WithError(message, e.what());
        if (IsConsole()) {
            ShowErrorDialog(full);
        } else if (Program().variant == ProgramVariant::Tool) {
            std::fprintf(stderr, "%s\n", full.c_str());
        }
        WriteSystemLog(message, LogError);
        EndProgram(1);
    }
}

std::vector<std::string> ZUVOzedovUzivara::ServiceColumns() {
    std::vector<std::string> names;
    for (const DbRow& r : Query("desc velmoradb.service")) {
        names.push_back(r.Get("Field"));
    }
    return names;
}

void ZUVOzedovUzivara::CreateSchema() { CreateSchema(IsConsole()); }

void ZUVOzedovUzivara::CreateSchema(bool consoleUpgrades) {
    if (!IsOpen()) {
        return;
    }
    RelaxedDateMode relaxed(*this);
    for (const schema::Table& t : schema::Tables()) {
        if (TableExists(t.name)) {
            continue;
        }
        ExecuteDdl(t.statement, t.name, DdlTable);
        for (const schema::Index& i : t.indexes) {
            ExecuteDdl(i.statement, i.name, DdlIndex);
        }
        for (const std::string& row : t.rows) {
            ExecuteDdl(row, t.name, DdlRows);
        }
    }
    for (const schema::Upgrade& u : schema::Upgrades()) {
        if (u.consoleOnly && !consoleUpgrades) {
            continue;
        }
        bool present;
        try {
            const auto cols = ServiceColumns();
            present = std::find(cols.begin(), cols.end(), u.column) != cols.end();
        } catch (const DatabaseError&) {
            // An unreadable column list counts every column as missing and "description"
            // as absent.
            present = false;
        }
        if (present != u.drop) {
            continue;
        }
        for (const std::string& s : u.statements) {
            ExecuteDdl(s, "service", DdlTable);
        }
    }
}

void ZUVOzedovUzivara::CreateDatabase() {
    ExecuteDdl(schema::kCreateDatabase, "velmoradb", DdlDatabase);
    if (ConnectDatabase(false)) {
        CreateSchema();
    }
}

bool ZUVOzedovUzivara::OpenAtStart(const std::function<void()>& beforeCreate) {
    if (ConnectDatabase(false)) {
        CreateSchema();
        return true;
    }
    if (ConnectDatabase(true)) {
        if (beforeCreate) {
            beforeCreate();
        }
        CreateDatabase();
        return IsOpen() && Params().database == "velmoradb";
    }
    return false;
}

} // namespace velmora
