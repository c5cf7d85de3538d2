#pragma once
#include <memory>

namespace velmora {

class SingleInstance;

// The console's checks before its main window: log dir (ERR00205), conf dir (ERR00204),
// driver library (ERR00103), help page (ERR00003, the start goes on), single instance
// (ERR00001, nothing logged). Returns the exit code to end with, or 0 to go on; on 0 `lock`
// holds the single-instance lock for the life of the program.
int ConsoleStartUpChecks(std::unique_ptr<SingleInstance>& lock);

} // namespace velmora
