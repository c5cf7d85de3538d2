#include "UdpClient.h"

#include "Resolver.h"

#include "TcpClient.h"

#include <cerrno>
#include <memory>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace velmora::net {

void UdpClient::Close() noexcept {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

void UdpClient::Fail(const char* what, int err) {
    std::string text = std::string(what) + ": " + ErrnoText(err);
    if (err == ECONNREFUSED) {
        text += " (port unreachable)";
    }
    throw NetError(NetErrorKind::Socket, text + ".");
}

void UdpClient::Open(const std::string& host, long long port, const Deadline& deadline) {
    Close();
    CheckTarget(host, port);
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_DGRAM;
    hints.ai_protocol = IPPROTO_UDP;
    const std::string service = std::to_string(port);
    const Resolved resolved = Resolved::Lookup(host, service, hints, deadline);
    if (!resolved.Ok()) {
        throw NetError(NetErrorKind::Socket, "Host " + host + " cannot be resolved: " + resolved.Error());
    }
    int lastErr = 0;
    for (const addrinfo* ai = resolved.List(); ai; ai = ai->ai_next) {
        const int fd = ::socket(ai->ai_family, ai->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, ai->ai_protocol);
        if (fd < 0) {
            lastErr = errno;
            continue;
        }
        if (::connect(fd, ai->ai_addr, ai->ai_addrlen) != 0) {
            lastErr = errno;
            ::close(fd);
            continue;
        }
        fd_ = fd;
        return;
    }
    Fail(("Socket to " + host + ":" + service + " failed").c_str(), lastErr ? lastErr : EADDRNOTAVAIL);
}

void UdpClient::Send(std::string_view datagram) {
    if (fd_ < 0) {
        throw NetError(NetErrorKind::Closed, "Not open.");
    }
    for (;;) {
        const ssize_t n = ::send(fd_, datagram.data(), datagram.size(), MSG_NOSIGNAL);
        if (n >= 0) {
            return;
        }
        if (errno == EINTR) {
            continue;
        }
        if (errno == EAGAIN || errno == EWOULDBLOCK) {
            pollfd p{fd_, POLLOUT, 0};
            ::poll(&p, 1, 1000);
            continue;
        }
        Fail("Send failed", errno);
    }
}

std::optional<std::string> UdpClient::Receive(size_t maxBytes, const Deadline& deadline) {
    if (fd_ < 0) {
        throw NetError(NetErrorKind::Closed, "Not open.");
    }
    std::vector<char> buf(maxBytes > 0 ? maxBytes : 1);
    for (;;) {
        const ssize_t n = ::recv(fd_, buf.data(), maxBytes, 0);
        if (n >= 0) {
            return std::string(buf.data(), static_cast<size_t>(n));
        }
        if (errno == EINTR) {
            continue;
        }
        if (errno != EAGAIN && errno != EWOULDBLOCK) {
            Fail("Receive failed", errno);
        }
        const int ms = deadline.RemainingMs();
        if (ms <= 0) {
            return std::nullopt;
        }
        pollfd p{fd_, POLLIN, 0};
        if (::poll(&p, 1, ms) < 0 && errno != EINTR) {
            Fail("poll", errno);
        }
    }
}

} // namespace velmora::net
