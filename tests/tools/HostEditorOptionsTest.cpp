#include "tools/host/HostOptions.h"

#include <gtest/gtest.h>

using namespace quova::host;

TEST(HostEditorOptions, TheEditorOptionsAreReadAndTheirCompanionsNeedEditor)
{
    HostOptions o;
    std::string error;
    ASSERT_EQ(ParseHostOptions({"mod.so", "--editor", "--editor-seconds", "-1", "--editor-png", "shot.png"},
                               o, error),
              ParseOutcome::Run)
        << error;
    EXPECT_TRUE(o.editor);
    EXPECT_DOUBLE_EQ(o.editorSeconds, -1.0);
    EXPECT_EQ(o.editorPng, "shot.png");

    for (const std::vector<std::string>& bad :
         {std::vector<std::string>{"mod.so", "--editor-seconds", "2"},
          std::vector<std::string>{"mod.so", "--editor-png", "a.png"},
          std::vector<std::string>{"mod.so", "--editor", "--editor-seconds", "x"},
          std::vector<std::string>{"mod.so", "--editor", "--editor-seconds", "1e9"}})
    {
        HostOptions other;
        EXPECT_EQ(ParseHostOptions(bad, other, error), ParseOutcome::Error) << bad[1];
        EXPECT_FALSE(error.empty());
    }
}
