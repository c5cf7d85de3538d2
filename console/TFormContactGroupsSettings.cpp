#include "TFormContactGroupsSettings.h"

#include "ConsoleHost.h"
#include "Dialogs.h"
#include "SettingsFormsSupport.h"
#include "TFormContactGroupsSettingsSelect.h"

#include "store/ZUVOzedovUzivara.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QShowEvent>
#include <QStatusBar>
#include <QVBoxLayout>

#include <set>

namespace velmora {

using settingsforms::FromUtf8;
using settingsforms::Utf8;

TFormContactGroupsSettings::TFormContactGroupsSettings(ConsoleHost* host, QWidget* parent)
    : QDialog(parent), host_(host) {
    setObjectName(QStringLiteral("FormContactGroupsSettings"));
    setWindowTitle(QStringLiteral("Contact Groups Options"));

    name_ = new QLineEdit(this);
    name_->setObjectName(QStringLiteral("TntEditGroupName"));
    name_->setMaxLength(50);
    choose_ = settingsforms::NewButton(this, QStringLiteral("....."), "TntButtonSelectGroup");
    connect(choose_, &QPushButton::clicked, this, &TFormContactGroupsSettings::OpenChooser);

    available_ = new QListWidget(this);
    available_->setObjectName(QStringLiteral("TntListBoxAvailable"));
    available_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    selected_ = new QListWidget(this);
    selected_->setObjectName(QStringLiteral("TntListBoxSelected"));
    selected_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    connect(available_, &QListWidget::itemDoubleClicked, this, [this] { MoveSelected(true); });
    connect(selected_, &QListWidget::itemDoubleClicked, this, [this] { MoveSelected(false); });

    add_ = settingsforms::NewButton(this, QStringLiteral(">"), "TntButtonAdd");
    addAll_ = settingsforms::NewButton(this, QStringLiteral(">>"), "TntButtonAddAll");
    remove_ = settingsforms::NewButton(this, QStringLiteral("<"), "TntButtonRemove");
    removeAll_ = settingsforms::NewButton(this, QStringLiteral("<<"), "TntButtonRemoveAll");
    connect(add_, &QPushButton::clicked, this, [this] { MoveSelected(true); });
    connect(addAll_, &QPushButton::clicked, this, [this] { MoveAll(true); });
    connect(remove_, &QPushButton::clicked, this, [this] { MoveSelected(false); });
    connect(removeAll_, &QPushButton::clicked, this, [this] { MoveAll(false); });

    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(new QLabel(QStringLiteral("Group Name *"), this));
    nameRow->addWidget(name_, 1);
    nameRow->addWidget(choose_);

    auto* moves = new QVBoxLayout;
    moves->addStretch();
    for (auto* b : {add_, addAll_, remove_, removeAll_}) moves->addWidget(b);
    moves->addStretch();
    auto* lists = new QGridLayout;
    lists->addWidget(new QLabel(QStringLiteral("Available contacts"), this), 0, 0);
    lists->addWidget(new QLabel(QStringLiteral("Selected contacts"), this), 0, 2);
    lists->addWidget(available_, 1, 0);
    lists->addLayout(moves, 1, 1);
    lists->addWidget(selected_, 1, 2);

    save_ = settingsforms::NewButton(this, QStringLiteral("Save New"), "TntButtonSave");
    delete_ = settingsforms::NewButton(this, QStringLiteral("Delete"), "TntButtonDelete");
    clear_ = settingsforms::NewButton(this, QStringLiteral("Clear"), "TntButtonClear");
    cancel_ = settingsforms::NewButton(this, QStringLiteral("Cancel"), "TntButtonCancel");
    connect(save_, &QPushButton::clicked, this, [this] { TntButtonSaveClick(); });
    connect(delete_, &QPushButton::clicked, this, [this] { TntButtonDeleteClick(); });
    connect(clear_, &QPushButton::clicked, this, &TFormContactGroupsSettings::TntButtonClearClick);
    connect(cancel_, &QPushButton::clicked, this, &TFormContactGroupsSettings::TntButtonCancelClick);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (auto* b : {save_, delete_, clear_, cancel_}) buttons->addWidget(b);

    status_ = settingsforms::NewStatusBar(this, "TntStatusBar");

    auto* top = new QVBoxLayout(this);
    top->addLayout(nameRow);
    top->addLayout(lists, 1);
    top->addLayout(buttons);
    top->addWidget(status_);
    resize(520, 400);
    UpdateMoveButtons();
}

void TFormContactGroupsSettings::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (!e->spontaneous()) FormShow();
}

