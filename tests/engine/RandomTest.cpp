#include "engine/Random.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>
#include <vector>

TEST(SharedRandom, DrawsStayInRangeAndRepeatAfterReseeding)
{
    EXPECT_EQ(quova::RandomIndex(0), -1);
    EXPECT_EQ(quova::RandomIndex(-3), -1);
    EXPECT_EQ(quova::RandomIndex(1), 0);
    quova::SeedRandomEngine(7);
    std::vector<int> first;
    for (int i = 0; i < 64; ++i)
        first.push_back(quova::RandomIndex(5));
    quova::SeedRandomEngine(7);
    for (int i = 0; i < 64; ++i)
        EXPECT_EQ(quova::RandomIndex(5), first[static_cast<size_t>(i)]);
    EXPECT_TRUE(std::all_of(first.begin(), first.end(), [](int v) { return v >= 0 && v < 5; }));
    EXPECT_NE(std::count(first.begin(), first.end(), first[0]), 64);
}

// Several plug-in instances on several audio threads share the engine and
// the sequence counter: no number is handed out twice.
TEST(SharedRandom, SequenceNumbersAreUniqueAcrossThreads)
{
    constexpr int kThreads = 4;
    constexpr int kDraws = 5000;
    std::vector<std::vector<std::uint32_t>> seen(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back(
            [&seen, t]
            {
                for (int i = 0; i < kDraws; ++i)
                {
                    seen[static_cast<size_t>(t)].push_back(quova::NextStepSequence());
                    const int r = quova::RandomIndex(3);
                    if (r < 0 || r > 2) seen[static_cast<size_t>(t)].push_back(0);
                }
            });
    for (std::thread& t : threads)
        t.join();
    std::vector<std::uint32_t> all;
    for (const auto& s : seen)
        all.insert(all.end(), s.begin(), s.end());
    ASSERT_EQ(all.size(), static_cast<size_t>(kThreads * kDraws));
    std::sort(all.begin(), all.end());
    EXPECT_EQ(std::adjacent_find(all.begin(), all.end()), all.end());
}
