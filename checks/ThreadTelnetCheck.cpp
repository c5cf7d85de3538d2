#include "ThreadTelnetCheck.h"

#include "checks/CheckBuilders.h"

#include "net/NetError.h"

#include <thread>

namespace velmora {

using net::NetError;
using net::NetErrorKind;

ThreadTelnetCheck::ThreadTelnetCheck(CheckContext context, std::unique_ptr<net::TcpClient> client,
                                     std::string host, long long port, TelnetCheckSettings settings)
    : CheckItem("Telnet", std::move(context), host, std::to_string(port)),
      client_(client ? std::move(client) : std::make_unique<net::TcpClient>()),
      settings_(std::move(settings)) {
    if (settings_.timeout < 1) settings_.timeout = 5000;
    if (settings_.readTimeout < 1) settings_.readTimeout = 5000;
    client_->SetHost(std::move(host));
    client_->SetPort(port);
    client_->SetConnectTimeout(settings_.timeout);
    client_->SetReadTimeout(settings_.readTimeout);
}

ThreadTelnetCheck::ThreadTelnetCheck(CheckContext context, std::unique_ptr<net::TcpClient> client,
                                     std::string host, long long port, TelnetCheckSettings settings,
                                     std::unique_ptr<net::TlsLayer> tls)
    : ThreadTelnetCheck(std::move(context), std::move(client), std::move(host), port, std::move(settings)) {
    if (tls) client_->SetTls(std::move(tls));
}

void ThreadTelnetCheck::Pause(long long ms) {
    const auto end = net::Deadline::In(ms);
    while (!end.Expired()) {
        if (peerClosed_) {
            std::this_thread::sleep_until(end.At());
            break;
        }
        try {
            const std::string data = client_->ReadSome(16384, end);
            const std::string answer = negotiation_.Feed(data);
            // Answers go out within what is left of the pause; a peer that does not read
            // them cannot stretch it.
            if (!answer.empty() && !end.Expired()) client_->Write(answer, end);
        } catch (const NetError& e) {
            if (e.kind() == NetErrorKind::ReadTimeout) break;  // the pause is over
            if (e.kind() == NetErrorKind::Closed) {
                peerClosed_ = true;
                continue;
            }
            throw;
        }
    }
}

void ThreadTelnetCheck::Type(const std::string& text) {
    if (peerClosed_) throw NetError(NetErrorKind::Closed, "The server closed the connection.");
    client_->Write(TelnetNegotiation::Escape(text) + "\r\n");
}

void ThreadTelnetCheck::Execute() {
    const auto start = std::chrono::steady_clock::now();
    const std::string target = "[" + Host() + ":" + Port();
    try {
        client_->Connect();
        if (!client_->Connected()) {
            SetFailed();
            result_text = target + " Telnet Connection Error]";
        } else {
            SetPassed();
            result_text = target + " Telnet Connection Succeed]";
            if (!net::Trim(settings_.username).empty() || !net::Trim(settings_.password).empty()) {
                try {
                    Pause(settings_.readTimeout);
                    Type(settings_.username);
                    Pause(settings_.readTimeout);
                    Type(settings_.password);
                    Pause(settings_.readTimeout);
                    result_text = "[Telnet Login Succeed]";
                } catch (const std::exception& e) {
                    SetFailed();
                    result_text += " [Telnet Login Error:" + net::Trim(e.what()) + "]";
                }
            }
        }
    } catch (const std::exception& e) {
        SetFailed();
        result_text = target + net::ConnectErrorText(" Telnet Connection Error:", e);
    }
    client_->Close();
    client_.reset();
    response_time = ElapsedMs(start);
}

std::unique_ptr<CheckItem> BuildTelnetCheck(const ServiceRow& row, const CheckBuild& b) {
    TelnetCheckSettings s;
    s.username = row.Get("username");
    s.password = row.Get("password");
    s.timeout = row.GetInt("timeout");
    s.readTimeout = row.GetInt("read_timeout");
    auto client = std::make_unique<net::TcpClient>();
    if (b.tls)
        return std::make_unique<ThreadTelnetCheck>(b.context, std::move(client), row.Get("ip"), row.GetInt("port"),
                                                   std::move(s), std::make_unique<net::TlsLayer>(b.tlsSettings));
    return std::make_unique<ThreadTelnetCheck>(b.context, std::move(client), row.Get("ip"), row.GetInt("port"),
                                               std::move(s));
}

} // namespace velmora
