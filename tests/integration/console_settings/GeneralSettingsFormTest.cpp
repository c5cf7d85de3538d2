// "Options": the checks in their order and tabs, applying every key to SysInit.ini,
// registering and removing the systemd unit, "Default" and "Cancel".
#include "ConsoleSettingsTest.h"

#include "console/TFormSettings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>

#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>

using namespace velmora;
using namespace velmora::test;

namespace {

class GeneralSettingsForm : public ::testing::Test {
protected:
    void SetUp() override {
        OffscreenApp();
        dialogs::SetHeadless(true);
        dialogs::ClearShown();
        std::filesystem::create_directory(units / "units");
        WriteFile(units / "systemctl", "#!/bin/sh\necho \"$@\" >> \"" + units / "calls" + "\"\n");
        ::chmod((units / "systemctl").c_str(), 0755);
        ::setenv("VELMORA_SYSTEMD_DIR", (units / "units").c_str(), 1);
        ::setenv("VELMORA_SYSTEMCTL", (units / "systemctl").c_str(), 1);
        InitSettings().ServiceExePath = scope.appDir() + "/bin/VelmoraProService";
    }
    void TearDown() override {
        ::unsetenv("VELMORA_SYSTEMD_DIR");
        ::unsetenv("VELMORA_SYSTEMCTL");
    }
    std::string Ini() { return ReadFile(scope.appDir() + "/conf/SysInit.ini"); }
    std::string Unit() { return units / "units/velmorapro.service"; }

    AppDirScope scope;
    TempDir units;
    RecordingHost host;
};

} // namespace

TEST_F(GeneralSettingsForm, ChecksInOrderOnTheirTabsNothingStored) {
    TFormSettings form(&host);
    form.show();
    EXPECT_EQ(host.status.last(), QStringLiteral("Updating the settings."));
    auto* tabs = Child<QTabWidget>(form, "TntPageControl");
    auto set = [&](const char* name, const QString& v) { Child<QLineEdit>(form, name)->setText(v); };
    struct Case {
        const char* field;
        QString value;
        QString message;
        int tab;
    } cases[] = {
        {"TntEditMaxConcurrent", "", "Max Concurrent Alarms is invalid integer or empty.", 1},
        {"TntEditNoQueuing", "x", "No. of Queuing Alarms is invalid integer or empty.", 1},
        {"TntEditQueuingTime", "1.5", "Alarm Queuing Time is invalid integer or empty.", 1},
        {"TntEditHost", "", "Database Host field is empty.", 2},
        {"TntEditPort", "", "Database Port is invalid integer or empty.", 2},
        {"TntEditFilePath", "", "Alarm Msg File Path field is empty.", 3},
    };
    for (const Case& c : cases) {
        form.FormShow();
        tabs->setCurrentIndex(0);
        set(c.field, c.value);
        EXPECT_FALSE(form.TntButtonOKClick()) << c.field;
        EXPECT_EQ(TakeMessages(), QStringList{"information: " + c.message});
        EXPECT_EQ(tabs->currentIndex(), c.tab) << c.field;
    }
    // The first failing check wins.
    form.FormShow();
    set("TntEditPort", "");
    set("TntEditNoQueuing", "");
    EXPECT_FALSE(form.TntButtonOKClick());
    EXPECT_EQ(TakeMessages(), QStringList{"information: No. of Queuing Alarms is invalid integer or empty."});
    EXPECT_FALSE(std::filesystem::exists(scope.appDir() + "/conf/SysInit.ini"));
    EXPECT_EQ(InitSettings().Port, "3306");
}

