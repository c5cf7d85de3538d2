// "Alarming Options" against velmoradb and the real receivers: defaults, enable logic,
// validation in tab order, UPDATE or INSERT per method, the extra POST fields, and the six
// test buttons reaching the SMTP server, the SMSC, the HTTP gateway, the syslog server, the
// trap receiver and the SNPP server on 127.0.0.1.
#include "ConsoleSettingsTest.h"

#include "console/TFormAlarmingSettingsPro.h"
#include "tests/integration/alarms/AlarmTestUtil.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTreeWidget>

#include <ctime>
#include <map>
#include <unistd.h>

using namespace velmora;
using namespace velmora::test;

namespace {

class AlarmSettingsForm : public ConsoleDbTest {
protected:
    void SetUp() override {
        ConsoleDbTest::SetUp();
        Database().Execute("delete from alarm_method");
        Database().Execute("delete from alarm_method_extra_fields");
    }
    QLineEdit* E(const char* name) { return Child<QLineEdit>(*form, name); }
    QPlainTextEdit* M(const char* name) { return Child<QPlainTextEdit>(*form, name); }
    QCheckBox* B(const char* name) { return Child<QCheckBox>(*form, name); }
    QComboBox* C(const char* name) { return Child<QComboBox>(*form, name); }
    QTabWidget* Tabs() { return Child<QTabWidget>(*form, "TntPageControl"); }
    void Open() {
        form = std::make_unique<TFormAlarmingSettingsPro>(&host);
        form->show();
    }
    std::string Column(const char* type, const char* column) {
        return One(std::string("select ") + column + " from alarm_method where type='" + type + "'");
    }
    // Runs the active tab's test and returns the status text.
    QString Test(int page) {
        Tabs()->setCurrentIndex(page);
        form->TntButtonTestClick();
        return form->StatusText();
    }

    std::unique_ptr<TFormAlarmingSettingsPro> form;
};

} // namespace

TEST_F(AlarmSettingsForm, NoRowsShowDefaultsAndApplyCreatesSixRows) {
    Open();
    const std::map<std::string, QString> defaults = {
        {"TntEditEmailPort", "25"},     {"TntEditEmailTimeout", "5000"}, {"TntEditEmailReadTimeout", "5000"},
        {"TntEditSMSPort", "50111"},    {"TntEditSMSTimeout", "5000"},   {"TntEditSMSVersion", "34"},
        {"TntEditSMSSystemType", "TCP"}, {"TntEditSMSTON", "1"},         {"TntEditSMSOrigNPI", "1"},
        {"TntEditHTTPPort", "80"},      {"TntEditSysLogPort", "514"},    {"TntEditSNMPPort", "161"},
        {"TntEditSNMPTrapPort", "162"}, {"TntEditSNPPPort", "7777"},     {"TntEditSNPPReadTimeout", "5000"},
        {"TntEditEmailIP", ""},
    };
    for (const auto& [name, value] : defaults) EXPECT_EQ(E(name.c_str())->text(), value) << name;
    EXPECT_EQ(C("TntComboBoxHTTPMethod")->currentText(), QStringLiteral("Get"));
    EXPECT_FALSE(Child<QPushButton>(*form, "TntButtonOK")->isEnabled());
    // Every method is off: its fields and the test button are disabled.
    EXPECT_FALSE(E("TntEditEmailIP")->isEnabled());
    EXPECT_FALSE(Child<QPushButton>(*form, "TntButtonTest")->isEnabled());
    EXPECT_EQ(Child<QPushButton>(*form, "TntButtonTest")->text(), QStringLiteral("Test Connection [Email]"));
    Tabs()->setCurrentIndex(4);
    EXPECT_EQ(Child<QPushButton>(*form, "TntButtonTest")->text(), QStringLiteral("Test Connection [SNMP]"));

    // A disabled method with empty fields does not block "Apply"; its empty numbers become 0.
    E("TntEditEmailPort")->clear();
    E("TntEditSMSVersion")->clear();
    ASSERT_TRUE(form->TntButtonOKClick());
    EXPECT_TRUE(TakeMessages().isEmpty());
    EXPECT_EQ(One("select count(*) from alarm_method"), "6");
    EXPECT_EQ(Column("Email", "port"), "0");
    EXPECT_EQ(Column("Email", "enable"), "0");
    EXPECT_EQ(Column("SMS", "sms_version"), "0");
    EXPECT_EQ(Column("SMS", "port"), "50111");
    EXPECT_EQ(Column("SNMP", "snmp_trap_port"), "162");
    EXPECT_EQ(Column("SNMP", "retry"), "0");
    EXPECT_EQ(host.calls, QStringList{"methods"});
    EXPECT_EQ(host.status.last(), QStringLiteral("Option settings saved."));
    EXPECT_EQ(form->StatusText(), QStringLiteral("Option settings saved."));

    // The second "Apply" updates the same six rows; a stored 0 shows as an empty field.
    E("TntEditSNPPIP")->setText("pager.test");
    ASSERT_TRUE(form->TntButtonOKClick());
    EXPECT_EQ(One("select count(*) from alarm_method"), "6");
    EXPECT_EQ(Column("SNPP", "ip"), "pager.test");
    Open();
    EXPECT_EQ(E("TntEditEmailPort")->text(), QString());
    EXPECT_EQ(E("TntEditHTTPProxyPort")->text(), QString());
    EXPECT_EQ(E("TntEditSNPPIP")->text(), QStringLiteral("pager.test"));
}

