#include "TFormSettings.h"

#include "ConsoleHost.h"
#include "Dialogs.h"
#include "SettingsFormsSupport.h"

#include "foundation/InitSettings.h"
#include "service/ServiceControl.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QStatusBar>
#include <QTabWidget>
#include <QVBoxLayout>

namespace velmora {

using settingsforms::FromUtf8;
using settingsforms::Utf8;

namespace {

QComboBox* DayChoice(QWidget* parent, const char* name) {
    auto* c = new QComboBox(parent);
    c->setObjectName(QString::fromLatin1(name));
    for (int i = 1; i <= 999; ++i) c->addItem(QString::number(i));
    c->setMaxVisibleItems(15);
    return c;
}

// Selects the entry equal to the value; a value outside 1..999 leaves no selection.
void SelectDay(QComboBox* c, int value) { c->setCurrentIndex(value >= 1 && value <= 999 ? value - 1 : -1); }

QLineEdit* Edit(QWidget* parent, const char* name) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    return e;
}

QCheckBox* Box(QWidget* parent, const char* name, const QString& caption) {
    auto* b = new QCheckBox(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    return b;
}

} // namespace

TFormSettings::TFormSettings(ConsoleHost* host, QWidget* parent) : QDialog(parent), host_(host) {
    setObjectName(QStringLiteral("FormSettings"));
    setWindowTitle(QStringLiteral("Options"));
    setWindowFlag(Qt::WindowStaysOnTopHint, true);

    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("TntPageControl"));
    tabs_->setUsesScrollButtons(false);   // every tab caption in full

    // General
    auto* general = new QWidget;
    general->setObjectName(QStringLiteral("TntTabSheetGeneral"));
    initStart_ = new QComboBox(general);
    initStart_->setObjectName(QStringLiteral("TntComboBoxInitStart"));
    initStart_->addItems({QStringLiteral("Yes"), QStringLiteral("No")});
    runAsService_ = Box(general, "TntCheckBoxRunAsService", QStringLiteral("Run as window tray"));
    runAsWinService_ = Box(general, "TntCheckBoxRunAsWinService", QStringLiteral("Run as window service"));
    auto* settingsBox = new QGroupBox(QStringLiteral("Settings"), general);
    auto* sf = new QFormLayout(settingsBox);
    sf->addRow(QStringLiteral("Initial start"), initStart_);
    sf->addRow(runAsService_);
    sf->addRow(runAsWinService_);
    logFilename_ = Edit(general, "TntEditSysLogFilename");
    logHouseKeep_ = DayChoice(general, "TntComboBoxSysLogHouseKeepDay");
    auto* logBox = new QGroupBox(QStringLiteral("System Log"), general);
    auto* lf = new QFormLayout(logBox);
    lf->addRow(QStringLiteral("Filename"), logFilename_);
    lf->addRow(QStringLiteral("House keep day"), logHouseKeep_);
    numberOfLogs_ = DayChoice(general, "TntComboBoxNumberOfLogs");
    auto* alarmBox = new QGroupBox(QStringLiteral("Alarm Message"), general);
    auto* af = new QFormLayout(alarmBox);
    af->addRow(QStringLiteral("Number of Logs"), numberOfLogs_);
    auto* gl = new QVBoxLayout(general);
    gl->addWidget(settingsBox);
    gl->addWidget(logBox);
    gl->addWidget(alarmBox);
    gl->addStretch();
    tabs_->addTab(general, QStringLiteral("General"));

    // Concurrent Services
    auto* concurrent = new QWidget;
    concurrent->setObjectName(QStringLiteral("TntTabSheetConcurrent"));
    maxConcurrent_ = Edit(concurrent, "TntEditMaxConcurrent");
    noQueuing_ = Edit(concurrent, "TntEditNoQueuing");
    queuingTime_ = Edit(concurrent, "TntEditQueuingTime");
    auto* poolBox = new QGroupBox(QStringLiteral("Settings"), concurrent);
    auto* pf = new QFormLayout(poolBox);
    pf->addRow(QStringLiteral("Max Concurrent Services *"), maxConcurrent_);
    pf->addRow(QStringLiteral("No. of Queuing Services *"), noQueuing_);
    auto* timeRow = new QHBoxLayout;
    timeRow->addWidget(queuingTime_);
    timeRow->addWidget(new QLabel(QStringLiteral("s"), concurrent));
    pf->addRow(QStringLiteral("Service Queuing Time *"), timeRow);
    auto* cl = new QVBoxLayout(concurrent);
    cl->addWidget(poolBox);
    cl->addStretch();
    tabs_->addTab(concurrent, QStringLiteral("Concurrent Services"));