TEST_F(GeneralSettingsForm, ApplyWritesEveryKeyAndRegistersTheService) {
    TFormSettings form(&host);
    form.show();
    Child<QComboBox>(form, "TntComboBoxInitStart")->setCurrentIndex(1);
    Child<QCheckBox>(form, "TntCheckBoxRunAsWinService")->setChecked(true);
    Child<QLineEdit>(form, "TntEditSysLogFilename")->setText("sys \"q\"_");
    Child<QComboBox>(form, "TntComboBoxSysLogHouseKeepDay")->setCurrentIndex(29);
    Child<QComboBox>(form, "TntComboBoxNumberOfLogs")->setCurrentIndex(249);
    Child<QLineEdit>(form, "TntEditMaxConcurrent")->setText("-3");
    Child<QLineEdit>(form, "TntEditHost")->setText("db.example.test");
    Child<QLineEdit>(form, "TntEditPassword")->setText("pä\\ss");
    Child<QCheckBox>(form, "TntCheckBoxFileEnable")->setChecked(false);
    Child<QLineEdit>(form, "TntEditFilePath")->setText("");
    EXPECT_FALSE(Child<QLineEdit>(form, "TntEditFileName")->isEnabled());
    ASSERT_TRUE(form.TntButtonOKClick());   // an empty path is fine while the file backup is off
    EXPECT_EQ(Child<QStatusBar>(form, "TntStatusBar")->currentMessage(), QStringLiteral("Option settings saved."));
    EXPECT_EQ(host.status.last(), QStringLiteral("Option settings saved."));
    const TInitSettings& s = InitSettings();
    EXPECT_FALSE(s.InitStart);
    EXPECT_TRUE(s.RunAsWinService);
    EXPECT_EQ(s.SystemLogHouseKeepDay, 30);
    EXPECT_EQ(s.ShowLogItem, 250);
    EXPECT_EQ(s.NoConcurrentAlarm, -3);
    EXPECT_EQ(s.DBPassword, "pä\\ss");
    const std::string ini = Ini();
    for (const char* line : {"InitStart=0", "runAsWinService=1", "Host=db.example.test", "DBPassword=pä\\ss",
                             "HouseKeepDay=30", "ShowLogItem=250", "NoConcurrentAlarm=-3", "Filename=sys \"q\"_"})
        EXPECT_NE(ini.find(line), std::string::npos) << line << "\n" << ini;
    ASSERT_TRUE(std::filesystem::exists(Unit()));
    EXPECT_NE(ReadFile(Unit()).find("ExecStart=" + s.ServiceExePath), std::string::npos);

    // Ticked again: registered once; unticked: removed.
    form.FormShow();
    ASSERT_TRUE(form.TntButtonOKClick());
    EXPECT_EQ(ReadFile(units / "calls"), "daemon-reload\nenable velmorapro.service\n");
    Child<QCheckBox>(form, "TntCheckBoxRunAsWinService")->setChecked(false);
    ASSERT_TRUE(form.TntButtonOKClick());
    EXPECT_FALSE(std::filesystem::exists(Unit()));
    EXPECT_NE(ReadFile(units / "calls").find("disable velmorapro.service"), std::string::npos);
}

TEST_F(GeneralSettingsForm, ChoiceWithoutSelectionRefusedBeforeAnythingIsApplied) {
    InitSettings().ShowLogItem = 0;
    InitSettings().SystemLogHouseKeepDay = 1000;
    TFormSettings form(&host);
    form.show();
    EXPECT_EQ(Child<QComboBox>(form, "TntComboBoxNumberOfLogs")->currentIndex(), -1);
    Child<QLineEdit>(form, "TntEditHost")->setText("changed.test");
    EXPECT_FALSE(form.TntButtonOKClick());
    EXPECT_EQ(TakeMessages(), QStringList{"information: System Log House Keep Day is invalid integer or empty."});
    Child<QComboBox>(form, "TntComboBoxSysLogHouseKeepDay")->setCurrentIndex(6);
    EXPECT_FALSE(form.TntButtonOKClick());
    EXPECT_EQ(TakeMessages(), QStringList{"information: Number of Logs is invalid integer or empty."});
    EXPECT_EQ(Child<QTabWidget>(form, "TntPageControl")->currentIndex(), 0);
    EXPECT_EQ(InitSettings().Host, "localhost");
    EXPECT_EQ(InitSettings().SystemLogHouseKeepDay, 1000);
    EXPECT_FALSE(std::filesystem::exists(scope.appDir() + "/conf/SysInit.ini"));
}