TEST_F(AlarmSettingsForm, EnableLogicAndSnmpVersionFields) {
    Open();
    B("TntCheckBoxEnableEmail")->setChecked(true);
    EXPECT_TRUE(E("TntEditEmailIP")->isEnabled());
    EXPECT_FALSE(E("TntEditEmailUsername")->isEnabled());
    B("TntCheckBoxEmailAuthentication")->setChecked(true);
    EXPECT_TRUE(E("TntEditEmailUsername")->isEnabled());
    EXPECT_TRUE(Child<QPushButton>(*form, "TntButtonTest")->isEnabled());

    B("TntCheckBoxEnableSMSbyHTTP")->setChecked(true);
    auto* sub = Child<QTabWidget>(*form, "TntPageControlHTTP");
    EXPECT_FALSE(sub->isTabEnabled(0));
    EXPECT_FALSE(sub->isTabEnabled(1));
    C("TntComboBoxHTTPMethod")->setCurrentIndex(1);
    EXPECT_TRUE(sub->isTabEnabled(0));
    EXPECT_TRUE(sub->isTabEnabled(1));

    Tabs()->setCurrentIndex(4);
    B("TntCheckBoxEnableSNMP")->setChecked(true);
    auto* version = C("TntComboBoxSNMPVersion");
    auto* community = C("TntComboBoxSNMPCommunity");
    auto* user = E("TntEditSNMPUsername");
    auto* enterprise = E("TntEditSNMPEnterprise");
    auto* hint = Child<QLabel>(*form, "TntLabelSNMPHint");
    EXPECT_FALSE(hint->isHidden());
    EXPECT_FALSE(community->isHidden());
    EXPECT_TRUE(user->isHidden());
    EXPECT_EQ(enterprise->maxLength(), 150);
    version->setCurrentIndex(1);   // 2c
    EXPECT_TRUE(hint->isHidden());
    EXPECT_TRUE(community->isHidden());
    EXPECT_TRUE(enterprise->isHidden());
    EXPECT_TRUE(user->isHidden());
    version->setCurrentIndex(2);   // 3
    EXPECT_TRUE(community->isHidden());
    EXPECT_FALSE(user->isHidden());
    EXPECT_FALSE(enterprise->isHidden());
    EXPECT_EQ(enterprise->maxLength(), 50);
    EXPECT_EQ(Child<QLabel>(*form, "TntLabelSNMPCommunity")->text(), QStringLiteral("Username"));
    EXPECT_EQ(Child<QLabel>(*form, "TntLabelSNMPEnterprise")->text(), QStringLiteral("Password"));
}

