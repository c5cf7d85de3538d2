#pragma once
// Helpers of the URL check tests: run a URL service row, record a raw HTTP request.
#include "FixtureServers.h"
#include "checks/CheckBuilders.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>
#include <mutex>
#include <poll.h>
#include <sys/socket.h>

namespace velmora::test::url {

using velmora::test::FixtureTcpServer;
using velmora::test::ServerPort;

using Cols = std::vector<std::pair<std::string, std::string>>;

struct Outcome {
    bool passed;
    std::string text;
    long long ms;
};

inline Outcome RunUrl(const Cols& cols, std::vector<std::pair<std::string, std::string>> fields = {}) {
    ServiceRow row;
    // What a new service proposes, then the case's own columns.
    for (const auto& [k, v] : Cols{{"service", "URL"}, {"port", "80"}, {"url_method", "Get"},
                                   {"url_max_redirect", "10"}, {"timeout", "3000"}, {"read_timeout", "3000"},
                                   {"url_content_type", "text/html"}, {"url_user_agent", "Mozilla/3.0"},
                                   {"url_accept", "text/html, */*"}, {"ssl_enable", "n"}, {"ssl_peer", "n"},
                                   {"ssl_fail", "n"}, {"ssl_once", "n"}})
        row.Set(k, v);
    for (const auto& [k, v] : cols) row.Set(k, v);
    row.urlDetails = std::move(fields);
    auto c = BuildCheck(row);
    if (!c) return {false, "<not built>", 0};
    c->Run();
    EXPECT_EQ(c->status, c->passed ? "Passed" : "Failed");
    return {c->passed, c->result_text, c->response_time};
}

inline std::string Http() { return "http://127.0.0.1:" + std::to_string(ServerPort("nginx")); }
inline std::string Https() { return "https://127.0.0.1:" + std::to_string(ServerPort("nginx", "TLS_PORT")); }

// Reads one HTTP request (headers and a Content-Length body), records it and answers 200.
inline FixtureTcpServer::Handler Recorder(std::string* out, std::mutex* m) {
    return [out, m](int fd, const std::atomic<bool>& stopping) {
        std::string req;
        size_t need = std::string::npos;
        char buf[4096];
        while (!stopping.load()) {
            const size_t end = req.find("\r\n\r\n");
            if (end != std::string::npos && need == std::string::npos) {
                need = end + 4;
                const size_t cl = req.find("Content-Length: ");
                if (cl != std::string::npos && cl < end) need += std::stoul(req.substr(cl + 16));
            }
            if (need != std::string::npos && req.size() >= need) break;
            pollfd p{fd, POLLIN, 0};
            if (::poll(&p, 1, 50) <= 0) continue;
            const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
            if (n <= 0) return;
            req.append(buf, static_cast<size_t>(n));
        }
        {
            std::lock_guard<std::mutex> lock(*m);
            *out = req;
        }
        const std::string reply = "HTTP/1.1 200 OK\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
        (void)!::send(fd, reply.data(), reply.size(), MSG_NOSIGNAL);
    };
}

inline bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }


} // namespace velmora::test::url
