#include "console/TFrameDNSForm.h"

namespace velmora {

TFrameDNSForm::TFrameDNSForm(QWidget* parent) : TFrameServiceForm(QStringLiteral("DNS"), parent) {
    AddText("ip", "Host", {}, "DNS Host");
    AddNumber("port", "Port", "53", "DNS Port");
    AddNumber("timeout", "Waiting Time", "5000", "DNS Waiting Time");
    AddComboIndex("dns_query_type", "Query Type", {"qtA", "qtPTR"});
    AddText("dns_request_ip_domain", "Request IP/Domain");
    check_ = AddOption("FrameDNS_CheckReturnResult", "Check Return Result");
    QLineEdit* expect = AddText("dns_expect_ip_domain", "Expect IP/Domain");
    RequireWhen("dns_expect_ip_domain", "DNS Expect IP/Domain", [this] { return check_->isChecked(); });
    EnableWith(check_, {expect});
    Reset();
}

void TFrameDNSForm::Load(const ServiceRow& row) {
    check_->setChecked(!QString::fromStdString(row.Get("dns_expect_ip_domain")).trimmed().isEmpty());
    TFrameServiceForm::Load(row);
}

void TFrameDNSForm::Store(ServiceRow& row) const {
    TFrameServiceForm::Store(row);
    // Without the box the answer is not compared, so no expected answer is kept.
    if (!check_->isChecked()) {
        row.Set("dns_expect_ip_domain", "");
    }
}

} // namespace velmora
