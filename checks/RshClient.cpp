#include "RshClient.h"

#include "net/Resolver.h"
#include "net/TcpClient.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <pwd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <mutex>
#include <vector>

namespace velmora {

using net::Deadline;
using net::NetError;
using net::NetErrorKind;

namespace {

constexpr int kLowPort = 512, kHighPort = 1023;

void SetNonBlocking(int fd) { fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK); }

void SetPort(sockaddr_storage& ss, int port) {
    if (ss.ss_family == AF_INET6)
        reinterpret_cast<sockaddr_in6&>(ss).sin6_port = htons(static_cast<uint16_t>(port));
    else
        reinterpret_cast<sockaddr_in&>(ss).sin_port = htons(static_cast<uint16_t>(port));
}

socklen_t Len(const sockaddr_storage& ss) {
    return ss.ss_family == AF_INET6 ? sizeof(sockaddr_in6) : sizeof(sockaddr_in);
}

[[noreturn]] void ReservedPortError(int err) {
    if (err == EACCES || err == EPERM)
        throw NetError(NetErrorKind::Socket,
                       "A reserved local port (512-1023) needs root or CAP_NET_BIND_SERVICE: " + net::ErrnoText(err));
    throw NetError(NetErrorKind::Socket, "No free reserved local port (512-1023): " + net::ErrnoText(err));
}

// Binds `fd` to `local` at the highest free port of the reserved range, starting below `below`.
// Returns the port, or throws on a permission error / when none is free.
int BindReserved(int fd, sockaddr_storage local, int below = kHighPort + 1) {
    int lastErr = EADDRINUSE;
    for (int p = below - 1; p >= kLowPort; --p) {
        SetPort(local, p);
        if (bind(fd, reinterpret_cast<sockaddr*>(&local), Len(local)) == 0) return p;
        lastErr = errno;
        if (errno != EADDRINUSE) break;
    }
    ReservedPortError(lastErr);
}

// Error channel: accepts the server's connection and collects its text until it closes or
// the channel is stopped.
struct ErrorChannel {
    int listenFd = -1;
    std::atomic<bool> stop{false};
    std::atomic<bool> done{false};
    std::string text;
    std::string failure;
    std::thread thread;

    void Serve() {
        int fd = -1;
        while (!stop) {
            pollfd p{listenFd, POLLIN, 0};
            if (poll(&p, 1, 50) > 0) {
                fd = accept(listenFd, nullptr, nullptr);
                if (fd >= 0) break;
            }
        }
        if (fd >= 0) {
            char buf[4096];
            while (!stop) {
                pollfd p{fd, POLLIN, 0};
                const int n = poll(&p, 1, 50);
                if (n <= 0) continue;
                const ssize_t got = read(fd, buf, sizeof buf);
                if (got <= 0) break;
                if (text.size() < RshClient::kMaxText)
                    text.append(buf, std::min<size_t>(static_cast<size_t>(got), RshClient::kMaxText - text.size()));
            }
            close(fd);
        }
        done = true;
    }
};

} // namespace

std::string RshRequest(int errorPort, std::string_view clientUser, std::string_view hostUser,
                       std::string_view command) {
    std::string r = std::to_string(errorPort);
    r += '\0';
    r += clientUser;
    r += '\0';
    r += hostUser;
    r += '\0';
    r += command;
    r += '\0';
    return r;
}

std::string CurrentUserName() {
    std::vector<char> buf(16384);
    passwd pw{};
    passwd* found = nullptr;
    if (getpwuid_r(geteuid(), &pw, buf.data(), buf.size(), &found) == 0 && found) return found->pw_name;
    if (const char* u = std::getenv("USER")) return u;
    return {};
}

RshClient::~RshClient() { Close(); }

