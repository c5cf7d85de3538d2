#include "TcpClient.h"

#include "Resolver.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace velmora::net {

namespace {

void IgnoreSigpipe() {
    static std::once_flag once;
    std::call_once(once, [] { std::signal(SIGPIPE, SIG_IGN); });
}

} // namespace

void CheckTarget(const std::string& host, long long port) {
    if (host.empty()) {
        throw NetError(NetErrorKind::NoHost, "Host/IP required.");
    }
    if (port == 0) {
        throw NetError(NetErrorKind::NoPort, "Port required.");
    }
    if (port < 0 || port > 65535) {
        throw NetError(NetErrorKind::Other,
                       "Port " + std::to_string(port) + " is out of range (1 to 65535).");
    }
}

TcpClient::TcpClient() { IgnoreSigpipe(); }

TcpClient::~TcpClient() { Close(); }

void TcpClient::Close() noexcept {
    if (tls_) {
        tls_->Shutdown();
    }
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    buffer_.clear();
}

void TcpClient::ConnectSocket(const Deadline& deadline) {
    CheckTarget(host_, port_);
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    const std::string service = std::to_string(port_);
    const Resolved resolved = Resolved::Lookup(host_, service, hints, deadline);
    if (!resolved.Ok()) {
        throw NetError(NetErrorKind::Socket, "Host " + host_ + " cannot be resolved: " + resolved.Error());
    }
    const addrinfo* list = resolved.List();

    bool timedOut = false;
    int lastErr = 0;
    for (const addrinfo* ai = list; ai; ai = ai->ai_next) {
        if (deadline.Expired()) {
            timedOut = true;
            break;
        }
        timedOut = false;
        const int fd = ::socket(ai->ai_family, ai->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, ai->ai_protocol);
        if (fd < 0) {
            lastErr = errno;
            continue;
        }
        int err = 0;
        if (::connect(fd, ai->ai_addr, ai->ai_addrlen) != 0) {
            err = errno;
            if (err == EINPROGRESS) {
                pollfd p{fd, POLLOUT, 0};
                int r;
                do {
                    r = ::poll(&p, 1, deadline.RemainingMs());
                } while (r < 0 && errno == EINTR && !deadline.Expired());
                if (r == 0 || (r < 0 && errno == EINTR)) {
                    ::close(fd);
                    timedOut = true;
                    continue;
                }
                if (r < 0) {
                    err = errno;
                } else {
                    socklen_t len = sizeof err;
                    if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &len) != 0) {
                        err = errno;
                    }
                }
            }
        }
        if (err != 0) {
            ::close(fd);
            lastErr = err;
            continue;
        }
        const int one = 1;
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        fd_ = fd;
        return;
    }
    // The outcome of the last address tried decides what is reported.
    if (timedOut) {
        throw NetError(NetErrorKind::ConnectTimeout,
                       "Connect to " + host_ + ":" + service + " timed out.");
    }
    throw NetError(NetErrorKind::Socket, "Connect to " + host_ + ":" + service + " failed: " +
                                             ErrnoText(lastErr ? lastErr : ECONNREFUSED));
}

void TcpClient::Connect() {
    Close();
    const Deadline deadline = Deadline::In(connectTimeout_);
    ConnectSocket(deadline);
    if (tls_) {
        try {
            tls_->Handshake(fd_, host_, deadline);
        } catch (...) {
            Close();
            throw;
        }
    }
}

void TcpClient::StartTls(std::unique_ptr<TlsLayer> tls) {
    if (fd_ < 0) {
        throw NetError(NetErrorKind::Closed, "Not connected.");
    }
    tls_ = std::move(tls);
    buffer_.clear();
    tls_->Handshake(fd_, host_, ReadDeadline());
}

void TcpClient::Write(std::string_view data) { Write(data, ReadDeadline()); }

