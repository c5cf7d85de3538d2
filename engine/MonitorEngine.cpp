#include "MonitorEngine.h"

#include "engine/ResultRules.h"
#include "engine/Schedule.h"

#include "alarms/CreateAlarmSender.h"
#include "checks/CheckBuilders.h"
#include "foundation/Clock.h"
#include "foundation/InitSettings.h"
#include "foundation/Messages.h"
#include "foundation/SystemLog.h"
#include "store/History.h"
#include "store/ZUVOzedovUzivara.h"

#include <exception>

namespace velmora {

namespace {

std::string Trimmed(const std::string& s) {
    const auto b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos) {
        return "";
    }
    const auto e = s.find_last_not_of(" \t\r\n");
    return s.substr(b, e - b + 1);
}

} // namespace

RoutingFlags AlarmFlags(const CheckContext& c) {
    return {c.alarm_email,  c.alarm_smpp, c.alarm_httpsms,
            c.alarm_syslog, c.alarm_snmp, c.alarm_snpp};
}

RoutingFlags RecoveryFlags(const CheckContext& c) {
    return {c.recovery_alarm_email,  c.recovery_alarm_smpp, c.recovery_alarm_httpsms,
            c.recovery_alarm_syslog, c.recovery_alarm_snmp, c.recovery_alarm_snpp};
}

AlarmParams ParamsOf(const CheckContext& c) {
    AlarmParams p;
    p.alarm_syslog_facility = c.alarm_syslog_facility;
    p.alarm_syslog_severity = c.alarm_syslog_severity;
    p.alarm_snmp_version = c.alarm_snmp_version;
    p.alarm_snmp_trap_oid = c.alarm_snmp_trap_oid;
    p.alarm_snmp_trap_community = c.alarm_snmp_trap_community;
    p.alarm_snmp_trap_enterprise = c.alarm_snmp_trap_enterprise;
    p.alarm_snmp_trap_username = c.alarm_snmp_trap_username;
    p.alarm_snmp_trap_password = c.alarm_snmp_trap_password;
    return p;
}

MonitorEngine::MonitorEngine(ZUVOzedovUzivara& db, EngineHooks hooks, bool console, QObject* parent)
    : QObject(parent), db_(db), hooks_(std::move(hooks)), console_(console) {
    TimerInit.setInterval(3000);
    TimerInit.setSingleShot(true);
    TimerService.setInterval(60000);
    Timer.setInterval(6000);
    TimerHouseKeep.setInterval(3600000);
    connect(&TimerInit, &QTimer::timeout, this, [this] { TimerInitTimer(); });
    connect(&TimerService, &QTimer::timeout, this, [this] { TimerServiceTimer(); });
    connect(&Timer, &QTimer::timeout, this, [this] { TimerTimer(); });
    connect(&TimerHouseKeep, &QTimer::timeout, this, [this] { TimerHouseKeepTimer(); });
    Timer.start();
    TimerHouseKeep.start();
}

MonitorEngine::~MonitorEngine() {
    TimerInit.stop();
    TimerService.stop();
    Timer.stop();
    TimerHouseKeep.stop();
    pool_.reset();
}

// ---- Scheduler ---------------------------------------------------------------------------

void MonitorEngine::TimerInitTimer() {
    TimerInit.stop();
    if (!pool_) {
        const TInitSettings& s = InitSettings();
        pool_ = std::make_unique<WorkPool>(
            this, WorkPool::FromSettings(s.NoConcurrentAlarm, s.NoQueuingAlarm, s.QueningSecond),
            [this](WorkItem& item) { OnWorkItemDone(item); },
            [this](const std::string& text) { OnPoolError(text); });
    }
    // A failure to read the alarm methods leaves them as they were; the engine starts all the
    // same, so checks still run and results are still stored.
    try {
        LoadAlarmMethods();
    } catch (const std::exception& e) {
        WriteSystemLog(msg::LastResort(e.what()), LogError);
    }
    if (view_ != nullptr) {
        view_->EngineStarted();
    }
    SetSchedulingActive(console_ ? InitSettings().InitStart : true);
    gateArmed = true;
    TimerServiceTimer();
}

