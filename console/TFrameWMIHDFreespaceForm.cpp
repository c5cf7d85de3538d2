#include "console/TFrameWMIHDFreespaceForm.h"

#include <algorithm>

namespace velmora {

TFrameWMIHDFreespaceForm::TFrameWMIHDFreespaceForm(QWidget* parent) : TFrameServiceForm(QStringLiteral("WMI HD Freespace"), parent) {
    AddText("ip", "Computer Name", {}, "WMI Computer Name", 500);
    AddText("username", "Username", {}, {}, 50);
    AddText("password", "Password", {}, {}, 50, true);
    AddText("wmi_namespace", "Name Space", QStringLiteral("root\\CIMV2"), "WMI Name Space", 150);
    SetFixed("port", "0");
    SetFixed("wmi_freespace", "0");
    SetFixed("wmi_specified_drive", "0");
    size_ = new QComboBox(this);
    size_->setObjectName("FrameWMIHDFreespace_wmi_freespace");
    size_->addItem("Please Select...");
    for (const auto& s : ThresholdTable()) {
        size_->addItem(QString::fromLatin1(s.label));
    }
    AddRowWidget("HD Freespace", size_);
    connect(size_, &QComboBox::activated, this, &TFrameServiceForm::Edited);
    drive_ = new QComboBox(this);
    drive_->setObjectName("FrameWMIHDFreespace_wmi_specified_drive");
    drive_->addItems({"All drives", "C drive only", "D Drive only", "E Drive only", "F Drive only",
                      "G Drive only", "H Drive only", "I Drive only", "J Drive only", "K Drive only",
                      "L Drive only"});
    AddRowWidget("Specified Drive", drive_);
    connect(drive_, &QComboBox::activated, this, &TFrameServiceForm::Edited);
    AddHint(QStringLiteral("Computer Name: it can be computer name or IP. Name Space: root\\CIMV2 is the default value.\n"
                           "\"All drives\" sums up the free space of all logical drives; any other choice counts the chosen drive only."));
    Reset();
}

const std::vector<TFrameWMIHDFreespaceForm::Threshold>& TFrameWMIHDFreespaceForm::ThresholdTable() {
    static const std::vector<Threshold> t = {
        {107374182, "<= 100M"},     {214748365, "<= 200M"},     {322122547, "<= 300M"},
        {429496730, "<= 400M"},     {536870912, "<= 500M"},     {1073741824, "<= 1G"},
        {2147483648, "<= 2G"},      {3221225472, "<= 3G"},      {4294967296, "<= 4G"},
        {5368709120, "<= 5G"},      {10737418240, "<= 10G"},    {21474836480, "<= 20G"},
        {32212254720, "<= 30G"},    {42949672960, "<= 40G"},    {53687091200, "<= 50G"}};
    return t;
}

void TFrameWMIHDFreespaceForm::Reset() {
    TFrameServiceForm::Reset();
    size_->setCurrentIndex(0);
    drive_->setCurrentIndex(0);
}

void TFrameWMIHDFreespaceForm::Load(const ServiceRow& row) {
    TFrameServiceForm::Load(row);
    const long long bytes = row.GetInt("wmi_freespace", 0);
    const auto& t = ThresholdTable();
    int index = static_cast<int>(t.size());  // any value not in the table: "<= 50G"
    for (size_t i = 0; i < t.size(); ++i) {
        if (t[i].bytes == bytes) {
            index = static_cast<int>(i) + 1;
        }
    }
    size_->setCurrentIndex(index);
    const long long drive = row.GetInt("wmi_specified_drive", 0);
    drive_->setCurrentIndex(drive >= 0 && drive < drive_->count() ? static_cast<int>(drive) : 0);
}

void TFrameWMIHDFreespaceForm::Store(ServiceRow& row) const {
    TFrameServiceForm::Store(row);
    const int i = size_->currentIndex();
    row.Set("wmi_freespace", i >= 1 ? std::to_string(ThresholdTable()[i - 1].bytes) : "0");
    row.Set("wmi_specified_drive", std::to_string(std::max(0, drive_->currentIndex())));
}

QString TFrameWMIHDFreespaceForm::Validate(QWidget** focus) const {
    QString m = TFrameServiceForm::Validate(focus);
    if (m.isEmpty() && size_->currentIndex() < 1) {
        if (focus) {
            *focus = size_;
        }
        m = QStringLiteral("Please select the freespace size.");
    }
    return m;
}

} // namespace velmora
