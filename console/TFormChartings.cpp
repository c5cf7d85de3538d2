#include "TFormChartings.h"

#include "SettingsFormsSupport.h"
#include "ConsoleHost.h"
#include "Dialogs.h"

#include "foundation/InitSettings.h"
#include "foundation/Messages.h"
#include "foundation/SystemLog.h"
#include "store/ZUVOzedovUzivara.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>
#include <stdexcept>

namespace velmora {

using namespace history;

namespace {

const QColor kAlternateRow(255, 205, 155);

QColor BarColour(int tab) {
    switch (tab) {
    case kHostAccessChart:
    case kHostErrorChart: return QColor(166, 202, 240);
    case kServiceAccessChart:
    case kServiceErrorChart: return QColor(255, 0, 0);
    default: return QColor(255, 0, 255);
    }
}

QString Q(const std::string& s) { return QString::fromStdString(s); }

// Reports a failure of this window: the dialog and an Error line of the system log.
void Report(QWidget* parent, std::string_view message, const std::string& error) {
    const std::string text = msg::WithError(message, error);
    WriteSystemLog(text, LogError);
    dialogs::Error(parent, Q(text));
}

int ListIndex(int tab) { return tab == kErrorHistory ? 1 : 0; }

} // namespace

TFormChartings::TFormChartings(ConsoleHost* host, QWidget* parent) : QDialog(parent), host_(host) {
    setObjectName("TFormChartings");
    setWindowTitle("Acess / Error Log History & Charts");
    resize(1120, 640);

    auto* layout = new QVBoxLayout(this);
    pages_widget_ = new QTabWidget(this);
    pages_widget_->setObjectName("PageControl");
    layout->addWidget(pages_widget_, 1);

    lists_[0] = MakeList({"No", "Date Time", "Service", "IP", "Port", "Response Time(ms)"},
                         "ListViewAccessHistory");
    lists_[1] = MakeList({"No", "Date Time", "Service", "IP", "Port", "Error Msg", "Status"},
                         "ListViewErrorHistory");
    pages_widget_->addTab(lists_[0], TabCaption(kAccessHistory));
    pages_widget_->addTab(lists_[1], TabCaption(kErrorHistory));
    static const char* const chartNames[kTabCount] = {
        "", "", "ChartHostAccess", "ChartServiceAccess", "ChartDateAccess",
        "ChartHostError", "ChartServiceError", "ChartDateError"};
    for (int tab = kHostAccessChart; tab < kTabCount; ++tab) {
        auto* chart = new QChart();
        chart->setTitle(TabCaption(tab));
        chart->legend()->hide();
        auto* view = new QChartView(chart, pages_widget_);
        view->setObjectName(chartNames[tab]);
        view->setRenderHint(QPainter::Antialiasing);
        charts_[tab] = view;
        pages_widget_->addTab(view, TabCaption(tab));
    }

    auto* buttons = new QHBoxLayout();
    previousButton_ = new QPushButton("<< Previous", this);
    previousButton_->setObjectName("TntButtonPrevious");
    nextButton_ = new QPushButton("Next >>", this);
    nextButton_->setObjectName("TntButtonNext");
    refreshButton_ = new QPushButton("Refresh", this);
    refreshButton_->setObjectName("TntButtonRefresh");
    exportButton_ = new QPushButton("Export to", this);
    exportButton_->setObjectName("TntButtonExport");
    cancelButton_ = new QPushButton("Cancel", this);
    cancelButton_->setObjectName("TntButtonCancel");
    for (QPushButton* b : {previousButton_, nextButton_, refreshButton_, exportButton_, cancelButton_}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    buttons->insertStretch(3);
    layout->addLayout(buttons);

    statusBar_ = settingsforms::NewStatusBar(this, "StatusBar");
    statusLabel_ = new QLabel(statusBar_);
    statusLabel_->setObjectName("StatusText");
    statusBar_->addWidget(statusLabel_, 1);
    progress_ = new QProgressBar(statusBar_);
    progress_->setObjectName("ProgressBar");
    progress_->setMaximumWidth(200);
    progress_->setTextVisible(false);
    progress_->hide();
    statusBar_->addPermanentWidget(progress_);
    layout->addWidget(statusBar_);

    // The list menu (selected rows) and the export button's menu (the whole page).
    listMenu_ = new QMenu(this);
    exportAllMenu_ = new QMenu(this);
    struct Item {
        ExportKind kind;
        const char* word;
        const char* name;
    };
    for (const Item& it : {Item{ExportKind::Csv, "CSV", "CSV"}, Item{ExportKind::Excel, "Excel", "Excel"},
                           Item{ExportKind::Text, "Text", "Text"}, Item{ExportKind::Html, "HTML", "HTML"}}) {
        QAction* one = listMenu_->addAction(QString("Export to %1").arg(it.word));
        one->setObjectName(QString("MenuExport%1").arg(it.name));
        connect(one, &QAction::triggered, this, [this, k = it.kind] { ExportList(k, false); });
        QAction* all = exportAllMenu_->addAction(QString("Export all to %1").arg(it.word));
        all->setObjectName(QString("MenuExportAll%1").arg(it.name));
        connect(all, &QAction::triggered, this, [this, k = it.kind] { ExportList(k, true); });
    }
    exportButton_->setMenu(exportAllMenu_);
    exportButton_->setToolTip("Export the Access History to CSV/Text/HTML file...");

    connect(previousButton_, &QPushButton::clicked, this, &TFormChartings::TntButtonPreviousClick);
    connect(nextButton_, &QPushButton::clicked, this, &TFormChartings::TntButtonNextClick);
    connect(refreshButton_, &QPushButton::clicked, this, &TFormChartings::TntButtonRefreshClick);
    connect(cancelButton_, &QPushButton::clicked, this, &TFormChartings::TntButtonCancelClick);
    connect(exportButton_, &QPushButton::clicked, this, [this] {
        if (IsChartTab(CurrentTab())) {
            ExportChart();
        }
    });
    // The Access History tab is active from the start; every offset is 0.
    pages_widget_->setCurrentIndex(kAccessHistory);
    connect(pages_widget_, &QTabWidget::currentChanged, this, &TFormChartings::OnTabChanged);
}

TFormChartings::~TFormChartings() = default;

QTreeWidget* TFormChartings::MakeList(const QStringList& captions, const char* name) {
    auto* list = new QTreeWidget(this);
    list->setObjectName(name);
    list->setColumnCount(captions.size());
    list->setHeaderLabels(captions);
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setAlternatingRowColors(true);
    QPalette pal = list->palette();
    pal.setColor(QPalette::AlternateBase, kAlternateRow);
    list->setPalette(pal);
    list->header()->setMinimumSectionSize(1);
    list->header()->resizeSection(0, 1);  // "No": one pixel, empty
    list->header()->setSectionsClickable(true);
    list->header()->setStretchLastSection(true);
    for (int c = 1; c < captions.size(); ++c) {
        list->header()->resizeSection(c, c == 1 ? 150 : 120);
    }
    list->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(list, &QWidget::customContextMenuRequested, this,
            [this, list](const QPoint& pos) { ShowListMenu(list, pos); });
    connect(list->header(), &QHeaderView::sectionClicked, this,
            [this, list](int column) { SortByColumn(list, column); });
    return list;
}

void TFormChartings::SortByColumn(QTreeWidget* list, int column) {
    const int i = list == lists_[1] ? 1 : 0;
    // The first click on a column sorts ascending, each further click turns the order round.
    sortAscending_[i] = sortColumn_[i] == column ? !sortAscending_[i] : true;
    sortColumn_[i] = column;
    const Qt::SortOrder order = sortAscending_[i] ? Qt::AscendingOrder : Qt::DescendingOrder;
    list->sortItems(column, order);
    list->header()->setSortIndicatorShown(true);
    list->header()->setSortIndicator(column, order);
}

void TFormChartings::ShowListMenu(QTreeWidget* list, const QPoint& pos) {
    listMenu_->popup(list->viewport()->mapToGlobal(pos));
}

int TFormChartings::CurrentTab() const { return pages_widget_->currentIndex(); }
void TFormChartings::SetCurrentTab(int tab) { pages_widget_->setCurrentIndex(tab); }
QTreeWidget* TFormChartings::List(int tab) const {
    return IsListTab(tab) ? lists_[ListIndex(tab)] : nullptr;
}
QChartView* TFormChartings::Chart(int tab) const { return IsChartTab(tab) ? charts_[tab] : nullptr; }
QStringList TFormChartings::ChartLabels(int tab) const { return chartLabels_[tab]; }
std::vector<long long> TFormChartings::ChartValues(int tab) const { return chartValues_[tab]; }
QString TFormChartings::StatusText() const { return statusLabel_->text(); }
void TFormChartings::SetStatus(const QString& text) { statusLabel_->setText(text); }

void TFormChartings::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    SetStatus("It will show the first 1000 history and 10 charting records, please Next button for "
              "next 1000 and 10 records");
    SetPrevious();
    SetNext();
}

void TFormChartings::done(int result) {
    QDialog::done(result);
    // However the window closes, the main window's controls come back.
    if (host_) {
        host_->NestedFormClosed();
    }
}

bool TFormChartings::LoadCurrentTab() {
    const int tab = CurrentTab();
    progress_->setRange(0, 0);
    progress_->show();
    progress_->repaint();
    bool ok = true;
    try {
        if (IsListTab(tab)) {
            LoadList(tab);
        } else {
            LoadChart(tab);
        }
    } catch (const std::exception& e) {
        // The window and the engine the console hosts stay: the user may refresh later.
        ok = false;
        Report(this, msg::ERR00501, e.what());
    }
    progress_->hide();
    return ok;
}

void TFormChartings::LoadList(int tab) {
    QTreeWidget* list = List(tab);
    PageState& page = pages_[tab];
    list->clear();
    page.total = 0;
    ZUVOzedovUzivara& db = Database();
    const DbResult rows = db.Query(PageStatement(tab, page.offset));
    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<int>(rows.size()));
    progress_->setRange(0, static_cast<int>(rows.size()));
    for (const DbRow& r : rows) {
        QStringList values{QString()};
        if (tab == kAccessHistory) {
            values << Q(r.Get("access_datetime")) << Q(r.Get("service")) << Q(r.Get("ip"))
                   << Q(PortText(r.Get("port"))) << Q(r.Get("response_time"));
        } else {
            values << Q(r.Get("alarm_datetime")) << Q(r.Get("service")) << Q(r.Get("ip"))
                   << Q(PortText(r.Get("port"))) << Q(r.Get("msg")) << Q(r.Get("service_status"));
        }
        items.push_back(new QTreeWidgetItem(values));
    }
    list->addTopLevelItems(items);
    progress_->setValue(static_cast<int>(rows.size()));
    const int i = ListIndex(tab);
    if (sortColumn_[i] >= 0) {
        list->sortItems(sortColumn_[i], sortAscending_[i] ? Qt::AscendingOrder : Qt::DescendingOrder);
    }
    const DbResult count = db.Query(CountStatement(tab));
    page.total = count.empty() ? 0 : count[0].GetInt("totalRecord");
}

