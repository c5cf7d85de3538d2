#include "TFormAlarmingSettingsPro.h"

#include "ConsoleHost.h"
#include "Dialogs.h"
#include "SettingsFormsSupport.h"

#include "alarms/CreateAlarmSender.h"
#include "alarms/ThreadSMS.h"
#include "alarms/ThreadSMTP.h"
#include "alarms/ThreadSNMP.h"
#include "alarms/ThreadSNPP.h"
#include "alarms/ThreadSysLog.h"
#include "alarms/ThreadURL.h"
#include "engine/MonitorEngine.h"
#include "foundation/InitSettings.h"
#include "store/ZUVOzedovUzivara.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QStatusBar>
#include <QTabWidget>
#include <QThread>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>

#include <atomic>
#include <map>
#include <thread>

namespace velmora {

using settingsforms::FromUtf8;
using settingsforms::Utf8;

namespace {

const char* const kTabCaptions[6] = {"Email - SMTP", "SMS - SMPP", "SMS by HTTP", "BSD SysLog", "SNMP", "Pager - SNPP"};
const char* const kMethods[6] = {kMethodEmail, kMethodSms, kMethodSmsHttp, kMethodSysLog, kMethodSnmp, kMethodSnpp};
const char* const kEnableCaptions[6] = {
    "Note : Enable this option, the alarm can be sent out via email by SMTP.",
    "Note : Enable this option, the alarm can be sent out via SMS. Please note that it will append only 160 "
    "English charaters into the SMS message.",
    "Note : Enable this option, the alarm can be sent out via SMS by HTTP.",
    "Note : Enable this option, the alarm can be sent to other BSD SysLog server (Linux/Unix).",
    "Note : Enable this option, the alarm can be sent out by SNMP.",
    "Note : Enable this option, the pager alarm can be sent out by SNPP.",
};
const char* const kTestCaptions[6] = {"Test Connection [Email]",       "Test Connection [SMS]",
                                      "Test Connection [SMS by HTTP]", "Test Connection [SysLog]",
                                      "Test Connection [SNMP]",        "Test Connection [SNPP]"};
const char* const kTestWords[6] = {"SMTP", "SMS", "HTTP-SMS", "SysLog", "SNMP", "SNPP Pager"};
const char* const kHelpTopics[6] = {"emailalarm.htm",  "smsalarm.htm",  "smsbyhttpalarm.htm",
                                    "syslogalarm.htm", "snmpalarm.htm", "pageralarm.htm"};
const char* const kFacilities[24] = {
    "Kernel",         "User Level",     "Mail System",     "System Daemon",   "Security One",    "Syslogd",
    "LPR",            "NNTP",           "UUCP",            "Clock Daemon One", "Security Two",   "FTP Daemon",
    "NTP",            "Log Audit",      "Log Alert",       "Clock Daemon Two", "Local Use Zero", "Local Use One",
    "Local Use Two",  "Local Use Three", "Local Use Four", "Local Use Five",  "Local Use Six",   "Local Use Seven"};
const char* const kSeverities[8] = {"Emergency", "Alert",  "Critical",      "Error",
                                    "Warning",   "Notice", "Informational", "Debug"};

QLineEdit* Edit(QWidget* parent, const char* name, int maxLength = 0) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    if (maxLength > 0) e->setMaxLength(maxLength);
    return e;
}

QPlainTextEdit* Memo(QWidget* parent, const char* name, int lines = 3) {
    auto* m = new QPlainTextEdit(parent);
    m->setObjectName(QString::fromLatin1(name));
    m->setFixedHeight(m->fontMetrics().lineSpacing() * lines + 12);
    return m;
}

// A plain-text box holding at most `maxLength` characters.
void LimitLength(QPlainTextEdit* m, int maxLength) {
    QObject::connect(m, &QPlainTextEdit::textChanged, m, [m, maxLength] {
        const QString t = m->toPlainText();
        if (t.size() > maxLength) {
            m->setPlainText(t.left(maxLength));
            QTextCursor c = m->textCursor();
            c.movePosition(QTextCursor::End);
            m->setTextCursor(c);
        }
    });
}

QCheckBox* Box(QWidget* parent, const char* name, const QString& caption) {
    auto* b = new QCheckBox(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    return b;
}

// Adds "label  field" rows to a grid, two pairs per row.
class Rows {
public:
    explicit Rows(QGridLayout* g) : g_(g) {}
    QLabel* Add(const QString& label, QWidget* field, int span = 1) {
        auto* l = new QLabel(label);
        g_->addWidget(l, row_, col_ * 2);
        g_->addWidget(field, row_, col_ * 2 + 1, 1, span == 2 ? 3 : 1);
        if (span == 2 || col_ == 1) {
            ++row_;
            col_ = 0;
        } else {
            col_ = 1;
        }
        return l;
    }
    void Line(QWidget* w) {
        if (col_ != 0) {
            ++row_;
            col_ = 0;
        }
        g_->addWidget(w, row_++, 0, 1, 4);
    }

private:
    QGridLayout* g_;
    int row_ = 0, col_ = 0;
};

// The SMPP step that failed and its result number ("Binding Failed : 14"); other errors as
// the sender worded them.
QString SmsTestError(const std::string& resultText) {
    static const std::pair<const char*, const char*> steps[] = {
        {"[ERR00801 ", "Connection Failed : "}, {"[ERR00802 ", "Binding Failed : "}, {"[ERR00803 ", "Sending Failed : "}};
    for (const auto& [code, step] : steps) {
        if (resultText.rfind(code, 0) != 0) continue;
        const auto colon = resultText.rfind(" : ");
        if (colon == std::string::npos || resultText.back() != ']') break;
        return QString::fromLatin1(step) + FromUtf8(resultText.substr(colon + 3, resultText.size() - colon - 4));
    }
    return FromUtf8(resultText);
}

int Number(const QLineEdit* e) { return e->text().trimmed().toInt(); }

// A number column as written: empty is 0, a whole number as typed, anything else quoted so
// the server judges it (it never becomes part of the statement's text).
std::string NumberSql(ZUVOzedovUzivara& db, const QLineEdit* e) {
    const QString t = e->text().trimmed();
    if (t.isEmpty()) return "0";
    bool ok = false;
    const long long v = t.toLongLong(&ok);
    return ok ? std::to_string(v) : db.Quote(Utf8(t));
}

QString ShownNumber(const std::string& v) { return (v.empty() || v == "0") ? QString() : FromUtf8(v); }

} // namespace

TFormAlarmingSettingsPro::TFormAlarmingSettingsPro(ConsoleHost* host, QWidget* parent)
    : QDialog(parent), host_(host) {
    setObjectName(QStringLiteral("FormAlarmingSettingsPro"));
    setWindowTitle(QStringLiteral("Alarming Options"));
    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("TntPageControl"));
    tabs_->setUsesScrollButtons(false);   // every tab caption in full
    for (int i = 0; i < 6; ++i) {
        auto* page = new QWidget;
        page->setObjectName(QStringLiteral("TntTabSheet%1").arg(i));
        auto* v = new QVBoxLayout(page);
        enable_[i] = Box(page, "", QString::fromLatin1(kEnableCaptions[i]));
        enable_[i]->setObjectName(QStringLiteral("TntCheckBoxEnable") +
                                  QString::fromLatin1(kMethods[i]).remove(QLatin1Char(' ')));
        body_[i] = new QWidget(page);
        v->addWidget(enable_[i]);
        v->addWidget(body_[i], 1);
        tabs_->addTab(page, QString::fromLatin1(kTabCaptions[i]));
        connect(enable_[i], &QCheckBox::toggled, this, &TFormAlarmingSettingsPro::ApplyEnableLogic);
    }
    BuildEmail();
    BuildSms();
    BuildSmsHttp();
    BuildSysLog();
    BuildSnmp();
    BuildSnpp();
    connect(tabs_, &QTabWidget::currentChanged, this, &TFormAlarmingSettingsPro::UpdateTestButton);

