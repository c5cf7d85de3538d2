#include "WorkPool.h"

#include <QMetaObject>
#include <QObject>

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <set>
#include <system_error>
#include <thread>
#include <vector>

namespace velmora {

namespace {
using SteadyClock = std::chrono::steady_clock;
constexpr const char* kQueueTooLong = "Execution queue is too long.";
constexpr const char* kWaitedTooLong = "Maximum wait time exceeded.";
} // namespace

struct WorkPool::Shared : std::enable_shared_from_this<WorkPool::Shared> {
    Limits limits;
    QObject* receiver = nullptr;
    DoneHandler onDone;
    ErrorHandler onError;

    mutable std::mutex m;
    std::condition_variable managerCv; // new item, freed slot, stop
    std::condition_variable workerCv;  // an item is ready for a worker, stop
    std::condition_variable idleCv;    // a completion arrived, a handler returned, a thread ended

    struct Waiting {
        std::unique_ptr<WorkItem> item;
        SteadyClock::time_point queued;
    };
    std::deque<Waiting> waiting;                 // FIFO, owned by the manager
    std::deque<std::unique_ptr<WorkItem>> ready; // given a slot, not yet taken by a worker
    std::deque<std::unique_ptr<WorkItem>> done;  // completed, handler not yet run
    std::deque<std::string> errors;              // internal errors to report
    std::set<WorkItem*> executingItems;
    int running = 0; // slots in use: ready items plus executing ones
    int idle = 0;    // worker threads free to take a ready item
    int threads = 0; // worker threads alive
    long long lastSequence = 0;
    bool stopping = false;
    bool closed = false;     // handlers are not called any more
    bool posted = false;     // a delivery call is on its way to the receiver's thread
    bool delivering = false; // a handler is running (receiver's thread)
    std::atomic<int> executing{0};
    std::chrono::nanoseconds longestHandler{0}; // receiver's thread only
    std::thread manager;

    // Called with `m` held.
    void PostDelivery() {
        if (posted || closed || receiver == nullptr) {
            return;
        }
        posted = true;
        std::shared_ptr<Shared> self = shared_from_this();
        QMetaObject::invokeMethod(
            receiver, [self]() { self->Deliver(); }, Qt::QueuedConnection);
    }
    void PushDone(std::unique_ptr<WorkItem> item) {
        done.push_back(std::move(item));
        idleCv.notify_all();
        PostDelivery();
    }
    void PushError(std::string text) {
        errors.push_back(std::move(text));
        PostDelivery();
    }

    // Runs the handlers of the completions present when it starts, one at a time, in
    // completion order. Re-entered from a nested event loop inside a handler, it does nothing:
    // the outer call posts itself again for what arrived meanwhile.
    void Deliver() {
        std::unique_lock lk(m);
        posted = false;
        if (delivering || closed) {
            return;
        }
        delivering = true;
        std::size_t n = done.size() + errors.size();
        while (n-- > 0 && !closed) {
            if (!errors.empty()) {
                std::string text = std::move(errors.front());
                errors.pop_front();
                lk.unlock();
                CallError(text);
                lk.lock();
                continue;
            }
            if (done.empty()) {
                break;
            }
            std::unique_ptr<WorkItem> item = std::move(done.front());
            done.pop_front();
            lk.unlock();
            const auto t0 = SteadyClock::now();
            try {
                onDone(*item);
            } catch (const std::exception& e) {
                CallError(std::string("completion handler: ") + e.what());
            } catch (...) {
                CallError("completion handler: unknown error");
            }
            item.reset();
            longestHandler = std::max(longestHandler, SteadyClock::now() - t0);
            lk.lock();
        }
        delivering = false;
        if (!done.empty() || !errors.empty()) {
            PostDelivery();
        }
        idleCv.notify_all();
    }

    void CallError(const std::string& text) {
        if (!onError) {
            return;
        }
        try {
            onError(text);
        } catch (...) {
        }
    }

