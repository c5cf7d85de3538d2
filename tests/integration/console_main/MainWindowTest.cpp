// The console's main window on the offscreen platform against the private MariaDB server:
// the service list and address tree as the rows are stored, the filters, the row menu's
// commands, the alarm message list, the database errors of the list operations, the login
// window, the about and closing windows, and the hand-over with the daemon. Screenshots of
// every window go to <build>/screenshots/.
#include "console/Dialogs.h"
#include "console/TFormAbout.h"
#include "console/TFormClosing.h"
#include "console/TFormLoginDB.h"
#include "console/TFormMenu.h"
#include "console/TFormMenuApplication.h"
#include "console/TFormMenuHelp.h"

#include "checks/CheckItem.h"
#include "foundation/Clock.h"
#include "foundation/InitSettings.h"
#include "foundation/SystemLog.h"
#include "store/ServiceRecords.h"
#include "store/ZUVOzedovUzivara.h"
#include "tests/support/OffscreenApp.h"
#include "tests/support/TestDatabase.h"
#include "tests/support/TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QThread>
#include <QToolButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>

using namespace velmora;
using namespace std::chrono_literals;

namespace {

bool RunUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = 10s) {
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > limit.count()) {
            return false;
        }
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        std::this_thread::sleep_for(5ms);
    }
    return true;
}

void Shot(QWidget& w, const std::string& name) {
    const std::string dir = test::BinaryDir() + "/screenshots";
    std::filesystem::create_directories(dir);
    QApplication::processEvents();
    ASSERT_TRUE(w.grab().save(QString::fromStdString(dir + "/" + name + ".png")));
}

