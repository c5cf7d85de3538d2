#pragma once
// The parameter frame of the "Telnet" check type (shared by the wizard and the update form).
#include "console/TFrameServiceForm.h"

namespace velmora {

class TFrameTelnetForm : public TFrameServiceForm {
    Q_OBJECT

public:
    explicit TFrameTelnetForm(QWidget* parent = nullptr);
};

} // namespace velmora