    // Completes every waiting and ready item as canceled. Called with `m` held.
    std::vector<std::unique_ptr<WorkItem>> TakeWaiting() {
        std::vector<std::unique_ptr<WorkItem>> out;
        for (auto& w : waiting) {
            out.push_back(std::move(w.item));
        }
        waiting.clear();
        for (auto& r : ready) {
            out.push_back(std::move(r));
        }
        running -= static_cast<int>(ready.size());
        ready.clear();
        for (auto& item : out) {
            item->poolOutcome = PoolOutcome::Canceled;
            item->poolMessage.clear();
        }
        return out;
    }

    void ManagerLoop() {
        std::unique_lock lk(m);
        while (!stopping) {
            try {
                if (!waiting.empty() &&
                    SteadyClock::now() - waiting.front().queued >= limits.maxQueuedTime) {
                    // Only the head is looked at per pass; the ones behind it expire in turn.
                    std::unique_ptr<WorkItem> item = std::move(waiting.front().item);
                    waiting.pop_front();
                    item->poolOutcome = PoolOutcome::Busy;
                    item->poolMessage = kWaitedTooLong;
                    PushDone(std::move(item));
                    continue;
                }
                if (!waiting.empty() && running < limits.maxRunning) {
                    StartHead();
                    continue;
                }
                if (waiting.empty()) {
                    managerCv.wait(lk);
                } else {
                    managerCv.wait_until(lk, waiting.front().queued + limits.maxQueuedTime);
                }
            } catch (const std::exception& e) {
                PushError(e.what());
            } catch (...) {
                PushError("unknown error in the pool manager");
            }
        }
    }

    // Gives the head of the waiting list a slot and makes sure a worker will take it.
    void StartHead() {
        std::unique_ptr<WorkItem> item = std::move(waiting.front().item);
        waiting.pop_front();
        ++running;
        ready.push_back(std::move(item));
        if (static_cast<int>(ready.size()) <= idle) {
            workerCv.notify_one();
            return;
        }
        try {
            std::thread t(&Shared::WorkerLoop, this, shared_from_this());
            t.detach();
            ++threads;
            ++idle; // it takes a ready item as soon as it runs
        } catch (const std::system_error& e) {
            std::unique_ptr<WorkItem> refused = std::move(ready.back());
            ready.pop_back();
            --running;
            refused->poolOutcome = PoolOutcome::Refused;
            refused->poolMessage = e.what();
            PushDone(std::move(refused));
        }
    }

