#pragma once
// "WMI Share Folder": every listed disk share exists; see ThreadWMIProcessCheck.h.
#include "ThreadWMIProcessCheck.h"

namespace velmora {

class ThreadWMIShareFolderCheck : public ThreadWMIProcessCheck {
public:
    ThreadWMIShareFolderCheck(CheckContext context, WmiCheckSettings settings);

protected:
    const char* ClassName() const override { return "Win32_Share"; }
    // Disk shares only ("Type" 0), by name or full path.
    bool Matches(const wmi::InstanceTable& table, size_t row, const std::string& name) const override;
};

} // namespace velmora
