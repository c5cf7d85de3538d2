#include "ThreadNNTPCheck.h"

#include "checks/CheckBuilders.h"

#include "net/NetError.h"

namespace velmora {

using net::NetError;
using net::NetErrorKind;
using net::NumericReply;

namespace {
[[noreturn]] void Unexpected(const NumericReply& r) {
    std::string text = r.lines.empty() ? std::string("(empty reply)") : r.lines.back();
    throw NetError(NetErrorKind::Protocol, "Unexpected reply: " + net::Trim(text));
}
} // namespace

ThreadNNTPCheck::ThreadNNTPCheck(CheckContext context, std::unique_ptr<net::LineClient> client,
                                 std::string host, long long port, NntpCheckSettings settings)
    : CheckItem("NNTP", std::move(context), host, std::to_string(port)),
      client_(client ? std::move(client) : std::make_unique<net::LineClient>()),
      settings_(std::move(settings)) {
    client_->SetHost(std::move(host));
    client_->SetPort(port);
    client_->SetConnectTimeout(settings_.timeout < 1 ? 5000 : settings_.timeout);
    client_->SetReadTimeout(settings_.readTimeout);
}

ThreadNNTPCheck::ThreadNNTPCheck(CheckContext context, std::unique_ptr<net::LineClient> client,
                                 std::string host, long long port, NntpCheckSettings settings,
                                 std::unique_ptr<net::TlsLayer> tls)
    : ThreadNNTPCheck(std::move(context), std::move(client), std::move(host), port, std::move(settings)) {
    if (tls) client_->SetTls(std::move(tls));
}

NumericReply ThreadNNTPCheck::CommandWithAuth(const std::string& line) {
    NumericReply r = client_->Command(line);
    if (r.Number() != 480 && r.Number() != 450) return r;
    const NumericReply user = client_->Command("AUTHINFO USER " + settings_.username);
    if (user.Number() != 381 && user.Number() != 281) Unexpected(user);
    if (user.Number() == 381) {
        const NumericReply pass = client_->Command("AUTHINFO PASS " + settings_.password);
        if (pass.Number() != 281) Unexpected(pass);
    }
    return client_->Command(line);
}

void ThreadNNTPCheck::Execute() {
    const auto start = std::chrono::steady_clock::now();
    const std::string target = "[" + Host() + ":" + Port();
    bool connected = false;
    try {
        client_->Connect();
        const NumericReply greeting = client_->ReadNumericReply();
        const int code = greeting.Number();
        if (code == 502) throw NetError(NetErrorKind::Other, "Connection explicitly refused by NNTP server.");
        if (code != 200 && code != 201 && code != 400) Unexpected(greeting);
        CommandWithAuth("MODE READER");  // any answer will do
        connected = client_->Connected();
    } catch (const std::exception& e) {
        SetFailed();
        result_text = target + net::ConnectErrorText(" NNTP Connection Error:", e);
        if (client_->Connected()) {
            try {
                client_->Write("Quit\r\n");
            } catch (...) {
            }
        }
        client_->Close();
        client_.reset();
        response_time = ElapsedMs(start);
        return;
    }
    if (!connected) {
        SetFailed();
        result_text = target + " NNTP Connection Error]";
    } else {
        SetPassed();
        result_text = target + " NNTP Connection Succeed]";
        if (!net::Trim(settings_.group).empty()) {
            try {
                const NumericReply r = CommandWithAuth("Group " + settings_.group);
                if (r.Number() != 211) Unexpected(r);
                // "211 <count> <first> <last> <group>"
                const std::string text = net::Trim(r.text);
                const std::string count = text.substr(0, text.find(' '));
                result_text += " [Number Of Messages = " + count + "]";
            } catch (const std::exception& e) {
                SetFailed();
                result_text += " " + target + " Get Number of Messages Error:" + net::Trim(e.what()) + "]";
            }
        }
    }
    // Farewell without waiting for the answer.
    try {
        if (client_->Connected()) client_->Write("Quit\r\n");
    } catch (...) {
    }
    client_->Close();
    client_.reset();
    response_time = ElapsedMs(start);
}

std::unique_ptr<CheckItem> BuildNNTPCheck(const ServiceRow& row, const CheckBuild& b) {
    NntpCheckSettings s;
    s.username = row.Get("username");
    s.password = row.Get("password");
    s.group = row.Get("nntp_group");
    s.timeout = row.GetInt("timeout");
    s.readTimeout = row.GetInt("read_timeout");
    auto client = std::make_unique<net::LineClient>();
    if (b.tls)
        return std::make_unique<ThreadNNTPCheck>(b.context, std::move(client), row.Get("ip"), row.GetInt("port"),
                                                 std::move(s), std::make_unique<net::TlsLayer>(b.tlsSettings));
    return std::make_unique<ThreadNNTPCheck>(b.context, std::move(client), row.Get("ip"), row.GetInt("port"),
                                             std::move(s));
}

} // namespace velmora
