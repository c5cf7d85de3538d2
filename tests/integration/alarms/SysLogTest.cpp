// ThreadSysLog against rsyslogd (imudp), reading what rsyslog parsed from each datagram.
#include "AlarmTestUtil.h"
#include "alarms/ThreadSysLog.h"

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::test;

namespace {

AlarmMethodSettings::SysLog Server() {
    AlarmMethodSettings::SysLog s;
    s.enabled = true;
    s.host = "127.0.0.1";
    s.port = ServerPort("syslogd");
    return s;
}

AlarmParams Params(const char* facility, const char* severity) {
    AlarmParams p;
    p.alarm_syslog_facility = facility;
    p.alarm_syslog_severity = severity;
    return p;
}

std::string Received(const std::string& marker) {
    std::string line;
    WaitUntil([&] {
        auto l = LinesWith(ServerValue("syslogd", "LOG"), {marker});
        if (!l.empty()) line = l.back();
        return !l.empty();
    });
    return line;
}

} // namespace

TEST(SysLogAlarm, PriHostAndColonRuleAsParsed) {
    struct Case {
        const char* facility;
        const char* severity;
        const char* text;
        const char* expect;
    } cases[] = {
        {"Local Use Zero", "Error", "[10.0.0.5:25 TCP Connection Error] c1",
         "pri=131|host=127.0.0.1|tag=:|msg=[10.0.0.5:25 TCP Connection Error] c1|"},
        {"UUCP", "Debug", "c2 no colon here", "pri=71|host=127.0.0.1|"},
        {"Clock Daemon One", "Emergency", ":c3 first colon only", "pri=72|host=127.0.0.1|"},
        {"Local Use Seven", "Debug", "c4 [x:1]", "pri=191|host=127.0.0.1|tag=:|msg=c4 [x:1]|"},
    };
    for (const auto& c : cases) {
        ThreadSysLog s(Server(), Params(c.facility, c.severity), c.text);
        s.Execute();
        EXPECT_EQ(s.result_text, "[SysLog Alarm Sent Succeed]");
        EXPECT_EQ(s.status, "Sent");
        const std::string line = Received(c.text);
        EXPECT_EQ(line.rfind(c.expect, 0), 0u) << line;
        // The raw datagram: PRI, the RFC 3164 timestamp, our address, the prepared text.
        const std::string raw = line.substr(line.find("|raw=") + 5);
        EXPECT_EQ(raw.substr(raw.find('>') + 16, 11), " 127.0.0.1 ") << raw;
        EXPECT_EQ(raw.substr(raw.find('>') + 27), PrepareSysLogText(c.text));
    }
}

TEST(SysLogAlarm, LongTextIsCutAt1024Bytes) {
    const std::string text = "cut-marker " + std::string(2000, 'y');
    ThreadSysLog s(Server(), Params("Kernel", "Emergency"), text);
    s.Execute();
    EXPECT_EQ(s.status, "Sent");
    const std::string line = Received("cut-marker");
    EXPECT_EQ(line.substr(line.find("|raw=") + 5).size(), 1024u);
}

TEST(SysLogAlarm, Failures) {
    ThreadSysLog empty(Server(), Params("Kernel", "Error"), "");
    empty.Execute();
    EXPECT_EQ(empty.result_text, "[ERR01101 : SysLog Message required]");
    EXPECT_EQ(empty.status, "Error");

    auto s = Server();
    s.host = "";
    ThreadSysLog noHost(s, Params("Kernel", "Error"), "x");
    noHost.Execute();
    EXPECT_EQ(noHost.status, "Error");
    EXPECT_EQ(noHost.result_text.rfind("[SysLog Alarm Sent Error:", 0), 0u) << noHost.result_text;

    s = Server();
    s.port = 0;
    ThreadSysLog port0(s, Params("Kernel", "Error"), "x");
    port0.Execute();
    EXPECT_EQ(port0.status, "Error") << port0.result_text;
    EXPECT_EQ(port0.result_text, "[SysLog Alarm Sent Error:Cannot assign requested address]");

    // A port nobody listens on is not noticed: UDP delivers without an answer.
    s = Server();
    s.port = ClosedPort();
    ThreadSysLog nobody(s, Params("Kernel", "Error"), "x");
    nobody.Execute();
    EXPECT_EQ(nobody.status, "Sent");
}
