// velmoractl: one-shot command-line tool for administrators and scripts.
#include "Command.h"

#include <cstdio>
#include <cstring>
#include <exception>

using namespace velmora::cli;

namespace {

void PrintHelp(FILE* out) {
    std::fprintf(out, "usage: velmoractl COMMAND [ARGS]...\n\ncommands:\n");
    for (const Command& c : Commands()) {
        std::fprintf(out, "  %-60s %s\n", c.usage, c.summary);
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "help") == 0) {
        PrintHelp(argc < 2 ? stderr : stdout);
        return argc < 2 ? kExitUsage : kExitOk;
    }
    const std::string name = argv[1];
    for (const Command& c : Commands()) {
        if (name != c.name) {
            continue;
        }
        std::vector<std::string> args(argv + 2, argv + argc);
        try {
            return c.run(args);
        } catch (const UsageError& e) {
            std::fprintf(stderr, "velmoractl %s: %s\nusage: velmoractl %s\n", c.name,
                         e.message.c_str(), c.usage);
            return kExitUsage;
        } catch (const std::exception& e) {
            std::fprintf(stderr, "velmoractl %s: %s\n", c.name, e.what());
            return kExitFailed;
        }
    }
    std::fprintf(stderr, "velmoractl: unknown command \"%s\"\n", name.c_str());
    PrintHelp(stderr);
    return kExitUsage;
}
