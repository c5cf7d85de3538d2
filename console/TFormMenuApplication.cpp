#include "TFormMenuApplication.h"

#include "Dialogs.h"

#include "foundation/Messages.h"
#include "foundation/SystemLog.h"

#include <exception>

namespace velmora {

void ApplicationEventsException(const std::string& errorText) {
    const std::string text = msg::LastResort(errorText);
    WriteSystemLog(text, LogError);
    dialogs::Error(QApplication::activeWindow(), QString::fromStdString(text));
}

bool TFormMenuApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        ApplicationEventsException(e.what());
    } catch (...) {
        ApplicationEventsException("Unknown error.");
    }
    return false;
}

} // namespace velmora
