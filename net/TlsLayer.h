#pragma once
// The TLS layer of the protocol clients (OpenSSL 3).
//
// A TlsLayer holds the TLS settings of one service and, once a TcpClient has connected, one
// TLS session over that connection. Building the layer never fails: the settings are checked
// when the first handshake makes the TLS context, and a bad certificate path or a cipher list
// the library rejects is thrown there as NetError(Tls) with a message that says what was wrong.
//
// Usage: fill TlsSettings (TlsSettings::FromColumns does it from the stored column texts),
// make a TlsLayer from it and hand it to TcpClient::SetTls (handshake right after connect) or
// TcpClient::StartTls (handshake on an established connection, e.g. after STARTTLS).
#include "NetError.h"

#include <memory>
#include <string>
#include <string_view>

typedef struct ssl_st SSL;
typedef struct ssl_ctx_st SSL_CTX;

namespace velmora::net {

// The stored protocol choice. The library offers none of SSL 2, SSL 3 or TLS 1.0 any more:
// every method negotiates with the library's general client method, which picks the highest
// version both ends offer.
enum class TlsMethod { SSLv2 = 0, SSLv23 = 1, SSLv3 = 2, TLSv1 = 3 };
// The stored role. Every mode runs the client side of the handshake: the connection is
// always one the program opens to a server.
enum class TlsMode { Unassigned = 0, Both = 1, Client = 2, Server = 3 };

struct TlsSettings {
    TlsMethod method = TlsMethod::TLSv1;
    TlsMode mode = TlsMode::Unassigned;
    std::string certFile;       // own certificate (PEM), used when not empty
    std::string keyFile;        // private key (PEM), used when not empty
    std::string rootCertFile;   // trusted roots (PEM file), used when not empty
    std::string verifyDirs;     // directory of trusted certificates, used when not empty
    std::string cipherList;     // library syntax, used when not empty
    int verifyDepth = 0;        // always applied
    bool verifyPeer = false;
    bool verifyFailIfNoPeerCert = false;
    bool verifyClientOnce = false;

    // ssl_method index: 0 SSL 2, 1 SSL 2-or-3, 2 SSL 3, 3 TLS 1.0; anything else TLS 1.0.
    static TlsMethod MethodFromIndex(long long index);
    // ssl_mode index: 1 both, 2 client, 3 server; anything else unassigned.
    static TlsMode ModeFromIndex(long long index);
    // Sets the three verify flags from their column texts: only when each is exactly "y" or
    // "n" does the set hold the "y" ones; any other text in any of them empties the set.
    void SetVerifyFlags(std::string_view peer, std::string_view fail, std::string_view once);
    // The flags as the library's verify mode bits (0 = verify nothing).
    int VerifyModeBits() const;

    // From the stored texts of ssl_method, ssl_mode, ssl_cert_file, ssl_key_file,
    // ssl_root_cert_file, ssl_cipher_list, ssl_verify_depth, ssl_verify_dirs, ssl_peer,
    // ssl_fail, ssl_once. Numbers that do not parse count as 0.
    struct Columns {
        std::string method, mode, certFile, keyFile, rootCertFile, cipherList, verifyDepth,
            verifyDirs, peer, fail, once;
    };
    static TlsSettings FromColumns(const Columns& c);
};

class TlsLayer {
public:
    TlsLayer() = default;
    explicit TlsLayer(TlsSettings settings) : settings_(std::move(settings)) {}
    ~TlsLayer();
    TlsLayer(const TlsLayer&) = delete;
    TlsLayer& operator=(const TlsLayer&) = delete;

    void Configure(TlsSettings settings) { settings_ = std::move(settings); }
    const TlsSettings& Settings() const { return settings_; }

    // --- used by TcpClient ---
    // Makes the context (applying the settings) and runs the handshake over the connected,
    // non-blocking socket `fd` until `deadline`. `serverName` goes out as SNI when it is a
    // name rather than an address. Throws NetError(Tls) or NetError(ReadTimeout).
    void Handshake(int fd, const std::string& serverName, const Deadline& deadline);
    // Reads at least one byte into buf; throws NetError(Closed) when the peer has closed,
    // NetError(ReadTimeout) at the deadline.
    size_t Read(char* buf, size_t size, const Deadline& deadline);
    void Write(std::string_view data, const Deadline& deadline);
    // Sends close_notify without waiting for the answer and frees the session.
    void Shutdown() noexcept;
    bool Active() const { return ssl_ != nullptr; }

    // The settings applied to a fresh context; public so that the HTTP client and tests can
    // see the library's verdict on them. Throws NetError(Tls).
    static SSL_CTX* MakeContext(const TlsSettings& s);

private:
    void Wait(int want, const Deadline& deadline, const char* what);

    TlsSettings settings_;
    SSL_CTX* ctx_ = nullptr;
    SSL* ssl_ = nullptr;
    int fd_ = -1;
};

// The text of the library's most recent error, or `fallback` when it has none. Clears the
// library's error queue.
std::string TlsErrorText(std::string_view fallback);

} // namespace velmora::net
