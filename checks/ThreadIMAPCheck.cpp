#include "ThreadIMAPCheck.h"

#include "MailFtpBuild.h"
#include "MailFtpReplies.h"
#include "MailFtpText.h"
#include "checks/CheckBuilders.h"
#include "checks/CheckSupport.h"

#include <chrono>

namespace velmora {

using namespace mailftp;

namespace {

// A value that goes on a command line must not carry a line break or NUL.
const std::string& LineSafe(const char* what, const std::string& value) {
    CommandLine(what, value);
    return value;
}

} // namespace

std::string ImapCheckClient::ReadResponseLine(const net::Deadline& deadline, size_t& budget) {
    std::string line = ReadLine(deadline);
    for (;;) {
        if (line.size() > budget) {
            throw net::NetError(net::NetErrorKind::Protocol, "Reply too long.");
        }
        const auto literal = imap::LiteralSize(line);
        if (!literal) {
            budget -= line.size();
            return line;
        }
        if (*literal > budget - line.size()) {
            throw net::NetError(net::NetErrorKind::Protocol, "Reply too long.");
        }
        line += "\r\n";
        line += ReadExact(static_cast<size_t>(*literal), deadline);
        line += ReadLine(deadline);
    }
}

ImapCheckClient::Result ImapCheckClient::Command(const std::string& command) {
    const std::string tag = tags_.Next();
    WriteLine(tag + " " + command);
    const net::Deadline deadline = ReadDeadline();
    size_t budget = kMaxReplyBytes;
    Result result;
    std::string bye;
    for (size_t lines = 0;; ++lines) {
        if (lines > kMaxReplyLines) {
            throw net::NetError(net::NetErrorKind::Protocol, "Reply too long.");
        }
        std::string line;
        try {
            line = ReadResponseLine(deadline, budget);
        } catch (const net::NetError&) {
            // A server that said BYE and then closed: its BYE text says why.
            if (!bye.empty()) {
                throw ReplyError(bye);
            }
            throw;
        }
        if (line.empty()) {
            continue;
        }
        imap::Response r = imap::ParseResponse(line);
        switch (r.kind) {
        case imap::Response::Kind::Untagged:
            if (r.status == "BYE") {
                bye =
                    SafeText(TrimBlanks(r.text).empty() ? "Server said BYE." : TrimBlanks(r.text));
            }
            result.untagged.push_back(std::move(r));
            break;
        case imap::Response::Kind::Tagged:
            if (r.tag != tag) {
                throw net::NetError(net::NetErrorKind::Protocol,
                                    "Reply with an unexpected tag: \"" + SafeText(line, 200) +
                                        "\"");
            }
            result.done = std::move(r);
            return result;
        case imap::Response::Kind::Continuation:
            // Nothing of ours waits for a continuation: the command cannot go on.
            throw net::NetError(net::NetErrorKind::Protocol,
                                "Unexpected continuation request: \"" + SafeText(line, 200) + "\"");
        case imap::Response::Kind::Invalid:
            throw net::NetError(net::NetErrorKind::Protocol,
                                "Invalid IMAP reply: \"" + SafeText(line, 200) + "\"");
        }
    }
}

void ImapCheckClient::Open() {
    authenticated_ = false;
    loginRefusal_.clear();
    size_t budget = kMaxReplyBytes;
    const std::string line = ReadResponseLine(ReadDeadline(), budget);
    const imap::Response greeting = imap::ParseResponse(line);
    if (greeting.kind != imap::Response::Kind::Untagged || greeting.status.empty() ||
        greeting.status == "NO" || greeting.status == "BAD") {
        throw net::NetError(net::NetErrorKind::Protocol,
                            "Invalid IMAP greeting: \"" + SafeText(line, 200) + "\"");
    }
    if (greeting.status == "BYE") {
        throw ReplyError(
            SafeText(TrimBlanks(greeting.text).empty() ? "Server said BYE." : greeting.text));
    }
    if (greeting.status == "PREAUTH") {
        authenticated_ = true;
        return;
    }
    const Result login = Command("LOGIN " + imap::Argument(LineSafe("LOGIN", username)) + " " +
                                 imap::Argument(LineSafe("LOGIN", password)));
    if (login.done.status == "OK") {
        authenticated_ = true;
    } else {
        loginRefusal_ = TrimBlanks(SafeText(login.done.text, 300));
        if (loginRefusal_.empty()) {
            loginRefusal_ = login.done.status;
        }
    }
}

ImapCheckClient::Result ImapCheckClient::Select(const std::string& mailbox) {
    if (!authenticated_) {
        std::string why = "Not authenticated: cannot select a mailbox";
        if (!loginRefusal_.empty()) {
            why += " (LOGIN refused: " + loginRefusal_ + ")";
        }
        throw net::NetError(net::NetErrorKind::Other, why + ".");
    }
    return Command("SELECT " + imap::Quoted(LineSafe("SELECT", mailbox)));
}

void ImapCheckClient::Logout() noexcept {
    try {
        if (Connected()) {
            Command("LOGOUT");
        }
    } catch (...) {
    }
}

ThreadIMAPCheck::ThreadIMAPCheck(CheckContext context, std::unique_ptr<ImapCheckClient> client,
                                 std::string host, long long port, ImapCheckSettings settings)
    : MailFtpCheck("IMAP", kImap, std::move(context), std::move(client), std::move(host), port,
                   settings),
      settings_(std::move(settings)) {}

ThreadIMAPCheck::ThreadIMAPCheck(CheckContext context, std::unique_ptr<ImapCheckClient> client,
                                 std::string host, long long port, ImapCheckSettings settings,
                                 std::unique_ptr<net::TlsLayer> tls, net::TlsSettings tlsSettings)
    : ThreadIMAPCheck(std::move(context), std::move(client), std::move(host), port,
                      std::move(settings)) {
    UseTls(std::move(tls), std::move(tlsSettings));
}

void ThreadIMAPCheck::Probe() {
    // No farewell after a failed connection phase: the connection is just closed.
    if (!Opened(
            [this] {
                client_->Connect();
                client_->Open();
            },
            "")) {
        return;
    }
    const std::string& mailbox = settings_.mailbox;
    if (!TrimBlanks(mailbox).empty()) {
        Step("IMAP4 Select MailBox Error:", [&] {
            const ImapCheckClient::Result sel = client_->Select(mailbox);
            if (sel.done.status == "OK") {
                long long exists = 0;
                for (const imap::Response& r : sel.untagged) {
                    if (r.exists) {
                        exists = *r.exists; // the last figure counts
                    }
                }
                result_text += " [IMAP4 MailBox " + mailbox +
                               " exists. Number Of Messages = " + std::to_string(exists) + "]";
            } else {
                SetFailed();
                result_text += " [IMAP4 MailBox " + mailbox + " does not exist]";
            }
        });
    }
    client_->Logout();
}

std::unique_ptr<CheckItem> BuildIMAPCheck(const ServiceRow& row, const CheckBuild& b) {
    ImapCheckSettings s;
    s.username = row.Get("username");
    s.password = row.Get("password");
    s.authType = row.GetInt("auth_type");
    s.mailbox = row.Get("imap_mailbox");
    s.timeout = row.GetInt("timeout");
    s.readTimeout = row.GetInt("read_timeout");
    s.tlsType = row.GetInt("tls_type");
    return MakeMailFtpCheck<ThreadIMAPCheck, ImapCheckClient>(row, b, std::move(s));
}

} // namespace velmora
