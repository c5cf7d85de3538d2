#pragma once
// Shared by the mail and FTP check tests: running a check as the builders make it (with an
// optional TLS layer) and the settings of the test servers' users.
#include "checks/ThreadFTPCheck.h"
#include "checks/ThreadIMAPCheck.h"
#include "checks/ThreadPOP3Check.h"
#include "checks/ThreadSMTPCheck.h"
#include "tests/integration/checks/FixtureServers.h"
#include "tests/support/TestSupport.h"

#include <memory>
#include <string>

namespace velmora::mailtest {

using test::ServerPort;
using test::ServerValue;

inline const std::string kHost = "127.0.0.1";

struct Outcome {
    bool passed;
    std::string status;
    std::string text;
    long long ms;
};

template <class Check>
inline Outcome Run(Check& check) {
    check.Execute();
    return {check.passed, check.status, check.result_text, check.response_time};
}

inline std::string P(int port) { return std::to_string(port); }

// --- building the checks as the builders do, with an optional TLS layer -----------------

inline Outcome Smtp(int port, SmtpCheckSettings s, bool tls = false, const std::string& host = kHost) {
    if (tls) {
        ThreadSMTPCheck c({}, std::make_unique<SmtpCheckClient>(), host, port, s,
                          std::make_unique<net::TlsLayer>(), net::TlsSettings{});
        return Run(c);
    }
    ThreadSMTPCheck c({}, std::make_unique<SmtpCheckClient>(), host, port, s);
    return Run(c);
}

inline Outcome Pop3(int port, Pop3CheckSettings s, bool tls = false) {
    if (tls) {
        ThreadPOP3Check c({}, std::make_unique<Pop3CheckClient>(), kHost, port, s,
                          std::make_unique<net::TlsLayer>(), net::TlsSettings{});
        return Run(c);
    }
    ThreadPOP3Check c({}, std::make_unique<Pop3CheckClient>(), kHost, port, s);
    return Run(c);
}

inline Outcome Imap(int port, ImapCheckSettings s, bool tls = false) {
    if (tls) {
        ThreadIMAPCheck c({}, std::make_unique<ImapCheckClient>(), kHost, port, s,
                          std::make_unique<net::TlsLayer>(), net::TlsSettings{});
        return Run(c);
    }
    ThreadIMAPCheck c({}, std::make_unique<ImapCheckClient>(), kHost, port, s);
    return Run(c);
}

inline Outcome Ftp(const std::string& host, int port, FtpCheckSettings s, bool tls = false) {
    if (tls) {
        ThreadFTPCheck c({}, std::make_unique<FtpCheckClient>(), host, port, s,
                         std::make_unique<net::TlsLayer>(), net::TlsSettings{});
        return Run(c);
    }
    ThreadFTPCheck c({}, std::make_unique<FtpCheckClient>(), host, port, s);
    return Run(c);
}

inline SmtpCheckSettings SmtpUser(long long authType, const std::string& password = "") {
    SmtpCheckSettings s;
    s.username = ServerValue("smtpcheck", "USER");
    s.password = password.empty() ? ServerValue("smtpcheck", "PASSWORD") : password;
    s.authType = authType;
    s.mailAgent = "Velmora";
    return s;
}

inline Pop3CheckSettings Pop3User(long long authType, bool stat, const std::string& password = "") {
    Pop3CheckSettings s;
    s.username = ServerValue("dovecot", "USER");
    s.password = password.empty() ? ServerValue("dovecot", "PASSWORD") : password;
    s.authType = authType;
    s.checkTotalMsg = stat;
    return s;
}

inline ImapCheckSettings ImapUser(const std::string& mailbox, const std::string& password = "") {
    ImapCheckSettings s;
    s.username = ServerValue("dovecot", "USER");
    s.password = password.empty() ? ServerValue("dovecot", "PASSWORD") : password;
    s.mailbox = mailbox;
    return s;
}

inline FtpCheckSettings FtpUser(const std::string& dir, const std::string& password = "") {
    FtpCheckSettings s;
    s.username = ServerValue("vsftpd", "USER");
    s.password = password.empty() ? ServerValue("vsftpd", "PASSWORD") : password;
    s.directory = dir;
    return s;
}


} // namespace velmora::mailtest