TEST_F(AlarmSettingsForm, ValidationInTabOrderNothingSaved) {
    Open();
    B("TntCheckBoxEnableSMS")->setChecked(true);
    E("TntEditSMSIP")->setText("smsc.test");
    E("TntEditSMSOrigNPI")->setText("x");
    B("TntCheckBoxEnableSNPP")->setChecked(true);
    Tabs()->setCurrentIndex(5);
    EXPECT_FALSE(form->TntButtonOKClick());
    EXPECT_EQ(TakeMessages(), QStringList{"information: SMSC Orig. NPI is invalid integer or empty."});
    EXPECT_EQ(Tabs()->currentIndex(), 1);
    EXPECT_EQ(Child<QTabWidget>(*form, "TntPageControlSMS")->currentIndex(), 2);
    EXPECT_EQ(One("select count(*) from alarm_method"), "0");

    E("TntEditSMSOrigNPI")->setText("1");
    EXPECT_FALSE(form->TntButtonOKClick());
    EXPECT_EQ(TakeMessages(), QStringList{"information: SNPP IP field is empty."});

    struct Case {
        const char* box;
        std::vector<std::pair<const char*, QString>> fields;
        QString message;
    } cases[] = {
        {"TntCheckBoxEnableEmail", {}, "SMTP IP/Address field is empty."},
        {"TntCheckBoxEnableEmail", {{"TntEditEmailIP", "mx"}}, "SMTP From Address field is empty."},
        {"TntCheckBoxEnableEmail", {{"TntEditEmailIP", "mx"}, {"TntEditEmailFromAddress", "a@b"}, {"TntEditEmailReadTimeout", ""}},
         "SMTP Read Timeout is invalid integer or empty."},
        {"TntCheckBoxEnableSysLog", {{"TntEditSysLogIP", "log"}, {"TntEditSysLogTimeout", "5s"}},
         "SysLog Receive Timeout is invalid integer or empty."},
        {"TntCheckBoxEnableSNMP", {{"TntEditSNMPIP", "trap"}, {"TntEditSNMPTrapPort", ""}},
         "SNMP Trap Port is invalid integer or empty."},
        {"TntCheckBoxEnableSMSbyHTTP", {{"TntEditHTTPProxyServer", "proxy"}}, "HTTP-SMS URL field is empty."},
    };
    for (const Case& c : cases) {
        Open();
        B(c.box)->setChecked(true);
        for (const auto& [name, value] : c.fields) E(name)->setText(value);
        EXPECT_FALSE(form->TntButtonOKClick()) << c.box;
        EXPECT_EQ(TakeMessages(), QStringList{"information: " + c.message});
    }
    // "Post" needs the two field names; a proxy without a port gets port 0.
    Open();
    B("TntCheckBoxEnableSMSbyHTTP")->setChecked(true);
    M("TntMemoHTTPURL")->setPlainText("gw.test/send");
    C("TntComboBoxHTTPMethod")->setCurrentIndex(1);
    E("TntEditHTTPProxyServer")->setText("proxy.test");
    EXPECT_FALSE(form->TntButtonOKClick());
    EXPECT_EQ(TakeMessages(), QStringList{"information: SMSC MSISDN field is empty."});
    EXPECT_EQ(Child<QTabWidget>(*form, "TntPageControlHTTP")->currentIndex(), 0);
    E("TntEditHTTPFieldMSISDN")->setText("to");
    E("TntEditHTTPFieldMessage")->setText("msg");
    ASSERT_TRUE(form->TntButtonOKClick());
    EXPECT_EQ(E("TntEditHTTPProxyPort")->text(), QStringLiteral("0"));
    EXPECT_EQ(Column("SMS by HTTP", "proxy_port"), "0");
    EXPECT_EQ(Column("SMS by HTTP", "url_method"), "Post");
}

