// ThreadSNPP against the SNPP fixture server, reading the lines it received.
#include "AlarmTestUtil.h"
#include "alarms/ThreadSNPP.h"

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::test;

namespace {

AlarmMethodSettings::Snpp Server(const char* key = "PORT") {
    AlarmMethodSettings::Snpp s;
    s.enabled = true;
    s.host = "127.0.0.1";
    s.port = ServerPort("snppd", key);
    s.timeout = 2000;
    s.read_timeout = 800;
    return s;
}

// The lines of the one connection that carried `pageLine`.
std::vector<std::string> Conversation(const std::string& pageLine) {
    std::vector<std::string> out;
    const auto page = LinesWith(ServerValue("snppd", "LOG"), {" " + pageLine});
    if (page.size() != 1) return out;
    const std::string conn = page[0].substr(0, page[0].find(' ') + 1);
    for (const auto& l : ReadLines(ServerValue("snppd", "LOG")))
        if (l.rfind(conn, 0) == 0) out.push_back(l.substr(conn.size()));
    return out;
}

std::string Send(const AlarmMethodSettings::Snpp& s, const std::string& pager, const std::string& text) {
    ThreadSNPP t(s, pager, text);
    t.Execute();
    EXPECT_EQ(t.status, t.sent ? "Sent" : "Error");
    return t.result_text;
}

} // namespace

TEST(PagerAlarm, PageMessSendQuit) {
    EXPECT_EQ(Send(Server(), "123", "[10.0.0.5:25 SMTP Connection Error]\r\nsecond\nthird"), "[SNPP Alarm Sent Succeed]");
    EXPECT_EQ(Conversation("PAGE 123"),
              (std::vector<std::string>{"PAGE 123", "MESS [10.0.0.5:25 SMTP Connection Error] second third", "SEND",
                                        "QUIT"}));
}

TEST(PagerAlarm, RefusalsAndTimeouts) {
    EXPECT_EQ(Send(Server(), "refuse-1", "x"), "[SNPP Alarm Sent Error:Error, Invalid Pager ID]");
    EXPECT_EQ(Conversation("PAGE refuse-1"), (std::vector<std::string>{"PAGE refuse-1", "QUIT"}));
    EXPECT_EQ(Send(Server(), "mess-1", "badmess"), "[SNPP Alarm Sent Error:Error, failed]");
    EXPECT_EQ(Conversation("PAGE mess-1"), (std::vector<std::string>{"PAGE mess-1", "MESS badmess", "QUIT"}));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Send(Server(), "silent-1", "x"), "[SNPP Alarm Sent Error:Read timed out.]");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
}

TEST(PagerAlarm, ConnectionAndInputErrors) {
    const auto s = Server();
    const std::string where = "[127.0.0.1:" + std::to_string(s.port);
    EXPECT_EQ(Send(Server("BUSY_PORT"), "1", "x"),
              "[127.0.0.1:" + std::to_string(ServerPort("snppd", "BUSY_PORT")) +
                  " SNPP Alarm Connection Error:Too busy, try later]");
    EXPECT_EQ(Send(s, "", "x"), "[ERR00901 : SNPP Pager ID required]");
    EXPECT_EQ(Send(s, "77", ""), "[ERR00902 : SNPP Message required]");
    EXPECT_TRUE(Conversation("PAGE 77").empty());
    auto closed = s;
    closed.port = ClosedPort();
    EXPECT_EQ(Send(closed, "1", "x"),
              "[127.0.0.1:" + std::to_string(closed.port) + " SNPP Alarm Connection Error:ERR10003 Invalid Host/IP]");
    auto noHost = s;
    noHost.host = "";
    EXPECT_EQ(Send(noHost, "1", "x"), "[:" + std::to_string(s.port) + " SNPP Alarm Connection Error:ERR10001 Host/IP required]");
    auto port0 = s;
    port0.port = 0;
    EXPECT_EQ(Send(port0, "1", "x"), "[127.0.0.1:0 SNPP Alarm Connection Error:ERR10002 Port required]");
    EXPECT_EQ(OneLine("a\r\n\r\nb\rc"), "a  b c");
}