void TFormContactGroupsSettings::closeEvent(QCloseEvent* e) {
    if (chooser_ != nullptr) chooser_->hide();
    QDialog::closeEvent(e);
}

void TFormContactGroupsSettings::Status(const QString& text) { settingsforms::ShowStatus(host_, status_, text); }

void TFormContactGroupsSettings::FormShow() { NewMode(); }

void TFormContactGroupsSettings::NewMode() {
    groupId_ = 0;
    name_->clear();
    selected_->clear();
    available_->clear();
    save_->setText(QStringLiteral("Save New"));
    delete_->setEnabled(false);
    try {
        for (const DbRow& r : Database().Query("SELECT name FROM contact_person ORDER BY name"))
            available_->addItem(FromUtf8(r.Get("name")));
    } catch (const std::exception& e) {
        settingsforms::ReportError(this, "ERR90302", e);
    }
    UpdateMoveButtons();
}

void TFormContactGroupsSettings::UpdateMoveButtons() {
    add_->setEnabled(available_->count() > 0);
    addAll_->setEnabled(available_->count() > 0);
    remove_->setEnabled(selected_->count() > 0);
    removeAll_->setEnabled(selected_->count() > 0);
}

void TFormContactGroupsSettings::MoveSelected(bool toSelected) {
    QListWidget* from = toSelected ? available_ : selected_;
    QListWidget* to = toSelected ? selected_ : available_;
    for (int i = 0; i < from->count();) {
        if (from->item(i)->isSelected()) {
            QListWidgetItem* item = from->takeItem(i);
            item->setSelected(false);
            to->addItem(item);
        } else {
            ++i;
        }
    }
    UpdateMoveButtons();
}

void TFormContactGroupsSettings::MoveAll(bool toSelected) {
    QListWidget* from = toSelected ? available_ : selected_;
    QListWidget* to = toSelected ? selected_ : available_;
    while (from->count() > 0) {
        QListWidgetItem* item = from->takeItem(0);
        item->setSelected(false);
        to->addItem(item);
    }
    UpdateMoveButtons();
}

void TFormContactGroupsSettings::OpenChooser() {
    if (chooser_ == nullptr) {
        chooser_ = new TFormContactGroupsSettingsSelect(
            [this](long long id, const QString& name) { LoadGroup(id, name); },
            this);
    }
    chooser_->FillList();
    chooser_->move(frameGeometry().topLeft() + QPoint(330, 50));
    chooser_->show();
    chooser_->raise();
}

bool TFormContactGroupsSettings::LoadGroup(long long id, const QString& name) {
    ZUVOzedovUzivara& db = Database();
    QStringList chosen, rest;
    try {
        const DbResult members = db.Query(
            "SELECT a.contact_group_id AS contact_group_id,a.contact_person_id AS contact_person_id,b.name AS name "
            "FROM contact_person_group AS a, contact_person AS b WHERE a.contact_person_id=b.id AND "
            "a.contact_group_id=" +
            std::to_string(id));
        std::set<std::string> taken;
        for (const DbRow& r : members) {
            chosen << FromUtf8(r.Get("name"));
            taken.insert(r.Get("name"));
        }
        for (const DbRow& r : db.Query("SELECT name FROM contact_person ORDER BY name"))
            if (!taken.count(r.Get("name"))) rest << FromUtf8(r.Get("name"));
    } catch (const std::exception& e) {
        settingsforms::ReportError(this, "ERR90303", e);
        return false;   // reported; the form stays as it was
    }
    groupId_ = id;
    name_->setText(name);
    selected_->clear();
    selected_->addItems(chosen);
    available_->clear();
    available_->addItems(rest);
    save_->setText(QStringLiteral("Save Update"));
    delete_->setEnabled(true);
    UpdateMoveButtons();
    Status(QStringLiteral("You can update or delete this contract group."));
    return true;
}