TEST_F(AlarmSettingsForm, ExtraFieldsNewestFirstAndOnlyForPost) {
    Database().Execute("insert into alarm_method_extra_fields (field_name,field_value) values ('old','1')");
    Open();
    B("TntCheckBoxEnableSMSbyHTTP")->setChecked(true);
    M("TntMemoHTTPURL")->setPlainText("http://gw.test/send?to=$MSISDN");
    ASSERT_TRUE(form->TntButtonOKClick());   // "Get": the extra fields stay
    EXPECT_EQ(Rows("select field_name from alarm_method_extra_fields").size(), 1u);

    C("TntComboBoxHTTPMethod")->setCurrentIndex(1);
    E("TntEditHTTPFieldMSISDN")->setText("to");
    E("TntEditHTTPFieldMessage")->setText("msg");
    EXPECT_FALSE(form->AddExtraField());
    EXPECT_EQ(TakeMessages(), QStringList{"information: Field Name or Field Value is empty. Please input this field."});
    for (const char* name : {"A", "B"}) {
        E("TntEditHTTPExtraName")->setText(QString::fromLatin1(name));
        E("TntEditHTTPExtraValue")->setText(QStringLiteral(" v\"%1\\ é ").arg(name));
        ASSERT_TRUE(form->AddExtraField());
    }
    EXPECT_EQ(E("TntEditHTTPExtraName")->text(), QString());
    auto* list = Child<QTreeWidget>(*form, "TntListViewExtraFields");
    ASSERT_EQ(list->topLevelItemCount(), 2);
    EXPECT_EQ(list->topLevelItem(0)->text(0), QStringLiteral("B"));
    ASSERT_TRUE(form->TntButtonOKClick());
    const auto stored = Rows("select field_name, field_value from alarm_method_extra_fields");
    ASSERT_EQ(stored.size(), 2u);
    EXPECT_EQ(stored[0][0], "B");
    EXPECT_EQ(stored[0][1], "v\"B\\ é");
    EXPECT_EQ(stored[1][0], "A");
    // The settings were loaded again after saving.
    EXPECT_EQ(form->LoadedMethods().smsHttp.ExtraPostFields, (std::vector<std::string>{"B=v\"B\\ é", "A=v\"A\\ é"}));

    // The "Post" test sends the two named fields and the loaded extra fields, newest first.
    M("TntMemoHTTPURL")->setPlainText(QStringLiteral("http://127.0.0.1:%1/post").arg(ServerPort("httpgateway")));
    E("TntEditHTTPTestMSISDN")->setText("0777");
    E("TntEditHTTPTestMessage")->setText("post-marker");
    EXPECT_EQ(Test(2), QStringLiteral("HTTP-SMS Message has been sent already."));
    EXPECT_FALSE(LinesWith(ServerValue("httpgateway", "LOG"),
                           {"POST /post ", "to=0777&msg=post%2Dmarker&B=v%22B%5C+%C3%A9&A=v%22A%5C+%C3%A9"})
                     .empty());

    // Opening again lists them in stored order; removing moves a row back into the fields.
    Open();
    list = Child<QTreeWidget>(*form, "TntListViewExtraFields");
    ASSERT_EQ(list->topLevelItemCount(), 2);
    EXPECT_EQ(list->topLevelItem(0)->text(0), QStringLiteral("B"));
    list->setCurrentItem(list->topLevelItem(1));
    form->RemoveExtraField();
    EXPECT_EQ(list->topLevelItemCount(), 1);
    EXPECT_EQ(E("TntEditHTTPExtraName")->text(), QStringLiteral("A"));
}

