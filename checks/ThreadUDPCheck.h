#pragma once
// "UDP": send the command as one datagram and wait for one answer; silence within the
// timeout passes with an empty answer, an error from the network (port unreachable) fails.
#include "checks/CheckItem.h"
#include "net/UdpClient.h"

#include <memory>

namespace velmora {

struct UDPCheckSettings {
    std::string command;          // nothing is sent (and the check passes) when blank
    long long buffer_size = 8192; // largest answer taken, bytes (< 1: 8192)
    long long timeout = 0;        // wait for the answer, ms (< 1: 5000)
};

class ThreadUDPCheck : public CheckItem {
public:
    ThreadUDPCheck(CheckContext context, std::unique_ptr<net::UdpClient> client, std::string host,
                   std::string port, UDPCheckSettings settings);
    void Execute() override;
    const UDPCheckSettings& Settings() const { return settings_; }

private:
    UDPCheckSettings settings_;
    std::unique_ptr<net::UdpClient> client_;
};

} // namespace velmora