void TFormChartings::LoadChart(int tab) {
    QChart* chart = charts_[tab]->chart();
    chart->removeAllSeries();
    for (QAbstractAxis* axis : chart->axes()) {
        chart->removeAxis(axis);
        delete axis;
    }
    chartLabels_[tab].clear();
    chartValues_[tab].clear();
    PageState& page = pages_[tab];
    page.furtherPage = false;

    ZUVOzedovUzivara& db = Database();
    const DbResult rows = db.Query(PageStatement(tab, page.offset));
    auto* set = new QBarSet("total");
    set->setColor(BarColour(tab));
    set->setBorderColor(BarColour(tab).darker(130));
    QStringList categories;
    long long highest = 0;
    for (const DbRow& r : rows) {
        const QString label = Q(r.At(0));
        const long long total = r.GetInt("total");
        chartLabels_[tab] << label;
        chartValues_[tab].push_back(total);
        // The axis needs distinct categories: a label seen before (two addresses with one
        // host) gets invisible zero-width spaces, so each row keeps its own bar.
        QString category = label;
        while (categories.contains(category)) {
            category += QChar(0x200B);
        }
        categories << category;
        *set << static_cast<qreal>(total);
        highest = std::max(highest, total);
    }
    auto* series = new QBarSeries();
    series->append(set);
    chart->addSeries(series);
    // Every bar shows its value as a mark above it.
    set->setLabelColor(Qt::black);
    series->setLabelsFormat("@value");
    series->setLabelsPosition(QAbstractBarSeries::LabelsOutsideEnd);
    series->setLabelsVisible(true);
    auto* axisX = new QBarCategoryAxis();
    axisX->append(categories);
    chart->addAxis(axisX, Qt::AlignBottom);
    series->attachAxis(axisX);
    auto* axisY = new QValueAxis();
    axisY->setLabelFormat("%d");
    axisY->setRange(0, highest <= 0 ? 1 : static_cast<qreal>(highest) * 1.15);
    axisY->applyNiceNumbers();
    chart->addAxis(axisY, Qt::AlignLeft);
    series->attachAxis(axisY);

    page.furtherPage = !db.Query(PageStatement(tab, page.offset + kChartPageSize)).empty();
}

