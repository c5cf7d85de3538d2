#pragma once
// Small misbehaving servers on 127.0.0.1 for the check tests: a UDP responder and a TCP
// server, each on an ephemeral port and its own thread, stopped by their destructors.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <thread>

namespace velmora::test {

inline int BindLoopback(int type, int& port) {
    const int fd = socket(AF_INET, type, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    socklen_t len = sizeof a;
    getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    port = ntohs(a.sin_port);
    return fd;
}

// Answers each datagram with what `reply` returns (nothing for nullopt).
class UdpResponder {
public:
    using Reply = std::function<std::optional<std::string>(const std::string& request)>;
    explicit UdpResponder(Reply reply) : reply_(std::move(reply)) {
        fd_ = BindLoopback(SOCK_DGRAM, port_);
        thread_ = std::thread([this] { Loop(); });
    }
    ~UdpResponder() {
        stop_ = true;
        thread_.join();
        close(fd_);
    }
    int port() const { return port_; }
    int requests() const { return requests_; }

private:
    void Loop() {
        char buf[65536];
        while (!stop_) {
            pollfd p{fd_, POLLIN, 0};
            if (poll(&p, 1, 50) <= 0) continue;
            sockaddr_in from{};
            socklen_t len = sizeof from;
            const ssize_t n = recvfrom(fd_, buf, sizeof buf, 0, reinterpret_cast<sockaddr*>(&from), &len);
            if (n < 0) continue;
            ++requests_;
            if (auto r = reply_(std::string(buf, static_cast<size_t>(n))))
                sendto(fd_, r->data(), r->size(), 0, reinterpret_cast<sockaddr*>(&from), len);
        }
    }
    Reply reply_;
    int fd_ = -1, port_ = 0;
    std::atomic<bool> stop_{false};
    std::atomic<int> requests_{0};
    std::thread thread_;
};

// Runs `serve(fd, stop)` for each accepted connection, one at a time.
class TcpServer {
public:
    using Serve = std::function<void(int fd, const std::atomic<bool>& stop)>;
    explicit TcpServer(Serve serve) : serve_(std::move(serve)) {
        fd_ = BindLoopback(SOCK_STREAM, port_);
        listen(fd_, 8);
        thread_ = std::thread([this] { Loop(); });
    }
    ~TcpServer() {
        stop_ = true;
        thread_.join();
        close(fd_);
    }
    int port() const { return port_; }

private:
    void Loop() {
        while (!stop_) {
            pollfd p{fd_, POLLIN, 0};
            if (poll(&p, 1, 50) <= 0) continue;
            const int c = accept(fd_, nullptr, nullptr);
            if (c < 0) continue;
            serve_(c, stop_);
            close(c);
        }
    }
    Serve serve_;
    int fd_ = -1, port_ = 0;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

} // namespace velmora::test
