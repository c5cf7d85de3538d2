#pragma once
// The checks every program makes on its application directory before it creates any window
// or service object.

namespace velmora {

// Service program: log dir (ends silently), conf dir (ERR00204), driver library (ERR00103).
// Returns the process exit code to end with, or 0 to go on.
int ServiceStartUpChecks();

} // namespace velmora
