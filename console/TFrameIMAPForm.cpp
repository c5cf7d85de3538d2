#include "console/TFrameIMAPForm.h"

namespace velmora {

TFrameIMAPForm::TFrameIMAPForm(QWidget* parent) : TFrameServiceForm(QStringLiteral("IMAP"), parent) {
    AddText("ip", "Host", {}, "IMAP Host");
    AddNumber("port", "Port", "143", "IMAP Port");
    AddNumber("timeout", "Connection Timeout", "5000", "IMAP Connection Timeout");
    AddNumber("read_timeout", "Read Timeout", "5000", "IMAP Read Timeout");
    AddText("username", "User ID");
    AddText("password", "Password", {}, {}, 0, true);
    AddText("imap_mailbox", "Mailbox");
    SetFixed("auth_type", "1");
    SetFixed("tls_type", "0");
    Reset();
}

} // namespace velmora