    // A worker thread: takes ready items until it has been idle for `idleExit` or the pool
    // stops. `self` keeps the shared state alive while the thread runs.
    void WorkerLoop(std::shared_ptr<Shared> self) {
        std::unique_lock lk(m);
        for (;;) {
            if (ready.empty()) {
                workerCv.wait_for(lk, limits.idleExit,
                                  [this] { return !ready.empty() || stopping; });
                if (ready.empty()) {
                    --idle;
                    --threads;
                    idleCv.notify_all();
                    return;
                }
            }
            std::unique_ptr<WorkItem> item = std::move(ready.front());
            ready.pop_front();
            --idle;
            executingItems.insert(item.get());
            ++executing;
            lk.unlock();
            item->Run();
            lk.lock();
            executingItems.erase(item.get());
            // The completion is queued before the counts drop, so whoever sees nothing
            // executing also sees its completion.
            PushDone(std::move(item));
            --executing;
            --running;
            ++idle;
            managerCv.notify_one();
        }
        (void)self;
    }
};

WorkPool::Limits WorkPool::FromSettings(int noConcurrentAlarm, int noQueuingAlarm,
                                        int queningSecond) {
    Limits l;
    l.maxRunning = noConcurrentAlarm > 0 ? noConcurrentAlarm : 500;
    l.maxQueue = noQueuingAlarm > 0 ? noQueuingAlarm : 1000;
    l.maxQueuedTime = std::chrono::seconds(queningSecond > 0 ? queningSecond : 600);
    return l;
}

WorkPool::WorkPool(QObject* receiver, Limits limits, DoneHandler onDone, ErrorHandler onError)
    : limits_(limits), shared_(std::make_shared<Shared>()) {
    limits_.maxRunning = std::max(1, limits_.maxRunning);
    limits_.maxQueue = std::max(1, limits_.maxQueue);
    shared_->limits = limits_;
    shared_->receiver = receiver;
    shared_->onDone = std::move(onDone);
    shared_->onError = std::move(onError);
    shared_->manager = std::thread(&Shared::ManagerLoop, shared_.get());
}

WorkPool::~WorkPool() {
    Shared& s = *shared_;
    std::vector<std::unique_ptr<WorkItem>> given_up;
    {
        std::lock_guard lk(s.m);
        s.stopping = true;
        s.closed = true;
        given_up = s.TakeWaiting();
        for (WorkItem* item : s.executingItems) {
            item->stopRequested = true;
        }
        s.managerCv.notify_all();
        s.workerCv.notify_all();
    }
    if (s.manager.joinable()) {
        s.manager.join();
    }
    {
        std::unique_lock lk(s.m);
        s.idleCv.wait_for(lk, limits_.terminateWait, [&s] { return s.threads == 0; });
    }
    // A worker still running after the wait keeps the shared state alive and frees its item
    // with it when it ends.
}

long long WorkPool::Schedule(std::unique_ptr<WorkItem> item) {
    if (!item) {
        return 0;
    }
    Shared& s = *shared_;
    std::lock_guard lk(s.m);
    const long long seq = ++s.lastSequence;
    item->sequence = seq;
    item->poolOutcome = PoolOutcome::Completed;
    item->poolMessage.clear();
    // Items that can take a free slot at once do not count as waiting.
    const int freeSlots = std::max(0, s.limits.maxRunning - s.running);
    if (static_cast<int>(s.waiting.size()) - freeSlots >= s.limits.maxQueue) {
        item->poolOutcome = PoolOutcome::Busy;
        item->poolMessage = kQueueTooLong;
        s.PushDone(std::move(item));
        return seq;
    }
    s.waiting.push_back({std::move(item), SteadyClock::now()});
    s.managerCv.notify_one();
    return seq;
}

void WorkPool::CancelAll() {
    Shared& s = *shared_;
    std::lock_guard lk(s.m);
    for (auto& item : s.TakeWaiting()) {
        s.PushDone(std::move(item));
    }
    for (WorkItem* item : s.executingItems) {
        item->stopRequested = true;
    }
    s.managerCv.notify_one();
}

int WorkPool::ExecutingCount() const {
    return shared_->executing.load();
}

int WorkPool::WaitingCount() const {
    std::lock_guard lk(shared_->m);
    return static_cast<int>(shared_->waiting.size());
}

std::chrono::microseconds WorkPool::LongestHandler() const {
    return std::chrono::duration_cast<std::chrono::microseconds>(shared_->longestHandler);
}

int WorkPool::ThreadCount() const {
    std::lock_guard lk(shared_->m);
    return shared_->threads;
}

bool WorkPool::Drain(std::chrono::milliseconds timeout) {
    Shared& s = *shared_;
    const auto deadline = SteadyClock::now() + timeout;
    std::unique_lock lk(s.m);
    if (s.delivering) {
        return false; // called from inside a handler: its own completion is still pending
    }
    for (;;) {
        if (!s.done.empty() || !s.errors.empty()) {
            lk.unlock();
            s.Deliver();
            lk.lock();
            continue;
        }
        if (s.waiting.empty() && s.running == 0) {
            return true;
        }
        if (s.idleCv.wait_until(lk, deadline) == std::cv_status::timeout && s.done.empty() &&
            s.errors.empty()) {
            return s.waiting.empty() && s.running == 0;
        }
    }
}

} // namespace velmora
