// The main window's Chart action: the history window is created on first use, shown, and
// then loaded; later openings show the same window with its tabs and pages as they were.
#include "FormOpeners.h"

#include "TFormChartings.h"

#include <QPointer>

namespace velmora {

void OpenHistoryCharts(ConsoleHost* host, QWidget* parent) {
    static QPointer<TFormChartings> form;
    if (!form || form->parentWidget() != parent) {
        delete form.data();
        form = new TFormChartings(host, parent);
    }
    form->SetHost(host);
    form->setWindowModality(Qt::ApplicationModal);
    form->show();
    form->LoadCurrentTab();
    form->SetNext();
    // Closing the window, by any means, gives the main window its controls back (done()).
    form->exec();
}

} // namespace velmora
