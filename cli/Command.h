#pragma once
// velmoractl's sub-commands. Each one lives in its own source file and is listed once in
// Commands.cpp.
#include <string>
#include <vector>

namespace velmora::cli {

// Exit codes shared by every sub-command.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

struct Command {
    const char* name;
    const char* usage;     // one line, after "velmoractl "
    const char* summary;
    int (*run)(const std::vector<std::string>& args);  // args after the command name
};

const std::vector<Command>& Commands();

// Thrown by argument parsing; main prints the message and the command's usage, exit 2.
struct UsageError {
    std::string message;
};

// Pulls "--app-dir DIR" out of `args` and sets up the foundation the way the daemon does:
// application directory, log and conf directories, settings (shared keys only). Returns
// false after printing why on standard error.
bool PrepareProgram(std::vector<std::string>& args);

} // namespace velmora::cli