    help_ = settingsforms::NewButton(this, QStringLiteral("&Help"), "TntButtonHelp");
    test_ = new QPushButton(QString::fromLatin1(kTestCaptions[0]), this);
    test_->setObjectName(QStringLiteral("TntButtonTest"));
    ok_ = settingsforms::NewButton(this, QStringLiteral("Apply"), "TntButtonOK");
    cancel_ = settingsforms::NewButton(this, QStringLiteral("Cancel"), "TntButtonCancel");
    connect(help_, &QPushButton::clicked, this, &TFormAlarmingSettingsPro::TntButtonHelpClick);
    connect(test_, &QPushButton::clicked, this, [this] { TntButtonTestClick(); });
    connect(ok_, &QPushButton::clicked, this, [this] { TntButtonOKClick(); });
    connect(cancel_, &QPushButton::clicked, this, &TFormAlarmingSettingsPro::TntButtonCancelClick);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(help_);
    buttons->addStretch();
    buttons->addWidget(test_);
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);

    status_ = settingsforms::NewStatusBar(this, "TntStatusBar");

    auto* top = new QVBoxLayout(this);
    top->addWidget(tabs_, 1);
    top->addLayout(buttons);
    top->addWidget(status_);
    resize(720, 600);

    settingsforms::WatchFocus(this, this, {ok_, cancel_, help_, test_});
    ok_->setEnabled(false);
}

TFormAlarmingSettingsPro::~TFormAlarmingSettingsPro() = default;

bool TFormAlarmingSettingsPro::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) ok_->setEnabled(true);
    return QDialog::eventFilter(watched, event);
}

void TFormAlarmingSettingsPro::BuildEmail() {
    QWidget* b = body_[PageEmail];
    auto* box = new QGroupBox(QStringLiteral("SMTP Server"), b);
    auto* g = new QGridLayout(box);
    Rows r(g);
    emIp_ = Edit(b, "TntEditEmailIP", 500);
    emPort_ = Edit(b, "TntEditEmailPort");
    emAgent_ = Edit(b, "TntEditEmailMailAgent", 100);
    emFrom_ = Edit(b, "TntEditEmailFromAddress", 100);
    emAuth_ = Box(b, "TntCheckBoxEmailAuthentication", QStringLiteral("Authentication"));
    emUser_ = Edit(b, "TntEditEmailUsername", 50);
    emPass_ = Edit(b, "TntEditEmailPassword", 50);
    emPass_->setEchoMode(QLineEdit::Password);
    emTimeout_ = Edit(b, "TntEditEmailTimeout");
    emRead_ = Edit(b, "TntEditEmailReadTimeout");
    r.Add(QStringLiteral("SMTP IP/Address"), emIp_);
    r.Add(QStringLiteral("Port"), emPort_);
    r.Add(QStringLiteral("Mail Agent"), emAgent_);
    r.Add(QStringLiteral("From Address"), emFrom_);
    r.Line(emAuth_);
    r.Add(QStringLiteral("Username"), emUser_);
    r.Add(QStringLiteral("Password"), emPass_);
    r.Add(QStringLiteral("Connection Timeout (ms)"), emTimeout_);
    r.Add(QStringLiteral("Read Timeout (ms)"), emRead_);
    connect(emAuth_, &QCheckBox::toggled, this, &TFormAlarmingSettingsPro::ApplyEnableLogic);

    auto* test = new QGroupBox(QStringLiteral("Test Connection (Email)"), b);
    test->setObjectName(QStringLiteral("TntGroupBoxTestEmail"));
    auto* tg = new QGridLayout(test);
    Rows tr(tg);
    emTestTo_ = Edit(b, "TntEditEmailTestRecipient", 100);
    emTestMsg_ = Memo(b, "TntMemoEmailTestMessage");
    tr.Add(QStringLiteral("Recipient Email"), emTestTo_, 2);
    tr.Add(QStringLiteral("Message"), emTestMsg_, 2);
    auto* v = new QVBoxLayout(b);
    v->setContentsMargins(0, 0, 0, 0);
    v->addWidget(box);
    v->addWidget(test);
    v->addStretch();
}

void TFormAlarmingSettingsPro::BuildSms() {
    QWidget* b = body_[PageSms];
    auto* box = new QGroupBox(QStringLiteral("SMSC"), b);
    auto* g = new QGridLayout(box);
    Rows r(g);
    smIp_ = Edit(b, "TntEditSMSIP", 500);
    smPort_ = Edit(b, "TntEditSMSPort");
    smTimeout_ = Edit(b, "TntEditSMSTimeout");
    r.Add(QStringLiteral("SMSC IP"), smIp_);
    r.Add(QStringLiteral("Port"), smPort_);
    r.Add(QStringLiteral("Response Timeout (ms)"), smTimeout_);

    smSub_ = new QTabWidget(b);
    smSub_->setObjectName(QStringLiteral("TntPageControlSMS"));
    auto* auth = new QWidget;
    auto* ag = new QGridLayout(auth);
    Rows ar(ag);
    smAuth_ = Box(auth, "TntCheckBoxSMSAuthentication", QStringLiteral("Authentication"));
    smUser_ = Edit(auth, "TntEditSMSUsername", 50);
    smPass_ = Edit(auth, "TntEditSMSPassword", 50);
    smPass_->setEchoMode(QLineEdit::Password);
    ar.Line(smAuth_);
    ar.Add(QStringLiteral("Username"), smUser_);
    ar.Add(QStringLiteral("Password"), smPass_);
    connect(smAuth_, &QCheckBox::toggled, this, &TFormAlarmingSettingsPro::ApplyEnableLogic);
    smSub_->addTab(auth, QStringLiteral("Authentication"));
    auto* bind = new QWidget;
    auto* bg = new QGridLayout(bind);
    Rows br(bg);
    smVersion_ = Edit(bind, "TntEditSMSVersion");
    smSysType_ = Edit(bind, "TntEditSMSSystemType", 50);
    smTon_ = Edit(bind, "TntEditSMSTON");
    smNpi_ = Edit(bind, "TntEditSMSNPI");
    br.Add(QStringLiteral("Version"), smVersion_);
    br.Add(QStringLiteral("System Type"), smSysType_);
    br.Add(QStringLiteral("TON"), smTon_);
    br.Add(QStringLiteral("NPI"), smNpi_);
    smSub_->addTab(bind, QStringLiteral("Binding"));
    auto* extra = new QWidget;
    auto* eg = new QGridLayout(extra);
    Rows er(eg);
    smOa_ = Edit(extra, "TntEditSMSOA", 50);
    smDestTon_ = Edit(extra, "TntEditSMSDestTON");
    smDestNpi_ = Edit(extra, "TntEditSMSDestNPI");
    smOrigTon_ = Edit(extra, "TntEditSMSOrigTON");
    smOrigNpi_ = Edit(extra, "TntEditSMSOrigNPI");
    er.Add(QStringLiteral("OA / SA"), smOa_, 2);
    er.Add(QStringLiteral("Dest. TON"), smDestTon_);
    er.Add(QStringLiteral("Dest. NPI"), smDestNpi_);
    er.Add(QStringLiteral("Orig. TON"), smOrigTon_);
    er.Add(QStringLiteral("Orig. NPI"), smOrigNpi_);
    smSub_->addTab(extra, QStringLiteral("Extra Information"));

    auto* test = new QGroupBox(QStringLiteral("Test Connection (SMS)"), b);
    auto* tg = new QGridLayout(test);
    Rows tr(tg);
    smTestPhone_ = Edit(b, "TntEditSMSTestPhone", 50);
    smTestMsg_ = Memo(b, "TntMemoSMSTestMessage");
    tr.Add(QStringLiteral("Phone Number"), smTestPhone_, 2);
    tr.Add(QStringLiteral("Message"), smTestMsg_, 2);
    auto* v = new QVBoxLayout(b);
    v->setContentsMargins(0, 0, 0, 0);
    v->addWidget(box);
    v->addWidget(smSub_);
    v->addWidget(test);
    v->addStretch();
}

