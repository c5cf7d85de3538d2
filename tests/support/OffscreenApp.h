#pragma once
// The one QApplication of a console test program, on the offscreen platform so the tests run
// without a display.
#include <QApplication>

namespace velmora::test {

inline QApplication& OffscreenApp() {
    static int argc = 1;
    static char name[] = "velmora_console_test";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QApplication(argc, argv);
    }();
    return *app;
}

} // namespace velmora::test
