// VelmoraProService: the monitoring daemon. Runs in the foreground, from a terminal or
// under systemd, and stops on SIGTERM or SIGINT as the service manager's stop.
#include "StartUp.h"

#include "foundation/InitSettings.h"
#include "foundation/Messages.h"
#include "foundation/Program.h"
#include "foundation/SystemLog.h"

#include <csignal>
#include <string>

using namespace velmora;

int main() {
    ProgramHooks& hooks = Program();
    hooks.variant = ProgramVariant::Service;
    hooks.echoLogToStderr = true;

    if (const int rc = ServiceStartUpChecks(); rc != 0) {
        return rc;
    }

    // Block the stop signals before any thread exists, so every thread inherits the mask
    // and the main thread alone takes them with sigwait.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    LoadSettings(ProgramVariant::Service);
    WriteSystemLog(std::string(msg::WinServiceStarts), LogInfo);

    int sig = 0;
    sigwait(&stopSignals, &sig);

    WriteSystemLog(std::string(msg::WinServiceStops), LogInfo);
    if (CheckConfDir()) {
        SaveSettings(ProgramVariant::Service);
    }
    if (CheckLogDir()) {
        WriteSystemLog(std::string(msg::ApplicationStops), LogInfo);
    }
    return 0;
}
