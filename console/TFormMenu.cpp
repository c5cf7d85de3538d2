#include "TFormMenu.h"

#include "TFormSetupScheduling.h"

#include "Dialogs.h"
#include "FormOpeners.h"
#include "TFormAbout.h"
#include "TFormClosing.h"
#include "TFormLoginDB.h"
#include "TFormMenuHelp.h"
#include "TFormMenuPictures.h"
#include "ThreadURLVersionUpgrade.h"

#include "foundation/InitSettings.h"
#include "foundation/Messages.h"
#include "foundation/SystemLog.h"
#include "service/ServiceControl.h"
#include "store/ServiceRecords.h"
#include "store/ZUVOzedovUzivara.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace velmora {

namespace {

const char* const kServiceName = "VelmoraPro";
const char* const kHomePage = "http://www.corvane.example/";
const char* const kFaqPage = "http://www.corvane.example/faq.php";
const char* const kDownloadPage = "http://www.corvane.example/download.php";

// Columns of the service list.
enum ServiceColumn {
    ColId = 0, ColTitle, ColService, ColIp, ColPort, ColSchedule, ColConError, ColLastAccess,
    ColResult, ServiceColumnCount
};
// Columns of the alarm message list.
enum AlarmColumn { AlarmId = 0, AlarmTime, AlarmMessage, AlarmMethod, AlarmRecipient, AlarmStatus };

const QColor kOddRow(255, 205, 155);

// The select list every fill of the service list uses.
std::string ServiceListSelect() {
    return "select id, title, service, SUBSTRING_INDEX(ip, \"http://\", -1) as ip, wmi_freespace, "
           "wmi_process_name, port, service_status, "
           "DATE_FORMAT(last_access, \"%Y-%m-%d %H:%i:%s\") as last_access, schedule_by, "
           "schedule_hour, schedule_minute, current_no_of_cons_alarm, status from service";
}
const char* const kServiceListOrder = " order by ip, service, schedule_hour, schedule_minute";

bool IsPlainType(const QString& f) {
    static const QStringList types = {"URL",  "SMTP", "POP3",   "IMAP", "Ping",
                                      "FTP",  "TCP",  "UDP",    "DNS",  "NNTP",
                                      "SNTP", "Telnet", "Rsh", "MySQL"};
    return types.contains(f);
}

} // namespace

std::string ServiceListWhere(const QString& filter, const ZUVOzedovUzivara& db) {
    if (filter == "ALL") {
        return "";
    }
    if (IsPlainType(filter)) {
        return " where service=" + db.Quote(filter.toStdString());
    }
    if (filter == "Email") {
        return " where service in (\"SMTP\", \"POP3\", \"IMAP\")";
    }
    if (filter == "WMI Process") {
        return " where service in (\"WMI Process\", \"WMI HD Freespace\", \"WMI Share Folder\")";
    }
    return " where SUBSTRING_INDEX(SUBSTRING_INDEX(ip, \"http://\", -1),\"/\",1)=" +
           db.Quote(filter.toStdString());
}

TFormMenu::TFormMenu(ZUVOzedovUzivara& db, QWidget* parent) : TFormMenu(db, Options{}, parent) {}

TFormMenu::TFormMenu(ZUVOzedovUzivara& db, Options options, QWidget* parent)
    : QMainWindow(parent), db_(db), options_(std::move(options)) {
    setObjectName("TFormMenu");
    setWindowTitle("Velmora Pro");
    setWindowIcon(pictures::Application());
    // The console and the daemon take turns: the daemon's engine stops while this one runs.
    StopWinService(kServiceName);
    BuildActions();
    BuildMenus();
    BuildToolBars();
    BuildCentre();
    BuildTray();
    if (options_.loadSettings) {
        LoadSettings(ProgramVariant::Console);
    }
    const TInitSettings& s = InitSettings();
    SizeWindow(s.FirstRun);
    ToolBarFunction->setVisible(s.ShowFunctionBar);
    ActionFunctionBar->setChecked(s.ShowFunctionBar);
    GroupBoxAlarm->setVisible(s.ShowWindowAlarmLog);
    ActionAlarmMessages->setChecked(s.ShowWindowAlarmLog);
    SetMainControlsEnabled(false);
    if (options_.openDatabase) {
        databaseOpened_ = db_.OpenAtStart([this] {
            dialogs::Information(this, "Please be patient, it may take a few second for first start.");
        });
        if (databaseOpened_) {
            WriteSystemLog(std::string(msg::ApplicationStarts), LogInfo);
        }
    } else {
        databaseOpened_ = options_.databaseOpened;
    }
    engine_ = std::make_unique<MonitorEngine>(db_, options_.hooks, true);
    engine_->AttachView(this);
    engine_->TimerInit.setTimerType(Qt::PreciseTimer);
    // The engine start goes through the window: without a database it opens the login form.
    QObject::disconnect(&engine_->TimerInit, &QTimer::timeout, engine_.get(), nullptr);
    connect(&engine_->TimerInit, &QTimer::timeout, this, [this] { TimerInitTimer(); });
    engine_->TimerInit.start();
}

TFormMenu::~TFormMenu() { FormDestroy(); }

// ---- Construction ------------------------------------------------------------------------

