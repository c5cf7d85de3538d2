// The new-service wizard against the private MariaDB server: navigation and its texts, what
// Finish stores (schedule, URL host, post fields, text exactly as typed, contacts), the
// validation messages, test runs against a loopback listener, and a refused insert.
#include "WizardTestSupport.h"

#include "console/ConsoleHost.h"
#include "console/TFormSetupScheduling.h"
#include "console/TFrameURLForm.h"

#include "engine/MonitorEngine.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <thread>

using namespace velmora;
using namespace velmora::test;
using W = TFormSetupScheduling;

namespace {

class WizardTest : public ConsoleDbTest {
protected:
    void SetUp() override {
        ConsoleDbTest::SetUp();
        wiz = std::make_unique<TFormSetupScheduling>(nullptr);
        wiz->show();
        pages = wiz->Pages();
    }
    void TearDown() override {
        wiz.reset();
        ConsoleDbTest::TearDown();
    }
    // From "Startup" to Step 2 with the given schedule.
    void ToStep2(const QString& by = "Hourly", const QString& a = "05", const QString& b = {}) {
        wiz->TntButtonNextClick();
        ChooseSchedule(wiz.get(), by, a, b);
        wiz->TntButtonNextClick();
        ASSERT_EQ(wiz->CurrentPage(), W::Step2) << Shown();
    }
    // From Step 2 through Finish, with nothing ticked on the alarm page but `alarm`.
    void FinishFromStep2(const QString& alarm = {}) {
        while (wiz->CurrentPage() != W::Step5) {
            const int before = wiz->CurrentPage();
            wiz->TntButtonNextClick();
            ASSERT_NE(wiz->CurrentPage(), before) << Shown();
        }
        if (!alarm.isEmpty()) {
            Child<QCheckBox>(wiz.get(), "CheckFailure" + alarm)->setChecked(true);
        }
        wiz->TntButtonNextClick();
        ASSERT_EQ(wiz->CurrentPage(), W::Step6) << Shown();
        wiz->TntButtonNextClick();
    }

    std::unique_ptr<TFormSetupScheduling> wiz;
    TServiceEditPages* pages = nullptr;
};

bool WaitFor(const std::function<bool()>& done, int ms = 15000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!done() && std::chrono::steady_clock::now() < end) {
        QApplication::processEvents(QEventLoop::AllEvents, 50);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return done();
}

} // namespace