// A probe that answers at once (or after `holdMs`) with the outcome the row's title asks
// for: titles beginning "fail" fail, the others pass.
class QuickCheck : public CheckItem {
public:
    QuickCheck(CheckContext c, std::string type, std::string host, std::string port, bool pass,
               int holdMs)
        : CheckItem(std::move(type), std::move(c), std::move(host), std::move(port)),
          pass_(pass), holdMs_(holdMs) {}
    void Execute() override {
        std::this_thread::sleep_for(std::chrono::milliseconds(holdMs_));
        if (pass_) {
            SetPassed();
            result_text = "[" + Host() + ":" + Port() + " OK]";
        } else {
            SetFailed();
            result_text = "[" + Host() + ":" + Port() + " ERR10003 Invalid Host/IP]";
        }
    }

private:
    bool pass_;
    int holdMs_;
};

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::OffscreenApp();
        ASSERT_GT(test::ServerPort("mariadb"), 0) << "the mariadb fixture did not start";
        scope = std::make_unique<test::AppDirScope>();
        test::UseTestServer();
        TInitSettings& s = InitSettings();
        s.AlarmMsgFilenamePath = s.LogDir;
        s.InitStart = false;
        test::DropProgramDatabase();
        ASSERT_TRUE(Database().OpenAtStart());
        // systemctl stands in for a recorder of its arguments.
        systemctlLog = scope->appDir() + "/systemctl.log";
        const std::string script = scope->appDir() + "/systemctl";
        test::WriteFile(script, "#!/bin/sh\necho \"$@\" >> '" + systemctlLog + "'\n");
        std::filesystem::permissions(script, std::filesystem::perms::owner_all);
        setenv("VELMORA_SYSTEMCTL", script.c_str(), 1);
        dialogs::SetHeadless(true);
        dialogs::ClearShown();
        // 10:02 on a Monday: "every 1 min" services are due, "every 5 min" ones not.
        clock.Set(FromLocal(2026, 3, 16, 10, 2, 30));
        SetClock(&clock);
    }
    void TearDown() override {
        menu.reset();
        SetClock(nullptr);
        unsetenv("VELMORA_SYSTEMCTL");
        Database().Close();
        scope.reset();
    }

    TFormMenu::Options Opts(bool databaseOpened = true) {
        TFormMenu::Options o;
        o.loadSettings = false;
        o.openDatabase = false;
        o.databaseOpened = databaseOpened;
        o.versionPageUrl = "none";
        o.hooks.buildCheck = [this](const ServiceRow& row) -> std::unique_ptr<CheckItem> {
            ++built;
            CheckContext c;
            c.id = row.GetInt("id");
            c.no_of_cons_alarm = static_cast<int>(row.GetInt("no_of_cons_alarm"));
            c.current_no_of_cons_alarm = static_cast<int>(row.GetInt("current_no_of_cons_alarm"));
            c.service_status = row.Get("service_status");
            const bool pass = row.Get("title").rfind("fail", 0) != 0;
            return std::make_unique<QuickCheck>(c, row.Get("service"), row.Get("ip"),
                                                row.Get("port"), pass, holdMs);
        };
        return o;
    }

    // Creates the window and runs its engine start at once (instead of 3 s later).
    void Start(TFormMenu::Options o) {
        menu = std::make_unique<TFormMenu>(Database(), std::move(o));
        menu->show();
        menu->TimerInitTimer();
    }

    long long AddService(const std::string& title, const std::string& type, const std::string& ip,
                         const std::string& port, const std::string& by = "Daily",
                         const std::string& minute = "07",
                         std::initializer_list<std::pair<const char*, std::string>> extra = {}) {
        ServiceRow r;
        r.Set("title", title);
        r.Set("service", type);
        r.Set("ip", ip);
        r.Set("port", port);
        r.Set("schedule_by", by);
        r.Set("schedule_hour", "03");
        r.Set("schedule_minute", minute);
        r.Set("status", "Start");
        r.Set("no_of_cons_alarm", "3");
        for (const auto& [k, v] : extra) {
            r.Set(k, v);
        }
        std::string error;
        EXPECT_TRUE(InsertServiceRow(r, &error)) << error;
        return MaxId("service");
    }

    QTreeWidgetItem* Row(long long id) {
        QTreeWidget* list = menu->ServiceListView();
        for (int i = 0; i < list->topLevelItemCount(); ++i) {
            if (list->topLevelItem(i)->text(0).toLongLong() == id) {
                return list->topLevelItem(i);
            }
        }
        return nullptr;
    }

    QStringList TreeNodes() {
        QStringList n;
        for (int i = 0; i < menu->AddressTree()->topLevelItemCount(); ++i) {
            n << menu->AddressTree()->topLevelItem(i)->text(0);
        }
        return n;
    }

    std::string One(const std::string& sql) {
        const DbResult r = Database().Query(sql);
        return r.empty() ? std::string("<none>") : r[0].At(0);
    }

    bool ShownText(const QString& kind, const QString& text) {
        for (const auto& m : dialogs::ShownMessages()) {
            if (m.kind == kind && m.text == text) {
                return true;
            }
        }
        return false;
    }

    std::unique_ptr<test::AppDirScope> scope;
    ManualClock clock;
    std::unique_ptr<TFormMenu> menu;
    std::string systemctlLog;
    std::atomic<int> built{0};
    int holdMs = 0;
};

