#pragma once
// The "POP3" check: connect (TLS right away when configured), read the +OK greeting, log in
// with USER/PASS or APOP, optionally ask STAT for the number of messages, and leave with QUIT.
#include "checks/MailFtpCheck.h"
#include "net/LineClient.h"

#include <memory>
#include <string>

namespace velmora {

// The POP3 dialogue of the check over a line client.
class Pop3CheckClient : public net::LineClient {
public:
    std::string username;
    std::string password;
    bool apop = false;

    // Reads the greeting (+OK) and logs in; raises on any failure, a refused step with the
    // server's reply text, an APOP login against a greeting without a timestamp with
    // "Server do not support APOP (no timestamp)".
    void Login();
    // STAT: the number of messages in the maildrop.
    long long MessageCount();
};

struct Pop3CheckSettings {
    std::string username;
    std::string password;
    long long authType = 0;     // 1 = APOP, anything else = USER and PASS
    bool checkTotalMsg = false; // pop3_check_total_msg not 0: ask STAT after the login
    long long timeout = 0;      // connection timeout, ms (< 1 means 5000)
    long long readTimeout = 0;  // read timeout, ms (<= 0 means 5000)
    long long tlsType = 0;      // stored, not used
};

class ThreadPOP3Check : public MailFtpCheck<Pop3CheckClient> {
public:
    ThreadPOP3Check(CheckContext context, std::unique_ptr<Pop3CheckClient> client, std::string host,
                    long long port, Pop3CheckSettings settings);
    ThreadPOP3Check(CheckContext context, std::unique_ptr<Pop3CheckClient> client, std::string host,
                    long long port, Pop3CheckSettings settings, std::unique_ptr<net::TlsLayer> tls,
                    net::TlsSettings tlsSettings);

    const Pop3CheckSettings& Settings() const { return settings_; }

private:
    void Probe() override;

    Pop3CheckSettings settings_;
};

} // namespace velmora
