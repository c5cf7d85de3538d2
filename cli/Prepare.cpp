#include "Command.h"

#include "foundation/InitSettings.h"
#include "foundation/Program.h"

#include <cstdio>

namespace velmora::cli {

bool PrepareProgram(std::vector<std::string>& args) {
    TInitSettings& s = InitSettings();
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--app-dir") {
            if (i + 1 >= args.size()) {
                throw UsageError{"--app-dir needs a directory"};
            }
            s.AppDir = args[i + 1];
            while (s.AppDir.size() > 1 && s.AppDir.back() == '/') {
                s.AppDir.pop_back();
            }
            args.erase(args.begin() + static_cast<long>(i), args.begin() + static_cast<long>(i) + 2);
            break;
        }
    }
    if (s.AppDir.empty()) {
        s.AppDir = ReadAppPath();
    }
    Program().variant = ProgramVariant::Tool;
    if (!CheckLogDir()) {
        std::fprintf(stderr, "velmoractl: cannot create the log directory %s/log\n",
                     s.AppDir.c_str());
        return false;
    }
    if (!CheckConfDir()) {
        std::fprintf(stderr, "velmoractl: cannot create the settings directory %s/conf\n",
                     s.AppDir.c_str());
        return false;
    }
    LoadSettings(ProgramVariant::Tool);
    return true;
}

} // namespace velmora::cli
