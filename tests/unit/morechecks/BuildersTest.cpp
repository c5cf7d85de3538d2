#include "checks/CheckBuilders.h"
#include "checks/ThreadWMIHDSpaceCheck.h"

#include <gtest/gtest.h>

using namespace velmora;

namespace {
ServiceRow Row(const std::string& type) {
    ServiceRow r;
    r.Set("service", type);
    r.Set("id", "17");
    r.Set("ip", "127.0.0.1");
    r.Set("port", "0053");
    r.Set("no_of_cons_alarm", "3");
    r.Set("alarm_email", "y");
    r.Set("service_status", "Failed");
    return r;
}
} // namespace

TEST(MoreCheckBuilders, EveryTypeIsBuiltWithItsContext) {
    for (const char* type : {"DNS", "NNTP", "SNTP", "Telnet", "Rsh", "MySQL", "WMI Process", "WMI HD Freespace",
                             "WMI Share Folder"}) {
        auto check = BuildCheck(Row(type));
        ASSERT_TRUE(check) << type;
        EXPECT_EQ(check->ServiceType(), type);
        EXPECT_EQ(check->Context().origin, "Product");
        EXPECT_EQ(check->Context().id, 17);
        EXPECT_EQ(check->Context().no_of_cons_alarm, 3);
        EXPECT_TRUE(check->Context().alarm_email);
        EXPECT_EQ(check->Context().service_status, "Failed");
        EXPECT_EQ(check->Host(), "127.0.0.1") << type;
    }
    // The port is shown as its integer value.
    EXPECT_EQ(BuildCheck(Row("DNS"))->Port(), "53");
    EXPECT_EQ(BuildCheck(Row("MySQL"))->Port(), "53");
}

TEST(MoreCheckBuilders, HdFreespaceStartsFailedAndMapsTheDrive) {
    ServiceRow r = Row("WMI HD Freespace");
    r.Set("ip", "winhost");
    r.Set("wmi_specified_drive", "2");
    r.Set("wmi_freespace", "21474836480");
    auto check = BuildCheck(r, "Setup");
    ASSERT_TRUE(check);
    EXPECT_FALSE(check->passed);
    EXPECT_EQ(check->status, "Failed");
    EXPECT_EQ(check->result_text, "[winhost :  WMI Connection Error]");
    EXPECT_EQ(check->Context().origin, "Setup");
    EXPECT_EQ(dynamic_cast<ThreadWMIHDSpaceCheck&>(*check).DriveName(), "D:");
}