void TFormAlarmingSettingsPro::BuildSmsHttp() {
    QWidget* b = body_[PageSmsHttp];
    auto* box = new QGroupBox(QStringLiteral("SMS Gateway"), b);
    auto* g = new QGridLayout(box);
    Rows r(g);
    htUrl_ = Memo(b, "TntMemoHTTPURL", 2);
    LimitLength(htUrl_, 500);
    htPort_ = Edit(b, "TntEditHTTPPort");
    htMethod_ = new QComboBox(b);
    htMethod_->setObjectName(QStringLiteral("TntComboBoxHTTPMethod"));
    htMethod_->addItems({QStringLiteral("Get"), QStringLiteral("Post")});
    htTimeout_ = Edit(b, "TntEditHTTPTimeout");
    htRead_ = Edit(b, "TntEditHTTPReadTimeout");
    r.Add(QStringLiteral("URL"), htUrl_, 2);
    r.Add(QStringLiteral("Port"), htPort_);
    r.Add(QStringLiteral("Method"), htMethod_);
    r.Add(QStringLiteral("Connection Timeout (ms)"), htTimeout_);
    r.Add(QStringLiteral("Read Timeout (ms)"), htRead_);
    connect(htMethod_, &QComboBox::currentIndexChanged, this, &TFormAlarmingSettingsPro::ApplyEnableLogic);

    htSub_ = new QTabWidget(b);
    htSub_->setObjectName(QStringLiteral("TntPageControlHTTP"));
    auto* names = new QWidget;
    auto* ng = new QGridLayout(names);
    Rows nr(ng);
    htMsisdn_ = Edit(names, "TntEditHTTPFieldMSISDN", 50);
    htMessage_ = Edit(names, "TntEditHTTPFieldMessage", 50);
    nr.Add(QStringLiteral("MSISDN"), htMsisdn_);
    nr.Add(QStringLiteral("MESSAGE"), htMessage_);
    htSub_->addTab(names, QStringLiteral("Fields Name (Post)"));
    auto* extra = new QWidget;
    auto* eh = new QHBoxLayout(extra);
    auto* left = new QGridLayout;
    Rows lr(left);
    htFieldName_ = Edit(extra, "TntEditHTTPExtraName", 50);
    htFieldValue_ = Edit(extra, "TntEditHTTPExtraValue", 50);
    lr.Add(QStringLiteral("Field Name"), htFieldName_, 2);
    lr.Add(QStringLiteral("Field Value"), htFieldValue_, 2);
    auto* moves = new QVBoxLayout;
    htAdd_ = new QPushButton(QStringLiteral("Add >>"), extra);
    htAdd_->setObjectName(QStringLiteral("TntButtonAddField"));
    htRemove_ = new QPushButton(QStringLiteral("<< Remove"), extra);
    htRemove_->setObjectName(QStringLiteral("TntButtonRemoveField"));
    moves->addWidget(htAdd_);
    moves->addWidget(htRemove_);
    moves->addStretch();
    htExtra_ = new QTreeWidget(extra);
    htExtra_->setObjectName(QStringLiteral("TntListViewExtraFields"));
    htExtra_->setHeaderLabels({QStringLiteral("Name"), QStringLiteral("Value")});
    htExtra_->setRootIsDecorated(false);
    htExtra_->setFixedHeight(90);
    htExtra_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(htExtra_, &QTreeWidget::customContextMenuRequested, this, [this](const QPoint& p) {
        QMenu menu(this);
        menu.addAction(QStringLiteral("<< Remove"), this, &TFormAlarmingSettingsPro::RemoveExtraField);
        menu.exec(htExtra_->viewport()->mapToGlobal(p));
    });
    connect(htExtra_, &QTreeWidget::itemDoubleClicked, this, &TFormAlarmingSettingsPro::RemoveExtraField);
    connect(htAdd_, &QPushButton::clicked, this, [this] { AddExtraField(); });
    connect(htRemove_, &QPushButton::clicked, this, &TFormAlarmingSettingsPro::RemoveExtraField);
    eh->addLayout(left, 2);
    eh->addLayout(moves);
    eh->addWidget(htExtra_, 2);
    htSub_->addTab(extra, QStringLiteral("Extra Fields (Post)"));
    auto* auth = new QWidget;
    auto* ag = new QGridLayout(auth);
    Rows ar(ag);
    htAuth_ = Box(auth, "TntCheckBoxHTTPAuthentication", QStringLiteral("Authentication"));
    htUser_ = Edit(auth, "TntEditHTTPUsername", 50);
    htPass_ = Edit(auth, "TntEditHTTPPassword", 50);
    htPass_->setEchoMode(QLineEdit::Password);
    ar.Line(htAuth_);
    ar.Add(QStringLiteral("Username"), htUser_);
    ar.Add(QStringLiteral("Password"), htPass_);
    connect(htAuth_, &QCheckBox::toggled, this, &TFormAlarmingSettingsPro::ApplyEnableLogic);
    htSub_->addTab(auth, QStringLiteral("Authentication"));
    auto* proxy = new QWidget;
    auto* pg = new QGridLayout(proxy);
    Rows pr(pg);
    htProxy_ = Edit(proxy, "TntEditHTTPProxyServer", 500);
    htProxyPort_ = Edit(proxy, "TntEditHTTPProxyPort");
    htProxyUser_ = Edit(proxy, "TntEditHTTPProxyUsername", 50);
    htProxyPass_ = Edit(proxy, "TntEditHTTPProxyPassword", 50);
    htProxyPass_->setEchoMode(QLineEdit::Password);
    pr.Add(QStringLiteral("Proxy Server"), htProxy_);
    pr.Add(QStringLiteral("Proxy Port"), htProxyPort_);
    pr.Add(QStringLiteral("Proxy Username "), htProxyUser_);
    pr.Add(QStringLiteral("Proxy Password"), htProxyPass_);
    htSub_->addTab(proxy, QStringLiteral("Proxy"));

    auto* test = new QGroupBox(QStringLiteral("Test Connection (SMS-HTTP)"), b);
    auto* tg = new QGridLayout(test);
    Rows tr(tg);
    htTestMsisdn_ = Edit(b, "TntEditHTTPTestMSISDN", 50);
    htTestMessage_ = Edit(b, "TntEditHTTPTestMessage");
    htResponse_ = Memo(b, "TntMemoHTTPResponse", 2);
    htResponse_->setReadOnly(true);
    tr.Add(QStringLiteral("$MSISDN"), htTestMsisdn_);
    tr.Add(QStringLiteral("$MESSAGE"), htTestMessage_);
    tr.Add(QStringLiteral("Response"), htResponse_, 2);
    auto* v = new QVBoxLayout(b);
    v->setContentsMargins(0, 0, 0, 0);
    v->addWidget(box);
    v->addWidget(htSub_);
    v->addWidget(test);
    v->addStretch();
}

