#pragma once
// The parameter frame of the "Ping" check type (shared by the wizard and the update form).
#include "console/TFrameServiceForm.h"

namespace velmora {

class TFramePingForm : public TFrameServiceForm {
    Q_OBJECT

public:
    explicit TFramePingForm(QWidget* parent = nullptr);
    bool NeedsPort() const override { return false; }
};

} // namespace velmora
