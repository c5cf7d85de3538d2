// The whole road of a failing service through the real engine, the real TCP check and the
// real senders: MariaDB for the rows, aiosmtpd for the e-mail, the SMSC for the SMS and
// rsyslogd for the syslog messages, all on 127.0.0.1.
#include "engine/MonitorEngine.h"

#include "foundation/Clock.h"
#include "foundation/InitSettings.h"
#include "store/ZUVOzedovUzivara.h"
#include "tests/support/TestDatabase.h"
#include "tests/support/TestSupport.h"
#include "tests/unit/engine/EngineTestSupport.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <fstream>
#include <thread>

using namespace velmora;
using namespace std::chrono_literals;

namespace {

int FreePort(bool keepListening, int* fdOut = nullptr) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    socklen_t len = sizeof a;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    if (keepListening) {
        ::listen(fd, 16);
        *fdOut = fd;
    } else {
        ::close(fd);
    }
    return ntohs(a.sin_port);
}

std::vector<std::string> LinesWith(const std::string& path, const std::vector<std::string>& parts) {
    std::vector<std::string> out;
    std::ifstream in(path);
    for (std::string l; std::getline(in, l);) {
        bool all = true;
        for (const auto& p : parts) {
            all = all && l.find(p) != std::string::npos;
        }
        if (all) {
            out.push_back(l);
        }
    }
    return out;
}

bool WaitFor(const std::function<bool()>& cond) {
    const auto end = std::chrono::steady_clock::now() + 10s;
    while (!cond() && std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(50ms);
    }
    return cond();
}

TEST(EngineAlarms, AlarmsAtThreeAndSixAndOneRecoveryReachTheRealReceivers) {
    for (const char* server : {"mariadb", "smtpd", "smsc", "syslogd"}) {
        ASSERT_GT(test::ServerPort(server), 0) << server << " did not start";
    }
    test::AppDirScope scope;
    test::App();
    test::UseTestServer();
    ZUVOzedovUzivara db;
    test::DropProgramDatabase();
    ASSERT_TRUE(db.OpenAtStart());
    ManualClock clock(FromLocal(2026, 3, 16, 10, 0, 5));
    SetClock(&clock);

    db.Execute("insert into alarm_method "
               "(type,enable,ip,port,smtp_from_address,timeout,read_timeout) values "
               "(\"Email\",1,\"127.0.0.1\"," +
               std::to_string(test::ServerPort("smtpd")) +
               ",\"alarms@velmora.test\",3000,3000),"
               "(\"SMS\",1,\"127.0.0.1\"," +
               std::to_string(test::ServerPort("smsc")) +
               ",\"\",3000,3000),"
               "(\"SysLog\",1,\"127.0.0.1\"," +
               std::to_string(test::ServerPort("syslogd")) + ",\"\",3000,3000)");
    const int port = FreePort(false);
    const std::string tag = std::to_string(port);
    db.Execute(
        "insert into service (service,ip,port,title,schedule_by,schedule_minute,status,"
        "no_of_cons_alarm,keep_on_sending,timeout,alarm_email,alarm_smpp,alarm_syslog,"
        "recovery_alarm_email,recovery_alarm_syslog,alarm_syslog_facility,alarm_syslog_severity) "
        "values (\"TCP\",\"127.0.0.1\"," +
        tag +
        ",\"e2e\",\"Minutely\",\"01\",\"Start\",3,1,2000,\"y\",\"y\",\"y\",\"y\",\"y\","
        "\"Local Use Seven\",\"Debug\")");
    const long long id = static_cast<long long>(db.LastInsertId());
    const std::string a = "a" + tag + "@example.test", c = "c" + tag + "@example.test";
    const std::string n1 = "71" + tag, n2 = "72" + tag, n3 = "73" + tag;
    db.Execute("insert into contact_person (name,email,sms) values (\"a\",\"" + a + "\",\"" + n1 +
               "\"),(\"b\",\"\",\"" + n2 + "\"),(\"c\",\"" + c + "\",\"" + n3 + "\")");
    for (int cp = 1; cp <= 3; ++cp) {
        db.Execute("insert into service_contact_person (service_id,contact_person_id) values (" +
                   std::to_string(id) + "," + std::to_string(cp) + ")");
    }

    {
        MonitorEngine engine(db, EngineHooks{});
        engine.TimerInitTimer(); // failure 1 at the start-up tick
        ASSERT_TRUE(engine.Pool()->Drain(30s));
        for (int minute = 1; minute <= 5; ++minute) { // failures 2..6
            clock.Set(FromLocal(2026, 3, 16, 10, minute, 5));
            engine.TimerServiceTimer();
            ASSERT_TRUE(engine.Pool()->Drain(30s));
        }
        EXPECT_EQ(db.Query("select current_no_of_cons_alarm from service")[0].Get(
                      "current_no_of_cons_alarm"),
                  "6");

        int fd = -1;
        const int upPort = FreePort(true, &fd);
        db.Execute("update service set port=" + std::to_string(upPort));
        clock.Set(FromLocal(2026, 3, 16, 10, 6, 5));
        engine.TimerServiceTimer();
        ASSERT_TRUE(engine.Pool()->Drain(30s));
        ::close(fd);
        EXPECT_EQ(db.Query("select service_status from service")[0].Get("service_status"),
                  "Passed");

        const std::string failure = "[127.0.0.1:" + tag + " TCP Connection Error";
        const std::string recovery =
            "[127.0.0.1:" + std::to_string(upPort) + " TCP Connection Recovery]";
        // Two alarms (failures 3 and 6), each one e-mail to both addresses and three SMS.
        const std::string mailLog = test::ServerValue("smtpd", "LOG");
        EXPECT_TRUE(WaitFor([&] { return LinesWith(mailLog, {a, failure}).size() >= 2; }));
        const auto mails = LinesWith(mailLog, {a});
        ASSERT_EQ(mails.size(), 3u); // two alarms and the recovery
        for (const auto& m : mails) {
            EXPECT_NE(m.find("\"rcpt_tos\": [\"" + a + "\", \"" + c + "\"]"), std::string::npos)
                << m;
        }
        EXPECT_EQ(LinesWith(mailLog, {a, recovery}).size(), 1u);
        const std::string smsLog = test::ServerValue("smsc", "RECORDS");
        for (const std::string& n : {n1, n2, n3}) {
            EXPECT_EQ(LinesWith(smsLog, {"\"destination_addr\":\"" + n + "\""}).size(), 2u) << n;
        }
        // Syslog: the two alarms and the recovery (SMS has no recovery flag here).
        const std::string sysLog = test::ServerValue("syslogd", "LOG");
        EXPECT_TRUE(WaitFor([&] { return LinesWith(sysLog, {recovery}).size() == 1; }));
        EXPECT_EQ(LinesWith(sysLog, {failure}).size(), 2u);
        EXPECT_EQ(scope.LogText().find("Alarming Message"), std::string::npos) << scope.LogText();
        engine.Shutdown(30s);
    }
    SetClock(nullptr);
}

} // namespace