TEST_F(MainWindowTest, ServiceListColumnsTreeNodesAndRowColours) {
    const long long url = AddService("Status page", "URL", "http://10.0.0.5/status", "80");
    const long long ping = AddService("Gateway", "Ping", "10.0.0.1", "0", "Minutely", "5");
    const long long https = AddService("Secure shop", "URL", "https://shop.example/cart", "443",
                                       "Hourly", "30");
    const long long proc = AddService("Agent process", "WMI Process", "10.0.0.9", "5985", "Daily",
                                      "07", {{"wmi_process_name", "agent.exe"}});
    const long long share = AddService("Shared docs", "WMI Share Folder", "10.0.0.9", "5985",
                                       "Daily", "08", {{"wmi_process_name", "docs"}});
    const long long disk = AddService("Disk C", "WMI HD Freespace", "10.0.0.9", "5985", "Daily",
                                      "09", {{"wmi_freespace", "1073741824"}});
    const long long odd = AddService("Disk D", "WMI HD Freespace", "10.0.0.9", "5985", "Daily",
                                     "10", {{"wmi_freespace", "12345"}});
    Start(Opts());

    struct Expect {
        long long id;
        const char* ip;
        const char* port;
        const char* schedule;
    };
    const Expect cases[] = {
        {url, "10.0.0.5/status", "80", "Daily on 03:07"},
        {ping, "10.0.0.1", "---", "every 5 min"},
        {https, "https://shop.example/cart", "443", "Hourly on 30 min"},
        {proc, "10.0.0.9 : agent.exe", "5985", "Daily on 03:07"},
        {share, "10.0.0.9 : docs", "5985", "Daily on 03:08"},
        {disk, "10.0.0.9 : Freespace <= 1G", "5985", "Daily on 03:09"},
        {odd, "10.0.0.9 : Freespace <= 50G", "5985", "Daily on 03:10"},
    };
    for (const Expect& e : cases) {
        QTreeWidgetItem* item = Row(e.id);
        ASSERT_NE(item, nullptr) << e.id;
        EXPECT_EQ(item->text(3).toStdString(), e.ip);
        EXPECT_EQ(item->text(4).toStdString(), e.port);
        EXPECT_EQ(item->text(5).toStdString(), e.schedule);
        EXPECT_EQ(item->text(8), "Not Updated");
        EXPECT_EQ(item->text(6), "0");
        EXPECT_FALSE(item->text(7).isEmpty());
    }
    EXPECT_EQ(TreeNodes(), (QStringList{"ALL", "10.0.0.1", "10.0.0.5", "10.0.0.9", "https:"}));

    // Alternate rows carry the odd-row colour; sorting keeps the alternation.
    QTreeWidget* list = menu->ServiceListView();
    ASSERT_EQ(list->topLevelItemCount(), 7);
    EXPECT_EQ(list->topLevelItem(1)->background(1).color(), QColor(255, 205, 155));
    EXPECT_EQ(list->topLevelItem(0)->background(1).style(), Qt::NoBrush);
    emit list->header()->sectionClicked(1);
    EXPECT_EQ(list->topLevelItem(0)->text(1), "Agent process");
    emit list->header()->sectionClicked(1);
    EXPECT_EQ(list->topLevelItem(0)->text(1), "Status page");
    EXPECT_EQ(list->topLevelItem(1)->background(1).color(), QColor(255, 205, 155));
    EXPECT_EQ(list->topLevelItem(2)->background(1).style(), Qt::NoBrush);

    // The "https:" node lists every https service; a host node its services only.
    QTreeWidgetItem* node = menu->AddressTree()->topLevelItem(4);
    emit menu->AddressTree()->itemDoubleClicked(node, 0);
    EXPECT_EQ(menu->CurrentFilter(), "https:");
    ASSERT_EQ(list->topLevelItemCount(), 1);
    EXPECT_EQ(list->topLevelItem(0)->text(0).toLongLong(), https);
    menu->FillServiceList("10.0.0.5");
    ASSERT_EQ(list->topLevelItemCount(), 1);
    EXPECT_EQ(list->topLevelItem(0)->text(0).toLongLong(), url);
    menu->FillServiceList("WMI Process");
    EXPECT_EQ(list->topLevelItemCount(), 4);
    EXPECT_TRUE(dialogs::ShownMessages().empty());
}

TEST_F(MainWindowTest, FilterTcpHidesAUdpRowWhoseResultIsStillStored) {
    const long long tcp = AddService("Web port", "TCP", "127.0.0.1", "80", "Minutely", "1");
    const long long udp = AddService("fail dns port", "UDP", "127.0.0.1", "53", "Minutely", "1");
    Start(Opts()); // the start-up tick queues both
    menu->FillServiceList("TCP");
    ASSERT_EQ(menu->ServiceListView()->topLevelItemCount(), 1);
    EXPECT_EQ(menu->ServiceListView()->topLevelItem(0)->text(0).toLongLong(), tcp);
    ASSERT_TRUE(RunUntil([&] { return One("select service_status from service where id=" +
                                          std::to_string(udp)) == "Failed"; }));
    ASSERT_TRUE(RunUntil([&] { return Row(tcp)->text(8) == "Passed"; }));
    EXPECT_EQ(Row(udp), nullptr);
    EXPECT_EQ(One("select count(*) from access_history where service_id=" + std::to_string(udp)), "1");
    // The "Email" and "RSH" buttons use their own filters.
    for (const char* b : {"ToolButtonViewEmail", "ToolButtonViewRSH", "ToolButtonViewALL"}) {
        auto* button = menu->findChild<QToolButton*>(b);
        ASSERT_NE(button, nullptr) << b;
        button->click();
    }
    EXPECT_EQ(menu->CurrentFilter(), "ALL");
    EXPECT_EQ(menu->ServiceListView()->topLevelItemCount(), 2);
    auto* mq = menu->findChild<QToolButton*>("ToolButtonViewMQ");
    ASSERT_NE(mq, nullptr);
    EXPECT_FALSE(mq->isEnabled());
    EXPECT_EQ(mq->toolTip(), "It will be supported in next version.");
}

