#include "checks/WmiRules.h"

#include <gtest/gtest.h>

using namespace velmora::wmi;

TEST(WmiRules, ByteFormatting) {
    const long long K = 1024, M = K * K, G = M * K;
    struct Case {
        long long bytes;
        const char* text;
    } cases[] = {
        {G * 7 / 2, "3.50G"}, {12 * G, "12.0G"},  {15 * G, "15.0G"}, {200 * M, "200M"},
        {2048, "2.00K"},      {500, "500"},       {0, "0"},          {1023, "1023"},
        {1024, "1.00K"},      {10240, "10.0K"},   {102400, "100K"},  {1048576, "1.00M"},
        {10485760, "10.0M"},  {104857600, "100M"}, {G, "1.00G"},     {10 * G, "10.0G"},
        {100 * G, "100G"},    {1234 * G, "1234G"}, {G - 1, "1024M"},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatBytes(c.bytes), c.text) << c.bytes;
}

TEST(WmiRules, NameListSplitsFromTheLeftKeepingBlanks) {
    using V = std::vector<std::string>;
    EXPECT_EQ(SplitNameList("a.exe, b.exe"), (V{"a.exe", " b.exe"}));
    EXPECT_EQ(SplitNameList("a,,b"), (V{"a", "", "b"}));
    EXPECT_EQ(SplitNameList("a,"), (V{"a"}));
    EXPECT_EQ(SplitNameList(",a"), (V{"", "a"}));
    EXPECT_EQ(SplitNameList(""), V{});
    EXPECT_EQ(SplitNameList("solo"), V{"solo"});
}

TEST(WmiRules, MissingListIsUntrimmedAndSkipsLeadingEmptyItems) {
    struct Case {
        const char* list;
        std::vector<bool> found;
        const char* missing;
    } cases[] = {
        {"a.exe, b.exe", {true, false}, " b.exe"},
        {"a.exe, b.exe", {true, true}, ""},
        {"a.exe, b.exe", {false, false}, "a.exe, b.exe"},
        {"a,,b", {true, false, true}, ""},      // an empty item first leaves the list empty
        {"a,,b", {false, false, true}, "a,"},   // ... and later adds a lone ","
        {"a,,b", {false, false, false}, "a,,b"},
        {"x , y", {false, false}, "x , y"},
    };
    for (const auto& c : cases) EXPECT_EQ(MissingList(c.list, c.found), c.missing) << c.list;
}

TEST(WmiRules, DriveAndThresholdTables) {
    EXPECT_EQ(DriveName(0), "All");
    EXPECT_EQ(DriveName(1), "C:");
    EXPECT_EQ(DriveName(10), "L:");
    EXPECT_EQ(DriveName(11), "");
    EXPECT_EQ(DriveName(-1), "");
    EXPECT_EQ(DriveListTexts().size(), 11u);
    EXPECT_EQ(DriveListTexts()[2], "D Drive only");
    const auto& t = ThresholdTable();
    ASSERT_EQ(t.size(), 16u);
    EXPECT_EQ(t[1].bytes, 107374182);  // 0.1 * 2^30 truncated
    EXPECT_EQ(t[2].bytes, 214748365);  // 0.2 * 2^30 rounded
    EXPECT_EQ(t[12].text, "<= 20G");
    EXPECT_EQ(t[12].bytes, 20LL << 30);
    EXPECT_EQ(t[15].bytes, 50LL << 30);
}

TEST(WmiRules, CellsAsIntegers) {
    EXPECT_EQ(CellToInt64("10737418240"), 10737418240LL);
    EXPECT_EQ(CellToInt64("NULL"), 0);
    EXPECT_EQ(CellToInt64(""), 0);
    EXPECT_EQ(CellToInt64("12abc"), 0);
    EXPECT_EQ(CellToInt64("18446744073709551615"), 0);  // beyond signed 64 bits
    EXPECT_EQ(CellToInt64("-5"), -5);
}
