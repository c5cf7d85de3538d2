#include "console/TFormUpdateScheduling.h"

#include "SettingsFormsSupport.h"
#include "console/ConsoleHost.h"
#include "console/Dialogs.h"
#include "console/FormOpeners.h"
#include "console/ServiceSave.h"
#include "console/TServiceEditPages.h"

#include "store/ServiceRecords.h"
#include "store/ValueTables.h"
#include "store/ZUVOzedovUzivara.h"

#include <QFocusEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace velmora {

namespace {

const char* const kListQuery =
    "SELECT id,title,service,SUBSTRING_INDEX(ip, \"http://\", -1) as ip,wmi_freespace,"
    "wmi_process_name,port,service_status,DATE_FORMAT(last_access, \"%Y-%m-%d %H:%i:%s\") "
    "last_access,schedule_by,schedule_hour,schedule_minute,no_of_cons_alarm,status,alarm_email,"
    "alarm_smpp,alarm_httpsms,alarm_syslog,alarm_snmp,alarm_snpp from service order by ip, "
    "service, schedule_hour, schedule_minute";

} // namespace

TFormUpdateScheduling::TFormUpdateScheduling(ConsoleHost* host, QWidget* parent)
    : QDialog(parent), host_(host) {
    setObjectName("TFormUpdateScheduling");
    setWindowTitle("Update Services");
    resize(980, 820);

    list_ = new QTreeWidget(this);
    list_->setObjectName("ListServices");
    list_->setColumnCount(9);
    list_->setHeaderLabels({"ID", "Title", "Service", "IP", "Port", "Schedule", "Cons Error",
                            "Alarm Methods", "Status"});
    list_->setToolTip("Double click to select service for updating...");
    list_->setRootIsDecorated(false);
    list_->setAlternatingRowColors(true);
    list_->setSortingEnabled(true);
    list_->setMinimumHeight(170);
    list_->header()->setSectionResizeMode(QHeaderView::Interactive);

    pages_ = new TServiceEditPages(this, false);
    tabs_ = new QTabWidget(this);
    tabs_->setObjectName("PageControl");
    tabs_->addTab(pages_->SchedulePage(), "Schedule");
    tabs_->addTab(pages_->ServicePage(), "Service");
    tabs_->addTab(pages_->SslPage(), "SSL");
    tabs_->addTab(pages_->AlarmPage(), "Alarm");
    tabs_->addTab(pages_->ContactPage(), "Contact");

    apply_ = new QPushButton("Apply", this);
    apply_->setObjectName("ButtonApply");
    delete_ = new QPushButton("Delete", this);
    delete_->setObjectName("ButtonDelete");
    cancel_ = new QPushButton("Cancel", this);
    cancel_->setObjectName("ButtonCancel");
    status_ = settingsforms::NewStatusBar(this, "StatusBar");

    auto* v = new QVBoxLayout(this);
    v->addWidget(new QLabel("Scheduling Lists", this));
    v->addWidget(list_, 1);
    v->addWidget(tabs_, 3);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(apply_);
    buttons->addWidget(delete_);
    buttons->addWidget(cancel_);
    v->addLayout(buttons);
    v->addWidget(status_);

    connect(apply_, &QPushButton::clicked, this, [this] { TntButtonApplyClick(); });
    connect(delete_, &QPushButton::clicked, this, [this] { TntButtonDeleteClick(); });
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    connect(pages_, &TServiceEditPages::Edited, this, [this] { apply_->setEnabled(true); });
    connect(pages_, &TServiceEditPages::TypeChosen, this, [this] { apply_->setEnabled(true); });
    connect(pages_, &TServiceEditPages::StatusText, this, [this](const QString& t) { SetStatus(t); });
    connect(pages_, &TServiceEditPages::NewContactRequested, this, [this] { OpenNewContact(); });
    connect(pages_, &TServiceEditPages::ConfigAlarmRequested, this, [this] { OpenAlarmConfig(); });
    connect(list_, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
        if (item) {
            const long long id = item->text(0).toLongLong();
            ResetForm();
            LoadService(id);
        }
    });
    for (QWidget* page : {pages_->SchedulePage(), pages_->ServicePage(), pages_->SslPage(),
                          pages_->AlarmPage(), pages_->ContactPage()}) {
        settingsforms::WatchFocus(page, this, {});
    }
    ResetForm();
}

