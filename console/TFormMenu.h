#pragma once
// The console's main window: it hosts the console's monitoring engine (and is that engine's
// view), lists every service with its latest result and the alarm deliveries being sent, and
// opens every other form. It takes turns with the daemon: the daemon is stopped when the
// window is created and started again at exit when RunAsWinService is set and the database
// had been reached.
#include "ConsoleHost.h"
#include "TFormClosing.h"
#include "TFormLoginDB.h"
#include "engine/EngineView.h"
#include "engine/MonitorEngine.h"

#include <QMainWindow>
#include <QPointer>
#include <QSystemTrayIcon>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QActionGroup;
class QGroupBox;
class QLabel;
class QMenu;
class QToolBar;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace velmora {

class ZUVOzedovUzivara;
class ServiceRow;

class TFormMenu : public QMainWindow, public ConsoleHost, public EngineView {
    Q_OBJECT

public:
    struct Options {
        // Load SysInit.ini at creation (the program does; tests set the settings themselves).
        bool loadSettings = true;
        // Open the database at creation. Tests that want the login path pass false and
        // `databaseOpened` false.
        bool openDatabase = true;
        bool databaseOpened = false; // used when openDatabase is false
        // The engine's links; empty members take the real builders and senders.
        EngineHooks hooks;
        // The version page; empty: the setting (VersionPageUrl); "none": no version check.
        std::string versionPageUrl;
    };

    explicit TFormMenu(ZUVOzedovUzivara& db, Options options, QWidget* parent = nullptr);
    explicit TFormMenu(ZUVOzedovUzivara& db, QWidget* parent = nullptr);
    ~TFormMenu() override;

    // --- ConsoleHost ------------------------------------------------------------------
    MonitorEngine* Engine() override { return engine_.get(); }
    void NestedFormOpened() override;
    void NestedFormClosed() override;
    void ServicesChanged() override;
    void ContactsChanged() override {}
    void AlarmMethodsChanged() override;
    void ShowStatus(const QString& text) override;

    // --- EngineView -------------------------------------------------------------------
    void EngineStarted() override;
    void SchedulingChanged(bool active, const std::string& text) override;
    void ServiceProcessing(long long serviceId) override;
    void ShowCheckResult(long long serviceId, int counter, const std::string& time,
                         const std::string& status) override;
    void SetupResult(const CheckItem& check) override;
    void DeliveryQueued(long long sequence, const std::string& time, const std::string& message,
                        const std::string& method, const std::string& recipient) override;
    void DeliveryFinished(long long sequence, const std::string& status) override;
    void OtherItemDone(WorkItem& item) override;
    void ShowError(const std::string& text) override;

    // --- Lists ------------------------------------------------------------------------
    // Refills the service list; "ALL", a type, "Email", "WMI Process" or a host.
    void FillServiceList(const QString& filter);
    void AppendNewestService();
    void RefreshServiceRow(long long id);
    void RemoveServiceRow(long long id);
    void FillAddressTree();
    void SetMainControlsEnabled(bool enabled);
    int NestedFormCount() const { return nestedFormCount_; }
    QString CurrentFilter() const { return filter_; }

    // --- Commands ---------------------------------------------------------------------
    void ActionStartExecute();
    void ActionStopExecute();
    void MenuServiceRunNowClick();
    void MenuServiceStartClick();
    void MenuServiceStopClick();
    void MenuServiceDeleteClick();
    void ClearAlarmMessages();
    void SortServiceList(int column);
    void SortAlarmList(int column);
    // The selected row's service id, 0 when none.
    long long SelectedServiceId() const;
    bool SelectService(long long id);

    // Engine start (TimerInit): the login form when the database could not be opened,
    // otherwise the engine's own start.
    void TimerInitTimer();
    // The login form succeeded: the engine start is armed again for 3 s.
    void DatabaseReady();
    bool DatabaseOpened() const { return databaseOpened_; }
    TFormLoginDB* LoginForm() const { return login_; }

    // FormClose: scheduling off, waiting items canceled, the pool drained (with the closing
    // form shown while items still execute). Called once, by the first close.
    void FormClose();
    // FormDestroy: settings saved, pool freed, "Application stops.", the tray icon removed,
    // the daemon started again when RunAsWinService is set and the database was reached.
    void FormDestroy();

    // The version check reported a newer version: "Download new version" shown.
    QAction* DownloadAction() const { return ActionDownload; }
    // The closing form while it is shown (tests grab it).
    TFormClosing* ClosingForm() const { return closing_; }
    // Called with the closing form while it is shown, once (tests take its picture).
    std::function<void(TFormClosing&)> onClosingShown;

