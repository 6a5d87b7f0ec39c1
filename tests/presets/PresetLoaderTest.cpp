// The preset loader: the worker thread, the loading flag and what a load changes.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "PresetTestSupport.h"
#include "framework/IStateChunk.h"
#include "presets/PresetFileHeader.h"
#include "presets/PresetLoader.h"

namespace
{

class PresetLoaderTest : public ::testing::Test
{
protected:
    std::string Write(const char* file, const std::vector<uint8_t>& bytes, bool compressed = true)
    {
        const auto path = folder_.Root() / file;
        if (compressed)
        {
            WriteGzipBytes(path, bytes);
        }
        else
        {
            WriteBytes(path, bytes);
        }
        return path.string();
    }

    TempDataFolder folder_;
    FakePresetHost host_;
};

} // namespace

TEST_F(PresetLoaderTest, AppliesTheStateBehindTheHeaderAndTakesItsTexts)
{
    const std::string path = Write("p.t2z", PresetFileBytes("Acid", "Ann", {0, 0, 0, 5, 1, 2, 3}));
    {
        PresetLoader loader(&host_);
        // What the starter shows is in place before the worker applies anything.
        ASSERT_TRUE(loader.Start(path, -1, [this] { host_.greyLog.push_back("started"); }));
        loader.Join();
        EXPECT_FALSE(loader.IsLoading());
    }
    ASSERT_EQ(host_.appliedStates.size(), 1u);
    EXPECT_EQ(host_.appliedStates[0], (std::vector<uint8_t>{0, 0, 0, 5, 1, 2, 3}));
    EXPECT_EQ(host_.flagWhileApplying, std::vector<bool>{true});
    EXPECT_STREQ(host_.texts.name, "Acid");
    EXPECT_EQ(host_.shownAuthors, std::vector<std::string>{"Ann"});
    EXPECT_EQ(host_.greyLog, (std::vector<std::string>{"started", "grey", "restore"}));
    EXPECT_EQ(host_.patternRedraws, 1);
    EXPECT_FALSE(host_.loading.load());
    EXPECT_TRUE(host_.statusTexts.empty());
}

TEST_F(PresetLoaderTest, AFileOfExactlyTheHeaderAppliesAnEmptyState)
{
    const std::string path = Write("empty.t2", PresetFileBytes("Empty", "", {}), false);
    EXPECT_TRUE(LoadPresetFileThread(path, &host_, -1));
    ASSERT_EQ(host_.appliedStates.size(), 1u);
    EXPECT_TRUE(host_.appliedStates[0].empty());
    EXPECT_STREQ(host_.texts.name, "Empty");
}

TEST_F(PresetLoaderTest, ShortMissingCorruptOrRefusedFilesChangeNothing)
{
    PresetInfo before;
    PresetInfo::SetField(before.name, "Kept");
    host_.texts = before;
    std::vector<uint8_t> shortFile = PresetFileBytes("Short", "X", {});
    shortFile.resize(605);
    const std::vector<std::string> paths = {
        Write("short.t2z", shortFile),
        (folder_.Root() / "missing.t2z").string(),
        Write("corrupt.t2z", {0x1F, 0x8B, 8, 0, 0, 0, 0, 0, 0, 3, 1, 2, 3}, false),
    };
    for (const std::string& path : paths)
        EXPECT_FALSE(LoadPresetFileThread(path, &host_, -1)) << path;
    EXPECT_TRUE(host_.appliedStates.empty());
    EXPECT_TRUE(host_.greyLog.empty());

    host_.refuseStates = true;
    EXPECT_FALSE(
        LoadPresetFileThread(Write("refused.t2z", PresetFileBytes("New", "Y", {0, 0, 0, 6})), &host_, -1));
    EXPECT_EQ(host_.greyLog, (std::vector<std::string>{"grey", "restore"}));
    EXPECT_STREQ(host_.texts.name, "Kept");
    EXPECT_TRUE(host_.shownAuthors.empty());
    EXPECT_EQ(host_.statusTexts.size(), 4u);
    EXPECT_EQ(host_.statusTexts[0], kPresetLoadFailedText);
}

TEST_F(PresetLoaderTest, ASecondLoadIsRefusedWhileTheFirstIsApplied)
{
    const std::string first = Write("first.t2z", PresetFileBytes("First", "", {1}));
    const std::string second = Write("second.t2z", PresetFileBytes("Second", "", {2}));
    PresetLoader loader(&host_);
    host_.HoldApplying();
    ASSERT_TRUE(loader.Start(first, -1));
    ASSERT_TRUE(host_.WaitUntilApplying());
    EXPECT_TRUE(loader.IsLoading());
    bool startedSecond = false;
    EXPECT_FALSE(loader.Start(second, -1, [&startedSecond] { startedSecond = true; }));
    EXPECT_FALSE(startedSecond);
    host_.Release();
    loader.Join();
    ASSERT_EQ(host_.appliedStates.size(), 1u);
    EXPECT_EQ(host_.appliedStates[0], std::vector<uint8_t>{1});

    // Once the first has ended, the next load starts.
    ASSERT_TRUE(loader.Start(second, -1));
    loader.Join();
    EXPECT_EQ(host_.appliedStates.size(), 2u);
}

TEST_F(PresetLoaderTest, TheStateIsAppliedUnderThePlugInsLock)
{
    const std::string path = Write("locked.t2z", PresetFileBytes("L", "", {7}));
    PresetLoader loader(&host_);
    host_.lock.Enter();
    ASSERT_TRUE(loader.Start(path, -1));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    {
        std::lock_guard<std::mutex> guard(host_.mutex);
        EXPECT_TRUE(host_.appliedStates.empty()); // still waiting for the lock
    }
    host_.lock.Leave();
    loader.Join();
    EXPECT_EQ(host_.appliedStates.size(), 1u);
}

TEST_F(PresetLoaderTest, DestroyingTheLoaderWaitsForTheWorker)
{
    const std::string path = Write("slow.t2z", PresetFileBytes("Slow", "", {3}));
    auto loader = std::make_unique<PresetLoader>(&host_);
    host_.HoldApplying();
    ASSERT_TRUE(loader->Start(path, -1));
    ASSERT_TRUE(host_.WaitUntilApplying());
    std::thread releaser(
        [this]
        {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            host_.Release();
        });
    loader.reset(); // joins: the worker has finished with the host afterwards
    EXPECT_EQ(host_.appliedStates.size(), 1u);
    EXPECT_FALSE(host_.loading.load());
    releaser.join();
}