void TFormAlarmingSettingsPro::BuildSysLog() {
    QWidget* b = body_[PageSysLog];
    auto* box = new QGroupBox(QStringLiteral("BSD SysLog Server"), b);
    auto* g = new QGridLayout(box);
    Rows r(g);
    slIp_ = Edit(b, "TntEditSysLogIP", 500);
    slPort_ = Edit(b, "TntEditSysLogPort");
    slTimeout_ = Edit(b, "TntEditSysLogTimeout");
    r.Add(QStringLiteral("IP"), slIp_);
    r.Add(QStringLiteral("Port"), slPort_);
    r.Add(QStringLiteral("Receive Timeout (ms)"), slTimeout_);
    auto* test = new QGroupBox(QStringLiteral("Test Connection (BSD SysLog)"), b);
    auto* tg = new QGridLayout(test);
    Rows tr(tg);
    slFacility_ = new QComboBox(b);
    slFacility_->setObjectName(QStringLiteral("TntComboBoxSysLogFacility"));
    for (const char* f : kFacilities) slFacility_->addItem(QString::fromLatin1(f));
    slSeverity_ = new QComboBox(b);
    slSeverity_->setObjectName(QStringLiteral("TntComboBoxSysLogSeverity"));
    for (const char* s : kSeverities) slSeverity_->addItem(QString::fromLatin1(s));
    slTestMsg_ = Memo(b, "TntMemoSysLogTestMessage");
    tr.Add(QStringLiteral("Facility"), slFacility_);
    tr.Add(QStringLiteral("Severity"), slSeverity_);
    tr.Add(QStringLiteral("Message"), slTestMsg_, 2);
    auto* v = new QVBoxLayout(b);
    v->setContentsMargins(0, 0, 0, 0);
    v->addWidget(box);
    v->addWidget(test);
    v->addStretch();
}

void TFormAlarmingSettingsPro::BuildSnmp() {
    QWidget* b = body_[PageSnmp];
    auto* box = new QGroupBox(QStringLiteral("SNMP Trap"), b);
    auto* g = new QGridLayout(box);
    Rows r(g);
    snIp_ = Edit(b, "TntEditSNMPIP", 500);
    snPort_ = Edit(b, "TntEditSNMPPort");
    snTrapPort_ = Edit(b, "TntEditSNMPTrapPort");
    snEngineId_ = Edit(b, "TntEditSNMPLocalEngineID", 100);
    snLocalhost_ = Edit(b, "TntEditSNMPLocalhost", 100);
    r.Add(QStringLiteral("IP"), snIp_);
    r.Add(QStringLiteral("Port"), snPort_);
    r.Add(QStringLiteral("Trap Port"), snTrapPort_);
    r.Add(QStringLiteral("Local Engine ID"), snEngineId_);
    r.Add(QStringLiteral("Localhost"), snLocalhost_);
    auto* test = new QGroupBox(QStringLiteral("Test Connection (SNMP)"), b);
    auto* tg = new QGridLayout(test);
    snVersion_ = new QComboBox(b);
    snVersion_->setObjectName(QStringLiteral("TntComboBoxSNMPVersion"));
    snVersion_->addItems({QStringLiteral("1"), QStringLiteral("2c"), QStringLiteral("3")});
    snOid_ = Edit(b, "TntEditSNMPTrapOID", 150);
    snHint_ = new QLabel(QStringLiteral("(GenericTrap.SpecificTrap)"), b);
    snHint_->setObjectName(QStringLiteral("TntLabelSNMPHint"));
    snCommunityLabel_ = new QLabel(QStringLiteral("Community"), b);
    snCommunityLabel_->setObjectName(QStringLiteral("TntLabelSNMPCommunity"));
    snCommunity_ = new QComboBox(b);
    snCommunity_->setObjectName(QStringLiteral("TntComboBoxSNMPCommunity"));
    snCommunity_->setEditable(true);
    snCommunity_->addItems({QStringLiteral("public"), QStringLiteral("private")});
    snUsername_ = Edit(b, "TntEditSNMPUsername", 50);
    snEnterpriseLabel_ = new QLabel(QStringLiteral("Enterprise"), b);
    snEnterpriseLabel_->setObjectName(QStringLiteral("TntLabelSNMPEnterprise"));
    snEnterprise_ = Edit(b, "TntEditSNMPEnterprise", 150);
    tg->addWidget(new QLabel(QStringLiteral("Version"), b), 0, 0);
    tg->addWidget(snVersion_, 0, 1);
    tg->addWidget(new QLabel(QStringLiteral("Trap OID"), b), 1, 0);
    tg->addWidget(snOid_, 1, 1);
    tg->addWidget(snHint_, 1, 2);
    tg->addWidget(snCommunityLabel_, 2, 0);
    tg->addWidget(snCommunity_, 2, 1);
    tg->addWidget(snUsername_, 2, 1);
    tg->addWidget(snEnterpriseLabel_, 3, 0);
    tg->addWidget(snEnterprise_, 3, 1);
    tg->setColumnStretch(1, 1);
    connect(snVersion_, &QComboBox::currentIndexChanged, this, &TFormAlarmingSettingsPro::SnmpVersionChanged);
    auto* v = new QVBoxLayout(b);
    v->setContentsMargins(0, 0, 0, 0);
    v->addWidget(box);
    v->addWidget(test);
    v->addStretch();
    SnmpVersionChanged();
}

void TFormAlarmingSettingsPro::BuildSnpp() {
    QWidget* b = body_[PageSnpp];
    auto* box = new QGroupBox(QStringLiteral("SNPP Server"), b);
    auto* g = new QGridLayout(box);
    Rows r(g);
    spIp_ = Edit(b, "TntEditSNPPIP", 500);
    spPort_ = Edit(b, "TntEditSNPPPort");
    spTimeout_ = Edit(b, "TntEditSNPPTimeout");
    spRead_ = Edit(b, "TntEditSNPPReadTimeout");
    r.Add(QStringLiteral("IP"), spIp_);
    r.Add(QStringLiteral("Port"), spPort_);
    r.Add(QStringLiteral("Connection Timeout (ms)"), spTimeout_);
    r.Add(QStringLiteral("Read Timeout (ms)"), spRead_);
    auto* test = new QGroupBox(QStringLiteral("Test Connection (SNPP)"), b);
    auto* tg = new QGridLayout(test);
    Rows tr(tg);
    spTestPager_ = Edit(b, "TntEditSNPPTestPagerID", 100);
    spTestMsg_ = Memo(b, "TntMemoSNPPTestMessage");
    tr.Add(QStringLiteral("Pager ID"), spTestPager_, 2);
    tr.Add(QStringLiteral("Message"), spTestMsg_, 2);
    auto* v = new QVBoxLayout(b);
    v->setContentsMargins(0, 0, 0, 0);
    v->addWidget(box);
    v->addWidget(test);
    v->addStretch();
}

