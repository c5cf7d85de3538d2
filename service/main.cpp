// VelmoraProService: the monitoring daemon. Runs in the foreground, from a terminal or
// under systemd, and stops on SIGTERM or SIGINT as the service manager's stop.
#include "StartUp.h"

#include "engine/MonitorEngine.h"
#include "foundation/InitSettings.h"
#include "foundation/Messages.h"
#include "foundation/Program.h"
#include "foundation/SystemLog.h"
#include "store/ZUVOzedovUzivara.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <exception>
#include <memory>
#include <string>
#include <sys/signalfd.h>
#include <systemd/sd-daemon.h>
#include <unistd.h>

using namespace velmora;

int main(int argc, char** argv) {
    ProgramHooks& hooks = Program();
    hooks.variant = ProgramVariant::Service;
    hooks.echoLogToStderr = true;

    if (const int rc = ServiceStartUpChecks(); rc != 0) {
        return rc;
    }

    // Block the stop signals before any thread exists, so every thread inherits the mask and
    // the main thread alone takes them, through a signalfd watched by its event loop.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("Velmora Pro Service");

    // Creation: settings, the database (created when missing), then the engine start 3 s on.
    LoadSettings(ProgramVariant::Service);
    ZUVOzedovUzivara& db = Database();
    if (!db.OpenAtStart()) {
        WriteSystemLog("Please provide valid MySQL Username and Password.", LogInfo);
        return 1;
    }
    WriteSystemLog(std::string(msg::ApplicationStarts), LogInfo);
    auto engine = std::make_unique<MonitorEngine>(db, EngineHooks{});
    engine->TimerInit.start();

    WriteSystemLog(std::string(msg::WinServiceStarts), LogInfo);
    // Start-up is done: tell the service manager (the unit is Type=notify). Without systemd
    // there is no NOTIFY_SOCKET and this does nothing.
    sd_notify(0, "READY=1");

    const int sfd = signalfd(-1, &stopSignals, SFD_CLOEXEC);
    QSocketNotifier stopNotifier(sfd, QSocketNotifier::Read);
    QObject::connect(&stopNotifier, &QSocketNotifier::activated, &app, [sfd] {
        signalfd_siginfo info;
        if (read(sfd, &info, sizeof info) > 0) {
            QCoreApplication::quit();
        }
    });

    // An error nobody caught is logged and the program carries on.
    for (;;) {
        try {
            app.exec();
            break;
        } catch (const std::exception& e) {
            WriteSystemLog(msg::LastResort(e.what()), LogError);
        } catch (...) {
            WriteSystemLog(msg::LastResort("Unknown error."), LogError);
        }
    }

    sd_notify(0, "STOPPING=1");
    WriteSystemLog(std::string(msg::WinServiceStops), LogInfo);
    // Destruction: the tick off, waiting checks canceled, the running ones finished and their
    // results stored, then the settings saved.
    engine->Shutdown(std::chrono::seconds(600));
    if (CheckConfDir()) {
        SaveSettings(ProgramVariant::Service);
    }
    engine.reset();
    close(sfd);
    if (CheckLogDir()) {
        WriteSystemLog(std::string(msg::ApplicationStops), LogInfo);
    }
    return 0;
}
