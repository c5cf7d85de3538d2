#include "console/TServiceEditPages.h"

#include "console/Dialogs.h"
#include "console/TFrameDNSForm.h"
#include "console/TFrameFTPForm.h"
#include "console/TFrameIMAPForm.h"
#include "console/TFrameMySQLForm.h"
#include "console/TFrameNNTPForm.h"
#include "console/TFramePOP3Form.h"
#include "console/TFramePingForm.h"
#include "console/TFrameRshForm.h"
#include "console/TFrameSMTPForm.h"
#include "console/TFrameSNTPForm.h"
#include "console/TFrameTCPForm.h"
#include "console/TFrameTelnetForm.h"
#include "console/TFrameUDPForm.h"
#include "console/TFrameURLForm.h"
#include "console/TFrameWMIHDFreespaceForm.h"
#include "console/TFrameWMIProcessForm.h"
#include "console/TFrameWMIShareFolderForm.h"

#include "foundation/InitSettings.h"
#include "store/ServiceRecords.h"
#include "store/ValueTables.h"
#include "store/ZUVOzedovUzivara.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>

namespace velmora {

namespace {

constexpr const char* kPleaseSelect = "Please select";
constexpr int kIdRole = Qt::UserRole;
constexpr int kGroupRole = Qt::UserRole + 1;

QStringList Numbers(int from, int to, bool twoDigits) {
    QStringList out;
    for (int i = from; i <= to; ++i) {
        out << (twoDigits ? QString("%1").arg(i, 2, 10, QChar('0')) : QString::number(i));
    }
    return out;
}

QComboBox* ListWith(QWidget* parent, const QString& name, const QStringList& items,
                    bool pleaseSelect) {
    auto* c = new QComboBox(parent);
    c->setObjectName(name);
    if (pleaseSelect) {
        c->addItem(kPleaseSelect);
    }
    c->addItems(items);
    return c;
}

const QStringList& TypeOrder() {
    static const QStringList t = {"URL",  "Ping", "TCP",    "UDP",   "SMTP",        "POP3",
                                  "IMAP", "FTP",  "DNS",    "NNTP",  "SNTP",        "Rsh",
                                  "Telnet", "MySQL", "WMI Process", "WMI HD Freespace",
                                  "WMI Share Folder"};
    return t;
}

const char* const kMethodNames[6] = {"Email", "SMS", "SMS by HTTP", "SysLog", "SNMP", "SNPP"};
const char* const kAlarmColumns[6] = {"alarm_email",  "alarm_smpp", "alarm_httpsms",
                                      "alarm_syslog", "alarm_snmp", "alarm_snpp"};

} // namespace

TServiceEditPages::TServiceEditPages(QWidget* owner, bool hourlyFirst)
    : QObject(owner), owner_(owner) {
    BuildSchedule(hourlyFirst);
    BuildService();
    BuildSsl();
    BuildAlarm();
    BuildContacts();
    for (QWidget* p : {schedulePage_, servicePage_, sslPage_, alarmPage_}) {
        HookEdits(p);
    }
    Reset();
}

void TServiceEditPages::HookEdits(QWidget* page) {
    for (QLineEdit* e : page->findChildren<QLineEdit*>()) {
        connect(e, &QLineEdit::textEdited, this, &TServiceEditPages::Edited);
    }
    for (QComboBox* c : page->findChildren<QComboBox*>()) {
        connect(c, &QComboBox::activated, this, &TServiceEditPages::Edited);
    }
    for (QCheckBox* b : page->findChildren<QCheckBox*>()) {
        connect(b, &QCheckBox::clicked, this, &TServiceEditPages::Edited);
    }
    for (QRadioButton* r : page->findChildren<QRadioButton*>()) {
        connect(r, &QRadioButton::clicked, this, &TServiceEditPages::Edited);
    }
}

// ---- Schedule ----------------------------------------------------------------------------

void TServiceEditPages::BuildSchedule(bool hourlyFirst) {
    schedulePage_ = new QWidget(owner_);
    schedulePage_->setObjectName("PageSchedule");
    auto* v = new QVBoxLayout(schedulePage_);
    auto* box = new QGroupBox("Scheduling Method", schedulePage_);
    auto* g = new QGridLayout(box);
    byHourly_ = new QRadioButton("By Hourly", box);
    byHourly_->setObjectName("RadioByHourly");
    byDaily_ = new QRadioButton("By Daily", box);
    byDaily_->setObjectName("RadioByDaily");
    byMinutely_ = new QRadioButton("By Minutely", box);
    byMinutely_->setObjectName("RadioByMinutely");

    hourlyBox_ = new QWidget(box);
    auto* h1 = new QHBoxLayout(hourlyBox_);
    h1->setContentsMargins(0, 0, 0, 0);
    hourlyMinute_ = ListWith(hourlyBox_, "ComboHourlyMinute", Numbers(0, 59, true), true);
    h1->addWidget(new QLabel("On which minute", hourlyBox_));
    h1->addWidget(hourlyMinute_);
    h1->addStretch();

    dailyBox_ = new QWidget(box);
    auto* h2 = new QHBoxLayout(dailyBox_);
    h2->setContentsMargins(0, 0, 0, 0);
    dailyHour_ = ListWith(dailyBox_, "ComboDailyHour", Numbers(0, 23, true), true);
    dailyMinute_ = ListWith(dailyBox_, "ComboDailyMinute", Numbers(0, 59, true), true);
    h2->addWidget(new QLabel("On which hour", dailyBox_));
    h2->addWidget(dailyHour_);
    h2->addWidget(new QLabel("and minute", dailyBox_));
    h2->addWidget(dailyMinute_);
    h2->addStretch();

    minutelyBox_ = new QWidget(box);
    auto* h3 = new QHBoxLayout(minutelyBox_);
    h3->setContentsMargins(0, 0, 0, 0);
    minutely_ = ListWith(minutelyBox_, "ComboMinutely",
                         {"1", "2", "3", "4", "5", "6", "10", "15", "20", "30"}, true);
    h3->addWidget(new QLabel("Every minute", minutelyBox_));
    h3->addWidget(minutely_);
    h3->addStretch();

    std::vector<std::pair<QRadioButton*, QWidget*>> order;
    if (hourlyFirst) {
        order = {{byHourly_, hourlyBox_}, {byDaily_, dailyBox_}, {byMinutely_, minutelyBox_}};
    } else {
        order = {{byDaily_, dailyBox_}, {byHourly_, hourlyBox_}, {byMinutely_, minutelyBox_}};
    }
    for (int i = 0; i < 3; ++i) {
        g->addWidget(order[i].first, i, 0);
        g->addWidget(order[i].second, i, 1);
        connect(order[i].first, &QRadioButton::toggled, this, [this] { ScheduleChanged(); });
    }
    g->setColumnStretch(1, 1);
    v->addWidget(box);

    auto* details = new QGroupBox("Service Details", schedulePage_);
    auto* f = new QFormLayout(details);
    status_ = ListWith(details, "ComboStatus", {kStatusStart, kStatusStop}, false);
    title_ = new QLineEdit(details);
    title_->setObjectName("EditTitle");
    title_->setMaxLength(150);
    f->addRow("Status", status_);
    f->addRow("Title / Description", title_);
    v->addWidget(details);
    v->addStretch();
}

void TServiceEditPages::ScheduleChanged() {
    hourlyBox_->setVisible(byHourly_->isChecked());
    dailyBox_->setVisible(byDaily_->isChecked());
    minutelyBox_->setVisible(byMinutely_->isChecked());
}

QString TServiceEditPages::ValidateSchedule() const {
    std::vector<QComboBox*> lists;
    if (byHourly_->isChecked()) {
        lists = {hourlyMinute_};
    } else if (byDaily_->isChecked()) {
        lists = {dailyHour_, dailyMinute_};
    } else if (byMinutely_->isChecked()) {
        lists = {minutely_};
    } else {
        return QStringLiteral("Please select the scheduling method.");
    }
    for (QComboBox* c : lists) {
        if (c->currentIndex() <= 0) {
            return QStringLiteral("Please select the scheduling method.");
        }
    }
    for (QComboBox* c : lists) {
        bool ok = false;
        c->currentText().toInt(&ok);
        if (!ok) {
            return QStringLiteral("Please select valid minute and hour.");
        }
    }
    return {};
}

// ---- Service type and frames ---------------------------------------------------------------

void TServiceEditPages::BuildService() {
    servicePage_ = new QWidget(owner_);
    servicePage_->setObjectName("PageService");
    auto* v = new QVBoxLayout(servicePage_);
    auto* top = new QHBoxLayout;
    typeList_ = ListWith(servicePage_, "ComboServiceType", TypeOrder(), false);
    top->addWidget(new QLabel("Service Type", servicePage_));
    top->addWidget(typeList_);
    top->addStretch();
    v->addLayout(top);
    frames_ = new QStackedWidget(servicePage_);
    frames_->setObjectName("StackFrames");
    frameList_ = {new TFrameURLForm(frames_),    new TFramePingForm(frames_),
                  new TFrameTCPForm(frames_),    new TFrameUDPForm(frames_),
                  new TFrameSMTPForm(frames_),   new TFramePOP3Form(frames_),
                  new TFrameIMAPForm(frames_),   new TFrameFTPForm(frames_),
                  new TFrameDNSForm(frames_),    new TFrameNNTPForm(frames_),
                  new TFrameSNTPForm(frames_),   new TFrameRshForm(frames_),
                  new TFrameTelnetForm(frames_), new TFrameMySQLForm(frames_),
                  new TFrameWMIProcessForm(frames_), new TFrameWMIHDFreespaceForm(frames_),
                  new TFrameWMIShareFolderForm(frames_)};
    for (TFrameServiceForm* f : frameList_) {
        f->setObjectName("TFrame" + QString(f->Type()).remove(' ') + "Form");
        frames_->addWidget(f);
        connect(f, &TFrameServiceForm::Edited, this, &TServiceEditPages::Edited);
        connect(f, &TFrameServiceForm::StatusText, this, &TServiceEditPages::StatusText);
    }
    v->addWidget(frames_, 1);
    connect(typeList_, &QComboBox::currentIndexChanged, this, [this] { TypeChanged(); });
    connect(typeList_, &QComboBox::activated, this,
            [this] { emit TypeChosen(typeList_->currentText()); });
}

bool TServiceEditPages::TypeHasTls(const QString& type) {
    static const QStringList none = {"Ping", "UDP", "DNS", "SNTP", "WMI Process",
                                     "WMI HD Freespace", "WMI Share Folder"};
    return !none.contains(type);
}

void TServiceEditPages::TypeChanged() {
    frames_->setCurrentIndex(std::max(0, typeList_->currentIndex()));
    const QString type = ServiceType();
    const bool tls = TypeHasTls(type);
    sslControls_->setEnabled(tls);
    sslHeading_->setText(tls ? QStringLiteral("Please config the below SSL settings :")
                             : QString("%1 does not support SSL.").arg(type));
}

QString TServiceEditPages::ServiceType() const { return typeList_->currentText(); }

TFrameServiceForm* TServiceEditPages::CurrentFrame() const {
    return frameList_.at(std::max(0, typeList_->currentIndex()));
}

TFrameServiceForm* TServiceEditPages::Frame(const QString& type) const {
    for (TFrameServiceForm* f : frameList_) {
        if (f->Type() == type) {
            return f;
        }
    }
    return nullptr;
}

void TServiceEditPages::SelectType(const QString& type) {
    const int i = typeList_->findText(type);
    typeList_->setCurrentIndex(i < 0 ? 0 : i);
    TypeChanged();
}

QString TServiceEditPages::ValidateService(QWidget** focus) const {
    return CurrentFrame()->Validate(focus);
}

// ---- TLS ---------------------------------------------------------------------------------

void TServiceEditPages::BuildSsl() {
    sslPage_ = new QWidget(owner_);
    sslPage_->setObjectName("PageSSL");
    auto* v = new QVBoxLayout(sslPage_);
    sslHeading_ = new QLabel(sslPage_);
    sslHeading_->setObjectName("LabelSSLHeading");
    v->addWidget(sslHeading_);
    sslControls_ = new QWidget(sslPage_);
    auto* cv = new QVBoxLayout(sslControls_);
    cv->setContentsMargins(0, 0, 0, 0);
    sslEnable_ = new QCheckBox("Enable SSL", sslControls_);
    sslEnable_->setObjectName("CheckEnableSSL");
    cv->addWidget(sslEnable_);
    auto* row = new QHBoxLayout;
    sslMethod_ = ListWith(sslControls_, "ComboSSLMethod", {"SSL V2", "SSL V2.3", "SSL V3", "TLS V1"},
                          false);
    sslMode_ = ListWith(sslControls_, "ComboSSLMode", {"Unassigned", "Both", "Client", "Server"},
                        false);
    row->addWidget(new QLabel("Method", sslControls_));
    row->addWidget(sslMethod_);
    row->addWidget(new QLabel("Mode", sslControls_));
    row->addWidget(sslMode_);
    row->addStretch();
    cv->addLayout(row);

    sslTabs_ = new QTabWidget(sslControls_);
    sslTabs_->setObjectName("TabsSSL");
    auto* certs = new QWidget;
    auto* cg = new QGridLayout(certs);
    auto fileRow = [&](int r, const QString& caption, const QString& name, const QString& what) {
        auto* e = new QLineEdit(certs);
        e->setObjectName(name);
        auto* b = new QPushButton("...", certs);
        b->setObjectName(name + "Browse");
        b->setFixedWidth(32);
        cg->addWidget(new QLabel(caption, certs), r, 0);
        cg->addWidget(e, r, 1);
        cg->addWidget(b, r, 2);
        connect(b, &QPushButton::clicked, this, [this, e, what] {
            BrowseFile(e, what);
            emit Edited();
        });
        return e;
    };
    sslCert_ = fileRow(0, "Cert File", "EditSSLCertFile", "Cert");
    sslKey_ = fileRow(1, "Key File", "EditSSLKeyFile", "Key");
    sslRoot_ = fileRow(2, "Root Cert File", "EditSSLRootCertFile", "Root Cert");
    cg->setRowStretch(3, 1);
    sslTabs_->addTab(certs, "Cert Files");

    auto* verify = new QWidget;
    auto* vg = new QGridLayout(verify);
    sslPeer_ = new QCheckBox("Verify Peer", verify);
    sslPeer_->setObjectName("CheckSSLPeer");
    sslFail_ = new QCheckBox("Fail If No Peer Cert", verify);
    sslFail_->setObjectName("CheckSSLFail");
    sslOnce_ = new QCheckBox("Verify Client Once", verify);
    sslOnce_->setObjectName("CheckSSLOnce");
    sslDepth_ = new QLineEdit(verify);
    sslDepth_->setObjectName("EditSSLVerifyDepth");
    sslDirs_ = new QLineEdit(verify);
    sslDirs_->setObjectName("EditSSLVerifyDirs");
    vg->addWidget(sslPeer_, 0, 0);
    vg->addWidget(sslFail_, 0, 1);
    vg->addWidget(sslOnce_, 0, 2);
    vg->addWidget(new QLabel("Verify Depth", verify), 1, 0);
    vg->addWidget(sslDepth_, 1, 1, 1, 2);
    vg->addWidget(new QLabel("Verify Dirs", verify), 2, 0);
    vg->addWidget(sslDirs_, 2, 1, 1, 2);
    vg->setRowStretch(3, 1);
    sslTabs_->addTab(verify, "Verify Mode");

    auto* other = new QWidget;
    auto* og = new QGridLayout(other);
    sslCipher_ = new QLineEdit(other);
    sslCipher_->setObjectName("EditSSLCipherList");
    og->addWidget(new QLabel("Cipher List", other), 0, 0);
    og->addWidget(sslCipher_, 0, 1);
    og->setRowStretch(1, 1);
    sslTabs_->addTab(other, "Other settings");
    cv->addWidget(sslTabs_);
    v->addWidget(sslControls_);

    auto* link = new QLabel(
        "<a href=\"help/tls.htm\">Where the TLS library files come from and how they are "
        "installed</a>",
        sslPage_);
    link->setObjectName("LabelSSLLink");
    connect(link, &QLabel::linkActivated, this, [](const QString&) {
        QDesktopServices::openUrl(QUrl::fromLocalFile(
            QString::fromStdString(InitSettings().AppDir + "/help/tls.htm")));
    });
    v->addWidget(link);
    v->addStretch();
    connect(sslEnable_, &QCheckBox::toggled, this, [this] { SslEnableChanged(); });
}

void TServiceEditPages::SslEnableChanged() {
    const bool on = sslEnable_->isChecked();
    sslMethod_->setEnabled(on);
    sslMode_->setEnabled(on);
    sslTabs_->setEnabled(on);
}

void TServiceEditPages::BrowseFile(QLineEdit* edit, const QString& what) {
    const QString name = dialogs::OpenFileName(
        owner_, QString("Please select the %1 file path.").arg(what),
        QStringLiteral("All files (*)"));
    if (!name.isEmpty()) {
        edit->setText(name);
    }
}

bool TServiceEditPages::SslEnabled() const {
    return sslEnable_->isChecked() && TypeHasTls(ServiceType());
}

// ---- Alarm methods -------------------------------------------------------------------------

void TServiceEditPages::BuildAlarm() {
    alarmPage_ = new QWidget(owner_);
    alarmPage_->setObjectName("PageAlarm");
    auto* v = new QVBoxLayout(alarmPage_);
    alarmTabs_ = new QTabWidget(alarmPage_);
    alarmTabs_->setObjectName("TabsAlarm");

    auto methodsTab = [&](const QString& prefix, std::vector<QCheckBox*>& boxes) {
        auto* w = new QWidget;
        auto* g = new QGridLayout(w);
        for (int i = 0; i < 6; ++i) {
            auto* b = new QCheckBox(kMethodNames[i], w);
            b->setObjectName(prefix + QString(kMethodNames[i]).remove(' '));
            g->addWidget(b, i / 3, i % 3);
            boxes.push_back(b);
            connect(b, &QCheckBox::toggled, this, [this] { AlarmTabsChanged(); });
        }
        return std::make_pair(w, g);
    };
    auto [fw, fg] = methodsTab("CheckFailure", failure_);
    consErrors_ = ListWith(fw, "ComboConsecutiveErrors", Numbers(1, 999, false), false);
    QStringList keep = {"No, just the first time",
                        "Yes, keep on sending alarming until service recover"};
    const char* ordinals[] = {"2nd", "3rd", "4th", "5th", "6th", "7th", "8th", "9th", "10th"};
    for (const char* o : ordinals) {
        keep << QString("Yes, after every %1 times of continuous failure").arg(o);
    }
    keepOnSending_ = ListWith(fw, "ComboKeepOnSending", keep, false);
    resetTo_ = ListWith(fw, "ComboResetTo", Numbers(1, 999, false), false);
    resetTo_->setVisible(false);
    fg->addWidget(new QLabel("Consecutive Errors", fw), 2, 0);
    fg->addWidget(consErrors_, 2, 1, 1, 2);
    fg->addWidget(new QLabel("Keep On Sending Alarming Msg", fw), 3, 0);
    fg->addWidget(keepOnSending_, 3, 1, 1, 2);
    fg->setRowStretch(4, 1);
    alarmTabs_->addTab(fw, "Failure alarming methods");
    auto [rw, rg] = methodsTab("CheckRecovery", recovery_);
    rg->setRowStretch(2, 1);
    alarmTabs_->addTab(rw, "Recovery alarming methods");

    auto* snmp = new QWidget;
    auto* sg = new QGridLayout(snmp);
    snmpVersion_ = ListWith(snmp, "ComboSNMPVersion", {"1", "2", "3"}, false);
    snmpOid_ = new QLineEdit(snmp);
    snmpOid_->setObjectName("EditSNMPTrapOID");
    snmpCommunity_ = ListWith(snmp, "ComboSNMPCommunity", {"public", "private"}, false);
    snmpCommunity_->setEditable(true);
    snmpEnterprise_ = new QLineEdit(snmp);
    snmpEnterprise_->setObjectName("EditSNMPEnterprise");
    snmpCommunityLabel_ = new QLabel("Community", snmp);
    snmpEnterpriseLabel_ = new QLabel("Enterprise", snmp);
    snmpHint_ = new QLabel("(GenericTrap.SpecificTrap)", snmp);
    sg->addWidget(new QLabel("Version", snmp), 0, 0);
    sg->addWidget(snmpVersion_, 0, 1);
    sg->addWidget(new QLabel("Trap OID", snmp), 1, 0);
    sg->addWidget(snmpOid_, 1, 1, 1, 2);
    sg->addWidget(snmpCommunityLabel_, 2, 0);
    sg->addWidget(snmpCommunity_, 2, 1, 1, 2);
    sg->addWidget(snmpEnterpriseLabel_, 3, 0);
    sg->addWidget(snmpEnterprise_, 3, 1);
    sg->addWidget(snmpHint_, 3, 2);
    sg->setRowStretch(4, 1);
    alarmTabs_->addTab(snmp, "SNMP");
    connect(snmpVersion_, &QComboBox::currentIndexChanged, this, [this] { SnmpVersionChanged(); });

    auto* sys = new QWidget;
    auto* yg = new QGridLayout(sys);
    QStringList fac, sev;
    for (const auto& s : SyslogFacilities()) {
        fac << QString::fromStdString(s);
    }
    for (const auto& s : SyslogSeverities()) {
        sev << QString::fromStdString(s);
    }
    facility_ = ListWith(sys, "ComboSysLogFacility", fac, false);
    severity_ = ListWith(sys, "ComboSysLogSeverity", sev, false);
    yg->addWidget(new QLabel("Facility", sys), 0, 0);
    yg->addWidget(facility_, 0, 1);
    yg->addWidget(new QLabel("Severity", sys), 1, 0);
    yg->addWidget(severity_, 1, 1);
    yg->setRowStretch(2, 1);
    alarmTabs_->addTab(sys, "SysLog");
    v->addWidget(alarmTabs_);

    configAlarm_ = new QPushButton("Config Alarming Methods", alarmPage_);
    configAlarm_->setObjectName("ButtonConfigAlarm");
    auto* h = new QHBoxLayout;
    h->addStretch();
    h->addWidget(configAlarm_);
    v->addLayout(h);
    connect(configAlarm_, &QPushButton::clicked, this, &TServiceEditPages::ConfigAlarmRequested);
}

void TServiceEditPages::AlarmTabsChanged() {
    alarmTabs_->setTabEnabled(2, failure_[4]->isChecked() || recovery_[4]->isChecked());
    alarmTabs_->setTabEnabled(3, failure_[3]->isChecked() || recovery_[3]->isChecked());
}

void TServiceEditPages::SnmpVersionChanged() {
    const int version = snmpVersion_->currentIndex() + 1;
    const bool fields = version != 2;
    for (QWidget* w : std::initializer_list<QWidget*>{snmpCommunity_, snmpEnterprise_,
                                                      snmpCommunityLabel_, snmpEnterpriseLabel_}) {
        w->setVisible(fields);
    }
    snmpHint_->setVisible(version == 1);
    if (version == 3) {
        snmpCommunityLabel_->setText("Username");
        snmpEnterpriseLabel_->setText("Password");
        snmpEnterprise_->setEchoMode(QLineEdit::Password);
        snmpEnterprise_->setMaxLength(50);
    } else {
        snmpCommunityLabel_->setText("Community");
        snmpEnterpriseLabel_->setText("Enterprise");
        snmpEnterprise_->setEchoMode(QLineEdit::Normal);
        snmpEnterprise_->setMaxLength(32767);
    }
}

bool TServiceEditPages::MissingContacts() const {
    bool needed = false;
    for (int i : {0, 1, 2, 5}) {
        needed = needed || failure_[i]->isChecked() || recovery_[i]->isChecked();
    }
    return needed && CheckedContacts().empty();
}

// ---- Contacts ------------------------------------------------------------------------------

void TServiceEditPages::BuildContacts() {
    contactPage_ = new QWidget(owner_);
    contactPage_->setObjectName("PageContact");
    auto* v = new QVBoxLayout(contactPage_);
    contacts_ = new QTreeWidget(contactPage_);
    contacts_->setObjectName("ListContacts");
    contacts_->setColumnCount(2);
    contacts_->setHeaderLabels({"Name", "Type"});
    contacts_->setRootIsDecorated(false);
    contacts_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    contacts_->setContextMenuPolicy(Qt::CustomContextMenu);
    v->addWidget(contacts_);
    connect(contacts_, &QTreeWidget::itemChanged, this, [this] { emit Edited(); });
    connect(contacts_, &QTreeWidget::itemDoubleClicked, this,
            [this] { emit NewContactRequested(); });
    connect(contacts_, &QTreeWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        QMenu menu(contacts_);
        QAction* add = menu.addAction("New Contact");
        if (menu.exec(contacts_->viewport()->mapToGlobal(pos)) == add) {
            emit NewContactRequested();
        }
    });
}

