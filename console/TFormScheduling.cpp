#include "TFormScheduling.h"

#include "ConsoleHost.h"
#include "SettingsFormsSupport.h"

#include "store/ZUVOzedovUzivara.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

namespace velmora {

namespace {
const char* const kDayNames[] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
const char* const kColumns[] = {"mon", "tue", "wed", "thu", "fri", "sat", "sun"};
} // namespace

const char* TFormScheduling::DayName(int day) { return kDayNames[day]; }

QString TFormScheduling::UpdateStatement(int hour, const std::array<bool, kDays>& days) {
    QString sql = QStringLiteral("update scheduling set ");
    for (int d = 0; d < kDays; ++d) {
        if (d > 0) sql += QStringLiteral(" , ");
        sql += QString::fromLatin1(kColumns[d]) + (days[d] ? QStringLiteral("=\"yes\"") : QStringLiteral("=\"no\""));
    }
    sql += QStringLiteral(" where schedule_time=") + QString::number(hour);
    return sql;
}

TFormScheduling::TFormScheduling(ConsoleHost* host, QWidget* parent) : QDialog(parent), host_(host) {
    setObjectName(QStringLiteral("FormScheduling"));
    setWindowTitle(QStringLiteral("Scheduling"));

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(14);
    grid->setVerticalSpacing(2);
    auto* time = new QLabel(QStringLiteral("Time"), this);
    time->setObjectName(QStringLiteral("TntLabelTime"));
    grid->addWidget(time, 0, 0);
    for (int d = 0; d < kDays; ++d) {
        auto* sw = new QCheckBox(QString::fromLatin1(kDayNames[d]), this);
        sw->setObjectName(QStringLiteral("TntCheckBox") + QString::fromLatin1(kDayNames[d]));
        connect(sw, &QCheckBox::clicked, this, [this, d](bool on) { DaySwitchClicked(d, on); });
        // Unticking by program (at opening) also runs the switch's action.
        connect(sw, &QCheckBox::toggled, this, [this, d](bool on) {
            if (!on) DaySwitchClicked(d, false);
        });
        daySwitch_[d] = sw;
        grid->addWidget(sw, 0, d + 1, Qt::AlignHCenter);
    }
    for (int h = 0; h < kHours; ++h) {
        auto* sw = new QCheckBox(QStringLiteral("%1:00 - %1:59").arg(h, 2, 10, QLatin1Char('0')), this);
        sw->setObjectName(QStringLiteral("TntCheckBox") + QString::number(h + 1));
        connect(sw, &QCheckBox::clicked, this, [this, h](bool on) { HourSwitchClicked(h, on); });
        connect(sw, &QCheckBox::toggled, this, [this, h](bool on) {
            if (!on) HourSwitchClicked(h, false);
        });
        hourSwitch_[h] = sw;
        grid->addWidget(sw, h + 1, 0);
        for (int d = 0; d < kDays; ++d) {
            auto* cell = new QCheckBox(this);
            cell->setObjectName(QStringLiteral("TntCheckBox") + QString::fromLatin1(kDayNames[d]) + QString::number(h));
            cells_[d][h] = cell;
            grid->addWidget(cell, h + 1, d + 1, Qt::AlignHCenter);
        }
    }

    selectAll_ = settingsforms::NewButton(this, QStringLiteral("Select All"), "TntButtonSelectAll");
    clearAll_ = settingsforms::NewButton(this, QStringLiteral("Clear All"), "TntButtonClearAll");
    ok_ = settingsforms::NewButton(this, QStringLiteral("Apply"), "TntButtonOK");
    cancel_ = settingsforms::NewButton(this, QStringLiteral("Cancel"), "TntButtonCancel");
    connect(selectAll_, &QPushButton::clicked, this, &TFormScheduling::SelectAll);
    connect(clearAll_, &QPushButton::clicked, this, &TFormScheduling::ClearAll);
    connect(ok_, &QPushButton::clicked, this, [this] { TntButtonOKClick(); });
    connect(cancel_, &QPushButton::clicked, this, &TFormScheduling::TntButtonCancelClick);

    // "Apply" is enabled when a control of the grid area takes the focus.
    for (auto* w : findChildren<QCheckBox*>()) w->installEventFilter(this);
    selectAll_->installEventFilter(this);
    clearAll_->installEventFilter(this);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(selectAll_);
    buttons->addWidget(clearAll_);
    buttons->addStretch();
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);

    status_ = settingsforms::NewStatusBar(this, "TntStatusBar");

    auto* top = new QVBoxLayout(this);
    top->addLayout(grid);
    top->addLayout(buttons);
    top->addWidget(status_);
    ok_->setEnabled(false);
}

bool TFormScheduling::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) ok_->setEnabled(true);
    return QDialog::eventFilter(watched, event);
}

void TFormScheduling::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (!e->spontaneous()) {
        FormShow();
        // The first focus goes to a button, so opening leaves "Apply" disabled.
        cancel_->setFocus();
    }
}

void TFormScheduling::closeEvent(QCloseEvent* e) {
    QDialog::closeEvent(e);
}

void TFormScheduling::FormShow() {
    ok_->setEnabled(false);
    for (auto* sw : daySwitch_) sw->setChecked(false);
    for (auto* sw : hourSwitch_) sw->setChecked(false);
    try {
        const DbResult rows = Database().Query("SELECT * FROM scheduling");
        for (const DbRow& r : rows) {
            const long long h = r.GetInt("schedule_time", -1);
            if (h < 0 || h >= kHours) continue;
            for (int d = 0; d < kDays; ++d) cells_[d][h]->setChecked(r.Get(kColumns[d]) == "yes");
        }
    } catch (const std::exception& e) {
        settingsforms::ReportError(this, "ERR90100", e);
    }
    status_->showMessage(QStringLiteral("You can update schedule now."));
}

void TFormScheduling::HourSwitchClicked(int hour, bool on) {
    for (int d = 0; d < kDays; ++d) cells_[d][hour]->setChecked(on);
}

void TFormScheduling::DaySwitchClicked(int day, bool on) {
    for (int h = 0; h < kHours; ++h) cells_[day][h]->setChecked(on);
}

void TFormScheduling::SelectAll() {
    for (auto& day : cells_)
        for (auto* c : day) c->setChecked(true);
}

void TFormScheduling::ClearAll() {
    for (auto& day : cells_)
        for (auto* c : day) c->setChecked(false);
}

bool TFormScheduling::TntButtonOKClick() {
    try {
        for (int h = 0; h < kHours; ++h) {
            std::array<bool, kDays> days{};
            for (int d = 0; d < kDays; ++d) days[d] = cells_[d][h]->isChecked();
            Database().Execute(UpdateStatement(h, days).toStdString());
        }
    } catch (const std::exception& e) {
        settingsforms::ReportError(this, "ERR90101", e);
        return false;
    }
    status_->showMessage(QStringLiteral("The new scheduling has been saved and will be effective now."));
    ok_->setEnabled(false);
    return true;
}

void TFormScheduling::TntButtonCancelClick() {
    if (host_ != nullptr) host_->ShowStatus(QStringLiteral("Updating option settings cancel."));
    close();
}

} // namespace velmora
