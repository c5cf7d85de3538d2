#include "WizardTestSupport.h"

#include "foundation/InitSettings.h"
#include "tests/support/OffscreenApp.h"
#include "tests/support/TestDatabase.h"

#include <QApplication>
#include <QDir>

namespace velmora::test {

void ConsoleDbTest::SetUp() {
    OffscreenApp();
    ASSERT_GT(ServerPort("mariadb"), 0) << "the mariadb fixture did not start";
    scope = std::make_unique<AppDirScope>();
    UseTestServer();
    DropProgramDatabase();
    Database().Close();
    ASSERT_TRUE(Database().OpenAtStart());
    dialogs::SetHeadless(true);
    dialogs::ClearShown();
}

void ConsoleDbTest::TearDown() {
    Database().Close();
    scope.reset();
}

std::string ConsoleDbTest::ServiceValue(long long id, const std::string& column) {
    const DbResult r =
        Database().Query("select " + column + " as v from service where id=" + std::to_string(id));
    return r.empty() ? "<no row>" : r[0].Get("v");
}

long long ConsoleDbTest::Count(const std::string& from) {
    return Database().Query("select count(*) as n from " + from)[0].GetInt("n");
}

long long ConsoleDbTest::AddPerson(const std::string& name) {
    Database().Execute("insert into contact_person (name, email) values (" +
                       Database().Quote(name) + ", \"x@example.com\")");
    return static_cast<long long>(Database().LastInsertId());
}

long long ConsoleDbTest::AddGroup(const std::string& name, const std::vector<long long>& members) {
    Database().Execute("insert into contact_group (name) values (" + Database().Quote(name) + ")");
    const long long gid = static_cast<long long>(Database().LastInsertId());
    for (long long m : members) {
        Database().Execute("insert into contact_person_group (contact_person_id, contact_group_id) "
                           "values (" + std::to_string(m) + "," + std::to_string(gid) + ")");
    }
    return gid;
}

std::string ConsoleDbTest::Shown() {
    std::string out;
    for (const auto& m : dialogs::ShownMessages()) {
        out += (out.empty() ? "" : "|") + m.text.toStdString();
    }
    dialogs::ClearShown();
    return out;
}

void SetField(TServiceEditPages* pages, const QString& type, const std::string& column,
              const QString& text) {
    QWidget* w = pages->Frame(type)->FieldWidget(column);
    ASSERT_NE(w, nullptr) << column;
    if (auto* e = qobject_cast<QLineEdit*>(w)) {
        e->setText(text);
    } else if (auto* c = qobject_cast<QComboBox*>(w)) {
        c->setCurrentText(text);
    }
}

void ChooseSchedule(QWidget* root, const QString& by, const QString& a, const QString& b) {
    Child<QRadioButton>(root, "RadioBy" + by)->setChecked(true);
    if (by == "Hourly") {
        Child<QComboBox>(root, "ComboHourlyMinute")->setCurrentText(a);
    } else if (by == "Daily") {
        Child<QComboBox>(root, "ComboDailyHour")->setCurrentText(a);
        Child<QComboBox>(root, "ComboDailyMinute")->setCurrentText(b);
    } else {
        Child<QComboBox>(root, "ComboMinutely")->setCurrentText(a);
    }
}

static QTreeWidgetItem* ContactItem(TServiceEditPages* pages, const QString& name) {
    QTreeWidget* list = pages->ContactList();
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        if (list->topLevelItem(i)->text(0) == name) {
            return list->topLevelItem(i);
        }
    }
    return nullptr;
}

void TickContact(TServiceEditPages* pages, const QString& name, bool tick) {
    QTreeWidgetItem* item = ContactItem(pages, name);
    ASSERT_NE(item, nullptr) << name.toStdString();
    item->setCheckState(0, tick ? Qt::Checked : Qt::Unchecked);
}

bool ContactTicked(TServiceEditPages* pages, const QString& name) {
    QTreeWidgetItem* item = ContactItem(pages, name);
    return item && item->checkState(0) == Qt::Checked;
}

void Screenshot(QWidget* w, const QString& name) {
    const QString dir = QString::fromStdString(BinaryDir()) + "/screenshots";
    QDir().mkpath(dir);
    QApplication::processEvents();
    EXPECT_TRUE(w->grab().save(dir + "/" + name + ".png")) << name.toStdString();
}

} // namespace velmora::test