void TFormMenu::BuildActions() {
    auto make = [this](QAction*& a, const char* name, const QString& text,
                       const QKeySequence& key = {}) {
        a = new QAction(text, this);
        a->setObjectName(name);
        if (!key.isEmpty()) {
            a->setShortcut(key);
        }
        return a;
    };
    connect(make(ActionScheduling, "ActionScheduling", "&Scheduling"), &QAction::triggered, this,
            [this] { RunForm([this] { OpenScheduling(this, this); }); });
    make(ActionStart, "ActionStart", "S&tart", QKeySequence("Ctrl+Alt+S"))->setCheckable(true);
    connect(ActionStart, &QAction::triggered, this, [this] { ActionStartExecute(); });
    make(ActionStop, "ActionStop", "St&op", QKeySequence("Ctrl+Alt+T"))->setCheckable(true);
    connect(ActionStop, &QAction::triggered, this, [this] { ActionStopExecute(); });
    connect(make(ActionClose, "ActionClose", "&Close", QKeySequence("Ctrl+Alt+Q")),
            &QAction::triggered, this, [this] { close(); });
    connect(make(ActionClearAlarm, "ActionClearAlarm", "&Clear Alarm Messages",
                 QKeySequence("Ctrl+Alt+C")),
            &QAction::triggered, this, [this] { ClearAlarmMessages(); });
    connect(make(ActionChart, "ActionChart", "&Chart"), &QAction::triggered, this,
            [this] { RunForm([this] { OpenHistoryCharts(this, this); }); });
    make(ActionFunctionBar, "ActionFunctionBar", "&Function Bar", QKeySequence(Qt::Key_F7))
        ->setCheckable(true);
    connect(ActionFunctionBar, &QAction::toggled, this,
            [this](bool on) { ToolBarFunction->setVisible(on); });
    make(ActionAlarmMessages, "ActionAlarmMessages", "&Alarm Messages", QKeySequence(Qt::Key_F8))
        ->setCheckable(true);
    connect(ActionAlarmMessages, &QAction::toggled, this,
            [this](bool on) { GroupBoxAlarm->setVisible(on); });
    connect(make(Action800X600, "Action800X600", "&800X600"), &QAction::triggered, this,
            [this] { resize(800, 600); });
    connect(make(Action1024X768, "Action1024X768", "&1024X768"), &QAction::triggered, this,
            [this] { resize(1024, 768); });
    connect(make(ActionAlarmOptions, "ActionAlarmOptions", "&Alarm Options"), &QAction::triggered,
            this, [this] { RunForm([this] { OpenAlarmSettings(this, this); }); });
    connect(make(ActionContactOptions, "ActionContactOptions", "&Contact Options"),
            &QAction::triggered, this, [this] { RunForm([this] { OpenContacts(this, this); }); });
    connect(make(ActionContactGroupOptions, "ActionContactGroupOptions", "C&ontact Group Options"),
            &QAction::triggered, this,
            [this] { RunForm([this] { OpenContactGroups(this, this); }); });
    connect(make(ActionGeneral, "ActionGeneral", "&General"), &QAction::triggered, this,
            [this] { RunForm([this] { OpenGeneralSettings(this, this); }); });
    connect(make(ActionNewService, "ActionNewService", "&New Service"), &QAction::triggered, this,
            [this] { RunForm([this] { OpenNewServiceWizard(this, this); }); });
    connect(make(ActionUpdateService, "ActionUpdateService", "&Update Service"),
            &QAction::triggered, this, [this] {
                const long long id = SelectedServiceId();
                RunForm([this, id] { OpenUpdateServices(this, this, id); });
            });
    connect(make(ActionImportCsv, "ActionImportCsv", "&from csv file"), &QAction::triggered, this,
            [this] { RunForm([this] { ImportServicesCsv(this, this); }); });
    connect(make(ActionImportLite, "ActionImportLite", "f&rom Velmora Lite"), &QAction::triggered,
            this, [this] { RunForm([this] { ImportServicesXml(this, this); }); });
    connect(make(ActionHelp, "ActionHelp", "&Velmora Help", QKeySequence(Qt::Key_F12)),
            &QAction::triggered, this, [this] { ShowHelp("index.html"); });
    connect(make(ActionHomePage, "ActionHomePage", "&Corvane Home Page", QKeySequence(Qt::Key_F11)),
            &QAction::triggered, this, [this] { OpenUrl(kHomePage); });
    connect(make(ActionFaqPage, "ActionFaqPage", "&FAQ Page", QKeySequence(Qt::Key_F10)),
            &QAction::triggered, this, [this] { OpenUrl(kFaqPage); });
    connect(make(ActionDownload, "ActionDownload", "Download new version"), &QAction::triggered,
            this, [this] { OpenUrl(kDownloadPage); });
    ActionDownload->setVisible(false);
    connect(make(ActionAbout, "ActionAbout", "&About...", QKeySequence(Qt::Key_F9)),
            &QAction::triggered, this, [this] {
                RunForm([this] {
                    TFormAbout about(this, this);
                    about.exec();
                });
            });

    // The service list's row menu.
    connect(make(MenuServiceRunNow, "MenuServiceRunNow", "Run Now"), &QAction::triggered, this,
            [this] { MenuServiceRunNowClick(); });
    connect(make(MenuServiceStart, "MenuServiceStart", "Start"), &QAction::triggered, this,
            [this] { MenuServiceStartClick(); });
    connect(make(MenuServiceStop, "MenuServiceStop", "Stop"), &QAction::triggered, this,
            [this] { MenuServiceStopClick(); });
    connect(make(MenuServiceNew, "MenuServiceNew", "New Service"), &QAction::triggered,
            ActionNewService, &QAction::trigger);
    connect(make(MenuServiceUpdate, "MenuServiceUpdate", "Update Service"), &QAction::triggered,
            ActionUpdateService, &QAction::trigger);
    connect(make(MenuServiceDelete, "MenuServiceDelete", "Delete Service"), &QAction::triggered,
            this, [this] { MenuServiceDeleteClick(); });
    connect(make(MenuServiceImportCsv, "MenuServiceImportCsv", "from csv file"),
            &QAction::triggered, ActionImportCsv, &QAction::trigger);
    connect(make(MenuServiceImportLite, "MenuServiceImportLite", "from Velmora Lite"),
            &QAction::triggered, ActionImportLite, &QAction::trigger);
}

