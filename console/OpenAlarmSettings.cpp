// Opens "TFormAlarmingSettingsPro" modal over the main window, which keeps its controls disabled meanwhile.
#include "FormOpeners.h"

#include "ConsoleHost.h"
#include "TFormAlarmingSettingsPro.h"

namespace velmora {

void OpenAlarmSettings(ConsoleHost* host, QWidget* parent) {
    TFormAlarmingSettingsPro form(host, parent);
    if (host != nullptr) host->NestedFormOpened();
    form.exec();
    if (host != nullptr) {
        host->NestedFormClosed();
    }
}

} // namespace velmora
