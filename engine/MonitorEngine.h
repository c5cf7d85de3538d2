#pragma once
// The monitoring engine both hosts own: four timers on the host's event loop (engine start,
// minute tick, hour-grid gate, housekeeping), check execution in the WorkPool, result
// processing with each service's alarm state, and the dispatch of alarms and recovery
// messages. Every time decision reads velmora::Now(), so tests drive it with a ManualClock.
#include "engine/Dispatch.h"
#include "engine/EngineView.h"
#include "engine/WorkPool.h"

#include "alarms/AlarmMethodSettings.h"
#include "alarms/AlarmSender.h"
#include "alarms/TrapSender.h"
#include "checks/CheckItem.h"
#include "store/ServiceRow.h"

#include <QObject>
#include <QTimer>

#include <chrono>
#include <functional>
#include <memory>
#include <string>

namespace velmora {

class ZUVOzedovUzivara;

// The engine's links to the check builders, the alarm senders and the history store.
struct EngineHooks {
    // Builds the check of a `service` row; nullptr for a type without a builder (the row is
    // skipped without a message). An error while building is thrown. Empty: the check
    // builders' table (BuildCheck with origin "Product").
    std::function<std::unique_ptr<CheckItem>(const ServiceRow&)> buildCheck;
    // Builds one delivery from the method settings and the message; an error is thrown.
    // Empty: CreateAlarmSender with the engine's trap sender.
    std::function<std::unique_ptr<AlarmSender>(
        const AlarmMethodSettings&, const std::string& method, const std::string& recipient,
        const std::string& message, const AlarmParams&)>
        createSender;
    // Records one failure in the alarm message log file and alarm_msg_history. Empty: the
    // store's RecordAlarmMessage.
    std::function<void(const std::string& time, long long serviceId, const std::string& type,
                       const std::string& status, const std::string& message,
                       const std::string& port, const std::string& host)>
        recordAlarmMessage;
    // The hourly purge of old history. Empty: the store's HouseKeep.
    std::function<void()> houseKeep;
};

class MonitorEngine : public QObject {
    Q_OBJECT

public:
    // `db` is the program's data module (used on the engine thread only). `console` selects
    // the console's behaviour (InitStart, dialogs, host preparation of the alarm methods).
    MonitorEngine(ZUVOzedovUzivara& db, EngineHooks hooks, bool console = false,
                  QObject* parent = nullptr);
    ~MonitorEngine() override;

    // The four timers: TimerInit 3 s once (disabled until the host enables it), TimerService
    // 60 s (the minute tick, off until started), Timer 6 s and TimerHouseKeep 1 h (running
    // from creation).
    QTimer TimerInit;
    QTimer TimerService;
    QTimer Timer;
    QTimer TimerHouseKeep;
    // While true, the hour-grid gate may switch the minute tick on and off.
    bool gateArmed = false;

    void AttachView(EngineView* view) { view_ = view; }
    EngineView* View() const { return view_; }

    // Timer handlers.
    void TimerInitTimer();      // engine start
    void TimerServiceTimer();   // the minute tick
    void TimerTimer();          // the hour-grid gate
    void TimerHouseKeepTimer(); // housekeeping

    void SetSchedulingActive(bool active);
    bool SchedulingActive() const { return TimerService.isActive(); }

    // Console "Run Now": queues the check of one service, whatever its status.
    void RunServiceNow(long long id);
    // Builds the check of one row and queues it; never waits for it.
    void StartCheck(const ServiceRow& row);
    // Queues an item built elsewhere (the wizard's test checks); returns its sequence.
    long long SubmitWorkItem(std::unique_ptr<WorkItem> item);

    // Completion handlers (run by the pool on the engine thread).
    void ProcessCheckResult(CheckItem& check);
    void ProcessDeliveryResult(AlarmSender& delivery);

    // Alarm dispatch.
    enum class MessageKind { Alarm, Recovery };
    void DispatchMessage(MessageKind kind, const std::string& message, const std::string& time,
                         long long serviceId, const RoutingFlags& flags, const AlarmParams& params);
    void SendContactAlarms(const std::string& time, long long serviceId, bool pager, bool httpSms,
                           bool smpp, bool email, const std::string& message,
                           const AlarmParams& params);
    void SendAlarm(const std::string& time, const std::string& message, const std::string& method,
                   const std::string& recipient, const AlarmParams& params);

    // Reads alarm_method (and its extra fields) into the method settings.
    void LoadAlarmMethods();
    AlarmMethodSettings& AlarmMethods() { return methods_; }

    // Closing the host: the tick off, waiting items canceled when something still executes,
    // then the pool drained with every completion that arrives meanwhile processed, so the
    // last results are stored. Returns false when `timeout` passed first.
    bool Shutdown(std::chrono::milliseconds timeout = std::chrono::seconds(600));

    WorkPool* Pool() const { return pool_.get(); }

private:
    void OnWorkItemDone(WorkItem& item);
    void OnPoolError(const std::string& text);
    void ReportError(const std::string& text); // log at Error; console also a dialog
    void RecordAlarmMessage(const std::string& time, long long serviceId, const std::string& type,
                            const std::string& status, const std::string& message,
                            const std::string& port, const std::string& host);

    ZUVOzedovUzivara& db_;
    EngineHooks hooks_;
    bool console_;
    EngineView* view_ = nullptr;
    AlarmMethodSettings methods_;
    TrapSender trapSender_; // shared by every SNMP delivery; outlives the pool
    std::unique_ptr<WorkPool> pool_;
};

// The routing flags and alarm parameters a check carried from its service row.
RoutingFlags AlarmFlags(const CheckContext& c);
RoutingFlags RecoveryFlags(const CheckContext& c);
AlarmParams ParamsOf(const CheckContext& c);

} // namespace velmora
