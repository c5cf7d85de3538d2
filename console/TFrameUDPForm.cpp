#include "console/TFrameUDPForm.h"

namespace velmora {

TFrameUDPForm::TFrameUDPForm(QWidget* parent) : TFrameServiceForm(QStringLiteral("UDP"), parent) {
    AddText("ip", "Host", {}, "UDP Host");
    AddNumber("port", "Port", {}, "UDP Port");
    AddNumber("buffer_size", "Buffer Size", "8192", "UDP Buffer Size");
    AddNumber("timeout", "Receive Timeout", "5000", "UDP Receive Timeout");
    AddText("command", "Send CMD", {}, {}, 100);
    Reset();
}

} // namespace velmora
