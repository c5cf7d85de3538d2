#include "TFormContactSettings.h"

#include "ConsoleHost.h"
#include "Dialogs.h"
#include "SettingsFormsSupport.h"

#include "store/ZUVOzedovUzivara.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QStatusBar>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace velmora {

using settingsforms::FromUtf8;
using settingsforms::Utf8;

namespace {
QLineEdit* Field(QWidget* parent, const char* name, int maxLength) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    e->setMaxLength(maxLength);
    return e;
}
} // namespace

TFormContactSettings::TFormContactSettings(ConsoleHost* host, QWidget* parent, Opener opener)
    : QDialog(parent), host_(host), opener_(opener) {
    setObjectName(QStringLiteral("FormContactSettings"));
    setWindowTitle(QStringLiteral("Contacts Options"));

    name_ = Field(this, "TntEditName", 100);
    details_ = Field(this, "TntEditDetails", 150);
    email_ = Field(this, "TntEditEmail", 100);
    sms_ = Field(this, "TntEditSMS", 100);
    pager_ = Field(this, "TntEditPagerID", 100);

    auto* box = new QGroupBox(QStringLiteral("Contact Person"), this);
    auto* form = new QFormLayout(box);
    form->addRow(QStringLiteral("Person Name *"), name_);
    form->addRow(QStringLiteral("Details"), details_);
    form->addRow(QStringLiteral("Email Address"), email_);
    form->addRow(QStringLiteral("SMS Number"), sms_);
    form->addRow(QStringLiteral("Pager ID"), pager_);

    list_ = new QTreeWidget(this);
    list_->setObjectName(QStringLiteral("TntListViewContacts"));
    list_->setHeaderLabels({QStringLiteral("ID"), QStringLiteral("Person Name"), QStringLiteral("Details"),
                            QStringLiteral("Email"), QStringLiteral("SMS"), QStringLiteral("PagerID")});
    list_->setColumnHidden(0, true);
    list_->setRootIsDecorated(false);
    list_->setAlternatingRowColors(true);
    list_->setMinimumHeight(180);
    list_->header()->setSectionResizeMode(QHeaderView::Interactive);
    list_->setColumnWidth(1, 130);
    list_->setColumnWidth(2, 130);
    list_->setColumnWidth(3, 150);
    connect(list_, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) { EditRow(item); });
    auto* listBox = new QGroupBox(QStringLiteral("Contact lists"), this);
    auto* listLayout = new QVBoxLayout(listBox);
    listLayout->addWidget(list_);

    save_ = settingsforms::NewButton(this, QStringLiteral("Save New"), "TntButtonSave");
    delete_ = settingsforms::NewButton(this, QStringLiteral("Delete"), "TntButtonDelete");
    clear_ = settingsforms::NewButton(this, QStringLiteral("Clear"), "TntButtonClear");
    cancel_ = settingsforms::NewButton(this, QStringLiteral("Cancel"), "TntButtonCancel");
    connect(save_, &QPushButton::clicked, this, [this] { TntButtonSaveClick(); });
    connect(delete_, &QPushButton::clicked, this, [this] { TntButtonDeleteClick(); });
    connect(clear_, &QPushButton::clicked, this, &TFormContactSettings::TntButtonClearClick);
    connect(cancel_, &QPushButton::clicked, this, &TFormContactSettings::TntButtonCancelClick);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (auto* b : {save_, delete_, clear_, cancel_}) buttons->addWidget(b);

    status_ = settingsforms::NewStatusBar(this, "TntStatusBar");

    auto* top = new QVBoxLayout(this);
    top->addWidget(box);
    top->addLayout(buttons);
    top->addWidget(listBox, 1);
    top->addWidget(status_);
    resize(640, 520);
    NewMode();
}

void TFormContactSettings::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (!e->spontaneous()) FormShow();
}

void TFormContactSettings::FormShow() {
    ClearFields();
    NewMode();
    FillList();
}

void TFormContactSettings::Status(const QString& text) { settingsforms::ShowStatus(host_, status_, text); }

void TFormContactSettings::NewMode() {
    editId_ = 0;
    save_->setText(QStringLiteral("Save New"));
    delete_->setEnabled(false);
}

void TFormContactSettings::ClearFields() {
    for (auto* e : {name_, details_, email_, sms_, pager_}) e->clear();
}

