#include "ThreadSMTPCheck.h"

#include "MailFtpBuild.h"
#include "MailFtpReplies.h"
#include "checks/CheckBuilders.h"
#include "checks/CheckSupport.h"
#include "MailFtpText.h"

#include <openssl/evp.h>
#include <unistd.h>

#include <chrono>

namespace velmora {

using namespace mailftp;

std::string Base64(std::string_view data) {
    std::string out(4 * ((data.size() + 2) / 3) + 1, '\0');
    const int n = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(out.data()),
                                  reinterpret_cast<const unsigned char*>(data.data()),
                                  static_cast<int>(data.size()));
    out.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return out;
}

std::string SmtpCheckClient::LocalHostName() {
    char name[256] = {};
    if (gethostname(name, sizeof name - 1) != 0 || name[0] == '\0') {
        return "localhost";
    }
    return name;
}

void SmtpCheckClient::Greet() {
    ExpectCode(ReadCodedReply(*this), {220});
    const std::string me = LocalHostName();
    const net::NumericReply ehlo = CodedCommand(*this, CommandLine("EHLO", me));
    mechanisms_.clear();
    if (ehlo.Number() == 250) {
        for (const std::string& line : ehlo.lines) {
            if (line.size() > 9 && (line.compare(4, 5, "AUTH ") == 0 || line.compare(4, 5, "AUTH=") == 0)) {
                std::string rest = line.substr(9);
                size_t pos = 0;
                while (pos < rest.size()) {
                    const size_t sp = rest.find(' ', pos);
                    const std::string word = rest.substr(pos, sp == std::string::npos ? std::string::npos : sp - pos);
                    if (!word.empty()) {
                        mechanisms_.push_back(word);
                    }
                    if (sp == std::string::npos) {
                        break;
                    }
                    pos = sp + 1;
                }
            }
        }
        return;
    }
    ExpectCode(CodedCommand(*this, CommandLine("HELO", me)), {250});
}

void SmtpCheckClient::Authenticate() {
    // Tried whether or not the server listed LOGIN: some servers accept it unlisted.
    ExpectCode(CodedCommand(*this, "AUTH LOGIN"), {334});
    ExpectCode(CodedCommand(*this, Base64(username)), {334});
    ExpectCode(CodedCommand(*this, Base64(password)), {235});
}

ThreadSMTPCheck::ThreadSMTPCheck(CheckContext context, std::unique_ptr<SmtpCheckClient> client,
                                 std::string host, long long port, SmtpCheckSettings settings)
    : CheckItem("SMTP", std::move(context), host, std::to_string(port)),
      client_(std::move(client)), settings_(std::move(settings)) {
    client_->SetHost(std::move(host));
    client_->SetPort(port);
    client_->SetConnectTimeout(settings_.timeout);
    client_->SetReadTimeout(settings_.readTimeout);
    client_->username = settings_.username;
    client_->password = settings_.password;
    client_->authLogin = settings_.authType == 1;
    client_->mailAgent = settings_.mailAgent;
}

ThreadSMTPCheck::ThreadSMTPCheck(CheckContext context, std::unique_ptr<SmtpCheckClient> client,
                                 std::string host, long long port, SmtpCheckSettings settings,
                                 std::unique_ptr<net::TlsLayer> tls, net::TlsSettings tlsSettings)
    : ThreadSMTPCheck(std::move(context), std::move(client), std::move(host), port, std::move(settings)) {
    InstallTls(*client_, std::move(tls), std::move(tlsSettings));
}

void ThreadSMTPCheck::Probe() {
    try {
        client_->Connect();
        client_->Greet();
    } catch (const std::exception& e) {
        SendQuietly(*client_, "QUIT");
        client_->Close();
        SetFailed();
        result_text = ConnectErrorResult(Host(), Port(), kSmtp, ErrorEnding(e));
        return;
    }
    if (!client_->Connected()) {
        SetFailed();
        result_text = NotConnectedResult(Host(), Port(), kSmtp);
        return;
    }
    SetPassed();
    result_text = SucceedResult(Host(), Port(), kSmtp);
    if (client_->authLogin) {
        try {
            client_->Authenticate();
        } catch (const std::exception& e) {
            SetFailed();
            result_text += AppendedError("SMTP Authentication Error:", ErrorMessage(e));
        }
    }
    // The farewell goes out without waiting for its answer.
    SendQuietly(*client_, "QUIT");
}

void ThreadSMTPCheck::Execute() {
    if (!client_) {
        return;  // ran before: an instance is executed once
    }
    TimedProbe([this] { Probe(); },
               [this](const std::exception& e) {
                   return ConnectErrorResult(Host(), Port(), kSmtp, ErrorEnding(e));
               },
               [this] { client_.reset(); });  // closes the connection and its TLS layer
}

std::unique_ptr<CheckItem> BuildSMTPCheck(const ServiceRow& row, const CheckBuild& b) {
    SmtpCheckSettings s;
    s.mailAgent = row.Get("smtp_mail_agent");
    s.username = row.Get("username");
    s.password = row.Get("password");
    s.authType = row.GetInt("auth_type");
    s.timeout = row.GetInt("timeout");
    s.readTimeout = row.GetInt("read_timeout");
    s.tlsType = row.GetInt("tls_type");
    return MakeMailFtpCheck<ThreadSMTPCheck, SmtpCheckClient>(row, b, std::move(s));
}

} // namespace velmora
