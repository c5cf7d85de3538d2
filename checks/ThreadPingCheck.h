#pragma once
// "Ping": one ICMP echo request; an answer within the timeout passes.
#include "checks/CheckItem.h"
#include "net/IcmpClient.h"

#include <memory>

namespace velmora {

struct PingCheckSettings {
    long long timeout = 0;  // wait for the answer, ms (<= 0: 5000)
};

class ThreadPingCheck : public CheckItem {
public:
    // `port` is not used by ICMP; it shows in the result text when it is not 0.
    ThreadPingCheck(CheckContext context, std::unique_ptr<net::IcmpClient> client, std::string host,
                    std::string port, PingCheckSettings settings);
    void Execute() override;
    const net::IcmpClient* Client() const { return client_.get(); }

private:
    void OnReply(size_t bytes);
    std::string TargetText() const;

    PingCheckSettings settings_;
    std::unique_ptr<net::IcmpClient> client_;
    bool replyRecorded_ = false;
    size_t replyBytes_ = 0;
};

} // namespace velmora
