// The engine against the private MariaDB server and real TCP listeners on 127.0.0.1: due
// selection, the hour grid, the alarm state of a failing service, the pool's limits as the
// service rows see them, and the drain at shut-down.
#include "engine/MonitorEngine.h"
#include "engine/Schedule.h"

#include "foundation/Clock.h"
#include "foundation/InitSettings.h"
#include "foundation/SystemLog.h"
#include "store/ZUVOzedovUzivara.h"
#include "tests/support/TestDatabase.h"
#include "tests/support/TestSupport.h"
#include "tests/unit/engine/EngineTestSupport.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <thread>

using namespace velmora;
using namespace std::chrono_literals;

namespace {

// A port on 127.0.0.1 where nothing listens (bound, then released).
int ClosedPort() {
    test::LoopbackListener l;
    const int p = l.port();
    l.Close();
    return p;
}

// What the checks of one test did, in the order they did it.
struct Trace {
    std::mutex m;
    std::vector<std::string> events; // "start <id>", "end <id>"
    void Add(std::string e) {
        std::lock_guard lk(m);
        events.push_back(std::move(e));
    }
};

// A TCP connect to the service's host and port, holding the connection for `hold`.
class TestTcpCheck : public CheckItem {
public:
    TestTcpCheck(CheckContext c, std::string host, std::string port, Trace& t,
                 std::chrono::milliseconds hold)
        : CheckItem("TCP", std::move(c), std::move(host), std::move(port)), trace_(t), hold_(hold) {
    }
    void Execute() override {
        trace_.Add("start " + std::to_string(Context().id));
        if (Context().keep_on_sending == 7) {
            throw std::runtime_error("probe crashed"); // marks the one test row that throws
        }
        const auto t0 = std::chrono::steady_clock::now();
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(static_cast<uint16_t>(std::stoi(Port())));
        ::inet_pton(AF_INET, Host().c_str(), &a.sin_addr);
        if (::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0) {
            SetPassed();
            result_text = "[" + Host() + ":" + Port() + " TCP Connection OK]";
            std::this_thread::sleep_for(hold_);
        } else {
            SetFailed();
            result_text = "[" + Host() + ":" + Port() + " ERR10002 Connection refused]";
        }
        ::close(fd);
        response_time = ElapsedMs(t0);
        trace_.Add("end " + std::to_string(Context().id));
    }

private:
    Trace& trace_;
    std::chrono::milliseconds hold_;
};

CheckContext ContextFromRow(const ServiceRow& r) {
    CheckContext c;
    c.id = r.GetInt("id");
    c.no_of_cons_alarm = static_cast<int>(r.GetInt("no_of_cons_alarm"));
    c.current_no_of_cons_alarm = static_cast<int>(r.GetInt("current_no_of_cons_alarm"));
    c.keep_on_sending = static_cast<int>(r.GetInt("keep_on_sending"));
    c.alarm_email = r.GetYes("alarm_email");
    c.alarm_smpp = r.GetYes("alarm_smpp");
    c.alarm_syslog = r.GetYes("alarm_syslog");
    c.recovery_alarm_email = r.GetYes("recovery_alarm_email");
    c.recovery_alarm_smpp = r.GetYes("recovery_alarm_smpp");
    c.recovery_alarm_syslog = r.GetYes("recovery_alarm_syslog");
    c.service_status = r.Get("service_status");
    c.alarm_syslog_facility = r.Get("alarm_syslog_facility");
    c.alarm_syslog_severity = r.Get("alarm_syslog_severity");
    return c;
}

// A delivery that only notes what it was asked to send.
struct Outbox {
    std::mutex m;
    std::vector<std::string> sent; // "method|recipient|message"
};

class NotingSender : public AlarmSender {
public:
    NotingSender(std::string method, std::string line, Outbox& box)
        : AlarmSender(std::move(method)), line_(std::move(line)), box_(box) {}
    void Execute() override {
        std::lock_guard lk(box_.m);
        box_.sent.push_back(line_);
        SetSent("[" + Method() + " sent]");
    }

private:
    std::string line_;
    Outbox& box_;
};

class FailingSender : public AlarmSender {
public:
    explicit FailingSender(std::string method) : AlarmSender(std::move(method)) {}
    void Execute() override { SetError("[127.0.0.1:514 unreachable]"); }
};

class EngineDbTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_GT(test::ServerPort("mariadb"), 0) << "the mariadb fixture did not start";
        test::App();
        test::UseTestServer();
        TInitSettings& s = InitSettings();
        s.AlarmMsgFilenamePath = s.LogDir;
        test::DropProgramDatabase();
        ASSERT_TRUE(db.OpenAtStart());
        clock.Set(FromLocal(2026, 3, 16, 10, 0, 5)); // a Monday
        SetClock(&clock);
    }
    void TearDown() override {
        engine.reset();
        SetClock(nullptr);
    }

    // Creates the engine and starts it as the host's TimerInit would; the start-up tick runs.
    void StartEngine(bool realChecks = false) {
        EngineHooks hooks;
        if (!realChecks)
            hooks.buildCheck = [this](const ServiceRow& row) -> std::unique_ptr<CheckItem> {
                built.push_back(row.GetInt("id"));
                if (row.Get("service") != "TCP") {
                    return nullptr;
                }
                return std::make_unique<TestTcpCheck>(ContextFromRow(row), row.Get("ip"),
                                                      row.Get("port"), trace, hold);
            };
        hooks.createSender = [this](const AlarmMethodSettings&, const std::string& method,
                                    const std::string& recipient, const std::string& message,
                                    const AlarmParams&) -> std::unique_ptr<AlarmSender> {
            if (senderFails && method == "SysLog") {
                return std::make_unique<FailingSender>(method);
            }
            if (senderFails && recipient == "222") {
                throw std::runtime_error("  no route to the SMSC  ");
            }
            return std::make_unique<NotingSender>(method, method + "|" + recipient + "|" + message,
                                                  outbox);
        };
        engine = std::make_unique<MonitorEngine>(db, hooks);
        engine->TimerInitTimer();
    }

    long long AddService(std::map<std::string, std::string> cols) {
        std::map<std::string, std::string> all = {
            {"service", "TCP"},          {"ip", "127.0.0.1"},       {"port", "1"},
            {"schedule_by", "Minutely"}, {"schedule_minute", "01"}, {"status", "Start"},
            {"no_of_cons_alarm", "3"},   {"keep_on_sending", "1"}};
        for (auto& [k, v] : cols) {
            all[k] = v;
        }
        std::string names, values;
        for (auto& [k, v] : all) {
            names += (names.empty() ? "" : ",") + k;
            values += (values.empty() ? "" : ",") + db.Quote(v);
        }
        db.Execute("insert into service (" + names + ") values (" + values + ")");
        return static_cast<long long>(db.LastInsertId());
    }

    std::string Col(long long id, const std::string& col) {
        return db.Query("select " + col + " from service where id=" + std::to_string(id))[0].Get(
            col);
    }
    long long Count(const std::string& sql) { return db.Query(sql)[0].GetInt("n"); }

    // One tick at the given local time, then every completion it leads to.
    void TickAt(int hour, int minute) {
        clock.Set(FromLocal(2026, 3, 16, hour, minute, 5));
        engine->TimerServiceTimer();
        ASSERT_TRUE(engine->Pool()->Drain(20s));
    }

    test::AppDirScope scope;
    ZUVOzedovUzivara db;
    ManualClock clock;
    Trace trace;
    Outbox outbox;
    std::vector<long long> built;
    std::chrono::milliseconds hold{0};
    bool senderFails = false;
    std::unique_ptr<MonitorEngine> engine;
};

