#include "ThreadDNSCheck.h"

#include "checks/CheckBuilders.h"

#include "net/NetError.h"

#include <algorithm>

namespace velmora {

namespace {
std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    return s;
}
} // namespace

ThreadDNSCheck::ThreadDNSCheck(CheckContext context, std::unique_ptr<DnsResolver> client,
                               std::string host, long long port, DnsCheckSettings settings)
    : CheckItem("DNS", std::move(context), host, std::to_string(port)),
      client_(client ? std::move(client) : std::make_unique<DnsResolver>()),
      settings_(std::move(settings)) {
    client_->SetServer(std::move(host), port);
    client_->SetTimeout(settings_.timeout);
}

void ThreadDNSCheck::Execute() {
    const auto start = std::chrono::steady_clock::now();
    const std::string target = "[" + Host() + ":" + Port();
    try {
        const auto type = settings_.queryType == 0 ? DnsResolver::Type::A : DnsResolver::Type::PTR;
        const std::string answer = net::Trim(client_->Query(settings_.requestIpDomain, type));
        const std::string expected = net::Trim(settings_.expectIpDomain);
        if (expected.empty()) {
            SetPassed();
            result_text = target + " DNS succeed. DNS Result: " + answer + "]";
        } else if (Lower(expected) == Lower(answer)) {
            SetPassed();
            result_text = target + " DNS succeed. DNS Result matches " + answer + "]";
        } else {
            SetFailed();
            result_text = target + " DNS Error. DNS result does not match]";
        }
    } catch (const std::exception& e) {
        SetFailed();
        result_text = target + net::ConnectErrorText(" DNS Connection Error:", e);
    }
    client_.reset();
    response_time = ElapsedMs(start);
}

std::unique_ptr<CheckItem> BuildDNSCheck(const ServiceRow& row, const CheckBuild& b) {
    DnsCheckSettings s;
    s.queryType = row.GetInt("dns_query_type");
    s.requestIpDomain = row.Get("dns_request_ip_domain");
    s.expectIpDomain = row.Get("dns_expect_ip_domain");
    s.timeout = row.GetInt("timeout");
    // The ssl_ columns are read with the row but a DNS check has no TLS variant.
    return std::make_unique<ThreadDNSCheck>(b.context, std::make_unique<DnsResolver>(), row.Get("ip"),
                                            row.GetInt("port"), std::move(s));
}

} // namespace velmora
