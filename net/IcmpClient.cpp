#include "IcmpClient.h"

#include "Resolver.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <linux/errqueue.h>
#include <memory>
#include <netdb.h>
#include <netinet/icmp6.h>
#include <netinet/in.h>
#include <netinet/ip_icmp.h>
#include <poll.h>
#include <random>
#include <sys/socket.h>
#include <unistd.h>

namespace velmora::net {

namespace {

constexpr unsigned char kEchoReply4 = 0, kUnreach4 = 3, kEchoRequest4 = 8, kTimeExceeded4 = 11;
constexpr unsigned char kUnreach6 = 1, kTimeExceeded6 = 3, kEchoRequest6 = 128, kEchoReply6 = 129;

uint16_t Get16(const unsigned char* p) { return static_cast<uint16_t>((p[0] << 8) | p[1]); }

uint16_t Checksum(const std::string& data) {
    uint32_t sum = 0;
    for (size_t i = 0; i + 1 < data.size(); i += 2) {
        sum += static_cast<uint32_t>((static_cast<unsigned char>(data[i]) << 8) |
                                     static_cast<unsigned char>(data[i + 1]));
    }
    if (data.size() % 2) {
        sum += static_cast<uint32_t>(static_cast<unsigned char>(data.back()) << 8);
    }
    while (sum >> 16) {
        sum = (sum & 0xffff) + (sum >> 16);
    }
    return static_cast<uint16_t>(~sum);
}

// Identifier and sequence number unique to each request of this process.
void NextIds(uint16_t& id, uint16_t& seq, std::string& payload) {
    static std::atomic<uint32_t> counter{0};
    static const uint32_t base = [] {
        std::random_device rd;
        return rd();
    }();
    const uint32_t n = counter.fetch_add(1) + base;
    seq = static_cast<uint16_t>(n & 0xffff);
    id = static_cast<uint16_t>(((n >> 16) + static_cast<uint32_t>(getpid())) & 0xffff);
    payload = "velmora-ping-";
    std::random_device rd;
    for (int i = 0; i < 4; ++i) {
        const uint32_t r = rd();
        payload.append(reinterpret_cast<const char*>(&r), sizeof r);
    }
}

} // namespace

std::string_view IcmpNonEchoMessage() { return "Non-echo type response received"; }

std::string BuildEchoRequest(bool ipv6, uint16_t id, uint16_t seq, const std::string& payload) {
    std::string pkt(8, '\0');
    pkt[0] = static_cast<char>(ipv6 ? kEchoRequest6 : kEchoRequest4);
    pkt[4] = static_cast<char>(id >> 8);
    pkt[5] = static_cast<char>(id & 0xff);
    pkt[6] = static_cast<char>(seq >> 8);
    pkt[7] = static_cast<char>(seq & 0xff);
    pkt += payload;
    if (!ipv6) {
        const uint16_t sum = Checksum(pkt);
        pkt[2] = static_cast<char>(sum >> 8);
        pkt[3] = static_cast<char>(sum & 0xff);
    }
    return pkt;
}

IcmpVerdict ClassifyIcmpPacket(const unsigned char* data, size_t len, bool ipv6, bool ipHeader,
                               bool kernelId, uint16_t id, uint16_t seq, const std::string& payload) {
    if (ipHeader) {
        if (len < 20) return IcmpVerdict::Skip;
        const size_t ihl = static_cast<size_t>(data[0] & 0x0f) * 4;
        if (ihl < 20 || len < ihl) return IcmpVerdict::Skip;
        data += ihl;
        len -= ihl;
    }
    if (len < 8) return IcmpVerdict::Skip;
    const unsigned char type = data[0];
    const auto matches = [&](const unsigned char* echo, size_t echoLen, bool needPayload) {
        if (echoLen < 8) return false;
        if (!kernelId && Get16(echo + 4) != id) return false;
        if (Get16(echo + 6) != seq) return false;
        if (needPayload && !kernelId) {
            if (echoLen - 8 < payload.size() || std::memcmp(echo + 8, payload.data(), payload.size()) != 0) {
                return false;
            }
        }
        return true;
    };
    if (!ipv6) {
        if (type == kEchoRequest4) return IcmpVerdict::Skip;
        if (type == kEchoReply4) return matches(data, len, true) ? IcmpVerdict::Answer : IcmpVerdict::Skip;
        if (type == kUnreach4 || type == kTimeExceeded4) {
            // The quoted datagram: IP header, then at least the first 8 bytes of our request.
            const unsigned char* inner = data + 8;
            size_t innerLen = len - 8;
            if (innerLen < 20) return IcmpVerdict::Skip;
            const size_t ihl = static_cast<size_t>(inner[0] & 0x0f) * 4;
            if (ihl < 20 || innerLen < ihl + 8 || inner[9] != IPPROTO_ICMP) return IcmpVerdict::Skip;
            inner += ihl;
            innerLen -= ihl;
            if (inner[0] != kEchoRequest4) return IcmpVerdict::Skip;
            return matches(inner, innerLen, false) ? IcmpVerdict::Answer : IcmpVerdict::Skip;
        }
        return IcmpVerdict::Foreign;
    }
    if (type == kEchoRequest6) return IcmpVerdict::Skip;
    if (type == kEchoReply6) return matches(data, len, true) ? IcmpVerdict::Answer : IcmpVerdict::Skip;
    if (type == kUnreach6 || type == kTimeExceeded6) {
        const unsigned char* inner = data + 8;
        size_t innerLen = len - 8;
        if (innerLen < 40 + 8 || inner[6] != IPPROTO_ICMPV6) return IcmpVerdict::Skip;
        inner += 40;
        innerLen -= 40;
        if (inner[0] != kEchoRequest6) return IcmpVerdict::Skip;
        return matches(inner, innerLen, false) ? IcmpVerdict::Answer : IcmpVerdict::Skip;
    }
    // Neighbour discovery, multicast listener and other informational messages (128 and up)
    // are the network's own traffic, not answers.
    return type >= 128 ? IcmpVerdict::Skip : IcmpVerdict::Foreign;
}

size_t IcmpClient::Ping() {
    if (host_.empty()) {
        throw NetError(NetErrorKind::NoHost, "Host/IP required.");
    }
    const Deadline deadline = Deadline::In(timeout_);
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_RAW;
    const Resolved resolved = Resolved::Lookup(host_, "", hints, deadline);
    if (!resolved.Ok()) {
        throw NetError(NetErrorKind::Socket, "Host " + host_ + " cannot be resolved: " + resolved.Error());
    }
    const addrinfo* ai = resolved.List();
    while (ai && ai->ai_family != AF_INET && ai->ai_family != AF_INET6) {
        ai = ai->ai_next;
    }
    if (!ai) {
        throw NetError(NetErrorKind::Socket, "Host " + host_ + " has no IP address.");
    }
    const bool v6 = ai->ai_family == AF_INET6;
    const int proto = v6 ? static_cast<int>(IPPROTO_ICMPV6) : static_cast<int>(IPPROTO_ICMP);

    bool kernelId = true;
    int fd = ::socket(ai->ai_family, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, proto);
    if (fd < 0) {
        kernelId = false;
        fd = ::socket(ai->ai_family, SOCK_RAW | SOCK_NONBLOCK | SOCK_CLOEXEC, proto);
    }
    if (fd < 0) {
        throw NetError(NetErrorKind::Socket, "ICMP socket cannot be opened: " + ErrnoText(errno));
    }
    datagram_ = kernelId;
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};