void TServiceEditPages::ReloadContacts() {
    const QSignalBlocker block(contacts_);
    contacts_->clear();
    ZUVOzedovUzivara& db = Database();
    for (const char* table : {"contact_person", "contact_group"}) {
        const bool group = std::string_view(table) == "contact_group";
        for (const DbRow& r : db.Query(std::string("select id, name from ") + table + " order by id")) {
            auto* item = new QTreeWidgetItem(contacts_);
            item->setText(0, QString::fromStdString(r.Get("name")));
            item->setText(1, group ? "Group" : "Person");
            item->setData(0, kIdRole, r.GetInt("id"));
            item->setData(0, kGroupRole, group);
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            item->setCheckState(0, Qt::Unchecked);
        }
    }
}

void TServiceEditPages::CheckPersons(const QStringList& names) {
    const QSignalBlocker block(contacts_);
    for (int i = 0; i < contacts_->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = contacts_->topLevelItem(i);
        if (!item->data(0, kGroupRole).toBool() && names.contains(item->text(0))) {
            item->setCheckState(0, Qt::Checked);
        }
    }
}

std::vector<std::pair<bool, std::string>> TServiceEditPages::CheckedContacts() const {
    std::vector<std::pair<bool, std::string>> out;
    for (int i = 0; i < contacts_->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = contacts_->topLevelItem(i);
        if (item->checkState(0) == Qt::Checked) {
            out.emplace_back(item->data(0, kGroupRole).toBool(), item->text(0).toStdString());
        }
    }
    return out;
}

