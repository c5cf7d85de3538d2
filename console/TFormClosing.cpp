#include "TFormClosing.h"

#include "TFormMenuPictures.h"

#include <QHBoxLayout>
#include <QLabel>

namespace velmora {

namespace {
constexpr int kFrames = 8;
}

TFormClosing::TFormClosing(QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint) {
    setObjectName("TFormClosing");
    setWindowTitle("Application is closing, it may take a few seconds...");
    setWindowModality(Qt::ApplicationModal);
    auto* layout = new QHBoxLayout(this);
    Animate = new QLabel(this);
    Animate->setObjectName("Animate");
    Animate->setFixedSize(48, 48);
    layout->addWidget(Animate);
    auto* text = new QLabel("Application is closing, it may take a few seconds...", this);
    text->setObjectName("LabelClosing");
    layout->addWidget(text);
    TimerAnimate.setInterval(500);
    connect(&TimerAnimate, &QTimer::timeout, this, [this] { NextFrame(); });
    Animate->setPixmap(pictures::BusyFrame(0, kFrames, 48));
    TimerAnimate.start();
    setMinimumWidth(440);
    adjustSize();
}

void TFormClosing::NextFrame() {
    frame_ = (frame_ + 1) % kFrames;
    Animate->setPixmap(pictures::BusyFrame(frame_, kFrames, 48));
}

} // namespace velmora
