// Opens "TFormContactGroupsSettings" modal over the main window, which keeps its controls disabled meanwhile.
#include "FormOpeners.h"

#include "ConsoleHost.h"
#include "TFormContactGroupsSettings.h"

namespace velmora {

void OpenContactGroups(ConsoleHost* host, QWidget* parent) {
    TFormContactGroupsSettings form(host, parent);
    if (host != nullptr) host->NestedFormOpened();
    form.exec();
    if (host != nullptr) {
        host->NestedFormClosed();
    }
}

} // namespace velmora