void TFormAlarmingSettingsPro::SnmpVersionChanged() {
    const QString v = snVersion_->currentText();
    const bool one = v == QStringLiteral("1"), three = v == QStringLiteral("3");
    snHint_->setVisible(one);
    snCommunity_->setVisible(one);
    snCommunityLabel_->setVisible(one || three);
    snCommunityLabel_->setText(three ? QStringLiteral("Username") : QStringLiteral("Community"));
    snEnterpriseLabel_->setVisible(one || three);
    snEnterpriseLabel_->setText(three ? QStringLiteral("Password") : QStringLiteral("Enterprise"));
    snEnterprise_->setVisible(one || three);
    snEnterprise_->setMaxLength(three ? 50 : 150);
    snUsername_->setVisible(three);
}

void TFormAlarmingSettingsPro::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (!e->spontaneous()) {
        FormShow();
        // The first focus goes to a button, so opening leaves "Apply" disabled.
        cancel_->setFocus();
    }
}

QString TFormAlarmingSettingsPro::StatusText() const { return status_->currentMessage(); }

void TFormAlarmingSettingsPro::Status(const QString& text) {
    status_->showMessage(text);
    status_->repaint();
}

void TFormAlarmingSettingsPro::SetDefaults() {
    for (auto* e : findChildren<QLineEdit*>()) e->clear();
    for (auto* m : findChildren<QPlainTextEdit*>()) m->clear();
    for (auto* c : enable_) c->setChecked(false);
    for (auto* c : {emAuth_, smAuth_, htAuth_}) c->setChecked(false);
    emPort_->setText(QStringLiteral("25"));
    emTimeout_->setText(QStringLiteral("5000"));
    emRead_->setText(QStringLiteral("5000"));
    smPort_->setText(QStringLiteral("50111"));
    smTimeout_->setText(QStringLiteral("5000"));
    smVersion_->setText(QStringLiteral("34"));
    smSysType_->setText(QStringLiteral("TCP"));
    for (auto* e : {smTon_, smNpi_, smDestTon_, smDestNpi_, smOrigTon_, smOrigNpi_}) e->setText(QStringLiteral("1"));
    htPort_->setText(QStringLiteral("80"));
    htMethod_->setCurrentIndex(0);
    htTimeout_->setText(QStringLiteral("5000"));
    htRead_->setText(QStringLiteral("5000"));
    htExtra_->clear();
    slPort_->setText(QStringLiteral("514"));
    slTimeout_->setText(QStringLiteral("5000"));
    snPort_->setText(QStringLiteral("161"));
    snTrapPort_->setText(QStringLiteral("162"));
    spPort_->setText(QStringLiteral("7777"));
    spTimeout_->setText(QStringLiteral("5000"));
    spRead_->setText(QStringLiteral("5000"));
    snVersion_->setCurrentIndex(0);
    snCommunity_->setCurrentIndex(0);
    snCommunity_->setEditText(QStringLiteral("public"));   // its edit line was emptied above
    slFacility_->setCurrentIndex(0);
    slSeverity_->setCurrentIndex(0);
}

void TFormAlarmingSettingsPro::FormShow() {
    ok_->setEnabled(false);
    SetDefaults();
    FillFromRows();
    FillExtraFields();
    ApplyEnableLogic();
    UpdateTestButton();
    ok_->setEnabled(false);
}

void TFormAlarmingSettingsPro::FillFromRows() {
    DbResult rows;
    try {
        rows = Database().Query("SELECT * FROM alarm_method");
    } catch (const std::exception& e) {
        settingsforms::ReportError(this, "ERR90500", e);
        return;
    }
    auto text = [](const DbRow& r, const char* c) { return r.Has(c) ? FromUtf8(r.Get(c)) : QString(); };
    auto num = [](const DbRow& r, const char* c) { return r.Has(c) ? ShownNumber(r.Get(c)) : QString(); };
    auto yes = [](const DbRow& r, const char* c) { return r.Has(c) && r.GetInt(c) != 0; };
    for (const DbRow& r : rows) {
        const std::string type = r.Has("type") ? r.Get("type") : std::string();
        if (type == kMethodEmail) {
            enable_[PageEmail]->setChecked(yes(r, "enable"));
            emIp_->setText(text(r, "ip"));
            emPort_->setText(num(r, "port"));
            emTimeout_->setText(num(r, "timeout"));
            emRead_->setText(num(r, "read_timeout"));
            emAuth_->setChecked(yes(r, "authenticate"));
            emUser_->setText(text(r, "username"));
            emPass_->setText(text(r, "password"));
            emAgent_->setText(text(r, "smtp_mail_agent"));
            emFrom_->setText(text(r, "smtp_from_address"));
        } else if (type == kMethodSms) {
            enable_[PageSms]->setChecked(yes(r, "enable"));
            smIp_->setText(text(r, "ip"));
            smPort_->setText(num(r, "port"));
            smTimeout_->setText(num(r, "timeout"));
            smAuth_->setChecked(yes(r, "authenticate"));
            smUser_->setText(text(r, "username"));
            smPass_->setText(text(r, "password"));
            smOa_->setText(text(r, "sms_oa"));
            smVersion_->setText(num(r, "sms_version"));
            smSysType_->setText(text(r, "sms_system_type"));
            smTon_->setText(num(r, "sms_ton"));
            smNpi_->setText(num(r, "sms_npi"));
            smDestTon_->setText(num(r, "sms_dest_ton"));
            smDestNpi_->setText(num(r, "sms_dest_npi"));
            smOrigTon_->setText(num(r, "sms_orig_ton"));
            smOrigNpi_->setText(num(r, "sms_orig_npi"));
        } else if (type == kMethodSmsHttp) {
            enable_[PageSmsHttp]->setChecked(yes(r, "enable"));
            htUrl_->setPlainText(text(r, "ip"));
            htPort_->setText(num(r, "port"));
            htTimeout_->setText(num(r, "timeout"));
            htRead_->setText(num(r, "read_timeout"));
            htAuth_->setChecked(yes(r, "authenticate"));
            htUser_->setText(text(r, "username"));
            htPass_->setText(text(r, "password"));
            htProxy_->setText(text(r, "proxy_ip"));
            htProxyPort_->setText(num(r, "proxy_port"));
            htProxyUser_->setText(text(r, "proxy_username"));
            htProxyPass_->setText(text(r, "proxy_password"));
            const int m = htMethod_->findText(text(r, "url_method"));
            htMethod_->setCurrentIndex(m < 0 ? 0 : m);
            htMsisdn_->setText(text(r, "field_msisdn"));
            htMessage_->setText(text(r, "field_message"));
        } else if (type == kMethodSysLog) {
            enable_[PageSysLog]->setChecked(yes(r, "enable"));
            slIp_->setText(text(r, "ip"));
            slPort_->setText(num(r, "port"));
            slTimeout_->setText(num(r, "timeout"));
        } else if (type == kMethodSnmp) {
            enable_[PageSnmp]->setChecked(yes(r, "enable"));
            snIp_->setText(text(r, "ip"));
            snPort_->setText(num(r, "port"));
            snTrapPort_->setText(num(r, "snmp_trap_port"));
            snEngineId_->setText(text(r, "snmp_local_engine_id"));
            snLocalhost_->setText(text(r, "snmp_localhost"));
        } else if (type == kMethodSnpp) {
            enable_[PageSnpp]->setChecked(yes(r, "enable"));
            spIp_->setText(text(r, "ip"));
            spPort_->setText(num(r, "port"));
            spTimeout_->setText(num(r, "timeout"));
            spRead_->setText(num(r, "read_timeout"));
        }
    }
}

