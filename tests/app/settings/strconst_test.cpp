#include "app/settings/consts.h"
#include "support/testutil.h"

#include <gtest/gtest.h>

TEST(StrConst, TextsHaveTheirShiftJisBytes)
{
    using namespace strconst;
    EXPECT_EQ(PluginProductName(), "Miradel" + Hex("83 76 83 89 83 4F 83 43 83 93"));
    EXPECT_EQ(ProgramProductName(), "Miradel-" + Hex("83 41 83 76 83 8A 94 C5"));
    EXPECT_EQ(Description(),
              "Becky2 " +
                  Hex("82 C5 8A C8 92 50 82 C8 83 58 83 50 83 57 83 85 81 5B 83 8B 8A C7 "
                      "97 9D 82 AA 82 C5 82 AB 82 E9 83 76 83 89 83 4F 83 43 83 93 82 C5 "
                      "82 B7 81 42"));
    // Half-width katakana are single bytes; the line break is one LF.
    EXPECT_EQ(FileWriteError(),
              Hex("CC A7 B2 D9 82 C9 8F 91 8D 9E 82 DF 82 DC 82 B9 82 F1 82 C5 "
                  "82 B5 82 BD 0A 8F 88 97 9D 82 F0 BD B7 AF CC DF 82 B5 82 DC "
                  "82 B7"));
    const std::string password = Hex("83 70 83 58 83 8F 81 5B 83 68");
    EXPECT_EQ(WrongPassword(), password + Hex("82 AA 88 E1 82 A2 82 DC 82 B7"));
    EXPECT_EQ(EnterPassword(), password + Hex("82 F0 93 FC 97 CD 82 B5 82 C4 89 BA 82 B3 82 A2"));
    EXPECT_EQ(RemovePassword(),
              password + Hex("82 F0 89 F0 8F 9C 82 B5 82 C4 82 A2 82 A2 82 C5 82 B7 82 A9 81 48"));
    EXPECT_EQ(Version() + DateFormat() + SubjectHeader() + MailtoPrefix() + ActiveSignal(),
              std::string(kVersion) + "yyyy\"/\"mm\"/\"ddSubject:mailto:ACTIVE");
    EXPECT_EQ(BlockStart() + BlockEnd(), "\r\n--Kalvero->>>!!<<<--Kalvero-");

    EXPECT_EQ(ProductName(), PluginProductName());
    SetBuild(Build::Program);
    EXPECT_EQ(ProductName(), ProgramProductName());
    SetBuild(Build::Plugin);
}