void TFormMenu::BuildMenus() {
    QMenuBar* bar = menuBar();
    bar->setObjectName("MainMenu");
    QMenu* velmora = bar->addMenu("&Velmora");
    velmora->addAction(ActionScheduling);
    velmora->addAction(ActionStart);
    velmora->addAction(ActionStop);
    velmora->addSeparator();
    velmora->addAction(ActionClose);
    bar->addMenu("&Edit")->addAction(ActionClearAlarm);
    QMenu* view = bar->addMenu("&View");
    view->addAction(ActionChart);
    view->addSeparator();
    view->addAction(ActionFunctionBar);
    view->addAction(ActionAlarmMessages);
    QMenu* resolution = view->addMenu("&Resolution");
    resolution->addAction(Action800X600);
    resolution->addAction(Action1024X768);
    QMenu* alarms = bar->addMenu("&Alarms");
    alarms->addAction(ActionAlarmOptions);
    alarms->addAction(ActionContactOptions);
    alarms->addAction(ActionContactGroupOptions);
    QMenu* opts = bar->addMenu("&Options");
    opts->addAction(ActionGeneral);
    QMenu* service = opts->addMenu("&Service");
    service->addAction(ActionNewService);
    service->addAction(ActionUpdateService);
    QMenu* import = service->addMenu("&Import Service(s)");
    import->addAction(ActionImportCsv);
    import->addAction(ActionImportLite);
    QMenu* help = bar->addMenu("He&lp");
    help->addAction(ActionHelp);
    help->addAction(ActionHomePage);
    help->addAction(ActionFaqPage);
    help->addAction(ActionDownload);
    help->addSeparator();
    help->addAction(ActionAbout);

    // The animation clip in the top right corner, played when the window is activated.
    Animate = new QLabel(this);
    Animate->setObjectName("Animate");
    Animate->setFixedSize(20, 20);
    Animate->setPixmap(pictures::BusyFrame(0, 8, 18));
    bar->setCornerWidget(Animate, Qt::TopRightCorner);

    PopupMenuService = new QMenu(this);
    PopupMenuService->setObjectName("PopupMenuService");
    PopupMenuService->addAction(MenuServiceRunNow);
    PopupMenuService->addSeparator();
    PopupMenuService->addAction(MenuServiceStart);
    PopupMenuService->addAction(MenuServiceStop);
    PopupMenuService->addSeparator();
    PopupMenuService->addAction(MenuServiceNew);
    PopupMenuService->addAction(MenuServiceUpdate);
    PopupMenuService->addAction(MenuServiceDelete);
    PopupMenuService->addSeparator();
    QMenu* rowImport = PopupMenuService->addMenu("Import Service(s)");
    rowImport->setObjectName("MenuServiceImport");
    rowImport->addAction(MenuServiceImportCsv);
    rowImport->addAction(MenuServiceImportLite);
}

void TFormMenu::BuildToolBars() {
    ToolBarFunction = addToolBar("Function");
    ToolBarFunction->setObjectName("ToolBarFunction");
    ToolBarFunction->setMovable(false);
    ToolBarFunction->setToolButtonStyle(Qt::ToolButtonTextOnly);
    auto button = [this](const char* name, const QString& text, QAction* action) {
        auto* b = new QToolButton(ToolBarFunction);
        b->setObjectName(name);
        b->setText(text);
        b->setAutoRaise(true);
        if (action != nullptr) {
            connect(b, &QToolButton::clicked, action, &QAction::trigger);
        }
        ToolBarFunction->addWidget(b);
        return b;
    };
    button("ToolButtonScheduling", "Scheduling", ActionScheduling);
    QToolButton* start = button("ToolButtonStart", "Start", nullptr);
    start->setDefaultAction(ActionStart);
    start->setText("Start");
    QToolButton* stop = button("ToolButtonStop", "Stop", nullptr);
    stop->setDefaultAction(ActionStop);
    stop->setText("Stop");
    // A default action renames the button after it; keep the tool bar's own words.
    connect(ActionStart, &QAction::changed, start, [start] { start->setText("Start"); });
    connect(ActionStop, &QAction::changed, stop, [stop] { stop->setText("Stop"); });
    button("ToolButtonClearAlarms", "Clear Alarms", ActionClearAlarm);
    QToolButton* alarm = button("ToolButtonAlarm", "Alarm", ActionAlarmOptions);
    auto* alarmMenu = new QMenu(alarm);
    alarmMenu->addAction(ActionAlarmOptions);
    alarmMenu->addAction(ActionContactOptions);
    alarmMenu->addAction(ActionContactGroupOptions);
    alarm->setMenu(alarmMenu);
    alarm->setPopupMode(QToolButton::MenuButtonPopup);
    QToolButton* service = button("ToolButtonService", "Service", ActionNewService);
    auto* serviceMenu = new QMenu(service);
    serviceMenu->addAction(ActionNewService);
    serviceMenu->addAction(ActionUpdateService);
    QMenu* imp = serviceMenu->addMenu("Import Service(s)");
    imp->addAction(ActionImportCsv);
    imp->addAction(ActionImportLite);
    service->setMenu(serviceMenu);
    service->setPopupMode(QToolButton::MenuButtonPopup);
    button("ToolButtonChart", "Chart", ActionChart);
    button("ToolButtonGeneral", "General", ActionGeneral);

    addToolBarBreak();
    ToolBarView = addToolBar("View ");
    ToolBarView->setObjectName("ToolBarView");
    ToolBarView->setMovable(false);
    ToolBarView->addWidget(new QLabel("View ", ToolBarView));
    struct Filter {
        const char* caption;
        const char* filter;
    };
    const Filter filters[] = {{"ALL", "ALL"},   {"TCP", "TCP"},       {"UDP", "UDP"},
                              {"URL", "URL"},   {"Ping", "Ping"},     {"Email", "Email"},
                              {"FTP", "FTP"},   {"DNS", "DNS"},       {"NNTP", "NNTP"},
                              {"SNTP", "SNTP"}, {"Telnet", "Telnet"}, {"RSH", "Rsh"},
                              {"MySQL", "MySQL"}, {"WMI", "WMI Process"}};
    for (const Filter& f : filters) {
        auto* b = new QToolButton(ToolBarView);
        b->setObjectName(QStringLiteral("ToolButtonView%1").arg(f.caption));
        b->setText(f.caption);
        const QString filter = f.filter;
        connect(b, &QToolButton::clicked, this, [this, filter] { FillServiceList(filter); });
        ToolBarView->addWidget(b);
    }
    for (const char* caption : {"MQ", "LDAP"}) {
        auto* b = new QToolButton(ToolBarView);
        b->setObjectName(QStringLiteral("ToolButtonView%1").arg(caption));
        b->setText(caption);
        b->setEnabled(false);
        b->setToolTip("It will be supported in next version.");
        ToolBarView->addWidget(b);
    }
}