TEST_F(EngineDbTest, DueSelectionAtChosenClockTimes) {
    const long long m15 = AddService({{"schedule_minute", "15"}, {"ip", "127.0.0.2"}});
    const long long m07 = AddService({{"schedule_minute", "07"}, {"ip", "127.0.0.3"}});
    const long long m00 = AddService({{"schedule_minute", "00"}, {"ip", "127.0.0.4"}});
    const long long hourly = AddService({{"schedule_by", "Hourly"},
                                         {"schedule_hour", "03"},
                                         {"schedule_minute", "05"},
                                         {"ip", "127.0.0.5"}});
    const long long daily = AddService({{"schedule_by", "Daily"},
                                        {"schedule_hour", "09"},
                                        {"schedule_minute", "30"},
                                        {"ip", "127.0.0.6"}});
    const long long stopped = AddService({{"schedule_minute", "01"}, {"status", "Stop"}});
    const long long garbage = AddService({{"schedule_minute", "ab"}, {"ip", "127.0.0.7"}});
    const long long ldap =
        AddService({{"service", "LDAP"}, {"schedule_minute", "01"}, {"ip", "127.0.0.8"}});
    const long long empty = AddService({{"ip", ""}, {"schedule_minute", "20"}});

    engine.reset();
    EngineHooks hooks;
    hooks.buildCheck = [this](const ServiceRow& row) -> std::unique_ptr<CheckItem> {
        built.push_back(row.GetInt("id"));
        return nullptr;
    };
    engine = std::make_unique<MonitorEngine>(db, hooks);
    engine->TimerInitTimer(); // start-up tick at 10:00: every minutely one with an interval

    using V = std::vector<long long>;
    // Ordered by ip, then service: "" < 127.0.0.2 < ...; the LDAP row is never handed to a
    // builder, the stopped one never selected, "00" and "ab" never due.
    EXPECT_EQ(built, (V{empty, m15, m07}));

    struct Case {
        int hour, minute;
        V due;
    } cases[] = {
        {10, 15, V{m15}},
        {10, 30, V{m15}},
        {9, 30, V{m15, daily}},
        {10, 5, V{hourly}},
        {23, 5, V{hourly}},
        {10, 7, V{m07}},
        {10, 56, V{m07}},
        {10, 57, V{}},
        {10, 58, V{}},
        {10, 59, V{}},
        {11, 0, V{empty, m15, m07}},
        {10, 20, V{empty}},
        {10, 40, V{empty}},
    };
    for (const Case& c : cases) {
        built.clear();
        clock.Set(FromLocal(2026, 3, 16, c.hour, c.minute, 30));
        engine->TimerServiceTimer();
        EXPECT_EQ(built, c.due) << TwoDigits(c.hour) << ":" << TwoDigits(c.minute);
    }
    // Run Now runs a stopped service.
    built.clear();
    engine->RunServiceNow(stopped);
    EXPECT_EQ(built, V{stopped});
    (void)m00;
    (void)garbage;
    (void)ldap;
    EXPECT_EQ(test::CountLines(scope.LogText(), "ERR"), 0);
}