TEST_F(WizardTest, MinutelyPingSkipsStep3BothWaysAndSysLogAloneFinishes) {
    EXPECT_FALSE(Child<QPushButton>(wiz.get(), "ButtonBack")->isEnabled());
    EXPECT_EQ(Child<QPushButton>(wiz.get(), "ButtonNext")->text(), "&Next >");
    wiz->TntButtonNextClick();
    EXPECT_EQ(wiz->CurrentPage(), W::Step1);
    EXPECT_EQ(wiz->StatusText(), "Please select the scheduling method.");
    wiz->TntButtonNextClick();  // nothing chosen
    EXPECT_EQ(wiz->CurrentPage(), W::Step1);
    EXPECT_EQ(Shown(), "Please select the scheduling method.");
    Child<QRadioButton>(wiz.get(), "RadioByMinutely")->setChecked(true);
    wiz->TntButtonNextClick();  // list still at "Please select"
    EXPECT_EQ(Shown(), "Please select the scheduling method.");
    ChooseSchedule(wiz.get(), "Minutely", "15");
    wiz->TntButtonNextClick();
    EXPECT_EQ(wiz->CurrentPage(), W::Step2);
    EXPECT_EQ(wiz->StatusText(), "Please select service.");

    pages->SelectType("Ping");
    EXPECT_EQ(pages->SslHeading()->text(), "Ping does not support SSL.");
    SetField(pages, "Ping", "ip", "127.0.0.1");
    wiz->TntButtonNextClick();
    EXPECT_EQ(wiz->CurrentPage(), W::Step4);
    EXPECT_EQ(Child<QLabel>(wiz.get(), "LabelService")->text(), "Service : Ping");
    EXPECT_EQ(Child<QLabel>(wiz.get(), "LabelIP")->text(), "IP : 127.0.0.1");
    EXPECT_EQ(Child<QLabel>(wiz.get(), "LabelPort")->text(), "Port : ");
    wiz->TntButtonBackClick();
    EXPECT_EQ(wiz->CurrentPage(), W::Step2);
    wiz->TntButtonNextClick();
    EXPECT_EQ(wiz->CurrentPage(), W::Step4);
    wiz->TntButtonNextClick();
    EXPECT_EQ(wiz->CurrentPage(), W::Step5);
    EXPECT_EQ(wiz->StatusText(), "Please select the below alarm method(s).");
    Child<QCheckBox>(wiz.get(), "CheckFailureSysLog")->setChecked(true);
    wiz->TntButtonNextClick();
    EXPECT_EQ(wiz->CurrentPage(), W::Step6);
    EXPECT_EQ(Child<QPushButton>(wiz.get(), "ButtonNext")->text(), "&Finish");
    wiz->TntButtonNextClick();
    EXPECT_EQ(Shown(), "New service has been setup successfully.");

    const long long id = wiz->SavedId();
    ASSERT_GT(id, 0);
    EXPECT_EQ(ServiceValue(id, "service"), "Ping");
    EXPECT_EQ(ServiceValue(id, "schedule_by"), "Minutely");
    EXPECT_EQ(ServiceValue(id, "schedule_hour"), "00");
    EXPECT_EQ(ServiceValue(id, "schedule_minute"), "15");
    EXPECT_EQ(ServiceValue(id, "port"), "0");
    EXPECT_EQ(ServiceValue(id, "timeout"), "5000");
    EXPECT_EQ(ServiceValue(id, "alarm_syslog"), "y");
    EXPECT_EQ(ServiceValue(id, "alarm_email"), "n");
    EXPECT_EQ(ServiceValue(id, "status"), "Start");
    EXPECT_EQ(ServiceValue(id, "current_no_of_cons_alarm"), "0");
    EXPECT_EQ(ServiceValue(id, "keep_on_sending"), "1");
    EXPECT_EQ(ServiceValue(id, "reset_to_zero"), "1");
    EXPECT_EQ(ServiceValue(id, "no_of_cons_alarm"), "1");
    EXPECT_EQ(ServiceValue(id, "service_status"), "Unknown");
    EXPECT_EQ(Count("service_contact_person"), 0);
}

