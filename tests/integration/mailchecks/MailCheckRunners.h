#pragma once
// Shared by the mail and FTP check tests: running a check as the builders make it (with an
// optional TLS layer) and the settings of the test servers' users.
#include "checks/CheckBuilders.h"
#include "checks/ThreadFTPCheck.h"
#include "checks/ThreadIMAPCheck.h"
#include "checks/ThreadPOP3Check.h"
#include "checks/ThreadSMTPCheck.h"
#include "tests/integration/checks/FixtureServers.h"
#include "tests/support/TestSupport.h"

#include <sys/wait.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

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


// A check made by the builders from a service row, run once.
inline Outcome RunRow(const ServiceRow& row, const std::string& origin = "Product") {
    std::unique_ptr<CheckItem> check = BuildCheck(row, origin);
    if (!check) {
        return {false, "not built", "", 0};
    }
    check->Execute();
    return {check->passed, check->status, check->result_text, check->response_time};
}

inline ServiceRow MakeRow(const std::string& type, int port,
                          std::vector<std::pair<std::string, std::string>> columns = {}) {
    ServiceRow row;
    row.Set("service", type);
    row.Set("ip", kHost);
    row.Set("port", std::to_string(port));
    for (auto& [k, v] : columns) {
        row.Set(k, v);
    }
    return row;
}

#ifdef VELMORACTL_PATH
struct CliResult {
    int exit;
    std::string out;
};

// velmoractl check with the arguments; its standard output and exit code.
inline CliResult Velmoractl(const std::vector<std::string>& args) {
    auto quote = [](const std::string& v) {
        std::string q = "'";
        for (char c : v) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
        return q + "'";
    };
    std::string cmd = quote(VELMORACTL_PATH) + " check";
    for (const auto& a : args) cmd += " " + quote(a);
    cmd += " 2>/dev/null";
    FILE* p = ::popen(cmd.c_str(), "r");
    std::string out;
    char buf[4096];
    size_t n;
    while (p && (n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    const int st = p ? ::pclose(p) : -1;
    return {WIFEXITED(st) ? WEXITSTATUS(st) : -1, out};
}

// The first two lines velmoractl prints: the result text and the status.
inline std::string CliHead(const std::string& text, const char* status) {
    return text + "\nstatus: " + status + "\nresponse_time_ms: ";
}
#endif

} // namespace velmora::mailtest
