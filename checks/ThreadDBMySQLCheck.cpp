#include "ThreadDBMySQLCheck.h"

#include "checks/CheckBuilders.h"
#include "foundation/InitSettings.h"

#include "net/NetError.h"
#include "net/Resolver.h"

#include <mysql.h>

#include <charconv>
#include <mutex>

namespace velmora {

namespace {
void LibraryInit() {
    static std::once_flag once;
    std::call_once(once, [] { mysql_library_init(0, nullptr, nullptr); });
}

unsigned PortNumber(const std::string& text) {
    unsigned v = 0;
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc() || ptr != text.data() + text.size() || v > 65535) return 0;
    return v;
}
} // namespace

ThreadDBMySQLCheck::ThreadDBMySQLCheck(CheckContext context, std::string host, std::string port,
                                       MySqlCheckSettings settings)
    : CheckItem("MySQL", std::move(context), std::move(host), std::move(port)),
      settings_(std::move(settings)) {}

void ThreadDBMySQLCheck::Execute() {
    const auto start = std::chrono::steady_clock::now();
    const std::string target = "[" + Host() + ":" + Port() + "@" + settings_.database;
    // The client library looks the name up without a limit of its own; a lookup that does not
    // end within the connect timeout fails the check with the text the library gives for a
    // name it could not look up (EAI_AGAIN).
    {
        addrinfo hints{};
        hints.ai_family = AF_UNSPEC;
        hints.ai_socktype = SOCK_STREAM;
        const auto looked = net::Resolved::Lookup(Host(), "", hints, net::Deadline::In(connectTimeout_ * 1000LL));
        if (looked.TimedOut()) {
            SetFailed();
            result_text = target + " MySQL Connection Error:Unknown server host '" + Host() + "' (" +
                          std::to_string(EAI_AGAIN) + ")]";
            response_time = ElapsedMs(start);
            return;
        }
    }
    LibraryInit();
    MYSQL* conn = mysql_init(nullptr);
    if (!conn) {
        SetFailed();
        result_text = target + " MySQL Connection Error:Out of memory]";
        response_time = ElapsedMs(start);
        return;
    }
    // A network check: always TCP, also for "localhost", and no option files.
    const unsigned protocol = MYSQL_PROTOCOL_TCP;
    mysql_optionsv(conn, MYSQL_OPT_PROTOCOL, &protocol);
    mysql_optionsv(conn, MYSQL_OPT_CONNECT_TIMEOUT, &connectTimeout_);
    mysql_optionsv(conn, MYSQL_OPT_READ_TIMEOUT, &readWriteTimeout_);
    mysql_optionsv(conn, MYSQL_OPT_WRITE_TIMEOUT, &readWriteTimeout_);
    const my_bool reconnect = 0;
    mysql_optionsv(conn, MYSQL_OPT_RECONNECT, &reconnect);

    MYSQL* ok = mysql_real_connect(conn, Host().c_str(), settings_.user.c_str(), settings_.password.c_str(),
                                   settings_.database.c_str(), PortNumber(Port()), nullptr, 0);
    if (ok) {
        SetPassed();
        result_text = target + " MySQL Connection Succeed]";
    } else {
        SetFailed();
        const std::string message = net::Trim(mysql_error(conn));
        result_text = message.empty() ? target + " MySQL Connection Error]"
                                      : target + " MySQL Connection Error:" + message + "]";
    }
    mysql_close(conn);
    response_time = ElapsedMs(start);
}

std::unique_ptr<CheckItem> BuildDBMySQLCheck(const ServiceRow& row, const CheckBuild& b) {
    MySqlCheckSettings s;
    s.database = row.Get("database_name");
    s.user = row.Get("username");
    s.password = row.Get("password");
    s.driverLibrary = InitSettings().DriverLibraryPath;
    return std::make_unique<ThreadDBMySQLCheck>(b.context, row.Get("ip"), PortFromRow(row), std::move(s));
}

} // namespace velmora