void TFormAlarmingSettingsPro::FillExtraFields() {
    try {
        if (host_ != nullptr && host_->Engine() != nullptr)
            methods_ = host_->Engine()->AlarmMethods();
        else
            LoadAlarmMethods(Database(), methods_, HostVariant::Console);
    } catch (const std::exception& e) {
        settingsforms::ReportError(this, "ERR90501", e);
        return;
    }
    htExtra_->clear();
    if (!methods_.smsHttp.enabled || methods_.smsHttp.method_word != "Post") return;
    // Listed in stored order, so saving without a change keeps the order of the fields.
    for (const std::string& line : methods_.smsHttp.ExtraPostFields) {
        const auto eq = line.find('=');
        auto* item = new QTreeWidgetItem;
        item->setText(0, FromUtf8(line.substr(0, eq)));
        item->setText(1, eq == std::string::npos ? QString() : FromUtf8(line.substr(eq + 1)));
        htExtra_->addTopLevelItem(item);
    }
}

void TFormAlarmingSettingsPro::ApplyEnableLogic() {
    for (int i = 0; i < 6; ++i) body_[i]->setEnabled(enable_[i]->isChecked());
    for (auto* f : {emUser_, emPass_}) f->setEnabled(emAuth_->isChecked());
    for (auto* f : {smUser_, smPass_}) f->setEnabled(smAuth_->isChecked());
    for (auto* f : {htUser_, htPass_}) f->setEnabled(htAuth_->isChecked());
    const bool post = htMethod_->currentText() == QStringLiteral("Post");
    htSub_->setTabEnabled(0, post);
    htSub_->setTabEnabled(1, post);
    if (!post && htSub_->currentIndex() < 2) htSub_->setCurrentIndex(2);
    UpdateTestButton();
}

void TFormAlarmingSettingsPro::UpdateTestButton() {
    const int page = tabs_->currentIndex();
    if (page < 0) return;
    test_->setText(QString::fromLatin1(kTestCaptions[page]));
    test_->setEnabled(enable_[page]->isChecked() && !running_);
}

bool TFormAlarmingSettingsPro::AddExtraField() {
    if (htFieldName_->text().isEmpty() || htFieldValue_->text().isEmpty()) {
        dialogs::Information(this, QStringLiteral("%1 or %2 is empty. Please input this field.")
                                       .arg(QStringLiteral("Field Name"), QStringLiteral("Field Value")));
        htFieldName_->setFocus();
        return false;
    }
    auto* item = new QTreeWidgetItem;
    item->setText(0, htFieldName_->text());
    item->setText(1, htFieldValue_->text());
    htExtra_->insertTopLevelItem(0, item);
    htFieldName_->clear();
    htFieldValue_->clear();
    return true;
}

void TFormAlarmingSettingsPro::RemoveExtraField() {
    QTreeWidgetItem* item = htExtra_->currentItem();
    if (item == nullptr) return;
    htFieldName_->setText(item->text(0));
    htFieldValue_->setText(item->text(1));
    delete item;
}

void TFormAlarmingSettingsPro::Refuse(const QString& text, QWidget* field) {
    dialogs::Information(this, text);
    QWidget* child = field;
    for (QWidget* w = field->parentWidget(); w != nullptr; child = w, w = w->parentWidget()) {
        // A QTabWidget's pages sit in its internal stack; find the page by walking up.
        if (auto* tw = qobject_cast<QTabWidget*>(w)) {
            for (QWidget* c = field; c != nullptr; c = c->parentWidget()) {
                const int index = tw->indexOf(c);
                if (index >= 0) {
                    tw->setCurrentIndex(index);
                    break;
                }
            }
        }
    }
    (void)child;
    field->setFocus();
}

bool TFormAlarmingSettingsPro::NotEmpty(QWidget* field, const char* name) {
    QString t;
    if (auto* e = qobject_cast<QLineEdit*>(field)) t = e->text();
    if (auto* m = qobject_cast<QPlainTextEdit*>(field)) t = m->toPlainText();
    if (!t.isEmpty()) return true;
    Refuse(QStringLiteral("%1 field is empty.").arg(QString::fromLatin1(name)), field);
    return false;
}

bool TFormAlarmingSettingsPro::IsNumber(QLineEdit* field, const char* name) {
    if (settingsforms::IsInteger(field->text())) return true;
    Refuse(QStringLiteral("%1 is invalid integer or empty.").arg(QString::fromLatin1(name)), field);
    return false;
}

bool TFormAlarmingSettingsPro::Validate(int page) {
    if (!enable_[page]->isChecked()) return true;
    switch (page) {
    case PageEmail:
        return NotEmpty(emIp_, "SMTP IP/Address") && NotEmpty(emFrom_, "SMTP From Address") &&
               IsNumber(emPort_, "SMTP Port") && IsNumber(emTimeout_, "SMTP Connection Timeout") &&
               IsNumber(emRead_, "SMTP Read Timeout");
    case PageSms:
        return NotEmpty(smIp_, "SMSC IP") && IsNumber(smPort_, "SMSC Port") &&
               IsNumber(smTimeout_, "SMSC Response Timeout") && IsNumber(smVersion_, "SMSC Version") &&
               IsNumber(smTon_, "SMSC TON") && IsNumber(smNpi_, "SMSC NPI") &&
               IsNumber(smDestTon_, "SMSC Dest. TON") && IsNumber(smDestNpi_, "SMSC Dest. NPI") &&
               IsNumber(smOrigTon_, "SMSC Orig. TON") && IsNumber(smOrigNpi_, "SMSC Orig. NPI");
    case PageSmsHttp: {
        if (!NotEmpty(htUrl_, "HTTP-SMS URL")) return false;
        if (htMethod_->currentText() == QStringLiteral("Post") &&
            !(NotEmpty(htMsisdn_, "SMSC MSISDN") && NotEmpty(htMessage_, "SMSC MESSAGE")))
            return false;
        if (!(IsNumber(htPort_, "HTTP-SMS Port") && IsNumber(htTimeout_, "HTTP-SMS Connection Timeout") &&
              IsNumber(htRead_, "HTTP-SMS Read Timeout")))
            return false;
        if (!htProxy_->text().isEmpty()) {
            if (htProxyPort_->text().isEmpty()) htProxyPort_->setText(QStringLiteral("0"));
            if (!IsNumber(htProxyPort_, "HTTP-SMS Proxy Port")) return false;
        }
        return true;
    }
    case PageSysLog:
        return NotEmpty(slIp_, "SysLog IP") && IsNumber(slPort_, "SysLog Port") &&
               IsNumber(slTimeout_, "SysLog Receive Timeout");
    case PageSnmp:
        return NotEmpty(snIp_, "SNMP IP") && IsNumber(snPort_, "SNMP Port") && IsNumber(snTrapPort_, "SNMP Trap Port");
    case PageSnpp:
        return NotEmpty(spIp_, "SNPP IP") && IsNumber(spPort_, "SNPP Port") &&
               IsNumber(spTimeout_, "SNPP Connection Timeout") && IsNumber(spRead_, "SNPP Read Timeout");
    }
    return true;
}

