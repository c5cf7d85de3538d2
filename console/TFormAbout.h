#pragma once
// "About...": the product picture, the publisher's notice and "OK". Closing it, by any
// means, gives the main window its controls back.
#include <QDialog>

class QPushButton;
class QTextEdit;

namespace velmora {

class TFormMenu;

class TFormAbout : public QDialog {
    Q_OBJECT

public:
    explicit TFormAbout(TFormMenu* menu, QWidget* parent = nullptr);

    QPushButton* TntButtonOK = nullptr;
    QTextEdit* MemoNotice = nullptr;

protected:
    void done(int r) override;

private:
    TFormMenu* menu_;
};

} // namespace velmora
