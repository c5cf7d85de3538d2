#include "foundation/InitSettings.h"
#include "foundation/SystemLog.h"
#include "tests/support/TestSupport.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <netdb.h>
#include <sys/stat.h>

using namespace velmora;
using velmora::test::AppDirScope;
using velmora::test::ReadFile;
using velmora::test::WriteFile;

namespace {

struct CorrectionCase {
    const char* ini;            // file text
    ProgramVariant variant;
    std::function<bool(const TInitSettings&)> expect;
    const char* what;
};

} // namespace

TEST(Settings, CorrectionsAfterReading) {
    const CorrectionCase cases[] = {
        {"[System]\nWindowWidth=-5\n", ProgramVariant::Console,
         [](const TInitSettings& s) { return s.WindowWidth == 1024; }, "WindowWidth -5 -> 1024"},
        {"[System]\nWindowWidth=0\n", ProgramVariant::Console,
         [](const TInitSettings& s) { return s.WindowWidth == 0; }, "WindowWidth 0 stays"},
        {"[System]\nWindowHeight=-1\nShowLogItem=-1\n", ProgramVariant::Console,
         [](const TInitSettings& s) { return s.WindowHeight == 768 && s.ShowLogItem == 100; },
         "WindowHeight/ShowLogItem negative"},
        {"[System Log]\nHouseKeepDay=0\n[Alarm Msg File Backup]\nHouseKeepDay=0\n"
         "[Alarm Msg DB Backup]\nHouseKeepDay=-2\n",
         ProgramVariant::Service,
         [](const TInitSettings& s) {
             return s.SystemLogHouseKeepDay == 7 && s.AlarmMsgFileHouseKeepDay == 0 &&
                    s.AlarmMsgDBHouseKeepDay == -2;
         },
         "HouseKeepDay corrected only for the system log"},
        {"[Alarming]\nNoConcurrentAlarm=lots\nNoQueuingAlarm=0\nQueningSecond=-10\n",
         ProgramVariant::Service,
         [](const TInitSettings& s) {
             return s.NoConcurrentAlarm == 500 && s.NoQueuingAlarm == 1000 &&
                    s.QueningSecond == 600;
         },
         "Alarming keys"},
        {"[system]\nisdebug=2\n", ProgramVariant::Service,
         [](const TInitSettings& s) { return s.isDebug; }, "isDebug 2 is true, names any case"},
        {"[System]\nisDebug=yes\n", ProgramVariant::Service,
         [](const TInitSettings& s) { return !s.isDebug; }, "isDebug not a number is false"},
        {"[SYSTEM]\nRUNASWINSERVICE=1\n", ProgramVariant::Console,
         [](const TInitSettings& s) { return s.RunAsWinService; }, "capitalised key"},
        {"[System]\nWindowWidth=10\n", ProgramVariant::Service,
         [](const TInitSettings& s) { return s.WindowWidth == 1024; },
         "service variant ignores console keys"},
        {"garbage\n\x01\x02\xff\n[Database\nHost=x\n=y\n[Database]\nHost = db.example \nPort=3307\n",
         ProgramVariant::Service,
         [](const TInitSettings& s) { return s.Host == "db.example" && s.Port == "3307"; },
         "garbage lines ignored"},
    };
    for (const auto& c : cases) {
        AppDirScope app;
        WriteFile(InitSettings().SettingsPath, c.ini);
        LoadSettings(c.variant);
        EXPECT_TRUE(c.expect(InitSettings())) << c.what;
        EXPECT_FALSE(InitSettings().FirstRun) << c.what;
    }
}

