#include "TFormLoginDB.h"

#include "SettingsFormsSupport.h"
#include "Dialogs.h"
#include "TFormMenu.h"

#include "foundation/InitSettings.h"
#include "foundation/Messages.h"
#include "foundation/SystemLog.h"
#include "store/ZUVOzedovUzivara.h"

#include <QApplication>
#include <QEventLoop>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

namespace velmora {

namespace {

const char* const kPatient = "Please be patient, it may take a few second for first start.";

QWidget* FieldWithMark(QWidget* parent, QLineEdit* edit, bool marked) {
    auto* w = new QWidget(parent);
    auto* l = new QHBoxLayout(w);
    l->setContentsMargins(0, 0, 0, 0);
    l->addWidget(edit);
    auto* star = new QLabel(marked ? "*" : "", w);
    star->setStyleSheet("color: red;");
    star->setFixedWidth(10);
    l->addWidget(star);
    return w;
}

} // namespace

TFormLoginDB::TFormLoginDB(ZUVOzedovUzivara& db, TFormMenu* menu, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint),
      db_(db), menu_(menu) {
    setObjectName("TFormLoginDB");
    setWindowTitle("Login Database");
    if (menu_ != nullptr) {
        menu_->SetMainControlsEnabled(false);
    }
    auto* layout = new QVBoxLayout(this);
    GroupBoxDatabase = new QGroupBox("Database Information", this);
    GroupBoxDatabase->setObjectName("GroupBoxDatabase");
    auto* form = new QFormLayout(GroupBoxDatabase);
    const TInitSettings& s = InitSettings();
    EditHost = new QLineEdit(QString::fromStdString(s.Host), GroupBoxDatabase);
    EditHost->setObjectName("EditHost");
    EditPort = new QLineEdit(QString::fromStdString(s.Port), GroupBoxDatabase);
    EditPort->setObjectName("EditPort");
    EditUsername = new QLineEdit(QString::fromStdString(s.DBUsername), GroupBoxDatabase);
    EditUsername->setObjectName("EditUsername");
    EditPassword = new QLineEdit(QString::fromStdString(s.DBPassword), GroupBoxDatabase);
    EditPassword->setObjectName("EditPassword");
    EditPassword->setEchoMode(QLineEdit::Password);
    form->addRow("Host : ", FieldWithMark(GroupBoxDatabase, EditHost, true));
    form->addRow("Port : ", FieldWithMark(GroupBoxDatabase, EditPort, true));
    form->addRow("Username : ", FieldWithMark(GroupBoxDatabase, EditUsername, false));
    form->addRow("Password : ", FieldWithMark(GroupBoxDatabase, EditPassword, false));
    layout->addWidget(GroupBoxDatabase);
    for (const char* hint : {"Please make sure : ", "- Username and password are correct.",
                             "- MySQL has been installed in this machine.",
                             "- Or it can connect to other machine's MySQL."}) {
        layout->addWidget(new QLabel(hint, this));
    }
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    TntButtonConnect = new QPushButton("Connect", this);
    TntButtonConnect->setObjectName("TntButtonConnect");
    TntButtonConnect->setDefault(true);
    TntButtonCancel = new QPushButton("Cancel", this);
    TntButtonCancel->setObjectName("TntButtonCancel");
    buttons->addWidget(TntButtonConnect);
    buttons->addWidget(TntButtonCancel);
    layout->addLayout(buttons);
    StatusBar = settingsforms::NewStatusBar(this, "StatusBar");
    layout->addWidget(StatusBar);
    StatusBar->showMessage("Please input the valid connecting parameters.");
    connect(TntButtonConnect, &QPushButton::clicked, this, [this] { TntButtonConnectClick(); });
    connect(TntButtonCancel, &QPushButton::clicked, this, [this] { TntButtonCancelClick(); });
    onCancel = [this] {
        if (menu_ != nullptr) {
            menu_->close();
        }
        QApplication::exit(0);
    };
    setMinimumWidth(400);
    adjustSize();
}

QString TFormLoginDB::StatusText() const { return StatusBar->currentMessage(); }

void TFormLoginDB::TntButtonConnectClick() {
    bool ok = false;
    EditPort->text().trimmed().toInt(&ok);
    if (!ok) {
        dialogs::Information(this, QString::fromStdString(
                                       msg::Format("%s is invalid integer or empty.", "Database Port")));
        EditPort->setFocus();
        return;
    }
    TInitSettings& s = InitSettings();
    s.Host = EditHost->text().toStdString();
    s.Port = EditPort->text().trimmed().toStdString();
    s.DBUsername = EditUsername->text().toStdString();
    s.DBPassword = EditPassword->text().toStdString();
    if (db_.ConnectDatabase(false)) {
        db_.CreateSchema();
        Connected();
    } else if (db_.ConnectDatabase(true)) {
        StatusBar->showMessage(kPatient);
        if (menu_ != nullptr) {
            menu_->ShowStatus(kPatient);
        }
        QEventLoop wait;
        QTimer::singleShot(createWaitMs, &wait, &QEventLoop::quit);
        wait.exec();
        db_.CreateDatabase();
        Connected();
    } else {
        EditHost->setFocus();
        StatusBar->showMessage("The parameters are wrong, please input again.");
    }
}

void TFormLoginDB::Connected() {
    if (menu_ != nullptr) {
        menu_->DatabaseReady();
    }
    WriteSystemLog(std::string(msg::ApplicationStarts), LogInfo);
    hide();
}

void TFormLoginDB::TntButtonCancelClick() {
    hide();
    if (onCancel) {
        onCancel();
    }
}

// The window has no way out but its two buttons: Escape does nothing.
void TFormLoginDB::reject() {}

void TFormLoginDB::hideEvent(QHideEvent* event) {
    QDialog::hideEvent(event);
    if (menu_ != nullptr) {
        menu_->SetMainControlsEnabled(true);
    }
}

} // namespace velmora
