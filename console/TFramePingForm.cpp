#include "console/TFramePingForm.h"

namespace velmora {

TFramePingForm::TFramePingForm(QWidget* parent) : TFrameServiceForm(QStringLiteral("Ping"), parent) {
    AddText("ip", "Host", {}, "Ping IP");
    AddNumber("port", "Port", {});
    AddNumber("timeout", "Receive Timeout", "5000", "Ping Receive Timeout");
    Reset();
}

} // namespace velmora