void TFormMenu::BuildCentre() {
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(2, 2, 2, 2);
    auto* splitter = new QSplitter(Qt::Horizontal, central);
    TreeViewURLList = new QTreeWidget(splitter);
    TreeViewURLList->setObjectName("TreeViewURLList");
    TreeViewURLList->setHeaderHidden(true);
    TreeViewURLList->setToolTip("Click to show this IP's service(s) only.");
    TreeViewURLList->setMinimumWidth(110);
    connect(TreeViewURLList, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item, int) { FillServiceList(item->text(0)); });

    TntListViewService = new QTreeWidget(splitter);
    TntListViewService->setObjectName("TntListViewService");
    TntListViewService->setRootIsDecorated(false);
    TntListViewService->setUniformRowHeights(true);
    TntListViewService->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TntListViewService->setSelectionBehavior(QAbstractItemView::SelectRows);
    TntListViewService->setSelectionMode(QAbstractItemView::SingleSelection);
    TntListViewService->setToolTip("Double click on any service for updating...");
    TntListViewService->setHeaderLabels({"ID", "Title", "Service", "IP", "Port", "Schedule",
                                         "Con Error", "Last Access", "Result"});
    TntListViewService->setColumnHidden(ColId, true);
    serviceWidths_ = {0, 120, 60, 120, 40, 90, 40, 120, 80};
    for (int c = 1; c < ServiceColumnCount; ++c) {
        TntListViewService->setColumnWidth(c, serviceWidths_[c]);
    }
    TntListViewService->header()->setSectionsClickable(true);
    TntListViewService->header()->setStretchLastSection(true);
    connect(TntListViewService->header(), &QHeaderView::sectionClicked, this,
            [this](int c) { SortServiceList(c); });
    connect(TntListViewService, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item, int) {
                const long long id = item->text(ColId).toLongLong();
                RunForm([this, id] { OpenUpdateServices(this, this, id); });
            });
    TntListViewService->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(TntListViewService, &QWidget::customContextMenuRequested, this, [this](const QPoint& p) {
        UpdateRowMenu();
        PopupMenuService->popup(TntListViewService->viewport()->mapToGlobal(p));
    });
    connect(TntListViewService, &QTreeWidget::itemSelectionChanged, this,
            [this] { UpdateRowMenu(); });
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({125, 900});
    layout->addWidget(splitter, 1);

    GroupBoxAlarm = new QGroupBox("Alarm Messages - Sending", central);
    GroupBoxAlarm->setObjectName("GroupBoxAlarm");
    GroupBoxAlarm->setFixedHeight(120);
    auto* alarmLayout = new QVBoxLayout(GroupBoxAlarm);
    alarmLayout->setContentsMargins(4, 4, 4, 4);
    TntListViewAlarmMessage = new QTreeWidget(GroupBoxAlarm);
    TntListViewAlarmMessage->setObjectName("TntListViewAlarmMessage");
    TntListViewAlarmMessage->setRootIsDecorated(false);
    TntListViewAlarmMessage->setUniformRowHeights(true);
    TntListViewAlarmMessage->setSelectionBehavior(QAbstractItemView::SelectRows);
    TntListViewAlarmMessage->setHeaderLabels(
        {"ID", "DateTime", "Message", "Alarm Methods", "Alarm SMS / Email / Pager / IP", "Status"});
    TntListViewAlarmMessage->setColumnHidden(AlarmId, true);
    alarmWidths_ = {0, 130, 320, 90, 180, 60};
    for (int c = 1; c <= AlarmStatus; ++c) {
        TntListViewAlarmMessage->setColumnWidth(c, alarmWidths_[c]);
    }
    TntListViewAlarmMessage->header()->setStretchLastSection(true);
    connect(TntListViewAlarmMessage->header(), &QHeaderView::sectionClicked, this,
            [this](int c) { SortAlarmList(c); });
    alarmLayout->addWidget(TntListViewAlarmMessage);
    layout->addWidget(GroupBoxAlarm);
    setCentralWidget(central);

    StatusBarText = new QLabel(this);
    StatusBarText->setObjectName("StatusBar");
    statusBar()->addWidget(StatusBarText, 1);
    UpdateRowMenu();
}

