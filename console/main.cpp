// VelmoraPro: the desktop console.
#include "ConsoleStartUp.h"
#include "Dialogs.h"
#include "TFormMenu.h"
#include "TFormMenuApplication.h"
#include "TSplash98Form.h"

#include "foundation/InitSettings.h"
#include "foundation/Program.h"
#include "foundation/SingleInstance.h"
#include "store/ZUVOzedovUzivara.h"

#include <QMessageBox>
#include <QSocketNotifier>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <sys/socket.h>
#include <unistd.h>

using namespace velmora;

namespace {

int signalPipe[2] = {-1, -1};

void OnStopSignal(int) {
    const char c = 1;
    [[maybe_unused]] const ssize_t n = ::write(signalPipe[1], &c, 1);
}

// Dialogs need a person in front of a screen; without one (offscreen platform, tests,
// VELMORA_NO_DIALOGS set) a message goes to standard error instead.
bool DialogsWanted() {
    if (std::getenv("VELMORA_NO_DIALOGS")) {
        return false;
    }
    const QString platform = QGuiApplication::platformName();
    return platform != "offscreen" && platform != "minimal";
}

void InstallDialogHooks() {
    ProgramHooks& hooks = Program();
    hooks.variant = ProgramVariant::Console;
    if (DialogsWanted()) {
        hooks.showError = [](const std::string& text) {
            QMessageBox::critical(nullptr, "Velmora Pro", QString::fromStdString(text));
        };
        hooks.showWarning = [](const std::string& text) {
            QMessageBox::warning(nullptr, "Velmora Pro", QString::fromStdString(text));
        };
    } else {
        hooks.showError = [](const std::string& text) { std::fprintf(stderr, "%s\n", text.c_str()); };
        hooks.showWarning = hooks.showError;
    }
}

} // namespace

int main(int argc, char** argv) {
    TFormMenuApplication app(argc, argv);
    QApplication::setApplicationName("Velmora Pro");
    QApplication::setApplicationDisplayName("Velmora Pro");
    // The window lives on in the notification area when it is hidden.
    QApplication::setQuitOnLastWindowClosed(false);
    InstallDialogHooks();
    if (!DialogsWanted()) {
        dialogs::SetHeadless(true);
    }

    // SIGTERM and SIGINT close the console as its window's close would. The handlers go in
    // before anything else, so a stop that arrives during start-up is not lost: it waits in
    // the pipe until the event loop runs.
    TFormMenu* window = nullptr;
    bool stopRequested = false;
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) == 0) {
        auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &app);
        QObject::connect(notifier, &QSocketNotifier::activated, &app, [&window, &stopRequested] {
            char buf[16];
            [[maybe_unused]] const ssize_t n = ::read(signalPipe[0], buf, sizeof buf);
            if (window != nullptr) {
                window->close();
            } else {
                stopRequested = true;   // the window closes as soon as it exists
            }
        });
        std::signal(SIGTERM, OnStopSignal);
        std::signal(SIGINT, OnStopSignal);
    }

    std::unique_ptr<SingleInstance> lock;
    if (const int rc = ConsoleStartUpChecks(lock); rc != 0) {
        return rc;
    }

    TSplash98Form splash;
    splash.show();
    QApplication::processEvents();

    TFormMenu menu(Database());
    QObject::connect(&menu, &TFormMenu::Closed, &app, [] { QApplication::quit(); });
    window = &menu;
    if (stopRequested) {
        QTimer::singleShot(0, &menu, [&menu] { menu.close(); });
    }

    menu.show();
    splash.close();
    const int rc = QApplication::exec();
    menu.FormDestroy();
    return rc;
}