    const int one = 1;
    if (kernelId) {
        // Unreachable / time-exceeded answers to a datagram socket arrive on its error queue.
        if (v6) {
            ::setsockopt(fd, SOL_IPV6, IPV6_RECVERR, &one, sizeof one);
        } else {
            ::setsockopt(fd, SOL_IP, IP_RECVERR, &one, sizeof one);
        }
    } else if (v6) {
        icmp6_filter filter;
        ICMP6_FILTER_SETBLOCKALL(&filter);
        ICMP6_FILTER_SETPASS(kEchoReply6, &filter);
        ICMP6_FILTER_SETPASS(kUnreach6, &filter);
        ICMP6_FILTER_SETPASS(kTimeExceeded6, &filter);
        ::setsockopt(fd, IPPROTO_ICMPV6, ICMP6_FILTER, &filter, sizeof filter);
    }

    uint16_t id = 0, seq = 0;
    std::string payload;
    NextIds(id, seq, payload);
    const std::string request = BuildEchoRequest(v6, id, seq, payload);
    if (::sendto(fd, request.data(), request.size(), 0, ai->ai_addr, ai->ai_addrlen) < 0) {
        throw NetError(NetErrorKind::Socket, "ICMP echo request cannot be sent: " + ErrnoText(errno));
    }

