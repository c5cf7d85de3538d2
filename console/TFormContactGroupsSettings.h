#pragma once
// "Contact Groups Options": named sets of contacts (contact_group, contact_person_group).
// "....." opens the chooser of existing groups beside the form.
#include <QDialog>

class QLineEdit;
class QListWidget;
class QPushButton;
class QStatusBar;

namespace velmora {

class ConsoleHost;
class TFormContactGroupsSettingsSelect;

class TFormContactGroupsSettings : public QDialog {
    Q_OBJECT

public:
    explicit TFormContactGroupsSettings(ConsoleHost* host, QWidget* parent = nullptr);

    long long EditedId() const { return groupId_; }
    TFormContactGroupsSettingsSelect* Chooser() const { return chooser_; }

    void FormShow();
    // "....."
    void OpenChooser();
    // Loads a group into the form ("update" mode); false when it failed.
    bool LoadGroup(long long id, const QString& name);
    bool TntButtonSaveClick();
    bool TntButtonDeleteClick();
    void TntButtonClearClick();
    void TntButtonCancelClick();
    void MoveSelected(bool toSelected);
    void MoveAll(bool toSelected);

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void NewMode();
    void UpdateMoveButtons();
    void Status(const QString& text);

    ConsoleHost* host_;
    long long groupId_ = 0;
    QLineEdit* name_ = nullptr;
    QPushButton* choose_ = nullptr;
    QListWidget* available_ = nullptr;
    QListWidget* selected_ = nullptr;
    QPushButton* add_ = nullptr;
    QPushButton* addAll_ = nullptr;
    QPushButton* remove_ = nullptr;
    QPushButton* removeAll_ = nullptr;
    QPushButton* save_ = nullptr;
    QPushButton* delete_ = nullptr;
    QPushButton* clear_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QStatusBar* status_ = nullptr;
    TFormContactGroupsSettingsSelect* chooser_ = nullptr;
};

} // namespace velmora
