#include "Command.h"

#include <cstdio>

namespace velmora::cli {

int RunVersion(const std::vector<std::string>& args) {
    if (!args.empty()) {
        throw UsageError{"version takes no arguments"};
    }
    std::printf("velmoractl %s\n", VELMORA_VERSION);
    return kExitOk;
}

} // namespace velmora::cli
