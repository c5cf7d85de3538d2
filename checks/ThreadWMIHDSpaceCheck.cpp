#include "ThreadWMIHDSpaceCheck.h"

#include "checks/CheckBuilders.h"

#include <limits>

namespace velmora {

ThreadWMIHDSpaceCheck::ThreadWMIHDSpaceCheck(CheckContext context, WmiCheckSettings settings,
                                             long long threshold, long long driveSelection)
    : CheckItem("WMI HD Freespace", std::move(context), settings.computer, ""),
      settings_(std::move(settings)), threshold_(threshold), drive_(wmi::DriveName(driveSelection)) {
    SetFailed();
    result_text = "[" + settings_.computer + " : " + " WMI Connection Error]";
}

void ThreadWMIHDSpaceCheck::Execute() {
    const auto start = std::chrono::steady_clock::now();
    const std::string head = "[" + settings_.computer + " : ";
    try {
        const wmi::QueryResult q = wmi::QueryInstances(
            {settings_.computer, settings_.wmiNamespace, settings_.username, settings_.password},
            "Win32_LogicalDisk", limits);
        const wmi::InstanceTable& table = q.table;
        if (table.propertyCount <= 0) {
            SetFailed();
            result_text = head + "WMI Connection Error]";
        } else {
            long long total = 0;
            for (size_t row = 1; row < table.rows.size(); ++row) {
                if (table.Cell(row, "MediaType") != "12") continue;  // fixed hard disks only
                const long long free = wmi::CellToInt64(table.Cell(row, "FreeSpace"));
                if (drive_ == "All") {
                    // Saturate rather than wrap on absurd values.
                    if (__builtin_add_overflow(total, free, &total))
                        total = free > 0 ? std::numeric_limits<long long>::max() : std::numeric_limits<long long>::min();
                } else if (drive_ == table.Cell(row, "DeviceID")) {
                    total = free;
                }
            }
            const std::string shown = " Harddisk freespace=" + wmi::FormatBytes(total) + "]";
            if (total < threshold_) {
                SetFailed();
                result_text = head + "has not enough freespace. " + drive_ + shown;
            } else {
                SetPassed();
                result_text = head + "has enough freespace. " + drive_ + shown;
            }
        }
    } catch (const std::exception& e) {
        SetFailed();
        result_text = head + "WMI Connection Error:" + wmi::TrimBlanks(e.what()) + "]";
    }
    response_time = ElapsedMs(start);
}

std::unique_ptr<CheckItem> BuildWMIHDSpaceCheck(const ServiceRow& row, const CheckBuild& b) {
    // wmi_freespace is read as text and taken as a 64-bit integer (0 when it is not one).
    const long long threshold = wmi::CellToInt64(row.Get("wmi_freespace"));
    return std::make_unique<ThreadWMIHDSpaceCheck>(b.context, WmiSettingsFromRow(row), threshold,
                                                   row.GetInt("wmi_specified_drive"));
}

} // namespace velmora
