#pragma once
// "DNS": one A or PTR query to the configured name server, optionally compared with an
// expected value (without regard to case).
#include "CheckItem.h"
#include "DnsResolver.h"

#include <memory>

namespace velmora {

struct DnsCheckSettings {
    long long queryType = 0;        // 0: A; anything else: PTR
    std::string requestIpDomain;    // the name (A) or address (PTR) to resolve
    std::string expectIpDomain;     // "" (after trimming): no comparison
    long long timeout = 5000;       // ms; 0 or less means 5000
};

class ThreadDNSCheck : public CheckItem {
public:
    ThreadDNSCheck(CheckContext context, std::unique_ptr<DnsResolver> client, std::string host,
                   long long port, DnsCheckSettings settings);
    void Execute() override;

private:
    std::unique_ptr<DnsResolver> client_;
    DnsCheckSettings settings_;
};

} // namespace velmora
