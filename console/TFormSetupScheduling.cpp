#include "console/TFormSetupScheduling.h"

#include "SettingsFormsSupport.h"
#include "console/ConsoleHost.h"
#include "console/Dialogs.h"
#include "console/FormOpeners.h"
#include "console/ServiceSave.h"
#include "console/TFrameServiceForm.h"
#include "console/TServiceEditPages.h"

#include "checks/CheckBuilders.h"
#include "engine/MonitorEngine.h"
#include "foundation/InitSettings.h"
#include "foundation/SystemLog.h"
#include "store/ServiceRecords.h"
#include "store/ValueTables.h"
#include "store/ZUVOzedovUzivara.h"

#include <QApplication>
#include <QDesktopServices>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QUrl>
#include <QVBoxLayout>

#include <thread>

namespace velmora {

namespace {

QPointer<TFormSetupScheduling>& OpenWizard() {
    static QPointer<TFormSetupScheduling> w;
    return w;
}

const char* const kTabCaptions[7] = {"Startup", "Step 1", "Step 2", "Step 3",
                                     "Step 4",  "Step 5", "Step 6"};

} // namespace

TFormSetupScheduling::TFormSetupScheduling(ConsoleHost* host, QWidget* parent)
    : QDialog(parent), host_(host) {
    setObjectName("TFormSetupScheduling");
    setWindowTitle("Setup New Service");
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    resize(900, 700);
    OpenWizard() = this;

    pages_ = new TServiceEditPages(this, true);
    tabs_ = new QTabWidget(this);
    tabs_->setObjectName("PageControl");

    auto* startup = new QLabel(
        "<h3>Setup New Service</h3>"
        "<p>This wizard defines one monitored service in six steps:</p>"
        "<ol><li>Choose the schedule and describe the service.</li>"
        "<li>Choose the service type and enter its parameters.</li>"
        "<li>Configure the SSL settings.</li>"
        "<li>Test the connection.</li>"
        "<li>Choose the alarm methods.</li>"
        "<li>Choose the contact person(s) or group(s) to alarm.</li></ol>"
        "<p>Click Next to begin.</p>");
    startup->setObjectName("PageStartup");
    startup->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    startup->setWordWrap(true);
    startup->setMargin(12);

    auto* step4 = new QWidget;
    step4->setObjectName("PageTest");
    auto* v4 = new QVBoxLayout(step4);
    test_ = new QPushButton("Test connection", step4);
    test_->setObjectName("ButtonTestConnection");
    labelService_ = new QLabel("Service : ", step4);
    labelService_->setObjectName("LabelService");
    labelIp_ = new QLabel("IP : ", step4);
    labelIp_->setObjectName("LabelIP");
    labelPort_ = new QLabel("Port : ", step4);
    labelPort_->setObjectName("LabelPort");
    result_ = new QPlainTextEdit(step4);
    result_->setObjectName("MemoResult");
    result_->setReadOnly(true);
    auto* h4 = new QHBoxLayout;
    h4->addWidget(test_);
    h4->addStretch();
    v4->addLayout(h4);
    v4->addWidget(labelService_);
    v4->addWidget(labelIp_);
    v4->addWidget(labelPort_);
    v4->addWidget(result_, 1);

    QWidget* pages[7] = {startup, pages_->SchedulePage(), pages_->ServicePage(),
                         pages_->SslPage(), step4, pages_->AlarmPage(), pages_->ContactPage()};
    for (int i = 0; i < 7; ++i) {
        tabs_->addTab(pages[i], kTabCaptions[i]);
    }

    back_ = new QPushButton("< &Back", this);
    back_->setObjectName("ButtonBack");
    next_ = new QPushButton("&Next >", this);
    next_->setObjectName("ButtonNext");
    cancel_ = new QPushButton("&Cancel", this);
    cancel_->setObjectName("ButtonCancel");
    help_ = new QPushButton("&Help", this);
    help_->setObjectName("ButtonHelp");
    status_ = settingsforms::NewStatusBar(this, "StatusBar");

    auto* v = new QVBoxLayout(this);
    v->addWidget(tabs_, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(help_);
    buttons->addStretch();
    buttons->addWidget(back_);
    buttons->addWidget(next_);
    buttons->addWidget(cancel_);
    v->addLayout(buttons);
    v->addWidget(status_);

    connect(next_, &QPushButton::clicked, this, [this] { TntButtonNextClick(); });
    connect(back_, &QPushButton::clicked, this, [this] { TntButtonBackClick(); });
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    connect(help_, &QPushButton::clicked, this, [this] { TntButtonHelpClick(); });
    connect(test_, &QPushButton::clicked, this, [this] { TntButtonTestClick(); });
    connect(tabs_, &QTabWidget::tabBarClicked, this, [this](int index) {
        if (index >= 0) {
            GoTo(index);
        }
    });
    connect(pages_, &TServiceEditPages::StatusText, this, [this](const QString& t) { SetStatus(t); });
    connect(pages_, &TServiceEditPages::NewContactRequested, this, [this] { OpenNewContact(); });
    connect(pages_, &TServiceEditPages::ConfigAlarmRequested, this, [this] { OpenAlarmConfig(); });
    ResetForm();
}

TFormSetupScheduling::~TFormSetupScheduling() = default;

void TFormSetupScheduling::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (shownOnce_) {
        ResetForm();
    }
    shownOnce_ = true;
}

void TFormSetupScheduling::ResetForm() {
    try {
        pages_->Reset();
        result_->clear();
        test_->setEnabled(true);
        savedId_ = 0;
    } catch (const std::exception& e) {
        ReportFailure(this, "ERR90043", e.what());
    }
    try {
        pages_->ReloadContacts();
    } catch (const std::exception& e) {
        ReportFailure(this, "ERR90043-1", e.what());
    }
    GoTo(Startup);
}

int TFormSetupScheduling::CurrentPage() const { return tabs_->currentIndex(); }
QString TFormSetupScheduling::StatusText() const { return status_->currentMessage(); }
void TFormSetupScheduling::SetStatus(const QString& text) { status_->showMessage(text); }

void TFormSetupScheduling::GoTo(int page) {
    tabs_->setTabVisible(page, true);
    tabs_->setCurrentIndex(page);
    for (int i = 0; i < tabs_->count(); ++i) {
        tabs_->setTabVisible(i, i == Startup || i == page);
    }
    back_->setEnabled(page != Startup);
    if (page == Step6) {
        next_->setText("&Finish");
        next_->setToolTip("Click to save the new scheduling.");
    } else {
        next_->setText("&Next >");
        next_->setToolTip("Click Next to next step...");
    }
    if (page == Step4) {
        EnterStep4();
    }
}

bool TFormSetupScheduling::ValidateScheduleAndService() {
    const QString schedule = pages_->ValidateSchedule();
    if (!schedule.isEmpty()) {
        dialogs::Information(this, schedule);
        GoTo(Step1);
        return false;
    }
    QWidget* focus = nullptr;
    const QString service = pages_->ValidateService(&focus);
    if (!service.isEmpty()) {
        dialogs::Information(this, service);
        GoTo(Step2);
        if (focus) {
            focus->setFocus();
        }
        return false;
    }
    return true;
}

bool TFormSetupScheduling::ValidateContacts() {
    if (pages_->MissingContacts()) {
        dialogs::Information(this, "Please select contact(s) for the alarming method(s).");
        GoTo(Step6);
        return false;
    }
    return true;
}

void TFormSetupScheduling::TntButtonNextClick() {
    const int page = CurrentPage();
    switch (page) {
    case Startup:
        GoTo(Step1);
        SetStatus("Please select the scheduling method.");
        break;
    case Step1: {
        const QString m = pages_->ValidateSchedule();
        if (!m.isEmpty()) {
            dialogs::Information(this, m);
            GoTo(Step1);
            return;
        }
        GoTo(Step2);
        SetStatus("Please select service.");
        break;
    }
    case Step2: {
        QWidget* focus = nullptr;
        const QString m = pages_->ValidateService(&focus);
        if (!m.isEmpty()) {
            dialogs::Information(this, m);
            if (focus) {
                focus->setFocus();
            }
            return;
        }
        if (TServiceEditPages::TypeHasTls(pages_->ServiceType())) {
            GoTo(Step3);
            SetStatus("Please config the below SSL and Proxy settings.");
        } else {
            GoTo(Step4);
            SetStatus("Please click on the below button to test the connection.");
        }
        break;
    }
    case Step3:
        GoTo(Step4);
        SetStatus("Please click on the below button to test the connection.");
        break;
    case Step4:
        GoTo(Step5);
        SetStatus("Please select the below alarm method(s).");
        break;
    case Step5:
        if (!ValidateContacts()) {
            return;
        }
        GoTo(Step6);
        SetStatus("Please select the contact person(s) or group(s).");
        break;
    case Step6:
        Finish();
        break;
    default:
        break;
    }
}

void TFormSetupScheduling::TntButtonBackClick() {
    int page = CurrentPage();
    if (page == Startup) {
        return;
    }
    int to = page - 1;
    if (page == Step4 && !TServiceEditPages::TypeHasTls(pages_->ServiceType())) {
        to = Step2;
    }
    GoTo(to);
}

void TFormSetupScheduling::TntButtonHelpClick() {
    const QString dir = QString::fromStdString(InitSettings().AppDir) + "/help/";
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(dir + "newservice.htm"))) {
        QDesktopServices::openUrl(QUrl::fromLocalFile(dir + "index.html"));
    }
}

