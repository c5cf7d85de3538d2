// The update form against the private MariaDB server: the service list, loading a service
// into the shared pages, Apply keeping the alarm state, a type change, contacts from groups,
// Delete, the no-service cases and a refused update.
#include "WizardTestSupport.h"

#include "console/TFormUpdateScheduling.h"

#include "store/ServiceRecords.h"
#include "store/ValueTables.h"

#include <QApplication>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

using namespace velmora;
using namespace velmora::test;

namespace {

class UpdateFormTest : public ConsoleDbTest {
protected:
    void SetUp() override {
        ConsoleDbTest::SetUp();
        form = std::make_unique<TFormUpdateScheduling>(nullptr);
        pages = form->Pages();
    }
    void TearDown() override {
        form.reset();
        ConsoleDbTest::TearDown();
    }
    // A stored service with every column at its import default and the given values.
    long long AddService(const std::vector<std::pair<std::string, std::string>>& values) {
        ServiceRow row = ImportedServiceRow({"2", "0", "05", "t", "3", "127.0.0.1", "25", "1",
                                             "1", "", ""});
        for (const auto& [c, v] : values) {
            row.Set(c, v);
        }
        EXPECT_TRUE(InsertServiceRow(row));
        return MaxId("service");
    }
    QTreeWidgetItem* ListLine(long long id) {
        QTreeWidget* list = form->ServiceList();
        for (int i = 0; i < list->topLevelItemCount(); ++i) {
            if (list->topLevelItem(i)->text(0).toLongLong() == id) {
                return list->topLevelItem(i);
            }
        }
        return nullptr;
    }
    void Open(long long id) {
        form->OpenFor(id);
        form->show();
        QApplication::processEvents();
    }

    std::unique_ptr<TFormUpdateScheduling> form;
    TServiceEditPages* pages = nullptr;
};

} // namespace

TEST_F(UpdateFormTest, ListShowsEachServiceLine) {
    const long long tcp = AddService({{"title", "mail"}, {"alarm_email", "y"}, {"alarm_syslog", "y"},
                                      {"alarm_snpp", "y"}, {"no_of_cons_alarm", "4"}});
    const long long url = AddService({{"service", "URL"}, {"ip", "http://web.example/x"},
                                      {"port", "0"}, {"schedule_by", "Daily"},
                                      {"schedule_hour", "07"}, {"schedule_minute", "30"}});
    const long long hd = AddService({{"service", "WMI HD Freespace"}, {"ip", "pc1"},
                                     {"wmi_freespace", "5"}, {"schedule_by", "Minutely"},
                                     {"schedule_minute", "15"}, {"status", "Stop"}});
    const long long proc = AddService({{"service", "WMI Process"}, {"ip", "pc2"},
                                       {"wmi_process_name", "a.exe,b.exe"}});
    form->show();
    QTreeWidgetItem* l = ListLine(tcp);
    ASSERT_NE(l, nullptr);
    EXPECT_EQ(l->text(1), "mail");
    EXPECT_EQ(l->text(2), "TCP");
    EXPECT_EQ(l->text(3), "127.0.0.1");
    EXPECT_EQ(l->text(4), "25");
    EXPECT_EQ(l->text(5), "Hourly on 05 min");
    EXPECT_EQ(l->text(6), "4");
    EXPECT_EQ(l->text(7), "Email/SysLog/SNPP");
    EXPECT_EQ(l->text(8), "Start");
    EXPECT_EQ(ListLine(url)->text(3), "web.example/x");
    EXPECT_EQ(ListLine(url)->text(4), "---");
    EXPECT_EQ(ListLine(url)->text(5), "Daily on 07:30");
    EXPECT_EQ(ListLine(hd)->text(3), "pc1 : Freespace <= 50G");
    EXPECT_EQ(ListLine(hd)->text(5), "every 15 min");
    EXPECT_EQ(ListLine(hd)->text(8), "Stop");
    EXPECT_EQ(ListLine(proc)->text(3), "pc2 : a.exe,b.exe");
    EXPECT_EQ(ListLine(proc)->text(7), "");
}