    // Database Connection
    auto* database = new QWidget;
    database->setObjectName(QStringLiteral("TntTabSheetDatabase"));
    host_Edit_ = Edit(database, "TntEditHost");
    port_ = Edit(database, "TntEditPort");
    username_ = Edit(database, "TntEditUsername");
    password_ = Edit(database, "TntEditPassword");
    password_->setEchoMode(QLineEdit::Password);
    auto* dbBox = new QGroupBox(QStringLiteral("Database Connection"), database);
    auto* df = new QFormLayout(dbBox);
    df->addRow(QStringLiteral("Host *"), host_Edit_);
    df->addRow(QStringLiteral("Port *"), port_);
    df->addRow(QStringLiteral("Username"), username_);
    df->addRow(QStringLiteral("Password"), password_);
    auto* note = new QLabel(
        QStringLiteral("Note : After saving the database connection values, it will be effective when startup next time."),
        database);
    note->setWordWrap(true);
    auto* dl = new QVBoxLayout(database);
    dl->addWidget(dbBox);
    dl->addWidget(note);
    dl->addStretch();
    tabs_->addTab(database, QStringLiteral("Database Connection"));

    // Alarm Msg Backup
    auto* backup = new QWidget;
    backup->setObjectName(QStringLiteral("TntTabSheetBackup"));
    fileEnable_ = Box(backup, "TntCheckBoxFileEnable", QStringLiteral("Enable"));
    filePath_ = Edit(backup, "TntEditFilePath");
    filePath_->setReadOnly(true);
    filePathButton_ = new QPushButton(QStringLiteral("..."), backup);
    filePathButton_->setObjectName(QStringLiteral("TntButtonFilePath"));
    fileName_ = Edit(backup, "TntEditFileName");
    fileHouseKeep_ = DayChoice(backup, "TntComboBoxFileHouseKeepDay");
    auto* fileBox = new QGroupBox(QStringLiteral("File Details"), backup);
    auto* ff = new QFormLayout(fileBox);
    ff->addRow(fileEnable_);
    auto* pathRow = new QHBoxLayout;
    pathRow->addWidget(filePath_, 1);
    pathRow->addWidget(filePathButton_);
    ff->addRow(QStringLiteral("File Path"), pathRow);
    ff->addRow(QStringLiteral("Filename"), fileName_);
    ff->addRow(QStringLiteral("House Keep Day"), fileHouseKeep_);
    dbEnable_ = Box(backup, "TntCheckBoxDBEnable", QStringLiteral("Enable"));
    dbType_ = new QComboBox(backup);
    dbType_->setObjectName(QStringLiteral("TntComboBoxDBType"));
    dbType_->addItem(QStringLiteral("MySQL"));
    dbHouseKeep_ = DayChoice(backup, "TntComboBoxDBHouseKeepDay");
    auto* dbDetails = new QGroupBox(QStringLiteral("Database Details"), backup);
    auto* bf = new QFormLayout(dbDetails);
    bf->addRow(dbEnable_);
    bf->addRow(QStringLiteral("Database Type"), dbType_);
    bf->addRow(QStringLiteral("House keep day"), dbHouseKeep_);
    auto* bl = new QVBoxLayout(backup);
    bl->addWidget(fileBox);
    bl->addWidget(dbDetails);
    bl->addStretch();
    tabs_->addTab(backup, QStringLiteral("Alarm Msg Backup"));

    connect(fileEnable_, &QCheckBox::toggled, this, &TFormSettings::EnableBackupFields);
    connect(dbEnable_, &QCheckBox::toggled, this, &TFormSettings::EnableBackupFields);
    connect(filePathButton_, &QPushButton::clicked, this, &TFormSettings::TntButtonPathClick);

    ok_ = settingsforms::NewButton(this, QStringLiteral("Apply"), "TntButtonOK");
    ok_->setToolTip(QStringLiteral("Click to save the settings"));
    cancel_ = settingsforms::NewButton(this, QStringLiteral("Cancel"), "TntButtonCancel");
    cancel_->setToolTip(QStringLiteral("Click to cancel changes and close the window"));
    default_ = settingsforms::NewButton(this, QStringLiteral("Default"), "TntButtonDefault");
    default_->setToolTip(QStringLiteral("Click to reset the settings to default"));
    connect(ok_, &QPushButton::clicked, this, [this] { TntButtonOKClick(); });
    connect(cancel_, &QPushButton::clicked, this, &TFormSettings::TntButtonCancelClick);
    connect(default_, &QPushButton::clicked, this, &TFormSettings::TntButtonDefaultClick);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(default_);
    buttons->addStretch();
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);

    status_ = settingsforms::NewStatusBar(this, "TntStatusBar");

    auto* top = new QVBoxLayout(this);
    top->addWidget(tabs_, 1);
    top->addLayout(buttons);
    top->addWidget(status_);
    resize(520, 440);

    // Entering any control enables "Apply".
    settingsforms::WatchFocus(this, this, {ok_, cancel_, default_});
    ok_->setEnabled(false);
}