    size_t received = 0;
    unsigned char buf[2048];
    while (received == 0) {
        const int ms = deadline.RemainingMs();
        if (ms <= 0) {
            break;
        }
        pollfd p{fd, POLLIN, 0};
        const int r = ::poll(&p, 1, ms);
        if (r < 0) {
            if (errno == EINTR) continue;
            throw NetError(NetErrorKind::Socket, "poll: " + ErrnoText(errno));
        }
        if (r == 0) {
            break;
        }
        if (kernelId && (p.revents & POLLERR)) {
            char control[512];
            msghdr mh{};
            iovec iov{buf, sizeof buf};
            mh.msg_iov = &iov;
            mh.msg_iovlen = 1;
            mh.msg_control = control;
            mh.msg_controllen = sizeof control;
            const ssize_t n = ::recvmsg(fd, &mh, MSG_ERRQUEUE);
            if (n < 0) continue;
            for (cmsghdr* c = CMSG_FIRSTHDR(&mh); c; c = CMSG_NXTHDR(&mh, c)) {
                if ((c->cmsg_level == SOL_IP && c->cmsg_type == IP_RECVERR) ||
                    (c->cmsg_level == SOL_IPV6 && c->cmsg_type == IPV6_RECVERR)) {
                    sock_extended_err ee;
                    std::memcpy(&ee, CMSG_DATA(c), sizeof ee);
                    const int origin = ee.ee_origin;
                    const bool icmpOrigin = origin == int{SO_EE_ORIGIN_ICMP} || origin == int{SO_EE_ORIGIN_ICMP6};
                    const bool answering = v6 ? (ee.ee_type == kUnreach6 || ee.ee_type == kTimeExceeded6)
                                              : (ee.ee_type == kUnreach4 || ee.ee_type == kTimeExceeded4);
                    // The error queue quotes our own request: check its sequence number.
                    if (icmpOrigin && answering && n >= 8 && Get16(buf + 6) == seq) {
                        received = static_cast<size_t>(n) + 8;
                    }
                }
            }
            continue;
        }
        const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
        if (n < 0) {
            if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) continue;
            throw NetError(NetErrorKind::Socket, "ICMP receive failed: " + ErrnoText(errno));
        }
        switch (ClassifyIcmpPacket(buf, static_cast<size_t>(n), v6, !v6 && !kernelId, kernelId, id, seq, payload)) {
        case IcmpVerdict::Answer: received = static_cast<size_t>(n); break;
        case IcmpVerdict::Skip: break;
        case IcmpVerdict::Foreign: throw NetError(NetErrorKind::Protocol, std::string(IcmpNonEchoMessage()));
        }
    }
    if (onReply) {
        onReply(received);
    }
    return received;
}

} // namespace velmora::net
