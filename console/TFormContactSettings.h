#pragma once
// "Contacts Options": the people alarms go to (contact_person). A double-click on a row of
// "Contact lists" loads it for updating or deleting.
#include <QDialog>

class QLineEdit;
class QPushButton;
class QStatusBar;
class QTreeWidget;
class QTreeWidgetItem;

namespace velmora {

class ConsoleHost;

class TFormContactSettings : public QDialog {
    Q_OBJECT

public:
    // Who opened the form: on closing, the wizard and the update form refresh their lists.
    enum class Opener { MainWindow, Wizard, UpdateForm };

    explicit TFormContactSettings(ConsoleHost* host, QWidget* parent = nullptr,
                                  Opener opener = Opener::MainWindow);

    Opener OpenedBy() const { return opener_; }
    long long EditedId() const { return editId_; }

    void FormShow();
    // Loads the row into the fields ("update" mode).
    void EditRow(QTreeWidgetItem* item);
    // Returns true when the contact was stored.
    bool TntButtonSaveClick();
    bool TntButtonDeleteClick();
    void TntButtonClearClick();
    void TntButtonCancelClick();
    // Fills "Contact lists" from contact_person.
    void FillList();

protected:
    void showEvent(QShowEvent* e) override;

private:
    void NewMode();
    void ClearFields();
    void Status(const QString& text);

    ConsoleHost* host_;
    Opener opener_;
    long long editId_ = 0;
    QLineEdit* name_ = nullptr;
    QLineEdit* details_ = nullptr;
    QLineEdit* email_ = nullptr;
    QLineEdit* sms_ = nullptr;
    QLineEdit* pager_ = nullptr;
    QTreeWidget* list_ = nullptr;
    QPushButton* save_ = nullptr;
    QPushButton* delete_ = nullptr;
    QPushButton* clear_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QStatusBar* status_ = nullptr;
};

} // namespace velmora