void TFormSetupScheduling::EnterStep4() {
    TFrameServiceForm* frame = pages_->CurrentFrame();
    labelService_->setText("Service : " + pages_->ServiceType());
    const QString ip = frame->HostText();
    labelIp_->setText(ip.isEmpty() ? QStringLiteral("Please input valid IP.") : "IP : " + ip);
    const QString port = frame->PortText();
    if (port.isEmpty() && frame->NeedsPort()) {
        labelPort_->setText("Please input valid port.");
    } else {
        labelPort_->setText(frame->PortCaption() + port);
    }
}

void TFormSetupScheduling::TntButtonTestClick() {
    if (!ValidateScheduleAndService()) {
        return;
    }
    result_->clear();
    test_->setEnabled(false);
    SetStatus("Service connection is testing now.");
    try {
        // The check sees the frame and the TLS page only: no id, counters or alarm routing.
        ServiceRow row;
        for (const std::string& c : ServiceRow::ColumnNames()) {
            row.Set(c, IsNumericServiceColumn(c) ? "0" : "");
        }
        const ServiceRow full = pages_->Collect();
        const QString type = pages_->ServiceType();
        row.Set("service", type.toStdString());
        pages_->CurrentFrame()->Store(row);
        row.urlDetails = full.urlDetails;
        const bool ssl = pages_->SslEnabled();
        for (const std::string& c : ServiceRow::ColumnNames()) {
            if (c.rfind("ssl_", 0) == 0) {
                row.Set(c, full.Get(c));
            }
        }
        row.Set("ssl_enable", YesNo(ssl));
        if (type == "URL") {
            row.Set("ip", NormaliseUrl(row.Get("ip"), ssl));
        }
        std::unique_ptr<CheckItem> check = BuildCheck(row, kOriginSetup);
        if (!check) {
            throw std::runtime_error("No check for the type " + type.toStdString());
        }
        if (runner_) {
            runner_(std::move(check));
        } else {
            RunDefault(std::move(check));
        }
    } catch (const std::exception& e) {
        ReportFailure(this, "ERR90054", e.what());
        test_->setEnabled(true);
    }
}

