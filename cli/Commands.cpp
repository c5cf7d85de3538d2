#include "Command.h"

namespace velmora::cli {

int RunVersion(const std::vector<std::string>& args);
int RunCheck(const std::vector<std::string>& args);

const std::vector<Command>& Commands() {
    static const std::vector<Command> commands = {
        {"version", "version", "print the program version", RunVersion},
        {"check",
         "check --type TYPE --host HOST [--port N] [--set COLUMN=VALUE]... [--field NAME=VALUE]... [--json] | --id ID",
         "run one check once and print its outcome", RunCheck},
    };
    return commands;
}

} // namespace velmora::cli
