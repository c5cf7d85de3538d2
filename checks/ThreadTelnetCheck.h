#pragma once
// "Telnet": connects and, when credentials are configured, types the user name and the
// password blind, with a pause of the read timeout before each and after the last, without
// judging any prompt. While it waits, everything the server sends is read and discarded
// and its option negotiation is answered by refusing every option (TelnetNegotiation.h).
#include "CheckItem.h"
#include "TelnetNegotiation.h"
#include "net/TcpClient.h"

#include <memory>

namespace velmora {

struct TelnetCheckSettings {
    std::string username;
    std::string password;
    long long timeout = 5000;      // connection timeout, ms; below 1 means 5000
    long long readTimeout = 5000;  // read timeout and pause length, ms; below 1 means 5000
};

class ThreadTelnetCheck : public CheckItem {
public:
    ThreadTelnetCheck(CheckContext context, std::unique_ptr<net::TcpClient> client, std::string host,
                      long long port, TelnetCheckSettings settings);
    ThreadTelnetCheck(CheckContext context, std::unique_ptr<net::TcpClient> client, std::string host,
                      long long port, TelnetCheckSettings settings, std::unique_ptr<net::TlsLayer> tls);
    void Execute() override;

private:
    // Reads, answers negotiation and discards data for `ms` milliseconds.
    void Pause(long long ms);
    void Type(const std::string& text);

    std::unique_ptr<net::TcpClient> client_;
    TelnetCheckSettings settings_;
    TelnetNegotiation negotiation_;
    bool peerClosed_ = false;
};

} // namespace velmora
