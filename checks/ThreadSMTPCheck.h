#pragma once
// The "SMTP" check: connect (TLS right away when configured), read the 220 greeting, say
// EHLO (HELO when EHLO is refused), optionally authenticate with AUTH LOGIN, and leave with
// QUIT. No message is ever sent.
#include "checks/MailFtpCheck.h"
#include "net/LineClient.h"

#include <memory>
#include <string>
#include <vector>

namespace velmora {

// The SMTP dialogue of the check over a line client.
class SmtpCheckClient : public net::LineClient {
public:
    std::string username;
    std::string password;
    bool authLogin = false;
    std::string mailAgent; // kept for the record; no message is sent, so it never goes out

    // The name sent with EHLO / HELO: the machine's own host name.
    static std::string LocalHostName();

    // Reads the greeting (220), then EHLO, and HELO when EHLO gets anything but 250.
    // Raises on any failure; a refused reply raises with the reply's text.
    void Greet();
    // AUTH LOGIN (334), user name (334), password (235), both in Base64.
    void Authenticate();
    // What the EHLO reply listed on its "AUTH " / "AUTH=" lines.
    const std::vector<std::string>& AuthMechanisms() const { return mechanisms_; }

private:
    std::vector<std::string> mechanisms_;
};

struct SmtpCheckSettings {
    std::string mailAgent; // smtp_mail_agent
    std::string username;
    std::string password;
    long long authType = 0;    // 1 = AUTH LOGIN, anything else = none
    long long timeout = 0;     // connection timeout, ms (< 1 means 5000)
    long long readTimeout = 0; // read timeout, ms (<= 0 means 5000)
    long long tlsType = 0;     // stored, not used
};

class ThreadSMTPCheck : public MailFtpCheck<SmtpCheckClient> {
public:
    ThreadSMTPCheck(CheckContext context, std::unique_ptr<SmtpCheckClient> client, std::string host,
                    long long port, SmtpCheckSettings settings);
    // With a TLS layer: the handshake runs right after the TCP connection, before the greeting.
    ThreadSMTPCheck(CheckContext context, std::unique_ptr<SmtpCheckClient> client, std::string host,
                    long long port, SmtpCheckSettings settings, std::unique_ptr<net::TlsLayer> tls,
                    net::TlsSettings tlsSettings);

    const SmtpCheckSettings& Settings() const { return settings_; }

private:
    void Probe() override;

    SmtpCheckSettings settings_;
};

std::string Base64(std::string_view data);

} // namespace velmora
