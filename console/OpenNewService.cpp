// "New Service": the wizard is created on first use and reused; it stays modal over the
// main window while it is open.
#include "FormOpeners.h"

#include "ConsoleHost.h"
#include "TFormSetupScheduling.h"

#include <QPointer>

namespace velmora {

void OpenNewServiceWizard(ConsoleHost* host, QWidget* parent) {
    static QPointer<TFormSetupScheduling> form;
    if (!form || form->parentWidget() != parent) {
        delete form.data();
        form = new TFormSetupScheduling(host, parent);
    }
    if (host) {
        host->NestedFormOpened();
    }
    form->exec();
    if (host) {
        host->NestedFormClosed();
    }
}

} // namespace velmora
