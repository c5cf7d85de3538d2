#pragma once
// The parameter frame of the "URL" check type (shared by the wizard and the update form):
// the request fields, the "Post Fields" list, authentication and proxy boxes.
#include "console/TFrameServiceForm.h"

class QGroupBox;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace velmora {

class TFrameURLForm : public TFrameServiceForm {
    Q_OBJECT

public:
    explicit TFrameURLForm(QWidget* parent = nullptr);
    void Reset() override;
    void Load(const ServiceRow& row) override;
    // Fields of unticked options are stored empty; the post fields go to urlDetails.
    void Store(ServiceRow& row) const override;

    // "Add >>": appends the entered name and value when both are filled.
    void AddPostField();
    // Double click or "Remove": the entry back into the fields and out of the list.
    void RemovePostField(QListWidgetItem* item);

private:
    void MethodChanged();

    QComboBox* method_ = nullptr;
    QCheckBox* auth_ = nullptr;
    QCheckBox* proxy_ = nullptr;
    QCheckBox* proxyAuth_ = nullptr;
    QGroupBox* post_ = nullptr;
    QLineEdit* postName_ = nullptr;
    QLineEdit* postValue_ = nullptr;
    QListWidget* postList_ = nullptr;
};

} // namespace velmora
