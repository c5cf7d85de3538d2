#include "console/TFrameTelnetForm.h"

namespace velmora {

TFrameTelnetForm::TFrameTelnetForm(QWidget* parent) : TFrameServiceForm(QStringLiteral("Telnet"), parent) {
    AddText("ip", "Host", {}, "Telnet Host");
    AddNumber("port", "Port", "23", "Telnet Port");
    AddNumber("timeout", "Connection Timeout", "5000", "Telnet Connection Timeout");
    AddNumber("read_timeout", "Read Timeout", "5000", "Telnet Read Timeout");
    AddText("username", "User ID");
    AddText("password", "Password", {}, {}, 0, true);
    Reset();
}

} // namespace velmora