    QTreeWidget* ServiceListView() const { return TntListViewService; }
    QTreeWidget* AlarmListView() const { return TntListViewAlarmMessage; }
    QTreeWidget* AddressTree() const { return TreeViewURLList; }

signals:
    // A test run of the new-service wizard has finished (the wizard listens).
    void SetupResultArrived(const velmora::CheckItem* check);
    // FormClose has finished: the program's event loop may end.
    void Closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // Opens another form: the main controls rest while it is open.
    void RunForm(const std::function<void()>& open);
    void BuildActions();
    void BuildMenus();
    void BuildToolBars();
    void BuildCentre();
    void BuildTray();
    void SizeWindow(bool firstRun);
    void StartVersionCheck();
    void ShowDbError(const std::string& code, const std::exception& e);
    void FillRow(QTreeWidgetItem* item, const ServiceRow& row);
    QTreeWidgetItem* FindServiceItem(long long id) const;
    QTreeWidgetItem* FindAlarmItem(long long sequence) const;
    void RecolourRows(QTreeWidget* list);
    void FitColumns(QTreeWidget* list);
    void SetRowImages(bool started);
    void SetServiceStatus(const char* word, const char* code);
    void UpdateRowMenu();
    void ShowHelp(const QString& topic);
    void OpenUrl(const QString& url);
    void SetResultText(QTreeWidgetItem* item, const QString& result);
    void StartDaemonIfWanted();

    ZUVOzedovUzivara& db_;
    Options options_;
    std::unique_ptr<MonitorEngine> engine_;
    bool databaseOpened_ = false;
    bool closed_ = false;
    bool destroyed_ = false;
    bool lastSchedulingActive_ = false;
    int nestedFormCount_ = 0;
    QString filter_ = QStringLiteral("ALL");
    int serviceSortColumn_ = -1;
    bool serviceSortAscending_ = true;
    int alarmSortColumn_ = -1;
    bool alarmSortAscending_ = true;
    std::vector<int> serviceWidths_;
    std::vector<int> alarmWidths_;
    QPointer<TFormLoginDB> login_;
    QPointer<TFormClosing> closing_;

public:
    // Controls, named as the window's parts are named.
    QAction* ActionScheduling = nullptr;
    QAction* ActionStart = nullptr;
    QAction* ActionStop = nullptr;
    QAction* ActionClose = nullptr;
    QAction* ActionClearAlarm = nullptr;
    QAction* ActionChart = nullptr;
    QAction* ActionFunctionBar = nullptr;
    QAction* ActionAlarmMessages = nullptr;
    QAction* Action800X600 = nullptr;
    QAction* Action1024X768 = nullptr;
    QAction* ActionAlarmOptions = nullptr;
    QAction* ActionContactOptions = nullptr;
    QAction* ActionContactGroupOptions = nullptr;
    QAction* ActionGeneral = nullptr;
    QAction* ActionNewService = nullptr;
    QAction* ActionUpdateService = nullptr;
    QAction* ActionImportCsv = nullptr;
    QAction* ActionImportLite = nullptr;
    QAction* ActionHelp = nullptr;
    QAction* ActionHomePage = nullptr;
    QAction* ActionFaqPage = nullptr;
    QAction* ActionDownload = nullptr;
    QAction* ActionAbout = nullptr;
    QAction* MenuServiceRunNow = nullptr;
    QAction* MenuServiceStart = nullptr;
    QAction* MenuServiceStop = nullptr;
    QAction* MenuServiceNew = nullptr;
    QAction* MenuServiceUpdate = nullptr;
    QAction* MenuServiceDelete = nullptr;
    QAction* MenuServiceImportCsv = nullptr;
    QAction* MenuServiceImportLite = nullptr;
    QMenu* PopupMenuService = nullptr;
    QMenu* PopupMenuTray = nullptr;
    QToolBar* ToolBarFunction = nullptr;
    QToolBar* ToolBarView = nullptr;
    QTreeWidget* TreeViewURLList = nullptr;
    QTreeWidget* TntListViewService = nullptr;
    QGroupBox* GroupBoxAlarm = nullptr;
    QTreeWidget* TntListViewAlarmMessage = nullptr;
    QLabel* StatusBarText = nullptr;
    QSystemTrayIcon* TrayIcon = nullptr;
    QLabel* Animate = nullptr;
};

// The where clause of FillServiceList for a filter.
std::string ServiceListWhere(const QString& filter, const ZUVOzedovUzivara& db);

// The console's current version.
inline constexpr const char* kConsoleVersion = "3.8.0";

} // namespace velmora
