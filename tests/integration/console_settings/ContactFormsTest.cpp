// Contacts, contact groups and the group chooser against velmoradb: validation and
// uniqueness texts, insert/update/delete, group membership, exact storage of any text.
#include "ConsoleSettingsTest.h"

#include "console/TFormContactGroupsSettings.h"
#include "console/TFormContactGroupsSettingsSelect.h"
#include "console/TFormContactSettings.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStatusBar>
#include <QTreeWidget>

using namespace velmora;
using namespace velmora::test;

namespace {

class ContactForms : public ConsoleDbTest {
protected:
    void Fill(QWidget& form, const QString& name, const QString& email, const QString& sms = {},
              const QString& pager = {}, const QString& details = {}) {
        Child<QLineEdit>(form, "TntEditName")->setText(name);
        Child<QLineEdit>(form, "TntEditDetails")->setText(details);
        Child<QLineEdit>(form, "TntEditEmail")->setText(email);
        Child<QLineEdit>(form, "TntEditSMS")->setText(sms);
        Child<QLineEdit>(form, "TntEditPagerID")->setText(pager);
    }
    QTreeWidgetItem* RowNamed(QWidget& form, const QString& name) {
        auto* list = Child<QTreeWidget>(form, "TntListViewContacts");
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            if (list->topLevelItem(i)->text(1) == name) return list->topLevelItem(i);
        return nullptr;
    }
    long long IdOf(const std::string& name) {
        return std::stoll(One("select id from contact_person where name=" + Database().Quote(name)));
    }
    static QStringList Items(QListWidget* l) {
        QStringList out;
        for (int i = 0; i < l->count(); ++i) out << l->item(i)->text();
        return out;
    }
};

} // namespace

TEST_F(ContactForms, ValidationUniquenessAndUpdates) {
    TFormContactSettings form(&host);
    form.show();
    auto* status = Child<QStatusBar>(form, "TntStatusBar");

    struct Refused {
        QString name, email, sms, pager, message;
    } refused[] = {
        {"", "a@x.test", "", "", "information: Person Name is compulsory field."},
        {"Nobody", "", "", "", "information: Please provide either Email, SMS or PagerID."},
    };
    for (const auto& c : refused) {
        Fill(form, c.name, c.email, c.sms, c.pager);
        EXPECT_FALSE(form.TntButtonSaveClick());
        EXPECT_EQ(TakeMessages(), QStringList{c.message});
    }
    EXPECT_EQ(One("select count(*) from contact_person"), "0");

    Fill(form, "Ann", "ann@x.test");
    ASSERT_TRUE(form.TntButtonSaveClick());
    EXPECT_EQ(status->currentMessage(), QStringLiteral("New contact person has been saved."));
    EXPECT_EQ(Child<QLineEdit>(form, "TntEditName")->text(), QString());
    // The server's collation ignores case: "ann" is taken.
    Fill(form, "ann", "other@x.test");
    EXPECT_FALSE(form.TntButtonSaveClick());
    EXPECT_EQ(TakeMessages(), QStringList{"information: Person Name must be unique."});

    // Only a pager id is enough; a quote, a backslash and non-ASCII text are stored as typed.
    const QString odd = QStringLiteral("O\"Brien \\ Zoë 田中");
    Fill(form, odd, "", "", "PG-7", "it's \"odd\"");
    ASSERT_TRUE(form.TntButtonSaveClick());
    EXPECT_EQ(One("select details from contact_person where pager_id='PG-7'"), "it's \"odd\"");
    EXPECT_EQ(One("select name from contact_person where pager_id='PG-7'"), odd.toStdString());

    // The newest row is on top; a double-click loads a row for updating.
    auto* list = Child<QTreeWidget>(form, "TntListViewContacts");
    ASSERT_EQ(list->topLevelItemCount(), 2);
    EXPECT_EQ(list->topLevelItem(0)->text(1), odd);
    EXPECT_TRUE(list->isColumnHidden(0));
    form.EditRow(RowNamed(form, "Ann"));
    EXPECT_EQ(Child<QPushButton>(form, "TntButtonSave")->text(), QStringLiteral("Save Update"));
    EXPECT_TRUE(Child<QPushButton>(form, "TntButtonDelete")->isEnabled());
    EXPECT_EQ(host.status.last(), QStringLiteral("You can update or delete this contract person."));
    // Its own name is not a clash; the new e-mail is stored on the same row.
    Child<QLineEdit>(form, "TntEditEmail")->setText("ann@new.test");
    ASSERT_TRUE(form.TntButtonSaveClick());
    EXPECT_EQ(status->currentMessage(), QStringLiteral("The contact person has been updated."));
    EXPECT_EQ(One("select email from contact_person where name='Ann'"), "ann@new.test");
    EXPECT_EQ(One("select count(*) from contact_person"), "2");
    // Renaming onto the other contact's name is refused.
    Child<QLineEdit>(form, "TntEditName")->setText(odd);
    EXPECT_FALSE(form.TntButtonSaveClick());
    EXPECT_EQ(TakeMessages(), QStringList{"information: Person Name must be unique."});
    EXPECT_TRUE(host.calls.contains("contacts"));

    form.TntButtonClearClick();
    EXPECT_EQ(form.EditedId(), 0);
    EXPECT_EQ(status->currentMessage(), QStringLiteral("The fields have been cleared."));
    EXPECT_FALSE(Child<QPushButton>(form, "TntButtonDelete")->isEnabled());
    Shot(form, "contacts");
}

