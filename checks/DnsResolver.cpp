#include "DnsResolver.h"

#include "net/NetError.h"
#include "net/Resolver.h"
#include "net/TcpClient.h"

#include <ares.h>
#include <arpa/inet.h>
#include <netdb.h>
#include <poll.h>

#include <chrono>
#include <cstring>
#include <mutex>
#include <vector>

namespace velmora {

using net::NetError;
using net::NetErrorKind;

namespace {

void LibraryInit() {
    static std::once_flag once;
    std::call_once(once, [] { ares_library_init(ARES_LIB_INIT_ALL); });
}

// The server as numeric address text ("[v6]:port" form for c-ares); a server given by name
// is looked up within the query's timeout.
std::string ServerCsv(const std::string& host, long long port, long long timeoutMs) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_DGRAM;
    const net::Resolved resolved = net::Resolved::Lookup(host, "", hints, net::Deadline::In(timeoutMs));
    if (!resolved.Ok()) throw NetError(NetErrorKind::Socket, "Cannot resolve " + host + ": " + resolved.Error());
    const addrinfo* res = resolved.List();
    char buf[INET6_ADDRSTRLEN] = {0};
    std::string csv;
    if (res->ai_family == AF_INET6) {
        inet_ntop(AF_INET6, &reinterpret_cast<sockaddr_in6*>(res->ai_addr)->sin6_addr, buf, sizeof buf);
        csv = std::string("[") + buf + "]:" + std::to_string(port);
    } else {
        inet_ntop(AF_INET, &reinterpret_cast<sockaddr_in*>(res->ai_addr)->sin_addr, buf, sizeof buf);
        csv = std::string(buf) + ":" + std::to_string(port);
    }
    return csv;
}

struct Outcome {
    bool done = false;
    int status = ARES_SUCCESS;
    std::vector<unsigned char> reply;
};

void OnReply(void* arg, int status, int /*timeouts*/, unsigned char* abuf, int alen) {
    auto* out = static_cast<Outcome*>(arg);
    out->done = true;
    out->status = status;
    if (abuf && alen > 0) out->reply.assign(abuf, abuf + alen);
}

std::string ErrorText(int status) {
    if (status == ARES_ETIMEOUT) return "TimedOut";
    return ares_strerror(status);
}

class Channel {
public:
    explicit Channel(ares_channel c) : c_(c) {}
    ~Channel() {
        if (c_) ares_destroy(c_);
    }
    ares_channel get() const { return c_; }

private:
    ares_channel c_;
};

} // namespace

void DnsResolver::SetTimeout(long long ms) { timeoutMs_ = net::EffectiveTimeout(ms); }

std::string DnsResolver::ReverseName(const std::string& request) {
    unsigned char v6[16];
    in_addr v4{};
    if (inet_pton(AF_INET, request.c_str(), &v4) == 1) {
        const auto* b = reinterpret_cast<const unsigned char*>(&v4);
        return std::to_string(b[3]) + "." + std::to_string(b[2]) + "." + std::to_string(b[1]) + "." +
               std::to_string(b[0]) + ".in-addr.arpa";
    }
    if (inet_pton(AF_INET6, request.c_str(), v6) == 1) {
        static const char* hex = "0123456789abcdef";
        std::string name;
        for (int i = 15; i >= 0; --i) {
            name += hex[v6[i] & 0xF];
            name += '.';
            name += hex[v6[i] >> 4];
            name += '.';
        }
        return name + "ip6.arpa";
    }
    return request;
}

