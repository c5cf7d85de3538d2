// "Import Service(s)" > "from Velmora Lite": the lighter edition keeps no installation
// record here, so the user is asked for its service.xml at once; every service element
// becomes a service and the main window's tree and list are refreshed.
#include "FormOpeners.h"

#include "ConsoleHost.h"
#include "Dialogs.h"

#include "foundation/InitSettings.h"
#include "store/Import.h"

#include <QFileInfo>

namespace velmora {

namespace {

QString AskForServiceXml(QWidget* parent) {
    const QString start = QString::fromStdString(InitSettings().LogDir) + "service.xml";
    return dialogs::OpenFileName(parent,
                                 "Cannot find Velmora Lite application path, please provide the path.",
                                 "(*.xml)", start);
}

bool IsFile(const QString& path) { return !path.isEmpty() && QFileInfo(path).isFile(); }

} // namespace

void ImportServicesXml(ConsoleHost* host, QWidget* parent) {
    QString path = AskForServiceXml(parent);
    if (!IsFile(path)) {
        if (dialogs::Question(parent, "Cannot find service.xml file, provide the path again?") !=
            QMessageBox::Yes) {
            return;
        }
        path = AskForServiceXml(parent);
        if (!IsFile(path)) {
            dialogs::Error(parent, "Cannot find service.xml file.");
            return;
        }
    }
    // A document that does not parse is reported by the store (ERR00601) before anything
    // is stored from it.
    const ImportOutcome out = ImportServiceXmlFile(path.toStdString());
    if (out.failed) {
        return;
    }
    if (host) {
        host->ServicesChanged();
    }
    dialogs::Information(parent, "Import services from service.xml file is done.");
}

} // namespace velmora
