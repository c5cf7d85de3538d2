#include "ThreadPOP3Check.h"

#include "MailFtpBuild.h"
#include "MailFtpReplies.h"
#include "MailFtpText.h"
#include "Pop3Apop.h"
#include "checks/CheckBuilders.h"
#include "checks/CheckSupport.h"

#include <chrono>

namespace velmora {

using namespace mailftp;

void Pop3CheckClient::Login() {
    const net::OkReply greeting = ReadOkOrErr(*this);
    if (!greeting.ok) {
        throw ReplyError(SafeText(greeting.text));
    }
    if (apop) {
        const auto timestamp = pop3::ApopTimestamp(greeting.line);
        if (!timestamp) {
            throw ReplyError("Server do not support APOP (no timestamp)");
        }
        CommandLine("APOP", username); // refuses a user name that would break the line
        ExpectOk(*this, pop3::ApopCommand(username, *timestamp, password));
        return;
    }
    ExpectOk(*this, CommandLine("USER", username));
    ExpectOk(*this, CommandLine("PASS", password));
}

long long Pop3CheckClient::MessageCount() {
    const net::OkReply reply = ExpectOk(*this, "STAT");
    const auto count = pop3::StatMessageCount(reply.text);
    if (!count) {
        throw net::NetError(net::NetErrorKind::Protocol,
                            "Invalid STAT reply: \"" + SafeText(reply.text, 200) + "\"");
    }
    return *count;
}

ThreadPOP3Check::ThreadPOP3Check(CheckContext context, std::unique_ptr<Pop3CheckClient> client,
                                 std::string host, long long port, Pop3CheckSettings settings)
    : MailFtpCheck("POP3", kPop3, std::move(context), std::move(client), std::move(host), port,
                   settings),
      settings_(std::move(settings)) {
    client_->apop = settings_.authType == 1;
}

ThreadPOP3Check::ThreadPOP3Check(CheckContext context, std::unique_ptr<Pop3CheckClient> client,
                                 std::string host, long long port, Pop3CheckSettings settings,
                                 std::unique_ptr<net::TlsLayer> tls, net::TlsSettings tlsSettings)
    : ThreadPOP3Check(std::move(context), std::move(client), std::move(host), port,
                      std::move(settings)) {
    UseTls(std::move(tls), std::move(tlsSettings));
}

void ThreadPOP3Check::Probe() {
    if (!Opened(
            [this] {
                client_->Connect();
                client_->Login();
            },
            "QUIT")) {
        return;
    }
    if (settings_.checkTotalMsg) {
        Step("POP3 Check Message Error:", [this] {
            const long long n = client_->MessageCount();
            result_text += " [Number Of Messages = " + std::to_string(n) + "]";
        });
    }
    SendQuietly(*client_, "QUIT");
}

std::unique_ptr<CheckItem> BuildPOP3Check(const ServiceRow& row, const CheckBuild& b) {
    Pop3CheckSettings s;
    s.username = row.Get("username");
    s.password = row.Get("password");
    s.authType = row.GetInt("auth_type");
    s.checkTotalMsg = row.GetInt("pop3_check_total_msg") != 0;
    s.timeout = row.GetInt("timeout");
    s.readTimeout = row.GetInt("read_timeout");
    s.tlsType = row.GetInt("tls_type");
    return MakeMailFtpCheck<ThreadPOP3Check, Pop3CheckClient>(row, b, std::move(s));
}

} // namespace velmora