TEST_F(WizardTest, UrlIsStoredLowerCaseWithoutSchemeAndTextsExactlyAsTyped) {
    ToStep2("Daily", "07", "30");
    const QString odd = QString::fromUtf8("He said \"hi\" \\ 'x' — Grüße €");
    Child<QLineEdit>(wiz.get(), "EditTitle")->setText(odd);
    pages->SelectType("URL");
    SetField(pages, "URL", "url_method", "Post");
    SetField(pages, "URL", "ip", "HTTP://WWW.Example.COM/Some/PATH?Q=1");
    SetField(pages, "URL", "url_cookie", odd);
    SetField(pages, "URL", "url_user_agent", "Agent\\\"7\"");
    // Username typed but "Authentication" not ticked: not stored.
    SetField(pages, "URL", "username", "nobody");
    auto* frame = static_cast<TFrameURLForm*>(pages->Frame("URL"));
    Child<QLineEdit>(frame, "FrameURL_PostName")->setText("na\"me");
    Child<QLineEdit>(frame, "FrameURL_PostValue")->setText(QString::fromUtf8("v\\ä"));
    frame->AddPostField();
    EXPECT_EQ(wiz->StatusText(),
              "You can right click or double click on the below list to remove the selected record.");
    Child<QLineEdit>(frame, "FrameURL_PostName")->setText("second");
    Child<QLineEdit>(frame, "FrameURL_PostValue")->setText("2");
    frame->AddPostField();
    Child<QLineEdit>(frame, "FrameURL_PostName")->setText("only name");  // no value: not added
    frame->AddPostField();
    EXPECT_EQ(Child<QListWidget>(frame, "FrameURL_PostList")->count(), 2);
    // Removing moves the entry back into the fields; adding it again puts it last.
    Child<QLineEdit>(frame, "FrameURL_PostName")->clear();
    frame->RemovePostField(Child<QListWidget>(frame, "FrameURL_PostList")->item(0));
    EXPECT_EQ(Child<QLineEdit>(frame, "FrameURL_PostName")->text(), "na\"me");
    frame->AddPostField();
    // Not an integer where none is required: stored as 0.
    Child<QCheckBox>(wiz.get(), "CheckEnableSSL")->setChecked(true);
    Child<QLineEdit>(wiz.get(), "EditSSLVerifyDepth")->setText("deep");
    Child<QLineEdit>(wiz.get(), "EditSSLCertFile")->setText(QString::fromUtf8("/tmp/c\"ért\\.pem"));
    FinishFromStep2();
    EXPECT_EQ(Shown(), "New service has been setup successfully.");

    const long long id = wiz->SavedId();
    EXPECT_EQ(ServiceValue(id, "ip"), "www.example.com/some/path?q=1");
    EXPECT_EQ(ServiceValue(id, "schedule_by"), "Daily");
    EXPECT_EQ(ServiceValue(id, "schedule_hour"), "07");
    EXPECT_EQ(ServiceValue(id, "schedule_minute"), "30");
    EXPECT_EQ(ServiceValue(id, "title"), odd.toStdString());
    EXPECT_EQ(ServiceValue(id, "url_cookie"), odd.toStdString());
    EXPECT_EQ(ServiceValue(id, "url_user_agent"), "Agent\\\"7\"");
    EXPECT_EQ(ServiceValue(id, "url_method"), "Post");
    EXPECT_EQ(ServiceValue(id, "url_max_redirect"), "10");
    EXPECT_EQ(ServiceValue(id, "url_accept"), "text/html, */*");
    EXPECT_EQ(ServiceValue(id, "username"), "");
    EXPECT_EQ(ServiceValue(id, "proxy_port"), "0");
    EXPECT_EQ(ServiceValue(id, "ssl_enable"), "y");
    EXPECT_EQ(ServiceValue(id, "ssl_verify_depth"), "0");
    EXPECT_EQ(ServiceValue(id, "ssl_cert_file"), "/tmp/c\"ért\\.pem");
    const DbResult details = Database().Query(
        "select fieldname, fieldvalue, isFile from service_url_detail where service_id=" +
        std::to_string(id));
    ASSERT_EQ(details.size(), 2u);
    EXPECT_EQ(details[0].Get("fieldname"), "second");
    EXPECT_EQ(details[1].Get("fieldname"), "na\"me");
    EXPECT_EQ(details[1].Get("fieldvalue"), "v\\ä");
    EXPECT_EQ(details[1].Get("isFile"), "n");
}

