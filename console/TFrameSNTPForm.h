#pragma once
// The parameter frame of the "SNTP" check type (shared by the wizard and the update form).
#include "console/TFrameServiceForm.h"

namespace velmora {

class TFrameSNTPForm : public TFrameServiceForm {
    Q_OBJECT

public:
    explicit TFrameSNTPForm(QWidget* parent = nullptr);

private:
    QCheckBox* check_ = nullptr;
};

} // namespace velmora
