#include "ThreadWMIShareFolderCheck.h"

#include "checks/CheckBuilders.h"

namespace velmora {

ThreadWMIShareFolderCheck::ThreadWMIShareFolderCheck(CheckContext context, WmiCheckSettings settings)
    : ThreadWMIProcessCheck("WMI Share Folder", std::move(context), std::move(settings)) {}

bool ThreadWMIShareFolderCheck::Matches(const wmi::InstanceTable& table, size_t row, const std::string& name) const {
    if (table.Cell(row, "Type") != "0") return false;
    return table.Cell(row, "Caption") == name || table.Cell(row, "Path") == name;
}

std::unique_ptr<CheckItem> BuildWMIShareFolderCheck(const ServiceRow& row, const CheckBuild& b) {
    return std::make_unique<ThreadWMIShareFolderCheck>(b.context, WmiSettingsFromRow(row));
}

} // namespace velmora
