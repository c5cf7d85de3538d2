// The URL check against nginx (HTTP and HTTPS) and a fixture that records the raw
// request, all on loopback.
#include "URLTestSupport.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>

using namespace velmora;
using velmora::test::FixtureTcpServer;
using velmora::test::ServerPort;
using velmora::test::ServerValue;

using namespace velmora::test::url;


TEST(URLCheck, StatusCodes) {
    const std::string a = Http();
    struct Case {
        std::string ip;
        bool passed;
        std::string text;
    } cases[] = {
        {a + "/", true, "[" + a + "/:80 HTTP Request Succeed:HTTP/1.1 200 OK]"},
        {a.substr(7) + "/", true, "[" + a + "/:80 HTTP Request Succeed:HTTP/1.1 200 OK]"},  // no scheme
        {a + "/missing", false, "[" + a + "/missing:80 HTTP Request Error:HTTP/1.1 404 Not Found]"},
        {a + "/notmodified", false, "[" + a + "/notmodified:80 HTTP Request Error:HTTP/1.1 304 Not Modified]"},
        {a + "/chain/1", true, "[" + a + "/chain/1:80 HTTP Request Succeed:HTTP/1.1 200 OK]"},
        {a + "/created", true, "[" + a + "/created:80 HTTP Request Succeed:HTTP/1.1 200 OK]"},  // Location on a 201
        {a + "/loop", true, "[" + a + "/loop:80 HTTP Request Succeed:HTTP/1.1 302 Moved Temporarily]"},
        {a + "/cookie", false, "[" + a + "/cookie:80 HTTP Request Error:HTTP/1.1 403 Forbidden]"},
        {a + "/auth/", false, "[" + a + "/auth/:80 HTTP Request Error:HTTP/1.1 401 Unauthorized]"},
    };
    for (const auto& c : cases) {
        const Outcome o = RunUrl({{"ip", c.ip}});
        EXPECT_EQ(o.passed, c.passed) << o.text;
        EXPECT_EQ(o.text, c.text);
    }
}

TEST(URLCheck, RedirectLimit) {
    const std::string a = Http();
    // Three redirects lead to the page: two allowed ends on the third redirect, taken as final.
    Outcome o = RunUrl({{"ip", a + "/chain/1"}, {"url_max_redirect", "2"}});
    EXPECT_TRUE(o.passed);
    EXPECT_EQ(o.text, "[" + a + "/chain/1:80 HTTP Request Succeed:HTTP/1.1 302 Moved Temporarily]");
    o = RunUrl({{"ip", a + "/chain/1"}, {"url_max_redirect", "3"}});
    EXPECT_EQ(o.text, "[" + a + "/chain/1:80 HTTP Request Succeed:HTTP/1.1 200 OK]");
    o = RunUrl({{"ip", a + "/loop"}, {"url_max_redirect", "0"}});  // 0 allows 5
    EXPECT_TRUE(o.passed);
}

TEST(URLCheck, CredentialsAndCookie) {
    const std::string a = Http();
    Outcome o = RunUrl({{"ip", a + "/auth/"}, {"username", ServerValue("nginx", "USER")},
                     {"password", ServerValue("nginx", "PASSWORD")}});
    EXPECT_EQ(o.text, "[" + a + "/auth/:80 HTTP Request Succeed:HTTP/1.1 200 OK]");
    o = RunUrl({{"ip", a + "/auth/"}, {"username", "checker"}, {"password", "wrong"}});
    EXPECT_EQ(o.text, "[" + a + "/auth/:80 HTTP Request Error:HTTP/1.1 401 Unauthorized]");
    o = RunUrl({{"ip", a + "/cookie"}, {"url_cookie", "session=" + ServerValue("nginx", "COOKIE") + "; path=/"}});
    EXPECT_EQ(o.text, "[" + a + "/cookie:80 HTTP Request Succeed:HTTP/1.1 200 OK]");
    o = RunUrl({{"ip", a + "/cookie"}, {"url_cookie", "session=stale"}});
    EXPECT_FALSE(o.passed);
}

TEST(URLCheck, Https) {
    const std::string s = Https();
    const std::string cert = ServerValue("nginx", "CERT");
    Outcome o = RunUrl({{"ip", s + "/"}, {"ssl_enable", "y"}});
    EXPECT_EQ(o.text, "[" + s + "/:80 HTTP Request Succeed:HTTP/1.1 200 OK]");
    o = RunUrl({{"ip", s.substr(8) + "/"}, {"ssl_enable", "y"}, {"port", "443"}});  // https:// put in front
    EXPECT_EQ(o.text, "[" + s + "/:443 HTTP Request Succeed:HTTP/1.1 200 OK]");
    o = RunUrl({{"ip", s + "/"}, {"ssl_enable", "y"}, {"ssl_peer", "y"}, {"ssl_root_cert_file", cert},
             {"ssl_verify_depth", "2"}});
    EXPECT_TRUE(o.passed) << o.text;

    // Without the TLS variant an https address fails in the HTTP layer.
    const std::string upper = "HTTPS://" + s.substr(8) + "/";
    o = RunUrl({{"ip", upper}, {"ssl_enable", "n"}});
    EXPECT_FALSE(o.passed);
    EXPECT_EQ(o.text.rfind("[" + upper + ":80 HTTP Request Error:", 0), 0u) << o.text;
    EXPECT_TRUE(Has(o.text, "https")) << o.text;

    o = RunUrl({{"ip", s + "/"}, {"ssl_enable", "y"}, {"ssl_peer", "y"}});  // self-signed, no root given
    EXPECT_FALSE(o.passed);
    EXPECT_TRUE(Has(o.text, "certificate")) << o.text;
    o = RunUrl({{"ip", s + "/"}, {"ssl_enable", "y"}, {"ssl_cert_file", "/nonexistent/c.pem"}});
    EXPECT_EQ(o.text.rfind("[" + s + "/:80 HTTP Request Error:TLS certificate file cannot be loaded: /nonexistent/c.pem", 0), 0u)
        << o.text;
    o = RunUrl({{"ip", s + "/"}, {"ssl_enable", "y"}, {"ssl_cipher_list", "NO-SUCH-CIPHER"}});
    EXPECT_TRUE(Has(o.text, "HTTP Request Error:TLS cipher list rejected: NO-SUCH-CIPHER")) << o.text;
}

