#pragma once
// Small text helpers shared by the senders.
#include <string>

namespace velmora {

// Drops blanks and control characters at both ends.
inline std::string Trim(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
    while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
    return s.substr(b, e - b);
}

} // namespace velmora
