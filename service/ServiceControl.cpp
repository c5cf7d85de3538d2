#include "ServiceControl.h"

#include "foundation/InitSettings.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace velmora {

namespace {

std::string UnitName(const std::string& serviceName) {
    std::string n = serviceName;
    std::transform(n.begin(), n.end(), n.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return n + ".service";
}

std::string SystemdDir() {
    const char* env = std::getenv("VELMORA_SYSTEMD_DIR");
    return env && *env ? env : "/etc/systemd/system";
}

// Runs systemctl with `args`, output discarded; any failure (no systemd, no unit) is silent.
void Systemctl(std::vector<std::string> args) {
    std::string exe = "systemctl";
    if (const char* env = std::getenv("VELMORA_SYSTEMCTL"); env && *env) {
        exe = env;
    }
    args.insert(args.begin(), exe);
    std::vector<char*> argv;
    for (auto& a : args) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_addopen(&fa, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&fa, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&fa, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    if (posix_spawnp(&pid, exe.c_str(), &fa, nullptr, argv.data(), environ) == 0) {
        int st = 0;
        waitpid(pid, &st, 0);
    }
    posix_spawn_file_actions_destroy(&fa);
}

} // namespace

std::string UnitFilePath(const std::string& serviceName) {
    return SystemdDir() + "/" + UnitName(serviceName);
}

std::string UnitFileText(const std::string& displayName, const std::string& exePath,
                         const std::string& appDir) {
    return "[Unit]\n"
           "Description=" + displayName + " network service monitor\n"
           "After=network-online.target mariadb.service\n"
           "Wants=network-online.target\n"
           "\n"
           "[Service]\n"
           "Type=notify\n"
           "NotifyAccess=main\n"
           "Environment=VELMORA_APP_DIR=" + appDir + "\n"
           "ExecStart=" + exePath + "\n"
           "Restart=on-failure\n"
           "RestartSec=10\n"
           "AmbientCapabilities=CAP_NET_RAW CAP_NET_BIND_SERVICE\n"
           "CapabilityBoundingSet=CAP_NET_RAW CAP_NET_BIND_SERVICE\n"
           "\n"
           "[Install]\n"
           "WantedBy=multi-user.target\n";
}

void StopWinService(const std::string& serviceName) {
    Systemctl({"--no-block", "stop", UnitName(serviceName)});
}

void StartWinService(const std::string& serviceName) {
    Systemctl({"--no-block", "start", UnitName(serviceName)});
}

void InstallWinService(const std::string& serviceName, const std::string& displayName,
                       const std::string& exePath) {
    const std::string path = UnitFilePath(serviceName);
    std::error_code ec;
    if (std::filesystem::exists(path, ec)) {
        return;  // already registered
    }
    {
        std::ofstream out(path, std::ios::trunc);
        if (!out) {
            return;
        }
        out << UnitFileText(displayName, exePath, InitSettings().AppDir);
        if (!out) {
            return;
        }
    }
    Systemctl({"daemon-reload"});
    Systemctl({"enable", UnitName(serviceName)});
}

void RemoveWinService(const std::string& serviceName) {
    Systemctl({"disable", UnitName(serviceName)});
    std::error_code ec;
    if (std::filesystem::remove(UnitFilePath(serviceName), ec)) {
        Systemctl({"daemon-reload"});
    }
}

} // namespace velmora
