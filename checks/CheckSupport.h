#pragma once
// Small pieces the check classes share.
#include "foundation/IniFile.h"

#include <string>

namespace velmora {

// A port text as a number for the client: the whole integer, or -1 when it is not one (the
// client then reports it as out of range).
inline long long PortNumber(const std::string& port) {
    const auto v = ParseInteger(port);
    return v ? *v : -1;
}

// "[" + host + ":" + port
inline std::string Target(const std::string& host, const std::string& port) {
    return "[" + host + ":" + port;
}

} // namespace velmora
