#pragma once
// The parameter frame of the "SMTP" check type (shared by the wizard and the update form).
#include "console/TFrameServiceForm.h"

namespace velmora {

class TFrameSMTPForm : public TFrameServiceForm {
    Q_OBJECT

public:
    explicit TFrameSMTPForm(QWidget* parent = nullptr);
};

} // namespace velmora
