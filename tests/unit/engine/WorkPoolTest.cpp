#include "engine/WorkPool.h"
#include "EngineTestSupport.h"

#include <gtest/gtest.h>

#include <QObject>
#include <QThread>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

using namespace velmora;
using namespace std::chrono_literals;
using velmora::test::RunUntil;

namespace {

// A gate the test opens for the items that wait on it.
struct Gate {
    std::mutex m;
    std::condition_variable cv;
    bool open = false;
    void Open() {
        std::lock_guard lk(m);
        open = true;
        cv.notify_all();
    }
    void Wait() {
        std::unique_lock lk(m);
        cv.wait(lk, [this] { return open; });
    }
};

// What the items of one test report.
struct Record {
    std::mutex m;
    std::vector<long long> started; // sequence numbers in the order Execute began
    std::atomic<int> now{0}, peak{0};
    std::atomic<int> alive{0};
    void Start(long long seq) {
        {
            std::lock_guard lk(m);
            started.push_back(seq);
        }
        const int n = ++now;
        int p = peak.load();
        while (n > p && !peak.compare_exchange_weak(p, n)) {
        }
    }
};

class TestItem : public WorkItem {
public:
    TestItem(Record& r, std::chrono::milliseconds work = 0ms, Gate* gate = nullptr)
        : r_(r), work_(work), gate_(gate) {
        ++r_.alive;
    }
    ~TestItem() override { --r_.alive; }
    WorkKind Kind() const override { return WorkKind::Other; }
    void Execute() override {
        r_.Start(sequence);
        ran = true;
        if (gate_ != nullptr) {
            gate_->Wait();
        }
        std::this_thread::sleep_for(work_);
        if (throwIt) {
            --r_.now;
            throw std::runtime_error("probe blew up");
        }
        --r_.now;
    }
    bool ran = false;
    bool throwIt = false;

private:
    Record& r_;
    std::chrono::milliseconds work_;
    Gate* gate_;
};

// What the completion handler saw for one item.
struct Seen {
    long long sequence;
    PoolOutcome outcome;
    std::string message;
    bool ran;
    bool stopRequested;
    bool onReceiverThread;
};

struct PoolFixture : ::testing::Test {
    QObject receiver;
    std::vector<Seen> seen;
    std::vector<std::string> errors;
    bool inHandler = false;
    bool reentered = false;
    std::function<void()> onSeen;

    PoolFixture() { test::App(); }

