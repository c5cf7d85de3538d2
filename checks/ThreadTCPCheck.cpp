#include "checks/ThreadTCPCheck.h"

#include "checks/CheckBuilders.h"
#include "checks/CheckSupport.h"

namespace velmora {

ThreadTCPCheck::ThreadTCPCheck(CheckContext context, std::unique_ptr<net::LineClient> client, std::string host,
                               std::string port, TCPCheckSettings settings)
    : CheckItem("TCP", std::move(context), std::move(host), std::move(port)), settings_(std::move(settings)),
      client_(std::move(client)) {
    client_->SetHost(Host());
    client_->SetPort(PortNumber(Port()));
    client_->SetConnectTimeout(settings_.timeout);
    client_->SetReadTimeout(settings_.read_timeout);
}

ThreadTCPCheck::ThreadTCPCheck(CheckContext context, std::unique_ptr<net::LineClient> client, std::string host,
                               std::string port, TCPCheckSettings settings, std::unique_ptr<net::TlsLayer> tls,
                               const net::TlsSettings& tlsSettings)
    : ThreadTCPCheck(std::move(context), std::move(client), std::move(host), std::move(port), std::move(settings)) {
    if (tls) {
        tls->Configure(tlsSettings);
        client_->SetTls(std::move(tls));
    }
}

void ThreadTCPCheck::Execute() {
    const auto start = std::chrono::steady_clock::now();
    const std::string target = Target(Host(), Port());
    try {
        bool connected = true;
        try {
            client_->Connect();
            connected = client_->Connected();
        } catch (const std::exception& e) {
            SetFailed();
            result_text = target + net::ConnectErrorText(" TCP Connection Error:", e);
            connected = false;
        }
        if (connected) {
            result_text = target + " TCP Connection Succeed]";
            if (!net::Trim(settings_.command).empty()) {
                try {
                    client_->WriteLine(settings_.command);
                    const net::NumericReply reply = client_->ReadNumericReply();
                    result_text += " [Send Command succeed: Response Code=" + net::ToUpper(net::Trim(reply.code)) +
                                   "|Response Text=" + net::ToUpper(net::Trim(reply.text)) + "]";
                } catch (const std::exception& e) {
                    SetFailed();
                    result_text += " " + target + " Send Command Error:" + net::Trim(e.what()) + "]";
                }
            }
        } else if (passed) {
            SetFailed();
            result_text = target + " TCP Connection Error]";
        }
    } catch (const std::exception& e) {
        SetFailed();
        result_text = target + " TCP Connection Error:" + net::Trim(e.what()) + "]";
    }
    client_.reset();  // plain disconnect, TLS layer with it
    response_time = ElapsedMs(start);
}

std::unique_ptr<CheckItem> BuildTCPCheck(const ServiceRow& row, const CheckBuild& b) {
    TCPCheckSettings s;
    s.command = row.Get("command");
    s.timeout = row.GetInt("timeout");
    s.read_timeout = row.GetInt("read_timeout");
    auto client = std::make_unique<net::LineClient>();
    if (b.tls) {
        return std::make_unique<ThreadTCPCheck>(b.context, std::move(client), row.Get("ip"), PortFromRow(row),
                                                std::move(s), std::make_unique<net::TlsLayer>(), b.tlsSettings);
    }
    return std::make_unique<ThreadTCPCheck>(b.context, std::move(client), row.Get("ip"), PortFromRow(row),
                                            std::move(s));
}

} // namespace velmora
