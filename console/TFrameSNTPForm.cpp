#include "console/TFrameSNTPForm.h"

namespace velmora {

TFrameSNTPForm::TFrameSNTPForm(QWidget* parent) : TFrameServiceForm(QStringLiteral("SNTP"), parent) {
    AddText("ip", "Host", {}, "SNTP Host");
    AddNumber("port", "Port", "123", "SNTP Port");
    AddNumber("buffer_size", "Buffer Size", "8192", "SNTP Buffer Size");
    AddNumber("timeout", "Receive Timeout", "5000", "SNTP Receive Timeout");
    check_ = AddCheck("sntp_compare_time", "Compare Below Time Different");
    QLineEdit* diff = AddNumber("sntp_time_different", "Time Different (ms)", {});
    RequireWhen("sntp_time_different", "SNTP Time Different", [this] { return check_->isChecked(); });
    EnableWith(check_, {diff});
    Reset();
}

} // namespace velmora