TEST_F(WizardTest, RequiredFieldsAreRefusedWithTheirLabels) {
    struct Case {
        QString type;
        std::vector<std::pair<std::string, QString>> fields;
        QString box;  // a check box to tick first ("" for none)
        std::string message;
    };
    const std::vector<Case> cases = {
        {"TCP", {{"ip", "127.0.0.1"}, {"port", ""}}, {}, "TCP Port is invalid integer, zero or empty."},
        {"TCP", {{"ip", "127.0.0.1"}, {"port", "0"}}, {}, "TCP Port is invalid integer, zero or empty."},
        {"TCP", {{"ip", "127.0.0.1"}, {"port", "8o"}}, {}, "TCP Port is invalid integer, zero or empty."},
        {"TCP", {{"ip", ""}, {"port", "80"}}, {}, "TCP Host field is empty."},
        {"TCP", {{"ip", "h"}, {"port", "80"}, {"read_timeout", ""}}, {}, "TCP Read Timeout is invalid integer, zero or empty."},
        {"URL", {{"ip", ""}}, {}, "URL field is empty."},
        {"URL", {{"ip", "x"}}, "FrameURL_UseProxy", "URL Proxy IP field is empty."},
        {"URL", {{"ip", "x"}, {"proxy_ip", "p"}}, "FrameURL_UseProxy", "URL Proxy Port is invalid integer, zero or empty."},
        {"FTP", {{"ip", "x"}}, "FrameFTP_UseProxy", "FTP Proxy IP field is empty."},
        {"UDP", {{"ip", "x"}, {"port", "53"}, {"buffer_size", ""}}, {}, "UDP Buffer Size is invalid integer, zero or empty."},
        {"SNTP", {{"ip", "x"}}, "FrameSNTP_sntp_compare_time", "SNTP Time Different is invalid integer, zero or empty."},
        {"DNS", {{"ip", "x"}}, "FrameDNS_CheckReturnResult", "DNS Expect IP/Domain field is empty."},
        {"NNTP", {{"ip", "x"}}, "FrameNNTP_CheckGroup", "NNTP Group field is empty."},
        {"MySQL", {{"ip", "x"}}, {}, "Database Name field is empty."},
        {"WMI Process", {{"ip", "pc"}, {"wmi_namespace", ""}}, {}, "WMI Name Space field is empty."},
        {"WMI Share Folder", {{"ip", "pc"}}, {}, "WMI Share Folder(s) Name field is empty."},
        {"WMI HD Freespace", {{"ip", "pc"}}, {}, "Please select the freespace size."},
    };
    ToStep2();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        wiz->ResetForm();
        ToStep2();
        pages->SelectType(c.type);
        if (!c.box.isEmpty()) {
            Child<QCheckBox>(wiz.get(), c.box)->setChecked(true);
        }
        for (const auto& [column, text] : c.fields) {
            SetField(pages, c.type, column, text);
        }
        wiz->TntButtonNextClick();
        EXPECT_EQ(wiz->CurrentPage(), W::Step2);
        EXPECT_EQ(Shown(), c.message);
    }
    // The SNTP time difference is entered only with its box, and only then required.
    wiz->ResetForm();
    ToStep2();
    pages->SelectType("SNTP");
    SetField(pages, "SNTP", "ip", "127.0.0.1");
    QWidget* diff = pages->Frame("SNTP")->FieldWidget("sntp_time_different");
    EXPECT_FALSE(diff->isEnabled());
    wiz->TntButtonNextClick();
    EXPECT_EQ(wiz->CurrentPage(), W::Step4) << Shown();
    Child<QCheckBox>(wiz.get(), "FrameSNTP_sntp_compare_time")->setChecked(true);
    EXPECT_TRUE(diff->isEnabled());
}

