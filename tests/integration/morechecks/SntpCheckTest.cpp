// The SNTP check against chronyd on loopback, a port where nobody listens, a socket that
// never answers and one that answers with too few bytes.
#include "LoopbackServers.h"
#include "checks/SntpPacket.h"
#include "checks/ThreadSNTPCheck.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cctype>

using namespace velmora;

namespace {
ThreadSNTPCheck Make(int port, bool compare, long long limit, long long timeout = 2000) {
    return ThreadSNTPCheck(CheckContext{}, nullptr, "127.0.0.1", port, {8192, compare, limit, timeout});
}
// "yyyy-MM-dd HH:mm:ss.zzz": digits where the pattern has 'd'.
bool LooksLikeTime(const std::string& s) {
    const std::string pattern = "dddd-dd-dd dd:dd:dd.ddd";
    if (s.size() != pattern.size()) return false;
    for (size_t i = 0; i < s.size(); ++i)
        if (pattern[i] == 'd' ? !std::isdigit(static_cast<unsigned char>(s[i])) : s[i] != pattern[i]) return false;
    return true;
}
} // namespace

TEST(SntpCheck, RealServerWithAndWithoutComparison) {
    const int port = test::ServerPort("chrony");
    const std::string head = "[127.0.0.1:" + std::to_string(port) + " SNTP Connection Succeed]";

    auto plain = Make(port, false, 0);
    plain.Execute();
    EXPECT_TRUE(plain.passed);
    EXPECT_EQ(plain.result_text, head);

    // chronyd serves this machine's own clock: well within a minute.
    auto close = Make(port, true, 60000);
    close.Execute();
    EXPECT_TRUE(close.passed) << close.result_text;
    const std::string lead = head + " [SNTP Server Time = ";
    ASSERT_EQ(close.result_text.rfind(lead, 0), 0u) << close.result_text;
    ASSERT_EQ(close.result_text.size(), lead.size() + 23 + 1) << close.result_text;
    const std::string shown = close.result_text.substr(lead.size(), 23);
    EXPECT_TRUE(LooksLikeTime(shown)) << shown;
    EXPECT_EQ(close.result_text.back(), ']');
    EXPECT_EQ(shown.substr(0, 10), FormatDate(std::chrono::system_clock::now()));

    // A limit of 0 ms: no difference is smaller, so the comparison fails with "s]".
    auto strict = Make(port, true, 0);
    strict.Execute();
    EXPECT_FALSE(strict.passed);
    const std::string tail = ": Time Different greater than 0s]";
    ASSERT_GT(strict.result_text.size(), tail.size());
    EXPECT_EQ(strict.result_text.substr(strict.result_text.size() - tail.size()), tail) << strict.result_text;
}

TEST(SntpCheck, NoAnswerPassesUnlessCompared) {
    test::UdpResponder silent([](const std::string&) { return std::nullopt; });
    const std::string head = "[127.0.0.1:" + std::to_string(silent.port()) + " SNTP Connection Succeed]";
    auto plain = Make(silent.port(), false, 0, 500);
    plain.Execute();
    EXPECT_TRUE(plain.passed);
    EXPECT_EQ(plain.result_text, head);
    EXPECT_GE(plain.response_time, 450);

    auto compared = Make(silent.port(), true, 1000, 500);
    compared.Execute();
    EXPECT_FALSE(compared.passed);
    EXPECT_EQ(compared.result_text, head + " [SNTP Server Time = " + sntp::FormatServerTime(sntp::ZeroTime()) +
                                        ": Time Different greater than 1000s]");
}

TEST(SntpCheck, ShortAnswersAreNotAnswers) {
    int answered = 0;
    test::UdpResponder shortOnes([&](const std::string&) -> std::optional<std::string> {
        ++answered;
        return std::string(47, '\x24');
    });
    auto check = Make(shortOnes.port(), true, 60000, 500);
    check.Execute();
    EXPECT_FALSE(check.passed);
    EXPECT_NE(check.result_text.find("SNTP Server Time = " + sntp::FormatServerTime(sntp::ZeroTime())), std::string::npos)
        << check.result_text;
    EXPECT_EQ(answered, 1);
}

TEST(SntpCheck, UnreachablePortIsAGetTimeError) {
    int port = 0;
    const int fd = test::BindLoopback(SOCK_DGRAM, port);
    ::close(fd);  // nobody listens there now: the kernel answers port unreachable
    auto check = Make(port, false, 0, 1000);
    check.Execute();
    EXPECT_FALSE(check.passed);
    const std::string start = "[127.0.0.1:" + std::to_string(port) + " SNTP Server Time = " +
                              sntp::FormatServerTime(sntp::ZeroTime()) + ": Get Time Error:";
    EXPECT_EQ(check.result_text.rfind(start, 0), 0u) << check.result_text;
    EXPECT_EQ(check.result_text.back(), ']');

    auto noHost = ThreadSNTPCheck(CheckContext{}, nullptr, "", 123, {});
    noHost.Execute();
    EXPECT_EQ(noHost.result_text, "[:123 SNTP Connection Error:ERR10001 Host/IP required]");
}