TEST_F(EngineDbTest, FailingServiceAlarmsAtItsThresholdAndRecoversOnce) {
    db.Execute(
        "insert into alarm_method (type,enable,ip,port) values (\"Email\",1,\"127.0.0.1\",25),"
        "(\"SMS\",1,\"127.0.0.1\",2775),(\"SysLog\",1,\"127.0.0.1\",514)");
    const int port = ClosedPort();
    const long long id = AddService({{"port", std::to_string(port)},
                                     {"schedule_minute", "01"},
                                     {"alarm_email", "y"},
                                     {"alarm_smpp", "y"},
                                     {"alarm_syslog", "y"},
                                     {"recovery_alarm_email", "y"},
                                     {"recovery_alarm_syslog", "y"}});
    db.Execute("insert into contact_person (name,email,sms) values (\"a\",\"a@x.test\",\"111\"),"
               "(\"b\",\"\",\"222\"),(\"c\",\"c@x.test\",\"333\")");
    db.Execute("insert into service_contact_person (service_id,contact_person_id) values "
               "(" +
               std::to_string(id) + ",1),(" + std::to_string(id) + ",2),(" + std::to_string(id) +
               ",3)");
    clock.Set(FromLocal(2026, 3, 16, 10, 30, 5));
    StartEngine(true); // the real TCP check; the start-up tick: failure 1
    ASSERT_TRUE(engine->Pool()->Drain(10s));

    std::vector<std::string> counters;
    std::vector<std::size_t> sentAfter;
    counters.push_back(Col(id, "current_no_of_cons_alarm"));
    sentAfter.push_back(outbox.sent.size());
    for (int i = 2; i <= 6; ++i) {
        TickAt(10, 29 + i);
        counters.push_back(Col(id, "current_no_of_cons_alarm"));
        sentAfter.push_back(outbox.sent.size());
        EXPECT_EQ(Col(id, "service_status"), "Failed");
    }
    EXPECT_EQ(counters, (std::vector<std::string>{"1", "2", "3", "4", "5", "6"}));
    // The check's own failure text is the alarm message.
    const std::string failText =
        db.Query("select msg from alarm_msg_history limit 1")[0].Get("msg");
    EXPECT_EQ(failText.rfind("[127.0.0.1:" + std::to_string(port) + " TCP Connection Error", 0), 0u)
        << failText;
    // Each alarm: three SMS, one e-mail to the two addresses, one syslog message.
    EXPECT_EQ(sentAfter, (std::vector<std::size_t>{0, 0, 5, 5, 5, 10}));
    {
        std::vector<std::string> first(outbox.sent.begin(), outbox.sent.begin() + 5);
        std::sort(first.begin(), first.end());
        EXPECT_EQ(first, (std::vector<std::string>{"Email|a@x.test;c@x.test|" + failText,
                                                   "SMS|111|" + failText, "SMS|222|" + failText,
                                                   "SMS|333|" + failText,
                                                   "SysLog|127.0.0.1|" + failText}));
    }
    EXPECT_EQ(
        Count("select count(*) as n from alarm_msg_history where service_id=" + std::to_string(id) +
              " and service_status=\"Failed\" and msg=" + db.Quote(failText)),
        6);
    EXPECT_EQ(Count("select count(*) as n from access_history where service_id=" +
                    std::to_string(id) + " and service_status=\"Failed\""),
              6);
    const std::string alarmLog = test::ReadFile(AlarmLogFileName());
    EXPECT_EQ(test::CountLines(alarmLog, "2026-03-16 10:3"), 6);
    EXPECT_NE(alarmLog.find(" [TCP] [127.0.0.1] [" + std::to_string(port) + "] " + failText),
              std::string::npos);

    // The service comes back: one recovery message over the recovery flags (e-mail, syslog).
    test::LoopbackListener back;
    db.Execute("update service set port=" + std::to_string(back.port()) +
               " where id=" + std::to_string(id));
    outbox.sent.clear();
    TickAt(10, 37);
    const std::string recovery =
        "[127.0.0.1:" + std::to_string(back.port()) + " TCP Connection Recovery]";
    std::sort(outbox.sent.begin(), outbox.sent.end());
    EXPECT_EQ(outbox.sent, (std::vector<std::string>{"Email|a@x.test;c@x.test|" + recovery,
                                                     "SysLog|127.0.0.1|" + recovery}));
    EXPECT_EQ(Col(id, "current_no_of_cons_alarm"), "0");
    EXPECT_EQ(Col(id, "service_status"), "Passed");
    outbox.sent.clear();
    TickAt(10, 38);
    EXPECT_TRUE(outbox.sent.empty());
    EXPECT_EQ(
        Count("select count(*) as n from access_history where service_id=" + std::to_string(id)),
        8);
    EXPECT_EQ(test::CountLines(scope.LogText(), "ERR"), 0);
}

