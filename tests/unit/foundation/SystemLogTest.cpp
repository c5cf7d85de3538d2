#include "foundation/Clock.h"
#include "foundation/InitSettings.h"
#include "foundation/SystemLog.h"
#include "tests/support/TestSupport.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <regex>
#include <sstream>
#include <thread>

using namespace velmora;
using velmora::test::AppDirScope;
using velmora::test::ProgramEnded;
using velmora::test::ReadFile;

namespace {

// Installs a manual clock for the life of the object.
struct ClockScope {
    ManualClock clock;
    explicit ClockScope(TimePoint t) : clock(t) { SetClock(&clock); }
    ~ClockScope() { SetClock(nullptr); }
};

} // namespace

TEST(SystemLog, LineFormatPerLevel) {
    struct {
        int level;
        const char* line;
    } cases[] = {
        {1, "2008-03-05 14:07:09 [DEBUG] text"},    {2, "2008-03-05 14:07:09 [INFO] text"},
        {3, "2008-03-05 14:07:09 [NOTICE] text"},   {4, "2008-03-05 14:07:09 [WARMING] text"},
        {5, "2008-03-05 14:07:09 [ERROR] text"},    {6, "2008-03-05 14:07:09 [CRITICAL] text"},
        {7, "2008-03-05 14:07:09 [ALERT] text"},    {8, "2008-03-05 14:07:09 [EMERGENCY] text"},
        {9, "2008-03-05 14:07:09  text"},           {0, "2008-03-05 14:07:09  text"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatSystemLogLine("2008-03-05 14:07:09", c.level, "text"), c.line);
    }
    EXPECT_EQ(FormatAlarmMessageLine("2008-03-05 14:07:09", "TCP", "10.0.0.5", "25",
                                     "[10.0.0.5:25 TCP Connection Error]"),
              "2008-03-05 14:07:09 [TCP] [10.0.0.5] [25] [10.0.0.5:25 TCP Connection Error]");
}

TEST(SystemLog, WritesDailyFileWithCrLfAndRollsOverAtMidnight) {
    AppDirScope app;
    ClockScope clock(FromLocal(2008, 3, 5, 23, 59, 58));
    WriteSystemLog("before midnight", LogInfo);
    clock.clock.Set(FromLocal(2008, 3, 6, 0, 0, 1));
    WriteSystemLog("after midnight", LogError);
    const std::string dir = InitSettings().LogDir;
    EXPECT_EQ(ReadFile(dir + "system_2008-03-05.log"),
              "2008-03-05 23:59:58 [INFO] before midnight\r\n");
    EXPECT_EQ(ReadFile(dir + "system_2008-03-06.log"),
              "2008-03-06 00:00:01 [ERROR] after midnight\r\n");
}

TEST(SystemLog, DebugLinesOnlyWithIsDebug) {
    AppDirScope app;
    ClockScope clock(FromLocal(2010, 1, 2, 3, 4, 5));
    WriteSystemLog("hidden", LogDebug);
    InitSettings().isDebug = true;
    WriteSystemLog("shown", LogDebug);
    EXPECT_EQ(app.LogText(), "2010-01-02 03:04:05 [DEBUG] shown\r\n");
}

TEST(SystemLog, RecreatesDeletedLogDirectoryAndEndsProgramWhenItCannot) {
    AppDirScope app;
    std::filesystem::remove_all(InitSettings().LogDir);
    WriteSystemLog("back again", LogInfo);
    EXPECT_NE(app.LogText().find("[INFO] back again"), std::string::npos);

    // A plain file where the log directory should be: neither writable nor creatable.
    std::filesystem::remove_all(InitSettings().LogDir);
    velmora::test::WriteFile(app.appDir() + "/log", "not a directory");
    EXPECT_THROW(WriteSystemLog("lost", LogInfo), ProgramEnded);
}

TEST(SystemLog, UnwritableFileEndsProgramAfterConsoleDialog) {
    AppDirScope app;
    std::string dialog;
    Program().variant = ProgramVariant::Console;
    Program().showError = [&](const std::string& t) { dialog = t; };
    // A directory with today's file name cannot be opened for appending.
    std::filesystem::create_directory(SystemLogFileName());
    EXPECT_THROW(WriteSystemLog("x", LogInfo), ProgramEnded);
    EXPECT_EQ(dialog.rfind("ERR00202 : System log file is invalid. : ", 0), 0u) << dialog;
}

TEST(SystemLog, ConcurrentWritersNeverInterleaveWithinALine) {
    AppDirScope app;
    constexpr int kThreads = 8, kLines = 300;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t] {
            const std::string payload(200, static_cast<char>('a' + t));
            for (int i = 0; i < kLines; ++i) {
                WriteSystemLog(payload, LogInfo);
            }
        });
    }
    for (auto& th : threads) {
        th.join();
    }
    std::istringstream in(app.LogText());
    const std::regex line(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d \[INFO\] ([a-h])\1{199}\r)");
    std::string l;
    int count = 0;
    while (std::getline(in, l)) {
        ASSERT_TRUE(std::regex_match(l, line)) << l;
        ++count;
    }
    EXPECT_EQ(count, kThreads * kLines);
}

TEST(SystemLog, AlarmMessageFileFollowsItsSwitchAndPrefix) {
    AppDirScope app;
    ClockScope clock(FromLocal(2008, 3, 5, 14, 7, 9));
    InitSettings().AlarmMsgFileEnable = false;
    EXPECT_TRUE(AppendAlarmMessageLine("2008-03-05 14:07:09", "TCP", "h", "25", "[m]"));
    const std::string path = InitSettings().LogDir + "AlarmMsg_2008-03-05.log";
    EXPECT_FALSE(std::filesystem::exists(path));
    InitSettings().AlarmMsgFileEnable = true;
    EXPECT_TRUE(AppendAlarmMessageLine("2008-03-05 14:07:09", "TCP", "h", "25", "[m]"));
    EXPECT_EQ(ReadFile(path), "2008-03-05 14:07:09 [TCP] [h] [25] [m]\r\n");

    // A failure warns in the console and writes nothing to the system log.
    std::string warning;
    Program().variant = ProgramVariant::Console;
    Program().showWarning = [&](const std::string& t) { warning = t; };
    InitSettings().AlarmMsgFilenamePath = app.appDir() + "/missing/";
    EXPECT_FALSE(AppendAlarmMessageLine("t", "TCP", "h", "25", "[m]"));
    EXPECT_EQ(warning.rfind("ERR00206 : Alarm log backup error. : ", 0), 0u);
    EXPECT_EQ(app.LogText(), "");
}
