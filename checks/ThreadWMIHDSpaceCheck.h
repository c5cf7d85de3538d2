#pragma once
// "WMI HD Freespace": the free space of the chosen fixed disk, or of all fixed disks
// summed, must not be below the threshold. Starts from a failed outcome.
#include "CheckItem.h"
#include "ThreadWMIProcessCheck.h"
#include "WmiQuery.h"

namespace velmora {

class ThreadWMIHDSpaceCheck : public CheckItem {
public:
    // `threshold`: minimum free bytes; `driveSelection`: 0 all drives, 1..10 "C:".."L:".
    ThreadWMIHDSpaceCheck(CheckContext context, WmiCheckSettings settings, long long threshold,
                          long long driveSelection);
    void Execute() override;
    const std::string& DriveName() const { return drive_; }
    wmi::QueryLimits limits;

private:
    WmiCheckSettings settings_;
    long long threshold_;
    std::string drive_;
};

} // namespace velmora
