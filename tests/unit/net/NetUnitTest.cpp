#include "net/IcmpClient.h"
#include "net/LineClient.h"
#include "net/NetError.h"
#include "net/TlsLayer.h"

#include <gtest/gtest.h>
#include <openssl/ssl.h>

using namespace velmora::net;

TEST(ConnectError, EndingPerKind) {
    struct Case {
        NetErrorKind kind;
        const char* message;
        const char* ending;
    } cases[] = {
        {NetErrorKind::NoHost, "x", "ERR10001 Host/IP required]"},
        {NetErrorKind::NoPort, "x", "ERR10002 Port required]"},
        {NetErrorKind::Socket, "Connection refused", "ERR10003 Invalid Host/IP]"},
        {NetErrorKind::ConnectTimeout, "timed out", "ERR10004 Invalid Port]"},
        {NetErrorKind::Tls, "  TLS handshake failed: bad  ", "TLS handshake failed: bad]"},
        {NetErrorKind::ReadTimeout, "Read timed out.", "Read timed out.]"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ConnectErrorEnding(NetError(c.kind, c.message)), c.ending) << c.message;
    }
    EXPECT_EQ(ConnectErrorEnding(std::runtime_error(" plain ")), "plain]");
    EXPECT_EQ(ConnectErrorText(" TCP Connection Error:", NetError(NetErrorKind::Socket, "")),
              " TCP Connection Error:ERR10003 Invalid Host/IP]");
}

TEST(Timeouts, ZeroOrLessMeans5000) {
    EXPECT_EQ(EffectiveTimeout(0), 5000);
    EXPECT_EQ(EffectiveTimeout(-3), 5000);
    EXPECT_EQ(EffectiveTimeout(1), 1);
    EXPECT_EQ(EffectiveTimeout(250), 250);
}

TEST(NumericReply, Forms) {
    struct Case {
        std::vector<std::string> lines;  // fed in order
        size_t consumed;                 // lines needed to complete
        const char* code;
        const char* text;
    } cases[] = {
        {{"220 service ready"}, 1, "220", "service ready"},
        {{"", "", "220 after blanks"}, 3, "220", "after blanks"},
        {{"250-first", "250-second", "250 last", "999 not read"}, 3, "250", "first\r\nsecond\r\nlast"},
        {{"250-first", "ab", "250 x"}, 2, "ab", "first\r\n"},
        {{"250-first", "251 other", "250 end"}, 3, "250", "first\r\nother\r\nend"},
        {{"HTTP/1.0 400 Bad"}, 1, "HTT", "/1.0 400 Bad"},
        {{"ok"}, 1, "ok", ""},
        {{"+OK POP3 ready"}, 1, "+OK", "POP3 ready"},
    };
    for (const auto& c : cases) {
        NumericReplyParser p;
        size_t used = 0;
        for (const auto& l : c.lines) {
            ++used;
            if (p.Add(l)) break;
        }
        ASSERT_TRUE(p.Complete()) << c.lines.front();
        EXPECT_EQ(used, c.consumed) << c.lines.front();
        const NumericReply r = p.Take();
        EXPECT_EQ(r.code, c.code) << c.lines.front();
        EXPECT_EQ(r.text, c.text) << c.lines.front();
    }
}

TEST(NumericReply, Number) {
    NumericReply r;
    r.code = "354";
    EXPECT_EQ(r.Number(), 354);
    r.code = "+OK";
    EXPECT_EQ(r.Number(), 0);
}

TEST(OkReply, Forms) {
    EXPECT_TRUE(ParseOkReply("+OK ready").ok);
    EXPECT_EQ(ParseOkReply("+OK ready").text, "ready");
    EXPECT_TRUE(ParseOkReply("+ok").ok);
    EXPECT_FALSE(ParseOkReply("-ERR no such user").ok);
    EXPECT_EQ(ParseOkReply("-ERR no such user").text, "no such user");
    EXPECT_FALSE(ParseOkReply("* OK imap").ok);
}

TEST(TlsSettings, MethodAndModeIndexes) {
    EXPECT_EQ(TlsSettings::MethodFromIndex(0), TlsMethod::SSLv2);
    EXPECT_EQ(TlsSettings::MethodFromIndex(1), TlsMethod::SSLv23);
    EXPECT_EQ(TlsSettings::MethodFromIndex(2), TlsMethod::SSLv3);
    EXPECT_EQ(TlsSettings::MethodFromIndex(3), TlsMethod::TLSv1);
    EXPECT_EQ(TlsSettings::MethodFromIndex(7), TlsMethod::TLSv1);
    EXPECT_EQ(TlsSettings::MethodFromIndex(-1), TlsMethod::TLSv1);
    EXPECT_EQ(TlsSettings::ModeFromIndex(0), TlsMode::Unassigned);
    EXPECT_EQ(TlsSettings::ModeFromIndex(1), TlsMode::Both);
    EXPECT_EQ(TlsSettings::ModeFromIndex(2), TlsMode::Client);
    EXPECT_EQ(TlsSettings::ModeFromIndex(3), TlsMode::Server);
    EXPECT_EQ(TlsSettings::ModeFromIndex(4), TlsMode::Unassigned);
}

