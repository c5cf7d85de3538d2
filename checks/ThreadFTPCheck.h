#pragma once
// The "FTP" check: connect to the server or its FTP proxy (TLS right away when configured),
// read the 220 greeting, log in by the proxy type's sequence, TYPE I, SYST, then change to
// the given directory (scheduled runs pass "/", test runs none) and leave with QUIT. No data
// connection is ever opened.
#include "checks/FtpProxyLogin.h"
#include "checks/MailFtpCheck.h"
#include "net/LineClient.h"

#include <memory>
#include <string>

namespace velmora {

// The FTP control-connection dialogue of the check over a line client.
class FtpCheckClient : public net::LineClient {
public:
    std::string username;
    std::string password;
    bool passive = false; // kept for the record; without a data transfer it changes nothing
    ftp::ProxySettings proxy;

    // Connects where the login plan says (the proxy or the server), reads the greeting and
    // logs in; raises on any failure, a refused reply with its text.
    void Open(const std::string& serverHost, long long serverPort);
    // TYPE I (200) and SYST (200, 215 or 500).
    void Prepare();
    // CWD dir (200 or 250).
    void ChangeDir(const std::string& dir);
};

struct FtpCheckSettings {
    std::string account; // ftp_account: stored, not used
    std::string username;
    std::string password;
    long long authType = 0;    // stored, not used
    bool passive = false;      // ftp_is_passive not 0
    long long timeout = 0;     // connection timeout, ms (< 1 means 5000)
    long long readTimeout = 0; // read timeout, ms (<= 0 means 5000)
    long long tlsType = 0;     // stored, not used
    std::string clientName, clientVersion, platformDescription; // stored, not used
    ftp::ProxySettings proxy;
    std::string directory; // "/" for scheduled runs, "" (none) for test runs
};

class ThreadFTPCheck : public MailFtpCheck<FtpCheckClient> {
public:
    ThreadFTPCheck(CheckContext context, std::unique_ptr<FtpCheckClient> client, std::string host,
                   long long port, FtpCheckSettings settings);
    ThreadFTPCheck(CheckContext context, std::unique_ptr<FtpCheckClient> client, std::string host,
                   long long port, FtpCheckSettings settings, std::unique_ptr<net::TlsLayer> tls,
                   net::TlsSettings tlsSettings);

    const FtpCheckSettings& Settings() const { return settings_; }

private:
    void Probe() override;

    FtpCheckSettings settings_;
    long long port_;
};

} // namespace velmora
