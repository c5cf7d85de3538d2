// "Update Service": the update form is created on first use and reused; with a service id
// it opens with that service loaded.
#include "FormOpeners.h"

#include "ConsoleHost.h"
#include "TFormUpdateScheduling.h"

#include <QPointer>

namespace velmora {

void OpenUpdateServices(ConsoleHost* host, QWidget* parent, long long serviceId) {
    static QPointer<TFormUpdateScheduling> form;
    if (!form || form->parentWidget() != parent) {
        delete form.data();
        form = new TFormUpdateScheduling(host, parent);
    }
    form->OpenFor(serviceId);
    if (host) {
        host->NestedFormOpened();
    }
    form->exec();
    if (host) {
        host->NestedFormClosed();
    }
}

} // namespace velmora