void TFormChartings::SetPrevious() { previousButton_->setEnabled(PreviousEnabled(pages_[CurrentTab()])); }

void TFormChartings::SetNext() {
    const int tab = CurrentTab();
    nextButton_->setEnabled(NextEnabled(pages_[tab], tab));
}

void TFormChartings::TntButtonPreviousClick() {
    const int tab = CurrentTab();
    PreviousPage(pages_[tab], tab);
    LoadCurrentTab();
    SetPrevious();
    SetNext();
}

void TFormChartings::TntButtonNextClick() {
    const int tab = CurrentTab();
    NextPage(pages_[tab], tab);
    LoadCurrentTab();
    SetPrevious();
    SetNext();
}

void TFormChartings::TntButtonRefreshClick() {
    SetStatus("Data refresh.");
    LoadCurrentTab();
    SetPrevious();
    SetNext();
}

void TFormChartings::TntButtonCancelClick() {
    if (host_) {
        host_->ShowStatus("History & Charts has been closed.");
    }
    close();
}

void TFormChartings::OnTabChanged(int tab) {
    SetPrevious();
    if (tab == kAccessHistory || tab == kErrorHistory) {
        exportButton_->setText("Export to");
        exportButton_->setToolTip(tab == kAccessHistory
                                      ? "Export the Access History to CSV/Text/HTML file..."
                                      : "Export the Error History to CSV/Text/HTML file...");
        exportButton_->setMenu(exportAllMenu_);
    } else {
        exportButton_->setText("Export Chart");
        exportButton_->setToolTip("Export the chart to BMP file...");
        exportButton_->setMenu(nullptr);
    }
    LoadCurrentTab();
    SetNext();
}

