// ThreadURL against the test SMS gateway (HTTP and HTTPS), reading what the gateway received.
#include "AlarmTestUtil.h"
#include "alarms/ThreadURL.h"

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::test;

namespace {

std::string Base(bool tls = false) {
    return std::string(tls ? "https" : "http") + "://127.0.0.1:" +
           std::to_string(ServerPort("httpgateway", tls ? "TLS_PORT" : "PORT"));
}

AlarmMethodSettings::SmsHttp Gateway(const std::string& url, const std::string& method = "Get") {
    AlarmMethodSettings::SmsHttp s;
    s.enabled = true;
    s.url = url;
    s.port = 80;
    s.method_word = method;
    s.field_msisdn = "to";
    s.field_message = "text";
    s.timeout = 2000;
    s.read_timeout = 1000;
    return s;
}

// Tells this run's requests from those of earlier runs against the same server.
std::string RunTag() { return "run=" + std::to_string(::getpid()); }

std::vector<std::string> Requests(const std::string& marker) {
    return LinesWith(ServerValue("httpgateway", "LOG"), {marker});
}

} // namespace

TEST(UrlAlarm, GetWithPlaceholders) {
    ThreadURL u(Gateway(Base() + "/send?to=$MSISDN&msg=$MESSAGE&m=$msisdn&" + RunTag()), "0123 456", "[A:1 up]");
    u.Execute();
    EXPECT_EQ(u.result_text, "[HTTP Alarm Sent Succeed]");
    EXPECT_EQ(u.status, "Sent");
    EXPECT_EQ(u.response_code, 200);
    auto r = Requests("/send?to=0123+456&msg=%5BA%3A1+up%5D&m=$msisdn&" + RunTag() + " HTTP/1.1");
    ASSERT_EQ(r.size(), 1u);
    EXPECT_NE(r[0].find("\"request\": \"GET "), std::string::npos);
    EXPECT_NE(r[0].find("\"User-Agent\": \"Mozilla/3.0\""), std::string::npos) << r[0];
    EXPECT_NE(r[0].find("\"Accept\": \"text/html, */*\""), std::string::npos);
    EXPECT_EQ(r[0].find("Referer"), std::string::npos);
    EXPECT_EQ(r[0].find("Authorization"), std::string::npos);
}

TEST(UrlAlarm, PostFieldsOverHttps) {
    auto s = Gateway(Base(true) + "/post-marker?" + RunTag(), "post");
    s.ExtraPostFields = {"user=abc", "k=a&b"};
    ThreadURL u(s, "0123 456", "Srv 1: down!");
    EXPECT_TRUE(u.IsPost());
    u.Execute();
    EXPECT_EQ(u.result_text, "[HTTP Alarm Sent Succeed]");
    auto r = Requests("/post-marker?" + RunTag());
    ASSERT_EQ(r.size(), 1u);
    EXPECT_NE(r[0].find("\"body\": \"to=0123+456&text=Srv+1%3A+down%21&user=abc&k=a%26b\""), std::string::npos)
        << r[0];
    EXPECT_NE(r[0].find("\"tls\": true"), std::string::npos);
    EXPECT_NE(r[0].find("application/x-www-form-urlencoded"), std::string::npos);

    // With a CA configured the self-signed certificate of another name is refused.
    auto strict = Gateway("https://localhost:" + std::to_string(ServerPort("httpgateway", "TLS_PORT")) + "/x");
    strict.ca_file = SourceDir() + "/no-such-ca.pem";
    ThreadURL refused(strict, "1", "x");
    refused.Execute();
    EXPECT_EQ(refused.status, "Error");
    strict.ca_file = ServerValue("httpgateway", "CERT");
    ThreadURL trusted(strict, "1", "x");
    trusted.Execute();
    EXPECT_EQ(trusted.result_text, "[HTTP Alarm Sent Succeed]");
}

