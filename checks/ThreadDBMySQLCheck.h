#pragma once
// "MySQL": whether a MySQL/MariaDB server accepts a login for a database with the given
// credentials. The check opens a client connection of its own (never the program's shared
// one), over TCP, and closes it again; no statement is sent.
//
// Time limits: the service's timeout columns do not apply; the connection uses fixed limits
// of kConnectTimeoutSeconds to connect and kReadWriteTimeoutSeconds for each read or write
// of the login exchange, so a silent server ends the check after at most about 25 seconds.
#include "CheckItem.h"

namespace velmora {

struct MySqlCheckSettings {
    std::string database;
    std::string user;
    std::string password;
    std::string driverLibrary;  // the client library the program is linked with (not loaded)
};

class ThreadDBMySQLCheck : public CheckItem {
public:
    static constexpr unsigned kConnectTimeoutSeconds = 15;
    static constexpr unsigned kReadWriteTimeoutSeconds = 10;

    // `port` is the decimal text written into the texts as it is.
    ThreadDBMySQLCheck(CheckContext context, std::string host, std::string port, MySqlCheckSettings settings);
    void Execute() override;

    // Limits shortened by tests (seconds).
    void SetTimeLimits(unsigned connectSeconds, unsigned readWriteSeconds) {
        connectTimeout_ = connectSeconds;
        readWriteTimeout_ = readWriteSeconds;
    }

private:
    MySqlCheckSettings settings_;
    unsigned connectTimeout_ = kConnectTimeoutSeconds;
    unsigned readWriteTimeout_ = kReadWriteTimeoutSeconds;
};

} // namespace velmora