void TFormMenu::BuildTray() {
    TrayIcon = new QSystemTrayIcon(pictures::Application(), this);
    TrayIcon->setObjectName("TrayIcon");
    TrayIcon->setToolTip("Velmora Pro");
    PopupMenuTray = new QMenu(this);
    PopupMenuTray->setObjectName("PopupMenuTray");
    PopupMenuTray->addAction("Show", this, [this] {
        showNormal();
        raise();
        activateWindow();
    });
    PopupMenuTray->addAction("Hide", this, [this] { hide(); });
    PopupMenuTray->addSeparator();
    PopupMenuTray->addAction(ActionHelp);
    PopupMenuTray->addAction(ActionHomePage);
    PopupMenuTray->addAction(ActionFaqPage);
    PopupMenuTray->addAction(ActionAbout);
    PopupMenuTray->addSeparator();
    PopupMenuTray->addAction("Exit", this, [this] { close(); });
    TrayIcon->setContextMenu(PopupMenuTray);
    connect(TrayIcon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason r) {
        if (r == QSystemTrayIcon::DoubleClick) {
            showNormal();
            raise();
            activateWindow();
        }
    });
    // Where the desktop has no notification area the window is all there is.
    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        TrayIcon->show();
    }
}

void TFormMenu::SizeWindow(bool firstRun) {
    const TInitSettings& s = InitSettings();
    QScreen* screen = this->screen() != nullptr ? this->screen() : QGuiApplication::primaryScreen();
    const QRect avail = screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    const QRect full = screen != nullptr ? screen->geometry() : avail;
    int w = s.WindowWidth < 0 ? 1024 : s.WindowWidth;
    int h = s.WindowHeight < 0 ? 768 : s.WindowHeight;
    bool maximise = false;
    if (firstRun) {
        if (full.width() < 1024) {
            w = 800;
            h = 572;
            maximise = true;
        } else if (full.height() < 1024) {
            w = 900;
            h = 680;
        } else {
            w = 1024;
            h = 768;
        }
    }
    resize(w, h);
    move(avail.center() - QPoint(w / 2, h / 2));
    if (maximise) {
        setWindowState(windowState() | Qt::WindowMaximized);
    }
}

// ---- ConsoleHost -------------------------------------------------------------------------

void TFormMenu::RunForm(const std::function<void()>& open) {
    // Another form takes the focus: the main controls rest until the outermost one closes.
    lastSchedulingActive_ = engine_ != nullptr && engine_->SchedulingActive();
    SetMainControlsEnabled(false);
    open();
    if (nestedFormCount_ == 0) {
        SetMainControlsEnabled(true);
    }
}

void TFormMenu::NestedFormOpened() { ++nestedFormCount_; }

void TFormMenu::NestedFormClosed() {
    if (nestedFormCount_ > 0) {
        --nestedFormCount_;
    } else {
        SetMainControlsEnabled(true);
    }
}

void TFormMenu::ServicesChanged() {
    FillAddressTree();
    FillServiceList(filter_);
}

void TFormMenu::AlarmMethodsChanged() {
    if (engine_ == nullptr) {
        return;
    }
    try {
        engine_->LoadAlarmMethods();
    } catch (const std::exception& e) {
        const std::string text = msg::LastResort(e.what());
        WriteSystemLog(text, LogError);
        dialogs::Error(this, QString::fromStdString(text));
    }
}

void TFormMenu::ShowStatus(const QString& text) { StatusBarText->setText(text); }

// ---- EngineView --------------------------------------------------------------------------

void TFormMenu::EngineStarted() {
    if (InitSettings().RunAsService) {
        hide();
    }
    SetMainControlsEnabled(true);
    FillAddressTree();
    FillServiceList("ALL");
}

void TFormMenu::SchedulingChanged(bool active, const std::string& text) {
    lastSchedulingActive_ = active;
    ShowStatus(QString::fromStdString(text));
    ActionStart->setChecked(active);
    ActionStop->setChecked(!active);
    if (menuBar()->isEnabled()) {
        ActionStart->setEnabled(!active);
        ActionStop->setEnabled(active);
    }
}

void TFormMenu::ServiceProcessing(long long serviceId) {
    if (QTreeWidgetItem* item = FindServiceItem(serviceId)) {
        SetResultText(item, "Processing");
        FitColumns(TntListViewService);
    }
}

void TFormMenu::ShowCheckResult(long long serviceId, int counter, const std::string& time,
                                const std::string& status) {
    QTreeWidgetItem* item = FindServiceItem(serviceId);
    if (item == nullptr) {
        return;
    }
    TntListViewService->setCurrentItem(item);
    item->setText(ColConError, QString::number(counter));
    item->setText(ColLastAccess, QString::fromStdString(time));
    SetResultText(item, QString::fromStdString(status));
    FitColumns(TntListViewService);
}

void TFormMenu::SetupResult(const CheckItem& check) {
    // A test run of the new-service wizard: its window shows the status word.
    TFormSetupScheduling::DeliverSetupResult(check);
    emit SetupResultArrived(&check);
}

void TFormMenu::DeliveryQueued(long long sequence, const std::string& time,
                               const std::string& message, const std::string& method,
                               const std::string& recipient) {
    const int limit = InitSettings().ShowLogItem;
    if (limit > 0) {
        while (TntListViewAlarmMessage->topLevelItemCount() >= limit) {
            delete TntListViewAlarmMessage->takeTopLevelItem(
                TntListViewAlarmMessage->topLevelItemCount() - 1);
        }
    }
    auto* item = new QTreeWidgetItem;
    item->setText(AlarmId, QString::number(sequence));
    item->setText(AlarmTime, QString::fromStdString(time));
    item->setText(AlarmMessage, QString::fromStdString(message));
    item->setText(AlarmMethod, QString::fromStdString(method));
    item->setText(AlarmRecipient, QString::fromStdString(recipient));
    item->setText(AlarmStatus, "Pending");
    TntListViewAlarmMessage->insertTopLevelItem(0, item);
    RecolourRows(TntListViewAlarmMessage);
}