std::string DnsResolver::FirstAnswer(const unsigned char* reply, int length, Type type) {
    if (!reply || length < 5) throw NetError(NetErrorKind::Other, "TimedOut");
    if (type == Type::A) {
        ares_addrttl addrs[8];
        int count = 8;
        const int rc = ares_parse_a_reply(reply, length, nullptr, addrs, &count);
        if (rc != ARES_SUCCESS) throw NetError(NetErrorKind::Other, ErrorText(rc));
        if (count <= 0) throw NetError(NetErrorKind::Other, ErrorText(ARES_ENODATA));
        char buf[INET_ADDRSTRLEN] = {0};
        inet_ntop(AF_INET, &addrs[0].ipaddr, buf, sizeof buf);
        return net::Trim(buf);
    }
    unsigned char dummy[16] = {0};
    hostent* host = nullptr;
    const int rc = ares_parse_ptr_reply(reply, length, dummy, 4, AF_INET, &host);
    if (rc != ARES_SUCCESS) throw NetError(NetErrorKind::Other, ErrorText(rc));
    std::string name = host && host->h_name ? host->h_name : "";
    if (host) ares_free_hostent(host);
    if (name.empty()) throw NetError(NetErrorKind::Other, ErrorText(ARES_ENODATA));
    return net::Trim(name);
}

std::string DnsResolver::Query(const std::string& request, Type type) {
    net::CheckTarget(host_, port_);
    LibraryInit();
    const std::string server = ServerCsv(host_, port_, timeoutMs_);

    // Declared before the channel: destroying a channel with a query in flight still calls
    // the callback.
    Outcome out;
    ares_options opts{};
    opts.flags = ARES_FLAG_IGNTC | ARES_FLAG_NOSEARCH;  // one UDP exchange, no search list
    opts.timeout = static_cast<int>(timeoutMs_);
    opts.tries = 1;
    ares_channel raw = nullptr;
    int rc = ares_init_options(&raw, &opts, ARES_OPT_FLAGS | ARES_OPT_TIMEOUTMS | ARES_OPT_TRIES);
    if (rc != ARES_SUCCESS) throw NetError(NetErrorKind::Other, ares_strerror(rc));
    Channel channel(raw);
    rc = ares_set_servers_ports_csv(channel.get(), server.c_str());
    if (rc != ARES_SUCCESS) throw NetError(NetErrorKind::Socket, ares_strerror(rc));

    const std::string name = type == Type::A ? request : ReverseName(request);
    // ares_query sets the recursion-desired bit unless told otherwise.
    ares_query(channel.get(), name.c_str(), 1 /* IN */, type == Type::A ? 1 /* A */ : 12 /* PTR */,
               OnReply, &out);

    // Our own bound on top of the resolver's: a little more than its timeout.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs_ + 500);
    while (!out.done) {
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline) throw NetError(NetErrorKind::Other, "TimedOut");
        ares_socket_t socks[ARES_GETSOCK_MAXNUM];
        const int mask = ares_getsock(channel.get(), socks, ARES_GETSOCK_MAXNUM);
        std::vector<pollfd> fds;
        for (int i = 0; i < ARES_GETSOCK_MAXNUM; ++i) {
            short ev = 0;
            if (ARES_GETSOCK_READABLE(mask, i)) ev |= POLLIN;
            if (ARES_GETSOCK_WRITABLE(mask, i)) ev |= POLLOUT;
            if (ev) fds.push_back({socks[i], ev, 0});
        }
        timeval maxtv{}, tv{};
        const long long left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now).count();
        maxtv.tv_sec = left / 1000;
        maxtv.tv_usec = (left % 1000) * 1000;
        timeval* t = ares_timeout(channel.get(), &maxtv, &tv);
        const int waitMs = static_cast<int>(t->tv_sec * 1000 + (t->tv_usec + 999) / 1000);
        const int n = poll(fds.data(), fds.size(), waitMs);
        if (n <= 0) {
            ares_process_fd(channel.get(), ARES_SOCKET_BAD, ARES_SOCKET_BAD);
            continue;
        }
        for (const auto& p : fds) {
            const ares_socket_t r = (p.revents & (POLLIN | POLLERR | POLLHUP)) ? p.fd : ARES_SOCKET_BAD;
            const ares_socket_t w = (p.revents & POLLOUT) ? p.fd : ARES_SOCKET_BAD;
            if (r != ARES_SOCKET_BAD || w != ARES_SOCKET_BAD) ares_process_fd(channel.get(), r, w);
            if (out.done) break;
        }
    }
    if (out.status != ARES_SUCCESS) throw NetError(NetErrorKind::Other, ErrorText(out.status));
    return FirstAnswer(out.reply.data(), static_cast<int>(out.reply.size()), type);
}

} // namespace velmora
