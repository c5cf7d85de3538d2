#pragma once
// "Setup New Service": the wizard that defines one monitored service page by page, can run
// its check once ("Test connection") and inserts it with its post fields and contacts.
#include "checks/CheckItem.h"

#include <QDialog>

#include <functional>
#include <memory>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QStatusBar;
class QTabWidget;

namespace velmora {

class ConsoleHost;
class TServiceEditPages;

class TFormSetupScheduling : public QDialog {
    Q_OBJECT

public:
    enum Page { Startup = 0, Step1, Step2, Step3, Step4, Step5, Step6 };

    TFormSetupScheduling(ConsoleHost* host, QWidget* parent = nullptr);
    ~TFormSetupScheduling() override;

    // Every field to its initial value, contacts reloaded, the "Startup" page shown.
    void ResetForm();

    // The buttons.
    void TntButtonNextClick();
    void TntButtonBackClick();
    void TntButtonHelpClick();
    void TntButtonTestClick();

    // The outcome of a test run (on the main thread): the status word in the result box.
    void ShowSetupResult(const QString& status);
    // The main window's engine view hands a finished test run of origin "Setup" here; it
    // goes to the open wizard, if any.
    static void DeliverSetupResult(const CheckItem& check);

    // How a test check is run. The default hands it to the engine's pool when the host has
    // an engine, otherwise runs it on a thread of its own; either way ShowSetupResult gets
    // the outcome on the main thread.
    using TestRunner = std::function<void(std::unique_ptr<CheckItem>)>;
    void SetTestRunner(TestRunner runner) { runner_ = std::move(runner); }

    int CurrentPage() const;
    TServiceEditPages* Pages() const { return pages_; }
    QString StatusText() const;
    // The id of the service the last Finish stored (0 when none).
    long long SavedId() const { return savedId_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void GoTo(int page);
    void EnterStep4();
    bool ValidateScheduleAndService();
    bool ValidateContacts();
    void Finish();
    void SetStatus(const QString& text);
    void RunDefault(std::unique_ptr<CheckItem> check);
    void OpenNewContact();
    void OpenAlarmConfig();

    ConsoleHost* host_;
    TServiceEditPages* pages_ = nullptr;
    QTabWidget* tabs_ = nullptr;
    QPushButton* back_ = nullptr;
    QPushButton* next_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QPushButton* help_ = nullptr;
    QPushButton* test_ = nullptr;
    QLabel* labelService_ = nullptr;
    QLabel* labelIp_ = nullptr;
    QLabel* labelPort_ = nullptr;
    QPlainTextEdit* result_ = nullptr;
    QStatusBar* status_ = nullptr;
    TestRunner runner_;
    long long savedId_ = 0;
    bool shownOnce_ = false;
};

} // namespace velmora