bool TFormUpdateScheduling::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        auto* fe = static_cast<QFocusEvent*>(event);
        // Only a field the user enters, not one the form focuses after a refused Apply.
        if (fe->reason() == Qt::MouseFocusReason || fe->reason() == Qt::TabFocusReason ||
            fe->reason() == Qt::BacktabFocusReason || fe->reason() == Qt::ShortcutFocusReason) {
            apply_->setEnabled(true);
        }
    }
    return QDialog::eventFilter(watched, event);
}

QString TFormUpdateScheduling::StatusText() const { return status_->currentMessage(); }
void TFormUpdateScheduling::SetStatus(const QString& text) { status_->showMessage(text); }

void TFormUpdateScheduling::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    ResetForm();
    tabs_->setCurrentIndex(PageSchedule);
    FillList();
    if (pendingId_ != 0) {
        LoadService(pendingId_);
        pendingId_ = 0;
        SetStatus("Please select any service for update or delete by double click on below "
                  "records.");
    }
}

void TFormUpdateScheduling::ResetForm() {
    pages_->Reset();
    loadedId_ = 0;
    apply_->setEnabled(false);
    try {
        pages_->ReloadContacts();
    } catch (const std::exception& e) {
        ReportFailure(this, "ERR90043-1", e.what());
    }
}

void TFormUpdateScheduling::FillList() {
    list_->setSortingEnabled(false);
    list_->clear();
    try {
        for (const DbRow& r : Database().Query(kListQuery)) {
            auto* item = new QTreeWidgetItem(list_);
            const std::string service = r.Get("service");
            std::string ip = r.Get("ip");
            if (service == "WMI Process") {
                ip += " : " + r.Get("wmi_process_name");
            } else if (service == "WMI HD Freespace") {
                ip += " : Freespace <= " + FreeSpaceLabel(r.GetInt("wmi_freespace"));
            }
            const std::string port = r.Get("port") == "0" ? "---" : r.Get("port");
            const std::string& by = r.Get("schedule_by");
            std::string schedule;
            if (by == kScheduleDaily) {
                schedule = "Daily on " + r.Get("schedule_hour") + ":" + r.Get("schedule_minute");
            } else if (by == kScheduleHourly) {
                schedule = "Hourly on " + r.Get("schedule_minute") + " min";
            } else {
                schedule = "every " + r.Get("schedule_minute") + " min";
            }
            std::string methods;
            const std::pair<const char*, const char*> names[] = {
                {"Email", "alarm_email"},   {"SMS", "alarm_smpp"},   {"SMS by HTTP", "alarm_httpsms"},
                {"SysLog", "alarm_syslog"}, {"SNMP", "alarm_snmp"}, {"SNPP", "alarm_snpp"}};
            for (const auto& [name, column] : names) {
                if (r.Get(column) == "y") {
                    methods += (methods.empty() ? "" : "/") + std::string(name);
                }
            }
            const std::string cells[9] = {r.Get("id"), r.Get("title"), service, ip, port,
                                          schedule, r.Get("no_of_cons_alarm"), methods,
                                          r.Get("status")};
            for (int i = 0; i < 9; ++i) {
                item->setText(i, QString::fromStdString(cells[i]));
            }
        }
    } catch (const std::exception& e) {
        ReportFailure(this, "ERR90047", e.what());
    }
    list_->setSortingEnabled(true);
    list_->sortByColumn(-1, Qt::AscendingOrder);
    for (int i = 0; i < 9; ++i) {
        list_->resizeColumnToContents(i);
    }
}

void TFormUpdateScheduling::LoadService(long long id) {
    for (int i = 0; i < list_->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = list_->topLevelItem(i);
        if (item->text(0).toLongLong() == id) {
            list_->setCurrentItem(item);
            list_->scrollToItem(item);
        }
    }
    loadedId_ = id;
    try {
        std::optional<ServiceRow> row = LoadServiceRow(id);
        if (!row) {
            throw DatabaseError("No service with the id " + std::to_string(id));
        }
        pages_->Load(*row);
    } catch (const std::exception& e) {
        ReportFailure(this, "ERR90048", e.what());
    }
    CheckLoadedContacts();
    apply_->setEnabled(false);
}

