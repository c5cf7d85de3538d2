#include "TFormContactGroupsSettingsSelect.h"

#include "SettingsFormsSupport.h"

#include "store/ZUVOzedovUzivara.h"

#include <QListWidget>
#include <QVBoxLayout>

namespace velmora {

TFormContactGroupsSettingsSelect::TFormContactGroupsSettingsSelect(
    std::function<void(long long, const QString&)> take, QWidget* parent)
    : QDialog(parent), take_(std::move(take)) {
    setObjectName(QStringLiteral("FormContactGroupsSettingsSelect"));
    setWindowTitle(QStringLiteral("Contact Group"));
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("TntListBoxGroups"));
    list_->setAlternatingRowColors(true);
    connect(list_, &QListWidget::itemDoubleClicked, this, &TFormContactGroupsSettingsSelect::TakeItem);
    auto* top = new QVBoxLayout(this);
    top->addWidget(list_);
    resize(240, 300);
}

void TFormContactGroupsSettingsSelect::FillList() {
    try {
        const DbResult rows = Database().Query("SELECT * FROM contact_group ORDER BY name DESC");
        list_->clear();
        for (const DbRow& r : rows) {
            auto* item = new QListWidgetItem(settingsforms::FromUtf8(r.Get("name")));
            item->setData(Qt::UserRole, static_cast<qlonglong>(r.GetInt("id")));
            list_->insertItem(0, item);
        }
    } catch (const std::exception& e) {
        settingsforms::ReportError(this, "ERR90400", e);
    }
}

void TFormContactGroupsSettingsSelect::TakeItem(QListWidgetItem* item) {
    if (item == nullptr) return;
    const long long id = item->data(Qt::UserRole).toLongLong();
    const QString name = item->text();
    if (take_) take_(id, name);
    hide();
}

} // namespace velmora