void TFormSetupScheduling::RunDefault(std::unique_ptr<CheckItem> check) {
    MonitorEngine* engine = host_ ? host_->Engine() : nullptr;
    if (engine && engine->Pool()) {
        if (engine->SubmitWorkItem(std::move(check)) <= 0) {
            throw std::runtime_error("The check could not be queued.");
        }
        return;
    }
    // No engine (tests, or before the engine has started): a thread of its own.
    InitDatabaseClient();
    QPointer<TFormSetupScheduling> self(this);
    std::thread([self, item = std::shared_ptr<CheckItem>(std::move(check))]() mutable {
        item->Run();
        QMetaObject::invokeMethod(
            qApp, [self, item] {
                if (self) {
                    self->ShowSetupResult(QString::fromStdString(item->status));
                }
            },
            Qt::QueuedConnection);
    }).detach();
}

void TFormSetupScheduling::ShowSetupResult(const QString& status) {
    result_->setPlainText(status);
    test_->setEnabled(true);
    SetStatus("Service connection has been tested.");
}

void TFormSetupScheduling::DeliverSetupResult(const CheckItem& check) {
    if (TFormSetupScheduling* w = OpenWizard()) {
        w->ShowSetupResult(QString::fromStdString(check.status));
    }
}

void TFormSetupScheduling::Finish() {
    if (!ValidateScheduleAndService() || !ValidateContacts()) {
        return;
    }
    const ServiceRow row = pages_->Collect();
    long long id = 0;
    try {
        id = InsertNewService(row);
    } catch (const std::exception& e) {
        // Nothing was stored: the post fields and contacts would land on another service,
        // so the save stops here and the wizard keeps what was entered.
        ReportFailure(this, "ERR90044", e.what());
        return;
    }
    savedId_ = id;
    if (row.Get("service") == "URL") {
        try {
            InsertPostFields(id, row.urlDetails);
        } catch (const std::exception& e) {
            ReportFailure(this, "ERR90045", e.what());
        }
    }
    try {
        InsertContactPairs(id, ContactPersonIds(pages_->CheckedContacts()));
    } catch (const std::exception& e) {
        ReportFailure(this, "ERR90046", e.what());
    }
    if (host_) {
        host_->ServicesChanged();
    }
    dialogs::Information(this, "New service has been setup successfully.");
    accept();
}

void TFormSetupScheduling::OpenNewContact() {
    const auto checked = pages_->CheckedContacts();
    OpenContacts(host_, this);
    try {
        pages_->ReloadContacts();
    } catch (const std::exception& e) {
        ReportFailure(this, "ERR90043-1", e.what());
    }
    // The lines ticked before stay ticked.
    QStringList persons;
    for (const auto& [group, name] : checked) {
        if (!group) {
            persons << QString::fromStdString(name);
        }
    }
    pages_->CheckPersons(persons);
}

void TFormSetupScheduling::OpenAlarmConfig() { OpenAlarmSettings(host_, this); }

} // namespace velmora