TEST_F(EngineDbTest, RepetitionAndThresholdVariantsOverTwelveFailures) {
    db.Execute(
        "insert into alarm_method (type,enable,ip,port) values (\"SysLog\",1,\"127.0.0.1\",514)");
    struct Svc {
        const char* n;
        const char* k;
        int alarms; // expected within 12 consecutive failures
        long long id = 0;
        int port = 0;
    } svcs[] = {{"3", "0", 1}, {"3", "2", 2}, {"0", "1", 0}, {"2", "25", 1}, {"1", "-3", 1}};
    for (Svc& v : svcs) {
        v.port = ClosedPort();
        v.id = AddService({{"port", std::to_string(v.port)},
                           {"no_of_cons_alarm", v.n},
                           {"keep_on_sending", v.k},
                           {"alarm_syslog", "y"},
                           {"recovery_alarm_syslog", "y"}});
    }
    clock.Set(FromLocal(2026, 3, 16, 10, 0, 5));
    StartEngine(true); // failure 1
    ASSERT_TRUE(engine->Pool()->Drain(10s));
    for (int i = 2; i <= 12; ++i) {
        TickAt(10, i);
    }
    auto sentFor = [&](int port, const std::string& what) {
        int n = 0;
        for (const std::string& line : outbox.sent) {
            n += line.find(":" + std::to_string(port) + " " + what) != std::string::npos;
        }
        return n;
    };
    for (const Svc& v : svcs) {
        EXPECT_EQ(sentFor(v.port, "TCP Connection Error"), v.alarms) << "N=" << v.n << " K=" << v.k;
        EXPECT_EQ(Col(v.id, "current_no_of_cons_alarm"), "12");
    }
    // All come back: each had a stored failure series that reached its threshold.
    test::LoopbackListener back;
    db.Execute("update service set port=" + std::to_string(back.port()));
    outbox.sent.clear();
    TickAt(10, 13);
    EXPECT_EQ(sentFor(back.port(), "TCP Connection Recovery"), 5);
}

