#pragma once
// "Login Database": shown by the main window's engine start when neither database
// connection succeeded at start. "Connect" stores the fields in the settings and tries
// again; on success the engine start is armed again (no restart). "Cancel" ends the console.
#include <QDialog>
#include <functional>

class QGroupBox;
class QLineEdit;
class QPushButton;
class QStatusBar;

namespace velmora {

class TFormMenu;
class ZUVOzedovUzivara;

class TFormLoginDB : public QDialog {
    Q_OBJECT

public:
    TFormLoginDB(ZUVOzedovUzivara& db, TFormMenu* menu, QWidget* parent = nullptr);

    void TntButtonConnectClick();
    void TntButtonCancelClick();
    QString StatusText() const;

    // What "Cancel" does; by default the console ends.
    std::function<void()> onCancel;
    // The wait before a new database is created (1000 ms; tests shorten it).
    int createWaitMs = 1000;

    QGroupBox* GroupBoxDatabase = nullptr;
    QLineEdit* EditHost = nullptr;
    QLineEdit* EditPort = nullptr;
    QLineEdit* EditUsername = nullptr;
    QLineEdit* EditPassword = nullptr;
    QPushButton* TntButtonConnect = nullptr;
    QPushButton* TntButtonCancel = nullptr;
    QStatusBar* StatusBar = nullptr;

protected:
    void hideEvent(QHideEvent* event) override;
    void reject() override;

private:
    void Connected();
    ZUVOzedovUzivara& db_;
    TFormMenu* menu_;
};

} // namespace velmora
