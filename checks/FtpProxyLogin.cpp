#include "FtpProxyLogin.h"

namespace velmora::ftp {

namespace {

void AddUserPass(std::vector<Step>& steps, const std::string& user, const std::string& pass) {
    steps.push_back({Step::Kind::User, "USER " + user});
    steps.push_back({Step::Kind::Pass, "PASS " + pass});
}

// The proxy's own login, when a proxy user is set.
void AddProxyLogin(std::vector<Step>& steps, const ProxySettings& proxy) {
    if (!proxy.username.empty()) {
        AddUserPass(steps, proxy.username, proxy.password);
    }
}

} // namespace

LoginPlan PlanLogin(const ProxySettings& proxy, const std::string& host, long long port,
                    const std::string& user, const std::string& password) {
    LoginPlan plan;
    const bool proxyGiven = !proxy.host.empty() && proxy.port != 0;
    ProxyType type = ProxyType::None;
    if (proxyGiven && proxy.type >= 0 && proxy.type <= 6) {
        type = static_cast<ProxyType>(proxy.type);
    }
    plan.type = type;
    plan.viaProxy = type != ProxyType::None;
    plan.connectHost = plan.viaProxy ? proxy.host : host;
    plan.connectPort = plan.viaProxy ? proxy.port : port;

    switch (type) {
    case ProxyType::None:
        AddUserPass(plan.steps, user, password);
        break;
    case ProxyType::UserSite:
        AddProxyLogin(plan.steps, proxy);
        plan.steps.push_back({Step::Kind::Any, "SITE " + host});
        AddUserPass(plan.steps, user, password);
        break;
    case ProxyType::Site:
        AddProxyLogin(plan.steps, proxy);
        plan.steps.push_back({Step::Kind::Any, "OPEN " + host});
        AddUserPass(plan.steps, user, password);
        break;
    case ProxyType::Open:
        AddUserPass(plan.steps, user + "@" + proxy.username + "@" + host,
                    proxy.password.empty() ? password : password + "@" + proxy.password);
        break;
    case ProxyType::UserPass:
        AddProxyLogin(plan.steps, proxy);
        AddUserPass(plan.steps, user + "@" + host, password);
        break;
    case ProxyType::Transparent:
        AddProxyLogin(plan.steps, proxy);
        AddUserPass(plan.steps, user, password);
        break;
    case ProxyType::HttpProxyWithFtp:
        plan.unsupported = true;
        break;
    }
    return plan;
}

} // namespace velmora::ftp
