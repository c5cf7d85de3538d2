// "Import Service(s)" > "from csv file": asks for the file, stores every line as a service
// and refreshes the main window's tree and list. The store reports a file it cannot read
// (ERR00507) and every record the database refuses.
#include "FormOpeners.h"

#include "ConsoleHost.h"
#include "Dialogs.h"

#include "foundation/InitSettings.h"
#include "store/Import.h"

namespace velmora {

void ImportServicesCsv(ConsoleHost* host, QWidget* parent) {
    const QString name = dialogs::OpenFileName(parent, "Please select the csv file.",
                                               "CSV (*.csv *.CSV)",
                                               QString::fromStdString(InitSettings().LogDir));
    if (name.isEmpty()) {
        return;
    }
    const ImportOutcome out = ImportCsvFile(name.toStdString());
    if (out.failed) {
        return;  // the error dialog and log line are out; what was stored before stays
    }
    if (host) {
        host->ServicesChanged();
    }
    dialogs::Information(parent, "Import services from CSV file is done.");
}

} // namespace velmora
