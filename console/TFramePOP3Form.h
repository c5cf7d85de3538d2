#pragma once
// The parameter frame of the "POP3" check type (shared by the wizard and the update form).
#include "console/TFrameServiceForm.h"

namespace velmora {

class TFramePOP3Form : public TFrameServiceForm {
    Q_OBJECT

public:
    explicit TFramePOP3Form(QWidget* parent = nullptr);
};

} // namespace velmora
