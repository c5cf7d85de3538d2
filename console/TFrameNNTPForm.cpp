#include "console/TFrameNNTPForm.h"

namespace velmora {

TFrameNNTPForm::TFrameNNTPForm(QWidget* parent) : TFrameServiceForm(QStringLiteral("NNTP"), parent) {
    AddText("ip", "Host", {}, "NNTP Host");
    AddNumber("port", "Port", "119", "NNTP Port");
    AddNumber("timeout", "Connection Timeout", "5000", "NNTP Connection Timeout");
    AddNumber("read_timeout", "Read Timeout", "5000", "NNTP Read Timeout");
    AddText("username", "User ID");
    AddText("password", "Password", {}, {}, 0, true);
    check_ = AddOption("FrameNNTP_CheckGroup", "Check numbers of messages in the below group");
    QLineEdit* group = AddText("nntp_group", "Group");
    RequireWhen("nntp_group", "NNTP Group", [this] { return check_->isChecked(); });
    EnableWith(check_, {group});
    SetFixed("tls_type", "0");
    Reset();
}

void TFrameNNTPForm::Load(const ServiceRow& row) {
    check_->setChecked(!QString::fromStdString(row.Get("nntp_group")).trimmed().isEmpty());
    TFrameServiceForm::Load(row);
}

void TFrameNNTPForm::Store(ServiceRow& row) const {
    TFrameServiceForm::Store(row);
    // Without the box no group is asked about.
    if (!check_->isChecked()) {
        row.Set("nntp_group", "");
    }
}

} // namespace velmora
