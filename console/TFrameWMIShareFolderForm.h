#pragma once
// The parameter frame of the "WMI Share Folder" check type (shared by the wizard and the update form).
#include "console/TFrameServiceForm.h"

namespace velmora {

class TFrameWMIShareFolderForm : public TFrameServiceForm {
    Q_OBJECT

public:
    explicit TFrameWMIShareFolderForm(QWidget* parent = nullptr);
    QString PortCaption() const override { return QStringLiteral("Share Folder : "); }
    QString PortText() const override { return FieldText("wmi_process_name"); }
};

} // namespace velmora
