#pragma once
// The parameter frame of the "NNTP" check type (shared by the wizard and the update form).
#include "console/TFrameServiceForm.h"

namespace velmora {

class TFrameNNTPForm : public TFrameServiceForm {
    Q_OBJECT

public:
    explicit TFrameNNTPForm(QWidget* parent = nullptr);
    void Load(const ServiceRow& row) override;
    void Store(ServiceRow& row) const override;

private:
    QCheckBox* check_ = nullptr;
};

} // namespace velmora