void TFormMenu::DeliveryFinished(long long sequence, const std::string& status) {
    if (QTreeWidgetItem* item = FindAlarmItem(sequence)) {
        item->setText(AlarmStatus, QString::fromStdString(status));
        FitColumns(TntListViewAlarmMessage);
    }
}

void TFormMenu::OtherItemDone(WorkItem& item) {
    if (auto* v = dynamic_cast<ThreadURLVersionUpgrade*>(&item)) {
        if (v->NewerVersionFound(kConsoleVersion)) {
            ActionDownload->setVisible(true);
        }
    }
}

void TFormMenu::ShowError(const std::string& text) {
    dialogs::Error(this, QString::fromStdString(text));
}

// ---- Lists -------------------------------------------------------------------------------

void TFormMenu::ShowDbError(const std::string& code, const std::exception& e) {
    const std::string text = msg::Location(code, e.what());
    WriteSystemLog(text, LogError);
    dialogs::Error(this, QString::fromStdString(text));
}

void TFormMenu::FillRow(QTreeWidgetItem* item, const ServiceRow& row) {
    item->setText(ColId, QString::fromStdString(row.Get("id")));
    item->setText(ColTitle, QString::fromStdString(row.Get("title")));
    item->setIcon(ColTitle, row.Get("status") == "Stop" ? pictures::Stopped() : pictures::Started());
    item->setData(ColTitle, Qt::UserRole, row.Get("status") != "Stop");
    item->setText(ColService, QString::fromStdString(row.Get("service")));
    item->setText(ColIp, QString::fromStdString(ServiceListIp(row)));
    item->setText(ColPort, row.Get("port") == "0" ? QString("---")
                                                  : QString::fromStdString(row.Get("port")));
    item->setText(ColSchedule, QString::fromStdString(ServiceListSchedule(row)));
    item->setText(ColConError, QString::fromStdString(row.Get("current_no_of_cons_alarm")));
    item->setText(ColLastAccess, QString::fromStdString(row.Get("last_access")));
    SetResultText(item, "Not Updated");
}

void TFormMenu::SetResultText(QTreeWidgetItem* item, const QString& result) {
    item->setText(ColResult, result);
    const bool failed = result == "Failed";
    QFont f = TntListViewService->font();
    f.setBold(failed);
    for (int c = 0; c < ServiceColumnCount; ++c) {
        item->setFont(c, f);
        item->setForeground(c, failed ? QBrush(Qt::red) : QBrush());
    }
}

void TFormMenu::FitColumns(QTreeWidget* list) {
    // Never narrower than the column's default, wide enough for its longest text.
    const std::vector<int>& base = list == TntListViewService ? serviceWidths_ : alarmWidths_;
    const QFontMetrics header(list->header()->font());
    for (int c = 1; c < list->columnCount() && c < static_cast<int>(base.size()); ++c) {
        int need = std::max(base[c], header.horizontalAdvance(list->headerItem()->text(c)) + 16);
        for (int i = 0; i < list->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* item = list->topLevelItem(i);
            const int icon = item->icon(c).isNull() ? 0 : 28;
            need = std::max(need, QFontMetrics(item->font(c)).horizontalAdvance(item->text(c)) +
                                      icon + 16);
        }
        list->setColumnWidth(c, need);
    }
}

void TFormMenu::RecolourRows(QTreeWidget* list) {
    FitColumns(list);
    const int columns = list->columnCount();
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = list->topLevelItem(i);
        const QBrush b = i % 2 == 1 ? QBrush(kOddRow) : QBrush();
        for (int c = 0; c < columns; ++c) {
            item->setBackground(c, b);
        }
    }
}

void TFormMenu::FillServiceList(const QString& filter) {
    std::vector<ServiceRow> rows;
    try {
        const DbResult r =
            db_.Query(ServiceListSelect() + ServiceListWhere(filter, db_) + kServiceListOrder);
        for (const DbRow& d : r) {
            rows.push_back(d.ToServiceRow());
        }
    } catch (const std::exception& e) {
        ShowDbError("ERR90001-1", e);
        return;
    }
    filter_ = filter;
    TntListViewService->clear();
    serviceSortColumn_ = -1;
    for (const ServiceRow& row : rows) {
        auto* item = new QTreeWidgetItem(TntListViewService);
        FillRow(item, row);
    }
    RecolourRows(TntListViewService);
    UpdateRowMenu();
}

void TFormMenu::AppendNewestService() {
    try {
        const DbResult r = db_.Query(ServiceListSelect() +
                                     " where id=(select max(id) from service)" + kServiceListOrder);
        for (const DbRow& d : r) {
            const ServiceRow row = d.ToServiceRow();
            if (FindServiceItem(row.GetInt("id")) == nullptr) {
                FillRow(new QTreeWidgetItem(TntListViewService), row);
            }
        }
    } catch (const std::exception& e) {
        ShowDbError("ERR90001-2", e);
        return;
    }
    RecolourRows(TntListViewService);
}

void TFormMenu::RefreshServiceRow(long long id) {
    QTreeWidgetItem* item = FindServiceItem(id);
    if (item == nullptr) {
        return;
    }
    try {
        const DbResult r =
            db_.Query(ServiceListSelect() + " where id=" + std::to_string(id) + kServiceListOrder);
        if (!r.empty()) {
            FillRow(item, r[0].ToServiceRow());
        }
    } catch (const std::exception& e) {
        ShowDbError("ERR90001-3", e);
    }
}

void TFormMenu::RemoveServiceRow(long long id) {
    try {
        if (QTreeWidgetItem* item = FindServiceItem(id)) {
            delete item;
            RecolourRows(TntListViewService);
            UpdateRowMenu();
        }
    } catch (const std::exception& e) {
        ShowDbError("ERR90001-4", e);
    }
}

