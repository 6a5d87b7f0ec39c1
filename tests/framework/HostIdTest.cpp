#include <gtest/gtest.h>

#include <string>

#include "framework/HostId.h"

TEST(FindHostId, WordsAreTestedInTableOrderAfterLowerCasing)
{
    EXPECT_EQ(FindHostId("REAPER"), kHostReaper);
    EXPECT_EQ(FindHostId("reaper with cubase inside"), kHostCubase); // table order, not text order
    EXPECT_EQ(FindHostId("Ableton Live 11"), kHostLive);
    EXPECT_EQ(FindHostId("some digital workstation"), kHostDigital);
    EXPECT_EQ(FindHostId("Ardour"), kHostArdour);
    EXPECT_EQ(FindHostId("VST3PluginTestHost"), kHostVST3TestHost);
    EXPECT_EQ(FindHostId("Logic Pro"), kHostLogic);
    EXPECT_EQ(FindHostId("Unheard Of"), kHostUnknown);
    EXPECT_EQ(FindHostId(""), kHostUnknown);
    EXPECT_EQ(FindHostId(nullptr), kHostUnknown);
}

TEST(FindHostId, OnlyTheFirst255CharactersCount)
{
    const std::string padding(252, 'x');
    EXPECT_EQ(FindHostId((padding + "ORION").c_str()), kHostUnknown); // cut to "...ori"
    EXPECT_EQ(FindHostId((std::string(250, 'x') + "ORION").c_str()), kHostOrion);
    char out[8];
    ToLowerCopy("ABCDEFGHIJ", out, sizeof out);
    EXPECT_STREQ(out, "abcdefg");
}