TEST_F(WizardTest, APersonTickedDirectlyAndInAGroupIsStoredOnce) {
    const long long ann = AddPerson("Ann \"A\"");
    const long long bob = AddPerson("Bob");
    AddPerson("Carl");
    AddGroup("Ops", {ann, bob});
    wiz->ResetForm();
    ASSERT_EQ(pages->ContactList()->topLevelItemCount(), 4);
    EXPECT_EQ(pages->ContactList()->topLevelItem(3)->text(1), "Group");
    ToStep2();
    pages->SelectType("TCP");
    SetField(pages, "TCP", "ip", "127.0.0.1");
    SetField(pages, "TCP", "port", "25");
    while (wiz->CurrentPage() != W::Step5) {
        wiz->TntButtonNextClick();
    }
    Child<QCheckBox>(wiz.get(), "CheckRecoverySMS")->setChecked(true);
    wiz->TntButtonNextClick();
    EXPECT_EQ(Shown(), "Please select contact(s) for the alarming method(s).");
    EXPECT_EQ(wiz->CurrentPage(), W::Step6);
    EXPECT_EQ(Child<QPushButton>(wiz.get(), "ButtonNext")->text(), "&Finish");
    wiz->TntButtonNextClick();  // Finish with no contact
    EXPECT_EQ(Shown(), "Please select contact(s) for the alarming method(s).");
    EXPECT_EQ(wiz->CurrentPage(), W::Step6);
    TickContact(pages, "Ann \"A\"");
    TickContact(pages, "Ops");
    wiz->TntButtonNextClick();
    EXPECT_EQ(Shown(), "New service has been setup successfully.");
    const DbResult pairs = Database().Query(
        "select contact_person_id from service_contact_person where service_id=" +
        std::to_string(wiz->SavedId()) + " order by contact_person_id");
    ASSERT_EQ(pairs.size(), 2u);
    EXPECT_EQ(pairs[0].GetInt("contact_person_id"), ann);
    EXPECT_EQ(pairs[1].GetInt("contact_person_id"), bob);
}

TEST_F(WizardTest, TestRunShowsTheStatusWordAndStoresNothing) {
    LoopbackListener open;
    LoopbackListener closed;
    const int closedPort = closed.port();
    closed.Close();
    ToStep2();
    pages->SelectType("TCP");
    SetField(pages, "TCP", "ip", "127.0.0.1");
    SetField(pages, "TCP", "timeout", "2000");
    auto* result = Child<QPlainTextEdit>(wiz.get(), "MemoResult");
    auto* button = Child<QPushButton>(wiz.get(), "ButtonTestConnection");
    for (const auto& [port, word] :
         std::vector<std::pair<int, QString>>{{open.port(), "Passed"}, {closedPort, "Failed"}}) {
        SetField(pages, "TCP", "port", QString::number(port));
        wiz->TntButtonTestClick();
        EXPECT_EQ(wiz->StatusText(), "Service connection is testing now.");
        EXPECT_FALSE(button->isEnabled());
        ASSERT_TRUE(WaitFor([&] { return button->isEnabled(); }));
        EXPECT_EQ(result->toPlainText(), word);
        EXPECT_EQ(wiz->StatusText(), "Service connection has been tested.");
    }
    EXPECT_EQ(Count("service"), 0);
    EXPECT_EQ(Count("access_history"), 0);
    EXPECT_EQ(Count("alarm_msg_history"), 0);
    // Invalid fields stop a test before anything runs.
    SetField(pages, "TCP", "port", "");
    wiz->TntButtonTestClick();
    EXPECT_EQ(Shown(), "TCP Port is invalid integer, zero or empty.");
    EXPECT_TRUE(button->isEnabled());
}

namespace {
// The part of the main window's engine view a test run needs: the result goes to the wizard.
class SetupView : public EngineView {
public:
    void EngineStarted() override {}
    void SchedulingChanged(bool, const std::string&) override {}
    void ServiceProcessing(long long) override {}
    void ShowCheckResult(long long, int, const std::string&, const std::string&) override {}
    void SetupResult(const CheckItem& check) override {
        origin = check.Context().origin;
        TFormSetupScheduling::DeliverSetupResult(check);
    }
    void DeliveryQueued(long long, const std::string&, const std::string&, const std::string&,
                        const std::string&) override {}
    void DeliveryFinished(long long, const std::string&) override {}
    void OtherItemDone(WorkItem&) override {}
    void ShowError(const std::string&) override {}
    std::string origin;
};

class EngineHost : public ConsoleHost {
public:
    explicit EngineHost(MonitorEngine* e) : engine(e) {}
    MonitorEngine* Engine() override { return engine; }
    void NestedFormOpened() override {}
    void NestedFormClosed() override {}
    void ServicesChanged() override { ++servicesChanged; }
    void ContactsChanged() override {}
    void AlarmMethodsChanged() override {}
    void ShowStatus(const QString&) override {}
    MonitorEngine* engine;
    int servicesChanged = 0;
};
} // namespace