TEST_F(MainWindowTest, RunNowRowMenuStartStopAndResults) {
    const long long a = AddService("fail mail", "SMTP", "127.0.0.1", "25");
    const long long b = AddService("Web", "TCP", "127.0.0.1", "80");
    Start(Opts());
    ASSERT_EQ(built.load(), 0); // nothing due at 03:07
    // Without a selection the row commands are off.
    EXPECT_FALSE(menu->MenuServiceRunNow->isEnabled());

    // A row still under processing is not queued again.
    ASSERT_TRUE(menu->SelectService(a));
    EXPECT_TRUE(menu->MenuServiceRunNow->isEnabled());
    menu->ServiceProcessing(a);
    menu->MenuServiceRunNowClick();
    EXPECT_TRUE(ShownText("information", "This service is still under processing."));
    EXPECT_EQ(built.load(), 0);
    EXPECT_EQ(menu->Engine()->Pool()->WaitingCount() + menu->Engine()->Pool()->ExecutingCount(), 0);

    // Run Now of a stopped service runs it; the failed result is shown red and bold.
    menu->FillServiceList("ALL");
    ASSERT_TRUE(menu->SelectService(a));
    menu->MenuServiceStopClick();
    EXPECT_EQ(One("select status from service where id=" + std::to_string(a)), "Stop");
    EXPECT_FALSE(Row(a)->data(1, Qt::UserRole).toBool());
    menu->MenuServiceRunNowClick();
    EXPECT_EQ(Row(a)->text(8), "Processing");
    ASSERT_TRUE(RunUntil([&] { return Row(a)->text(8) == "Failed"; }));
    EXPECT_EQ(built.load(), 1);
    EXPECT_EQ(Row(a)->text(6), "1");
    EXPECT_TRUE(Row(a)->font(1).bold());
    EXPECT_EQ(Row(a)->foreground(1).color(), QColor(Qt::red));
    menu->MenuServiceStartClick();
    EXPECT_EQ(One("select status from service where id=" + std::to_string(a)), "Start");
    EXPECT_TRUE(Row(a)->data(1, Qt::UserRole).toBool());

    ASSERT_TRUE(menu->SelectService(b));
    menu->MenuServiceRunNowClick();
    ASSERT_TRUE(RunUntil([&] { return Row(b)->text(8) == "Passed"; }));
    EXPECT_FALSE(Row(b)->font(1).bold());

    // "Stop" and "Start" of the scheduling tick the actions and change every row's image.
    menu->ActionStopExecute();
    EXPECT_FALSE(menu->Engine()->SchedulingActive());
    EXPECT_FALSE(menu->Engine()->gateArmed);
    EXPECT_TRUE(menu->ActionStop->isChecked());
    EXPECT_TRUE(menu->ActionStart->isEnabled());
    EXPECT_FALSE(Row(b)->data(1, Qt::UserRole).toBool());
    menu->ActionStartExecute();
    EXPECT_TRUE(menu->Engine()->SchedulingActive());
    EXPECT_TRUE(menu->Engine()->gateArmed);
    EXPECT_TRUE(menu->ActionStart->isChecked());
    EXPECT_FALSE(menu->ActionStart->isEnabled());
    EXPECT_TRUE(Row(b)->data(1, Qt::UserRole).toBool());
    EXPECT_EQ(menu->findChild<QLabel*>("StatusBar")->text(), "Service scheduling starts.");
}