TEST_F(AlarmSettingsForm, AnyTextStoredExactly) {
    Open();
    const QString odd = QStringLiteral("a\"b\\c 'd' Zoë 田中");
    B("TntCheckBoxEnableEmail")->setChecked(true);
    E("TntEditEmailIP")->setText("mx.test");
    E("TntEditEmailFromAddress")->setText(odd);
    E("TntEditEmailMailAgent")->setText(odd);
    E("TntEditSNMPLocalEngineID")->setText(odd);
    M("TntMemoHTTPURL")->setPlainText(odd);
    ASSERT_TRUE(form->TntButtonOKClick());
    EXPECT_TRUE(TakeMessages().isEmpty());
    for (auto [type, col] : {std::pair{"Email", "smtp_from_address"}, std::pair{"Email", "smtp_mail_agent"},
                             std::pair{"SNMP", "snmp_local_engine_id"}, std::pair{"SMS by HTTP", "ip"}})
        EXPECT_EQ(Column(type, col), odd.toStdString()) << type << " " << col;
    Open();
    EXPECT_EQ(E("TntEditEmailFromAddress")->text(), odd);
    EXPECT_TRUE(B("TntCheckBoxEnableEmail")->isChecked());

    // A failing save reports its method's code; the other methods are still saved.
    Database().Execute("alter table alarm_method drop column smtp_mail_agent");
    E("TntEditSNPPIP")->setText("pager2.test");
    EXPECT_FALSE(form->TntButtonOKClick());
    EXPECT_NE(form->StatusText(), QStringLiteral("Option settings saved."));
    EXPECT_TRUE(Child<QPushButton>(*form, "TntButtonOK")->isEnabled());
    const QStringList shown = TakeMessages();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown[0].startsWith("error: ERR90502 : ")) << shown[0].toStdString();
    EXPECT_EQ(Column("SNPP", "ip"), "pager2.test");
    EXPECT_NE(scope.LogText().find("ERR90502 : "), std::string::npos);
}

TEST_F(AlarmSettingsForm, LoadFailureReportedAndDefaultsShown) {
    Database().Execute("drop table alarm_method");
    Open();
    const QStringList shown = TakeMessages();
    ASSERT_GE(shown.size(), 1);
    EXPECT_TRUE(shown[0].startsWith("error: ERR90500 : ")) << shown[0].toStdString();
    EXPECT_EQ(E("TntEditEmailPort")->text(), QStringLiteral("25"));
    EXPECT_NE(scope.LogText().find("ERR90500 : "), std::string::npos);
}

TEST_F(AlarmSettingsForm, EmailTestReachesTheSmtpServer) {
    Open();
    B("TntCheckBoxEnableEmail")->setChecked(true);
    E("TntEditEmailIP")->setText("127.0.0.1");
    E("TntEditEmailPort")->setText(QString::number(ServerPort("smtpd")));
    E("TntEditEmailFromAddress")->setText("alarms@velmora.test");
    E("TntEditEmailMailAgent")->setText("Velmora Pro");
    B("TntCheckBoxEmailAuthentication")->setChecked(true);
    E("TntEditEmailUsername")->setText(QString::fromStdString(ServerValue("smtpd", "USER")));
    E("TntEditEmailPassword")->setText(QString::fromStdString(ServerValue("smtpd", "PASSWORD")));

    EXPECT_EQ(Test(0), QString());   // the test fields are checked first
    EXPECT_EQ(TakeMessages(), QStringList{"information: Recipient Email is empty. Please input this field for "
                                          "testing connection."});
    E("TntEditEmailTestRecipient")->setText("ops@example.test");
    // A marker of this run: the receiver keeps the messages of earlier runs.
    const std::string marker = "console-test-" + std::to_string(::getpid()) + "-" + std::to_string(::time(nullptr));
    M("TntMemoEmailTestMessage")->setPlainText(QString::fromStdString(marker + "\nsecond line"));
    EXPECT_EQ(Test(0), QStringLiteral("SMTP Message has been sent already."));
    const auto stored = LinesWith(ServerValue("smtpd", "LOG"), {marker});
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_NE(stored[0].find("Subject: Testing Alarm Message\\r\\n"), std::string::npos) << stored[0];
    EXPECT_NE(stored[0].find("\"rcpt_tos\": [\"ops@example.test\"]"), std::string::npos);
    EXPECT_NE(stored[0].find(marker + "\\r\\nsecond line"), std::string::npos);
    EXPECT_EQ(One("select count(*) from alarm_method"), "0");   // a test stores nothing

    E("TntEditEmailPassword")->setText("wrong");
    EXPECT_TRUE(Test(0).startsWith("SMTP Authentication Error : [SMTP Alarm Authentication Error:"))
        << form->StatusText().toStdString();
    E("TntEditEmailPort")->setText(QString::number(ClosedPort()));
    EXPECT_TRUE(Test(0).startsWith("SMTP Error : [127.0.0.1:")) << form->StatusText().toStdString();
}

