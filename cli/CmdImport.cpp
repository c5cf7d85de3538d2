// velmoractl import csv|xml FILE: creates services from a CSV file in the import layout or
// from the lighter edition's service.xml, in the database of the application's settings.
#include "Command.h"

#include "store/Import.h"
#include "store/ZUVOzedovUzivara.h"

#include "foundation/InitSettings.h"
#include "foundation/Program.h"

#include <cstdio>

namespace velmora::cli {

int RunImport(const std::vector<std::string>& argsIn) {
    std::vector<std::string> args = argsIn;
    if (!PrepareProgram(args)) {
        return kExitFailed;
    }
    if (args.size() != 2) {
        throw UsageError{"import needs the kind of file (csv or xml) and the file"};
    }
    const std::string& kind = args[0];
    if (kind != "csv" && kind != "xml") {
        throw UsageError{"unknown kind of file \"" + kind + "\" (csv or xml)"};
    }
    Program().echoLogToStderr = true;
    ZUVOzedovUzivara& db = Database();
    if (!db.OpenAtStart()) {
        const TInitSettings& s = InitSettings();
        std::fprintf(stderr, "velmoractl import: cannot connect to the database at %s:%s\n",
                     s.Host.c_str(), s.Port.c_str());
        return kExitFailed;
    }
    const ImportOutcome out = kind == "csv" ? ImportCsvFile(args[1], db) : ImportServiceXmlFile(args[1], db);
    std::printf("stored %d service(s), skipped %d\n", out.stored, out.skipped);
    for (const std::string& note : out.notes) {
        std::printf("  skipped %s\n", note.c_str());
    }
    if (out.failed) {
        std::fprintf(stderr, "velmoractl import: %s\n", out.error.c_str());
        return kExitFailed;
    }
    return kExitOk;
}

} // namespace velmora::cli
