// Opens "Options" modal over the main window; true when the settings were applied.
#include "FormOpeners.h"

#include "ConsoleHost.h"
#include "TFormSettings.h"

namespace velmora {

bool OpenGeneralSettings(ConsoleHost* host, QWidget* parent) {
    TFormSettings form(host, parent);
    if (host != nullptr) host->NestedFormOpened();
    form.exec();
    if (host != nullptr) host->NestedFormClosed();
    return form.Applied();
}

} // namespace velmora