bool TFormSettings::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) ok_->setEnabled(true);
    return QDialog::eventFilter(watched, event);
}

void TFormSettings::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (!e->spontaneous()) {
        FormShow();
        // The first focus goes to a button, so opening leaves "Apply" disabled.
        cancel_->setFocus();
    }
}

void TFormSettings::Status(const QString& text) { settingsforms::ShowStatus(host_, status_, text); }

void TFormSettings::EnableBackupFields() {
    const bool file = fileEnable_->isChecked();
    filePath_->setEnabled(file);
    filePathButton_->setEnabled(file);
    fileName_->setEnabled(file);
    fileHouseKeep_->setEnabled(file);
    dbHouseKeep_->setEnabled(dbEnable_->isChecked());
}

void TFormSettings::FormShow() {
    const TInitSettings& s = InitSettings();
    applied_ = false;
    initStart_->setCurrentIndex(s.InitStart ? 0 : 1);
    runAsService_->setChecked(s.RunAsService);
    runAsWinService_->setChecked(s.RunAsWinService);
    logFilename_->setText(FromUtf8(s.SystemLogFilename));
    SelectDay(logHouseKeep_, s.SystemLogHouseKeepDay);
    SelectDay(numberOfLogs_, s.ShowLogItem);
    maxConcurrent_->setText(QString::number(s.NoConcurrentAlarm));
    noQueuing_->setText(QString::number(s.NoQueuingAlarm));
    queuingTime_->setText(QString::number(s.QueningSecond));
    host_Edit_->setText(FromUtf8(s.Host));
    port_->setText(FromUtf8(s.Port));
    username_->setText(FromUtf8(s.DBUsername));
    password_->setText(FromUtf8(s.DBPassword));
    fileEnable_->setChecked(s.AlarmMsgFileEnable);
    filePath_->setText(FromUtf8(s.AlarmMsgFilenamePath));
    fileName_->setText(FromUtf8(s.AlarmMsgFilename));
    SelectDay(fileHouseKeep_, s.AlarmMsgFileHouseKeepDay);
    dbEnable_->setChecked(s.AlarmMsgDBEnable);
    dbType_->setCurrentIndex(0);
    SelectDay(dbHouseKeep_, s.AlarmMsgDBHouseKeepDay);
    EnableBackupFields();
    ok_->setEnabled(false);
    if (host_ != nullptr) host_->ShowStatus(QStringLiteral("Updating the settings."));
}

void TFormSettings::Refuse(const QString& text, QWidget* field) {
    dialogs::Information(this, text);
    for (QWidget* w = field; w != nullptr; w = w->parentWidget()) {
        const int index = tabs_->indexOf(w);
        if (index >= 0) {
            tabs_->setCurrentIndex(index);
            break;
        }
    }
    field->setFocus();
}

