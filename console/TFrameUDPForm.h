#pragma once
// The parameter frame of the "UDP" check type (shared by the wizard and the update form).
#include "console/TFrameServiceForm.h"

namespace velmora {

class TFrameUDPForm : public TFrameServiceForm {
    Q_OBJECT

public:
    explicit TFrameUDPForm(QWidget* parent = nullptr);
};

} // namespace velmora
