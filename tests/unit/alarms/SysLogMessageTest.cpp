#include "alarms/ThreadSysLog.h"

#include <gtest/gtest.h>

using namespace velmora;

TEST(SysLogMessage, PriFromNames) {
    struct Case {
        const char* facility;
        const char* severity;
        int pri;
    } cases[] = {
        {"Local Use Zero", "Error", 131}, {"UUCP", "Debug", 71},       {"Clock Daemon One", "Emergency", 72},
        {"Local Use Seven", "Debug", 191}, {"local use zero", "Error", 3}, {"Kernel", "Nonsense", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SysLogFacilityCode(c.facility) * 8 + SysLogSeverityCode(c.severity), c.pri) << c.facility;
}

TEST(SysLogMessage, ColonRuleTimestampAndCut) {
    EXPECT_EQ(PrepareSysLogText("[10.0.0.5:25 TCP Connection Error]"), ":[10.0.0.5:25 TCP Connection Error]");
    EXPECT_EQ(PrepareSysLogText(":only first"), ":only first");
    EXPECT_EQ(PrepareSysLogText("no colon"), "no colon");
    EXPECT_EQ(PrepareSysLogText(""), "");

    std::tm t{};
    t.tm_mon = 2;
    t.tm_mday = 5;
    t.tm_hour = 9;
    t.tm_min = 7;
    t.tm_sec = 2;
    EXPECT_EQ(BuildSysLogMessage(16, 3, t, "192.168.1.20", PrepareSysLogText("[10.0.0.5:25 TCP Connection Error]")),
              "<131>Mar  5 09:07:02 192.168.1.20 :[10.0.0.5:25 TCP Connection Error]");
    t.tm_mon = 11;
    t.tm_mday = 25;
    t.tm_hour = 23;
    EXPECT_EQ(SysLogTimestamp(t), "Dec 25 23:07:02");
    const std::string m = BuildSysLogMessage(23, 7, t, "127.0.0.1", std::string(2000, 'x'));
    EXPECT_EQ(m.size(), 1024u);
}