void TFormMenu::FillAddressTree() {
    std::vector<std::string> hosts;
    try {
        const DbResult r = db_.Query(
            "SELECT distinct SUBSTRING_INDEX(SUBSTRING_INDEX(ip, \"http://\", -1),\"/\",1) as ip "
            "from service order by ip");
        for (const DbRow& d : r) {
            hosts.push_back(d.Get("ip"));
        }
    } catch (const std::exception& e) {
        ShowDbError("ERR90053", e);
        return;
    }
    TreeViewURLList->clear();
    new QTreeWidgetItem(TreeViewURLList, QStringList{"ALL"});
    int widest = QFontMetrics(TreeViewURLList->font()).horizontalAdvance("ALL");
    for (const std::string& h : hosts) {
        const QString text = QString::fromStdString(h);
        new QTreeWidgetItem(TreeViewURLList, QStringList{text});
        widest = std::max(widest, QFontMetrics(TreeViewURLList->font()).horizontalAdvance(text));
    }
    // The tree is as wide as its longest host (within reason); the list takes the rest.
    if (auto* splitter = qobject_cast<QSplitter*>(TreeViewURLList->parentWidget())) {
        const int tree = std::clamp(widest + 40, 110, 260);
        const QList<int> sizes = splitter->sizes();
        const int total = sizes.size() == 2 ? sizes[0] + sizes[1] : 0;
        if (total > tree) {
            splitter->setSizes({tree, total - tree});
        }
    }
}

QTreeWidgetItem* TFormMenu::FindServiceItem(long long id) const {
    const QString key = QString::number(id);
    for (int i = 0; i < TntListViewService->topLevelItemCount(); ++i) {
        if (TntListViewService->topLevelItem(i)->text(ColId) == key) {
            return TntListViewService->topLevelItem(i);
        }
    }
    return nullptr;
}

QTreeWidgetItem* TFormMenu::FindAlarmItem(long long sequence) const {
    const QString key = QString::number(sequence);
    for (int i = 0; i < TntListViewAlarmMessage->topLevelItemCount(); ++i) {
        if (TntListViewAlarmMessage->topLevelItem(i)->text(AlarmId) == key) {
            return TntListViewAlarmMessage->topLevelItem(i);
        }
    }
    return nullptr;
}

void TFormMenu::SetMainControlsEnabled(bool enabled) {
    menuBar()->setEnabled(enabled);
    ToolBarView->setEnabled(enabled);
    ToolBarFunction->setEnabled(enabled);
    TntListViewService->setSelectionMode(enabled ? QAbstractItemView::SingleSelection
                                                 : QAbstractItemView::NoSelection);
    if (enabled) {
        ActionStart->setEnabled(!lastSchedulingActive_);
        ActionStart->setChecked(lastSchedulingActive_);
        ActionStop->setEnabled(lastSchedulingActive_);
        ActionStop->setChecked(!lastSchedulingActive_);
    }
}

long long TFormMenu::SelectedServiceId() const {
    const QList<QTreeWidgetItem*> sel = TntListViewService->selectedItems();
    return sel.isEmpty() ? 0 : sel.first()->text(ColId).toLongLong();
}

bool TFormMenu::SelectService(long long id) {
    QTreeWidgetItem* item = FindServiceItem(id);
    if (item == nullptr) {
        return false;
    }
    TntListViewService->clearSelection();
    TntListViewService->setCurrentItem(item);
    item->setSelected(true);
    UpdateRowMenu();
    return true;
}

void TFormMenu::UpdateRowMenu() {
    const bool row = SelectedServiceId() != 0;
    for (QAction* a : {MenuServiceRunNow, MenuServiceStart, MenuServiceStop, MenuServiceUpdate,
                       MenuServiceDelete}) {
        a->setEnabled(row);
    }
}

void TFormMenu::SortServiceList(int column) {
    serviceSortAscending_ = column == serviceSortColumn_ ? !serviceSortAscending_ : true;
    serviceSortColumn_ = column;
    TntListViewService->sortItems(column,
                                  serviceSortAscending_ ? Qt::AscendingOrder : Qt::DescendingOrder);
    RecolourRows(TntListViewService);
}

void TFormMenu::SortAlarmList(int column) {
    alarmSortAscending_ = column == alarmSortColumn_ ? !alarmSortAscending_ : true;
    alarmSortColumn_ = column;
    TntListViewAlarmMessage->sortItems(column,
                                       alarmSortAscending_ ? Qt::AscendingOrder : Qt::DescendingOrder);
    RecolourRows(TntListViewAlarmMessage);
}

void TFormMenu::ClearAlarmMessages() { TntListViewAlarmMessage->clear(); }

// ---- Commands ----------------------------------------------------------------------------

void TFormMenu::SetRowImages(bool started) {
    for (int i = 0; i < TntListViewService->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = TntListViewService->topLevelItem(i);
        item->setIcon(ColTitle, started ? pictures::Started() : pictures::Stopped());
        item->setData(ColTitle, Qt::UserRole, started);
    }
}

void TFormMenu::ActionStartExecute() {
    engine_->SetSchedulingActive(true);
    engine_->gateArmed = true;
    SetRowImages(true);
}

void TFormMenu::ActionStopExecute() {
    engine_->SetSchedulingActive(false);
    engine_->gateArmed = false;
    SetRowImages(false);
}

