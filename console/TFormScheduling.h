#pragma once
// "Scheduling": the weekly hour grid of the scheduling table. 168 cells (TntCheckBoxMon0 ..
// TntCheckBoxSun23), 24 hour switches (TntCheckBox1 .. TntCheckBox24, switch k = hour k-1)
// and 7 day switches (TntCheckBoxMon .. TntCheckBoxSun). The form is made once and kept, so
// the cells keep their states between openings.
#include <QDialog>

#include <array>

class QCheckBox;
class QPushButton;
class QStatusBar;

namespace velmora {

class ConsoleHost;

class TFormScheduling : public QDialog {
    Q_OBJECT

public:
    explicit TFormScheduling(ConsoleHost* host, QWidget* parent = nullptr);

    static constexpr int kDays = 7;
    static constexpr int kHours = 24;
    // "Mon".."Sun" (day 0 = Monday).
    static const char* DayName(int day);
    // The update statement of one hour from its seven values (Monday first).
    static QString UpdateStatement(int hour, const std::array<bool, kDays>& days);

    QCheckBox* Cell(int day, int hour) const { return cells_[day][hour]; }

    void FormShow();
    void SelectAll();
    void ClearAll();
    // Writes the 24 hours; false when a statement failed.
    bool TntButtonOKClick();
    void TntButtonCancelClick();

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void HourSwitchClicked(int hour, bool on);
    void DaySwitchClicked(int day, bool on);

    ConsoleHost* host_;
    QCheckBox* cells_[kDays][kHours] = {};
    QCheckBox* hourSwitch_[kHours] = {};
    QCheckBox* daySwitch_[kDays] = {};
    QPushButton* selectAll_ = nullptr;
    QPushButton* clearAll_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QStatusBar* status_ = nullptr;
};

} // namespace velmora
