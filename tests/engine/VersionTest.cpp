#include "engine/EngineVersion.h"

#include <gtest/gtest.h>

TEST(Version, IsOneTwoFour)
{
    EXPECT_EQ(quova::kVersionMajor * 10000 + quova::kVersionMinor * 100 + quova::kVersionPatch, 10204);
}