TEST(TlsSettings, VerifyFlagsOnlyFromExactYesNo) {
    struct Case {
        const char *peer, *fail, *once;
        int bits;
    } cases[] = {
        {"y", "y", "y", SSL_VERIFY_PEER | SSL_VERIFY_FAIL_IF_NO_PEER_CERT | SSL_VERIFY_CLIENT_ONCE},
        {"y", "n", "n", SSL_VERIFY_PEER},
        {"n", "y", "n", SSL_VERIFY_FAIL_IF_NO_PEER_CERT},
        {"n", "n", "y", SSL_VERIFY_CLIENT_ONCE},
        {"n", "n", "n", SSL_VERIFY_NONE},
        {"y", "y", "", SSL_VERIFY_NONE},
        {"Y", "n", "n", SSL_VERIFY_NONE},
        {"y", "yes", "n", SSL_VERIFY_NONE},
    };
    for (const auto& c : cases) {
        TlsSettings s;
        s.SetVerifyFlags(c.peer, c.fail, c.once);
        EXPECT_EQ(s.VerifyModeBits(), c.bits) << c.peer << "," << c.fail << "," << c.once;
    }
}

TEST(TlsSettings, FromColumns) {
    TlsSettings::Columns c;
    c.method = "7";
    c.mode = "1";
    c.verifyDepth = "4";
    c.cipherList = "HIGH";
    c.peer = "y";
    c.fail = "n";
    c.once = "n";
    const TlsSettings s = TlsSettings::FromColumns(c);
    EXPECT_EQ(s.method, TlsMethod::TLSv1);
    EXPECT_EQ(s.mode, TlsMode::Both);
    EXPECT_EQ(s.verifyDepth, 4);
    EXPECT_EQ(s.cipherList, "HIGH");
    EXPECT_TRUE(s.verifyPeer);
    EXPECT_FALSE(s.verifyFailIfNoPeerCert);
}

TEST(TlsSettings, BadSettingsSayWhatIsWrong) {
    struct Case {
        TlsSettings s;
        const char* mention;
    };
    TlsSettings cert;
    cert.certFile = "/nonexistent/cert.pem";
    TlsSettings key;
    key.keyFile = "/nonexistent/key.pem";
    TlsSettings root;
    root.rootCertFile = "/nonexistent/root.pem";
    TlsSettings cipher;
    cipher.cipherList = "NO-SUCH-CIPHER";
    for (const Case& c : {Case{cert, "certificate file cannot be loaded: /nonexistent/cert.pem"},
                          Case{key, "private key file cannot be loaded: /nonexistent/key.pem"},
                          Case{root, "root certificate file cannot be loaded: /nonexistent/root.pem"},
                          Case{cipher, "cipher list rejected: NO-SUCH-CIPHER"}}) {
        try {
            SSL_CTX_free(TlsLayer::MakeContext(c.s));
            ADD_FAILURE() << "accepted: " << c.mention;
        } catch (const NetError& e) {
            EXPECT_EQ(e.kind(), NetErrorKind::Tls);
            EXPECT_NE(std::string(e.what()).find(c.mention), std::string::npos) << e.what();
        }
    }
    SSL_CTX_free(TlsLayer::MakeContext(TlsSettings{}));  // defaults are accepted
}

namespace {

std::string Bytes(std::initializer_list<int> b) {
    std::string s;
    for (int v : b) s += static_cast<char>(v);
    return s;
}

// An IPv4 header (20 bytes) with the given protocol.
std::string Ip4(int proto) {
    std::string h(20, '\0');
    h[0] = 0x45;
    h[9] = static_cast<char>(proto);
    return h;
}

IcmpVerdict Classify4(const std::string& pkt, bool ipHeader, uint16_t id, uint16_t seq, const std::string& payload) {
    return ClassifyIcmpPacket(reinterpret_cast<const unsigned char*>(pkt.data()), pkt.size(), false, ipHeader,
                              false, id, seq, payload);
}

} // namespace

