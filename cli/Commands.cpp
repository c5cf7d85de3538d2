#include "Command.h"

namespace velmora::cli {

int RunVersion(const std::vector<std::string>& args);
int RunCheck(const std::vector<std::string>& args);
int RunImport(const std::vector<std::string>& args);
int RunServices(const std::vector<std::string>& args);

const std::vector<Command>& Commands() {
    static const std::vector<Command> commands = {
        {"version", "version", "print the program version", RunVersion},
        {"check",
         "check --type TYPE --host HOST [--port N] [--set COLUMN=VALUE]... [--field NAME=VALUE]... [--json] | --id ID",
         "run one check once and print its outcome", RunCheck},
        {"import", "import csv|xml FILE [--app-dir DIR]",
         "create services from a CSV import file or a service.xml", RunImport},
        {"services", "services [--json] [--app-dir DIR]", "list every service and its last result",
         RunServices},
    };
    return commands;
}

} // namespace velmora::cli
