// The URL check through tinyproxy on loopback, to a fixture origin server that records what
// reaches it.
#include "URLTestSupport.h"

using namespace velmora::test::url;
using velmora::test::ServerValue;

TEST(URLCheckProxy, ThroughTheProxyOnlyWithHostAndPort) {
    std::string request;
    std::mutex m;
    FixtureTcpServer origin(Recorder(&request, &m));
    const std::string a = "http://127.0.0.1:" + std::to_string(origin.Port());
    const std::string proxyPort = ServerValue("tinyproxy", "PORT");
    ASSERT_FALSE(proxyPort.empty());
    const std::string log = velmora::test::ServerValue("tinyproxy", "LOG");
    const auto last = [&] {
        std::lock_guard<std::mutex> lock(m);
        return request;
    };

    Outcome o = RunUrl({{"ip", a + "/?via=proxied123"}, {"proxy_ip", "127.0.0.1"}, {"proxy_port", proxyPort}});
    EXPECT_EQ(o.text, "[" + a + "/?via=proxied123:80 HTTP Request Succeed:HTTP/1.1 200 OK]");
    EXPECT_TRUE(Has(last(), "GET /?via=proxied123 HTTP/1.")) << last();
    EXPECT_TRUE(Has(velmora::test::ReadFile(log), "proxied123"));

    // Only the proxy host given (port 0): straight to the server.
    o = RunUrl({{"ip", a + "/?via=direct456"}, {"proxy_ip", "127.0.0.1"}, {"proxy_port", "0"}});
    EXPECT_TRUE(o.passed) << o.text;
    EXPECT_TRUE(Has(last(), "GET /?via=direct456 HTTP/1.1")) << last();
    EXPECT_FALSE(Has(velmora::test::ReadFile(log), "direct456"));

    // A proxy that refuses connections is a connect error.
    o = RunUrl({{"ip", a + "/"}, {"proxy_ip", "127.0.0.1"},
                {"proxy_port", std::to_string(velmora::test::ClosedTcpPort())}});
    EXPECT_EQ(o.text, "[" + a + "/:80 HTTP Request Error:ERR10003 Invalid Host/IP]");
}