bool TFormAlarmingSettingsPro::TntButtonOKClick() {
    for (int page = 0; page < 6; ++page)
        if (!Validate(page)) return false;
    const bool saved = SaveMethods();
    try {
        LoadAlarmMethods(Database(), methods_, HostVariant::Console);
    } catch (const std::exception& e) {
        settingsforms::ReportError(this, "ERR90501", e);
    }
    if (host_ != nullptr) host_->AlarmMethodsChanged();
    // A method that could not be stored has been reported; "Apply" stays for another try.
    if (!saved) {
        ok_->setEnabled(true);
        return false;
    }
    settingsforms::ShowStatus(host_, status_, QStringLiteral("Option settings saved."));
    ok_->setEnabled(false);
    return true;
}

bool TFormAlarmingSettingsPro::SaveMethods() {
    ZUVOzedovUzivara& db = Database();
    bool allSaved = true;
    auto q = [&db](const QString& t) { return db.Quote(Utf8(t)); };
    auto n = [&db](const QLineEdit* e) { return NumberSql(db, e); };
    auto b = [](const QCheckBox* c) { return std::string(c->isChecked() ? "1" : "0"); };
    using Columns = std::vector<std::pair<const char*, std::string>>;
    auto save = [&](int page, const char* code, const Columns& cols) {
        const std::string type = kMethods[page];
        try {
            const bool exists = !db.Query("SELECT * FROM alarm_method WHERE type =" + db.Quote(type)).empty();
            std::string sql;
            if (exists) {
                sql = "UPDATE alarm_method SET ";
                for (size_t i = 0; i < cols.size(); ++i)
                    sql += std::string(i ? "," : "") + cols[i].first + "=" + cols[i].second;
                sql += " WHERE type =" + db.Quote(type);
            } else {
                std::string names = "type", values = db.Quote(type);
                for (const auto& c : cols) {
                    names += std::string(",") + c.first;
                    values += "," + c.second;
                }
                sql = "INSERT INTO alarm_method (" + names + ") VALUES (" + values + ")";
            }
            db.Execute(sql);
        } catch (const std::exception& e) {
            allSaved = false;
            settingsforms::ReportError(this, code, e);
        }
    };
    save(PageEmail, "ERR90502",
         {{"enable", b(enable_[PageEmail])}, {"ip", q(emIp_->text())}, {"port", n(emPort_)},
          {"timeout", n(emTimeout_)}, {"read_timeout", n(emRead_)}, {"authenticate", b(emAuth_)},
          {"username", q(emUser_->text())}, {"password", q(emPass_->text())},
          {"smtp_mail_agent", q(emAgent_->text())}, {"smtp_from_address", q(emFrom_->text())}});
    save(PageSms, "ERR90503",
         {{"enable", b(enable_[PageSms])}, {"ip", q(smIp_->text())}, {"port", n(smPort_)},
          {"timeout", n(smTimeout_)}, {"authenticate", b(smAuth_)}, {"username", q(smUser_->text())},
          {"password", q(smPass_->text())}, {"sms_oa", q(smOa_->text())}, {"sms_version", n(smVersion_)},
          {"sms_system_type", q(smSysType_->text())}, {"sms_ton", n(smTon_)}, {"sms_npi", n(smNpi_)},
          {"sms_dest_ton", n(smDestTon_)}, {"sms_dest_npi", n(smDestNpi_)}, {"sms_orig_ton", n(smOrigTon_)},
          {"sms_orig_npi", n(smOrigNpi_)}});
    save(PageSmsHttp, "ERR90504",
         {{"enable", b(enable_[PageSmsHttp])}, {"ip", q(htUrl_->toPlainText())}, {"port", n(htPort_)},
          {"timeout", n(htTimeout_)}, {"read_timeout", n(htRead_)}, {"authenticate", b(htAuth_)},
          {"username", q(htUser_->text())}, {"password", q(htPass_->text())}, {"proxy_ip", q(htProxy_->text())},
          {"proxy_port", n(htProxyPort_)}, {"proxy_username", q(htProxyUser_->text())},
          {"proxy_password", q(htProxyPass_->text())}, {"url_method", q(htMethod_->currentText())},
          {"field_msisdn", q(htMsisdn_->text())}, {"field_message", q(htMessage_->text())}});
    if (enable_[PageSmsHttp]->isChecked() && htMethod_->currentText() == QStringLiteral("Post")) {
        try {
            db.Execute("DELETE FROM alarm_method_extra_fields");
            for (int i = 0; i < htExtra_->topLevelItemCount(); ++i) {
                const QTreeWidgetItem* it = htExtra_->topLevelItem(i);
                db.Execute("INSERT INTO alarm_method_extra_fields (field_name,field_value) VALUES (" +
                           q(it->text(0).trimmed()) + "," + q(it->text(1).trimmed()) + ")");
            }
        } catch (const std::exception& e) {
            allSaved = false;
            settingsforms::ReportError(this, "ERR90505", e);
        }
    }
    save(PageSysLog, "ERR90506",
         {{"enable", b(enable_[PageSysLog])}, {"ip", q(slIp_->text())}, {"port", n(slPort_)},
          {"timeout", n(slTimeout_)}});
    save(PageSnmp, "ERR90507",
         {{"enable", b(enable_[PageSnmp])}, {"ip", q(snIp_->text())}, {"port", n(snPort_)},
          {"snmp_trap_port", n(snTrapPort_)}, {"snmp_local_engine_id", q(snEngineId_->text())},
          {"snmp_localhost", q(snLocalhost_->text())}});
    save(PageSnpp, "ERR90508",
         {{"enable", b(enable_[PageSnpp])}, {"ip", q(spIp_->text())}, {"port", n(spPort_)},
          {"timeout", n(spTimeout_)}, {"read_timeout", n(spRead_)}});
    return allSaved;
}

void TFormAlarmingSettingsPro::TntButtonCancelClick() {
    if (host_ != nullptr) host_->ShowStatus(QStringLiteral("Updating option settings cancel."));
    close();
}

void TFormAlarmingSettingsPro::TntButtonHelpClick() {
    const std::string& helpFile = InitSettings().HelpFilePath;
    if (helpFile.empty()) return;
    const QString dir = QFileInfo(FromUtf8(helpFile)).absolutePath();
    const QString topic = dir + QLatin1Char('/') + QString::fromLatin1(kHelpTopics[tabs_->currentIndex()]);
    if (!QFileInfo::exists(topic) || !QDesktopServices::openUrl(QUrl::fromLocalFile(topic)))
        QDesktopServices::openUrl(QUrl::fromLocalFile(FromUtf8(helpFile)));
}

bool TFormAlarmingSettingsPro::ValidateTestFields(int page) {
    auto need = [this](QWidget* field, const char* name) {
        QString t;
        if (auto* e = qobject_cast<QLineEdit*>(field)) t = e->text();
        if (auto* m = qobject_cast<QPlainTextEdit*>(field)) t = m->toPlainText();
        if (!t.isEmpty()) return true;
        Refuse(QStringLiteral("%1 is empty. Please input this field for testing connection.")
                   .arg(QString::fromLatin1(name)),
               field);
        return false;
    };
    switch (page) {
    case PageEmail: return need(emTestTo_, "Recipient Email") && need(emTestMsg_, "Message");
    case PageSms: return need(smTestPhone_, "Phone Number") && need(smTestMsg_, "Message");
    case PageSmsHttp: return need(htTestMsisdn_, "$MSISDN") && need(htTestMessage_, "$MESSAGE");
    case PageSysLog: return need(slTestMsg_, "Message");
    case PageSnmp: return need(snOid_, "Trap OID");
    case PageSnpp: return need(spTestPager_, "Pager ID") && need(spTestMsg_, "Message");
    }
    return true;
}