TEST_F(GeneralSettingsForm, DefaultThenCancelChangesNothing) {
    InitSettings().Host = "keep.test";
    InitSettings().NoQueuingAlarm = 77;
    TFormSettings form(&host);
    form.show();
    auto* tabs = Child<QTabWidget>(form, "TntPageControl");
    const char* names[] = {"general", "concurrent", "database", "backup"};
    for (int i = 0; i < tabs->count(); ++i) {
        tabs->setCurrentIndex(i);
        Shot(form, QStringLiteral("options_%1").arg(names[i]));
    }
    Child<QPushButton>(form, "TntButtonDefault")->click();
    EXPECT_EQ(Child<QLineEdit>(form, "TntEditHost")->text(), QStringLiteral("localhost"));
    EXPECT_EQ(Child<QLineEdit>(form, "TntEditNoQueuing")->text(), QStringLiteral("1000"));
    EXPECT_EQ(Child<QComboBox>(form, "TntComboBoxNumberOfLogs")->currentText(), QStringLiteral("100"));
    EXPECT_FALSE(Child<QCheckBox>(form, "TntCheckBoxFileEnable")->isChecked());
    EXPECT_FALSE(Child<QComboBox>(form, "TntComboBoxDBHouseKeepDay")->isEnabled());
    EXPECT_EQ(Child<QStatusBar>(form, "TntStatusBar")->currentMessage(),
              QStringLiteral("Reset the settings to default. Please click OK to save the settings, or Cancel to "
                             "cancel the changes."));
    Child<QPushButton>(form, "TntButtonCancel")->click();
    EXPECT_EQ(host.status.last(), QStringLiteral("Updating option settings cancel."));
    EXPECT_FALSE(form.Applied());
    EXPECT_EQ(InitSettings().Host, "keep.test");
    EXPECT_EQ(InitSettings().NoQueuingAlarm, 77);
    EXPECT_FALSE(std::filesystem::exists(scope.appDir() + "/conf/SysInit.ini"));
}

TEST_F(GeneralSettingsForm, PathButtonTakesTheChosenFilesDirectory) {
    TFormSettings form(&host);
    form.show();
    dialogs::QueueFileName("/srv/alarms/backup/AlarmMsg_2026-12-11.log");
    Child<QPushButton>(form, "TntButtonFilePath")->click();
    EXPECT_EQ(Child<QLineEdit>(form, "TntEditFilePath")->text(), QStringLiteral("/srv/alarms/backup/"));
    EXPECT_TRUE(Child<QPushButton>(form, "TntButtonOK")->isEnabled());
    dialogs::QueueFileName("");   // canceled: unchanged
    Child<QPushButton>(form, "TntButtonFilePath")->click();
    EXPECT_EQ(Child<QLineEdit>(form, "TntEditFilePath")->text(), QStringLiteral("/srv/alarms/backup/"));
    ASSERT_TRUE(form.TntButtonOKClick());
    EXPECT_EQ(InitSettings().AlarmMsgFilenamePath, "/srv/alarms/backup/");
}

TEST_F(GeneralSettingsForm, UnwritableFileIsNotReportedAsSaved) {
    std::filesystem::create_directories(scope.appDir() + "/conf/SysInit.ini");   // a directory: no file
    TFormSettings form(&host);
    form.show();
    EXPECT_FALSE(form.TntButtonOKClick());
    EXPECT_NE(Child<QStatusBar>(form, "TntStatusBar")->currentMessage(), QStringLiteral("Option settings saved."));
    EXPECT_NE(scope.LogText().find("ERR00203 : "), std::string::npos) << scope.LogText();
}