void RshClient::Close() noexcept {
    if (tls_) tls_->Shutdown();
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

void RshClient::Connect() {
    Close();
    net::CheckTarget(host_, port_);
    static std::once_flag sigpipe;
    std::call_once(sigpipe, [] { std::signal(SIGPIPE, SIG_IGN); });
    const Deadline deadline = Deadline::In(connectTimeout_);

    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    const std::string service = std::to_string(port_);
    const net::Resolved resolved = net::Resolved::Lookup(host_, service, hints, deadline);
    if (!resolved.Ok()) throw NetError(NetErrorKind::Socket, "Cannot resolve " + host_ + ": " + resolved.Error());

    int lastErr = ECONNREFUSED;
    bool timedOut = false;
    for (const addrinfo* ai = resolved.List(); ai; ai = ai->ai_next) {
        sockaddr_storage local{};
        local.ss_family = static_cast<sa_family_t>(ai->ai_family);
        int below = kHighPort + 1;
        // A port whose earlier connection to the same peer still lingers cannot connect
        // again (EADDRNOTAVAIL): then the next lower port is tried.
        while (true) {
            const int fd = socket(ai->ai_family, SOCK_STREAM | SOCK_CLOEXEC, 0);
            if (fd < 0) throw NetError(NetErrorKind::Socket, "socket: " + net::ErrnoText(errno));
            const int one = 1;
            setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
            int port;
            try {
                port = BindReserved(fd, local, below);
            } catch (...) {
                ::close(fd);
                throw;
            }
            SetNonBlocking(fd);
            int r = connect(fd, ai->ai_addr, ai->ai_addrlen);
            if (r != 0 && errno == EADDRNOTAVAIL && port > kLowPort) {
                ::close(fd);
                below = port;
                continue;
            }
            if (r != 0 && errno == EINPROGRESS) {
                pollfd p{fd, POLLOUT, 0};
                const int n = poll(&p, 1, deadline.RemainingMs());
                if (n == 0) {
                    ::close(fd);
                    timedOut = true;
                    break;
                }
                int err = 0;
                socklen_t len = sizeof err;
                getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &len);
                r = err == 0 ? 0 : -1;
                errno = err;
            }
            if (r == 0) {
                fd_ = fd;
                break;
            }
            lastErr = errno;
            ::close(fd);
            break;
        }
        if (fd_ >= 0 || timedOut) break;
    }
    if (fd_ < 0) {
        if (timedOut) throw NetError(NetErrorKind::ConnectTimeout, "Connect timed out.");
        throw NetError(NetErrorKind::Socket, "connect: " + net::ErrnoText(lastErr));
    }
    if (tls_) {
        try {
            tls_->Handshake(fd_, host_, deadline);
        } catch (...) {
            Close();
            throw;
        }
    }
}

void RshClient::Write(std::string_view data) {
    const Deadline deadline = Deadline::In(readTimeout_);
    if (tls_ && tls_->Active()) {
        tls_->Write(data, deadline);
        return;
    }
    while (!data.empty()) {
        const ssize_t n = send(fd_, data.data(), data.size(), MSG_NOSIGNAL);
        if (n > 0) {
            data.remove_prefix(static_cast<size_t>(n));
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            pollfd p{fd_, POLLOUT, 0};
            if (poll(&p, 1, deadline.RemainingMs()) == 0) throw NetError(NetErrorKind::ReadTimeout, "Write timed out.");
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        throw NetError(NetErrorKind::Socket, "send: " + net::ErrnoText(errno));
    }
}

size_t RshClient::Read(char* buf, size_t size) {
    const Deadline deadline = Deadline::In(readTimeout_);
    if (tls_ && tls_->Active()) {
        try {
            return tls_->Read(buf, size, deadline);
        } catch (const NetError& e) {
            if (e.kind() == NetErrorKind::Closed) return 0;
            throw;
        }
    }
    while (true) {
        const ssize_t n = recv(fd_, buf, size, 0);
        if (n >= 0) return static_cast<size_t>(n);
        if (errno == EINTR) continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK) throw NetError(NetErrorKind::Socket, "recv: " + net::ErrnoText(errno));
        pollfd p{fd_, POLLIN, 0};
        if (poll(&p, 1, deadline.RemainingMs()) == 0) throw NetError(NetErrorKind::ReadTimeout, "Read timed out.");
    }
}

RshClient::Result RshClient::Run(std::string_view clientUser, std::string_view hostUser, std::string_view command) {
    if (fd_ < 0) throw NetError(NetErrorKind::Other, "Not connected.");
    sockaddr_storage local{};
    socklen_t len = sizeof local;
    if (getsockname(fd_, reinterpret_cast<sockaddr*>(&local), &len) != 0)
        throw NetError(NetErrorKind::Socket, "getsockname: " + net::ErrnoText(errno));

    ErrorChannel channel;
    channel.listenFd = socket(local.ss_family, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (channel.listenFd < 0) throw NetError(NetErrorKind::Socket, "socket: " + net::ErrnoText(errno));
    struct ListenGuard {
        ErrorChannel& c;
        ~ListenGuard() {
            c.stop = true;
            if (c.thread.joinable()) c.thread.join();
            ::close(c.listenFd);
        }
    } guard{channel};
    const int one = 1;
    setsockopt(channel.listenFd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    const int errPort = BindReserved(channel.listenFd, local);
    if (listen(channel.listenFd, 1) != 0) throw NetError(NetErrorKind::Socket, "listen: " + net::ErrnoText(errno));
    channel.thread = std::thread([&channel] { channel.Serve(); });

    Write(RshRequest(errPort, clientUser, hostUser, command));

    Result result;
    char first = 0;
    if (Read(&first, 1) == 0) throw NetError(NetErrorKind::Closed, "The server closed the connection.");
    result.accepted = first == '\0';
    char buf[8192];
    while (true) {
        const size_t n = Read(buf, sizeof buf);
        if (n == 0) break;
        result.output.append(buf, std::min(n, kMaxText - result.output.size()));
        if (result.output.size() >= kMaxText) break;  // enough: the rest is not read
    }
    // The server closes its error channel as the command ends; give it up to one read
    // timeout to do so before stopping the channel.
    const Deadline grace = Deadline::In(readTimeout_);
    while (!channel.done && !grace.Expired()) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    channel.stop = true;
    channel.thread.join();
    result.errorText = std::move(channel.text);
    return result;
}

} // namespace velmora
