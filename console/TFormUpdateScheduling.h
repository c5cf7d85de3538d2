#pragma once
// "Update Services": lists every service, loads the chosen one into the pages and frames
// the new-service wizard uses, writes changes back (keeping the alarm state) or deletes it.
#include <QDialog>

class QPushButton;
class QStatusBar;
class QTabWidget;
class QTreeWidget;

namespace velmora {

class ConsoleHost;
class TServiceEditPages;

class TFormUpdateScheduling : public QDialog {
    Q_OBJECT

public:
    enum Page { PageSchedule = 0, PageService, PageSSL, PageAlarm, PageContact };

    TFormUpdateScheduling(ConsoleHost* host, QWidget* parent = nullptr);

    // Every field to its initial value, no service loaded, contacts reloaded.
    void ResetForm();
    // The service list from the database.
    void FillList();
    // Loads one service into the pages (after a reset).
    void LoadService(long long id);
    // The next showing loads this service (0: none).
    void OpenFor(long long id) { pendingId_ = id; }

    void TntButtonApplyClick();
    void TntButtonDeleteClick();

    long long LoadedId() const { return loadedId_; }
    TServiceEditPages* Pages() const { return pages_; }
    QTreeWidget* ServiceList() const { return list_; }
    QTabWidget* Tabs() const { return tabs_; }
    QPushButton* ApplyButton() const { return apply_; }
    QString StatusText() const;

protected:
    void showEvent(QShowEvent* event) override;
    // Entering a field of the pages enables "Apply".
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CheckLoadedContacts();
    void SetStatus(const QString& text);
    void OpenNewContact();
    void OpenAlarmConfig();

    ConsoleHost* host_;
    TServiceEditPages* pages_ = nullptr;
    QTreeWidget* list_ = nullptr;
    QTabWidget* tabs_ = nullptr;
    QPushButton* apply_ = nullptr;
    QPushButton* delete_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QStatusBar* status_ = nullptr;
    long long loadedId_ = 0;
    long long pendingId_ = 0;
};

} // namespace velmora