TEST_F(ContactForms, GroupsMembershipChooserAndContactDeletion) {
    for (const char* n : {"Carl", "Ann", "Bob"})
        Database().Execute(std::string("insert into contact_person (name,email) values ('") + n + "','" + n + "@x.test')");
    TFormContactGroupsSettings groups(&host);
    groups.show();
    auto* available = Child<QListWidget>(groups, "TntListBoxAvailable");
    auto* selected = Child<QListWidget>(groups, "TntListBoxSelected");
    EXPECT_EQ(Items(available), (QStringList{"Ann", "Bob", "Carl"}));
    EXPECT_FALSE(Child<QPushButton>(groups, "TntButtonRemove")->isEnabled());

    EXPECT_FALSE(groups.TntButtonSaveClick());
    EXPECT_EQ(TakeMessages(), QStringList{"information: Group Name is compulsory field."});
    Child<QLineEdit>(groups, "TntEditGroupName")->setText("Night \"shift\"");
    EXPECT_FALSE(groups.TntButtonSaveClick());
    EXPECT_EQ(TakeMessages(), QStringList{"information: Please select contact person."});

    available->item(0)->setSelected(true);   // Ann
    available->item(2)->setSelected(true);   // Carl
    Child<QPushButton>(groups, "TntButtonAdd")->click();
    EXPECT_EQ(Items(selected), (QStringList{"Ann", "Carl"}));
    EXPECT_EQ(Items(available), (QStringList{"Bob"}));
    ASSERT_TRUE(groups.TntButtonSaveClick());
    EXPECT_EQ(host.status.last(), QStringLiteral("New contact group has been saved."));
    const std::string gid = One("select id from contact_group where name='Night \"shift\"'");
    EXPECT_EQ(One("select count(*) from contact_person_group where contact_group_id=" + gid), "2");
    EXPECT_EQ(selected->count(), 0);

    Database().Execute("insert into contact_group (name) values ('Alpha')");
    groups.OpenChooser();
    TFormContactGroupsSettingsSelect* chooser = groups.Chooser();
    ASSERT_NE(chooser, nullptr);
    EXPECT_TRUE(chooser->isVisible());
    EXPECT_EQ(chooser->pos(), groups.frameGeometry().topLeft() + QPoint(330, 50));
    ASSERT_EQ(chooser->List()->count(), 2);
    EXPECT_EQ(chooser->List()->item(0)->text(), QStringLiteral("Alpha"));
    Shot(*chooser, "contact_group_chooser");
    chooser->TakeItem(chooser->List()->item(1));
    EXPECT_FALSE(chooser->isVisible());
    EXPECT_EQ(groups.EditedId(), std::stoll(gid));
    QStringList members = Items(selected);
    members.sort();
    EXPECT_EQ(members, (QStringList{"Ann", "Carl"}));
    EXPECT_EQ(Items(available), (QStringList{"Bob"}));
    EXPECT_EQ(host.status.last(), QStringLiteral("You can update or delete this contract group."));
    Shot(groups, "contact_groups");

    // Saving again after taking one out leaves one link; a taken name is refused.
    selected->findItems("Carl", Qt::MatchExactly).at(0)->setSelected(true);
    Child<QPushButton>(groups, "TntButtonRemove")->click();
    EXPECT_EQ(Items(selected), QStringList{"Ann"});
    ASSERT_TRUE(groups.TntButtonSaveClick());
    EXPECT_EQ(host.status.last(), QStringLiteral("The contact group has been updated."));
    EXPECT_EQ(One("select count(*) from contact_person_group where contact_group_id=" + gid), "1");
    Child<QLineEdit>(groups, "TntEditGroupName")->setText("alpha");
    EXPECT_FALSE(groups.TntButtonSaveClick());
    EXPECT_EQ(TakeMessages(), QStringList{"information: Group Name must be unique."});

    // Deleting a contact takes it out of its group; the group stays.
    Database().Execute("insert into contact_person_group (contact_person_id,contact_group_id) values (" +
                       std::to_string(IdOf("Bob")) + "," + gid + ")");
    TFormContactSettings contacts(&host);
    contacts.show();
    contacts.EditRow(RowNamed(contacts, "Ann"));
    ASSERT_TRUE(contacts.TntButtonDeleteClick());
    EXPECT_EQ(host.status.last(), QStringLiteral("The contact person has been deleted."));
    EXPECT_EQ(One("select count(*) from contact_person where name='Ann'"), "0");
    EXPECT_EQ(Rows("select contact_person_id from contact_person_group where contact_group_id=" + gid).size(), 1u);
    EXPECT_EQ(One("select count(*) from contact_group where id=" + gid), "1");

    // Deleting the group removes its links.
    groups.LoadGroup(std::stoll(gid), "Night \"shift\"");
    ASSERT_TRUE(groups.TntButtonDeleteClick());
    EXPECT_EQ(host.status.last(), QStringLiteral("The contact group has been deleted."));
    EXPECT_EQ(One("select count(*) from contact_person_group"), "0");
    EXPECT_EQ(One("select count(*) from contact_group"), "1");
    groups.close();
    EXPECT_FALSE(chooser->isVisible());
}

TEST_F(ContactForms, DatabaseFailureShowsItsCodeAndKeepsTheFields) {
    TFormContactSettings form(&host);
    form.show();
    Database().Execute("drop table contact_person");
    Fill(form, "Dora", "d@x.test");
    EXPECT_FALSE(form.TntButtonSaveClick());
    const QStringList shown = TakeMessages();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown[0].startsWith("error: ERR90011 : ")) << shown[0].toStdString();
    EXPECT_EQ(Child<QLineEdit>(form, "TntEditName")->text(), QStringLiteral("Dora"));
    EXPECT_NE(scope.LogText().find("ERR90011 : "), std::string::npos);
}
