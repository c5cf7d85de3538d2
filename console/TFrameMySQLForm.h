#pragma once
// The parameter frame of the "MySQL" check type (shared by the wizard and the update form).
#include "console/TFrameServiceForm.h"

namespace velmora {

class TFrameMySQLForm : public TFrameServiceForm {
    Q_OBJECT

public:
    explicit TFrameMySQLForm(QWidget* parent = nullptr);
};

} // namespace velmora