TEST_F(WizardTest, TestRunGoesThroughTheEnginePoolWithOriginSetup) {
    MonitorEngine engine(Database(), EngineHooks{}, true);
    SetupView view;
    engine.AttachView(&view);
    engine.TimerInitTimer();
    engine.SetSchedulingActive(false);
    ASSERT_NE(engine.Pool(), nullptr);
    EngineHost host(&engine);
    wiz = std::make_unique<TFormSetupScheduling>(&host);
    wiz->show();
    pages = wiz->Pages();
    LoopbackListener open;
    ToStep2();
    pages->SelectType("TCP");
    SetField(pages, "TCP", "ip", "127.0.0.1");
    SetField(pages, "TCP", "port", QString::number(open.port()));
    wiz->TntButtonTestClick();
    auto* button = Child<QPushButton>(wiz.get(), "ButtonTestConnection");
    ASSERT_TRUE(WaitFor([&] { return button->isEnabled(); })) << Shown();
    EXPECT_EQ(view.origin, "Setup");
    EXPECT_EQ(Child<QPlainTextEdit>(wiz.get(), "MemoResult")->toPlainText(), "Passed");
    EXPECT_EQ(Count("access_history"), 0);
    EXPECT_EQ(Count("service"), 0);
    // Finishing tells the main window to refresh its lists.
    FinishFromStep2("SysLog");
    EXPECT_EQ(host.servicesChanged, 1);
    wiz.reset();
    engine.Shutdown(std::chrono::seconds(10));
}

TEST_F(WizardTest, ARefusedInsertShowsItsCodeAndKeepsWhatWasTyped) {
    ToStep2();
    Child<QLineEdit>(wiz.get(), "EditTitle")->setText("keep me");
    pages->SelectType("TCP");
    SetField(pages, "TCP", "ip", "127.0.0.1");
    SetField(pages, "TCP", "port", "7");
    while (wiz->CurrentPage() != W::Step6) {
        wiz->TntButtonNextClick();
    }
    Database().Execute("rename table service to service_away");
    wiz->TntButtonNextClick();
    Database().Execute("rename table service_away to service");
    const std::string shown = Shown();
    EXPECT_EQ(shown.rfind("ERR90044 : ", 0), 0u) << shown;
    EXPECT_EQ(shown.find("successfully"), std::string::npos);
    EXPECT_NE(scope->LogText().find("ERR90044 : "), std::string::npos);
    EXPECT_EQ(wiz->CurrentPage(), W::Step6);
    EXPECT_EQ(Child<QLineEdit>(wiz.get(), "EditTitle")->text(), "keep me");
    wiz->TntButtonNextClick();
    EXPECT_EQ(Shown(), "New service has been setup successfully.");
    EXPECT_EQ(ServiceValue(wiz->SavedId(), "title"), "keep me");
    EXPECT_EQ(Count("service"), 1);
}

