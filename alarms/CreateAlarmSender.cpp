#include "alarms/CreateAlarmSender.h"

#include "alarms/ThreadSMS.h"
#include "alarms/ThreadSMTP.h"
#include "alarms/ThreadSNMP.h"
#include "alarms/ThreadSNPP.h"
#include "alarms/ThreadSysLog.h"
#include "alarms/ThreadURL.h"
#include "store/ZUVOzedovUzivara.h"

namespace velmora {

std::unique_ptr<AlarmSender> CreateAlarmSender(const AlarmMethodSettings& s, TrapSender& trapSender,
                                               const std::string& method, const std::string& recipient,
                                               const std::string& text, const AlarmParams& params) {
    if (method == kMethodEmail)
        return std::make_unique<ThreadSMTP>(s.email, ThreadSMTP::BuildMessage(s.email, recipient, text));
    if (method == kMethodSms) return std::make_unique<ThreadSMS>(s.sms, recipient, text);
    if (method == kMethodSmsHttp) return std::make_unique<ThreadURL>(s.smsHttp, recipient, text);
    if (method == kMethodSysLog) return std::make_unique<ThreadSysLog>(s.syslog, params, text);
    if (method == kMethodSnmp) return std::make_unique<ThreadSNMP>(trapSender, s.snmp, params);
    if (method == kMethodSnpp) return std::make_unique<ThreadSNPP>(s.snpp, recipient, text);
    throw UnknownAlarmMethod("Unknown alarm method \"" + method + "\"");
}

namespace {

std::vector<AlarmRow> Rows(const DbResult& result) {
    std::vector<AlarmRow> rows;
    for (const DbRow& r : result) {
        AlarmRow row;
        for (size_t i = 0; i < result.Columns().size(); ++i) row[result.Columns()[i]] = r.At(i);
        rows.push_back(std::move(row));
    }
    return rows;
}

} // namespace

void LoadAlarmMethods(ZUVOzedovUzivara& db, AlarmMethodSettings& settings, HostVariant variant) {
    const std::vector<AlarmRow> methods = Rows(db.Query("select * from alarm_method"));
    // Whether the extra fields are needed is decided by the rows just read.
    AlarmMethodSettings probe = settings;
    LoadAlarmMethods(probe, methods, {}, variant);
    std::vector<AlarmRow> extra;
    if (probe.smsHttp.enabled && probe.smsHttp.method_word == "Post")
        extra = Rows(db.Query("select * from alarm_method_extra_fields"));
    LoadAlarmMethods(settings, methods, extra, variant);
}

} // namespace velmora