TEST_F(MainWindowTest, DeleteServiceRemovesUrlDetailsOnlyForUrlServices) {
    const long long url = AddService("Status page", "URL", "http://10.0.0.5/status", "80");
    const long long tcp = AddService("Web", "TCP", "10.0.0.6", "80");
    Database().Execute("insert into contact_person (name) values (\"Ann\")");
    for (long long id : {url, tcp}) {
        const std::string s = std::to_string(id);
        Database().Execute("insert into service_url_detail (service_id, fieldname, fieldvalue) "
                           "values (" + s + ", \"user\", \"x\"), (" + s + ", \"pass\", \"y\")");
        Database().Execute("insert into service_contact_person values (" + s + ", 1)");
        Database().Execute("insert into access_history (service_id, response_time, service_status) values (" +
                           s + ", 5, \"Passed\")");
    }
    Start(Opts());
    ASSERT_TRUE(menu->SelectService(tcp));
    menu->MenuServiceDeleteClick();
    EXPECT_EQ(Row(tcp), nullptr);
    EXPECT_EQ(One("select count(*) from service_url_detail where service_id=" + std::to_string(tcp)), "2");
    ASSERT_TRUE(menu->SelectService(url));
    menu->MenuServiceDeleteClick();
    EXPECT_EQ(Row(url), nullptr);
    EXPECT_EQ(One("select count(*) from service_url_detail where service_id=" + std::to_string(url)), "0");
    EXPECT_EQ(One("select count(*) from service_contact_person"), "0");
    EXPECT_EQ(One("select count(*) from service"), "0");
    EXPECT_EQ(One("select count(*) from access_history"), "2"); // history stays
    EXPECT_EQ(TreeNodes(), QStringList{"ALL"});
}

TEST_F(MainWindowTest, AlarmListKeepsShowLogItemRowsNewestOnTop) {
    InitSettings().ShowLogItem = 3;
    Start(Opts());
    QTreeWidget* list = menu->AlarmListView();
    for (int seq = 1; seq <= 4; ++seq) {
        menu->DeliveryQueued(seq, "2026-03-16 10:0" + std::to_string(seq) + ":00",
                             "[10.0.0.5:80 ERR10003 Invalid Host/IP]", "Email", "ops@example.org");
    }
    ASSERT_EQ(list->topLevelItemCount(), 3);
    EXPECT_EQ(list->topLevelItem(0)->text(0), "4");
    EXPECT_EQ(list->topLevelItem(2)->text(0), "2");
    EXPECT_EQ(list->topLevelItem(0)->text(5), "Pending");
    menu->DeliveryFinished(3, "Sent");
    EXPECT_EQ(list->topLevelItem(1)->text(5), "Sent");
    EXPECT_EQ(list->topLevelItem(1)->background(1).color(), QColor(255, 205, 155));
    menu->ActionClearAlarm->trigger();
    EXPECT_EQ(list->topLevelItemCount(), 0);
    // 0 means no limit.
    InitSettings().ShowLogItem = 0;
    for (int seq = 10; seq < 15; ++seq) {
        menu->DeliveryQueued(seq, "t", "m", "SysLog", "127.0.0.1");
    }
    EXPECT_EQ(list->topLevelItemCount(), 5);
}

TEST_F(MainWindowTest, DatabaseErrorsShowTheirCodeAndKeepTheLists) {
    const long long id = AddService("Web", "TCP", "10.0.0.6", "80");
    Start(Opts());
    ASSERT_TRUE(menu->SelectService(id));
    Database().Execute("drop table service");
    struct Case {
        std::function<void()> run;
        const char* code;
    };
    const Case cases[] = {
        {[&] { menu->FillServiceList("ALL"); }, "ERR90001-1 : "},
        {[&] { menu->AppendNewestService(); }, "ERR90001-2 : "},
        {[&] { menu->RefreshServiceRow(id); }, "ERR90001-3 : "},
        {[&] { menu->FillAddressTree(); }, "ERR90053 : "},
        {[&] { menu->MenuServiceStartClick(); }, "ERR90037 : "},
        {[&] { menu->MenuServiceStopClick(); }, "ERR90039 : "},
        {[&] { menu->MenuServiceDeleteClick(); }, "ERR90040 : "},
    };
    for (const Case& c : cases) {
        dialogs::ClearShown();
        c.run();
        ASSERT_EQ(dialogs::ShownMessages().size(), 1u) << c.code;
        const auto& m = dialogs::ShownMessages().front();
        EXPECT_EQ(m.kind, "error");
        EXPECT_TRUE(m.text.startsWith(c.code)) << m.text.toStdString();
        EXPECT_TRUE(m.text.contains("service")) << m.text.toStdString(); // the server's text
        EXPECT_NE(scope->LogText().find("[ERROR] " + std::string(c.code)), std::string::npos);
        ASSERT_NE(Row(id), nullptr) << c.code;
        EXPECT_EQ(TreeNodes(), (QStringList{"ALL", "10.0.0.6"})) << c.code;
    }
}