TEST_F(WizardTest, ScreenshotsOfEveryPageAndFrame) {
    AddPerson("Ann");
    AddGroup("Ops", {});
    wiz->ResetForm();
    wiz->resize(900, 700);
    Screenshot(wiz.get(), "wizard_0_startup");
    wiz->TntButtonNextClick();
    ChooseSchedule(wiz.get(), "Daily", "08", "15");
    Screenshot(wiz.get(), "wizard_1_schedule");
    wiz->TntButtonNextClick();
    auto* types = pages->TypeList();
    for (int i = 0; i < types->count(); ++i) {
        const QString type = types->itemText(i);
        pages->SelectType(type);
        Screenshot(wiz.get(), "frame_" + QString(type).replace(' ', '_'));
        // The frame fits its page: nothing squeezed below its own minimum height.
        TFrameServiceForm* f = pages->CurrentFrame();
        EXPECT_GE(f->height(), f->minimumSizeHint().height()) << type.toStdString();
    }
    pages->SelectType("URL");
    SetField(pages, "URL", "ip", "http://127.0.0.1/");
    wiz->TntButtonNextClick();
    Child<QCheckBox>(wiz.get(), "CheckEnableSSL")->setChecked(true);
    Screenshot(wiz.get(), "wizard_3_ssl");
    wiz->TntButtonNextClick();
    Screenshot(wiz.get(), "wizard_4_test");
    wiz->TntButtonNextClick();
    Child<QCheckBox>(wiz.get(), "CheckFailureSNMP")->setChecked(true);
    Child<QCheckBox>(wiz.get(), "CheckFailureSysLog")->setChecked(true);
    Screenshot(wiz.get(), "wizard_5_alarm");
    auto* alarmTabs = Child<QTabWidget>(wiz.get(), "TabsAlarm");
    alarmTabs->setCurrentIndex(2);
    Screenshot(wiz.get(), "wizard_5_alarm_snmp");
    alarmTabs->setCurrentIndex(3);
    Screenshot(wiz.get(), "wizard_5_alarm_syslog");
    wiz->TntButtonNextClick();
    Screenshot(wiz.get(), "wizard_6_contacts");
}

TEST_F(WizardTest, Step4LabelsOfTheWmiTypesAndTheTlsPage) {
    ToStep2();
    pages->SelectType("WMI HD Freespace");
    SetField(pages, "WMI HD Freespace", "ip", "pc7");
    Child<QComboBox>(wiz.get(), "FrameWMIHDFreespace_wmi_freespace")->setCurrentText("<= 2G");
    Child<QComboBox>(wiz.get(), "FrameWMIHDFreespace_wmi_specified_drive")->setCurrentText("C drive only");
    wiz->TntButtonNextClick();
    ASSERT_EQ(wiz->CurrentPage(), W::Step4) << Shown();
    EXPECT_EQ(Child<QLabel>(wiz.get(), "LabelIP")->text(), "IP : pc7");
    EXPECT_EQ(Child<QLabel>(wiz.get(), "LabelPort")->text(), "HD Freespace : C drive only <= 2G");
    wiz->TntButtonBackClick();
    pages->SelectType("WMI Process");
    SetField(pages, "WMI Process", "ip", "pc7");
    SetField(pages, "WMI Process", "wmi_process_name", "a.exe, b.exe");
    wiz->TntButtonNextClick();
    EXPECT_EQ(Child<QLabel>(wiz.get(), "LabelPort")->text(), "Process : a.exe, b.exe");
    wiz->TntButtonBackClick();

    // A type with TLS goes through Step 3; "Enable SSL" enables its controls; "..." fills the path.
    pages->SelectType("SMTP");
    EXPECT_EQ(pages->SslHeading()->text(), "Please config the below SSL settings :");
    SetField(pages, "SMTP", "ip", "127.0.0.1");
    wiz->TntButtonNextClick();
    ASSERT_EQ(wiz->CurrentPage(), W::Step3);
    EXPECT_EQ(wiz->StatusText(), "Please config the below SSL and Proxy settings.");
    auto* method = Child<QComboBox>(wiz.get(), "ComboSSLMethod");
    EXPECT_FALSE(method->isEnabled());
    Child<QCheckBox>(wiz.get(), "CheckEnableSSL")->setChecked(true);
    EXPECT_TRUE(method->isEnabled());
    dialogs::QueueFileName("/etc/ssl/certs/x.pem");
    Child<QPushButton>(wiz.get(), "EditSSLRootCertFileBrowse")->click();
    EXPECT_EQ(Child<QLineEdit>(wiz.get(), "EditSSLRootCertFile")->text(), "/etc/ssl/certs/x.pem");
    wiz->TntButtonNextClick();
    EXPECT_EQ(Child<QLabel>(wiz.get(), "LabelPort")->text(), "Port : 25");
    wiz->TntButtonBackClick();
    EXPECT_EQ(wiz->CurrentPage(), W::Step3);
    EXPECT_EQ(Child<QPushButton>(wiz.get(), "ButtonNext")->toolTip(), "Click Next to next step...");
}

