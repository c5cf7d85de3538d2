// The FTP check through the fixture FTP proxy on 127.0.0.1: each proxy type's login
// sequence as the proxy received it.
#include "MailCheckRunners.h"

#include <chrono>
#include <fstream>
#include <thread>

#include <gtest/gtest.h>

namespace velmora::mailtest {
namespace {

// ------------------------------------------------------------------------------------------
// FTP through the fixture proxy: each type's login sequence as the proxy received it.

// The commands of the proxy's latest session on the type's listener. The check sends QUIT
// without waiting, so the log may lag a moment behind the check's end: wait for the QUIT.
std::vector<std::string> ProxySession(int type) {
    const std::string file = ServerValue("ftpproxy", "LOG_DIR") + "/session." + std::to_string(type) + ".log";
    std::vector<std::string> lines;
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::ifstream in(file);
        lines.clear();
        std::string line;
        while (std::getline(in, line)) {
            lines.push_back(line);
        }
        if (!lines.empty() && lines.back() == "QUIT") {
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return lines;
}

FtpCheckSettings ProxyUser(long long type, int proxyPort, bool proxyLogin = true, bool proxyPass = true,
                           const std::string& user = "") {
    FtpCheckSettings s;
    s.username = user.empty() ? ServerValue("ftpproxy", "USER") : user;
    s.password = ServerValue("ftpproxy", "PASSWORD");
    s.directory = "/";
    s.proxy.host = kHost;
    s.proxy.port = proxyPort;
    s.proxy.type = type;
    if (proxyLogin) {
        s.proxy.username = ServerValue("ftpproxy", "PROXY_USER");
    }
    if (proxyPass) {
        s.proxy.password = ServerValue("ftpproxy", "PROXY_PASSWORD");
    }
    return s;
}

TEST(FtpProxyCheck, LoginSequences) {
    const std::string target = ServerValue("ftpproxy", "TARGET");  // never connected to
    const std::string u = ServerValue("ftpproxy", "USER"), pw = ServerValue("ftpproxy", "PASSWORD");
    const std::string pu = ServerValue("ftpproxy", "PROXY_USER");
    const std::string pp = ServerValue("ftpproxy", "PROXY_PASSWORD");
    const std::vector<std::string> proxyLogin = {"USER " + pu, "PASS " + pp};
    const std::vector<std::string> tail = {"TYPE I", "SYST", "CWD /", "QUIT"};
    auto seq = [&](std::vector<std::vector<std::string>> parts) {
        std::vector<std::string> all;
        for (auto& p : parts) all.insert(all.end(), p.begin(), p.end());
        return all;
    };
    struct Case {
        long long type;
        bool proxyLogin, proxyPass;
        std::vector<std::string> expected;
    };
    const std::vector<Case> cases = {
        {1, true, true, seq({proxyLogin, {"SITE " + target, "USER " + u, "PASS " + pw}, tail})},
        {1, false, false, seq({{"SITE " + target, "USER " + u, "PASS " + pw}, tail})},
        {2, true, true, seq({proxyLogin, {"OPEN " + target, "USER " + u, "PASS " + pw}, tail})},
        {3, true, true, seq({{"USER " + u + "@" + pu + "@" + target, "PASS " + pw + "@" + pp}, tail})},
        {3, true, false, seq({{"USER " + u + "@" + pu + "@" + target, "PASS " + pw}, tail})},
        {4, true, true, seq({proxyLogin, {"USER " + u + "@" + target, "PASS " + pw}, tail})},
        {5, true, true, seq({proxyLogin, {"USER " + u, "PASS " + pw}, tail})},
        {5, false, false, seq({{"USER " + u, "PASS " + pw}, tail})},
    };
    for (const Case& c : cases) {
        const int port = ServerPort("ftpproxy", "TYPE" + std::to_string(c.type) + "_PORT");
        const Outcome o = Ftp(target, 21, ProxyUser(c.type, port, c.proxyLogin, c.proxyPass));
        SCOPED_TRACE("type " + std::to_string(c.type));
        EXPECT_TRUE(o.passed) << o.text;
        // The service's host and port, not the proxy's.
        EXPECT_EQ(o.text, "[" + target + ":21 FTP Connection Succeed] [FTP Change Dir Succeed]");
        EXPECT_EQ(ProxySession(static_cast<int>(c.type)), c.expected);
    }

    // A USER answered with 230 is logged in: no PASS follows.
    const int t5 = ServerPort("ftpproxy", "TYPE5_PORT");
    EXPECT_TRUE(Ftp(target, 21, ProxyUser(5, t5, false, false, "nopass")).passed);
    EXPECT_EQ(ProxySession(5), seq({{"USER nopass"}, tail}));

    // A proxy that does not like the sequence refuses it: the connection error with its text.
    const int t1 = ServerPort("ftpproxy", "TYPE1_PORT");
    const Outcome wrong = Ftp(target, 21, ProxyUser(4, t1));
    EXPECT_FALSE(wrong.passed);
    EXPECT_EQ(wrong.text, "[" + target + ":21 FTP Connection Error:Unexpected command in login sequence.]");
}


TEST(FtpProxyCheck, TypeSixIsNotSupported) {
    const std::string target = ServerValue("ftpproxy", "TARGET");
    const int t1 = ServerPort("ftpproxy", "TYPE1_PORT");
    const Outcome o = Ftp(target, 21, ProxyUser(6, t1));
    EXPECT_FALSE(o.passed);
    EXPECT_EQ(o.text, "[" + target + ":21 FTP Connection Error:Command not supported.]");
}

TEST(FtpProxyCheck, BuiltFromServiceRowAndRunByVelmoractl) {
    const std::string target = ServerValue("ftpproxy", "TARGET");
    const int t4 = ServerPort("ftpproxy", "TYPE4_PORT");
    CliResult r = Velmoractl({"--type", "FTP", "--host", target, "--port", "21",
                              "--set", "username=" + ServerValue("ftpproxy", "USER"),
                              "--set", "password=" + ServerValue("ftpproxy", "PASSWORD"),
                              "--set", "ftp_proxytype=4", "--set", "proxy_ip=127.0.0.1", "--set", "proxy_port=" + P(t4),
                              "--set", "proxy_username=" + ServerValue("ftpproxy", "PROXY_USER"),
                              "--set", "proxy_password=" + ServerValue("ftpproxy", "PROXY_PASSWORD")});
    EXPECT_EQ(r.exit, 0);
    EXPECT_EQ(r.out.rfind(CliHead("[" + target + ":21 FTP Connection Succeed]", "Passed"), 0), 0u) << r.out;
    EXPECT_EQ(ProxySession(4), (std::vector<std::string>{
                                   "USER " + ServerValue("ftpproxy", "PROXY_USER"),
                                   "PASS " + ServerValue("ftpproxy", "PROXY_PASSWORD"),
                                   "USER " + ServerValue("ftpproxy", "USER") + "@" + target,
                                   "PASS " + ServerValue("ftpproxy", "PASSWORD"), "TYPE I", "SYST", "QUIT"}));
}

} // namespace
} // namespace velmora::mailtest
