#include "checks/SntpPacket.h"

#include <gtest/gtest.h>

using namespace velmora;
using namespace std::chrono;

namespace {
TimePoint At(int y, int mo, int d, int h, int mi, int s, int ms = 0) {
    return FromLocal(y, mo, d, h, mi, s) + milliseconds(ms);
}
} // namespace

TEST(SntpPacket, RequestIsClientModeVersion3WithTheLocalTransmitTime) {
    const TimePoint now = At(2026, 12, 11, 13, 5, 7, 250);
    const std::string p = sntp::BuildRequest(now);
    ASSERT_EQ(p.size(), 48u);
    EXPECT_EQ(static_cast<unsigned char>(p[0]), 0x1B);
    for (size_t i = 1; i < 40; ++i) EXPECT_EQ(p[i], '\0') << i;
    // The transmit time reads back as the time sent (to the millisecond).
    const auto back = sntp::TransmitTime(p);
    ASSERT_TRUE(back);
    EXPECT_EQ(duration_cast<milliseconds>(*back - now).count(), 0);
}

TEST(SntpPacket, AnswersShorterThan48BytesGiveNoTime) {
    EXPECT_FALSE(sntp::TransmitTime(std::string(47, '\x24')));
    EXPECT_FALSE(sntp::TransmitTime(""));
    EXPECT_TRUE(sntp::TransmitTime(std::string(48, '\0')));
}

TEST(SntpPacket, NtpEras) {
    // 2026-12-11 00:00:00 UTC = Unix 1796947200.
    const long long unix2026 = 1796947200LL;
    const auto t = sntp::FromNtp(static_cast<uint32_t>(unix2026 + sntp::kNtpToUnix), 0x80000000u);
    EXPECT_EQ(duration_cast<milliseconds>(t.time_since_epoch()).count(), unix2026 * 1000 + 500);
    // Top bit clear: the era after 2036-02-07.
    const auto t2 = sntp::FromNtp(10, 0);
    EXPECT_EQ(duration_cast<seconds>(t2.time_since_epoch()).count(), (1LL << 32) + 10 - sntp::kNtpToUnix);
    // The all-zero timestamp is the era origin.
    EXPECT_EQ(sntp::FromNtp(0, 0), sntp::ZeroTime());
    EXPECT_EQ(duration_cast<seconds>(sntp::ZeroTime().time_since_epoch()).count(), -sntp::kNtpToUnix);
}

TEST(SntpPacket, ComparisonTexts) {
    const TimePoint local = At(2026, 12, 11, 13, 5, 7, 0);
    struct Case {
        long long offsetMs, limit;
        bool passed;
        std::string text;
    } cases[] = {
        {400, 1000, true, " [SNTP Server Time = 2026-12-11 13:05:07.400]"},
        {-999, 1000, true, " [SNTP Server Time = 2026-12-11 13:05:06.001]"},
        // Exactly the limit fails; the limit is shown with "s]" although it is in ms.
        {1000, 1000, false, " [SNTP Server Time = 2026-12-11 13:05:08.000: Time Different greater than 1000s]"},
        {-1000, 1000, false, " [SNTP Server Time = 2026-12-11 13:05:06.000: Time Different greater than 1000s]"},
        {0, 0, false, " [SNTP Server Time = 2026-12-11 13:05:07.000: Time Different greater than 0s]"},
    };
    for (const auto& c : cases) {
        const auto r = sntp::Compare(local + milliseconds(c.offsetMs), local, c.limit);
        EXPECT_EQ(r.passed, c.passed) << c.offsetMs;
        EXPECT_EQ(r.text, c.text);
    }
}

TEST(SntpPacket, DifferenceRoundsToWholeMilliseconds) {
    const TimePoint local = At(2026, 1, 1, 0, 0, 0);
    EXPECT_EQ(sntp::DifferenceMs(local + microseconds(1499), local), 1);
    EXPECT_EQ(sntp::DifferenceMs(local + microseconds(1500), local), 2);
    EXPECT_EQ(sntp::DifferenceMs(local - microseconds(2600), local), 3);
}