// ---- Reset, load, collect ------------------------------------------------------------------

void TServiceEditPages::Reset() {
    for (QRadioButton* r : {byHourly_, byDaily_, byMinutely_}) {
        r->setAutoExclusive(false);
        r->setChecked(false);
        r->setAutoExclusive(true);
    }
    for (QComboBox* c : {hourlyMinute_, dailyHour_, dailyMinute_, minutely_}) {
        c->setCurrentIndex(0);
    }
    ScheduleChanged();
    status_->setCurrentIndex(0);
    title_->clear();
    for (TFrameServiceForm* f : frameList_) {
        f->Reset();
    }
    SelectType("URL");
    sslEnable_->setChecked(false);
    sslMethod_->setCurrentIndex(0);
    sslMode_->setCurrentIndex(0);
    for (QLineEdit* e : {sslCert_, sslKey_, sslRoot_, sslDepth_, sslDirs_, sslCipher_}) {
        e->clear();
    }
    for (QCheckBox* b : {sslPeer_, sslFail_, sslOnce_}) {
        b->setChecked(false);
    }
    SslEnableChanged();
    for (QCheckBox* b : failure_) {
        b->setChecked(false);
    }
    for (QCheckBox* b : recovery_) {
        b->setChecked(false);
    }
    consErrors_->setCurrentIndex(0);
    keepOnSending_->setCurrentIndex(1);
    resetTo_->setCurrentIndex(0);
    snmpVersion_->setCurrentIndex(0);
    snmpOid_->clear();
    snmpCommunity_->setCurrentIndex(0);
    snmpCommunity_->setEditText("public");
    snmpEnterprise_->clear();
    SnmpVersionChanged();
    facility_->setCurrentIndex(0);
    severity_->setCurrentIndex(0);
    AlarmTabsChanged();
    alarmTabs_->setCurrentIndex(0);
}

