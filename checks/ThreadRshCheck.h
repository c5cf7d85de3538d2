#pragma once
// "Rsh": connects from a reserved local port and, when a command is configured, runs it and
// reports its output and what came on the error channel.
#include "CheckItem.h"
#include "RshClient.h"

#include <memory>

namespace velmora {

struct RshCheckSettings {
    std::string hostUsername;    // the user on the server
    std::string clientUsername;  // "" (after trimming): the user the program runs as
    std::string command;         // "" (after trimming): connect only
    long long timeout = 5000;    // ms; 0 or less means 5000
    long long readTimeout = 5000;
};

class ThreadRshCheck : public CheckItem {
public:
    ThreadRshCheck(CheckContext context, std::unique_ptr<RshClient> client, std::string host,
                   long long port, RshCheckSettings settings);
    ThreadRshCheck(CheckContext context, std::unique_ptr<RshClient> client, std::string host,
                   long long port, RshCheckSettings settings, std::unique_ptr<net::TlsLayer> tls);
    void Execute() override;

private:
    std::unique_ptr<RshClient> client_;
    RshCheckSettings settings_;
};

} // namespace velmora