// Runs tests/servers/mariadb.sh with `command` on the suite's server.
void ServerCommand(const std::string& command) {
    const char* state = std::getenv("VELMORA_TEST_STATE");
    const std::string cmd = "bash " + test::SourceDir() + "/tests/servers/mariadb.sh " + command +
                            " " + (state ? state : "") + " >/dev/null 2>&1";
    ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
}

TEST_F(EngineDbTest, KeepsTickingWhileTheDatabaseIsAwayAndStoresAgainAfterwards) {
    test::LoopbackListener l;
    const long long id = AddService({{"port", std::to_string(l.port())}});
    StartEngine(true);
    ASSERT_TRUE(engine->Pool()->Drain(10s));
    ASSERT_EQ(Count("select count(*) as n from access_history"), 1);

    ServerCommand("stop");
    TickAt(10, 31); // the due query fails: logged, nothing else happens
    TickAt(10, 32);
    ServerCommand("start");
    TickAt(10, 33);
    EXPECT_EQ(Count("select count(*) as n from access_history"), 2);
    EXPECT_EQ(Col(id, "service_status"), "Passed");
    const std::string log = scope.LogText();
    EXPECT_GE(test::CountLines(log, "ERR90002 : "), 2) << log;
}

TEST_F(EngineDbTest, HouseKeepingPurgesOldHistory) {
    db.Execute(
        "insert into access_history (access_datetime,service_id,response_time,service_status) "
        "values (\"2026-03-01 12:00:00\",1,5,\"Passed\"),(\"2026-03-15 12:00:00\",1,5,\"Passed\")");
    StartEngine();
    engine->TimerHouseKeepTimer(); // 7 days by default: the row of 1 March goes
    EXPECT_EQ(Count("select count(*) as n from access_history"), 1);
    db.Execute("drop table access_history");
    engine->TimerHouseKeepTimer(); // a failing delete is logged, nothing more
    EXPECT_NE(scope.LogText().find("ERROR : Please send this error message to "),
              std::string::npos);
}

