#pragma once
// "Acess / Error Log History & Charts": the access and error histories page by page, six
// bar charts computed from them, and the exports of what the window shows. It only reads
// the database. A load or save that fails is reported (ERR00501 / ERR00502) and the window
// stays open, so the engine the console hosts keeps running.
#include "HistoryExport.h"
#include "HistoryPaging.h"

#include <QDialog>
#include <QStringList>

#include <array>
#include <vector>

class QAction;
class QLabel;
class QMenu;
class QProgressBar;
class QPushButton;
class QStatusBar;
class QTabWidget;
class QTreeWidget;

class QChartView;

namespace velmora {

class ConsoleHost;

class TFormChartings : public QDialog {
    Q_OBJECT

public:
    explicit TFormChartings(ConsoleHost* host, QWidget* parent = nullptr);
    ~TFormChartings() override;

    void SetHost(ConsoleHost* host) { host_ = host; }

    // Loads the current tab; false when the load failed (already reported).
    bool LoadCurrentTab();
    void SetPrevious();
    void SetNext();

    // Button handlers.
    void TntButtonPreviousClick();
    void TntButtonNextClick();
    void TntButtonRefreshClick();
    void TntButtonCancelClick();

    // The exports: `all` = every row of the current page, else the selected rows.
    void ExportList(history::ExportKind kind, bool all);
    void ExportChart();

    // What the window shows, for tests and screenshots.
    int CurrentTab() const;
    void SetCurrentTab(int tab);
    QTreeWidget* List(int tab) const;
    QChartView* Chart(int tab) const;
    // The labels and heights of the bars on a chart tab.
    QStringList ChartLabels(int tab) const;
    std::vector<long long> ChartValues(int tab) const;
    const history::PageState& Page(int tab) const { return pages_[tab]; }
    QString StatusText() const;
    QPushButton* ExportButton() const { return exportButton_; }
    // The table an export of the list writes (the selection or every row).
    history::ExportTable ExportRows(int tab, bool all) const;

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;

private:
    void OnTabChanged(int tab);
    void LoadList(int tab);
    void LoadChart(int tab);
    void ShowListMenu(QTreeWidget* list, const QPoint& pos);
    void SortByColumn(QTreeWidget* list, int column);
    void SetStatus(const QString& text);
    QTreeWidget* MakeList(const QStringList& captions, const char* name);

    ConsoleHost* host_;
    QTabWidget* pages_widget_ = nullptr;
    std::array<QTreeWidget*, 2> lists_{};
    std::array<QChartView*, history::kTabCount> charts_{};
    std::array<QStringList, history::kTabCount> chartLabels_{};
    std::array<std::vector<long long>, history::kTabCount> chartValues_{};
    std::array<history::PageState, history::kTabCount> pages_{};
    QPushButton* previousButton_ = nullptr;
    QPushButton* nextButton_ = nullptr;
    QPushButton* refreshButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    QPushButton* exportButton_ = nullptr;
    QMenu* listMenu_ = nullptr;
    QMenu* exportAllMenu_ = nullptr;
    QStatusBar* statusBar_ = nullptr;
    QLabel* statusLabel_ = nullptr;
    QProgressBar* progress_ = nullptr;
    std::array<int, 2> sortColumn_{{-1, -1}};
    std::array<bool, 2> sortAscending_{{false, false}};
};

} // namespace velmora
