#pragma once
// The parameter frame of the "WMI Process" check type (shared by the wizard and the update form).
#include "console/TFrameServiceForm.h"

namespace velmora {

class TFrameWMIProcessForm : public TFrameServiceForm {
    Q_OBJECT

public:
    explicit TFrameWMIProcessForm(QWidget* parent = nullptr);
    QString PortCaption() const override { return QStringLiteral("Process : "); }
    QString PortText() const override { return FieldText("wmi_process_name"); }
};

} // namespace velmora
