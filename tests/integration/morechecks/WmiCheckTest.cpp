// The three WMI checks against the fixture WS-Management endpoint (Win32_Process a.exe,
// svchost.exe ...; Win32_LogicalDisk C: 10 GiB and D: 5 GiB free; Win32_Share "Data" at
// C:\Data), wrong credentials, unreachable computers and replies that are not XML or huge.
#include "checks/ThreadWMIHDSpaceCheck.h"
#include "checks/ThreadWMIProcessCheck.h"
#include "checks/ThreadWMIShareFolderCheck.h"
#include "checks/WmiQuery.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

using namespace velmora;

namespace {
const long long GiB = 1LL << 30;

std::string Computer() { return "127.0.0.1:" + test::ServerValue("winrm", "PORT"); }
WmiCheckSettings Settings(std::string names, std::string computer = Computer(),
                          std::string password = test::ServerValue("winrm", "PASSWORD")) {
    return {std::move(computer), "root\\CIMV2", test::ServerValue("winrm", "USER"), std::move(password), std::move(names)};
}
wmi::QueryLimits Quick() {
    wmi::QueryLimits l;
    l.connectTimeoutMs = 1000;
    l.requestTimeoutMs = 2000;
    l.totalTimeoutMs = 4000;
    return l;
}
} // namespace

TEST(WmiQuery, EnumeratesEveryInstanceOverSeveralPulls) {
    const auto q = wmi::QueryInstances({Computer(), "root\\CIMV2", "wmiadmin", "wmipass"}, "Win32_LogicalDisk", Quick());
    ASSERT_EQ(q.table.instanceCount, 4) << q.error;
    EXPECT_EQ(q.table.propertyCount, 7);
    EXPECT_EQ(q.table.rows[0][0], "Instance");
    EXPECT_EQ(q.table.rows[2][0], "2");
    EXPECT_EQ(q.table.Cell(1, "FreeSpace"), "NULL");
    EXPECT_EQ(q.table.Cell(2, "FreeSpace"), std::to_string(10 * GiB));

    const auto wrong = wmi::QueryInstances({Computer(), "root\\CIMV2", "wmiadmin", "nope"}, "Win32_Process", Quick());
    EXPECT_EQ(wrong.table.instanceCount, 0);
    EXPECT_EQ(wrong.table.propertyCount, -1);
    EXPECT_NE(wrong.error.find("401"), std::string::npos) << wrong.error;

    const auto badNs = wmi::QueryInstances({Computer(), "root\\nothing", "wmiadmin", "wmipass"}, "Win32_Process", Quick());
    EXPECT_EQ(badNs.table.propertyCount, -1);
    EXPECT_NE(badNs.error.find("invalid"), std::string::npos) << badNs.error;
}

TEST(WmiProcessCheck, NameListRules) {
    const std::string c = Computer();
    struct Case {
        const char* names;
        bool passed;
        std::string text;
    } cases[] = {
        {"a.exe, b.exe", false, "[" + c + " :  b.exe WMI Failed]"},
        {"a.exe, svchost.exe", true, ""},
        {" a.exe ", true, ""},
        {"A.EXE", false, "[" + c + " : A.EXE WMI Failed]"},   // exact, with case
        {"x.exe,,y.exe", false, "[" + c + " : x.exe,,y.exe WMI Failed]"},
        {"a.exe,", true, ""},
    };
    for (const auto& k : cases) {
        ThreadWMIProcessCheck check(CheckContext{}, Settings(k.names));
        check.limits = Quick();
        check.Execute();
        EXPECT_EQ(check.passed, k.passed) << k.names;
        EXPECT_EQ(check.result_text, k.text);
    }
}

TEST(WmiShareFolderCheck, DiskSharesByNameOrPath) {
    const std::string c = Computer();
    struct Case {
        const char* names;
        bool passed;
        std::string text;
    } cases[] = {
        {"Data", true, ""},
        {"C:\\Data", true, ""},
        {"Printer", false, "[" + c + " : Printer WMI Failed]"},      // not a disk share
        {"Remote Admin", false, "[" + c + " : Remote Admin WMI Failed]"},
        {"Data, Missing", false, "[" + c + " :  Missing WMI Failed]"},
    };
    for (const auto& k : cases) {
        ThreadWMIShareFolderCheck check(CheckContext{}, Settings(k.names));
        check.limits = Quick();
        check.Execute();
        EXPECT_EQ(check.passed, k.passed) << k.names;
        EXPECT_EQ(check.result_text, k.text);
    }
}

