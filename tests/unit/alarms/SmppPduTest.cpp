#include "alarms/SmppPdu.h"

#include <gtest/gtest.h>

using namespace velmora::smpp;

namespace {
std::string Hex(const std::string& s) {
    static const char* d = "0123456789abcdef";
    std::string h;
    for (unsigned char c : s) {
        h += d[c >> 4];
        h += d[c & 15];
    }
    return h;
}
} // namespace

TEST(Gsm0338, Characters) {
    struct Case {
        const char* text;
        const char* hex;
    } cases[] = {
        {"@£$A", "00010241"},
        {"{", "1b28"},
        {"^{}\\[~]€", "1b141b281b291b2f1b3c1b3d1b3e1b65"},
        {"ü é", "7e2005"},
        {"ú|", "2020"},          // outside both tables: blanks
        {"a\xff" "b", "612062"},  // a byte that is not UTF-8
        {"Ö\nÄ", "5c0a5b"},
    };
    for (const auto& c : cases) EXPECT_EQ(Hex(EncodeGsm(c.text)), c.hex) << c.text;
}

TEST(Gsm0338, CutAt160OctetsWithoutSplittingEscapes) {
    EXPECT_EQ(EncodeShortMessage(std::string(200, 'x')), std::string(160, 'x'));
    EXPECT_EQ(EncodeShortMessage(std::string(100, '{')).size(), 160u);
    const std::string odd = EncodeShortMessage("y" + std::string(100, '{'));
    EXPECT_EQ(odd.size(), 159u);            // the 80th pair would not fit whole
    EXPECT_EQ(odd.back(), '\x28');
}

TEST(SmppPdu, Layout) {
    EXPECT_EQ(Hex(BindTransmitter(7, "sys", "pw", "TCP", 34, 1, 1, "123")),
              "00000022" "00000002" "00000000" "00000007"
              "73797300" "707700" "54435000" "22" "01" "01" "31323300");
    // Number fields keep only their low octet.
    EXPECT_EQ(Hex(BindTransmitter(0, "", "", "", 0x134, 0x101, 2, "")).substr(32), "0000003401020" "0");
    const std::string sm = SubmitSm(1, 1, 1, "99", 1, 1, "0123", EncodeShortMessage("{A"));
    EXPECT_EQ(Hex(sm), "0000002a" "00000004" "00000000" "00000001"
                       "00" "01" "01" "393900" "01" "01" "3031323300"
                       "00" "00" "00" "00" "00" "01" "00" "00" "00" "03" "1b2841");
    EXPECT_EQ(Hex(Unbind(5)), "00000010000000060000000000000005");
    EXPECT_EQ(Hex(EnquireLinkResp(9)), "00000010800000150000000000000009");
    auto h = ParseHeader(sm);
    ASSERT_TRUE(h);
    EXPECT_EQ(h->length, sm.size());
    EXPECT_EQ(h->id, kSubmitSm);
    EXPECT_FALSE(ParseHeader("short"));
    EXPECT_EQ(FirstCString(std::string("msg-1\0rest", 10)), "msg-1");
}

TEST(SmppPdu, SequenceCounterWraps) {
    SetNextSequenceForTest(0);
    EXPECT_EQ(NextSequence(), 0u);
    EXPECT_EQ(NextSequence(), 1u);
    SetNextSequenceForTest(0x7FFFFFFF);
    EXPECT_EQ(NextSequence(), 0x7FFFFFFFu);
    EXPECT_EQ(NextSequence(), 1u);
}
