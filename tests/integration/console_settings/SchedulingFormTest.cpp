// The hour grid form against velmoradb.scheduling: loading by exact "yes", the 24 update
// statements, switches, "Select All"/"Clear All", "Apply" enabled by focus only.
#include "ConsoleSettingsTest.h"

#include "console/FormOpeners.h"
#include "console/TFormScheduling.h"

#include <QCheckBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>

using namespace velmora;
using namespace velmora::test;

namespace {

class SchedulingForm : public ConsoleDbTest {
protected:
    std::string Column(int hour, const char* day) {
        return One(std::string("select ") + day + " from scheduling where schedule_time=" + std::to_string(hour));
    }
    int Count(const std::string& where) {
        return std::stoi(One("select count(*) from scheduling where " + where));
    }
};

} // namespace

TEST(SchedulingStatement, ExactText) {
    EXPECT_EQ(TFormScheduling::UpdateStatement(7, {true, true, true, true, true, false, false}).toStdString(),
              "update scheduling set mon=\"yes\" , tue=\"yes\" , wed=\"yes\" , thu=\"yes\" , fri=\"yes\" , "
              "sat=\"no\" , sun=\"no\" where schedule_time=7");
    EXPECT_EQ(TFormScheduling::UpdateStatement(23, {}).toStdString(),
              "update scheduling set mon=\"no\" , tue=\"no\" , wed=\"no\" , thu=\"no\" , fri=\"no\" , "
              "sat=\"no\" , sun=\"no\" where schedule_time=23");
}

TEST_F(SchedulingForm, LoadsExactYesAndWritesNoForOtherSpellings) {
    Database().Execute("update scheduling set mon=\"Yes\", tue=\"YES\", wed=\"no\" where schedule_time=3");
    TFormScheduling form(&host);
    form.show();
    EXPECT_FALSE(form.Cell(0, 3)->isChecked());
    EXPECT_FALSE(form.Cell(1, 3)->isChecked());
    EXPECT_FALSE(form.Cell(2, 3)->isChecked());
    EXPECT_TRUE(form.Cell(3, 3)->isChecked());
    EXPECT_TRUE(form.Cell(0, 4)->isChecked());
    auto* status = Child<QStatusBar>(form, "TntStatusBar");
    EXPECT_EQ(status->currentMessage(), QStringLiteral("You can update schedule now."));
    auto* ok = Child<QPushButton>(form, "TntButtonOK");
    EXPECT_FALSE(ok->isEnabled());
    ASSERT_TRUE(form.TntButtonOKClick());
    EXPECT_EQ(Column(3, "mon"), "no");
    EXPECT_EQ(Column(3, "tue"), "no");
    EXPECT_EQ(Column(3, "thu"), "yes");
    EXPECT_EQ(status->currentMessage(), QStringLiteral("The new scheduling has been saved and will be effective now."));
    EXPECT_FALSE(ok->isEnabled());
    Shot(form, "scheduling");
}

TEST_F(SchedulingForm, SelectAllClearAllAndSwitches) {
    TFormScheduling form(&host);
    form.show();
    form.ClearAll();
    ASSERT_TRUE(form.TntButtonOKClick());
    EXPECT_EQ(Count("mon=\"no\" and tue=\"no\" and wed=\"no\" and thu=\"no\" and fri=\"no\" and sat=\"no\" and sun=\"no\""), 24);
    Child<QPushButton>(form, "TntButtonSelectAll")->click();
    ASSERT_TRUE(form.TntButtonOKClick());
    EXPECT_EQ(Count("mon=\"yes\" and tue=\"yes\" and wed=\"yes\" and thu=\"yes\" and fri=\"yes\" and sat=\"yes\" and sun=\"yes\""), 24);

    // The "Mon" switch sets Monday's cells; a cell unticked afterwards leaves the switch ticked.
    form.ClearAll();
    auto* mon = Child<QCheckBox>(form, "TntCheckBoxMon");
    mon->click();
    for (int h = 0; h < 24; ++h) EXPECT_TRUE(form.Cell(0, h)->isChecked()) << h;
    EXPECT_FALSE(form.Cell(1, 0)->isChecked());
    form.Cell(0, 5)->setChecked(false);
    EXPECT_TRUE(mon->isChecked());
    // Hour switch 9 belongs to hour 8.
    Child<QCheckBox>(form, "TntCheckBox9")->click();
    for (int d = 0; d < 7; ++d) EXPECT_TRUE(form.Cell(d, 8)->isChecked()) << d;
    ASSERT_TRUE(form.TntButtonOKClick());
    EXPECT_EQ(Column(8, "sun"), "yes");
    EXPECT_EQ(Column(5, "mon"), "no");
    EXPECT_EQ(Column(6, "mon"), "yes");
    EXPECT_EQ(Column(6, "tue"), "no");

    // Opening again unticks the switches (and with them their cells) before loading.
    form.hide();
    form.show();
    EXPECT_FALSE(mon->isChecked());
    EXPECT_TRUE(form.Cell(0, 6)->isChecked());
    EXPECT_FALSE(form.Cell(1, 6)->isChecked());
}

