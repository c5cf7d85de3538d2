// Opens the scheduling form over the main window. The form is made at the first opening and
// kept until the main window goes, so the cells keep their states between openings.
#include "FormOpeners.h"

#include "ConsoleHost.h"
#include "TFormScheduling.h"

#include <QPointer>

namespace velmora {

void OpenScheduling(ConsoleHost* host, QWidget* parent) {
    static QPointer<TFormScheduling> form;
    if (form.isNull() || form->parentWidget() != parent) {
        delete form.data();
        form = new TFormScheduling(host, parent);
    }
    if (host != nullptr) host->NestedFormOpened();
    form->exec();
    if (host != nullptr) host->NestedFormClosed();
}

} // namespace velmora