TEST(WmiHDSpaceCheck, DrivesAndThresholds) {
    const std::string c = Computer();
    struct Case {
        long long threshold, drive;
        bool passed;
        std::string text;
    } cases[] = {
        {20 * GiB, 0, false, "[" + c + " : has not enough freespace. All Harddisk freespace=15.0G]"},
        {15 * GiB, 0, true, "[" + c + " : has enough freespace. All Harddisk freespace=15.0G]"},
        {10 * GiB, 1, true, "[" + c + " : has enough freespace. C: Harddisk freespace=10.0G]"},
        {6 * GiB, 2, false, "[" + c + " : has not enough freespace. D: Harddisk freespace=5.00G]"},
        // E: is removable and F: does not exist: nothing counts.
        {1, 3, false, "[" + c + " : has not enough freespace. E: Harddisk freespace=0]"},
        {0, 4, true, "[" + c + " : has enough freespace. F: Harddisk freespace=0]"},
        {1, 11, false, "[" + c + " : has not enough freespace.  Harddisk freespace=0]"},
    };
    for (const auto& k : cases) {
        ThreadWMIHDSpaceCheck check(CheckContext{}, Settings(""), k.threshold, k.drive);
        EXPECT_FALSE(check.passed);
        EXPECT_EQ(check.status, "Failed");
        EXPECT_EQ(check.result_text, "[" + c + " :  WMI Connection Error]");
        check.limits = Quick();
        check.Execute();
        EXPECT_EQ(check.passed, k.passed) << k.threshold << " " << k.drive;
        EXPECT_EQ(check.result_text, k.text);
    }
}

TEST(WmiChecks, UnreachableRefusedAndDamagedEndpointsFail) {
    const std::string base = "http://127.0.0.1:" + test::ServerValue("winrm", "PORT");
    const std::vector<std::string> computers = {
        "127.0.0.1:1",             // nobody listens
        Computer(),                // with a wrong password (below)
        base + "/notxml",          // not XML
        base + "/huge",            // 50 MB
        base + "/silent",          // never answers
    };
    for (const auto& computer : computers) {
        const std::string password = computer == Computer() ? "wrong" : test::ServerValue("winrm", "PASSWORD");
        const auto start = std::chrono::steady_clock::now();
        ThreadWMIProcessCheck proc(CheckContext{}, Settings("a.exe, b.exe", computer, password));
        proc.limits = Quick();
        proc.Execute();
        EXPECT_FALSE(proc.passed) << computer;
        EXPECT_EQ(proc.result_text, "[" + computer + " : a.exe, b.exe WMI Failed]");

        ThreadWMIShareFolderCheck share(CheckContext{}, Settings("Data", computer, password));
        share.limits = Quick();
        share.Execute();
        EXPECT_EQ(share.result_text, "[" + computer + " : Data WMI Failed]");

        ThreadWMIHDSpaceCheck disk(CheckContext{}, Settings("", computer, password), 1, 0);
        disk.limits = Quick();
        disk.Execute();
        EXPECT_FALSE(disk.passed);
        EXPECT_EQ(disk.result_text, "[" + computer + " : WMI Connection Error]");
        // Three checks, each bounded by one request timeout at most.
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(15)) << computer;
    }
    const auto huge = wmi::QueryInstances({base + "/huge", "root\\CIMV2", "wmiadmin", "wmipass"}, "Win32_Process", Quick());
    EXPECT_NE(huge.error.find("larger than"), std::string::npos) << huge.error;
    const auto notXml = wmi::QueryInstances({base + "/notxml", "root\\CIMV2", "wmiadmin", "wmipass"}, "Win32_Process", Quick());
    EXPECT_NE(notXml.error.find("not XML"), std::string::npos) << notXml.error;
}
