#include "checks/DnsResolver.h"
#include "net/NetError.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using velmora::DnsResolver;

namespace {
using Bytes = std::vector<unsigned char>;

Bytes Name(const std::string& dotted) {
    Bytes out;
    size_t start = 0;
    while (start <= dotted.size()) {
        size_t dot = dotted.find('.', start);
        if (dot == std::string::npos) dot = dotted.size();
        const std::string label = dotted.substr(start, dot - start);
        if (!label.empty()) {
            out.push_back(static_cast<unsigned char>(label.size()));
            out.insert(out.end(), label.begin(), label.end());
        }
        start = dot + 1;
    }
    out.push_back(0);
    return out;
}

// A reply with one question and the given answer records (already encoded).
Bytes Reply(const std::string& qname, int qtype, int rcode, int ancount, const Bytes& answers) {
    Bytes b = {0x12, 0x34, 0x81, static_cast<unsigned char>(0x80 | rcode), 0, 1, 0,
               static_cast<unsigned char>(ancount), 0, 0, 0, 0};
    const Bytes q = Name(qname);
    b.insert(b.end(), q.begin(), q.end());
    b.insert(b.end(), {0, static_cast<unsigned char>(qtype), 0, 1});
    b.insert(b.end(), answers.begin(), answers.end());
    return b;
}

Bytes ARecord(unsigned char a, unsigned char b, unsigned char c, unsigned char d) {
    return {0xC0, 0x0C, 0, 1, 0, 1, 0, 0, 0, 60, 0, 4, a, b, c, d};
}

std::string ErrorOf(const Bytes& reply, DnsResolver::Type type) {
    try {
        DnsResolver::FirstAnswer(reply.data(), static_cast<int>(reply.size()), type);
    } catch (const velmora::net::NetError& e) {
        return e.what();
    }
    return "(no error)";
}
} // namespace

TEST(DnsAnswer, FirstARecordIsTheAnswer) {
    Bytes answers = ARecord(127, 0, 0, 10);
    const Bytes second = ARecord(127, 0, 0, 11);
    answers.insert(answers.end(), second.begin(), second.end());
    const Bytes r = Reply("www.velmora.test", 1, 0, 2, answers);
    EXPECT_EQ(DnsResolver::FirstAnswer(r.data(), static_cast<int>(r.size()), DnsResolver::Type::A), "127.0.0.10");
}

TEST(DnsAnswer, PtrRecordGivesTheName) {
    Bytes rr = {0xC0, 0x0C, 0, 12, 0, 1, 0, 0, 0, 60};
    const Bytes target = Name("www.velmora.test");
    rr.push_back(0);
    rr.push_back(static_cast<unsigned char>(target.size()));
    rr.insert(rr.end(), target.begin(), target.end());
    const Bytes r = Reply("10.0.0.127.in-addr.arpa", 12, 0, 1, rr);
    EXPECT_EQ(DnsResolver::FirstAnswer(r.data(), static_cast<int>(r.size()), DnsResolver::Type::PTR), "www.velmora.test");
}

TEST(DnsAnswer, DamagedRepliesAreErrors) {
    const Bytes good = Reply("www.velmora.test", 1, 0, 1, ARecord(1, 2, 3, 4));
    Bytes cut = good;
    cut.resize(cut.size() - 3);  // the address cut short
    Bytes badLen = good;
    badLen[good.size() - 5] = 200;  // rdlength past the end
    Bytes loop = Reply("x", 1, 0, 1, {0xC0, 0x0C, 0, 1, 0, 1, 0, 0, 0, 60, 0, 4, 1, 2, 3, 4});
    loop[12] = 0xC0;  // the question name points at itself
    loop[13] = 0x0C;
    struct Case {
        const char* what;
        Bytes reply;
    } cases[] = {
        {"truncated record", cut},
        {"record length beyond the reply", badLen},
        {"answer count without answers", Reply("www.velmora.test", 1, 0, 3, {})},
        {"no answer at all", Reply("www.velmora.test", 1, 0, 0, {})},
        {"compression loop", loop},
        {"header only", Bytes(good.begin(), good.begin() + 12)},
        {"garbage", Bytes(40, 0xFF)},
    };
    for (const auto& c : cases) {
        const std::string e = ErrorOf(c.reply, DnsResolver::Type::A);
        EXPECT_NE(e, "(no error)") << c.what;
        EXPECT_FALSE(e.empty()) << c.what;
    }
    // Fewer than 5 bytes count as no reply.
    EXPECT_EQ(ErrorOf(Bytes{1, 2, 3, 4}, DnsResolver::Type::A), "TimedOut");
}

TEST(DnsAnswer, ReverseNames) {
    EXPECT_EQ(DnsResolver::ReverseName("127.0.0.10"), "10.0.0.127.in-addr.arpa");
    EXPECT_EQ(DnsResolver::ReverseName("::1"),
              "1.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0.ip6.arpa");
    EXPECT_EQ(DnsResolver::ReverseName("10.0.0.10.in-addr.arpa"), "10.0.0.10.in-addr.arpa");
}
