#include "tools/host/Validator.h"
#include "tools/host/AllocationCounter.h"
#include "tools/host/HostSession.h"
#include "tools/host/ValidatorSupport.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace quova::host;

namespace
{
ValidatorEvent Midi(int64_t frame, uint8_t status, uint8_t data1, uint8_t data2)
{
    ValidatorEvent event;
    event.frame = frame;
    event.type = vst::kVstMidiType;
    event.bytes[0] = status;
    event.bytes[1] = data1;
    event.bytes[2] = data2;
    return event;
}

class EchoValidator : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::string error;
        ASSERT_TRUE(effect.Open(QUOVA_ECHO_MODULE, error)) << error;
        effect.Setup(44100.0, 512);
        effect.Resume();
    }

    ValidatorEffect effect;
};
} // namespace

// The echo module sends back what it is given at the same offsets, so what the
// host hands in decides what the block checks must find.
TEST_F(EchoValidator, BlockChecksFindEventsOutsideOutOfOrderAndMalformed)
{
    effect.QueueMidi(10, 0x90, 60, 100);
    effect.QueueMidi(20, 0x80, 60, 0);
    effect.Process(512);
    EXPECT_TRUE(effect.Findings().Clean()) << effect.Findings().Describe();
    EXPECT_EQ(effect.Findings().events, 2);

    effect.QueueMidi(512, 0x90, 61, 100); // one past the block
    effect.Process(512);
    EXPECT_EQ(effect.Findings().eventsOutside, 1);

    effect.ResetFindings();
    effect.QueueMidi(30, 0x90, 62, 100);
    effect.QueueMidi(5, 0x90, 63, 100);
    effect.QueueMidi(40, 0x90, 0x80, 100); // a data byte with the top bit
    effect.Process(64);
    EXPECT_EQ(effect.Findings().eventsOutOfOrder, 1);
    EXPECT_EQ(effect.Findings().badBytes, 1);
    EXPECT_EQ(effect.Findings().nonZeroOutputs, 0);
    EXPECT_FALSE(effect.Findings().Clean());
    EXPECT_NE(effect.Findings().Describe().find("block 2 of 64 frames: offsets 30 5 40"), std::string::npos)
        << effect.Findings().Describe();
    // Events are placed on the host's time line.
    EXPECT_EQ(effect.Events().back().frame, 512 + 512 + 40);
}

TEST(ValidatorEffect, OutputsLeftAsFoundAndWrittenInputsAreCaught)
{
    ValidatorEffect dirty;
    std::string error;
    ASSERT_TRUE(dirty.Open(QUOVA_DIRTY_MODULE, error)) << error;
    dirty.Process(64);
    dirty.Process(32);
    // The second output keeps the NaN the host put there; one input sample per block is written.
    EXPECT_EQ(dirty.Findings().nonZeroOutputs, 96);
    EXPECT_EQ(dirty.Findings().changedInputs, 2);
    EXPECT_NE(dirty.Findings().Describe().find("96 output samples not zero; 2 input samples changed"),
              std::string::npos)
        << dirty.Findings().Describe();
}

TEST(Validator, ARefusedChunkThatChangesTheStateFails)
{
    std::ostringstream out, err;
    EXPECT_EQ(RunValidation({QUOVA_DIRTY_MODULE, "", "chunk-truncated"}, out, err), 1);
    EXPECT_NE(out.str().find("refused but changed the state, 0 accepted out of range"), std::string::npos)
        << out.str();
    std::ostringstream clean;
    EXPECT_EQ(RunValidation({QUOVA_ECHO_MODULE, "", "chunk-truncated"}, clean, err), 0) << clean.str();
}

TEST(ValidatorSupport, TimeInfoPlacesTheBarInTheTimeSignature)
{
    // 90 beats per minute at 48000 Hz: 32000 samples a quarter note, so quarter 15.
    const VstTimeInfo t = MakeTimeInfo(48000.0, 90.0, 480000.0, true, 7, 8);
    EXPECT_DOUBLE_EQ(t.ppqPos, 15.0);
    EXPECT_DOUBLE_EQ(t.barStartPos, 14.0); // bars of 3.5 quarter notes
    EXPECT_TRUE(t.flags & vst::kVstTransportPlaying);
    EXPECT_TRUE(t.flags & vst::kVstBarsValid);
    const VstTimeInfo stopped = MakeTimeInfo(44100.0, 0.0, 1000.0, false);
    EXPECT_EQ(stopped.ppqPos, 0.0); // no tempo: no musical position, and no division by zero
    EXPECT_FALSE(stopped.flags & vst::kVstTransportPlaying);
}