static void SelectText(QComboBox* c, const std::string& text) {
    const int i = c->findText(QString::fromStdString(text));
    if (i >= 0) {
        c->setCurrentIndex(i);
    }
}

void TServiceEditPages::Load(const ServiceRow& row) {
    const std::string& by = row.Get("schedule_by");
    if (by == kScheduleHourly) {
        byHourly_->setChecked(true);
        SelectText(hourlyMinute_, row.Get("schedule_minute"));
    } else if (by == kScheduleDaily) {
        byDaily_->setChecked(true);
        SelectText(dailyHour_, row.Get("schedule_hour"));
        SelectText(dailyMinute_, row.Get("schedule_minute"));
    } else if (by == kScheduleMinutely) {
        byMinutely_->setChecked(true);
        // Stored as two digits or as written; the list holds "1" .. "30".
        SelectText(minutely_, std::to_string(row.GetInt("schedule_minute", 0)));
    }
    ScheduleChanged();
    SelectText(status_, row.Get("status"));
    title_->setText(QString::fromStdString(row.Get("title")));

    SelectType(QString::fromStdString(row.Get("service")));
    CurrentFrame()->Load(row);

    if (row.GetYes("ssl_enable")) {
        sslEnable_->setChecked(true);
        const long long m = row.GetInt("ssl_method", 0), mode = row.GetInt("ssl_mode", 0);
        sslMethod_->setCurrentIndex(m >= 0 && m < 4 ? static_cast<int>(m) : 0);
        sslMode_->setCurrentIndex(mode >= 0 && mode < 4 ? static_cast<int>(mode) : 0);
        sslCert_->setText(QString::fromStdString(row.Get("ssl_cert_file")));
        sslKey_->setText(QString::fromStdString(row.Get("ssl_key_file")));
        sslRoot_->setText(QString::fromStdString(row.Get("ssl_root_cert_file")));
        sslCipher_->setText(QString::fromStdString(row.Get("ssl_cipher_list")));
        sslDepth_->setText(QString::fromStdString(row.Get("ssl_verify_depth")));
        sslDirs_->setText(QString::fromStdString(row.Get("ssl_verify_dirs")));
        sslPeer_->setChecked(row.GetYes("ssl_peer"));
        sslOnce_->setChecked(row.GetYes("ssl_once"));
        sslFail_->setChecked(row.GetYes("ssl_fail"));
    }
    SslEnableChanged();

    for (int i = 0; i < 6; ++i) {
        failure_[i]->setChecked(row.GetYes(kAlarmColumns[i]));
        recovery_[i]->setChecked(row.GetYes(std::string("recovery_") + kAlarmColumns[i]));
    }
    const long long cons = row.GetInt("no_of_cons_alarm", 1);
    consErrors_->setCurrentIndex(cons >= 1 && cons <= 999 ? static_cast<int>(cons - 1) : 0);
    const long long keep = row.GetInt("keep_on_sending", 1);
    keepOnSending_->setCurrentIndex(keep >= 0 && keep <= 10 ? static_cast<int>(keep) : 1);
    SelectText(facility_, row.Get("alarm_syslog_facility"));
    SelectText(severity_, row.Get("alarm_syslog_severity"));
    const long long version = row.GetInt("alarm_snmp_version", 1);
    snmpVersion_->setCurrentIndex(version >= 1 && version <= 3 ? static_cast<int>(version - 1) : 0);
    snmpOid_->setText(QString::fromStdString(row.Get("alarm_snmp_trap_oid")));
    SnmpVersionChanged();
    if (version == 3) {
        snmpCommunity_->setEditText(QString::fromStdString(row.Get("alarm_snmp_trap_username")));
        snmpEnterprise_->setText(QString::fromStdString(row.Get("alarm_snmp_trap_password")));
    } else if (version == 1) {
        snmpCommunity_->setEditText(QString::fromStdString(row.Get("alarm_snmp_trap_community")));
        snmpEnterprise_->setText(QString::fromStdString(row.Get("alarm_snmp_trap_enterprise")));
    }
    AlarmTabsChanged();
}

