#pragma once
// "Contact Group": the chooser beside the groups form; a double-click takes a group.
#include <QDialog>

#include <functional>

class QListWidget;
class QListWidgetItem;

namespace velmora {

class TFormContactGroupsSettingsSelect : public QDialog {
    Q_OBJECT

public:
    // `take` receives the chosen group's id and name.
    TFormContactGroupsSettingsSelect(std::function<void(long long, const QString&)> take,
                                     QWidget* parent = nullptr);

    // Fills the list from contact_group (ascending by name).
    void FillList();
    void TakeItem(QListWidgetItem* item);
    QListWidget* List() const { return list_; }

private:
    std::function<void(long long, const QString&)> take_;
    QListWidget* list_ = nullptr;
};

} // namespace velmora
