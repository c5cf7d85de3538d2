#include "console/TFrameWMIProcessForm.h"

namespace velmora {

TFrameWMIProcessForm::TFrameWMIProcessForm(QWidget* parent) : TFrameServiceForm(QStringLiteral("WMI Process"), parent) {
    AddText("ip", "Computer Name", {}, "WMI Computer Name", 500);
    AddText("username", "Username", {}, {}, 50);
    AddText("password", "Password", {}, {}, 50, true);
    AddText("wmi_namespace", "Name Space", QStringLiteral("root\\CIMV2"), "WMI Name Space", 150);
    SetFixed("port", "0");
    AddText("wmi_process_name", "Process(es) Name", {}, "WMI Process Name");
    AddHint(QStringLiteral("Computer Name: it can be computer name or IP. Name Space: root\\CIMV2 is the default value.\n"
                           "Several process names may be given, separated by \",\"; any one of them missing raises the alarm."));
    Reset();
}

} // namespace velmora
