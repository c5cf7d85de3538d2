#pragma once
// A UDP client: one socket connected to one peer, datagrams out and in with a timeout.
//
//   UdpClient u;
//   u.Open(host, port, Deadline::In(t));         // resolves by then; NoHost / NoPort / Socket errors
//   u.Send("query");
//   std::optional<std::string> a = u.Receive(8192, Deadline::In(EffectiveTimeout(t)));
//   // nullopt: nothing arrived in time (not an error)
//
// The socket is connected, so an ICMP port-unreachable answer to a datagram is reported by
// the next Send or Receive as NetError(Socket, "... Connection refused (port unreachable)").
#include "NetError.h"

#include <optional>
#include <string>
#include <string_view>

namespace velmora::net {

class UdpClient {
public:
    UdpClient() = default;
    ~UdpClient() { Close(); }
    UdpClient(const UdpClient&) = delete;
    UdpClient& operator=(const UdpClient&) = delete;

    // Resolves host and makes a socket connected to the first address that takes one.
    void Open(const std::string& host, long long port, const Deadline& deadline);
    void Send(std::string_view datagram);
    // One datagram of at most maxBytes (longer ones are cut), or nullopt at the deadline.
    std::optional<std::string> Receive(size_t maxBytes, const Deadline& deadline);
    void Close() noexcept;
    bool IsOpen() const { return fd_ >= 0; }
    int Fd() const { return fd_; }

private:
    [[noreturn]] void Fail(const char* what, int err);
    int fd_ = -1;
};

} // namespace velmora::net
