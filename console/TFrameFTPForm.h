#pragma once
// The parameter frame of the "FTP" check type (shared by the wizard and the update form).
#include "console/TFrameServiceForm.h"

namespace velmora {

class TFrameFTPForm : public TFrameServiceForm {
    Q_OBJECT

public:
    explicit TFrameFTPForm(QWidget* parent = nullptr);
    void Load(const ServiceRow& row) override;
    // Fields of unticked options are stored empty.
    void Store(ServiceRow& row) const override;

private:
    QCheckBox* proxy_ = nullptr;
    QCheckBox* proxyAuth_ = nullptr;
};

} // namespace velmora