TEST(URLCheck, RequestAsSent) {
    std::string request;
    std::mutex m;
    FixtureTcpServer server(Recorder(&request, &m));
    const std::string a = "http://127.0.0.1:" + std::to_string(server.Port());
    const auto last = [&] {
        std::lock_guard<std::mutex> lock(m);
        return request;
    };
    const std::vector<std::pair<std::string, std::string>> fields = {{"name", "a b&c"}, {"n2", "x"}};

    Outcome o = RunUrl({{"ip", a + "/form"}, {"url_method", "Post"}, {"url_content_type", "TEXT/HTML"}}, fields);
    EXPECT_EQ(o.text, "[" + a + "/form:80 HTTP Request Succeed:HTTP/1.1 200 OK]");
    std::string r = last();
    EXPECT_EQ(r.rfind("POST /form HTTP/1.1\r\n", 0), 0u) << r;
    EXPECT_TRUE(Has(r, "\r\nContent-Type: application/x-www-form-urlencoded\r\n")) << r;
    EXPECT_EQ(r.substr(r.find("\r\n\r\n") + 4), "name=a%20b%26c&n2=x");

    RunUrl({{"ip", a + "/form"}, {"url_method", "Post"}, {"url_content_type", "text/plain"}}, fields);
    EXPECT_TRUE(Has(last(), "\r\nContent-Type: text/plain\r\n"));

    RunUrl({{"ip", a + "/put"}, {"url_method", "Put"}, {"url_content_type", "text/plain"}}, fields);
    r = last();
    EXPECT_EQ(r.rfind("PUT /put HTTP/1.1\r\n", 0), 0u) << r;
    EXPECT_EQ(r.substr(r.find("\r\n\r\n") + 4), "name=a b&c\r\nn2=x\r\n");

    RunUrl({{"ip", a + "/x"}, {"url_method", "GET"}});
    EXPECT_EQ(last().rfind("HEAD /x HTTP/1.1\r\n", 0), 0u) << last();

    RunUrl({{"ip", a + "/get"}, {"url_header_data", "X-Probe=a=b"}, {"url_referer", "http://ref.example/"},
         {"url_accept_language", "en"}, {"username", "u"}, {"password", "p w"}, {"port", "9"}});
    r = last();
    EXPECT_EQ(r.rfind("GET /get HTTP/1.1\r\n", 0), 0u) << r;
    for (const char* h : {"\r\nX-Probe: a=b\r\n", "\r\nAccept: text/html, */*\r\n", "\r\nUser-Agent: Mozilla/3.0\r\n",
                          "\r\nReferer: http://ref.example/\r\n", "\r\nAccept-Language: en\r\n",
                          "\r\nContent-Type: text/html\r\n", "\r\nAuthorization: Basic dTpwIHc=\r\n"}) {
        EXPECT_TRUE(Has(r, h)) << h << " in " << r;
    }
    EXPECT_FALSE(Has(r, "Accept-Charset"));  // empty fields are not sent
}

TEST(URLCheck, TimeoutsAndBadAddresses) {
    const std::string a = Http();
    Outcome o = RunUrl({{"ip", a + "/slow"}, {"timeout", "1000"}, {"read_timeout", "1000"}});
    EXPECT_FALSE(o.passed);
    EXPECT_EQ(o.text.rfind("[" + a + "/slow:80 HTTP Request Error:", 0), 0u) << o.text;
    EXPECT_LT(o.ms, 4000);

    FixtureTcpServer silent(FixtureTcpServer::Silent());
    const std::string s = "http://127.0.0.1:" + std::to_string(silent.Port()) + "/";
    o = RunUrl({{"ip", s}, {"timeout", "1000"}, {"read_timeout", "800"}});
    EXPECT_FALSE(o.passed);
    EXPECT_TRUE(Has(o.text, "timed out")) << o.text;
    EXPECT_GE(o.ms, 750);
    EXPECT_LT(o.ms, 3800);

    const std::string refused = "http://127.0.0.1:" + std::to_string(velmora::test::ClosedTcpPort()) + "/";
    o = RunUrl({{"ip", refused}});
    EXPECT_EQ(o.text, "[" + refused + ":80 HTTP Request Error:ERR10003 Invalid Host/IP]");
    o = RunUrl({{"ip", "http://no..such.host/"}});
    EXPECT_EQ(o.text, "[http://no..such.host/:80 HTTP Request Error:ERR10003 Invalid Host/IP]");

    for (const char* bad : {"http://[::1/x", "http://127.0.0.1:99999/", "http://exa mple/"}) {
        o = RunUrl({{"ip", bad}});
        EXPECT_FALSE(o.passed) << bad;
        EXPECT_EQ(o.text, "[" + std::string(bad) + ":80 HTTP Request Error:URL using bad/illegal format or missing URL]");
    }
}