void MonitorEngine::TimerServiceTimer() {
    try {
        const LocalTime now = ToLocal(Now());
        const DbResult rows = db_.Query(DueQueryText(now));
        for (const DbRow& r : rows) {
            const ServiceRow row = r.ToServiceRow();
            if (view_ != nullptr) {
                view_->ServiceProcessing(row.GetInt("id"));
            }
            StartCheck(row);
        }
    } catch (const std::exception& e) {
        ReportError(msg::Location("ERR90002", e.what()));
    }
}

void MonitorEngine::TimerTimer() {
    if (!gateArmed) {
        return;
    }
    try {
        const LocalTime now = ToLocal(Now());
        const std::string column = WeekdayColumn(IsoWeekday(now));
        const DbResult rows = db_.Query(GateQueryText(now.hour));
        std::vector<std::string> values;
        for (const DbRow& r : rows) {
            values.push_back(r.Get(column));
        }
        switch (GateDecision(values, SchedulingActive())) {
        case GateAction::SwitchOn:
            SetSchedulingActive(true);
            break;
        case GateAction::SwitchOff:
            SetSchedulingActive(false);
            break;
        case GateAction::None:
            break;
        }
    } catch (const std::exception& e) {
        ReportError(msg::Location("ERR90036", e.what()));
    }
}

void MonitorEngine::TimerHouseKeepTimer() {
    try {
        if (hooks_.houseKeep) {
            hooks_.houseKeep();
        } else {
            HouseKeep(db_);
        }
    } catch (const std::exception& e) {
        const std::string text = msg::LastResort(e.what());
        WriteSystemLog(text, LogError);
        if (console_ && view_ != nullptr) {
            view_->ShowError(text);
        }
    }
}

void MonitorEngine::SetSchedulingActive(bool active) {
    if (active) {
        TimerService.start();
    } else {
        TimerService.stop();
    }
    const std::string text(active ? msg::SchedulingStarts : msg::SchedulingStops);
    WriteSystemLog(text, LogInfo);
    if (view_ != nullptr) {
        view_->SchedulingChanged(active, text);
    }
}

void MonitorEngine::RunServiceNow(long long id) {
    try {
        const DbResult rows = db_.Query(RunNowQueryText(id));
        for (const DbRow& r : rows) {
            StartCheck(r.ToServiceRow());
        }
    } catch (const std::exception& e) {
        ReportError(msg::Location("ERR90003", e.what()));
    }
}

// ---- Check execution ---------------------------------------------------------------------

void MonitorEngine::StartCheck(const ServiceRow& source) {
    const std::string& type = source.Get("service");
    const std::string code = BuildErrorCode(type);
    if (code.empty()) {
        return; // not one of the check types: skipped without a message
    }
    try {
        ServiceRow row = source;
        if (type == "URL") {
            row.urlDetails.clear();
            const DbResult details =
                db_.Query("SELECT * from service_url_detail where service_id=" +
                          std::to_string(row.GetInt("id")));
            for (const DbRow& d : details) {
                row.urlDetails.emplace_back(d.Get("fieldname"), d.Get("fieldvalue"));
            }
        }
        std::unique_ptr<CheckItem> check =
            hooks_.buildCheck ? hooks_.buildCheck(row) : BuildCheck(row, "Product");
        if (!check) {
            return;
        }
        if (!pool_) {
            throw std::runtime_error("The engine has not started.");
        }
        pool_->Schedule(std::move(check));
    } catch (const CheckBuildError& e) {
        ReportError(e.what()); // already "ERR900xx : cause"
    } catch (const std::exception& e) {
        ReportError(msg::Location(code, e.what()));
    }
}