TEST_F(EngineDbTest, DeliveryErrorsAreLoggedAndTheOtherDeliveriesStillGo) {
    db.Execute(
        "insert into alarm_method (type,enable,ip,port) values (\"SMS\",1,\"127.0.0.1\",2775),"
        "(\"SysLog\",1,\"127.0.0.1\",514)");
    const long long id = AddService({{"port", std::to_string(ClosedPort())},
                                     {"no_of_cons_alarm", "1"},
                                     {"alarm_smpp", "y"},
                                     {"alarm_syslog", "y"}});
    db.Execute("insert into contact_person (name,sms) values "
               "(\"a\",\"111\"),(\"b\",\"222\"),(\"c\",\"333\")");
    db.Execute("insert into service_contact_person (service_id,contact_person_id) values (" +
               std::to_string(id) + ",1),(" + std::to_string(id) + ",2),(" + std::to_string(id) +
               ",3)");
    senderFails = true;
    StartEngine(true);
    ASSERT_TRUE(engine->Pool()->Drain(10s));
    std::sort(outbox.sent.begin(), outbox.sent.end());
    ASSERT_EQ(outbox.sent.size(), 2u);
    EXPECT_EQ(outbox.sent[0].rfind("SMS|111|", 0), 0u);
    EXPECT_EQ(outbox.sent[1].rfind("SMS|333|", 0), 0u);
    const std::string log = scope.LogText();
    EXPECT_NE(log.find("ERR00402 : Creating thread error. : no route to the SMSC\r\n"),
              std::string::npos)
        << log;
    EXPECT_NE(log.find("Alarming Message - SysLog : error [127.0.0.1:514 unreachable] "),
              std::string::npos)
        << log;
    // The delivery failures do not touch the check's result.
    EXPECT_EQ(Col(id, "service_status"), "Failed");
    EXPECT_EQ(Col(id, "current_no_of_cons_alarm"), "1");
}

TEST_F(EngineDbTest, AnErrorEscapingTheCheckIsStoredAsAFailure) {
    const long long id = AddService({{"keep_on_sending", "7"}, {"port", "4242"}});
    StartEngine();
    ASSERT_TRUE(engine->Pool()->Drain(10s));
    EXPECT_EQ(Col(id, "service_status"), "Failed");
    EXPECT_EQ(Col(id, "current_no_of_cons_alarm"), "1");
    EXPECT_EQ(db.Query("select msg from alarm_msg_history")[0].Get("msg"),
              "[127.0.0.1:4242 probe crashed]");
}

TEST_F(EngineDbTest, BadRowsNeverStopTheTickForTheOthers) {
    // A method type in the wrong case is not a method: e-mail stays off.
    db.Execute(
        "insert into alarm_method (type,enable,ip,port) values (\"email\",1,\"127.0.0.1\",25)");
    test::LoopbackListener l;
    const long long ldap = AddService({{"service", "LDAP"}, {"ip", ""}});
    const long long noHost = AddService({{"ip", ""}, {"port", std::to_string(l.port())}});
    const long long good = AddService({{"ip", "127.0.0.1"}, {"port", std::to_string(l.port())}});
    const long long failing = AddService({{"ip", "127.0.0.9"},
                                          {"port", "9"},
                                          {"no_of_cons_alarm", "1"},
                                          {"keep_on_sending", "-3"},
                                          {"alarm_email", "y"}});
    db.Execute("insert into contact_person (name,email) values (\"a\",\"a@x.test\")");
    db.Execute("insert into service_contact_person (service_id,contact_person_id) values (" +
               std::to_string(failing) + ",1)");
    const long long text = AddService({{"ip", "127.0.0.1"}, {"schedule_minute", "x1"}});
    StartEngine(true);
    ASSERT_TRUE(engine->Pool()->Drain(20s));
    EXPECT_FALSE(engine->AlarmMethods().email.enabled);
    EXPECT_EQ(Col(good, "service_status"), "Passed");
    EXPECT_EQ(Col(failing, "service_status"), "Failed");
    EXPECT_EQ(Col(failing, "current_no_of_cons_alarm"), "1");
    EXPECT_EQ(Col(ldap, "service_status"), "Unknown");
    EXPECT_EQ(Col(text, "service_status"), "Unknown"); // "x1" is never due
    EXPECT_TRUE(outbox.sent.empty());
    // The empty host either fails as a result or is logged as a build error; never both.
    const std::string log = scope.LogText();
    EXPECT_NE(Col(noHost, "service_status") == "Failed", log.find("ERR90028") != std::string::npos)
        << log;
    EXPECT_EQ(log.find("LDAP"), std::string::npos);
}