TEST_F(MainWindowTest, LoginRefusesABadPortAndStartsTheEngineThreeSecondsAfterConnect) {
    Database().Close();
    InitSettings().Port = "1"; // nothing listens there
    Start(Opts(/*databaseOpened=*/false));
    TFormLoginDB* login = menu->LoginForm();
    ASSERT_NE(login, nullptr);
    EXPECT_TRUE(login->isVisible());
    EXPECT_EQ(login->windowTitle(), "Login Database");
    EXPECT_EQ(login->StatusText(), "Please input the valid connecting parameters.");
    EXPECT_EQ(login->EditHost->text(), "127.0.0.1");
    EXPECT_EQ(login->EditPassword->echoMode(), QLineEdit::Password);
    EXPECT_FALSE(menu->menuBar()->isEnabled());
    EXPECT_EQ(menu->Engine()->Pool(), nullptr);
    Shot(*login, "login");

    login->EditPort->setText("abc");
    login->TntButtonConnect->click();
    EXPECT_TRUE(ShownText("information", "Database Port is invalid integer or empty."));
    EXPECT_FALSE(Database().IsOpen());
    EXPECT_EQ(InitSettings().Port, "1");

    login->EditPort->setText("1");
    login->TntButtonConnect->click();
    EXPECT_EQ(login->StatusText(), "The parameters are wrong, please input again.");
    EXPECT_TRUE(login->isVisible());

    login->EditPort->setText(QString::number(test::ServerPort("mariadb")));
    QElapsedTimer t;
    t.start();
    login->TntButtonConnect->click();
    EXPECT_FALSE(login->isVisible());
    EXPECT_TRUE(Database().IsOpen());
    EXPECT_TRUE(menu->DatabaseOpened());
    EXPECT_NE(scope->LogText().find("Application starts."), std::string::npos);
    ASSERT_TRUE(RunUntil([&] { return menu->Engine()->Pool() != nullptr; }, 8s));
    EXPECT_GE(t.elapsed(), 2900);
    EXPECT_TRUE(menu->menuBar()->isEnabled());
}

TEST_F(MainWindowTest, LoginCreatesAMissingDatabaseAndCancelEnds) {
    Database().Close();
    {
        ConnectionParams admin;
        admin.host = "127.0.0.1";
        admin.port = static_cast<unsigned>(test::ServerPort("mariadb"));
        admin.database = "mysql";
        ZUVOzedovUzivara a;
        a.Open(admin);
        a.Execute("drop database velmoradb");
    }
    Start(Opts(false));
    TFormLoginDB* login = menu->LoginForm();
    ASSERT_NE(login, nullptr);
    login->createWaitMs = 10;
    login->TntButtonConnect->click();
    EXPECT_FALSE(login->isVisible());
    EXPECT_EQ(One("select count(*) from service"), "0");
    EXPECT_EQ(menu->findChild<QLabel*>("StatusBar")->text(),
              "Please be patient, it may take a few second for first start.");

    // A second window without a database: Cancel ends the console.
    menu.reset();
    Database().Close();
    InitSettings().Port = "1";
    Start(Opts(false));
    bool ended = false;
    menu->LoginForm()->onCancel = [&] { ended = true; };
    menu->LoginForm()->TntButtonCancel->click();
    EXPECT_TRUE(ended);
    EXPECT_FALSE(menu->LoginForm()->isVisible());
}

