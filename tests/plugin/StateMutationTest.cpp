// Damaged states: seeded random truncations and byte changes of a real state. Each one is either
// refused, leaving the plug-in exactly as it was, or read as a whole; none may crash, hang or
// write outside its arrays (the sanitizers watch the last). A failing case is replayed alone by its
// seed.
#include <gtest/gtest.h>

#include <random>

#include "tests/plugin/PluginTestSupport.h"

namespace quova::test
{
namespace
{

TEST(StateMutation, DamagedStatesAreRefusedWholeOrReadWhole)
{
    TempDataFolder folder;
    Tobel plug(nullptr);
    // A state with content in the chord memory, loops and parameters, so damage lands on real fields.
    plug.SetParameterFromGUI(3253, 0.5);
    const std::vector<uint8_t> original = StateBytes(plug);
    ASSERT_GT(original.size(), 8000u);

    int refused = 0;
    for (unsigned seed = 1; seed <= 60; ++seed)
    {
        SCOPED_TRACE(testing::Message() << "seed " << seed);
        std::mt19937 rng(seed);
        std::vector<uint8_t> damaged = original;
        if (seed % 4 == 0) damaged.resize(rng() % damaged.size());
        // Most damage goes to the head (version, texts, chord memory, controller numbers, loops),
        // where the counts and ranges live; some anywhere.
        const int changes = 1 + static_cast<int>(rng() % 6);
        for (int c = 0; c < changes && !damaged.empty(); ++c)
        {
            const size_t head = std::min<size_t>(damaged.size(), 8000);
            const size_t at = rng() % 3 != 0 ? rng() % head : rng() % damaged.size();
            damaged[at] = static_cast<uint8_t>(rng());
        }
        const std::vector<uint8_t> before = StateBytes(plug);
        if (ReadBytes(plug, damaged) < 0)
        {
            ++refused;
            EXPECT_EQ(StateBytes(plug), before) << "a refused state changed the plug-in";
        }
    }
    EXPECT_GT(refused, 0);
}

} // namespace
} // namespace quova::test