TEST(Settings, MissingFileGivesDefaultsAndFirstSaveCreatesPrivateFile) {
    AppDirScope app;
    LoadSettings(ProgramVariant::Console);
    const TInitSettings& s = InitSettings();
    EXPECT_TRUE(s.FirstRun);
    EXPECT_EQ(s.Host, "localhost");
    EXPECT_EQ(s.Port, "3306");
    EXPECT_EQ(s.AlarmMsgFilenamePath, s.LogDir);
    EXPECT_EQ(s.NoConcurrentAlarm, 500);
    ASSERT_TRUE(SaveSettings(ProgramVariant::Console));
    struct stat st{};
    ASSERT_EQ(::stat(s.SettingsPath.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    const std::string text = ReadFile(s.SettingsPath);
    EXPECT_NE(text.find("[System]\r\nInitStart=1\r\nWindowWidth=1024\r\n"), std::string::npos);
    EXPECT_NE(text.find("runAsWinService=0"), std::string::npos);
    EXPECT_EQ(text.find("isDebug"), std::string::npos);
}

TEST(Settings, SaveReplacesInPlaceAndKeepsForeignLines) {
    AppDirScope app;
    const std::string before = "; written by hand\r\n[SYSTEM]\r\nRUNASWINSERVICE=1\r\n"
                               "WindowWidth=800\r\nSomeOtherTool=keep me\r\n\r\n"
                               "[Database]\r\nHost=db1\r\n";
    WriteFile(InitSettings().SettingsPath, before);

    // The service program leaves the console's keys alone.
    LoadSettings(ProgramVariant::Service);
    InitSettings().WindowWidth = 333;
    ASSERT_TRUE(SaveSettings(ProgramVariant::Service));
    std::string text = ReadFile(InitSettings().SettingsPath);
    EXPECT_NE(text.find("; written by hand\r\n[SYSTEM]\r\nRUNASWINSERVICE=1\r\nWindowWidth=800\r\n"
                        "SomeOtherTool=keep me\r\nInitStart=1\r\n\r\n[Database]\r\nHost=db1\r\n"),
              std::string::npos)
        << text;

    // The console replaces the capitalised key instead of adding a second one.
    InitSettings() = TInitSettings{};
    InitSettings().AppDir = app.appDir();
    CheckLogDir();
    CheckConfDir();
    LoadSettings(ProgramVariant::Console);
    EXPECT_TRUE(InitSettings().RunAsWinService);
    InitSettings().RunAsWinService = false;
    ASSERT_TRUE(SaveSettings(ProgramVariant::Console));
    text = ReadFile(InitSettings().SettingsPath);
    EXPECT_NE(text.find("RUNASWINSERVICE=0\r\n"), std::string::npos);
    EXPECT_EQ(text.find("runAsWinService"), std::string::npos);
    EXPECT_NE(text.find("SomeOtherTool=keep me"), std::string::npos);
    EXPECT_NE(text.find("; written by hand"), std::string::npos);
}

TEST(Settings, UnreadableFileWarnsKeepsDefaultsAndIsNotOverwritten) {
    AppDirScope app;
    // A directory where the file should be cannot be read by anyone, root included.
    std::filesystem::create_directory(InitSettings().SettingsPath);
    LoadSettings(ProgramVariant::Service);
    EXPECT_EQ(InitSettings().Host, "localhost");
    const std::string log = app.LogText();
    EXPECT_NE(log.find("[WARMING] ERR00203 : System init file not found. : "), std::string::npos)
        << log;
    EXPECT_FALSE(SaveSettings(ProgramVariant::Service));
    EXPECT_TRUE(std::filesystem::is_directory(InitSettings().SettingsPath));
}

TEST(Settings, EmptyLogPrefixIsRepairedAndSaved) {
    AppDirScope app;
    WriteFile(InitSettings().SettingsPath, "[System Log]\r\nFilename=\r\n");
    LoadSettings(ProgramVariant::Service);
    EXPECT_EQ(InitSettings().SystemLogFilename, "");
    WriteSystemLog("hello", LogInfo);
    EXPECT_EQ(InitSettings().SystemLogFilename, "system_");
    EXPECT_NE(app.LogText().find("[INFO] hello"), std::string::npos);
    ASSERT_TRUE(SaveSettings(ProgramVariant::Service));
    EXPECT_NE(ReadFile(InitSettings().SettingsPath).find("[System Log]\r\nFilename=system_\r\n"),
              std::string::npos);
}

TEST(Settings, NetworkProblemMapping) {
    EXPECT_EQ(NetworkProblem(EINPROGRESS, false, 0, ""), "ERR00304 : Network is in progress.");
    EXPECT_EQ(NetworkProblem(ENETDOWN, false, 0, ""), "ERR00303 : Network is down.");
    EXPECT_EQ(NetworkProblem(ENOSYS, false, 0, ""), "ERR00302 : Winsock is not initialised.");
    EXPECT_EQ(NetworkProblem(EACCES, false, 0, ""), "");
    EXPECT_EQ(NetworkProblem(0, true, EAI_NONAME, "no such host"),
              "ERR00305 : Network connection fail. : no such host");
    EXPECT_EQ(NetworkProblem(0, true, 0, ""), "");
}
