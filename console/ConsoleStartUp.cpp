#include "ConsoleStartUp.h"

#include "foundation/InitSettings.h"
#include "foundation/Messages.h"
#include "foundation/SingleInstance.h"
#include "foundation/SystemLog.h"

namespace velmora {

int ConsoleStartUpChecks(std::unique_ptr<SingleInstance>& lock) {
    TInitSettings& s = InitSettings();
    s.AppDir = ReadAppPath();
    if (!CheckLogDir()) {
        ShowErrorDialog(std::string(msg::ERR00205));
        return 1;
    }
    if (!CheckConfDir()) {
        ShowErrorDialog(std::string(msg::ERR00204));
        WriteSystemLog(std::string(msg::ERR00204), LogError);
        return 1;
    }
    if (!CheckDriverLibrary()) {
        ShowErrorDialog(std::string(msg::ERR00103));
        WriteSystemLog(std::string(msg::ERR00103), LogError);
        return 1;
    }
    if (!CheckHelpFile()) {
        ShowWarningDialog(std::string(msg::ERR00003));
        WriteSystemLog(std::string(msg::ERR00003), LogWarning);
    }
    auto instance = std::make_unique<SingleInstance>(s.AppDir + "/conf/VelmoraPro.lock");
    if (!instance->Acquired()) {
        ShowWarningDialog(std::string(msg::ERR00001));
        return 1;
    }
    lock = std::move(instance);
    return 0;
}

} // namespace velmora
