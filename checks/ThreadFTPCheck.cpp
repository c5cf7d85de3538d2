#include "ThreadFTPCheck.h"

#include "MailFtpBuild.h"
#include "MailFtpReplies.h"
#include "MailFtpText.h"
#include "checks/CheckBuilders.h"
#include "checks/CheckSupport.h"

#include <chrono>

namespace velmora {

using namespace mailftp;

namespace {

// A whole command line built from stored values must not carry a line break or NUL.
const std::string& LineSafe(const std::string& line) {
    const size_t sp = line.find(' ');
    CommandLine(line.substr(0, sp), sp == std::string::npos ? std::string() : line.substr(sp + 1));
    return line;
}

} // namespace

void FtpCheckClient::Open(const std::string& serverHost, long long serverPort) {
    const ftp::LoginPlan plan = ftp::PlanLogin(proxy, serverHost, serverPort, username, password);
    Connect(plan.connectHost, plan.connectPort);
    ExpectCode(ReadCodedReply(*this), {220});
    if (plan.unsupported) {
        throw net::NetError(net::NetErrorKind::Other, ftp::kCommandNotSupported);
    }
    // USER expects 230 (logged in, no password wanted) or 331 (password needed); PASS goes
    // out only after 331 and expects 230.
    bool passWanted = false;
    for (const ftp::Step& step : plan.steps) {
        switch (step.kind) {
        case ftp::Step::Kind::User: {
            const net::NumericReply r = CodedCommand(*this, LineSafe(step.command));
            ExpectCode(r, {230, 331});
            passWanted = r.Number() == 331;
            break;
        }
        case ftp::Step::Kind::Pass:
            if (passWanted) {
                ExpectCode(CodedCommand(*this, LineSafe(step.command)), {230});
                passWanted = false;
            }
            break;
        case ftp::Step::Kind::Any:
            CodedCommand(*this, LineSafe(step.command));
            break;
        }
    }
}

void FtpCheckClient::Prepare() {
    ExpectCode(CodedCommand(*this, "TYPE I"), {200});
    ExpectCode(CodedCommand(*this, "SYST"), {200, 215, 500});
}

void FtpCheckClient::ChangeDir(const std::string& dir) {
    ExpectCode(CodedCommand(*this, CommandLine("CWD", dir)), {200, 250});
}

ThreadFTPCheck::ThreadFTPCheck(CheckContext context, std::unique_ptr<FtpCheckClient> client,
                               std::string host, long long port, FtpCheckSettings settings)
    : MailFtpCheck("FTP", kFtp, std::move(context), std::move(client), std::move(host), port,
                   settings),
      settings_(std::move(settings)), port_(port) {
    client_->passive = settings_.passive;
    client_->proxy = settings_.proxy;
}

ThreadFTPCheck::ThreadFTPCheck(CheckContext context, std::unique_ptr<FtpCheckClient> client,
                               std::string host, long long port, FtpCheckSettings settings,
                               std::unique_ptr<net::TlsLayer> tls, net::TlsSettings tlsSettings)
    : ThreadFTPCheck(std::move(context), std::move(client), std::move(host), port,
                     std::move(settings)) {
    UseTls(std::move(tls), std::move(tlsSettings));
}

void ThreadFTPCheck::Probe() {
    // The texts name the service's own host and port, also when a proxy was used.
    if (!Opened(
            [this] {
                client_->Open(Host(), port_);
                client_->Prepare();
            },
            "QUIT")) {
        return;
    }
    if (!settings_.directory.empty()) {
        Step("FTP Change Dir Error:", [this] {
            client_->ChangeDir(settings_.directory);
            result_text += " [FTP Change Dir Succeed]";
        });
    }
    SendQuietly(*client_, "QUIT");
}

std::unique_ptr<CheckItem> BuildFTPCheck(const ServiceRow& row, const CheckBuild& b) {
    FtpCheckSettings s;
    s.account = row.Get("ftp_account");
    s.username = row.Get("username");
    s.password = row.Get("password");
    s.authType = row.GetInt("auth_type");
    s.passive = row.GetInt("ftp_is_passive") != 0;
    s.timeout = row.GetInt("timeout");
    s.readTimeout = row.GetInt("read_timeout");
    s.tlsType = row.GetInt("tls_type");
    s.clientName = row.Get("ftp_client_name");
    s.clientVersion = row.Get("ftp_client_version");
    s.platformDescription = row.Get("ftp_platform_description");
    s.proxy.type = row.GetInt("ftp_proxytype");
    s.proxy.host = row.Get("proxy_ip");
    s.proxy.port = row.GetInt("proxy_port");
    s.proxy.username = row.Get("proxy_username");
    s.proxy.password = row.Get("proxy_password");
    // Scheduled runs change to the root directory; test runs ("Setup") do not.
    s.directory = b.context.origin == "Setup" ? "" : "/";
    return MakeMailFtpCheck<ThreadFTPCheck, FtpCheckClient>(row, b, std::move(s));
}

} // namespace velmora
