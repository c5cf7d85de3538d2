#include "Command.h"

namespace velmora::cli {

int RunVersion(const std::vector<std::string>& args);

const std::vector<Command>& Commands() {
    static const std::vector<Command> commands = {
        {"version", "version", "print the program version", RunVersion},
    };
    return commands;
}

} // namespace velmora::cli