TEST_F(AlarmSettingsForm, TestsOfTheOtherMethodsReachTheirServers) {
    Open();
    // SMS over SMPP.
    B("TntCheckBoxEnableSMS")->setChecked(true);
    E("TntEditSMSIP")->setText("127.0.0.1");
    E("TntEditSMSPort")->setText(QString::number(ServerPort("smsc")));
    E("TntEditSMSUsername")->setText("console");
    E("TntEditSMSPassword")->setText("pw");
    E("TntEditSMSOA")->setText("4711");
    E("TntEditSMSTestPhone")->setText("0123999");
    M("TntMemoSMSTestMessage")->setPlainText("console-sms-marker");
    EXPECT_EQ(Test(1), QStringLiteral("SMS Message has been sent already."));
    EXPECT_TRUE(WaitUntil([] {
        return !LinesWith(ServerValue("smsc", "RECORDS"),
                          {"\"destination_addr\":\"0123999\"", Hex("console-sms-marker")})
                    .empty();
    }));

    // A refused bind and a closed port name the step and its number.
    E("TntEditSMSUsername")->setText("refuse");
    EXPECT_EQ(Test(1), QStringLiteral("SMS Error : Binding Failed : 14"));
    E("TntEditSMSPort")->setText(QString::number(ClosedPort()));
    EXPECT_TRUE(Test(1).startsWith("SMS Error : Connection Failed : ")) << form->StatusText().toStdString();

    // SMS by HTTP: the gateway's answer is shown.
    B("TntCheckBoxEnableSMSbyHTTP")->setChecked(true);
    const QString gw = QStringLiteral("127.0.0.1:%1/send?to=$MSISDN&msg=$MESSAGE").arg(ServerPort("httpgateway"));
    M("TntMemoHTTPURL")->setPlainText(gw);
    E("TntEditHTTPTestMSISDN")->setText("0123 456");
    E("TntEditHTTPTestMessage")->setText("console-http-marker");
    EXPECT_EQ(Test(2), QStringLiteral("HTTP-SMS Message has been sent already."));
    EXPECT_EQ(M("TntMemoHTTPResponse")->toPlainText(), QStringLiteral("OK\n"));
    EXPECT_FALSE(LinesWith(ServerValue("httpgateway", "LOG"), {"GET /send?to=0123+456&msg=console%2Dhttp%2Dmarker "}).empty());
    M("TntMemoHTTPURL")->setPlainText(QStringLiteral("127.0.0.1:%1/status/503").arg(ServerPort("httpgateway")));
    EXPECT_TRUE(Test(2).startsWith("HTTP-SMS Error : [")) << form->StatusText().toStdString();

    // SysLog with the facility and severity of the test group.
    B("TntCheckBoxEnableSysLog")->setChecked(true);
    E("TntEditSysLogIP")->setText("127.0.0.1");
    E("TntEditSysLogPort")->setText(QString::number(ServerPort("syslogd")));
    C("TntComboBoxSysLogFacility")->setCurrentText("Local Use Seven");
    C("TntComboBoxSysLogSeverity")->setCurrentText("Debug");
    M("TntMemoSysLogTestMessage")->setPlainText("console-syslog-marker");
    EXPECT_EQ(Test(3), QStringLiteral("SysLog Message has been sent already."));
    EXPECT_TRUE(WaitUntil([] {
        return !LinesWith(ServerValue("syslogd", "LOG"), {"pri=191|", "console-syslog-marker"}).empty();
    }));

    // SNMP version 2c trap.
    B("TntCheckBoxEnableSNMP")->setChecked(true);
    E("TntEditSNMPIP")->setText("127.0.0.1");
    E("TntEditSNMPPort")->setText("0");
    E("TntEditSNMPTrapPort")->setText(QString::number(ServerPort("snmptrapd")));
    E("TntEditSNMPLocalhost")->setText("127.0.0.1");
    C("TntComboBoxSNMPVersion")->setCurrentIndex(1);
    E("TntEditSNMPTrapOID")->setText("1.3.6.1.4.1.99999.0.42");
    EXPECT_EQ(Test(4), QStringLiteral("SNMP Message has been sent already."));
    EXPECT_TRUE(WaitUntil([] { return !LinesWith(ServerValue("snmptrapd", "LOG"), {"1.3.6.1.4.1.99999.0.42"}).empty(); }));
    // Version 1 with the proposed community.
    EXPECT_EQ(C("TntComboBoxSNMPCommunity")->currentText(), QStringLiteral("public"));
    C("TntComboBoxSNMPVersion")->setCurrentIndex(0);
    E("TntEditSNMPTrapOID")->setText("6.17");
    E("TntEditSNMPEnterprise")->setText("1.3.6.1.4.1.99998");
    EXPECT_EQ(Test(4), QStringLiteral("SNMP Message has been sent already."));
    EXPECT_TRUE(WaitUntil([] { return !LinesWith(ServerValue("snmptrapd", "LOG"), {"TRAP v1", "99998"}).empty(); }));

    // SNPP pager.
    B("TntCheckBoxEnableSNPP")->setChecked(true);
    E("TntEditSNPPIP")->setText("127.0.0.1");
    E("TntEditSNPPPort")->setText(QString::number(ServerPort("snppd")));
    E("TntEditSNPPTestPagerID")->setText("pager-42");
    M("TntMemoSNPPTestMessage")->setPlainText("console-snpp-marker");
    EXPECT_EQ(Test(5), QStringLiteral("SNPP Pager Message has been sent already."));
    EXPECT_FALSE(LinesWith(ServerValue("snppd", "LOG"), {"console-snpp-marker"}).empty());
    E("TntEditSNPPPort")->setText(QString::number(ClosedPort()));
    EXPECT_TRUE(Test(5).startsWith("SNPP Pager Error : [127.0.0.1:")) << form->StatusText().toStdString();

    // Every tab, filled, as pictures.
    const char* names[] = {"email", "sms", "smshttp", "syslog", "snmp", "snpp"};
    for (int i = 0; i < 6; ++i) {
        Tabs()->setCurrentIndex(i);
        Shot(*form, QStringLiteral("alarm_options_%1").arg(names[i]));
    }
    auto* smsSub = Child<QTabWidget>(*form, "TntPageControlSMS");
    Tabs()->setCurrentIndex(1);
    for (int i = 1; i < smsSub->count(); ++i) {
        smsSub->setCurrentIndex(i);
        Shot(*form, QStringLiteral("alarm_options_sms_sub%1").arg(i));
    }
    auto* httpSub = Child<QTabWidget>(*form, "TntPageControlHTTP");
    C("TntComboBoxHTTPMethod")->setCurrentIndex(1);
    Tabs()->setCurrentIndex(2);
    for (int i = 0; i < httpSub->count(); ++i) {
        httpSub->setCurrentIndex(i);
        Shot(*form, QStringLiteral("alarm_options_smshttp_sub%1").arg(i));
    }
    Tabs()->setCurrentIndex(4);
    C("TntComboBoxSNMPVersion")->setCurrentIndex(2);
    Shot(*form, "alarm_options_snmp_v3");
}
