#include "StartUp.h"

#include "foundation/InitSettings.h"
#include "foundation/Messages.h"
#include "foundation/SystemLog.h"

namespace velmora {

int ServiceStartUpChecks() {
    InitSettings().AppDir = ReadAppPath();
    if (!CheckLogDir()) {
        return 1;
    }
    if (!CheckConfDir()) {
        WriteSystemLog(std::string(msg::ERR00204), LogError);
        return 1;
    }
    if (!CheckDriverLibrary()) {
        WriteSystemLog(std::string(msg::ERR00103), LogError);
        return 1;
    }
    return 0;
}

} // namespace velmora
