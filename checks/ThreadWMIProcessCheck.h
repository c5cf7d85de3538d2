#pragma once
// The three WMI checks over the instance query (WmiQuery.h):
//   ThreadWMIProcessCheck      every listed process runs (Win32_Process "Caption")
//   ThreadWMIShareFolderCheck  every listed disk share exists (Win32_Share, "Type" 0, by
//                              "Caption" or "Path"), in ThreadWMIShareFolderCheck.h
//   ThreadWMIHDSpaceCheck      free space of one fixed disk or all of them together is not
//                              below a threshold, in ThreadWMIHDSpaceCheck.h
#include "CheckItem.h"
#include "WmiQuery.h"
#include "store/ServiceRow.h"

namespace velmora {

struct WmiCheckSettings {
    std::string computer;       // host, host:port or a full http(s):// URL
    std::string wmiNamespace;   // e.g. "root\CIMV2"
    std::string username;
    std::string password;
    std::string nameList;       // "WMI Process", "WMI Share Folder": names separated by ","
};

// The settings of the three WMI types from a service row.
WmiCheckSettings WmiSettingsFromRow(const ServiceRow& row);

class ThreadWMIProcessCheck : public CheckItem {
public:
    ThreadWMIProcessCheck(CheckContext context, WmiCheckSettings settings);
    void Execute() override;
    // Query limits (tests shorten them).
    wmi::QueryLimits limits;

protected:
    ThreadWMIProcessCheck(std::string type, CheckContext context, WmiCheckSettings settings);
    // The class to enumerate and whether instance row `row` carries `name`.
    virtual const char* ClassName() const { return "Win32_Process"; }
    virtual bool Matches(const wmi::InstanceTable& table, size_t row, const std::string& name) const;

    WmiCheckSettings settings_;
};

} // namespace velmora