TEST_F(EngineDbTest, OneSlotRunsChecksStrictlyOneAfterAnother) {
    InitSettings().NoConcurrentAlarm = 1;
    test::LoopbackListener l;
    std::vector<long long> ids;
    for (int i = 0; i < 4; ++i) {
        ids.push_back(AddService({{"port", std::to_string(l.port())}}));
    }
    hold = 50ms;
    StartEngine(); // the start-up tick selects all four
    ASSERT_TRUE(engine->Pool()->Drain(20s));
    ASSERT_EQ(trace.events.size(), 8u);
    for (std::size_t i = 0; i < trace.events.size(); i += 2) {
        EXPECT_EQ(trace.events[i].substr(0, 6), "start ");
        EXPECT_EQ(trace.events[i + 1], "end " + trace.events[i].substr(6));
    }
    for (long long id : ids) {
        EXPECT_EQ(Col(id, "service_status"), "Passed");
    }
}

TEST_F(EngineDbTest, OverflowItemIsDroppedWithoutTouchingItsServiceRow) {
    InitSettings().NoConcurrentAlarm = 1;
    InitSettings().NoQueuingAlarm = 1;
    test::LoopbackListener l;
    const long long a = AddService({{"port", std::to_string(l.port())}, {"title", "a"}});
    const long long b = AddService({{"port", std::to_string(l.port())}, {"title", "b"}});
    const long long c = AddService({{"ip", "127.0.0.9"},
                                    {"port", std::to_string(ClosedPort())},
                                    {"title", "c"},
                                    {"current_no_of_cons_alarm", "2"},
                                    {"service_status", "Failed"},
                                    {"alarm_syslog", "y"},
                                    {"recovery_alarm_syslog", "y"}});
    db.Execute(
        "insert into alarm_method (type,enable,ip,port) values (\"SysLog\",1,\"127.0.0.1\",514)");
    hold = 200ms;
    StartEngine(); // the start-up tick selects all three
    ASSERT_TRUE(engine->Pool()->Drain(20s));
    // One runs, one waits, the third (last by ip) finds the queue full and is given up. Its
    // row keeps its failure series and gets no history.
    EXPECT_EQ(Col(a, "service_status"), "Passed");
    EXPECT_EQ(Col(b, "service_status"), "Passed");
    EXPECT_EQ(Col(c, "service_status"), "Failed");
    EXPECT_EQ(Col(c, "current_no_of_cons_alarm"), "2");
    EXPECT_EQ(Col(c, "last_access"), "0000-00-00 00:00:00");
    EXPECT_EQ(
        Count("select count(*) as n from access_history where service_id=" + std::to_string(c)), 0);
    EXPECT_TRUE(outbox.sent.empty()); // no recovery for a check that never ran
    const std::string log = scope.LogText();
    EXPECT_NE(log.find("[WARMING] Check of service id " + std::to_string(c) +
                       " [TCP] was not run, no result stored : Execution queue is too long."),
              std::string::npos)
        << log;
}