void TFormContactSettings::FillList() {
    try {
        const DbResult rows = Database().Query("select * from contact_person");
        list_->clear();
        for (const DbRow& r : rows) {
            auto* item = new QTreeWidgetItem;
            int col = 0;
            for (const char* c : {"id", "name", "details", "email", "sms", "pager_id"})
                item->setText(col++, FromUtf8(r.Get(c)));
            list_->insertTopLevelItem(0, item);   // the newest row on top
        }
    } catch (const std::exception& e) {
        settingsforms::ReportError(this, "ERR90013", e);
    }
}

void TFormContactSettings::EditRow(QTreeWidgetItem* item) {
    if (item == nullptr) return;
    editId_ = item->text(0).toLongLong();
    name_->setText(item->text(1));
    details_->setText(item->text(2));
    email_->setText(item->text(3));
    sms_->setText(item->text(4));
    pager_->setText(item->text(5));
    save_->setText(QStringLiteral("Save Update"));
    delete_->setEnabled(true);
    Status(QStringLiteral("You can update or delete this contract person."));
}

bool TFormContactSettings::TntButtonSaveClick() {
    if (name_->text().isEmpty()) {
        dialogs::Information(this, QStringLiteral("Person Name is compulsory field."));
        name_->setFocus();
        return false;
    }
    if (email_->text().isEmpty() && sms_->text().isEmpty() && pager_->text().isEmpty()) {
        dialogs::Information(this, QStringLiteral("Please provide either Email, SMS or PagerID."));
        email_->setFocus();
        return false;
    }
    ZUVOzedovUzivara& db = Database();
    try {
        std::string count = "Select count(*) as numOfRecord from contact_person where name=" +
                            db.Quote(Utf8(name_->text()));
        if (editId_ != 0) count += " and id<>" + std::to_string(editId_);
        const DbResult r = db.Query(count);
        if (!r.empty() && r[0].GetInt("numOfRecord") > 0) {
            name_->setFocus();
            dialogs::Information(this, QStringLiteral("Person Name must be unique."));
            return false;
        }
        const std::string values[] = {Utf8(name_->text()), Utf8(details_->text()), Utf8(email_->text()),
                                      Utf8(sms_->text()), Utf8(pager_->text())};
        if (editId_ == 0) {
            std::string sql = "insert into contact_person (name,details,email,sms,pager_id) values (";
            for (size_t i = 0; i < 5; ++i) sql += (i ? "," : "") + db.Quote(values[i]);
            db.Execute(sql + ")");
        } else {
            const char* cols[] = {"name", "details", "email", "sms", "pager_id"};
            std::string sql = "update contact_person set ";
            for (size_t i = 0; i < 5; ++i) sql += std::string(i ? "," : "") + cols[i] + "=" + db.Quote(values[i]);
            db.Execute(sql + " where id=" + std::to_string(editId_));
        }
    } catch (const std::exception& e) {
        settingsforms::ReportError(this, "ERR90011", e);
        return false;
    }
    if (editId_ == 0) {
        ClearFields();
        NewMode();
        Status(QStringLiteral("New contact person has been saved."));
    } else {
        Status(QStringLiteral("The contact person has been updated."));
    }
    FillList();
    if (host_ != nullptr) host_->ContactsChanged();
    return true;
}

bool TFormContactSettings::TntButtonDeleteClick() {
    if (editId_ == 0) return false;
    ZUVOzedovUzivara& db = Database();
    try {
        db.Execute("delete from contact_person where id=" + std::to_string(editId_));
        db.Execute("delete from contact_person_group where contact_person_id=" + std::to_string(editId_));
    } catch (const std::exception& e) {
        settingsforms::ReportError(this, "ERR90012", e);
        return false;
    }
    FillList();
    ClearFields();
    NewMode();
    Status(QStringLiteral("The contact person has been deleted."));
    if (host_ != nullptr) host_->ContactsChanged();
    return true;
}

void TFormContactSettings::TntButtonClearClick() {
    ClearFields();
    NewMode();
    Status(QStringLiteral("The fields have been cleared."));
}

void TFormContactSettings::TntButtonCancelClick() {
    if (host_ != nullptr) host_->ShowStatus(QStringLiteral("Updating option settings cancel."));
    close();
}

} // namespace velmora
