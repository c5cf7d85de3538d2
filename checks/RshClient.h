#pragma once
// The remote-shell client of the Rsh check (BSD rsh): a TCP connection from a reserved local
// port (512..1023), optionally over TLS, the request bytes, and the error channel that the
// server opens back to a second reserved port of ours.
//
// Binding a reserved port needs root or CAP_NET_BIND_SERVICE; without them Connect fails
// with a Socket error that says so.
#include "net/NetError.h"
#include "net/TlsLayer.h"

#include <atomic>
#include <memory>
#include <string>
#include <string_view>
#include <thread>

namespace velmora {

// The request after connecting: error-channel port as decimal digits, then the client user,
// the server user and the command, each followed by a NUL byte.
std::string RshRequest(int errorPort, std::string_view clientUser, std::string_view hostUser,
                       std::string_view command);

// The operating-system name of the user the program runs as ("" when unknown).
std::string CurrentUserName();

class RshClient {
public:
    // Largest output / error text kept. Output beyond it is not read (the connection is
    // closed); error-channel text beyond it is read and dropped.
    static constexpr size_t kMaxText = 1 << 20;

    RshClient() = default;
    ~RshClient();
    RshClient(const RshClient&) = delete;
    RshClient& operator=(const RshClient&) = delete;

    void SetHost(std::string host) { host_ = std::move(host); }
    void SetPort(long long port) { port_ = port; }
    void SetConnectTimeout(long long ms) { connectTimeout_ = net::EffectiveTimeout(ms); }
    void SetReadTimeout(long long ms) { readTimeout_ = net::EffectiveTimeout(ms); }
    void SetTls(std::unique_ptr<net::TlsLayer> tls) { tls_ = std::move(tls); }

    void Connect();
    bool Connected() const { return fd_ >= 0; }

    struct Result {
        bool accepted = false;   // first byte 0
        std::string output;      // the output, or the refusal text
        std::string errorText;   // what came on the error channel
    };
    // Runs one command: opens the error channel, sends the request, reads the answer byte and
    // the output until the server closes, then collects the error channel (served on its own
    // thread) and joins it.
    Result Run(std::string_view clientUser, std::string_view hostUser, std::string_view command);

    void Close() noexcept;

private:
    void Write(std::string_view data);
    // At least one byte, or 0 when the peer has closed; ReadTimeout after the read timeout.
    size_t Read(char* buf, size_t size);

    std::string host_;
    long long port_ = 0;
    long long connectTimeout_ = 5000;
    long long readTimeout_ = 5000;
    std::unique_ptr<net::TlsLayer> tls_;
    int fd_ = -1;
};

} // namespace velmora
