#include "console/TFramePOP3Form.h"

namespace velmora {

TFramePOP3Form::TFramePOP3Form(QWidget* parent) : TFrameServiceForm(QStringLiteral("POP3"), parent) {
    AddText("ip", "Host", {}, "POP3 Host");
    AddNumber("port", "Port", "110", "POP3 Port");
    AddNumber("timeout", "Connection Timeout", "5000", "POP3 Connection Timeout");
    AddNumber("read_timeout", "Read Timeout", "5000", "POP3 Read Timeout");
    AddAuthCombo("APOP", {"False", "True"}, "False");
    AddText("username", "User ID");
    AddText("password", "Password", {}, {}, 0, true);
    AddCheck("pop3_check_total_msg", "Check the number of messages");
    SetFixed("tls_type", "0");
    Reset();
}

} // namespace velmora