TEST(UrlAlarm, RedirectsAndStatuses) {
    struct Case {
        std::string path;
        bool sent;
        int code;
        std::string ending;
    } cases[] = {
        {"/redirect/1", true, 200, ""},
        {"/redirect/10", true, 200, ""},
        {"/loop?" + RunTag(), true, 302, ""},   // the eleventh redirect counts as success
        {"/nolocation", false, 302, "HTTP/1.1 302 Found]"},
        {"/notmodified", false, 304, "HTTP/1.1 304 Not Modified]"},
        {"/status/404", false, 404, "HTTP/1.1 404 Not Found]"},
        {"/status/503", false, 503, "HTTP/1.1 503 Service Unavailable]"},
        {"/auth", false, 401, "HTTP/1.1 401 Unauthorized]"},
        {"/slow", false, -1, "Read timed out.]"},
    };
    for (const auto& c : cases) {
        const std::string url = Base() + c.path;
        ThreadURL u(Gateway(url), "1", "x");
        u.Execute();
        EXPECT_EQ(u.sent, c.sent) << c.path << " " << u.result_text;
        EXPECT_EQ(u.response_code, c.code) << c.path;
        if (c.sent) EXPECT_EQ(u.result_text, "[HTTP Alarm Sent Succeed]") << c.path;
        else EXPECT_EQ(u.result_text, "[" + url + ":80 HTTP Alarm Connection Error:" + c.ending) << c.path;
    }
    EXPECT_EQ(Requests("/loop?" + RunTag() + " HTTP").size(), 11u);
    // A redirected POST stays a POST.
    ThreadURL post(Gateway(Base() + "/redirect/1?" + RunTag(), "Post"), "1", "x");
    post.Execute();
    EXPECT_EQ(post.status, "Sent");
    EXPECT_FALSE(Requests("POST /redirect/0?" + RunTag()).empty());
}

TEST(UrlAlarm, BasicAuthenticationAndProxyRule) {
    auto s = Gateway(Base() + "/auth");
    s.username = "user";
    s.password = "pass";
    ThreadURL noAuth(s, "1", "x");   // authenticate 0: no Authorization header
    noAuth.Execute();
    EXPECT_EQ(noAuth.response_code, 401);
    s.authenticate = true;
    s.proxy_host = "127.0.0.1";
    s.proxy_port = 0;                // no proxy when its port is 0
    ThreadURL auth(s, "1", "x");
    auth.Execute();
    EXPECT_EQ(auth.result_text, "[HTTP Alarm Sent Succeed]");
    EXPECT_EQ(auth.response_code, 200);
}

TEST(UrlAlarm, ConnectionFailures) {
    struct Case {
        std::string url;
        std::string ending;
    } cases[] = {
        {"http://127.0.0.1:" + std::to_string(ClosedPort()) + "/send", "ERR10003 Invalid Host/IP]"},
        {"http:///send", "ERR10001 Host/IP required]"},
        {"http://127.0.0.1:0/send", "ERR10002 Port required]"},
    };
    for (const auto& c : cases) {
        ThreadURL u(Gateway(c.url), "1", "x");
        u.Execute();
        EXPECT_EQ(u.result_text, "[" + c.url + ":80 HTTP Alarm Connection Error:" + c.ending);
        EXPECT_EQ(u.response_code, -1);
        EXPECT_EQ(u.status, "Error");
    }
}

TEST(UrlAlarm, Encoding) {
    EXPECT_EQ(EncodeGatewayParam("Srv 1: down!"), "Srv+1%3A+down%21");
    EXPECT_EQ(EncodeGatewayParam("ü"), "%C3%BC");
    EXPECT_EQ(GatewayPostBody({"to=", "text=a b", "flag"}), "to=&text=a+b&flag");
    ThreadURL none(Gateway("http://gw/plain"), "1", "x");
    EXPECT_EQ(none.FinalUrl(), "http://gw/plain");
}