    std::unique_ptr<WorkPool> MakePool(int maxRunning, int maxQueue,
                                       std::chrono::milliseconds maxQueued = 600s) {
        WorkPool::Limits l;
        l.maxRunning = maxRunning;
        l.maxQueue = maxQueue;
        l.maxQueuedTime = maxQueued;
        l.terminateWait = 5s;
        l.idleExit = 100ms;
        return std::make_unique<WorkPool>(
            &receiver, l,
            [this](WorkItem& item) {
                reentered = reentered || inHandler;
                inHandler = true;
                auto& t = static_cast<TestItem&>(item);
                seen.push_back({item.sequence, item.poolOutcome, item.poolMessage, t.ran,
                                item.stopRequested.load(),
                                QThread::currentThread() == receiver.thread()});
                if (onSeen) {
                    onSeen();
                }
                inHandler = false;
            },
            [this](const std::string& e) { errors.push_back(e); });
    }
    bool SeenCount(std::size_t n) {
        return RunUntil([&] { return seen.size() >= n; });
    }
};

TEST_F(PoolFixture, EveryItemComesBackOnceOnTheReceiverThreadAndIsFreedAfterwards) {
    Record r;
    auto pool = MakePool(4, 100);
    // A handler that spins a nested event loop (a dialog) must not see a second handler start.
    onSeen = [] { QCoreApplication::processEvents(); };
    for (int i = 0; i < 40; ++i) {
        const long long seq =
            pool->Schedule(std::make_unique<TestItem>(r, std::chrono::milliseconds(i % 5)));
        EXPECT_EQ(seq, i + 1);
    }
    ASSERT_TRUE(SeenCount(40));
    test::RunFor(50ms);
    ASSERT_EQ(seen.size(), 40u);
    std::vector<long long> seqs;
    for (const Seen& s : seen) {
        EXPECT_TRUE(s.onReceiverThread);
        EXPECT_EQ(s.outcome, PoolOutcome::Completed);
        EXPECT_TRUE(s.ran);
        seqs.push_back(s.sequence);
    }
    std::sort(seqs.begin(), seqs.end());
    for (int i = 0; i < 40; ++i) {
        EXPECT_EQ(seqs[i], i + 1);
    }
    EXPECT_FALSE(reentered);
    EXPECT_EQ(r.alive, 0);
    EXPECT_LE(r.peak, 4);
    EXPECT_LE(pool->ThreadCount(), 4);
    // Idle workers leave after a while.
    EXPECT_TRUE(RunUntil([&] { return pool->ThreadCount() == 0; }, 3s));
}

TEST_F(PoolFixture, HandlersRunInCompletionOrder) {
    Record r;
    auto pool = MakePool(3, 10);
    Gate g1, g2, g3;
    Gate* gates[] = {&g1, &g2, &g3};
    for (Gate* g : gates) {
        pool->Schedule(std::make_unique<TestItem>(r, 0ms, g));
    }
    auto waitExecuting = [&](int n) {
        const auto deadline = std::chrono::steady_clock::now() + 5s;
        while (pool->ExecutingCount() != n && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(1ms);
        }
        ASSERT_EQ(pool->ExecutingCount(), n);
    };
    waitExecuting(3);
    // Finish them as 3, 1, 2 without letting the receiver's thread run in between.
    g3.Open();
    waitExecuting(2);
    g1.Open();
    waitExecuting(1);
    g2.Open();
    waitExecuting(0);
    EXPECT_TRUE(seen.empty());
    ASSERT_TRUE(SeenCount(3));
    EXPECT_EQ(seen[0].sequence, 3);
    EXPECT_EQ(seen[1].sequence, 1);
    EXPECT_EQ(seen[2].sequence, 2);
}

TEST_F(PoolFixture, OneSlotRunsItemsStrictlyOneAfterAnotherInQueueOrder) {
    Record r;
    auto pool = MakePool(1, 100);
    for (int i = 0; i < 8; ++i) {
        pool->Schedule(std::make_unique<TestItem>(r, 10ms));
    }
    ASSERT_TRUE(SeenCount(8));
    EXPECT_EQ(r.peak, 1);
    ASSERT_EQ(r.started.size(), 8u);
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(r.started[i], i + 1);
        EXPECT_EQ(seen[i].sequence, i + 1);
    }
}

TEST_F(PoolFixture, FullQueueGivesUpTheItemAtOnceWithoutRunningIt) {
    Record r;
    Gate gate;
    auto pool = MakePool(2, 1);
    // Two run, one waits; the fourth finds the queue full, even before the manager has
    // started anything.
    for (int i = 0; i < 4; ++i) {
        pool->Schedule(std::make_unique<TestItem>(r, 0ms, &gate));
    }
    ASSERT_TRUE(SeenCount(1));
    EXPECT_EQ(seen[0].sequence, 4);
    EXPECT_EQ(seen[0].outcome, PoolOutcome::Busy);
    EXPECT_EQ(seen[0].message, "Execution queue is too long.");
    EXPECT_FALSE(seen[0].ran);
    EXPECT_TRUE(RunUntil([&] { return pool->ExecutingCount() == 2 && pool->WaitingCount() == 1; }));
    gate.Open();
    ASSERT_TRUE(SeenCount(4));
    for (int i = 1; i < 4; ++i) {
        EXPECT_EQ(seen[i].outcome, PoolOutcome::Completed);
        EXPECT_TRUE(seen[i].ran);
    }
    EXPECT_EQ(r.peak, 2);
}

TEST_F(PoolFixture, ItemsThatWaitedTooLongAreGivenUpInTurn) {
    Record r;
    Gate gate;
    auto pool = MakePool(1, 10, 150ms);
    pool->Schedule(std::make_unique<TestItem>(r, 0ms, &gate));
    pool->Schedule(std::make_unique<TestItem>(r));
    pool->Schedule(std::make_unique<TestItem>(r));
    ASSERT_TRUE(SeenCount(2));
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(seen[i].sequence, i + 2);
        EXPECT_EQ(seen[i].outcome, PoolOutcome::Busy);
        EXPECT_EQ(seen[i].message, "Maximum wait time exceeded.");
        EXPECT_FALSE(seen[i].ran);
    }
    EXPECT_EQ(pool->ExecutingCount(), 1);
    gate.Open();
    ASSERT_TRUE(SeenCount(3));
    EXPECT_EQ(seen[2].sequence, 1);
    EXPECT_EQ(seen[2].outcome, PoolOutcome::Completed);
}

