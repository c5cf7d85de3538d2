#pragma once
// The engine's thread pool. A manager thread owns the waiting list: it starts the first
// waiting item whenever fewer than the maximum are executing, and gives up items that waited
// too long. Items execute on worker threads created on demand (idle ones exit after a while).
// Every item that is scheduled comes back exactly once, on the thread of the receiver object,
// through the completion handler; the pool deletes the item when the handler returns.
#include "foundation/WorkItem.h"

#include <chrono>
#include <functional>
#include <memory>
#include <string>

class QObject;

namespace velmora {

class WorkPool {
public:
    struct Limits {
        int maxRunning = 500;                            // NoConcurrentAlarm
        int maxQueue = 1000;                             // NoQueuingAlarm
        std::chrono::milliseconds maxQueuedTime{600000}; // QueningSecond
        std::chrono::milliseconds terminateWait{600000}; // destructor's wait for running items
        std::chrono::milliseconds idleExit{30000};       // an idle worker thread exits after this
    };
    // The limits from the settings: a value of 0 or less takes the default.
    static Limits FromSettings(int noConcurrentAlarm, int noQueuingAlarm, int queningSecond);

    using DoneHandler = std::function<void(WorkItem&)>;
    using ErrorHandler = std::function<void(const std::string&)>;

    // `receiver` is the object whose thread runs the handlers (the engine thread); both handlers
    // are called only there, one at a time.
    WorkPool(QObject* receiver, Limits limits, DoneHandler onDone, ErrorHandler onError);
    // Gives up the waiting items (without handlers), waits at most `terminateWait` for the
    // running ones. Call Drain first when the last completions matter.
    ~WorkPool();
    WorkPool(const WorkPool&) = delete;
    WorkPool& operator=(const WorkPool&) = delete;

    // Gives the item its sequence number (1, 2, 3, ... per pool) and queues it; returns the
    // number. The item always comes back through the completion handler, also when it never
    // runs (queue too long, waited too long, thread refused, canceled).
    long long Schedule(std::unique_ptr<WorkItem> item);

    // Completes every waiting item as canceled without running it; running items are asked to
    // stop (stopRequested) and run on to their end.
    void CancelAll();

    // Items executing at this moment.
    int ExecutingCount() const;
    // Items waiting for a free slot.
    int WaitingCount() const;
    // Worker threads alive at this moment (busy or idle).
    int ThreadCount() const;
    // The longest time one completion handler took, the item's deletion included (read on
    // the receiver's thread).
    std::chrono::microseconds LongestHandler() const;

    // For the host's shut-down, on the receiver's thread: waits until no item waits, runs or
    // awaits its completion handler, running every completion that arrives meanwhile. Other
    // events are not processed. Returns false when `timeout` passed first.
    bool Drain(std::chrono::milliseconds timeout);

    const Limits& limits() const { return limits_; }

    struct Shared;

private:
    Limits limits_;
    std::shared_ptr<Shared> shared_;
};

} // namespace velmora