void TFormUpdateScheduling::CheckLoadedContacts() {
    try {
        QStringList names;
        for (const DbRow& r : Database().Query(
                 "select contact_person.name as name from service_contact_person,contact_person "
                 "where service_contact_person.contact_person_id=contact_person.id and "
                 "service_id=" +
                 std::to_string(loadedId_))) {
            names << QString::fromStdString(r.Get("name"));
        }
        pages_->CheckPersons(names);
    } catch (const std::exception& e) {
        ReportFailure(this, "ERR90048-1", e.what());
    }
}

void TFormUpdateScheduling::TntButtonApplyClick() {
    if (loadedId_ == 0) {
        return;
    }
    const QString schedule = pages_->ValidateSchedule();
    if (!schedule.isEmpty()) {
        dialogs::Information(this, schedule);
        tabs_->setCurrentIndex(PageSchedule);
        return;
    }
    QWidget* focus = nullptr;
    const QString service = pages_->ValidateService(&focus);
    if (!service.isEmpty()) {
        dialogs::Information(this, service);
        tabs_->setCurrentIndex(PageService);
        if (focus) {
            focus->setFocus();
        }
        return;
    }
    if (pages_->MissingContacts()) {
        dialogs::Information(this, "Please select contact(s) for the alarming method(s).");
        tabs_->setCurrentIndex(PageContact);
        return;
    }
    ServiceRow row = pages_->Collect();
    row.Set("reset_to_zero", "0");
    ZUVOzedovUzivara& db = Database();
    const std::string id = std::to_string(loadedId_);
    try {
        db.Execute(ServiceUpdateStatement(row, pages_->UpdateColumns(), loadedId_, db));
    } catch (const std::exception& e) {
        ReportFailure(this, "ERR90049", e.what());
        return;
    }
    if (row.Get("service") == "URL") {
        try {
            db.Execute("delete from service_url_detail where service_id=" + id);
            InsertPostFields(loadedId_, row.urlDetails, db);
        } catch (const std::exception& e) {
            ReportFailure(this, "ERR90050", e.what());
        }
    }
    bool pairsDeleted = false;
    try {
        db.Execute("delete from service_contact_person where service_id=" + id);
        pairsDeleted = true;
    } catch (const std::exception& e) {
        ReportFailure(this, "ERR90055", e.what());
    }
    if (pairsDeleted) {
        try {
            InsertContactPairs(loadedId_, ContactPersonIds(pages_->CheckedContacts(), db), db);
        } catch (const std::exception& e) {
            ReportFailure(this, "ERR90051", e.what());
        }
    }
    if (host_) {
        host_->ServicesChanged();
    }
    const long long keep = loadedId_;
    FillList();
    for (int i = 0; i < list_->topLevelItemCount(); ++i) {
        if (list_->topLevelItem(i)->text(0).toLongLong() == keep) {
            list_->setCurrentItem(list_->topLevelItem(i));
        }
    }
    SetStatus("The service has been updated.");
    apply_->setEnabled(false);
}

void TFormUpdateScheduling::TntButtonDeleteClick() {
    if (loadedId_ == 0) {
        return;
    }
    const std::string id = std::to_string(loadedId_);
    try {
        ZUVOzedovUzivara& db = Database();
        db.Execute("delete from service_url_detail where service_id=" + id);
        db.Execute("delete from service_contact_person where service_id=" + id);
        db.Execute("delete from service where id=" + id);
    } catch (const std::exception& e) {
        ReportFailure(this, "ERR90052", e.what());
        return;
    }
    if (host_) {
        host_->ServicesChanged();
    }
    ResetForm();
    FillList();
    SetStatus("The service has been deleted.");
}

void TFormUpdateScheduling::OpenNewContact() {
    OpenContacts(host_, this);
    try {
        pages_->ReloadContacts();
    } catch (const std::exception& e) {
        ReportFailure(this, "ERR90043-1", e.what());
    }
    if (loadedId_ != 0) {
        CheckLoadedContacts();
    }
}

void TFormUpdateScheduling::OpenAlarmConfig() { OpenAlarmSettings(host_, this); }

} // namespace velmora
