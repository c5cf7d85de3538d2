#pragma once
// The "IMAP" check: connect (TLS right away when configured), read the greeting, LOGIN
// unless the server greets with PREAUTH, optionally SELECT a mailbox and report its message
// count, and LOGOUT. A refused LOGIN is not an error by itself: it shows only when a mailbox
// is to be selected.
#include "checks/ImapResponse.h"
#include "checks/MailFtpCheck.h"
#include "net/LineClient.h"

#include <memory>
#include <string>
#include <vector>

namespace velmora {

// The IMAP dialogue of the check over a line client; commands carry the tags C1, C2, ...
class ImapCheckClient : public net::LineClient {
public:
    std::string username;
    std::string password;

    // The tagged completion of one command and the untagged lines before it.
    struct Result {
        imap::Response done;
        std::vector<imap::Response> untagged;
    };

    // Reads the greeting; "OK": LOGIN (authenticated when the answer is OK), "PREAUTH":
    // authenticated at once; "BYE" or anything else raises.
    void Open();
    bool Authenticated() const { return authenticated_; }
    // The server's answer to a refused LOGIN ("" when none was refused).
    const std::string& LoginRefusal() const { return loginRefusal_; }

    // Sends `tag command` and reads up to the tagged completion, all within the read timeout.
    Result Command(const std::string& command);
    // SELECT of the quoted mailbox; raises when the session is not authenticated.
    Result Select(const std::string& mailbox);
    // LOGOUT and its completion; every error ignored.
    void Logout() noexcept;

private:
    // One response line, with any literals it announces read and appended.
    std::string ReadResponseLine(const net::Deadline& deadline, size_t& budget);

    imap::Tagger tags_;
    bool authenticated_ = false;
    std::string loginRefusal_;
};

struct ImapCheckSettings {
    std::string username;
    std::string password;
    long long authType = 0;    // stored, not used (LOGIN always)
    std::string mailbox;       // imap_mailbox; blank means none
    long long timeout = 0;     // connection timeout, ms (< 1 means 5000)
    long long readTimeout = 0; // read timeout, ms (<= 0 means 5000)
    long long tlsType = 0;     // stored, not used
};

class ThreadIMAPCheck : public MailFtpCheck<ImapCheckClient> {
public:
    ThreadIMAPCheck(CheckContext context, std::unique_ptr<ImapCheckClient> client, std::string host,
                    long long port, ImapCheckSettings settings);
    ThreadIMAPCheck(CheckContext context, std::unique_ptr<ImapCheckClient> client, std::string host,
                    long long port, ImapCheckSettings settings, std::unique_ptr<net::TlsLayer> tls,
                    net::TlsSettings tlsSettings);

    const ImapCheckSettings& Settings() const { return settings_; }

private:
    void Probe() override;

    ImapCheckSettings settings_;
};

} // namespace velmora
