// velmoractl alarm: one test delivery over one alarm method, with the stored settings of
// alarm_method or values given on the command line over them.
#include "Command.h"

#include "alarms/CreateAlarmSender.h"
#include "store/ZUVOzedovUzivara.h"

#include "foundation/InitSettings.h"
#include "foundation/Program.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace velmora::cli {

namespace {

const std::vector<std::string>& MethodColumns() {
    static const std::vector<std::string> c = {
        "enable", "ip", "port", "authenticate", "username", "password", "proxy_ip", "proxy_port",
        "proxy_username", "proxy_password", "url_method", "field_msisdn", "field_message", "smtp_mail_agent",
        "smtp_from_address", "sms_oa", "sms_version", "sms_system_type", "sms_ton", "sms_npi", "sms_dest_ton",
        "sms_dest_npi", "sms_orig_ton", "sms_orig_npi", "snmp_trap_port", "snmp_local_engine_id",
        "snmp_localhost", "timeout", "read_timeout", "retry"};
    return c;
}

std::pair<std::string, std::string> SplitAssignment(const std::string& option, const std::string& text) {
    const auto eq = text.find('=');
    if (eq == std::string::npos || eq == 0) throw UsageError{option + " needs COLUMN=VALUE, not \"" + text + "\""};
    return {text.substr(0, eq), text.substr(eq + 1)};
}

void SetParam(AlarmParams& p, const std::string& column, const std::string& value) {
    if (column == "alarm_syslog_facility") p.alarm_syslog_facility = value;
    else if (column == "alarm_syslog_severity") p.alarm_syslog_severity = value;
    else if (column == "alarm_snmp_version") p.alarm_snmp_version = std::atoi(value.c_str());
    else if (column == "alarm_snmp_trap_oid") p.alarm_snmp_trap_oid = value;
    else if (column == "alarm_snmp_trap_community") p.alarm_snmp_trap_community = value;
    else if (column == "alarm_snmp_trap_enterprise") p.alarm_snmp_trap_enterprise = value;
    else if (column == "alarm_snmp_trap_username") p.alarm_snmp_trap_username = value;
    else if (column == "alarm_snmp_trap_password") p.alarm_snmp_trap_password = value;
    else throw UsageError{"unknown alarm parameter \"" + column + "\""};
}

std::vector<AlarmRow> ReadRows(ZUVOzedovUzivara& db, const std::string& sql) {
    std::vector<AlarmRow> rows;
    const DbResult result = db.Query(sql);
    for (const DbRow& r : result) {
        AlarmRow row;
        for (size_t i = 0; i < result.Columns().size(); ++i) row[result.Columns()[i]] = r.At(i);
        rows.push_back(std::move(row));
    }
    return rows;
}

} // namespace

int RunAlarm(const std::vector<std::string>& argsIn) {
    std::vector<std::string> args = argsIn;
    if (!PrepareProgram(args)) return kExitFailed;
    std::string method, to, message;
    bool haveMethod = false, haveTo = false, haveMessage = false, noDb = false;
    std::vector<std::pair<std::string, std::string>> sets;
    AlarmParams params;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&]() -> const std::string& {
            if (i + 1 >= args.size()) throw UsageError{a + " needs a value"};
            return args[++i];
        };
        if (a == "--method") method = value(), haveMethod = true;
        else if (a == "--to") to = value(), haveTo = true;
        else if (a == "--message") message = value(), haveMessage = true;
        else if (a == "--set") {
            auto kv = SplitAssignment(a, value());
            const auto& cols = MethodColumns();
            if (std::find(cols.begin(), cols.end(), kv.first) == cols.end())
                throw UsageError{"unknown alarm_method column \"" + kv.first + "\""};
            sets.push_back(kv);
        } else if (a == "--param") {
            auto kv = SplitAssignment(a, value());
            SetParam(params, kv.first, kv.second);
        } else if (a == "--no-db") noDb = true;
        else throw UsageError{"unknown argument \"" + a + "\""};
    }
    if (!haveMethod || !haveTo || !haveMessage) throw UsageError{"--method, --to and --message are required"};
    static const char* methods[] = {kMethodEmail, kMethodSms, kMethodSmsHttp, kMethodSysLog, kMethodSnmp, kMethodSnpp};
    if (std::none_of(std::begin(methods), std::end(methods), [&](const char* m) { return method == m; }))
        throw UsageError{"unknown method \"" + method +
                         "\" (Email, SMS, \"SMS by HTTP\", SysLog, SNMP or SNPP)"};

    // The method's stored row (the last of its type), then the --set values over it.
    AlarmRow row;
    std::vector<AlarmRow> extra;
    if (!noDb) {
        Program().echoLogToStderr = true;
        ZUVOzedovUzivara& db = Database();
        if (!db.ConnectDatabase(false)) {
            const TInitSettings& s = InitSettings();
            std::fprintf(stderr, "velmoractl alarm: cannot connect to velmoradb at %s:%s (--no-db sends with the "
                                 "--set values alone)\n", s.Host.c_str(), s.Port.c_str());
            return kExitFailed;
        }
        try {
            for (const AlarmRow& r : ReadRows(db, "select * from alarm_method"))
                if (r.count("type") && r.at("type") == method) row = r;
            extra = ReadRows(db, "select * from alarm_method_extra_fields");
        } catch (const std::exception& e) {
            std::fprintf(stderr, "velmoractl alarm: %s\n", e.what());
            return kExitFailed;
        }
    }
    row["type"] = method;
    for (const auto& [column, v] : sets) row[column] = v;
    // A test send goes out whatever the stored switch says, so it is loaded as enabled
    // (this also brings in the extra POST fields of an "SMS by HTTP" Post method).
    row["enable"] = "1";
    AlarmMethodSettings settings;
    LoadAlarmMethods(settings, {row}, extra, HostVariant::Console);

    TrapSender trapSender;
    std::unique_ptr<AlarmSender> sender;
    try {
        sender = CreateAlarmSender(settings, trapSender, method, to, message, params);
    } catch (const std::exception& e) {
        std::printf("ERR00402 : Creating thread error. : %s\nstatus: Error\n", e.what());
        return kExitFailed;
    }
    sender->Run();
    if (sender->poolOutcome == PoolOutcome::RaisedError && sender->status.empty()) {
        std::printf("%s\nstatus: Error\n", sender->poolMessage.c_str());
        return kExitFailed;
    }
    std::printf("%s\nstatus: %s\n", sender->result_text.c_str(), sender->sent ? "Sent" : "Error");
    if (method == kMethodSmsHttp) std::printf("response_code: %d\n", sender->response_code);
    return sender->sent ? kExitOk : kExitFailed;
}

} // namespace velmora::cli
