#include "ThreadWMIProcessCheck.h"

#include "checks/CheckBuilders.h"

namespace velmora {

ThreadWMIProcessCheck::ThreadWMIProcessCheck(CheckContext context, WmiCheckSettings settings)
    : ThreadWMIProcessCheck("WMI Process", std::move(context), std::move(settings)) {}

ThreadWMIProcessCheck::ThreadWMIProcessCheck(std::string type, CheckContext context, WmiCheckSettings settings)
    : CheckItem(std::move(type), std::move(context), settings.computer, ""), settings_(std::move(settings)) {}

bool ThreadWMIProcessCheck::Matches(const wmi::InstanceTable& table, size_t row, const std::string& name) const {
    return table.Cell(row, "Caption") == name;
}

void ThreadWMIProcessCheck::Execute() {
    const auto start = std::chrono::steady_clock::now();
    try {
        const wmi::QueryResult q = wmi::QueryInstances(
            {settings_.computer, settings_.wmiNamespace, settings_.username, settings_.password}, ClassName(), limits);
        const wmi::InstanceTable& table = q.table;
        const std::string missing = wmi::MissingItems(settings_.nameList, [&](const std::string& item) {
            const std::string name = wmi::TrimBlanks(item);
            for (size_t row = 1; row < table.rows.size(); ++row)
                if (Matches(table, row, name)) return true;
            return false;
        });
        if (!missing.empty()) {
            SetFailed();
            result_text = "[" + settings_.computer + " : " + missing + " WMI Failed]";
        } else {
            SetPassed();
            result_text.clear();
        }
    } catch (const std::exception& e) {
        SetFailed();
        result_text = "[" + settings_.computer + " : " + settings_.nameList + " WMI Connection Error:" +
                      wmi::TrimBlanks(e.what()) + "]";
    }
    response_time = ElapsedMs(start);
}

WmiCheckSettings WmiSettingsFromRow(const ServiceRow& row) {
    WmiCheckSettings s;
    s.computer = row.Get("ip");
    s.wmiNamespace = row.Get("wmi_namespace");
    s.username = row.Get("username");
    s.password = row.Get("password");
    s.nameList = row.Get("wmi_process_name");
    return s;
}

std::unique_ptr<CheckItem> BuildWMIProcessCheck(const ServiceRow& row, const CheckBuild& b) {
    return std::make_unique<ThreadWMIProcessCheck>(b.context, WmiSettingsFromRow(row));
}

} // namespace velmora