TEST_F(PoolFixture, CancelAllCompletesWaitingItemsAndAsksRunningOnesToStop) {
    Record r;
    Gate gate;
    auto pool = MakePool(1, 10);
    pool->Schedule(std::make_unique<TestItem>(r, 0ms, &gate));
    for (int i = 0; i < 3; ++i) {
        pool->Schedule(std::make_unique<TestItem>(r));
    }
    ASSERT_TRUE(RunUntil([&] { return pool->ExecutingCount() == 1; }));
    pool->CancelAll();
    ASSERT_TRUE(SeenCount(3));
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(seen[i].sequence, i + 2);
        EXPECT_EQ(seen[i].outcome, PoolOutcome::Canceled);
        EXPECT_FALSE(seen[i].ran);
    }
    gate.Open();
    ASSERT_TRUE(SeenCount(4));
    EXPECT_EQ(seen[3].outcome, PoolOutcome::Completed);
    EXPECT_TRUE(seen[3].stopRequested);
    EXPECT_EQ(r.started.size(), 1u);
}

TEST_F(PoolFixture, AnErrorLeavingExecuteIsRecorded) {
    Record r;
    auto pool = MakePool(2, 10);
    auto item = std::make_unique<TestItem>(r);
    item->throwIt = true;
    pool->Schedule(std::move(item));
    ASSERT_TRUE(SeenCount(1));
    EXPECT_EQ(seen[0].outcome, PoolOutcome::RaisedError);
    EXPECT_EQ(seen[0].message, "probe blew up");
    EXPECT_TRUE(errors.empty());
}

TEST_F(PoolFixture, DrainRunsTheCompletionsThatArriveWhileItWaits) {
    Record r;
    auto pool = MakePool(4, 10);
    // An item handled during the drain may queue another one (an alarm after a last
    // failure); that one runs and comes back within the same drain.
    WorkPool* p = pool.get();
    bool followUp = false;
    onSeen = [&] {
        if (!followUp) {
            followUp = true;
            p->Schedule(std::make_unique<TestItem>(r, 50ms));
        }
    };
    for (int i = 0; i < 3; ++i) {
        pool->Schedule(std::make_unique<TestItem>(r, 100ms));
    }
    ASSERT_TRUE(pool->Drain(5s));
    EXPECT_EQ(seen.size(), 4u);
    EXPECT_EQ(pool->ExecutingCount(), 0);
    EXPECT_EQ(r.alive, 0);
}

TEST_F(PoolFixture, DrainTimesOutWhileAnItemStillRuns) {
    Record r;
    Gate gate;
    auto pool = MakePool(1, 10);
    pool->Schedule(std::make_unique<TestItem>(r, 0ms, &gate));
    EXPECT_FALSE(pool->Drain(100ms));
    gate.Open();
    EXPECT_TRUE(pool->Drain(5s));
    EXPECT_EQ(seen.size(), 1u);
}

TEST_F(PoolFixture, DestructionGivesUpWaitingItemsAndIsBoundedForRunningOnes) {
    Record r;
    Gate gate;
    WorkPool::Limits l;
    l.maxRunning = 1;
    l.terminateWait = 100ms;
    auto pool = std::make_unique<WorkPool>(
        &receiver, l, [&](WorkItem&) { ADD_FAILURE() << "handler after close"; }, nullptr);
    pool->Schedule(std::make_unique<TestItem>(r, 0ms, &gate));
    for (int i = 0; i < 5; ++i) {
        pool->Schedule(std::make_unique<TestItem>(r));
    }
    ASSERT_TRUE(RunUntil([&] { return pool->ExecutingCount() == 1; }));
    const auto t0 = std::chrono::steady_clock::now();
    pool.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - t0, 2s);
    EXPECT_EQ(r.alive, 1); // only the running one is left
    // The running item finishes after the pool has gone and is freed with the pool's state.
    gate.Open();
    EXPECT_TRUE(RunUntil([&] { return r.alive == 0; }, 5s));
    EXPECT_EQ(r.started.size(), 1u);
}

} // namespace