TEST_F(EchoValidator, SongsSlicedDifferentlyGiveTheSameMidi)
{
    const Song song = ChordSong(44100.0, 44100);
    PlaySong(effect, song, [] { return 512; });
    ValidatorEffect other;
    std::string error;
    ASSERT_TRUE(other.Open(QUOVA_ECHO_MODULE, error)) << error;
    int size = 0;
    PlaySong(other, song, [&size] { return size = size % 700 + 1; });
    EXPECT_EQ(effect.Events().size(), song.messages.size());
    EXPECT_EQ(CompareMidi(other.Events(), effect.Events()), "");
}

TEST(ValidatorSupport, NoteTrackerEndsNotesByNoteOffVelocityZeroAndAllNotesOff)
{
    NoteTracker notes;
    notes.AddAll(
        {Midi(0, 0x90, 60, 100), Midi(0, 0x90, 64, 100), Midi(0, 0x91, 60, 100), Midi(0, 0x92, 67, 1)});
    EXPECT_EQ(notes.Sounding(), 4);
    notes.Add(Midi(1, 0x90, 64, 0));  // velocity 0 ends it
    notes.Add(Midi(1, 0x80, 60, 64)); // ends channel 1's, not channel 2's
    notes.Add(Midi(1, 0x80, 60, 64)); // nothing left to end
    EXPECT_EQ(notes.Sounding(), 2);
    notes.Add(Midi(2, 0xB2, 123, 0));
    EXPECT_EQ(notes.Sounding(), 1);
    EXPECT_EQ(notes.NoteOns(), 4);
    EXPECT_EQ(notes.Describe(), "1 notes left sounding (channel 2 note 60)");
}

TEST(ValidatorSupport, CompareMidiNamesTheFirstDifference)
{
    const std::vector<ValidatorEvent> reference = {Midi(10, 0x90, 60, 100), Midi(20, 0x80, 60, 0)};
    EXPECT_EQ(CompareMidi(reference, reference), "");
    EXPECT_NE(CompareMidi({Midi(10, 0x90, 60, 100), Midi(21, 0x80, 60, 0)}, reference)
                  .find("1 differ; first: frame 21 [80 3c 0] where the reference has frame 20"),
              std::string::npos);
    EXPECT_NE(CompareMidi({Midi(10, 0x90, 60, 100)}, reference).find("missing frame 20"), std::string::npos);
}

TEST(AllocationCounter, CountsOnlyTheCountingThread)
{
    ASSERT_TRUE(AllocationCountingAvailable());
    BeginCountingAllocations();
    std::thread other([] { delete new std::vector<int>(100); });
    other.join(); // the thread's own allocations are the counting thread's too
    const uint64_t withThread = EndCountingAllocations();
    BeginCountingAllocations();
    auto one = std::make_unique<int>(1);
    const uint64_t own = EndCountingAllocations();
    EXPECT_EQ(own, 1u);
    EXPECT_GE(withThread, 1u); // starting a thread allocates here
    std::thread quiet([] { delete new std::vector<int>(100); });
    BeginCountingAllocations();
    quiet.join();
    EXPECT_EQ(EndCountingAllocations(), 0u);
}

// The echo module grows a record per block on the audio thread: the steady
// allocation case sees it through the module.
TEST(Validator, AllocationsInsideTheModuleAreCounted)
{
    std::ostringstream out, err;
    EXPECT_EQ(RunValidation({QUOVA_ECHO_MODULE, "", "allocations-steady"}, out, err), 1);
    EXPECT_NE(out.str().find("\nFAIL allocations-steady: "), std::string::npos) << out.str();
}

