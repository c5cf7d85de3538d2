#pragma once
// The picture shown while the console starts, until its main window is up.
#include <QWidget>

namespace velmora {

class TSplash98Form : public QWidget {
    Q_OBJECT

public:
    explicit TSplash98Form(QWidget* parent = nullptr);
};

} // namespace velmora
