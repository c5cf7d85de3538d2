#pragma once
// "SNTP": asks a time server for the time with one 48-byte request and, when asked to,
// compares the answer with the local clock.
#include "CheckItem.h"
#include "net/UdpClient.h"

#include <memory>

namespace velmora {

struct SntpCheckSettings {
    long long bufferSize = 8192;    // kept for the client; the exchange uses 48-byte datagrams
    bool compareTime = false;
    long long timeDifferent = 0;    // largest accepted difference, ms
    long long timeout = 5000;       // ms; 0 or less means 5000
};

class ThreadSNTPCheck : public CheckItem {
public:
    ThreadSNTPCheck(CheckContext context, std::unique_ptr<net::UdpClient> client, std::string host,
                    long long port, SntpCheckSettings settings);
    void Execute() override;

private:
    std::unique_ptr<net::UdpClient> client_;
    long long port_;
    SntpCheckSettings settings_;
};

} // namespace velmora
