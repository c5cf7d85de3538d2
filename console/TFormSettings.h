#pragma once
// "Options": the settings of SysInit.ini not edited elsewhere, on four tabs. "Apply" checks
// the fields, writes InitSettings, registers or removes the systemd service and saves the
// file; the values take effect at the programs' next start.
#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QStatusBar;
class QTabWidget;

namespace velmora {

class ConsoleHost;

class TFormSettings : public QDialog {
    Q_OBJECT

public:
    explicit TFormSettings(ConsoleHost* host, QWidget* parent = nullptr);

    bool Applied() const { return applied_; }

    void FormShow();
    // Returns true when the settings were stored.
    bool TntButtonOKClick();
    void TntButtonDefaultClick();
    void TntButtonCancelClick();
    void TntButtonPathClick();

protected:
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void EnableBackupFields();
    // Information dialog, the tab in front, the cursor in the field.
    void Refuse(const QString& text, QWidget* field);
    void Status(const QString& text);

    ConsoleHost* host_;
    bool applied_ = false;
    QTabWidget* tabs_ = nullptr;
    QComboBox* initStart_ = nullptr;
    QCheckBox* runAsService_ = nullptr;
    QCheckBox* runAsWinService_ = nullptr;
    QLineEdit* logFilename_ = nullptr;
    QComboBox* logHouseKeep_ = nullptr;
    QComboBox* numberOfLogs_ = nullptr;
    QLineEdit* maxConcurrent_ = nullptr;
    QLineEdit* noQueuing_ = nullptr;
    QLineEdit* queuingTime_ = nullptr;
    QLineEdit* host_Edit_ = nullptr;
    QLineEdit* port_ = nullptr;
    QLineEdit* username_ = nullptr;
    QLineEdit* password_ = nullptr;
    QCheckBox* fileEnable_ = nullptr;
    QLineEdit* filePath_ = nullptr;
    QPushButton* filePathButton_ = nullptr;
    QLineEdit* fileName_ = nullptr;
    QComboBox* fileHouseKeep_ = nullptr;
    QCheckBox* dbEnable_ = nullptr;
    QComboBox* dbType_ = nullptr;
    QComboBox* dbHouseKeep_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QPushButton* default_ = nullptr;
    QStatusBar* status_ = nullptr;
};

} // namespace velmora
