#include "service/ServiceControl.h"
#include "tests/support/TestSupport.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace velmora;
using velmora::test::ReadFile;
using velmora::test::TempDir;
using velmora::test::WriteFile;

namespace {

// Points the service control at a private unit directory and a stand-in systemctl that
// records its arguments, since no service manager runs in the test environment.
struct ControlScope {
    TempDir dir;
    ControlScope() {
        std::filesystem::create_directory(dir / "units");
        WriteFile(dir / "systemctl", "#!/bin/sh\necho \"$@\" >> \"" + dir / "calls" + "\"\n");
        ::chmod((dir / "systemctl").c_str(), 0755);
        ::setenv("VELMORA_SYSTEMD_DIR", (dir / "units").c_str(), 1);
        ::setenv("VELMORA_SYSTEMCTL", (dir / "systemctl").c_str(), 1);
    }
    ~ControlScope() {
        ::unsetenv("VELMORA_SYSTEMD_DIR");
        ::unsetenv("VELMORA_SYSTEMCTL");
    }
    std::string Calls() { return ReadFile(dir / "calls"); }
};

} // namespace

TEST(ServiceControl, InstallTwiceRegistersOnceAndRemoveDeletes) {
    ControlScope s;
    InstallWinService("VelmoraPro", "VelmoraPro", "/opt/v/bin/VelmoraProService");
    InstallWinService("VelmoraPro", "VelmoraPro", "/opt/v/bin/VelmoraProService");
    const std::string unit = s.dir / "units/velmorapro.service";
    ASSERT_TRUE(std::filesystem::exists(unit));
    EXPECT_NE(ReadFile(unit).find("ExecStart=/opt/v/bin/VelmoraProService\n"), std::string::npos);
    EXPECT_EQ(s.Calls(), "daemon-reload\nenable velmorapro.service\n");

    StopWinService("VelmoraPro");
    StartWinService("VelmoraPro");
    RemoveWinService("VelmoraPro");
    EXPECT_FALSE(std::filesystem::exists(unit));
    EXPECT_EQ(s.Calls(), "daemon-reload\nenable velmorapro.service\n"
                         "--no-block stop velmorapro.service\n"
                         "--no-block start velmorapro.service\n"
                         "disable velmorapro.service\ndaemon-reload\n");
}

TEST(ServiceControl, FailuresAreSilent) {
    ControlScope s;
    ::setenv("VELMORA_SYSTEMCTL", (s.dir / "no-such-systemctl").c_str(), 1);
    ::setenv("VELMORA_SYSTEMD_DIR", (s.dir / "no-such-dir").c_str(), 1);
    StopWinService("VelmoraPro");
    StartWinService("VelmoraPro");
    InstallWinService("VelmoraPro", "VelmoraPro", "/x");
    RemoveWinService("VelmoraPro");
    SUCCEED();
}