long long MonitorEngine::SubmitWorkItem(std::unique_ptr<WorkItem> item) {
    try {
        if (!pool_) {
            throw std::runtime_error("The engine has not started.");
        }
        return pool_->Schedule(std::move(item));
    } catch (const std::exception& e) {
        WriteSystemLog(msg::WithError(msg::ERR00404, Trimmed(e.what())), LogError);
        if (console_ && view_ != nullptr) {
            view_->ShowError(std::string(msg::ERR00404));
        }
        return 0;
    }
}

void MonitorEngine::OnWorkItemDone(WorkItem& item) {
    switch (item.Kind()) {
    case WorkKind::Check:
        ProcessCheckResult(static_cast<CheckItem&>(item));
        break;
    case WorkKind::Delivery:
        ProcessDeliveryResult(static_cast<AlarmSender&>(item));
        break;
    case WorkKind::Other:
        if (view_ != nullptr) {
            try {
                view_->OtherItemDone(item);
            } catch (const std::exception&) {
                WriteSystemLog(std::string(msg::ERR00403), LogError);
            }
        }
        break;
    }
}

void MonitorEngine::OnPoolError(const std::string& text) {
    WriteSystemLog(msg::WithError(msg::ERR00401, text), LogError);
}

void MonitorEngine::ReportError(const std::string& text) {
    WriteSystemLog(text, LogError);
    if (console_ && view_ != nullptr) {
        view_->ShowError(text);
    }
}

// ---- Result processing -------------------------------------------------------------------

void MonitorEngine::ProcessCheckResult(CheckItem& check) {
    const CheckContext& ctx = check.Context();
    try {
        if (check.NeverRan()) {
            // Given up by the pool: nothing was probed, so nothing is stored or alarmed.
            if (ctx.origin == "Product") {
                WriteSystemLog(NotRunWarning(ctx.id, check.ServiceType(), check.poolOutcome,
                                             check.poolMessage),
                               LogWarning);
            } else if (ctx.origin == "Setup" && view_ != nullptr) {
                view_->SetupResult(check);
            }
            return;
        }
        if (check.poolOutcome == PoolOutcome::RaisedError && check.passed) {
            // An error that escaped the probe is a failure, not a pass.
            check.passed = false;
            check.status = "Failed";
            if (check.result_text.empty()) {
                check.result_text =
                    "[" + check.Host() + ":" + check.Port() + " " + check.poolMessage + "]";
            }
        }
        const std::string time = FormatDateTime(Now());
        const ResultPlan plan =
            PlanResult(ctx.origin, check.passed, ctx.current_no_of_cons_alarm, ctx.no_of_cons_alarm,
                       ctx.keep_on_sending, ctx.service_status);
        if (plan.recordFailure) {
            RecordAlarmMessage(time, ctx.id, check.ServiceType(), check.status, check.result_text,
                               check.Port(), check.Host());
        }
        if (plan.sendAlarm) {
            DispatchMessage(MessageKind::Alarm, check.result_text, time, ctx.id, AlarmFlags(ctx),
                            ParamsOf(ctx));
        }
        if (plan.sendRecovery) {
            const std::string text =
                RecoveryMessage(check.ServiceType(), check.Host(), check.Port());
            if (!text.empty()) {
                DispatchMessage(MessageKind::Recovery, text, time, ctx.id, RecoveryFlags(ctx),
                                ParamsOf(ctx));
            }
        }
        if (plan.store) {
            const SqlEscaper escape = [this](std::string_view s) { return db_.Escape(s); };
            db_.Execute(UpdateServiceStatement(plan.counter, check.status, ctx.id, escape));
            db_.Execute(
                InsertAccessHistoryStatement(ctx.id, check.response_time, check.status, escape));
            if (view_ != nullptr) {
                view_->ShowCheckResult(ctx.id, plan.counter, time, check.status);
            }
        }
        if (ctx.origin == "Setup" && view_ != nullptr) {
            view_->SetupResult(check);
        }
    } catch (const std::exception&) {
        WriteSystemLog(std::string(msg::ERR00403), LogError);
    }
}

