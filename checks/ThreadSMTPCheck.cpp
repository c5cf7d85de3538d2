#include "ThreadSMTPCheck.h"

#include "MailFtpBuild.h"
#include "MailFtpReplies.h"
#include "MailFtpText.h"
#include "checks/CheckBuilders.h"
#include "checks/CheckSupport.h"

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
            if (line.size() > 9 &&
                (line.compare(4, 5, "AUTH ") == 0 || line.compare(4, 5, "AUTH=") == 0)) {
                std::string rest = line.substr(9);
                size_t pos = 0;
                while (pos < rest.size()) {
                    const size_t sp = rest.find(' ', pos);
                    const std::string word =
                        rest.substr(pos, sp == std::string::npos ? std::string::npos : sp - pos);
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
    : MailFtpCheck("SMTP", kSmtp, std::move(context), std::move(client), std::move(host), port,
                   settings),
      settings_(std::move(settings)) {
    client_->authLogin = settings_.authType == 1;
    client_->mailAgent = settings_.mailAgent;
}

ThreadSMTPCheck::ThreadSMTPCheck(CheckContext context, std::unique_ptr<SmtpCheckClient> client,
                                 std::string host, long long port, SmtpCheckSettings settings,
                                 std::unique_ptr<net::TlsLayer> tls, net::TlsSettings tlsSettings)
    : ThreadSMTPCheck(std::move(context), std::move(client), std::move(host), port,
                      std::move(settings)) {
    UseTls(std::move(tls), std::move(tlsSettings));
}

void ThreadSMTPCheck::Probe() {
    if (!Opened(
            [this] {
                client_->Connect();
                client_->Greet();
            },
            "QUIT")) {
        return;
    }
    if (client_->authLogin) {
        Step("SMTP Authentication Error:", [this] { client_->Authenticate(); });
    }
    // The farewell goes out without waiting for its answer.
    SendQuietly(*client_, "QUIT");
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