TEST_F(MainWindowTest, ClosingDrainsRunningChecksAndHandsOverToTheDaemon) {
    InitSettings().RunAsWinService = true;
    const long long id = AddService("Slow web", "TCP", "127.0.0.1", "80");
    holdMs = 1500;
    Start(Opts());
    EXPECT_EQ(test::ReadFile(systemctlLog), "--no-block stop velmorapro.service\n");
    ASSERT_TRUE(menu->SelectService(id));
    menu->MenuServiceRunNowClick();
    ASSERT_TRUE(RunUntil([&] { return menu->Engine()->Pool()->ExecutingCount() > 0; }));
    bool shown = false;
    menu->onClosingShown = [&](TFormClosing& f) {
        shown = true;
        EXPECT_EQ(f.windowTitle(), "Application is closing, it may take a few seconds...");
        QApplication::processEvents();
        Shot(f, "closing");
    };
    menu->close();
    EXPECT_TRUE(shown);
    EXPECT_EQ(menu->ClosingForm(), nullptr);
    EXPECT_EQ(One("select service_status from service where id=" + std::to_string(id)), "Passed");
    menu->FormDestroy();
    EXPECT_EQ(test::ReadFile(systemctlLog), "--no-block stop velmorapro.service\n--no-block start velmorapro.service\n");
    const std::string log = scope->LogText();
    EXPECT_LT(log.find("Service scheduling stops."), log.find("Application stops."));
    EXPECT_NE(test::ReadFile(InitSettings().SettingsPath).find("WindowWidth"), std::string::npos);

    // Without a database the daemon is not started at exit.
    menu.reset();
    test::WriteFile(systemctlLog, "");
    Start(Opts(false));
    menu->FormDestroy();
    EXPECT_EQ(test::ReadFile(systemctlLog), "--no-block stop velmorapro.service\n");
}

TEST_F(MainWindowTest, AboutHelpAndTheLastResortDialog) {
    Start(Opts());
    {
        TFormAbout about(menu.get(), menu.get());
        EXPECT_EQ(about.windowTitle(), "About...");
        about.show();
        Shot(about, "about");
        menu->SetMainControlsEnabled(false);
        about.TntButtonOK->click();
        EXPECT_TRUE(menu->menuBar()->isEnabled());
    }
    // Nested forms: the controls come back with the outermost one only.
    menu->SetMainControlsEnabled(false);
    menu->NestedFormOpened();
    menu->NestedFormClosed();
    EXPECT_FALSE(menu->menuBar()->isEnabled());
    menu->NestedFormClosed();
    EXPECT_TRUE(menu->menuBar()->isEnabled());

    // Help pages open in the browser from the help folder of the installation.
    const std::string help = scope->appDir() + "/help";
    std::filesystem::create_directories(help);
    test::WriteFile(help + "/index.html", "<html></html>");
    test::WriteFile(help + "/newservice.htm", "<html></html>");
    ASSERT_TRUE(CheckHelpFile());
    QStringList opened;
    UrlOpenerForTests() = [&](const QString& u) { opened << u; };
    menu->ActionHelp->trigger();
    ShowHelpTopic(menu.get(), "newservice.htm");
    menu->ActionHomePage->trigger();
    UrlOpenerForTests() = nullptr;
    ASSERT_EQ(opened.size(), 3);
    EXPECT_TRUE(opened[0].endsWith("/help/index.html"));
    EXPECT_TRUE(opened[1].endsWith("/help/newservice.htm"));
    EXPECT_TRUE(opened[2].startsWith("http://"));

    ApplicationEventsException("boom");
    const QString text = "ERROR : Please send this error message to support@velmorapro.example "
                         "for trouble solving. : boom";
    EXPECT_TRUE(ShownText("error", text));
    EXPECT_NE(scope->LogText().find("[ERROR] " + text.toStdString()), std::string::npos);
}

TEST_F(MainWindowTest, WindowSizeBarsAndRunAsService) {
    struct Case {
        bool firstRun;
        int width, height;
        bool maximised;
    };
    // The offscreen screen is narrower than 1024 pixels: a first run gives 800 x 572 maximised.
    const bool narrow = QGuiApplication::primaryScreen()->geometry().width() < 1024;
    const Case cases[] = {{false, 900, 700, false}, {true, 800, 572, narrow}};
    for (const Case& c : cases) {
        TInitSettings& s = InitSettings();
        s.FirstRun = c.firstRun;
        s.WindowWidth = 900;
        s.WindowHeight = 700;
        s.ShowFunctionBar = false;
        s.ShowWindowAlarmLog = false;
        menu = std::make_unique<TFormMenu>(Database(), Opts());
        if (!c.firstRun || narrow) {
            EXPECT_EQ(menu->isMaximized() || (menu->windowState() & Qt::WindowMaximized), c.maximised);
            const QSize size = menu->isMaximized() ? menu->normalGeometry().size() : menu->size();
            if (!c.maximised) {
                EXPECT_EQ(size, QSize(c.width, c.height));
            }
        }
        EXPECT_FALSE(menu->ActionFunctionBar->isChecked());
        EXPECT_FALSE(menu->ActionAlarmMessages->isChecked());
        // The controls rest until the engine has started.
        EXPECT_FALSE(menu->menuBar()->isEnabled());
        menu->ActionFunctionBar->trigger();
        menu->FormDestroy();
        EXPECT_TRUE(s.ShowFunctionBar);
        EXPECT_FALSE(s.ShowWindowAlarmLog);
        menu.reset();
    }
    InitSettings().RunAsService = true;
    Start(Opts());
    EXPECT_FALSE(menu->isVisible());
    EXPECT_TRUE(menu->menuBar()->isEnabled());
}

