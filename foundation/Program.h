#pragma once
// What kind of program is running and how it tells a person about a problem. The console
// installs dialog handlers; the service program and velmoractl leave them empty, so their
// reports go to the system log (and standard error) only.
#include <functional>
#include <string>

namespace velmora {

enum class ProgramVariant { Console, Service, Tool };

struct ProgramHooks {
    ProgramVariant variant = ProgramVariant::Tool;
    // Shows a modal message; empty = nothing shown.
    std::function<void(const std::string&)> showError;
    std::function<void(const std::string&)> showWarning;
    // Ends the program when the system log cannot be written. Default: std::exit(1).
    std::function<void(int)> terminate;
    // Every system log line is also written to standard error (daemon in a terminal or
    // under systemd, velmoractl).
    bool echoLogToStderr = false;
};

ProgramHooks& Program();

bool IsConsole();
void ShowErrorDialog(const std::string& text);
void ShowWarningDialog(const std::string& text);
[[noreturn]] void EndProgram(int code);

} // namespace velmora
