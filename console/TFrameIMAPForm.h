#pragma once
// The parameter frame of the "IMAP" check type (shared by the wizard and the update form).
#include "console/TFrameServiceForm.h"

namespace velmora {

class TFrameIMAPForm : public TFrameServiceForm {
    Q_OBJECT

public:
    explicit TFrameIMAPForm(QWidget* parent = nullptr);
};

} // namespace velmora