TEST_F(UpdateFormTest, LoadingFillsThePagesAndApplyKeepsTheAlarmState) {
    const long long ann = AddPerson("Ann");
    const long long bob = AddPerson("Bob");
    AddGroup("Ops", {ann, bob});
    const long long id = AddService(
        {{"service", "URL"}, {"ip", "web.example/x"}, {"port", "0"}, {"url_method", "Put"},
         {"username", "u\"1"}, {"proxy_ip", "proxy"}, {"proxy_port", "3128"},
         {"alarm_email", "y"}, {"alarm_snmp", "y"}, {"alarm_snmp_version", "3"},
         {"alarm_snmp_trap_username", "snmpuser"}, {"current_no_of_cons_alarm", "3"},
         {"reset_to_zero", "5"}, {"ssl_enable", "y"}, {"ssl_method", "2"}, {"ssl_peer", "y"}});
    Database().Execute("update service set service_status=\"Failed\" where id=" + std::to_string(id));
    Database().Execute("insert into service_url_detail (service_id, fieldname, fieldvalue) values (" +
                       std::to_string(id) + ", \"a\", \"1\")");
    // Contacts stored from the group: the members load ticked, the group does not.
    Database().Execute("insert into service_contact_person values (" + std::to_string(id) + "," +
                       std::to_string(ann) + "),(" + std::to_string(id) + "," +
                       std::to_string(bob) + ")");
    Open(id);
    EXPECT_EQ(form->LoadedId(), id);
    EXPECT_EQ(form->StatusText(),
              "Please select any service for update or delete by double click on below records.");
    EXPECT_EQ(pages->ServiceType(), "URL");
    EXPECT_EQ(qobject_cast<QLineEdit*>(pages->Frame("URL")->FieldWidget("port"))->text(), "");
    EXPECT_TRUE(Child<QCheckBox>(form.get(), "FrameURL_Authentication")->isChecked());
    EXPECT_TRUE(Child<QCheckBox>(form.get(), "FrameURL_UseProxy")->isChecked());
    EXPECT_TRUE(Child<QWidget>(form.get(), "FrameURL_PostFields")->isEnabled());
    EXPECT_EQ(Child<QListWidget>(form.get(), "FrameURL_PostList")->count(), 1);
    EXPECT_TRUE(Child<QCheckBox>(form.get(), "CheckEnableSSL")->isChecked());
    EXPECT_EQ(Child<QComboBox>(form.get(), "ComboSSLMethod")->currentIndex(), 2);
    EXPECT_EQ(Child<QComboBox>(form.get(), "ComboSNMPVersion")->currentText(), "3");
    EXPECT_EQ(Child<QComboBox>(form.get(), "ComboSNMPCommunity")->currentText(), "snmpuser");
    EXPECT_TRUE(ContactTicked(pages, "Ann"));
    EXPECT_TRUE(ContactTicked(pages, "Bob"));
    EXPECT_FALSE(ContactTicked(pages, "Ops"));
    EXPECT_FALSE(form->ApplyButton()->isEnabled());
    form->Tabs()->setCurrentIndex(TFormUpdateScheduling::PageService);
    Screenshot(form.get(), "update_form_loaded");

    // Entering a field enables Apply.
    QApplication::setActiveWindow(form.get());
    Child<QLineEdit>(form.get(), "FrameURL_url_referer")->setFocus(Qt::MouseFocusReason);
    QApplication::processEvents();
    EXPECT_TRUE(form->ApplyButton()->isEnabled());
    form->ApplyButton()->setEnabled(false);
    auto* title = Child<QLineEdit>(form.get(), "EditTitle");
    title->setFocus();
    QTest::keyClicks(title, "x");
    title->setText(QString::fromUtf8("new \"title\" \\ ü"));
    EXPECT_TRUE(form->ApplyButton()->isEnabled());
    SetField(pages, "URL", "port", "8080");
    TickContact(pages, "Bob", false);
    form->TntButtonApplyClick();
    EXPECT_EQ(Shown(), "");
    EXPECT_EQ(form->StatusText(), "The service has been updated.");
    EXPECT_FALSE(form->ApplyButton()->isEnabled());
    EXPECT_EQ(ServiceValue(id, "title"), "new \"title\" \\ ü");
    EXPECT_EQ(ServiceValue(id, "port"), "8080");
    EXPECT_EQ(ServiceValue(id, "current_no_of_cons_alarm"), "3");
    EXPECT_EQ(ServiceValue(id, "service_status"), "Failed");
    EXPECT_EQ(ServiceValue(id, "reset_to_zero"), "0");
    EXPECT_EQ(ServiceValue(id, "username"), "u\"1");
    EXPECT_EQ(ServiceValue(id, "alarm_snmp_trap_username"), "snmpuser");
    EXPECT_EQ(ServiceValue(id, "ssl_peer"), "y");
    EXPECT_EQ(Count("service_url_detail where service_id=" + std::to_string(id)), 1);
    EXPECT_EQ(Count("service_contact_person where service_id=" + std::to_string(id)), 1);
}

