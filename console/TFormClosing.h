#pragma once
// Shown while the console waits at exit for the work items that still execute: a small
// animation whose picture changes every 500 ms.
#include <QTimer>
#include <QWidget>

class QLabel;

namespace velmora {

class TFormClosing : public QWidget {
    Q_OBJECT

public:
    explicit TFormClosing(QWidget* parent = nullptr);
    int Frame() const { return frame_; }
    QLabel* Animate = nullptr;
    QTimer TimerAnimate;

private:
    void NextFrame();
    int frame_ = 0;
};

} // namespace velmora