ServiceRow TServiceEditPages::Collect() const {
    ServiceRow row;
    for (const std::string& c : ServiceRow::ColumnNames()) {
        if (c != "id" && c != "service_status" && c != "last_access") {
            row.Set(c, IsNumericServiceColumn(c) ? "0" : "");
        }
    }
    const QString type = ServiceType();
    row.Set("service", type.toStdString());
    row.Set("status", status_->currentText().toStdString());
    row.Set("title", title_->text().toStdString());
    if (byHourly_->isChecked()) {
        row.Set("schedule_by", kScheduleHourly);
        row.Set("schedule_hour", "00");
        row.Set("schedule_minute", hourlyMinute_->currentText().toStdString());
    } else if (byDaily_->isChecked()) {
        row.Set("schedule_by", kScheduleDaily);
        row.Set("schedule_hour", dailyHour_->currentText().toStdString());
        row.Set("schedule_minute", dailyMinute_->currentText().toStdString());
    } else {
        row.Set("schedule_by", kScheduleMinutely);
        row.Set("schedule_hour", "00");
        row.Set("schedule_minute", minutely_->currentText().toStdString());
    }
    row.Set("no_of_cons_alarm", consErrors_->currentText().toStdString());
    row.Set("current_no_of_cons_alarm", "0");
    row.Set("reset_to_zero", resetTo_->currentText().toStdString());
    row.Set("keep_on_sending", std::to_string(keepOnSending_->currentIndex()));

    CurrentFrame()->Store(row);
    if (type == "URL") {
        row.Set("ip", NormaliseHost(row.Get("ip")));
    }

    for (int i = 0; i < 6; ++i) {
        row.Set(kAlarmColumns[i], YesNo(failure_[i]->isChecked()));
        row.Set(std::string("recovery_") + kAlarmColumns[i], YesNo(recovery_[i]->isChecked()));
    }
    row.Set("alarm_syslog_facility", facility_->currentText().toStdString());
    row.Set("alarm_syslog_severity", severity_->currentText().toStdString());
    const int version = snmpVersion_->currentIndex() + 1;
    row.Set("alarm_snmp_version", std::to_string(version));
    row.Set("alarm_snmp_trap_oid", snmpOid_->text().toStdString());
    const std::string first = version == 2 ? "" : snmpCommunity_->currentText().toStdString();
    const std::string second = version == 2 ? "" : snmpEnterprise_->text().toStdString();
    row.Set("alarm_snmp_trap_community", version == 1 ? first : "");
    row.Set("alarm_snmp_trap_enterprise", version == 1 ? second : "");
    row.Set("alarm_snmp_trap_username", version == 3 ? first : "");
    row.Set("alarm_snmp_trap_password", version == 3 ? second : "");

    row.Set("ssl_enable", YesNo(sslEnable_->isChecked()));
    row.Set("ssl_method", std::to_string(sslMethod_->currentIndex()));
    row.Set("ssl_mode", std::to_string(sslMode_->currentIndex()));
    row.Set("ssl_cert_file", sslCert_->text().toStdString());
    row.Set("ssl_key_file", sslKey_->text().toStdString());
    row.Set("ssl_root_cert_file", sslRoot_->text().toStdString());
    row.Set("ssl_cipher_list", sslCipher_->text().toStdString());
    row.Set("ssl_verify_depth", IntegerText(sslDepth_->text()));
    row.Set("ssl_verify_dirs", sslDirs_->text().toStdString());
    row.Set("ssl_peer", YesNo(sslPeer_->isChecked()));
    row.Set("ssl_once", YesNo(sslOnce_->isChecked()));
    row.Set("ssl_fail", YesNo(sslFail_->isChecked()));
    return row;
}

