// Placeholder until the form exists: tells the user so instead of doing nothing.
#include "FormOpeners.h"

#include "Dialogs.h"

namespace velmora {

void OpenUpdateServices(ConsoleHost* host, QWidget* parent, long long serviceId) {
    (void)host;
    dialogs::Information(parent, QStringLiteral("This form is not available in this build."));
    (void)serviceId;
}

} // namespace velmora
