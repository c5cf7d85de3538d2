#pragma once
// A TCP client connection with timeouts, optionally over TLS.
//
//   TcpClient c;
//   c.SetHost("mail.example"); c.SetPort(25);
//   c.SetConnectTimeout(row timeout); c.SetReadTimeout(row read_timeout);  // <= 0 -> 5000 ms
//   c.SetTls(std::make_unique<TlsLayer>(settings));   // optional: TLS right after connect
//   c.Connect();                    // every address the name resolves to, IPv4 and IPv6
//   c.WriteLine("EHLO me");         // + CR LF
//   std::string l = c.ReadLine();   // one line without its CR LF
//   c.Close();                      // also done by the destructor
//
// Every operation is bounded: Connect by the connection timeout (name resolution aside),
// each ReadLine / Write / Read by the read timeout unless an explicit Deadline is given.
// Failures are thrown as NetError:
//   empty host -> NoHost, port 0 -> NoPort, port outside 1..65535 -> Other,
//   no resolution / refused / unreachable -> Socket, connect timeout -> ConnectTimeout,
//   read or write timeout -> ReadTimeout ("Read timed out."), peer closed -> Closed,
//   TLS failures -> Tls.
// SIGPIPE is ignored process-wide once the first client is made (writes to a closed peer
// must come back as errors, not end the program).
#include "NetError.h"
#include "TlsLayer.h"

#include <memory>
#include <string>
#include <string_view>

namespace velmora::net {

class TcpClient {
public:
    TcpClient();
    virtual ~TcpClient();
    TcpClient(const TcpClient&) = delete;
    TcpClient& operator=(const TcpClient&) = delete;

    void SetHost(std::string host) { host_ = std::move(host); }
    void SetPort(long long port) { port_ = port; }
    const std::string& Host() const { return host_; }
    long long Port() const { return port_; }
    void SetConnectTimeout(long long ms) { connectTimeout_ = EffectiveTimeout(ms); }
    void SetReadTimeout(long long ms) { readTimeout_ = EffectiveTimeout(ms); }
    long long ConnectTimeout() const { return connectTimeout_; }
    long long ReadTimeout() const { return readTimeout_; }

    // Installs a TLS layer whose handshake runs right after every TCP connect.
    void SetTls(std::unique_ptr<TlsLayer> tls) { tls_ = std::move(tls); }
    TlsLayer* Tls() const { return tls_.get(); }

    // Connects to Host():Port() within the connection timeout (then the TLS handshake, also
    // bounded by the connection timeout, when a layer is installed). Closes any previous
    // connection first.
    void Connect();
    void Connect(const std::string& host, long long port) {
        SetHost(host);
        SetPort(port);
        Connect();
    }
    // Upgrades the established connection to TLS (explicit TLS, e.g. after STARTTLS), with
    // the read timeout as the bound. The layer is kept and used for every later read/write.
    void StartTls(std::unique_ptr<TlsLayer> tls);

    bool Connected() const { return fd_ >= 0; }
    bool Secure() const { return tls_ && tls_->Active(); }
    int Fd() const { return fd_; }

    // Sends all of `data` within the read timeout / the deadline.
    void Write(std::string_view data);
    void Write(std::string_view data, const Deadline& deadline);
    // `line` + CR LF.
    void WriteLine(std::string_view line) { Write(std::string(line) + "\r\n"); }

    // One line, up to LF, without the trailing CR LF / LF. The whole line must arrive within
    // the read timeout / the deadline. A peer that closes after a last line without LF gives
    // that line; a peer that closes with nothing buffered raises Closed.
    std::string ReadLine();
    std::string ReadLine(const Deadline& deadline);
    // At least one byte (buffered data first), at most `max`.
    std::string ReadSome(size_t max, const Deadline& deadline);
    // Exactly `count` bytes.
    std::string ReadExact(size_t count, const Deadline& deadline);
    Deadline ReadDeadline() const { return Deadline::In(readTimeout_); }

    // Plain disconnect (a TLS close_notify is sent when TLS is active). Never throws.
    void Close() noexcept;

    // Longest line ReadLine accepts before it raises Protocol.
    static constexpr size_t kMaxLine = 1 << 20;

private:
    void ConnectSocket(const Deadline& deadline);
    size_t RawRead(char* buf, size_t size, const Deadline& deadline);
    bool FillBuffer(const Deadline& deadline);  // false when the peer has closed

    std::string host_;
    long long port_ = 0;
    long long connectTimeout_ = 5000;
    long long readTimeout_ = 5000;
    std::unique_ptr<TlsLayer> tls_;
    int fd_ = -1;
    std::string buffer_;
};

// Validates a host and port the way Connect does (NoHost, NoPort, range) without connecting.
void CheckTarget(const std::string& host, long long port);

} // namespace velmora::net
