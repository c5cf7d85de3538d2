#include "ServiceRecords.h"

#include "Schema.h"
#include "ValueTables.h"

#include "foundation/IniFile.h"
#include "foundation/Messages.h"
#include "foundation/SystemLog.h"

#include <algorithm>
#include <cctype>

namespace velmora {

std::string NormaliseHost(const std::string& text) {
    std::string s = text;
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (const char* scheme : {"http://", "https://"}) {
        const size_t p = s.find(scheme);
        if (p != std::string::npos) {
            s.erase(p, std::char_traits<char>::length(scheme));
        }
    }
    return s;
}

bool IsUniqueValue(const std::string& table, const std::string& column, const std::string& value,
                   long long excludedId, ZUVOzedovUzivara& db) {
    std::string sql = "Select count(*) as numOfRecord from " + table;
    if (!column.empty() && !value.empty()) {
        sql += " where " + column + "=" + db.Quote(value);
        if (excludedId != 0) {
            sql += " and id<>" + std::to_string(excludedId);
        }
    } else if (column.empty() && value.empty() && excludedId != 0) {
        sql += " where id<>" + std::to_string(excludedId);
    }
    const DbResult r = db.Query(sql);
    return r.empty() || r[0].GetInt("numOfRecord") <= 0;
}

long long FindId(const std::string& table, const std::string& column, const std::string& value,
                 ZUVOzedovUzivara& db) {
    const DbResult r = db.Query("Select id from " + table + " where " + column + "=" + db.Quote(value));
    return r.empty() ? 0 : r[0].GetInt("id");
}

long long MaxId(const std::string& table, ZUVOzedovUzivara& db) {
    const DbResult r = db.Query("Select MAX(id) as id from " + table);
    return r.empty() ? 0 : r[0].GetInt("id");
}

bool IsNumericServiceColumn(const std::string& column) {
    const std::string def = schema::ServiceColumnDefinition(column);
    return def.find(" INTEGER") != std::string::npos || def.find(" BIGINT") != std::string::npos;
}

namespace {

// The 93 columns of a new service: all but id and service_status, in table order.
const std::vector<std::string>& InsertColumns() {
    static const std::vector<std::string> cols = [] {
        std::vector<std::string> c;
        for (const std::string& n : ServiceRow::ColumnNames()) {
            if (n != "id" && n != "service_status") {
                c.push_back(n);
            }
        }
        return c;
    }();
    return cols;
}

long long IntOr(const std::string& text, long long def) {
    const auto v = ParseInteger(text);
    return v ? *v : def;
}

std::string TwoDigits(long long v) {
    const std::string s = std::to_string(v);
    return s.size() < 2 ? "0" + s : s;
}

// An hour or minute field: a whole number limited to [0, max], else "00".
std::string ClockField(const std::string& text, long long max) {
    const auto v = ParseInteger(text);
    if (!v) {
        return "00";
    }
    return TwoDigits(std::clamp<long long>(*v, 0, max));
}

bool Insert(const ServiceRow& row, std::string_view failure, std::string* error, ZUVOzedovUzivara& db) {
    try {
        db.Execute(ServiceInsertStatement(row, db));
        return true;
    } catch (const DatabaseError& e) {
        WriteSystemLog(msg::WithError(failure, e.what()), LogError);
        if (error) {
            *error = e.what();
        }
        return false;
    }
}

} // namespace

std::string ServiceInsertStatement(const ServiceRow& row, const ZUVOzedovUzivara& db) {
    std::string names;
    std::string values;
    for (const std::string& c : InsertColumns()) {
        names += (names.empty() ? "" : ",") + c;
        values += values.empty() ? "" : ",";
        if (c == "last_access") {
            values += "now()";
        } else if (IsNumericServiceColumn(c)) {
            values += std::to_string(IntOr(row.Get(c), 0));
        } else {
            values += db.Quote(row.Get(c));
        }
    }
    return "insert into service (" + names + ") values (" + values + ")";
}

ServiceRow ImportedServiceRow(const ImportRecord& f) {
    ServiceRow row;
    for (const std::string& c : InsertColumns()) {
        row.Set(c, IsNumericServiceColumn(c) ? "0" : "");
    }
    const char* method = ScheduleMethodFromCode(f[0]);
    const bool daily = std::string_view(method) == kScheduleDaily;
    const std::string& type = CheckTypeName(IntOr(f[4], 0));

    row.Set("service", type);
    row.Set("status", kStatusStart);
    row.Set("ip", f[5]);
    row.Set("port", std::to_string(IntOr(f[6], 0)));
    row.Set("title", f[3]);
    row.Set("schedule_by", method);
    row.Set("schedule_hour", daily ? ClockField(f[1], 23) : "00");
    row.Set("schedule_minute", ClockField(f[2], 59));
    row.Set("no_of_cons_alarm", std::to_string(IntOr(f[7], 1)));
    row.Set("keep_on_sending", std::to_string(IntOr(f[8], 0)));
    row.Set("timeout", "5000");
    row.Set("read_timeout", "5000");
    row.Set("url_method", "Get");
    row.Set("url_max_redirect", "10");
    row.Set("url_content_type", "text/html");
    row.Set("url_user_agent", "Mozilla/3.0");
    row.Set("url_accept", "text/html, */*");
    for (const char* flag : {"alarm_email", "alarm_smpp", "alarm_httpsms", "alarm_syslog", "alarm_snmp",
                             "alarm_snpp", "recovery_alarm_email", "recovery_alarm_smpp",
                             "recovery_alarm_httpsms", "recovery_alarm_syslog", "recovery_alarm_snmp",
                             "recovery_alarm_snpp", "ssl_enable", "ssl_peer", "ssl_once", "ssl_fail"}) {
        row.Set(flag, kNo);
    }
    row.Set("alarm_syslog_facility", "Kernel");
    row.Set("alarm_syslog_severity", "Emergency");
    row.Set("alarm_snmp_version", "1");
    row.Set("alarm_snmp_trap_community", "public");

    long long freeSpace = 0;
    if (type == "MySQL") {
        row.Set("database_name", f[9]);
    } else if (type == "WMI Process") {
        // The namespace is stored as typed (root\CIMV2); the statement's escaping keeps
        // its backslashes.
        row.Set("wmi_namespace", f[9]);
        row.Set("wmi_process_name", f[10]);
    } else if (type == "WMI HD Freespace") {
        freeSpace = IntOr(f[9], 0);
    } else if (type == "WMI Share Folder") {
        row.Set("wmi_process_name", f[10]);
    } else if (type == "SNTP") {
        row.Set("buffer_size", "8192");
    }
    row.Set("wmi_freespace", std::to_string(std::clamp<long long>(freeSpace, kFreeSpaceMin, kFreeSpaceMax)));
    return row;
}

bool InsertImportedService(const ImportRecord& fields, std::string* error, ZUVOzedovUzivara& db) {
    return Insert(ImportedServiceRow(fields), msg::ERR00508, error, db);
}

bool InsertServiceRow(const ServiceRow& row, std::string* error, ZUVOzedovUzivara& db) {
    return Insert(row, msg::ERR00510, error, db);
}

std::vector<ServiceRow> QueryServiceRows(const std::string& sql, ZUVOzedovUzivara& db) {
    std::vector<ServiceRow> rows;
    for (const DbRow& r : db.Query(sql)) {
        rows.push_back(r.ToServiceRow());
    }
    return rows;
}

std::optional<ServiceRow> LoadServiceRow(long long id, ZUVOzedovUzivara& db) {
    const DbResult r = db.Query("select * from service where id=" + std::to_string(id));
    if (r.empty()) {
        return std::nullopt;
    }
    ServiceRow row = r[0].ToServiceRow();
    for (const DbRow& d : db.Query("select fieldname,fieldvalue from service_url_detail where service_id=" +
                                   std::to_string(id))) {
        row.urlDetails.emplace_back(d.Get("fieldname"), d.Get("fieldvalue"));
    }
    return row;
}

std::string ServiceListIp(const ServiceRow& row) {
    std::string ip = row.Get("ip");
    const size_t p = ip.rfind("http://");
    if (p != std::string::npos) {
        ip.erase(0, p + 7);
    }
    const std::string& type = row.Get("service");
    if (type == "WMI Process" || type == "WMI Share Folder") {
        return ip + " : " + row.Get("wmi_process_name");
    }
    if (type == "WMI HD Freespace") {
        return ip + " : Freespace <= " + FreeSpaceLabel(row.GetInt("wmi_freespace"));
    }
    return ip;
}

std::string ServiceListSchedule(const ServiceRow& row) {
    const std::string& by = row.Get("schedule_by");
    if (by == kScheduleDaily) {
        return "Daily on " + row.Get("schedule_hour") + ":" + row.Get("schedule_minute");
    }
    if (by == kScheduleHourly) {
        return "Hourly on " + row.Get("schedule_minute") + " min";
    }
    return "every " + row.Get("schedule_minute") + " min";
}

std::vector<ServiceListEntry> ServiceList(ZUVOzedovUzivara& db) {
    std::vector<ServiceListEntry> list;
    const DbResult r = db.Query(
        "select id, service, ip, wmi_freespace, wmi_process_name, port, service_status, "
        "DATE_FORMAT(last_access, '%Y-%m-%d %H:%i:%s') as last_access, schedule_by, schedule_hour, "
        "schedule_minute, current_no_of_cons_alarm, status, title from service "
        "order by ip, service, schedule_hour, schedule_minute");
    for (const DbRow& d : r) {
        const ServiceRow row = d.ToServiceRow();
        ServiceListEntry e;
        e.id = row.GetInt("id");
        e.title = row.Get("title");
        e.service = row.Get("service");
        e.ip = ServiceListIp(row);
        e.port = row.Get("port") == "0" ? "---" : row.Get("port");
        e.schedule = ServiceListSchedule(row);
        e.conError = row.Get("current_no_of_cons_alarm");
        e.lastAccess = d.IsNull("last_access") ? "0000-00-00 00:00:00" : row.Get("last_access");
        e.result = row.Get("service_status");
        e.status = row.Get("status");
        list.push_back(std::move(e));
    }
    return list;
}

} // namespace velmora
