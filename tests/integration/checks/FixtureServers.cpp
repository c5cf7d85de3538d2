#include "FixtureServers.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <netinet/in.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace velmora::test {

namespace {

int BoundSocket(int type, int& port) {
    const int fd = ::socket(AF_INET, type | SOCK_CLOEXEC, 0);
    if (fd < 0) throw std::runtime_error("socket");
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) throw std::runtime_error("bind");
    socklen_t len = sizeof a;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    port = ntohs(a.sin_port);
    return fd;
}

// Waits until fd is readable, the wake pipe fires or `ms` passes; true when readable.
bool WaitReadable(int fd, int wake, int ms) {
    pollfd p[2] = {{fd, POLLIN, 0}, {wake, POLLIN, 0}};
    const int r = ::poll(p, wake >= 0 ? 2 : 1, ms);
    return r > 0 && (p[0].revents & (POLLIN | POLLHUP | POLLERR)) && !(wake >= 0 && p[1].revents);
}

// Waits for the client to close (or the server to stop).
void Hold(int fd, const std::atomic<bool>& stopping) {
    char buf[4096];
    while (!stopping.load()) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 50) > 0) {
            const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
            if (n <= 0) return;
        }
    }
}

} // namespace

FixtureTcpServer::FixtureTcpServer(Handler handler) : handler_(std::move(handler)) {
    listenFd_ = BoundSocket(SOCK_STREAM, port_);
    ::listen(listenFd_, 64);
    if (::pipe2(wakeFd_, O_CLOEXEC) != 0) throw std::runtime_error("pipe");
    loop_ = std::thread([this] { Loop(); });
}

FixtureTcpServer::~FixtureTcpServer() {
    stopping_ = true;
    (void)!::write(wakeFd_[1], "x", 1);
    loop_.join();
    for (auto& t : workers_) t.join();
    ::close(listenFd_);
    ::close(wakeFd_[0]);
    ::close(wakeFd_[1]);
}

void FixtureTcpServer::Loop() {
    while (!stopping_) {
        if (!WaitReadable(listenFd_, wakeFd_[0], 1000)) continue;
        const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) continue;
        ++accepted_;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            received_.clear();
        }
        workers_.emplace_back([this, fd] {
            handler_(fd, stopping_);
            ::close(fd);
        });
    }
}

std::string FixtureTcpServer::Received() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return received_;
}

FixtureTcpServer::Handler FixtureTcpServer::SendAndHold(std::string text) {
    return [text](int fd, const std::atomic<bool>& stopping) {
        (void)!::send(fd, text.data(), text.size(), MSG_NOSIGNAL);
        Hold(fd, stopping);
    };
}

FixtureTcpServer::Handler FixtureTcpServer::Silent() {
    return [](int fd, const std::atomic<bool>& stopping) { Hold(fd, stopping); };
}

FixtureTcpServer::Handler FixtureTcpServer::CloseAtOnce() {
    return [](int, const std::atomic<bool>&) {};
}

FixtureTcpServer::Handler FixtureTcpServer::AnswerLine(std::string reply) {
    return [this, reply](int fd, const std::atomic<bool>& stopping) {
        std::string got;
        char c;
        while (!stopping.load() && got.find('\n') == std::string::npos) {
            pollfd p{fd, POLLIN, 0};
            if (::poll(&p, 1, 50) <= 0) continue;
            if (::recv(fd, &c, 1, 0) <= 0) return;
            got += c;
            std::lock_guard<std::mutex> lock(mutex_);
            received_ = got;
        }
        (void)!::send(fd, reply.data(), reply.size(), MSG_NOSIGNAL);
        Hold(fd, stopping);
    };
}

FullBacklogServer::FullBacklogServer() {
    listenFd_ = BoundSocket(SOCK_STREAM, port_);
    ::listen(listenFd_, 0);
    // With a backlog of 0 the queue takes one connection; fill it (and a spare) so that the
    // system drops every further SYN.
    for (int i = 0; i < 3; ++i) {
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        a.sin_port = htons(static_cast<uint16_t>(port_));
        ::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
        fillers_.push_back(fd);
    }
    ::usleep(100000);
}

