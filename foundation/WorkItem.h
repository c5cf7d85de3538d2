#pragma once
// The common base of everything the engine's worker pool runs: the checks, the alarm
// senders and the console's version check. It sits at the bottom of the library stack so
// that checks and senders can derive from it without depending on the engine.
#include <atomic>
#include <string>

namespace velmora {

enum class PoolOutcome {
    Completed,    // Execute ran (whatever the check found)
    RaisedError,  // an error left Execute; poolMessage holds its text
    Refused,      // the system would not start a thread for it
    Canceled,     // taken off the queue by CancelAll before it ran
    Busy,         // queue full or waited too long; poolMessage says which
};

enum class WorkKind { Check, Delivery, Other };

class WorkItem {
public:
    virtual ~WorkItem() = default;

    virtual WorkKind Kind() const = 0;
    // Runs the probe or delivery once and fills the outcome fields. Implementations catch
    // their own errors; anything that still escapes is recorded by Run().
    virtual void Execute() = 0;

    // The pool's run wrapper: marks the item completed, calls Execute once, and records an
    // error that escapes it.
    void Run();

    // True when the item was given up without running (busy, refused, canceled).
    bool NeverRan() const {
        return poolOutcome == PoolOutcome::Busy || poolOutcome == PoolOutcome::Refused ||
               poolOutcome == PoolOutcome::Canceled;
    }

    long long sequence = 0;                      // given by the pool when queued
    PoolOutcome poolOutcome = PoolOutcome::Completed;
    std::string poolMessage;
    std::atomic<bool> stopRequested{false};      // set by CancelAll for running items
};

} // namespace velmora
