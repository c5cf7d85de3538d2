#include "Program.h"

#include <cstdlib>

namespace velmora {

ProgramHooks& Program() {
    static ProgramHooks hooks;
    return hooks;
}

bool IsConsole() { return Program().variant == ProgramVariant::Console; }

void ShowErrorDialog(const std::string& text) {
    if (Program().showError) {
        Program().showError(text);
    }
}

void ShowWarningDialog(const std::string& text) {
    if (Program().showWarning) {
        Program().showWarning(text);
    }
}

void EndProgram(int code) {
    if (Program().terminate) {
        Program().terminate(code);
    }
    std::exit(code);
}

} // namespace velmora
