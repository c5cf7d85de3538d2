#include "foundation/IniFile.h"

#include <gtest/gtest.h>

using velmora::IniFile;

TEST(IniFile, ReplacesCapitalisedKeyInPlaceAndKeepsOtherLines) {
    IniFile f = IniFile::FromText("; my comment\r\n[SYSTEM]\r\nRUNASWINSERVICE=1\r\ngarbage line\r\n"
                                  "OtherProgramKey=x\r\n");
    EXPECT_TRUE(f.ReadBool("System", "RunAsWinService", false));
    f.WriteBool("System", "runAsWinService", false);
    EXPECT_EQ(f.Text(), "; my comment\r\n[SYSTEM]\r\nRUNASWINSERVICE=0\r\ngarbage line\r\n"
                        "OtherProgramKey=x\r\n");
}
