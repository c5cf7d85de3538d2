#pragma once
// The FTP check's login through the seven proxy conventions, as data: where to connect and
// which commands to send, so the dialogue code only walks the list.
#include <string>
#include <vector>

namespace velmora::ftp {

// The stored proxy type (the index of the form's list).
enum class ProxyType {
    None = 0,
    UserSite = 1,
    Site = 2,
    Open = 3,
    UserPass = 4,
    Transparent = 5,
    HttpProxyWithFtp = 6,
};

struct ProxySettings {
    std::string host;      // proxy_ip
    long long port = 0;    // proxy_port
    std::string username;  // proxy_username
    std::string password;  // proxy_password
    long long type = 0;    // ftp_proxytype
};

// One command of the login. USER expects 230 (logged in; a PASS that follows is then not
// sent) or 331 (password needed); PASS is sent only after a 331 and expects 230; Any takes
// whatever reply comes.
struct Step {
    enum class Kind { User, Pass, Any };
    Kind kind;
    std::string command;
    bool operator==(const Step&) const = default;
};

struct LoginPlan {
    bool viaProxy = false;
    std::string connectHost;
    long long connectPort = 0;
    ProxyType type = ProxyType::None;
    bool unsupported = false;  // type 6: the login fails with "Command not supported."
    std::vector<Step> steps;
};

// The message of the unsupported proxy type.
inline constexpr const char* kCommandNotSupported = "Command not supported.";

// The proxy applies when its host is not empty and its port is not 0; otherwise, and for a
// stored type outside 0..6, the login is the direct one (type 0).
LoginPlan PlanLogin(const ProxySettings& proxy, const std::string& host, long long port,
                    const std::string& user, const std::string& password);

} // namespace velmora::ftp
