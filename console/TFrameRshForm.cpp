#include "console/TFrameRshForm.h"

namespace velmora {

TFrameRshForm::TFrameRshForm(QWidget* parent) : TFrameServiceForm(QStringLiteral("Rsh"), parent) {
    AddText("ip", "Host", {}, "Rsh Host");
    AddNumber("port", "Port", "514", "Rsh Port");
    AddNumber("timeout", "Connection Timeout", "5000", "Rsh Connection Timeout");
    AddNumber("read_timeout", "Read Timeout", "5000", "Rsh Read Timeout");
    AddText("rsh_host_username", "Host Username");
    AddText("rsh_client_username", "Client Username");
    AddText("command", "Command", {}, {}, 100);
    Reset();
}

} // namespace velmora