ExportTable TFormChartings::ExportRows(int tab, bool all) const {
    ExportTable table;
    QTreeWidget* list = List(tab);
    if (!list) {
        return table;
    }
    table.title = std::string("Velmora Pro - ") + TabCaption(tab);
    const int columns = list->columnCount();
    for (int c = 1; c < columns; ++c) {
        table.captions.push_back(list->headerItem()->text(c).toStdString());
    }
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = list->topLevelItem(i);
        if (!all && !item->isSelected()) {
            continue;
        }
        ExportRow row;
        row.position = i;
        for (int c = 1; c < columns; ++c) {
            row.values.push_back(item->text(c).toStdString());
        }
        table.rows.push_back(std::move(row));
    }
    return table;
}

void TFormChartings::ExportList(ExportKind kind, bool all) {
    const int tab = CurrentTab();
    if (!IsListTab(tab)) {
        return;
    }
    const ExportTable table = ExportRows(tab, all);
    if (table.rows.empty()) {
        return;  // nothing selected, or an empty page
    }
    std::string_view error = msg::ERR00504;
    QString filter = "CSV (*.csv)";
    switch (kind) {
    case ExportKind::Csv: break;
    case ExportKind::Excel: error = msg::ERR00509; filter = "Excel (*.xls)"; break;
    case ExportKind::Text: error = msg::ERR00505; filter = "Text (*.txt)"; break;
    case ExportKind::Html: error = msg::ERR00506; filter = "HTML (*.html)"; break;
    }
    const QString chosen = dialogs::SaveFileName(
        this, Q("Please select exporting " + KindWord(kind) + " file path."), filter,
        Q(InitSettings().LogDir));
    if (chosen.isEmpty()) {
        return;
    }
    const QString path = Q(ExportFileName(chosen.toStdString(), ExtensionOf(kind)));
    const std::string text = ExportText(kind, table);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(text.data(), static_cast<qint64>(text.size())) != static_cast<qint64>(text.size()) ||
        !file.flush()) {
        Report(this, error, "Cannot write file \"" + path.toStdString() + "\": " +
                                file.errorString().toStdString());
        return;
    }
    file.close();
    SetStatus("Export data completed successfully.");
}

void TFormChartings::ExportChart() {
    const int tab = CurrentTab();
    if (!IsChartTab(tab)) {
        return;
    }
    const QString chosen = dialogs::SaveFileName(this, "Please select exporting chart file path.",
                                                 "Bitmap (*.bmp);;PNG (*.png)", Q(InitSettings().LogDir));
    if (chosen.isEmpty()) {
        return;
    }
    // A name ending in .png is saved as PNG; every other name is a bitmap file.
    std::string path = chosen.toStdString();
    const char* format = "BMP";
    if (ExportFileName(path, ".png") == path) {
        format = "PNG";
    } else {
        path = ExportFileName(path, ".bmp");
    }
    try {
        const QPixmap image = charts_[tab]->grab();
        if (image.isNull()) {
            throw std::runtime_error("The chart has no image.");
        }
        if (!image.save(Q(path), format)) {
            throw std::runtime_error("Cannot write file \"" + path + "\".");
        }
    } catch (const std::exception& e) {
        Report(this, msg::ERR00502, e.what());
        return;
    }
    SetStatus("Export data completed successfully.");
}

} // namespace velmora
