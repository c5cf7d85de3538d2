#include "console/TFrameSMTPForm.h"

namespace velmora {

TFrameSMTPForm::TFrameSMTPForm(QWidget* parent) : TFrameServiceForm(QStringLiteral("SMTP"), parent) {
    AddText("ip", "Host", {}, "SMTP Host");
    AddNumber("port", "Port", "25", "SMTP Port");
    AddNumber("timeout", "Connection Timeout", "5000", "SMTP Connection Timeout");
    AddNumber("read_timeout", "Read Timeout", "5000", "SMTP Read Timeout");
    AddAuthCombo("Auth. Type", {"Login", "None"}, "Login");
    AddText("username", "User ID");
    AddText("password", "Password", {}, {}, 0, true);
    AddText("smtp_mail_agent", "Mail Agent");
    SetFixed("tls_type", "0");
    Reset();
}

} // namespace velmora
