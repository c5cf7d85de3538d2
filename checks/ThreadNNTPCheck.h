#pragma once
// "NNTP": logs in to a news server and optionally asks for the size of a group, with
// AUTHINFO USER/PASS whenever the server asks for authentication (480 or 450).
#include "CheckItem.h"
#include "net/LineClient.h"

#include <memory>

namespace velmora {

struct NntpCheckSettings {
    std::string username;
    std::string password;
    std::string group;          // "" (after trimming): no group question
    long long timeout = 5000;   // connection timeout, ms; below 1 means 5000
    long long readTimeout = 5000;
};

class ThreadNNTPCheck : public CheckItem {
public:
    ThreadNNTPCheck(CheckContext context, std::unique_ptr<net::LineClient> client, std::string host,
                    long long port, NntpCheckSettings settings);
    // With a TLS layer: the handshake runs right after connecting.
    ThreadNNTPCheck(CheckContext context, std::unique_ptr<net::LineClient> client, std::string host,
                    long long port, NntpCheckSettings settings, std::unique_ptr<net::TlsLayer> tls);
    void Execute() override;

private:
    // Sends `line`, logging in and sending it again when the server asks for authentication.
    net::NumericReply CommandWithAuth(const std::string& line);

    std::unique_ptr<net::LineClient> client_;
    NntpCheckSettings settings_;
};

} // namespace velmora
