#pragma once
// The DNS client of the DNS check (c-ares): one query of type A or PTR, recursion desired,
// over UDP to one name server at a chosen address and port, bounded by a timeout. The
// answer is the data of the first answer record: the address of an A record, the name of
// a PTR record.
//
// Errors are thrown as net::NetError: no host -> NoHost, port 0 -> NoPort, a server name
// that does not resolve -> Socket; no usable reply within the timeout -> Other "TimedOut";
// an error reply or one without an answer -> Other with the resolver's message.
#include <string>

namespace velmora {

class DnsResolver {
public:
    enum class Type { A, PTR };

    void SetServer(std::string host, long long port) {
        host_ = std::move(host);
        port_ = port;
    }
    void SetTimeout(long long ms);  // 0 or less means 5000
    long long Timeout() const { return timeoutMs_; }
    const std::string& Host() const { return host_; }
    long long Port() const { return port_; }

    std::string Query(const std::string& request, Type type);

    // The name a PTR query asks for: an IPv4 or IPv6 address turned into its in-addr.arpa /
    // ip6.arpa form; any other text is asked for as it is.
    static std::string ReverseName(const std::string& request);
    // The first answer of a reply (exposed for tests of damaged replies). Throws as Query.
    static std::string FirstAnswer(const unsigned char* reply, int length, Type type);

private:
    std::string host_;
    long long port_ = 0;
    long long timeoutMs_ = 5000;
};

} // namespace velmora
