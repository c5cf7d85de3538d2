#pragma once
// The parameter frame of the "Rsh" check type (shared by the wizard and the update form).
#include "console/TFrameServiceForm.h"

namespace velmora {

class TFrameRshForm : public TFrameServiceForm {
    Q_OBJECT

public:
    explicit TFrameRshForm(QWidget* parent = nullptr);
};

} // namespace velmora
