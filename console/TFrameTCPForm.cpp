#include "console/TFrameTCPForm.h"

namespace velmora {

TFrameTCPForm::TFrameTCPForm(QWidget* parent) : TFrameServiceForm(QStringLiteral("TCP"), parent) {
    AddText("ip", "Host", {}, "TCP Host");
    AddNumber("port", "Port", {}, "TCP Port");
    AddNumber("timeout", "Connection Timeout", "5000", "TCP Connection Timeout");
    AddNumber("read_timeout", "Read Timeout", "5000", "TCP Read Timeout");
    AddText("command", "Send CMD", {}, {}, 100);
    Reset();
}

} // namespace velmora