TEST_F(UpdateFormTest, ATypeChangeFromUrlToTcpKeepsTheUrlColumns) {
    const long long id = AddService({{"service", "URL"}, {"ip", "web.example"}, {"port", "80"},
                                     {"url_cookie", "c=1"}, {"url_method", "Post"},
                                     {"proxy_ip", "p"}, {"proxy_port", "8"}});
    Database().Execute("insert into service_url_detail (service_id, fieldname, fieldvalue) values (" +
                       std::to_string(id) + ", \"a\", \"1\")");
    Open(id);
    pages->SelectType("TCP");
    SetField(pages, "TCP", "ip", "127.0.0.2");
    SetField(pages, "TCP", "port", "25");
    SetField(pages, "TCP", "command", "QUIT\\r\\n \"q\"");
    form->TntButtonApplyClick();
    EXPECT_EQ(Shown(), "");
    EXPECT_EQ(ServiceValue(id, "service"), "TCP");
    EXPECT_EQ(ServiceValue(id, "ip"), "127.0.0.2");
    EXPECT_EQ(ServiceValue(id, "command"), "QUIT\\r\\n \"q\"");
    EXPECT_EQ(ServiceValue(id, "url_cookie"), "c=1");
    EXPECT_EQ(ServiceValue(id, "url_method"), "Post");
    EXPECT_EQ(ServiceValue(id, "proxy_ip"), "p");
    EXPECT_EQ(ServiceValue(id, "proxy_port"), "8");
    EXPECT_EQ(Count("service_url_detail where service_id=" + std::to_string(id)), 1);
}

TEST_F(UpdateFormTest, ValidationAndTheFreeSpaceLookup) {
    const long long hd = AddService({{"service", "WMI HD Freespace"}, {"ip", "pc"},
                                     {"wmi_namespace", "root\\CIMV2"}, {"wmi_freespace", "5"},
                                     {"wmi_specified_drive", "2"}});
    Open(hd);
    EXPECT_EQ(Child<QComboBox>(form.get(), "FrameWMIHDFreespace_wmi_freespace")->currentText(),
              "<= 50G");
    EXPECT_EQ(Child<QComboBox>(form.get(), "FrameWMIHDFreespace_wmi_specified_drive")->currentText(),
              "D Drive only");
    EXPECT_EQ(qobject_cast<QLineEdit*>(pages->Frame("WMI HD Freespace")->FieldWidget("wmi_namespace"))
                  ->text(),
              "root\\CIMV2");
    Child<QComboBox>(form.get(), "FrameWMIHDFreespace_wmi_freespace")->setCurrentText("<= 2G");
    form->TntButtonApplyClick();
    EXPECT_EQ(ServiceValue(hd, "wmi_freespace"), "2147483648");
    EXPECT_EQ(ServiceValue(hd, "wmi_namespace"), "root\\CIMV2");

    // A refused field stops Apply on its page; nothing is written.
    pages->SelectType("TCP");
    SetField(pages, "TCP", "ip", "h");
    SetField(pages, "TCP", "port", "");
    form->Tabs()->setCurrentIndex(TFormUpdateScheduling::PageAlarm);
    form->TntButtonApplyClick();
    EXPECT_EQ(Shown(), "TCP Port is invalid integer, zero or empty.");
    EXPECT_EQ(form->Tabs()->currentIndex(), TFormUpdateScheduling::PageService);
    EXPECT_EQ(ServiceValue(hd, "service"), "WMI HD Freespace");
    SetField(pages, "TCP", "port", "1");
    Child<QCheckBox>(form.get(), "CheckFailureEmail")->setChecked(true);
    form->TntButtonApplyClick();
    EXPECT_EQ(Shown(), "Please select contact(s) for the alarming method(s).");
    EXPECT_EQ(form->Tabs()->currentIndex(), TFormUpdateScheduling::PageContact);
}

