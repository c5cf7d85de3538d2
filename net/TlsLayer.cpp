#include "TlsLayer.h"

#include "foundation/IniFile.h"

#include <arpa/inet.h>
#include <cerrno>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>
#include <poll.h>

namespace velmora::net {

namespace {

long long ParseOr0(const std::string& text) {
    const auto v = ParseInteger(text);
    return v ? *v : 0;
}

bool IsAddress(const std::string& host) {
    unsigned char buf[16];
    return inet_pton(AF_INET, host.c_str(), buf) == 1 || inet_pton(AF_INET6, host.c_str(), buf) == 1;
}

} // namespace

std::string TlsErrorText(std::string_view fallback) {
    std::string text;
    unsigned long code;
    while ((code = ERR_get_error()) != 0) {
        char buf[256];
        ERR_error_string_n(code, buf, sizeof buf);
        if (!text.empty()) {
            text += "; ";
        }
        text += buf;
    }
    return text.empty() ? std::string(fallback) : text;
}

TlsMethod TlsSettings::MethodFromIndex(long long index) {
    switch (index) {
    case 0: return TlsMethod::SSLv2;
    case 1: return TlsMethod::SSLv23;
    case 2: return TlsMethod::SSLv3;
    default: return TlsMethod::TLSv1;
    }
}

TlsMode TlsSettings::ModeFromIndex(long long index) {
    switch (index) {
    case 1: return TlsMode::Both;
    case 2: return TlsMode::Client;
    case 3: return TlsMode::Server;
    default: return TlsMode::Unassigned;
    }
}

void TlsSettings::SetVerifyFlags(std::string_view peer, std::string_view fail, std::string_view once) {
    const auto yn = [](std::string_view v) { return v == "y" || v == "n"; };
    verifyPeer = verifyFailIfNoPeerCert = verifyClientOnce = false;
    if (yn(peer) && yn(fail) && yn(once)) {
        verifyPeer = peer == "y";
        verifyFailIfNoPeerCert = fail == "y";
        verifyClientOnce = once == "y";
    }
}

int TlsSettings::VerifyModeBits() const {
    int bits = SSL_VERIFY_NONE;
    if (verifyPeer) bits |= SSL_VERIFY_PEER;
    if (verifyFailIfNoPeerCert) bits |= SSL_VERIFY_FAIL_IF_NO_PEER_CERT;
    if (verifyClientOnce) bits |= SSL_VERIFY_CLIENT_ONCE;
    return bits;
}

TlsSettings TlsSettings::FromColumns(const Columns& c) {
    TlsSettings s;
    s.method = MethodFromIndex(ParseOr0(c.method));
    s.mode = ModeFromIndex(ParseOr0(c.mode));
    s.certFile = c.certFile;
    s.keyFile = c.keyFile;
    s.rootCertFile = c.rootCertFile;
    s.cipherList = c.cipherList;
    s.verifyDepth = static_cast<int>(ParseOr0(c.verifyDepth));
    s.verifyDirs = c.verifyDirs;
    s.SetVerifyFlags(c.peer, c.fail, c.once);
    return s;
}

SSL_CTX* TlsLayer::MakeContext(const TlsSettings& s) {
    ERR_clear_error();
    SSL_CTX* ctx = SSL_CTX_new(TLS_client_method());
    if (!ctx) {
        throw NetError(NetErrorKind::Tls, "TLS context cannot be created: " + TlsErrorText("unknown error"));
    }
    const auto fail = [ctx](const std::string& what) {
        const std::string detail = TlsErrorText("");
        SSL_CTX_free(ctx);
        throw NetError(NetErrorKind::Tls, detail.empty() ? what : what + " (" + detail + ")");
    };
    if (!s.certFile.empty() && SSL_CTX_use_certificate_chain_file(ctx, s.certFile.c_str()) != 1) {
        fail("TLS certificate file cannot be loaded: " + s.certFile);
    }
    if (!s.keyFile.empty() && SSL_CTX_use_PrivateKey_file(ctx, s.keyFile.c_str(), SSL_FILETYPE_PEM) != 1) {
        fail("TLS private key file cannot be loaded: " + s.keyFile);
    }
    if (!s.rootCertFile.empty() && SSL_CTX_load_verify_file(ctx, s.rootCertFile.c_str()) != 1) {
        fail("TLS root certificate file cannot be loaded: " + s.rootCertFile);
    }
    if (!s.verifyDirs.empty() && SSL_CTX_load_verify_dir(ctx, s.verifyDirs.c_str()) != 1) {
        fail("TLS certificate directory cannot be used: " + s.verifyDirs);
    }
    if (!s.cipherList.empty() && SSL_CTX_set_cipher_list(ctx, s.cipherList.c_str()) != 1) {
        fail("TLS cipher list rejected: " + s.cipherList);
    }
    SSL_CTX_set_verify(ctx, s.VerifyModeBits(), nullptr);
    SSL_CTX_set_verify_depth(ctx, s.verifyDepth);
    return ctx;
}

TlsLayer::~TlsLayer() {
    Shutdown();
    if (ctx_) {
        SSL_CTX_free(ctx_);
    }
}

void TlsLayer::Wait(int want, const Deadline& deadline, const char* what) {
    pollfd p{fd_, static_cast<short>(want == SSL_ERROR_WANT_WRITE ? POLLOUT : POLLIN), 0};
    for (;;) {
        const int ms = deadline.RemainingMs();
        if (ms <= 0) {
            throw NetError(NetErrorKind::ReadTimeout, std::string(what) + " timed out.");
        }
        const int r = poll(&p, 1, ms);
        if (r > 0) {
            return;
        }
        if (r < 0 && errno != EINTR) {
            throw NetError(NetErrorKind::Socket, "poll: " + ErrnoText(errno));
        }
    }
}

void TlsLayer::Handshake(int fd, const std::string& serverName, const Deadline& deadline) {
    Shutdown();
    if (!ctx_) {
        ctx_ = MakeContext(settings_);
    }
    ERR_clear_error();
    ssl_ = SSL_new(ctx_);
    if (!ssl_) {
        throw NetError(NetErrorKind::Tls, "TLS session cannot be created: " + TlsErrorText("unknown error"));
    }
    fd_ = fd;
    SSL_set_fd(ssl_, fd);
    SSL_set_connect_state(ssl_);
    if (!serverName.empty() && !IsAddress(serverName)) {
        SSL_set_tlsext_host_name(ssl_, serverName.c_str());
    }
    if (settings_.verifyPeer && !serverName.empty()) {
        // A verified peer must also be the host that was asked for.
        X509_VERIFY_PARAM* param = SSL_get0_param(ssl_);
        if (IsAddress(serverName)) {
            X509_VERIFY_PARAM_set1_ip_asc(param, serverName.c_str());
        } else {
            X509_VERIFY_PARAM_set1_host(param, serverName.c_str(), 0);
        }
    }
    for (;;) {
        ERR_clear_error();
        const int r = SSL_connect(ssl_);
        if (r == 1) {
            return;
        }
        const int err = SSL_get_error(ssl_, r);
        if (err == SSL_ERROR_WANT_READ || err == SSL_ERROR_WANT_WRITE) {
            Wait(err, deadline, "TLS handshake");
            continue;
        }
        std::string text = TlsErrorText("");
        const long verify = SSL_get_verify_result(ssl_);
        if (verify != X509_V_OK) {
            text += std::string(text.empty() ? "" : ": ") + X509_verify_cert_error_string(verify);
        }
        if (text.empty()) {
            text = err == SSL_ERROR_SYSCALL && errno != 0 ? ErrnoText(errno) : "connection closed by peer";
        }
        Shutdown();
        throw NetError(NetErrorKind::Tls, "TLS handshake failed: " + text);
    }
}

size_t TlsLayer::Read(char* buf, size_t size, const Deadline& deadline) {
    for (;;) {
        ERR_clear_error();
        size_t got = 0;
        const int r = SSL_read_ex(ssl_, buf, size, &got);
        if (r == 1) {
            return got;
        }
        const int err = SSL_get_error(ssl_, r);
        if (err == SSL_ERROR_WANT_READ || err == SSL_ERROR_WANT_WRITE) {
            Wait(err, deadline, "Read");
            continue;
        }
        if (err == SSL_ERROR_ZERO_RETURN || (err == SSL_ERROR_SYSCALL && ERR_peek_error() == 0)) {
            throw NetError(NetErrorKind::Closed, "Connection closed by peer.");
        }
        throw NetError(NetErrorKind::Tls, "TLS read failed: " + TlsErrorText("unknown error"));
    }
}

void TlsLayer::Write(std::string_view data, const Deadline& deadline) {
    while (!data.empty()) {
        ERR_clear_error();
        size_t done = 0;
        const int r = SSL_write_ex(ssl_, data.data(), data.size(), &done);
        if (r == 1) {
            data.remove_prefix(done);
            continue;
        }
        const int err = SSL_get_error(ssl_, r);
        if (err == SSL_ERROR_WANT_READ || err == SSL_ERROR_WANT_WRITE) {
            Wait(err, deadline, "Write");
            continue;
        }
        if (err == SSL_ERROR_ZERO_RETURN) {
            throw NetError(NetErrorKind::Closed, "Connection closed by peer.");
        }
        throw NetError(NetErrorKind::Tls, "TLS write failed: " + TlsErrorText("connection lost"));
    }
}

void TlsLayer::Shutdown() noexcept {
    if (ssl_) {
        // One close_notify on the non-blocking socket; the answer is not awaited.
        SSL_shutdown(ssl_);
        SSL_free(ssl_);
        ssl_ = nullptr;
        ERR_clear_error();
    }
    fd_ = -1;
}

} // namespace velmora::net
