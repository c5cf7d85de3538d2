#include "checks/ThreadPingCheck.h"

#include "checks/CheckBuilders.h"
#include "checks/CheckSupport.h"

namespace velmora {

ThreadPingCheck::ThreadPingCheck(CheckContext context, std::unique_ptr<net::IcmpClient> client, std::string host,
                                 std::string port, PingCheckSettings settings)
    : CheckItem("Ping", std::move(context), std::move(host), std::move(port)), settings_(settings),
      client_(std::move(client)) {
    client_->SetHost(Host());
    client_->SetTimeout(settings_.timeout);
    client_->onReply = [this](size_t bytes) { OnReply(bytes); };
}

std::string ThreadPingCheck::TargetText() const {
    const auto port = ParseInteger(Port());
    const bool showPort = !Port().empty() && !(port && *port == 0);
    return "[" + Host() + (showPort ? ":" + Port() : "");
}

void ThreadPingCheck::OnReply(size_t bytes) {
    replyRecorded_ = true;
    replyBytes_ = bytes;
    if (bytes < 1) {
        SetFailed();
        result_text = TargetText() + " PING Failed]";
    } else {
        SetPassed();
        result_text = TargetText() + " PING Succeed]";
    }
}

void ThreadPingCheck::Execute() {
    const auto start = std::chrono::steady_clock::now();
    result_text = "[PING Succeed]";
    try {
        client_->Ping();
    } catch (const std::exception& e) {
        if (!replyRecorded_ || replyBytes_ < 1) {
            SetFailed();
            result_text = TargetText() + net::ConnectErrorText(" PING Error:", e);
        }
    }
    client_.reset();
    response_time = ElapsedMs(start);
}

std::unique_ptr<CheckItem> BuildPingCheck(const ServiceRow& row, const CheckBuild& b) {
    PingCheckSettings s;
    s.timeout = row.GetInt("timeout");
    return std::make_unique<ThreadPingCheck>(b.context, std::make_unique<net::IcmpClient>(), row.Get("ip"),
                                             PortFromRow(row), s);
}

} // namespace velmora