void TFormAlarmingSettingsPro::RunSender(AlarmSender& sender) {
    std::atomic<bool> done{false};
    std::thread worker([&sender, &done] {
        sender.Execute();
        done = true;
    });
    // Every sender works against its timeouts, so this wait ends; meanwhile the form paints.
    while (!done) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 20);
        QThread::msleep(10);
    }
    worker.join();
}

bool TFormAlarmingSettingsPro::TntButtonTestClick() {
    const int page = tabs_->currentIndex();
    if (running_ || page < 0 || !enable_[page]->isChecked()) return false;
    if (!ValidateTestFields(page) || !Validate(page)) return false;
    const QString word = QString::fromLatin1(kTestWords[page]);
    Status(QStringLiteral("%1 Message is sending out...").arg(word));
    running_ = true;
    UpdateTestButton();
    std::unique_ptr<AlarmSender> sender;
    QString errorWord = word;
    try {
        switch (page) {
        case PageEmail: {
            AlarmMethodSettings::Email s;
            s.enabled = true;
            s.host = NormaliseMethodHost(Utf8(emIp_->text()), HostVariant::Console);
            s.port = Number(emPort_);
            s.mail_agent = Utf8(emAgent_->text());
            s.from_address = Utf8(emFrom_->text());
            s.authenticate = emAuth_->isChecked() ? 1 : 0;
            s.username = Utf8(emUser_->text());
            s.password = Utf8(emPass_->text());
            s.timeout = Number(emTimeout_);
            s.read_timeout = Number(emRead_);
            auto message = ThreadSMTP::BuildMessage(s, Utf8(emTestTo_->text()), Utf8(emTestMsg_->toPlainText()));
            message->subject = "Testing Alarm Message";
            message->body = Utf8(emTestMsg_->toPlainText());
            sender = std::make_unique<ThreadSMTP>(s, std::move(message));
            break;
        }
        case PageSms: {
            AlarmMethodSettings::Sms s;
            s.enabled = true;
            s.host = NormaliseMethodHost(Utf8(smIp_->text()), HostVariant::Console);
            s.port = Number(smPort_);
            s.originator = Utf8(smOa_->text());
            // The test's bind always carries the user name and password fields.
            s.authenticate = true;
            s.username = Utf8(smUser_->text());
            s.password = Utf8(smPass_->text());
            s.version = Number(smVersion_);
            s.system_type = Utf8(smSysType_->text());
            s.ton = Number(smTon_);
            s.npi = Number(smNpi_);
            s.dest_ton = Number(smDestTon_);
            s.dest_npi = Number(smDestNpi_);
            s.orig_ton = Number(smOrigTon_);
            s.orig_npi = Number(smOrigNpi_);
            s.timeout = Number(smTimeout_);
            sender = std::make_unique<ThreadSMS>(s, Utf8(smTestPhone_->text()), Utf8(smTestMsg_->toPlainText()));
            break;
        }
        case PageSmsHttp: {
            AlarmMethodSettings::SmsHttp s;
            s.enabled = true;
            s.method_word = Utf8(htMethod_->currentText());
            const std::string url = Utf8(htUrl_->toPlainText());
            s.url = s.method_word == "Get" ? NormaliseGatewayUrl(url) : url;
            s.port = Number(htPort_);
            s.authenticate = htAuth_->isChecked();
            s.username = Utf8(htUser_->text());
            s.password = Utf8(htPass_->text());
            s.proxy_host = Utf8(htProxy_->text());
            // As in the deliveries, the proxy is used only with both its host and port.
            s.proxy_port = Number(htProxyPort_);
            s.proxy_username = Utf8(htProxyUser_->text());
            s.proxy_password = Utf8(htProxyPass_->text());
            s.field_msisdn = Utf8(htMsisdn_->text());
            s.field_message = Utf8(htMessage_->text());
            s.timeout = Number(htTimeout_);
            s.read_timeout = Number(htRead_);
            s.ExtraPostFields = methods_.smsHttp.ExtraPostFields;
            htResponse_->clear();
            sender = std::make_unique<ThreadURL>(s, Utf8(htTestMsisdn_->text()), Utf8(htTestMessage_->text()));
            break;
        }
        case PageSysLog: {
            AlarmMethodSettings::SysLog s;
            s.enabled = true;
            s.host = NormaliseMethodHost(Utf8(slIp_->text()), HostVariant::Console);
            s.port = Number(slPort_);
            s.timeout = Number(slTimeout_);
            AlarmParams p;
            p.alarm_syslog_facility = Utf8(slFacility_->currentText());
            p.alarm_syslog_severity = Utf8(slSeverity_->currentText());
            sender = std::make_unique<ThreadSysLog>(s, p, Utf8(slTestMsg_->toPlainText()));
            break;
        }
        case PageSnmp: {
            AlarmMethodSettings::Snmp s;
            s.enabled = true;
            s.host = NormaliseMethodHost(Utf8(snIp_->text()), HostVariant::Console);
            s.port = Number(snPort_);
            s.trap_port = Number(snTrapPort_);
            s.local_engine_id = Utf8(snEngineId_->text());
            s.local_host = Utf8(snLocalhost_->text());
            AlarmParams p;
            const QString v = snVersion_->currentText();
            p.alarm_snmp_version = v == QStringLiteral("1") ? 1 : v == QStringLiteral("2c") ? 2 : 3;
            p.alarm_snmp_trap_oid = Utf8(snOid_->text());
            if (p.alarm_snmp_version == 1) {
                p.alarm_snmp_trap_community = Utf8(snCommunity_->currentText());
                p.alarm_snmp_trap_enterprise = Utf8(snEnterprise_->text());
            } else if (p.alarm_snmp_version == 3) {
                p.alarm_snmp_trap_username = Utf8(snUsername_->text());
                p.alarm_snmp_trap_password = Utf8(snEnterprise_->text());
            }
            if (!trapSender_) trapSender_ = std::make_unique<TrapSender>();
            sender = std::make_unique<ThreadSNMP>(*trapSender_, s, p);
            break;
        }
        case PageSnpp: {
            AlarmMethodSettings::Snpp s;
            s.enabled = true;
            s.host = NormaliseMethodHost(Utf8(spIp_->text()), HostVariant::Console);
            s.port = Number(spPort_);
            s.timeout = Number(spTimeout_);
            s.read_timeout = Number(spRead_);
            sender = std::make_unique<ThreadSNPP>(s, Utf8(spTestPager_->text()), Utf8(spTestMsg_->toPlainText()));
            break;
        }
        }
        RunSender(*sender);
    } catch (const std::exception& e) {
        running_ = false;
        UpdateTestButton();
        Status(QStringLiteral("%1 Error : ").arg(word) + FromUtf8(e.what()));
        return false;
    }
    running_ = false;
    UpdateTestButton();
    if (page == PageSmsHttp) htResponse_->setPlainText(FromUtf8(static_cast<ThreadURL&>(*sender).ResponseBody()));
    if (sender->sent) {
        Status(QStringLiteral("%1 Message has been sent already.").arg(word));
        return true;
    }
    // An e-mail error after the connection was made is named as the login's.
    if (page == PageEmail && sender->result_text.find("Connection Error") == std::string::npos)
        errorWord = QStringLiteral("SMTP Authentication");
    QString error = FromUtf8(sender->result_text);
    if (page == PageSms) error = SmsTestError(sender->result_text);
    Status(QStringLiteral("%1 Error : ").arg(errorWord) + error);
    return false;
}

} // namespace velmora
