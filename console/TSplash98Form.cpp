#include "TSplash98Form.h"

#include "TFormMenu.h"
#include "TFormMenuPictures.h"

#include <QLabel>
#include <QVBoxLayout>

namespace velmora {

TSplash98Form::TSplash98Form(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName("TSplash98Form");
    auto* layout = new QVBoxLayout(this);
    auto* picture = new QLabel(this);
    picture->setPixmap(pictures::Product(420, 120));
    layout->addWidget(picture);
    auto* text = new QLabel(QStringLiteral("Version %1 - starting...").arg(kConsoleVersion), this);
    text->setAlignment(Qt::AlignRight);
    layout->addWidget(text);
    adjustSize();
}

} // namespace velmora
