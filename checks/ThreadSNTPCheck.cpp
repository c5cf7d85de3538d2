#include "ThreadSNTPCheck.h"

#include "checks/CheckBuilders.h"

#include "SntpPacket.h"
#include "net/NetError.h"

namespace velmora {

ThreadSNTPCheck::ThreadSNTPCheck(CheckContext context, std::unique_ptr<net::UdpClient> client,
                                 std::string host, long long port, SntpCheckSettings settings)
    : CheckItem("SNTP", std::move(context), std::move(host), std::to_string(port)),
      client_(client ? std::move(client) : std::make_unique<net::UdpClient>()), port_(port),
      settings_(settings) {
    settings_.timeout = net::EffectiveTimeout(settings_.timeout);
}

void ThreadSNTPCheck::Execute() {
    const auto start = std::chrono::steady_clock::now();
    const std::string target = "[" + Host() + ":" + Port();
    bool opened = false;
    try {
        // The name lookup and the wait for the answer share the one timeout.
        const auto deadline = net::Deadline::In(settings_.timeout);
        client_->Open(Host(), port_, deadline);
        opened = true;
        client_->Send(sntp::BuildRequest(std::chrono::system_clock::now()));
        // Wait for an answer of at least 48 bytes; shorter datagrams are not answers.
        TimePoint serverTime = sntp::ZeroTime();
        while (auto answer = client_->Receive(1024, deadline)) {
            if (auto t = sntp::TransmitTime(*answer)) {
                serverTime = *t;
                break;
            }
        }
        SetPassed();
        result_text = target + " SNTP Connection Succeed]";
        if (settings_.compareTime) {
            const auto c = sntp::Compare(serverTime, std::chrono::system_clock::now(), settings_.timeDifferent);
            result_text += c.text;
            if (!c.passed) SetFailed();
        }
    } catch (const std::exception& e) {
        SetFailed();
        if (!opened)
            result_text = target + net::ConnectErrorText(" SNTP Connection Error:", e);
        else
            result_text = target + " SNTP Server Time = " + sntp::FormatServerTime(sntp::ZeroTime()) +
                          ": Get Time Error:" + net::Trim(e.what()) + "]";
    }
    client_.reset();
    response_time = ElapsedMs(start);
}

std::unique_ptr<CheckItem> BuildSNTPCheck(const ServiceRow& row, const CheckBuild& b) {
    SntpCheckSettings s;
    s.bufferSize = row.GetInt("buffer_size", 8192);
    s.compareTime = row.GetInt("sntp_compare_time") != 0;
    s.timeDifferent = row.GetInt("sntp_time_different");
    s.timeout = row.GetInt("timeout");
    return std::make_unique<ThreadSNTPCheck>(b.context, std::make_unique<net::UdpClient>(), row.Get("ip"),
                                             row.GetInt("port"), s);
}

} // namespace velmora