std::vector<std::string> TServiceEditPages::UpdateColumns() const {
    std::vector<std::string> cols = {
        "service", "ip", "port", "title", "auth_type", "tls_type", "username", "password",
        "schedule_by", "schedule_hour", "schedule_minute", "no_of_cons_alarm", "reset_to_zero",
        "keep_on_sending", "timeout", "read_timeout"};
    for (const std::string& c : CurrentFrame()->Columns()) {
        if (std::find(cols.begin(), cols.end(), c) == cols.end()) {
            cols.push_back(c);
        }
    }
    for (int i = 0; i < 6; ++i) {
        cols.push_back(kAlarmColumns[i]);
    }
    for (int i = 0; i < 6; ++i) {
        cols.push_back(std::string("recovery_") + kAlarmColumns[i]);
    }
    for (const char* c :
         {"alarm_syslog_facility", "alarm_syslog_severity", "alarm_snmp_version",
          "alarm_snmp_trap_oid", "alarm_snmp_trap_community", "alarm_snmp_trap_enterprise",
          "alarm_snmp_trap_username", "alarm_snmp_trap_password", "ssl_enable", "ssl_method",
          "ssl_mode", "ssl_cert_file", "ssl_key_file", "ssl_root_cert_file", "ssl_cipher_list",
          "ssl_verify_depth", "ssl_verify_dirs", "ssl_peer", "ssl_once", "ssl_fail"}) {
        cols.push_back(c);
    }
    return cols;
}

} // namespace velmora