TEST_F(EngineDbTest, HourGridSwitchesTheTickOffAndOn) {
    clock.Set(FromLocal(2026, 3, 16, 14, 20, 0)); // Monday 14:xx
    StartEngine();
    EXPECT_TRUE(engine->SchedulingActive());
    EXPECT_TRUE(engine->gateArmed);
    engine->TimerTimer(); // default grid: every hour "yes"
    EXPECT_TRUE(engine->SchedulingActive());
    db.Execute("update scheduling set mon=\"no\" where schedule_time=14");
    engine->TimerTimer();
    EXPECT_FALSE(engine->SchedulingActive());
    const std::string monday = scope.LogText();
    EXPECT_EQ(test::CountLines(monday, "Service scheduling starts."), 1);
    EXPECT_EQ(test::CountLines(monday, "Service scheduling stops."), 1);
    clock.Set(FromLocal(2026, 3, 17, 14, 20, 0)); // Tuesday: still "yes"
    engine->TimerTimer();
    EXPECT_TRUE(engine->SchedulingActive());
    db.Execute("delete from scheduling");
    engine->TimerTimer();
    EXPECT_FALSE(engine->SchedulingActive());
    engine->gateArmed = false;
    engine->SetSchedulingActive(true);
    engine->TimerTimer(); // disarmed: the grid is not looked at
    EXPECT_TRUE(engine->SchedulingActive());
}

TEST_F(EngineDbTest, TimersDriveStartTickAndGateOnTheEventLoop) {
    const long long id = AddService({}); // due every minute
    EngineHooks hooks;
    hooks.buildCheck = [this](const ServiceRow& row) -> std::unique_ptr<CheckItem> {
        built.push_back(row.GetInt("id"));
        return nullptr;
    };
    engine = std::make_unique<MonitorEngine>(db, hooks);
    EXPECT_FALSE(engine->TimerInit.isActive());
    EXPECT_FALSE(engine->TimerService.isActive());
    EXPECT_TRUE(engine->Timer.isActive());
    EXPECT_TRUE(engine->TimerHouseKeep.isActive());
    EXPECT_EQ(engine->TimerService.interval(), 60000);
    engine->TimerInit.setInterval(10);
    engine->TimerService.setInterval(40);
    engine->Timer.setInterval(15);
    engine->TimerInit.start();
    ASSERT_TRUE(test::RunUntil([&] { return built.size() >= 3; }, 5s));
    EXPECT_TRUE(engine->gateArmed);
    EXPECT_FALSE(engine->TimerInit.isActive());
    EXPECT_EQ(built[0], id);
    // The grid says "no" for this hour: the gate switches the tick off within its interval.
    db.Execute("update scheduling set mon=\"no\"");
    ASSERT_TRUE(test::RunUntil([&] { return !engine->SchedulingActive(); }, 5s));
    const std::size_t ticks = built.size();
    test::RunFor(200ms);
    EXPECT_EQ(built.size(), ticks);
}

TEST_F(EngineDbTest, ShutdownStoresTheChecksStillRunningAndDropsTheWaitingOnes) {
    InitSettings().NoConcurrentAlarm = 2;
    test::LoopbackListener l;
    std::vector<long long> ids;
    for (int i = 0; i < 4; ++i) {
        ids.push_back(AddService({{"port", std::to_string(l.port())}}));
    }
    hold = 300ms;
    StartEngine(); // the start-up tick selects all four
    ASSERT_TRUE(test::RunUntil([&] { return engine->Pool()->ExecutingCount() == 2; }));
    ASSERT_TRUE(engine->Shutdown(20s));
    int stored = 0;
    for (long long id : ids) {
        stored += Col(id, "service_status") == "Passed";
    }
    EXPECT_EQ(stored, 2);
    EXPECT_EQ(Count("select count(*) as n from access_history"), 2);
    EXPECT_EQ(test::CountLines(scope.LogText(), "was not run, no result stored : Canceled."), 2);
    EXPECT_FALSE(engine->SchedulingActive());
}

} // namespace