// Every state a row can show, alarm rows, and a filtered view.
TEST_F(MainWindowTest, Screenshots) {
    InitSettings().ShowLogItem = 100;
    AddService("Company home page", "URL", "http://www.example.org/index.html", "80", "Minutely", "5");
    const long long failed = AddService("fail mail relay", "SMTP", "mail.example.org", "25");
    const long long passed = AddService("Intranet web port", "TCP", "10.0.0.6", "8080", "Hourly", "15");
    const long long proc = AddService("Print spooler", "WMI Process", "10.0.0.9", "5985", "Daily",
                                      "07", {{"wmi_process_name", "spoolsv.exe"}});
    AddService("System drive", "WMI HD Freespace", "10.0.0.9", "5985", "Daily", "09",
               {{"wmi_freespace", "10737418240"}});
    AddService("Gateway", "Ping", "10.0.0.1", "0", "Minutely", "1");
    AddService("Secure shop", "URL", "https://shop.example.org/cart", "443", "Hourly", "30");
    AddService("Name server", "DNS", "10.0.0.2", "53");
    Start(Opts());
    ASSERT_TRUE(menu->SelectService(failed));
    menu->MenuServiceStopClick();
    menu->MenuServiceRunNowClick();
    ASSERT_TRUE(menu->SelectService(passed));
    menu->MenuServiceRunNowClick();
    ASSERT_TRUE(RunUntil([&] { return Row(failed)->text(8) == "Failed" && Row(passed)->text(8) == "Passed"; }));
    menu->ServiceProcessing(proc);
    menu->DeliveryQueued(1, "2026-03-16 10:05:00", "[mail.example.org:25 ERR10003 Invalid Host/IP]",
                         "Email", "ops@example.org;admin@example.org");
    menu->DeliveryQueued(2, "2026-03-16 10:05:00", "[mail.example.org:25 ERR10003 Invalid Host/IP]",
                         "SMS", "+15551234567");
    menu->DeliveryQueued(3, "2026-03-16 10:05:01", "[mail.example.org:25 ERR10003 Invalid Host/IP]",
                         "SysLog", "127.0.0.1");
    menu->DeliveryFinished(1, "Sent");
    menu->DeliveryFinished(2, "Error");
    menu->resize(1280, 800);
    menu->FillAddressTree();
    QApplication::processEvents();
    Shot(*menu, "main_window");
    // Every column is wide enough for its longest text.
    QTreeWidget* list = menu->ServiceListView();
    for (int c = 1; c < 8; ++c) {
        for (int i = 0; i < list->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* item = list->topLevelItem(i);
            const int need = QFontMetrics(item->font(c)).horizontalAdvance(item->text(c)) +
                             (c == 1 ? 24 : 0);
            EXPECT_LE(need, list->columnWidth(c)) << "column " << c << " row " << i;
        }
    }
    // At this size the whole list is in view, the Result column included, and the tree shows
    // its longest host.
    const int right = list->header()->sectionViewportPosition(8) + 60;
    EXPECT_LE(right, list->viewport()->width());
    QTreeWidget* tree = menu->AddressTree();
    EXPECT_LE(QFontMetrics(tree->font()).horizontalAdvance("www.example.org") + 20,
              tree->viewport()->width());
    menu->FillServiceList("10.0.0.9");
    Shot(*menu, "main_window_filtered");
}

} // namespace