TEST_F(UpdateFormTest, ApplyAndDeleteWithoutALoadedServiceDoNothingDeleteRemovesTheRows) {
    const long long id = AddService({{"title", "x"}});
    const long long ann = AddPerson("Ann");
    Database().Execute("insert into service_contact_person values (" + std::to_string(id) + "," +
                       std::to_string(ann) + ")");
    Database().Execute("insert into access_history (service_id, response_time, service_status) values (" +
                       std::to_string(id) + ", 5, \"Passed\")");
    form->show();
    ChooseSchedule(form.get(), "Hourly", "09");
    pages->SelectType("TCP");
    SetField(pages, "TCP", "ip", "h");
    SetField(pages, "TCP", "port", "1");
    form->TntButtonApplyClick();
    form->TntButtonDeleteClick();
    EXPECT_EQ(Shown(), "");
    EXPECT_EQ(form->StatusText(), "");
    EXPECT_EQ(Count("service"), 1);
    EXPECT_EQ(ServiceValue(id, "schedule_minute"), "05");

    form->ResetForm();
    form->LoadService(id);
    form->TntButtonDeleteClick();
    EXPECT_EQ(form->StatusText(), "The service has been deleted.");
    EXPECT_EQ(form->LoadedId(), 0);
    EXPECT_EQ(Count("service"), 0);
    EXPECT_EQ(Count("service_contact_person"), 0);
    EXPECT_EQ(Count("access_history"), 1);
    EXPECT_EQ(form->ServiceList()->topLevelItemCount(), 0);
}

TEST_F(UpdateFormTest, ARefusedUpdateShowsItsCodeAndKeepsTheFields) {
    const long long id = AddService({{"title", "before"}});
    Open(id);
    Child<QLineEdit>(form.get(), "EditTitle")->setText("typed");
    Database().Execute("rename table service to service_away");
    form->TntButtonApplyClick();
    Database().Execute("rename table service_away to service");
    const std::string shown = Shown();
    EXPECT_EQ(shown.rfind("ERR90049 : ", 0), 0u) << shown;
    EXPECT_EQ(Child<QLineEdit>(form.get(), "EditTitle")->text(), "typed");
    EXPECT_EQ(form->LoadedId(), id);
    form->TntButtonApplyClick();
    EXPECT_EQ(ServiceValue(id, "title"), "typed");
}

TEST_F(UpdateFormTest, ListAndContactFailuresShowTheirCodes) {
    AddService({});
    Database().Execute("rename table contact_person to contact_person_away");
    form->ResetForm();
    Database().Execute("rename table contact_person_away to contact_person");
    std::string shown = Shown();
    EXPECT_EQ(shown.rfind("ERR90043-1 : ", 0), 0u) << shown;
    Database().Execute("rename table service to service_away");
    form->FillList();
    form->LoadService(1);
    Database().Execute("rename table service_away to service");
    shown = Shown();
    EXPECT_EQ(shown.rfind("ERR90047 : ", 0), 0u) << shown;
    EXPECT_NE(shown.find("|ERR90048 : "), std::string::npos) << shown;
    EXPECT_NE(scope->LogText().find("ERR90047 : "), std::string::npos);
}
