#pragma once
// Helpers of the alarm integration tests.
#include "tests/support/TestSupport.h"

#include <chrono>
#include <fstream>
#include <functional>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace velmora::test {

// A loopback TCP port nobody listens on.
inline int ClosedPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    socklen_t len = sizeof a;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    ::close(fd);
    return ntohs(a.sin_port);
}

inline std::vector<std::string> ReadLines(const std::string& path) {
    std::vector<std::string> lines;
    std::ifstream in(path);
    for (std::string l; std::getline(in, l);) lines.push_back(l);
    return lines;
}

// Lines of `path` containing every one of `parts`.
inline std::vector<std::string> LinesWith(const std::string& path, const std::vector<std::string>& parts) {
    std::vector<std::string> out;
    for (const auto& l : ReadLines(path)) {
        bool all = true;
        for (const auto& p : parts) all = all && l.find(p) != std::string::npos;
        if (all) out.push_back(l);
    }
    return out;
}

// Polls `cond` until it holds or `ms` pass.
inline bool WaitUntil(const std::function<bool()>& cond, int ms = 5000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) {
        if (cond()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return cond();
}

inline std::string Hex(const std::string& s) {
    static const char* d = "0123456789abcdef";
    std::string h;
    for (unsigned char c : s) {
        h += d[c >> 4];
        h += d[c & 15];
    }
    return h;
}

} // namespace velmora::test