void TFormMenu::MenuServiceRunNowClick() {
    const QList<QTreeWidgetItem*> sel = TntListViewService->selectedItems();
    if (sel.isEmpty()) {
        return;
    }
    QTreeWidgetItem* item = sel.first();
    const QString result = item->text(ColResult);
    if (result == "Processing" || result == "Retry") {
        dialogs::Information(this, "This service is still under processing.");
        return;
    }
    SetResultText(item, "Processing");
    engine_->RunServiceNow(item->text(ColId).toLongLong());
}

void TFormMenu::SetServiceStatus(const char* word, const char* code) {
    const QList<QTreeWidgetItem*> sel = TntListViewService->selectedItems();
    if (sel.isEmpty()) {
        return;
    }
    QTreeWidgetItem* item = sel.first();
    try {
        db_.Execute(std::string("update service set status=") + db_.Quote(word) +
                    " where id=" + std::to_string(item->text(ColId).toLongLong()));
    } catch (const std::exception& e) {
        ShowDbError(code, e);
        return;
    }
    const bool started = std::string(word) != "Stop";
    item->setIcon(ColTitle, started ? pictures::Started() : pictures::Stopped());
    item->setData(ColTitle, Qt::UserRole, started);
}

void TFormMenu::MenuServiceStartClick() { SetServiceStatus("Start", "ERR90037"); }
void TFormMenu::MenuServiceStopClick() { SetServiceStatus("Stop", "ERR90039"); }

void TFormMenu::MenuServiceDeleteClick() {
    const QList<QTreeWidgetItem*> sel = TntListViewService->selectedItems();
    if (sel.isEmpty()) {
        return;
    }
    const long long id = sel.first()->text(ColId).toLongLong();
    const std::string sid = std::to_string(id);
    try {
        if (sel.first()->text(ColService) == "URL") {
            db_.Execute("delete from service_url_detail where service_id=" + sid);
        }
        db_.Execute("delete from service_contact_person where service_id=" + sid);
        db_.Execute("delete from service where id=" + sid);
    } catch (const std::exception& e) {
        ShowDbError("ERR90040", e);
        return;
    }
    FillAddressTree();
    RemoveServiceRow(id);
}

void TFormMenu::ShowHelp(const QString& topic) { ShowHelpTopic(this, topic); }

void TFormMenu::OpenUrl(const QString& url) { OpenExternalUrl(url); }

// ---- Engine start ------------------------------------------------------------------------

void TFormMenu::TimerInitTimer() {
    engine_->TimerInit.stop();
    if (!databaseOpened_) {
        if (login_ == nullptr) {
            login_ = new TFormLoginDB(db_, this, this);
        }
        login_->show();
        login_->raise();
        return;
    }
    engine_->TimerInitTimer();
    StartVersionCheck();
}

void TFormMenu::DatabaseReady() {
    databaseOpened_ = true;
    engine_->TimerInit.start(3000);
}

void TFormMenu::StartVersionCheck() {
    try {
        const std::string url =
            options_.versionPageUrl.empty() ? VersionPageUrl() : options_.versionPageUrl;
        if (url == "none") {
            return;
        }
        if (engine_->Pool() == nullptr) {
            throw std::runtime_error("The engine has not started.");
        }
        engine_->Pool()->Schedule(std::make_unique<ThreadURLVersionUpgrade>(url));
    } catch (const std::exception&) {
        WriteSystemLog(std::string(msg::ERR00004), LogError);
    }
}

// ---- Closing -----------------------------------------------------------------------------

void TFormMenu::closeEvent(QCloseEvent* event) {
    FormClose();
    event->accept();
}

void TFormMenu::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange) {
        if (isActiveWindow()) {
            // A short run of the busy clip in the corner.
            auto* frame = new int(0);
            auto* t = new QTimer(this);
            t->setInterval(100);
            connect(t, &QTimer::timeout, this, [this, t, frame] {
                Animate->setPixmap(pictures::BusyFrame(++*frame % 8, 8, 18));
                if (*frame >= 16) {
                    t->stop();
                    t->deleteLater();
                    delete frame;
                }
            });
            t->start();
        } else if (engine_ != nullptr) {
            lastSchedulingActive_ = engine_->SchedulingActive();
        }
    }
}

void TFormMenu::FormClose() {
    if (closed_) {
        return;
    }
    closed_ = true;
    if (engine_ != nullptr) {
        WorkPool* pool = engine_->Pool();
        if (pool != nullptr && pool->ExecutingCount() > 0) {
            closing_ = new TFormClosing(this);
            closing_->show();
            if (onClosingShown) {
                onClosingShown(*closing_);
            }
            // Scheduling off and waiting items canceled; the running ones finish while the
            // closing form keeps moving.
            engine_->Shutdown(std::chrono::milliseconds(0));
            QElapsedTimer waited;
            waited.start();
            while (!pool->Drain(std::chrono::milliseconds(100)) && waited.elapsed() < 600000) {
                QApplication::processEvents();
            }
            closing_->close();
            delete closing_;
        } else {
            engine_->Shutdown();
        }
    }
    emit Closed();
}

void TFormMenu::StartDaemonIfWanted() {
    if (InitSettings().RunAsWinService && databaseOpened_) {
        StartWinService(kServiceName);
    }
}

void TFormMenu::FormDestroy() {
    if (destroyed_) {
        return;
    }
    destroyed_ = true;
    FormClose();
    TInitSettings& s = InitSettings();
    if (!isMaximized()) {
        s.WindowWidth = width();
        s.WindowHeight = height();
    }
    s.ShowFunctionBar = ActionFunctionBar->isChecked();
    s.ShowWindowAlarmLog = ActionAlarmMessages->isChecked();
    if (CheckConfDir()) {
        SaveSettings(ProgramVariant::Console);
    }
    engine_.reset();
    WriteSystemLog(std::string(msg::ApplicationStops), LogInfo);
    TrayIcon->hide();
    StartDaemonIfWanted();
}

} // namespace velmora
