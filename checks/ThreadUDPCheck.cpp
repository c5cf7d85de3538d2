#include "checks/ThreadUDPCheck.h"

#include "checks/CheckBuilders.h"
#include "checks/CheckSupport.h"

namespace velmora {

ThreadUDPCheck::ThreadUDPCheck(CheckContext context, std::unique_ptr<net::UdpClient> client, std::string host,
                               std::string port, UDPCheckSettings settings)
    : CheckItem("UDP", std::move(context), std::move(host), std::move(port)), settings_(std::move(settings)),
      client_(std::move(client)) {
    settings_.timeout = net::EffectiveTimeout(settings_.timeout);
    // A buffer of no bytes could never hold an answer; such a stored value takes the default.
    if (settings_.buffer_size < 1) {
        settings_.buffer_size = 8192;
    }
}

void ThreadUDPCheck::Execute() {
    const auto start = std::chrono::steady_clock::now();
    const std::string target = Target(Host(), Port());
    try {
        if (!net::Trim(settings_.command).empty()) {
            bool open = false;
            try {
                client_->Open(Host(), PortNumber(Port()), net::Deadline::In(settings_.timeout));
                open = true;
            } catch (const std::exception& e) {
                SetFailed();
                result_text = target + net::ConnectErrorText(" UDP Connection Error:", e);
            }
            if (open) {
                try {
                    client_->Send(settings_.command);
                    const auto answer = client_->Receive(static_cast<size_t>(settings_.buffer_size),
                                                         net::Deadline::In(settings_.timeout));
                    result_text = target + " UDP Send Data succeed: Response =" +
                                  net::ToUpper(net::Trim(answer.value_or(""))) + "]";
                } catch (const std::exception& e) {
                    SetFailed();
                    result_text = " " + target + " UDP Send Data Error:" + net::Trim(e.what()) + "]";
                }
            }
        }
    } catch (const std::exception& e) {
        SetFailed();
        result_text = " " + target + " UDP Send Data Error:" + net::Trim(e.what()) + "]";
    }
    client_.reset();
    response_time = ElapsedMs(start);
}

std::unique_ptr<CheckItem> BuildUDPCheck(const ServiceRow& row, const CheckBuild& b) {
    UDPCheckSettings s;
    s.command = row.Get("command");
    s.buffer_size = row.GetInt("buffer_size", 8192);
    s.timeout = row.GetInt("timeout");
    return std::make_unique<ThreadUDPCheck>(b.context, std::make_unique<net::UdpClient>(), row.Get("ip"),
                                            PortFromRow(row), std::move(s));
}

} // namespace velmora
