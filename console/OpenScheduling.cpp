// Placeholder until the form exists: tells the user so instead of doing nothing.
#include "FormOpeners.h"

#include "Dialogs.h"

namespace velmora {

void OpenScheduling(ConsoleHost* host, QWidget* parent) {
    (void)host;
    dialogs::Information(parent, QStringLiteral("This form is not available in this build."));
}

} // namespace velmora
