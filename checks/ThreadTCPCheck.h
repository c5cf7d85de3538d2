#pragma once
// "TCP": connect (TLS right after connecting for the TLS variant) and, when a command is
// configured, send it and read one numeric-form reply.
#include "checks/CheckItem.h"
#include "net/LineClient.h"

#include <memory>

namespace velmora {

struct TCPCheckSettings {
    std::string command;        // sent + CR LF when not blank
    long long timeout = 0;      // connection timeout ms (<= 0: 5000)
    long long read_timeout = 0; // read timeout ms (<= 0: 5000)
};

class ThreadTCPCheck : public CheckItem {
public:
    ThreadTCPCheck(CheckContext context, std::unique_ptr<net::LineClient> client, std::string host,
                   std::string port, TCPCheckSettings settings);
    // The TLS variant: the layer gets the settings and becomes the client's transport.
    ThreadTCPCheck(CheckContext context, std::unique_ptr<net::LineClient> client, std::string host,
                   std::string port, TCPCheckSettings settings, std::unique_ptr<net::TlsLayer> tls,
                   const net::TlsSettings& tlsSettings);

    void Execute() override;

    const TCPCheckSettings& Settings() const { return settings_; }
    // The client as configured (nullptr after Execute).
    const net::LineClient* Client() const { return client_.get(); }

private:
    TCPCheckSettings settings_;
    std::unique_ptr<net::LineClient> client_;
};

} // namespace velmora
