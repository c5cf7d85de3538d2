#pragma once
// How the console takes turns with the daemon: stop, start, register and remove the
// systemd unit. None of them waits for the unit to change state and none reports a
// result: a missing, already running, already stopped or already registered unit makes the
// action fail silently.
#include <string>

namespace velmora {

// The unit file's path for a service name ("VelmoraPro" -> /etc/systemd/system/velmorapro.service).
// VELMORA_SYSTEMD_DIR overrides the directory (tests).
std::string UnitFilePath(const std::string& serviceName);
// The unit file text for the daemon at `exePath`.
std::string UnitFileText(const std::string& displayName, const std::string& exePath,
                         const std::string& appDir);

void StopWinService(const std::string& serviceName);
void StartWinService(const std::string& serviceName);
void InstallWinService(const std::string& serviceName, const std::string& displayName,
                       const std::string& exePath);
void RemoveWinService(const std::string& serviceName);

} // namespace velmora