FullBacklogServer::~FullBacklogServer() {
    for (int fd : fillers_) ::close(fd);
    ::close(listenFd_);
}

UdpEchoServer::UdpEchoServer(std::string replyPrefix, bool silent)
    : prefix_(std::move(replyPrefix)), silent_(silent) {
    fd_ = BoundSocket(SOCK_DGRAM, port_);
    if (::pipe2(wakeFd_, O_CLOEXEC) != 0) throw std::runtime_error("pipe");
    thread_ = std::thread([this] {
        char buf[65536];
        for (;;) {
            pollfd p[2] = {{fd_, POLLIN, 0}, {wakeFd_[0], POLLIN, 0}};
            if (::poll(p, 2, 1000) <= 0) continue;
            if (p[1].revents) return;
            sockaddr_storage from{};
            socklen_t len = sizeof from;
            const ssize_t n = ::recvfrom(fd_, buf, sizeof buf, 0, reinterpret_cast<sockaddr*>(&from), &len);
            if (n < 0) continue;
            {
                std::lock_guard<std::mutex> lock(mutex_);
                last_.assign(buf, static_cast<size_t>(n));
            }
            if (silent_) continue;
            const std::string reply = prefix_ + std::string(buf, static_cast<size_t>(n));
            ::sendto(fd_, reply.data(), reply.size(), 0, reinterpret_cast<sockaddr*>(&from), len);
        }
    });
}

UdpEchoServer::~UdpEchoServer() {
    (void)!::write(wakeFd_[1], "x", 1);
    thread_.join();
    ::close(fd_);
    ::close(wakeFd_[0]);
    ::close(wakeFd_[1]);
}

std::string UdpEchoServer::LastDatagram() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return last_;
}

int ClosedUdpPort() {
    int port = 0;
    ::close(BoundSocket(SOCK_DGRAM, port));
    return port;
}

int ClosedTcpPort() {
    int port = 0;
    ::close(BoundSocket(SOCK_STREAM, port));
    return port;
}

void MakeSelfSignedCert(const std::string& dir) {
    const std::string cmd =
        "openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=localhost "
        "-addext subjectAltName=DNS:localhost,IP:127.0.0.1 -keyout '" + dir + "/key.pem' -out '" +
        dir + "/cert.pem' >/dev/null 2>&1";
    if (std::system(cmd.c_str()) != 0) throw std::runtime_error("openssl req failed");
}

namespace {

void* MakeServerContext(const std::string& cert, const std::string& key) {
    SSL_CTX* ctx = SSL_CTX_new(TLS_server_method());
    if (!ctx || SSL_CTX_use_certificate_chain_file(ctx, cert.c_str()) != 1 ||
        SSL_CTX_use_PrivateKey_file(ctx, key.c_str(), SSL_FILETYPE_PEM) != 1) {
        throw std::runtime_error("TLS fixture context");
    }
    return ctx;
}

} // namespace

TlsFixtureServer::TlsFixtureServer(const std::string& certFile, const std::string& keyFile, std::string banner)
    : ctx_{MakeServerContext(certFile, keyFile)}, banner_(std::move(banner)),
      server_([this](int fd, const std::atomic<bool>& stopping) {
          SSL* ssl = SSL_new(static_cast<SSL_CTX*>(ctx_.ctx));
          SSL_set_fd(ssl, fd);
          timeval tv{5, 0};
          ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
          if (SSL_accept(ssl) == 1) {
              SSL_write(ssl, banner_.data(), static_cast<int>(banner_.size()));
              std::string line;
              char c;
              while (!stopping.load() && SSL_read(ssl, &c, 1) == 1) {
                  if (c != '\n') {
                      line += c;
                      continue;
                  }
                  if (!line.empty() && line.back() == '\r') line.pop_back();
                  const std::string reply = "250 " + line + "\r\n";
                  SSL_write(ssl, reply.data(), static_cast<int>(reply.size()));
                  line.clear();
              }
          }
          SSL_free(ssl);
      }) {}

TlsFixtureServer::~TlsFixtureServer() = default;

TlsFixtureServer::Context::~Context() { SSL_CTX_free(static_cast<SSL_CTX*>(ctx)); }

} // namespace velmora::test