void TcpClient::Write(std::string_view data, const Deadline& deadline) {
    if (fd_ < 0) {
        throw NetError(NetErrorKind::Closed, "Not connected.");
    }
    if (tls_ && tls_->Active()) {
        tls_->Write(data, deadline);
        return;
    }
    while (!data.empty()) {
        const ssize_t n = ::send(fd_, data.data(), data.size(), MSG_NOSIGNAL);
        if (n > 0) {
            data.remove_prefix(static_cast<size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            pollfd p{fd_, POLLOUT, 0};
            const int ms = deadline.RemainingMs();
            if (ms <= 0 || ::poll(&p, 1, ms) == 0) {
                throw NetError(NetErrorKind::ReadTimeout, "Write timed out.");
            }
            continue;
        }
        if (errno == EPIPE || errno == ECONNRESET) {
            throw NetError(NetErrorKind::Closed, "Connection closed by peer.");
        }
        throw NetError(NetErrorKind::Socket, "Send failed: " + ErrnoText(errno));
    }
}

size_t TcpClient::RawRead(char* buf, size_t size, const Deadline& deadline) {
    if (fd_ < 0) {
        throw NetError(NetErrorKind::Closed, "Not connected.");
    }
    if (tls_ && tls_->Active()) {
        try {
            return tls_->Read(buf, size, deadline);
        } catch (const NetError& e) {
            if (e.kind() == NetErrorKind::Closed) {
                return 0;
            }
            throw;
        }
    }
    for (;;) {
        const ssize_t n = ::recv(fd_, buf, size, 0);
        if (n >= 0) {
            return static_cast<size_t>(n);
        }
        if (errno == EINTR) {
            continue;
        }
        if (errno == EAGAIN || errno == EWOULDBLOCK) {
            pollfd p{fd_, POLLIN, 0};
            const int ms = deadline.RemainingMs();
            if (ms <= 0) {
                throw NetError(NetErrorKind::ReadTimeout, "Read timed out.");
            }
            if (::poll(&p, 1, ms) < 0 && errno != EINTR) {
                throw NetError(NetErrorKind::Socket, "poll: " + ErrnoText(errno));
            }
            continue;
        }
        if (errno == ECONNRESET) {
            throw NetError(NetErrorKind::Closed, "Connection reset by peer.");
        }
        throw NetError(NetErrorKind::Socket, "Receive failed: " + ErrnoText(errno));
    }
}

bool TcpClient::FillBuffer(const Deadline& deadline) {
    char buf[16384];
    const size_t n = RawRead(buf, sizeof buf, deadline);
    if (n == 0) {
        return false;
    }
    buffer_.append(buf, n);
    return true;
}

std::string TcpClient::ReadLine() { return ReadLine(ReadDeadline()); }

std::string TcpClient::ReadLine(const Deadline& deadline) {
    size_t scanned = 0;
    for (;;) {
        const size_t lf = buffer_.find('\n', scanned);
        if (lf != std::string::npos) {
            std::string line = buffer_.substr(0, lf);
            buffer_.erase(0, lf + 1);
            if (!line.empty() && line.back() == '\r') {
                line.pop_back();
            }
            return line;
        }
        scanned = buffer_.size();
        if (buffer_.size() > kMaxLine) {
            throw NetError(NetErrorKind::Protocol, "Reply line too long.");
        }
        if (!FillBuffer(deadline)) {
            if (buffer_.empty()) {
                throw NetError(NetErrorKind::Closed, "Connection closed by peer.");
            }
            std::string line;
            line.swap(buffer_);
            if (!line.empty() && line.back() == '\r') {
                line.pop_back();
            }
            return line;
        }
    }
}

std::string TcpClient::ReadSome(size_t max, const Deadline& deadline) {
    if (buffer_.empty() && !FillBuffer(deadline)) {
        throw NetError(NetErrorKind::Closed, "Connection closed by peer.");
    }
    const size_t n = std::min(max, buffer_.size());
    std::string out = buffer_.substr(0, n);
    buffer_.erase(0, n);
    return out;
}

std::string TcpClient::ReadExact(size_t count, const Deadline& deadline) {
    while (buffer_.size() < count) {
        if (!FillBuffer(deadline)) {
            throw NetError(NetErrorKind::Closed, "Connection closed by peer.");
        }
    }
    std::string out = buffer_.substr(0, count);
    buffer_.erase(0, count);
    return out;
}

} // namespace velmora::net
