#pragma once
// The parameter frame of the "TCP" check type (shared by the wizard and the update form).
#include "console/TFrameServiceForm.h"

namespace velmora {

class TFrameTCPForm : public TFrameServiceForm {
    Q_OBJECT

public:
    explicit TFrameTCPForm(QWidget* parent = nullptr);
};

} // namespace velmora
