#pragma once
// The parameter frame of the "WMI HD Freespace" check type (shared by the wizard and the update form).
#include "console/TFrameServiceForm.h"

#include <cstdint>
#include <vector>

namespace velmora {

class TFrameWMIHDFreespaceForm : public TFrameServiceForm {
    Q_OBJECT

public:
    explicit TFrameWMIHDFreespaceForm(QWidget* parent = nullptr);
    void Reset() override;
    void Load(const ServiceRow& row) override;
    void Store(ServiceRow& row) const override;
    QString Validate(QWidget** focus) const override;
    QString PortCaption() const override { return QStringLiteral("HD Freespace : "); }
    QString PortText() const override { return drive_->currentText() + " " + size_->currentText(); }

    struct Threshold {
        std::int64_t bytes;
        const char* label;
    };
    // The "HD Freespace" list after "Please Select...", in list order.
    static const std::vector<Threshold>& ThresholdTable();

private:
    QComboBox* size_ = nullptr;
    QComboBox* drive_ = nullptr;
};

} // namespace velmora
