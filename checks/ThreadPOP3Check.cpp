#include "ThreadPOP3Check.h"

#include "MailFtpBuild.h"
#include "MailFtpReplies.h"
#include "checks/CheckBuilders.h"
#include "checks/CheckSupport.h"
#include "MailFtpText.h"
#include "Pop3Apop.h"

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
        CommandLine("APOP", username);  // refuses a user name that would break the line
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
    : CheckItem("POP3", std::move(context), host, std::to_string(port)),
      client_(std::move(client)), settings_(std::move(settings)) {
    client_->SetHost(std::move(host));
    client_->SetPort(port);
    client_->SetConnectTimeout(settings_.timeout);
    client_->SetReadTimeout(settings_.readTimeout);
    client_->username = settings_.username;
    client_->password = settings_.password;
    client_->apop = settings_.authType == 1;
}

ThreadPOP3Check::ThreadPOP3Check(CheckContext context, std::unique_ptr<Pop3CheckClient> client,
                                 std::string host, long long port, Pop3CheckSettings settings,
                                 std::unique_ptr<net::TlsLayer> tls, net::TlsSettings tlsSettings)
    : ThreadPOP3Check(std::move(context), std::move(client), std::move(host), port, std::move(settings)) {
    InstallTls(*client_, std::move(tls), std::move(tlsSettings));
}

void ThreadPOP3Check::Probe() {
    try {
        client_->Connect();
        client_->Login();
    } catch (const std::exception& e) {
        SendQuietly(*client_, "QUIT");
        client_->Close();
        SetFailed();
        result_text = ConnectErrorResult(Host(), Port(), kPop3, ErrorEnding(e));
        return;
    }
    if (!client_->Connected()) {
        SetFailed();
        result_text = NotConnectedResult(Host(), Port(), kPop3);
        return;
    }
    SetPassed();
    result_text = SucceedResult(Host(), Port(), kPop3);
    if (settings_.checkTotalMsg) {
        try {
            const long long n = client_->MessageCount();
            result_text += " [Number Of Messages = " + std::to_string(n) + "]";
        } catch (const std::exception& e) {
            SetFailed();
            result_text += AppendedError("POP3 Check Message Error:", ErrorMessage(e));
        }
    }
    SendQuietly(*client_, "QUIT");
}

void ThreadPOP3Check::Execute() {
    if (!client_) {
        return;  // ran before: an instance is executed once
    }
    TimedProbe([this] { Probe(); },
               [this](const std::exception& e) {
                   return ConnectErrorResult(Host(), Port(), kPop3, ErrorEnding(e));
               },
               [this] { client_.reset(); });  // closes the connection and its TLS layer
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