bool TFormSettings::TntButtonOKClick() {
    const QString invalid = QStringLiteral("%1 is invalid integer or empty.");
    const QString empty = QStringLiteral("%1 field is empty.");
    struct IntCheck {
        QLineEdit* field;
        const char* name;
    };
    for (const IntCheck& c : {IntCheck{maxConcurrent_, "Max Concurrent Alarms"},
                              IntCheck{noQueuing_, "No. of Queuing Alarms"},
                              IntCheck{queuingTime_, "Alarm Queuing Time"}}) {
        if (!settingsforms::IsInteger(c.field->text())) {
            Refuse(invalid.arg(QString::fromLatin1(c.name)), c.field);
            return false;
        }
    }
    if (host_Edit_->text().isEmpty()) {
        Refuse(empty.arg(QStringLiteral("Database Host")), host_Edit_);
        return false;
    }
    if (!settingsforms::IsInteger(port_->text())) {
        Refuse(invalid.arg(QStringLiteral("Database Port")), port_);
        return false;
    }
    if (fileEnable_->isChecked() && filePath_->text().isEmpty()) {
        Refuse(empty.arg(QStringLiteral("Alarm Msg File Path")), filePath_);
        return false;
    }
    // A day or count choice without a selection (a stored value outside 1..999) cannot be
    // applied: it is refused here, before anything is written. A disabled backup group's
    // choice keeps its stored value.
    struct DayCheck {
        QComboBox* field;
        const char* name;
    };
    for (const DayCheck& c : {DayCheck{logHouseKeep_, "System Log House Keep Day"},
                              DayCheck{numberOfLogs_, "Number of Logs"},
                              DayCheck{fileHouseKeep_, "Alarm Msg File House Keep Day"},
                              DayCheck{dbHouseKeep_, "Alarm Msg DB House Keep Day"}}) {
        if (c.field->isEnabled() && c.field->currentIndex() < 0) {
            Refuse(invalid.arg(QString::fromLatin1(c.name)), c.field);
            return false;
        }
    }

    TInitSettings& s = InitSettings();
    auto day = [](QComboBox* c, int old) { return c->currentIndex() < 0 ? old : c->currentIndex() + 1; };
    s.InitStart = initStart_->currentIndex() == 0;
    s.RunAsService = runAsService_->isChecked();
    s.RunAsWinService = runAsWinService_->isChecked();
    if (s.RunAsWinService)
        InstallWinService("VelmoraPro", "VelmoraPro", s.ServiceExePath);
    else
        RemoveWinService("VelmoraPro");
    s.SystemLogFilename = Utf8(logFilename_->text());
    s.SystemLogHouseKeepDay = day(logHouseKeep_, s.SystemLogHouseKeepDay);
    s.AlarmMsgFileEnable = fileEnable_->isChecked();
    s.AlarmMsgFilenamePath = Utf8(filePath_->text());
    s.AlarmMsgFilename = Utf8(fileName_->text());
    s.AlarmMsgFileHouseKeepDay = day(fileHouseKeep_, s.AlarmMsgFileHouseKeepDay);
    s.AlarmMsgDBEnable = dbEnable_->isChecked();
    s.AlarmMsgDBType = Utf8(dbType_->currentText());
    s.AlarmMsgDBHouseKeepDay = day(dbHouseKeep_, s.AlarmMsgDBHouseKeepDay);
    s.Host = Utf8(host_Edit_->text());
    s.Port = Utf8(port_->text());
    s.DBUsername = Utf8(username_->text());
    s.DBPassword = Utf8(password_->text());
    s.ShowLogItem = day(numberOfLogs_, s.ShowLogItem);
    s.NoConcurrentAlarm = maxConcurrent_->text().trimmed().toInt();
    s.NoQueuingAlarm = noQueuing_->text().trimmed().toInt();
    s.QueningSecond = queuingTime_->text().trimmed().toInt();
    applied_ = true;
    // A file that could not be written has been reported (ERR00203); no "saved" then.
    if (!CheckConfDir() || !SaveSettings(ProgramVariant::Console)) return false;
    Status(QStringLiteral("Option settings saved."));
    ok_->setEnabled(false);
    return true;
}

void TFormSettings::TntButtonDefaultClick() {
    initStart_->setCurrentIndex(0);
    runAsService_->setChecked(false);
    runAsWinService_->setChecked(false);
    logFilename_->setText(QStringLiteral("system_"));
    SelectDay(logHouseKeep_, 7);
    host_Edit_->setText(QStringLiteral("localhost"));
    port_->setText(QStringLiteral("3306"));
    username_->setText(QStringLiteral("root"));
    password_->clear();
    SelectDay(numberOfLogs_, 100);
    fileEnable_->setChecked(false);
    filePath_->setText(FromUtf8(InitSettings().LogDir));
    fileName_->setText(QStringLiteral("AlarmMsg_"));
    SelectDay(fileHouseKeep_, 7);
    dbType_->setCurrentIndex(0);
    SelectDay(dbHouseKeep_, 7);
    EnableBackupFields();
    dbHouseKeep_->setEnabled(false);
    maxConcurrent_->setText(QStringLiteral("500"));
    noQueuing_->setText(QStringLiteral("1000"));
    queuingTime_->setText(QStringLiteral("600"));
    status_->showMessage(QStringLiteral(
        "Reset the settings to default. Please click OK to save the settings, or Cancel to cancel the changes."));
}

void TFormSettings::TntButtonCancelClick() {
    if (host_ != nullptr) host_->ShowStatus(QStringLiteral("Updating option settings cancel."));
    close();
}

void TFormSettings::TntButtonPathClick() {
    const QString chosen =
        dialogs::OpenFileName(this, QStringLiteral("Please select the backup SysLog file path."), QString());
    if (chosen.isEmpty()) return;
    QString dir = QFileInfo(chosen).absolutePath();
    if (!dir.endsWith(QLatin1Char('/'))) dir += QLatin1Char('/');
    filePath_->setText(dir);
    ok_->setEnabled(true);
}

} // namespace velmora
