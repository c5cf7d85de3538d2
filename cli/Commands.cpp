#include "Command.h"

namespace velmora::cli {

int RunVersion(const std::vector<std::string>& args);
int RunImport(const std::vector<std::string>& args);
int RunServices(const std::vector<std::string>& args);
int RunAlarm(const std::vector<std::string>& args);

const std::vector<Command>& Commands() {
    static const std::vector<Command> commands = {
        {"version", "version", "print the program version", RunVersion},
        {"import", "import csv|xml FILE [--app-dir DIR]",
         "create services from a CSV import file or a service.xml", RunImport},
        {"services", "services [--json] [--app-dir DIR]", "list every service and its last result",
         RunServices},
        {"alarm",
         "alarm --method NAME --to RECIPIENT --message TEXT [--set COLUMN=VALUE]... "
         "[--param COLUMN=VALUE]... [--no-db] [--app-dir DIR]",
         "send one alarm over a method with the stored alarm_method settings", RunAlarm},
    };
    return commands;
}

} // namespace velmora::cli
