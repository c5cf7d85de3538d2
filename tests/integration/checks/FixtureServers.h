#pragma once
// Small misbehaving servers for the network tests, on 127.0.0.1 and a port the system picks.
// Real daemons cover the protocols; these cover what no daemon does on purpose: a banner
// and silence, silence from the start, closing at once, a multi-line reply, a full accept
// queue (connect timeout), a UDP echo and a UDP port nobody listens on.
#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace velmora::test {

// Accepts connections on 127.0.0.1 and runs `handler(fd)` for each on its own thread; the
// connection is closed when the handler returns. Stops and joins everything on destruction.
class FixtureTcpServer {
public:
    using Handler = std::function<void(int fd, const std::atomic<bool>& stopping)>;
    explicit FixtureTcpServer(Handler handler);
    ~FixtureTcpServer();
    int Port() const { return port_; }
    int Accepted() const { return accepted_.load(); }
    // The bytes received on the last connection so far.
    std::string Received() const;

    // Handlers for the usual cases.
    static Handler SendAndHold(std::string text);  // sends text, then waits for the client to close
    static Handler Silent();                      // never sends anything
    static Handler CloseAtOnce();
    // Reads one line, records it, answers with `reply`, then waits for the client to close.
    Handler AnswerLine(std::string reply);

private:
    void Loop();
    int listenFd_ = -1;
    int port_ = 0;
    int wakeFd_[2] = {-1, -1};
    Handler handler_;
    std::atomic<bool> stopping_{false};
    std::atomic<int> accepted_{0};
    std::thread loop_;
    std::vector<std::thread> workers_;
    mutable std::mutex mutex_;
    std::string received_;
};

// A listening socket that never accepts, with its accept queue filled, so a further connect
// never completes: the connect-timeout path on loopback.
class FullBacklogServer {
public:
    FullBacklogServer();
    ~FullBacklogServer();
    int Port() const { return port_; }

private:
    int listenFd_ = -1;
    int port_ = 0;
    std::vector<int> fillers_;
};

// Echoes every datagram (optionally with a prefix) on 127.0.0.1.
class UdpEchoServer {
public:
    explicit UdpEchoServer(std::string replyPrefix = "", bool silent = false);
    ~UdpEchoServer();
    int Port() const { return port_; }
    std::string LastDatagram() const;

private:
    int fd_ = -1;
    int port_ = 0;
    int wakeFd_[2] = {-1, -1};
    std::string prefix_;
    bool silent_;
    std::thread thread_;
    mutable std::mutex mutex_;
    std::string last_;
};

// A UDP port on 127.0.0.1 that nobody listens on (ICMP port unreachable).
int ClosedUdpPort();
// A TCP port on 127.0.0.1 that nobody listens on (connection refused).
int ClosedTcpPort();

// Writes a self-signed certificate and key for "localhost" / 127.0.0.1 into dir
// (cert.pem, key.pem) with the openssl command line tool.
void MakeSelfSignedCert(const std::string& dir);

// A TLS server on 127.0.0.1 with the given certificate: after the handshake it sends
// `banner` and then answers each line with "250 " + line.
class TlsFixtureServer {
public:
    TlsFixtureServer(const std::string& certFile, const std::string& keyFile, std::string banner);
    ~TlsFixtureServer();
    int Port() const { return server_.Port(); }

private:
    struct Context {
        void* ctx;
        ~Context();
    };
    Context ctx_;  // outlives server_ and its handlers (members are destroyed in reverse)
    std::string banner_;
    FixtureTcpServer server_;
};

} // namespace velmora::test
