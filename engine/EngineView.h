#pragma once
// The console's view of the engine. The console's main window implements it and attaches
// itself; the service program attaches nothing, and every message then goes to the system
// log only. All calls come on the engine thread.
#include <string>

namespace velmora {

class CheckItem;
class WorkItem;

class EngineView {
public:
    virtual ~EngineView() = default;

    // The engine has started (pool created, alarm methods loaded): fill the address tree and
    // the service list.
    virtual void EngineStarted() = 0;
    // The minute tick was switched on or off; `text` is the line written to the log.
    virtual void SchedulingChanged(bool active, const std::string& text) = 0;
    // A due service is being handed to check execution: mark its row "Processing".
    virtual void ServiceProcessing(long long serviceId) = 0;
    // A scheduled result was stored: Con Error, Last Access and Result of the service's row.
    virtual void ShowCheckResult(long long serviceId, int counter, const std::string& time,
                                 const std::string& status) = 0;
    // A test run of the new-service wizard has finished.
    virtual void SetupResult(const CheckItem& check) = 0;
    // A delivery was queued: a new "Pending" row at the top of the alarm message list.
    virtual void DeliveryQueued(long long sequence, const std::string& time,
                                const std::string& message, const std::string& method,
                                const std::string& recipient) = 0;
    // A delivery finished: the Status of the row with this sequence.
    virtual void DeliveryFinished(long long sequence, const std::string& status) = 0;
    // Any other item of the pool (the version check) has finished.
    virtual void OtherItemDone(WorkItem& item) = 0;
    // An error the console shows in a dialog as well as in the log.
    virtual void ShowError(const std::string& text) = 0;
};

} // namespace velmora