TEST(Validator, KnownFailuresAreReportedButOnlyUnexpectedOnesFail)
{
    const std::string list = testing::TempDir() + "validator-known.txt";
    std::ofstream(list) << "# waiting\nopen-close   # a fault\n\n";
    std::set<std::string> names;
    std::string error;
    ASSERT_TRUE(ReadKnownFailures(list, names, error)) << error;
    EXPECT_EQ(names, std::set<std::string>{"open-close"});

    std::ostringstream out, err;
    // The echo module allocates on the audio thread: listed, that failure is reported and passes.
    std::ofstream(list, std::ios::app) << "allocations-steady\n";
    EXPECT_EQ(RunValidation({QUOVA_ECHO_MODULE, list, "allocations-steady"}, out, err), 0);
    EXPECT_NE(out.str().find("FAIL allocations-steady: "), std::string::npos) << out.str();
    EXPECT_NE(out.str().find("(known failure)"), std::string::npos);
    EXPECT_EQ(RunValidation({QUOVA_ECHO_MODULE, list, "notes-off-after-close"}, out, err), 1);

    // A module that cannot be opened is told once, and no case runs.
    std::ostringstream none, why;
    EXPECT_EQ(RunValidation({"/nonexistent/module.so", list, "open-close"}, none, why), 1);
    EXPECT_EQ(why.str(),
              "quova_host: cannot open module /nonexistent/module.so: No such file or directory\n");
    EXPECT_EQ(none.str(), "");

    std::ostringstream passing;
    EXPECT_EQ(RunValidation({QUOVA_ECHO_MODULE, list, "open-close"}, passing, err), 0);
    EXPECT_NE(passing.str().find("PASS open-close: 25 cycles"), std::string::npos) << passing.str();
    EXPECT_NE(passing.str().find("listed as a known failure: passes now"), std::string::npos);
    EXPECT_EQ(RunValidation({QUOVA_ECHO_MODULE, list, "no-such-case"}, passing, err), 1);
    EXPECT_FALSE(ReadKnownFailures(list + ".missing", names, error));
    std::remove(list.c_str());
}

// A plug-in that does its job passes the battery: only the two faults the echo
// module really has are reported (it allocates a record per block, and it
// ends no notes when it is closed). A case failing here is a fault of the case.
TEST(Validator, TheBatteryPassesAWellBehavedModule)
{
    std::ostringstream out, err;
    EXPECT_EQ(RunValidation({QUOVA_ECHO_MODULE, "", ""}, out, err), 1);
    std::istringstream lines(out.str());
    std::vector<std::string> failed;
    for (std::string line; std::getline(lines, line);)
        if (line.rfind("FAIL ", 0) == 0) failed.push_back(line.substr(5, line.find(':') - 5));
    EXPECT_EQ(failed, (std::vector<std::string>{"notes-off-after-close", "allocations-steady"})) << out.str();
    EXPECT_NE(out.str().find("53 cases: 51 passed, 2 failed"), std::string::npos) << out.str();
}

namespace
{
// An output that raises SIGTERM once its first line is written, as Ctrl+C pressed then. (A shell
// that starts the tests in the background has them ignore SIGINT.)
class InterruptAfterFirstLine : public std::streambuf
{
protected:
    int overflow(int c) override
    {
        if (c == '\n' && !raised_) raised_ = std::raise(SIGTERM) == 0;
        return c;
    }

private:
    bool raised_ = false;
};
} // namespace

// Ctrl+C (or SIGTERM) during --validate: the case that runs ends, the data folder the first line names is
// removed, and the program ends as the signal would.
TEST(ValidatorDeathTest, ASignalEndsTheRunAndRemovesItsDataFolder)
{
    // The child is a fork at EXPECT_EXIT ("fast"), so that it uses the folder made here.
    GTEST_FLAG_SET(death_test_style, "fast");
    const std::string tmp = testing::TempDir() + "quova-signal-" + std::to_string(::getpid());
    std::filesystem::create_directories(tmp);
    EXPECT_EXIT(
        {
            ::setenv("TMPDIR", tmp.c_str(), 1);
            InterruptAfterFirstLine buffer;
            std::ostream out(&buffer);
            std::ostringstream err;
            RunCommandLine("quova_host", {"--validate", QUOVA_ECHO_MODULE}, out, err);
            std::_Exit(0);
        },
        ::testing::KilledBySignal(SIGTERM), "");
    EXPECT_TRUE(std::filesystem::is_empty(tmp)) << "the data folder is left in " << tmp;
    std::filesystem::remove_all(tmp);
}