TEST(IcmpMatching, Ipv4Packets) {
    const std::string payload = "cookie";
    const std::string request = BuildEchoRequest(false, 0x1234, 0x0042, payload);
    std::string reply = request;
    reply[0] = 0;  // echo reply
    std::string otherSeq = BuildEchoRequest(false, 0x1234, 0x0043, payload);
    otherSeq[0] = 0;
    std::string otherId = BuildEchoRequest(false, 0x9999, 0x0042, payload);
    otherId[0] = 0;
    std::string otherPayload = BuildEchoRequest(false, 0x1234, 0x0042, "other!");
    otherPayload[0] = 0;
    const std::string unreachHead = Bytes({3, 3, 0, 0, 0, 0, 0, 0});
    const std::string unreachOurs = unreachHead + Ip4(1) + request.substr(0, 8);
    const std::string timeExceededOurs = Bytes({11, 0, 0, 0, 0, 0, 0, 0}) + Ip4(1) + request.substr(0, 8);
    const std::string unreachOther = unreachHead + Ip4(1) + otherSeq.substr(0, 8);
    const std::string unreachUdp = unreachHead + Ip4(17) + Bytes({0, 53, 0, 53, 0, 8, 0, 0});
    const std::string timestamp = Bytes({13, 0, 0, 0, 0, 0, 0, 0, 1, 2, 3, 4});

    EXPECT_EQ(Classify4(reply, false, 0x1234, 0x42, payload), IcmpVerdict::Answer);
    EXPECT_EQ(Classify4(Ip4(1) + reply, true, 0x1234, 0x42, payload), IcmpVerdict::Answer);
    EXPECT_EQ(Classify4(request, false, 0x1234, 0x42, payload), IcmpVerdict::Skip);  // own request
    EXPECT_EQ(Classify4(otherSeq, false, 0x1234, 0x42, payload), IcmpVerdict::Skip);
    EXPECT_EQ(Classify4(otherId, false, 0x1234, 0x42, payload), IcmpVerdict::Skip);
    EXPECT_EQ(Classify4(otherPayload, false, 0x1234, 0x42, payload), IcmpVerdict::Skip);
    EXPECT_EQ(Classify4(unreachOurs, false, 0x1234, 0x42, payload), IcmpVerdict::Answer);
    EXPECT_EQ(Classify4(timeExceededOurs, false, 0x1234, 0x42, payload), IcmpVerdict::Answer);
    EXPECT_EQ(Classify4(unreachOther, false, 0x1234, 0x42, payload), IcmpVerdict::Skip);
    EXPECT_EQ(Classify4(unreachUdp, false, 0x1234, 0x42, payload), IcmpVerdict::Skip);
    EXPECT_EQ(Classify4(timestamp, false, 0x1234, 0x42, payload), IcmpVerdict::Foreign);
    EXPECT_EQ(Classify4("\x00\x00", false, 0x1234, 0x42, payload), IcmpVerdict::Skip);  // runt
    // A datagram socket: the system owns the identifier.
    EXPECT_EQ(ClassifyIcmpPacket(reinterpret_cast<const unsigned char*>(otherId.data()), otherId.size(), false,
                                 false, true, 0x1234, 0x42, payload),
              IcmpVerdict::Answer);
}

TEST(IcmpMatching, Ipv6Packets) {
    const std::string payload = "cookie";
    const std::string request = BuildEchoRequest(true, 7, 9, payload);
    std::string reply = request;
    reply[0] = static_cast<char>(129);
    std::string ip6(40, '\0');
    ip6[0] = 0x60;
    ip6[6] = 58;  // next header ICMPv6
    const std::string unreach = Bytes({1, 4, 0, 0, 0, 0, 0, 0}) + ip6 + request.substr(0, 8);
    const std::string neighbour = Bytes({135, 0, 0, 0, 0, 0, 0, 0}) + std::string(16, '\0');
    const std::string tooBig = Bytes({2, 0, 0, 0, 0, 0, 5, 0}) + ip6 + request.substr(0, 8);
    const auto c = [&](const std::string& p) {
        return ClassifyIcmpPacket(reinterpret_cast<const unsigned char*>(p.data()), p.size(), true, false, false, 7,
                                  9, payload);
    };
    EXPECT_EQ(c(reply), IcmpVerdict::Answer);
    EXPECT_EQ(c(request), IcmpVerdict::Skip);
    EXPECT_EQ(c(unreach), IcmpVerdict::Answer);
    EXPECT_EQ(c(neighbour), IcmpVerdict::Skip);
    EXPECT_EQ(c(tooBig), IcmpVerdict::Foreign);
}
