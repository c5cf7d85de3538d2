#pragma once
// One ICMP echo request and the wait for its answer (IPv4 and IPv6).
//
//   IcmpClient p;
//   p.SetHost("10.0.0.7"); p.SetTimeout(ms);      // <= 0 -> 5000 ms
//   size_t bytes = p.Ping();                      // 0 when nothing answered in time
//
// The socket is an ICMP datagram socket where the system allows it for the caller's group,
// else a raw socket (needs CAP_NET_RAW). An answer is an echo reply to this very request, or
// a destination-unreachable / time-exceeded message quoting it; other clients' packets and
// echo requests (which a raw socket sees too, on loopback its own) are skipped. Any other
// ICMP type raises NetError(Protocol, "Non-echo type response received"). Resolution and
// socket failures raise NetError(NoHost / Socket). Each client uses its own identifier,
// sequence number and payload, so concurrent pings never take each other's answers.
#include "NetError.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace velmora::net {

enum class IcmpVerdict { Skip, Answer, Foreign };

// Classifies one received packet for the request (id, seq, payload).
//   ipv6:       ICMPv6 (never with an IP header in front)
//   ipHeader:   an IPv4 raw socket delivers the IP header in front of the ICMP message
//   kernelId:   a datagram socket: the system sets and filters the identifier itself, so
//               it is not compared
std::string_view IcmpNonEchoMessage();
IcmpVerdict ClassifyIcmpPacket(const unsigned char* data, size_t len, bool ipv6, bool ipHeader,
                               bool kernelId, uint16_t id, uint16_t seq, const std::string& payload);

// Builds an echo request (checksum filled in for ICMPv4; ICMPv6 checksums are the system's).
std::string BuildEchoRequest(bool ipv6, uint16_t id, uint16_t seq, const std::string& payload);

class IcmpClient {
public:
    void SetHost(std::string host) { host_ = std::move(host); }
    const std::string& Host() const { return host_; }
    void SetTimeout(long long ms) { timeout_ = EffectiveTimeout(ms); }
    long long Timeout() const { return timeout_; }
    // Called once by Ping after the wait has ended, with the bytes received (0: none).
    std::function<void(size_t)> onReply;

    // Sends one echo request and waits up to the timeout for its answer. Returns the size
    // of the answering packet, 0 when the time ran out.
    size_t Ping();

private:
    std::string host_;
    long long timeout_ = 5000;
};

} // namespace velmora::net