TEST_F(SchedulingForm, HourWithoutRowAndOutOfRangeRows) {
    Database().Execute("delete from scheduling where schedule_time=5");
    Database().Execute("insert into scheduling (schedule_time,mon,tue,wed,thu,fri,sat,sun) values "
                       "(24,\"no\",\"no\",\"no\",\"no\",\"no\",\"no\",\"no\")");
    TFormScheduling form(&host);
    form.show();
    EXPECT_FALSE(form.Cell(0, 5)->isChecked());   // no row: left as it was
    form.SelectAll();
    ASSERT_TRUE(form.TntButtonOKClick());
    EXPECT_EQ(Count("schedule_time=5"), 0);
    EXPECT_EQ(One("select count(*) from scheduling"), "24");
    EXPECT_EQ(Column(24, "mon"), "no");
}

TEST_F(SchedulingForm, ApplyEnabledByFocusKeptBetweenOpeningsAndFailureReported) {
    TFormScheduling form(&host);
    form.show();
    QApplication::setActiveWindow(&form);
    auto* ok = Child<QPushButton>(form, "TntButtonOK");
    form.Cell(2, 2)->setChecked(false);   // a value change alone does not enable it
    EXPECT_FALSE(ok->isEnabled());
    form.Cell(2, 2)->setFocus();
    QApplication::processEvents();
    EXPECT_TRUE(ok->isEnabled());

    // Cancel keeps the form (and the unsaved cell) for the next opening.
    Child<QPushButton>(form, "TntButtonCancel")->click();
    EXPECT_EQ(host.status.last(), QStringLiteral("Updating option settings cancel."));
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(Column(2, "wed"), "yes");

    // A failing statement: ERR90101 in a dialog and the system log, "Apply" stays enabled.
    Database().Execute("drop table scheduling");
    ok->setEnabled(true);
    EXPECT_FALSE(form.TntButtonOKClick());
    const QStringList shown = TakeMessages();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown[0].startsWith(QStringLiteral("error: ERR90101 : "))) << shown[0].toStdString();
    EXPECT_NE(scope.LogText().find("ERR90101 : "), std::string::npos);
    EXPECT_TRUE(ok->isEnabled());
}

TEST_F(SchedulingForm, OpenerKeepsTheFormBetweenOpeningsAndLoadFailureIsReported) {
    Database().Execute("delete from scheduling where schedule_time=5");
    QWidget mainWindow;
    TFormScheduling* first = nullptr;
    QTimer::singleShot(0, [&] {
        first = qobject_cast<TFormScheduling*>(QApplication::activeModalWidget());
        ASSERT_NE(first, nullptr);
        first->Cell(0, 5)->setChecked(true);   // an hour without a row: nothing reloads it
        first->close();
    });
    OpenScheduling(&host, &mainWindow);
    EXPECT_EQ(host.calls, (QStringList{"opened", "closed"}));
    bool kept = false;
    QTimer::singleShot(0, [&] {
        auto* again = qobject_cast<TFormScheduling*>(QApplication::activeModalWidget());
        kept = again == first && again->Cell(0, 5)->isChecked();
        if (again) again->close();
    });
    OpenScheduling(&host, &mainWindow);
    EXPECT_TRUE(kept);

    // Opening without the table: ERR90100, and the status text still shown.
    Database().Execute("drop table scheduling");
    TFormScheduling form(&host);
    form.show();
    const QStringList shown = TakeMessages();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown[0].startsWith("error: ERR90100 : ")) << shown[0].toStdString();
    EXPECT_EQ(Child<QStatusBar>(form, "TntStatusBar")->currentMessage(), QStringLiteral("You can update schedule now."));
}