void MonitorEngine::RecordAlarmMessage(const std::string& time, long long serviceId,
                                       const std::string& type, const std::string& status,
                                       const std::string& message, const std::string& port,
                                       const std::string& host) {
    if (hooks_.recordAlarmMessage) {
        hooks_.recordAlarmMessage(time, serviceId, type, status, message, port, host);
        return;
    }
    ::velmora::RecordAlarmMessage(time, serviceId, type, status, message, port, host, db_);
}

// ---- Alarm dispatch ----------------------------------------------------------------------

void MonitorEngine::LoadAlarmMethods() {
    ::velmora::LoadAlarmMethods(db_, methods_,
                                console_ ? HostVariant::Console : HostVariant::Service);
}

void MonitorEngine::DispatchMessage(MessageKind, const std::string& message,
                                    const std::string& time, long long serviceId,
                                    const RoutingFlags& flags, const AlarmParams& params) {
    if (NeedsContacts(methods_)) {
        SendContactAlarms(time, serviceId, flags.snpp, flags.httpsms, flags.smpp, flags.email,
                          message, params);
    }
    for (const Delivery& d : ServerDeliveries(methods_, flags)) {
        SendAlarm(time, message, d.method, d.recipient, params);
    }
}

void MonitorEngine::SendContactAlarms(const std::string& time, long long serviceId, bool pager,
                                      bool httpSms, bool smpp, bool email,
                                      const std::string& message, const AlarmParams& params) {
    std::vector<Contact> contacts;
    try {
        for (const DbRow& r : db_.Query(ContactQueryText(serviceId))) {
            contacts.push_back({r.Get("name"), r.Get("email"), r.Get("sms"), r.Get("pager_id")});
        }
    } catch (const std::exception& e) {
        ReportError(msg::Location(console_ ? "ERR90041" : "ERR90040", e.what()));
        return;
    }
    RoutingFlags flags;
    flags.email = email;
    flags.smpp = smpp;
    flags.httpsms = httpSms;
    flags.snpp = pager;
    for (const Delivery& d : ContactDeliveries(methods_, flags, contacts)) {
        SendAlarm(time, message, d.method, d.recipient, params);
    }
}

void MonitorEngine::SendAlarm(const std::string& time, const std::string& message,
                              const std::string& method, const std::string& recipient,
                              const AlarmParams& params) {
    if (!methods_.Enabled(method)) {
        return;
    }
    try {
        std::unique_ptr<AlarmSender> sender =
            hooks_.createSender
                ? hooks_.createSender(methods_, method, recipient, message, params)
                : CreateAlarmSender(methods_, trapSender_, method, recipient, message, params);
        if (!sender) {
            throw std::runtime_error("No sender for " + method + ".");
        }
        if (!pool_) {
            throw std::runtime_error("The engine has not started.");
        }
        const long long seq = pool_->Schedule(std::move(sender));
        if (view_ != nullptr) {
            view_->DeliveryQueued(seq, time, message, method, recipient);
        }
    } catch (const std::exception& e) {
        WriteSystemLog(msg::WithError(msg::ERR00402, Trimmed(e.what())), LogError);
    }
}

void MonitorEngine::ProcessDeliveryResult(AlarmSender& delivery) {
    try {
        if (view_ != nullptr) {
            view_->DeliveryFinished(delivery.sequence, delivery.status);
        }
        const std::string line = DeliveryFailureLine(delivery);
        if (!line.empty()) {
            WriteSystemLog(line, LogError);
        }
    } catch (const std::exception&) {
        WriteSystemLog(std::string(msg::ERR00403), LogError);
    }
}

// ---- Closing -----------------------------------------------------------------------------

bool MonitorEngine::Shutdown(std::chrono::milliseconds timeout) {
    SetSchedulingActive(false);
    TimerInit.stop();
    Timer.stop(); // closing: the grid must not switch the tick on again
    if (!pool_) {
        return true;
    }
    if (pool_->ExecutingCount() > 0) {
        pool_->CancelAll();
    }
    return pool_->Drain(timeout);
}

} // namespace velmora
