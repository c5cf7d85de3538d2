#include "ThreadRshCheck.h"

#include "checks/CheckBuilders.h"

namespace velmora {

ThreadRshCheck::ThreadRshCheck(CheckContext context, std::unique_ptr<RshClient> client, std::string host,
                               long long port, RshCheckSettings settings)
    : CheckItem("Rsh", std::move(context), host, std::to_string(port)),
      client_(client ? std::move(client) : std::make_unique<RshClient>()), settings_(std::move(settings)) {
    client_->SetHost(std::move(host));
    client_->SetPort(port);
    client_->SetConnectTimeout(settings_.timeout);
    client_->SetReadTimeout(settings_.readTimeout);
}

ThreadRshCheck::ThreadRshCheck(CheckContext context, std::unique_ptr<RshClient> client, std::string host,
                               long long port, RshCheckSettings settings, std::unique_ptr<net::TlsLayer> tls)
    : ThreadRshCheck(std::move(context), std::move(client), std::move(host), port, std::move(settings)) {
    if (tls) client_->SetTls(std::move(tls));
}

void ThreadRshCheck::Execute() {
    const auto start = std::chrono::steady_clock::now();
    const std::string target = "[" + Host() + ":" + Port();
    try {
        client_->Connect();
        if (!client_->Connected()) {
            SetFailed();
            result_text = target + " RSH Connection Error]";
        } else {
            SetPassed();
            result_text = target + " RSH Connection Succeed]";
            if (!net::Trim(settings_.command).empty()) {
                try {
                    std::string clientUser = settings_.clientUsername;
                    if (net::Trim(clientUser).empty()) clientUser = CurrentUserName();
                    const RshClient::Result r = client_->Run(clientUser, settings_.hostUsername, settings_.command);
                    result_text += " [RSH Command Succeed:" + r.output + "]";
                    const std::string err = net::Trim(r.errorText);
                    if (!err.empty()) {
                        SetFailed();
                        result_text += " [RSH Command Error:" + err + "]";
                    }
                } catch (const std::exception& e) {
                    SetFailed();
                    result_text += " [RSH Command Error:" + net::Trim(e.what()) + "]";
                }
            }
        }
    } catch (const std::exception& e) {
        SetFailed();
        result_text = target + net::ConnectErrorText(" RSH Connection Error:", e);
    }
    client_->Close();
    client_.reset();
    response_time = ElapsedMs(start);
}

std::unique_ptr<CheckItem> BuildRshCheck(const ServiceRow& row, const CheckBuild& b) {
    RshCheckSettings s;
    s.hostUsername = row.Get("rsh_host_username");
    s.clientUsername = row.Get("rsh_client_username");
    s.command = row.Get("command");
    s.timeout = row.GetInt("timeout");
    s.readTimeout = row.GetInt("read_timeout");
    auto client = std::make_unique<RshClient>();
    if (b.tls)
        return std::make_unique<ThreadRshCheck>(b.context, std::move(client), row.Get("ip"), row.GetInt("port"),
                                                std::move(s), std::make_unique<net::TlsLayer>(b.tlsSettings));
    return std::make_unique<ThreadRshCheck>(b.context, std::move(client), row.Get("ip"), row.GetInt("port"),
                                            std::move(s));
}

} // namespace velmora
