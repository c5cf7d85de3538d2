#include "alarms/ThreadSMTP.h"

#include "alarms/TextUtil.h"
#include "net/LineClient.h"
#include "net/NetError.h"

#include <random>
#include <unistd.h>

namespace velmora {

namespace {

// A step that failed: what the server or the network said, and which text it ends in.
struct StepError : std::runtime_error {
    using std::runtime_error::runtime_error;
};
struct AuthError : std::runtime_error {
    using std::runtime_error::runtime_error;
};
struct ConnectError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

std::string LocalHostName() {
    char buf[256] = {};
    if (gethostname(buf, sizeof buf - 1) != 0 || !buf[0]) return "localhost";
    return buf;
}

std::string Base64(const std::string& in) {
    static const char* t = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    unsigned val = 0;
    int bits = -6;
    for (unsigned char c : in) {
        val = (val << 8) | c;
        bits += 8;
        while (bits >= 0) {
            out += t[(val >> bits) & 63];
            bits -= 6;
        }
    }
    if (bits > -6) out += t[((val << 8) >> (bits + 8)) & 63];
    while (out.size() % 4) out += '=';
    return out;
}

std::string MessageId(const std::string& host) {
    std::random_device rd;
    std::mt19937_64 gen(rd());
    char buf[64];
    std::snprintf(buf, sizeof buf, "%016llx.%lx", static_cast<unsigned long long>(gen()),
                  static_cast<long>(std::time(nullptr)));
    return "<" + std::string(buf) + "@" + host + ">";
}

// Sends `line` and checks the reply code; a wrong code raises E with the reply text.
template <class E>
net::NumericReply Expect(net::LineClient& c, const std::string& line, std::initializer_list<int> codes) {
    net::NumericReply r = c.Command(line);
    for (int code : codes)
        if (r.Number() == code) return r;
    throw E(r.text.empty() ? (r.lines.empty() ? std::string("No reply") : r.lines.back()) : r.text);
}

bool Offers(const net::NumericReply& ehlo, const std::string& keyword) {
    for (size_t i = 1; i < ehlo.lines.size(); ++i) {
        const std::string l = net::ToUpper(ehlo.lines[i].size() > 4 ? ehlo.lines[i].substr(4) : "");
        if (l == keyword || l.rfind(keyword + " ", 0) == 0) return true;
    }
    return false;
}

net::TlsSettings TrustOf(const AlarmMethodSettings::Email& s) {
    net::TlsSettings t;
    t.rootCertFile = s.ca_file;
    t.verifyDirs = s.ca_dir;
    t.verifyPeer = !s.ca_file.empty() || !s.ca_dir.empty();
    return t;
}

} // namespace

ThreadSMTP::ThreadSMTP(const AlarmMethodSettings::Email& settings, std::unique_ptr<MailMessage> message)
    : AlarmSender(kMethodEmail), settings_(settings), message_(std::move(message)),
      implicitTls_(settings.port == 465) {}

std::unique_ptr<MailMessage> ThreadSMTP::BuildMessage(const AlarmMethodSettings::Email& settings,
                                                      const std::string& recipient, const std::string& text) {
    auto m = std::make_unique<MailMessage>();
    m->from = Trim(settings.from_address);
    m->to = SplitAddressList(recipient);
    m->subject = "Alarming Message : " + text;
    m->body = text;
    m->mailer = settings.mail_agent;
    return m;
}

void ThreadSMTP::Execute() {
    const auto& s = settings_;
    const std::string target = "[" + s.host + ":" + std::to_string(s.port);
    auto client = std::make_unique<net::LineClient>();
    try {
        const std::string me = LocalHostName();
        // Step 1: connection, greeting, EHLO / HELO (and STARTTLS when offered).
        try {
            client->SetConnectTimeout(s.timeout);
            client->SetReadTimeout(s.read_timeout);
            if (implicitTls_) client->SetTls(std::make_unique<net::TlsLayer>(TrustOf(s)));
            client->Connect(s.host, s.port);
            const net::NumericReply greeting = client->ReadNumericReply();
            if (greeting.Number() != 220) throw ConnectError(greeting.text);
            net::NumericReply ehlo = client->Command("EHLO " + me);
            if (ehlo.Number() != 250) {
                Expect<ConnectError>(*client, "HELO " + me, {250});
            } else if (!client->Secure() && Offers(ehlo, "STARTTLS")) {
                Expect<ConnectError>(*client, "STARTTLS", {220});
                client->StartTls(std::make_unique<net::TlsLayer>(TrustOf(s)));
                Expect<ConnectError>(*client, "EHLO " + me, {250});
            }
        } catch (const ConnectError& e) {
            throw net::NetError(net::NetErrorKind::Protocol, e.what());
        }
        // Step 3: login.
        if (s.authenticate != 0) {
            try {
                Expect<AuthError>(*client, "AUTH LOGIN", {334});
                Expect<AuthError>(*client, Base64(s.username), {334});
                Expect<AuthError>(*client, Base64(s.password), {235});
            } catch (const std::exception& e) {
                SetError("[SMTP Alarm Authentication Error:" + Trim(e.what()) + "]");
                throw;
            }
        }
        // Step 4: the message.
        if (!message_) {
            SetError("[ERR01001 : SMTP Message required]");
        } else {
            try {
                client->Command("RSET");
                Expect<StepError>(*client, "MAIL FROM:<" + AddressOf(message_->from) + ">", {250});
                for (const auto& entry : message_->to)
                    Expect<StepError>(*client, "RCPT TO:<" + AddressOf(entry) + ">", {250, 251});
                Expect<StepError>(*client, "DATA", {354});
                client->Write(message_->Render(MailDateNow(), MessageId(me)));
                Expect<StepError>(*client, ".", {250});
                SetSent("[SMTP Alarm Sent Succeed]");
            } catch (const std::exception& e) {
                SetError("[SMTP Alarm Sent Error:" + Trim(e.what()) + "]");
            }
        }
    } catch (const std::exception& e) {
        if (status.empty()) SetError(target + net::ConnectErrorText(" SMTP Alarm Connection Error:", e));
    }
    // Farewell; errors ignored.
    try {
        if (client->Connected()) client->Command("QUIT");
    } catch (...) {
    }
    client->Close();
    message_.reset();
}

} // namespace velmora