bool TFormContactGroupsSettings::TntButtonSaveClick() {
    if (name_->text().isEmpty()) {
        dialogs::Information(this, QStringLiteral("Group Name is compulsory field."));
        name_->setFocus();
        return false;
    }
    if (selected_->count() == 0) {
        dialogs::Information(this, QStringLiteral("Please select contact person."));
        available_->setFocus();
        return false;
    }
    ZUVOzedovUzivara& db = Database();
    const std::string name = Utf8(name_->text());
    long long newId = 0;
    try {
        std::string count = "Select count(*) as numOfRecord from contact_group where name=" + db.Quote(name);
        if (groupId_ != 0) count += " and id<>" + std::to_string(groupId_);
        const DbResult r = db.Query(count);
        if (!r.empty() && r[0].GetInt("numOfRecord") > 0) {
            name_->setFocus();
            dialogs::Information(this, QStringLiteral("Group Name must be unique."));
            return false;
        }
        if (groupId_ == 0)
            db.Execute("INSERT INTO contact_group (name) VALUES (" + db.Quote(name) + ")");
        else
            db.Execute("UPDATE contact_group SET name=" + db.Quote(name) + " WHERE id=" + std::to_string(groupId_));
        db.Execute("DELETE FROM contact_person_group WHERE contact_group_id=" + std::to_string(groupId_));
        const DbResult idRow = db.Query("Select id from contact_group where name=" + db.Quote(name));
        if (idRow.empty()) throw DatabaseError("The contact group was not found after saving.");
        newId = idRow[0].GetInt("id");
        for (int i = 0; i < selected_->count(); ++i) {
            const DbResult person =
                db.Query("Select id from contact_person where name=" + db.Quote(Utf8(selected_->item(i)->text())));
            if (person.empty()) continue;   // deleted meanwhile
            db.Execute("INSERT INTO contact_person_group (contact_person_id,contact_group_id) VALUES (" +
                       std::to_string(person[0].GetInt("id")) + "," + std::to_string(newId) + ")");
        }
    } catch (const std::exception& e) {
        settingsforms::ReportError(this, "ERR90300", e);
        return false;
    }
    if (groupId_ != 0) {
        groupId_ = newId;
        Status(QStringLiteral("The contact group has been updated."));
    } else {
        NewMode();
        Status(QStringLiteral("New contact group has been saved."));
    }
    if (host_ != nullptr) host_->ContactsChanged();
    return true;
}

bool TFormContactGroupsSettings::TntButtonDeleteClick() {
    if (groupId_ == 0) return false;
    ZUVOzedovUzivara& db = Database();
    try {
        db.Execute("DELETE FROM contact_person_group WHERE contact_group_id=" + std::to_string(groupId_));
        db.Execute("DELETE FROM contact_group WHERE id=" + std::to_string(groupId_));
    } catch (const std::exception& e) {
        settingsforms::ReportError(this, "ERR90301", e);
        return false;
    }
    NewMode();
    Status(QStringLiteral("The contact group has been deleted."));
    if (host_ != nullptr) host_->ContactsChanged();
    return true;
}

void TFormContactGroupsSettings::TntButtonClearClick() {
    NewMode();
    Status(QStringLiteral("The fields have been cleared."));
}

void TFormContactGroupsSettings::TntButtonCancelClick() {
    if (host_ != nullptr) host_->ShowStatus(QStringLiteral("Updating option settings cancel."));
    close();
}

} // namespace velmora