TEST_F(WizardTest, SnmpTrapFieldsAreStoredByVersionAndTheDetailTabsFollowTheBoxes) {
    struct Case {
        QString version;
        std::string community, enterprise, username, password;
    };
    const std::vector<Case> cases = {{"1", "priv\"ate", "1.3.6\\1", "", ""},
                                     {"2", "", "", "", ""},
                                     {"3", "", "", "priv\"ate", "1.3.6\\1"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.version.toStdString());
        wiz->ResetForm();
        ToStep2();
        pages->SelectType("Ping");
        SetField(pages, "Ping", "ip", "127.0.0.1");
        while (wiz->CurrentPage() != W::Step5) {
            wiz->TntButtonNextClick();
        }
        auto* tabs = Child<QTabWidget>(wiz.get(), "TabsAlarm");
        EXPECT_FALSE(tabs->isTabEnabled(2));
        EXPECT_FALSE(tabs->isTabEnabled(3));
        Child<QCheckBox>(wiz.get(), "CheckRecoverySNMP")->setChecked(true);
        EXPECT_TRUE(tabs->isTabEnabled(2));
        EXPECT_FALSE(tabs->isTabEnabled(3));
        Child<QComboBox>(wiz.get(), "ComboSNMPVersion")->setCurrentText(c.version);
        Child<QLineEdit>(wiz.get(), "EditSNMPTrapOID")->setText("1.3.6.1.4.1");
        Child<QComboBox>(wiz.get(), "ComboSNMPCommunity")->setEditText("priv\"ate");
        Child<QLineEdit>(wiz.get(), "EditSNMPEnterprise")->setText("1.3.6\\1");
        Child<QComboBox>(wiz.get(), "ComboSysLogFacility")->setCurrentText("Local Use Three");
        Child<QComboBox>(wiz.get(), "ComboKeepOnSending")->setCurrentIndex(4);
        Child<QComboBox>(wiz.get(), "ComboConsecutiveErrors")->setCurrentText("12");
        wiz->TntButtonNextClick();
        wiz->TntButtonNextClick();
        ASSERT_EQ(Shown(), "New service has been setup successfully.");
        const long long id = wiz->SavedId();
        EXPECT_EQ(ServiceValue(id, "alarm_snmp_version"), c.version.toStdString());
        EXPECT_EQ(ServiceValue(id, "alarm_snmp_trap_oid"), "1.3.6.1.4.1");
        EXPECT_EQ(ServiceValue(id, "alarm_snmp_trap_community"), c.community);
        EXPECT_EQ(ServiceValue(id, "alarm_snmp_trap_enterprise"), c.enterprise);
        EXPECT_EQ(ServiceValue(id, "alarm_snmp_trap_username"), c.username);
        EXPECT_EQ(ServiceValue(id, "alarm_snmp_trap_password"), c.password);
        EXPECT_EQ(ServiceValue(id, "recovery_alarm_snmp"), "y");
        EXPECT_EQ(ServiceValue(id, "alarm_snmp"), "n");
        EXPECT_EQ(ServiceValue(id, "alarm_syslog_facility"), "Local Use Three");
        EXPECT_EQ(ServiceValue(id, "alarm_syslog_severity"), "Emergency");
        EXPECT_EQ(ServiceValue(id, "keep_on_sending"), "4");
        EXPECT_EQ(ServiceValue(id, "no_of_cons_alarm"), "12");
    }
}
