// Opens "TFormContactSettings" modal over the main window, which keeps its controls disabled meanwhile.
#include "FormOpeners.h"

#include "ConsoleHost.h"
#include "TFormContactSettings.h"

namespace velmora {

void OpenContacts(ConsoleHost* host, QWidget* parent) {
    TFormContactSettings form(host, parent);
    if (host != nullptr) host->NestedFormOpened();
    form.exec();
    if (host != nullptr) {
        host->NestedFormClosed();
    }
}

} // namespace velmora
