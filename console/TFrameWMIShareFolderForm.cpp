#include "console/TFrameWMIShareFolderForm.h"

namespace velmora {

TFrameWMIShareFolderForm::TFrameWMIShareFolderForm(QWidget* parent) : TFrameServiceForm(QStringLiteral("WMI Share Folder"), parent) {
    AddText("ip", "Computer Name", {}, "WMI Computer Name", 500);
    AddText("username", "Username", {}, {}, 50);
    AddText("password", "Password", {}, {}, 50, true);
    AddText("wmi_namespace", "Name Space", QStringLiteral("root\\CIMV2"), "WMI Name Space", 150);
    SetFixed("port", "0");
    AddText("wmi_process_name", "Share Folder(s) Name", {}, "WMI Share Folder(s) Name");
    AddHint(QStringLiteral("Computer Name: it can be computer name or IP. Name Space: root\\CIMV2 is the default value.\n"
                           "Several share folders may be given, separated by \",\"; any one of them missing raises the alarm. "
                           "Full share paths are recommended."));
    Reset();
}

} // namespace velmora
