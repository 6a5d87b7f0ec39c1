#include "tools/host/VstHost.h"
#include "tests/tools/EchoModule.h"
#include "tools/host/PluginModule.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace quova::host;

namespace
{
constexpr uint8_t kNoteOn[3] = {0x90, 60, 100};

// An echo plug-in, opened, at 44100 Hz (22050 samples per quarter note at the
// default 120 beats per minute) with the given block size, resumed.
class EchoHost : public ::testing::Test
{
protected:
    void Start(int32_t blockSize, const TransportSettings& transport = {})
    {
        ASSERT_TRUE(host.Transport().Configure(transport));
        ASSERT_TRUE(host.Load(QUOVA_ECHO_MODULE)) << host.LastError();
        ASSERT_TRUE(host.Open());
        ASSERT_TRUE(host.SetSampleRate(transport.sampleRate));
        ASSERT_TRUE(host.SetBlockSize(blockSize));
        ASSERT_TRUE(host.Resume());
    }

    std::vector<EchoTimeRecord> TimeLog()
    {
        auto log = reinterpret_cast<EchoTimeLogProc>(host.Module()->Symbol(kEchoTimeLogName));
        std::vector<EchoTimeRecord> records(256);
        if (!log) return {};
        records.resize(std::size_t(std::min(log(records.data(), 256), 256)));
        return records;
    }

    void Queue(int64_t frame, uint8_t status, uint8_t d1, uint8_t d2 = 0)
    {
        const uint8_t bytes[3] = {status, d1, d2};
        ASSERT_TRUE(host.QueueMidi(frame, bytes, 3)) << host.LastError();
    }

    VstHost host;
};

void ExpectReceived(const ReceivedEvent& e, int64_t block, int32_t offset, int64_t frame, double quarters,
                    std::vector<uint8_t> bytes)
{
    EXPECT_EQ(e.block, block);
    EXPECT_EQ(e.offset, offset);
    EXPECT_EQ(e.frame, frame);
    EXPECT_NEAR(e.quarters, quarters, 1e-12);
    EXPECT_EQ(e.type, int32_t(ReceivedEventType::Midi));
    EXPECT_EQ(e.bytes, bytes);
}
} // namespace

TEST_F(EchoHost, MidiArrivesInItsBlockAtItsOffset)
{
    Start(512);
    Queue(1024, 0x90, 64, 90); // block 2, offset 0
    Queue(0, 0x90, 60, 100);
    Queue(700, 0x80, 60, 0);  // block 1, offset 188
    Queue(1023, 0xB0, 74, 5); // last frame of block 1
    ASSERT_TRUE(host.QueueMidiAt(3, 5, kNoteOn, 3));
    ASSERT_TRUE(host.RunBlocks(4));
    EXPECT_EQ(host.BlocksProcessed(), 4);
    EXPECT_EQ(host.FramesProcessed(), 2048);

    const auto& events = host.Events();
    ASSERT_EQ(events.size(), 5u);
    ExpectReceived(events[0], 0, 0, 0, 0.0, {0x90, 60, 100});
    ExpectReceived(events[1], 1, 188, 700, 700.0 / 22050.0, {0x80, 60, 0});
    ExpectReceived(events[2], 1, 511, 1023, 1023.0 / 22050.0, {0xB0, 74, 5});
    ExpectReceived(events[3], 2, 0, 1024, 1024.0 / 22050.0, {0x90, 64, 90});
    ExpectReceived(events[4], 3, 5, 1541, 1541.0 / 22050.0, {0x90, 60, 100});
    EXPECT_EQ(host.QueuedCount(), 0u);
}

TEST_F(EchoHost, MessagesAtOneFrameKeepTheirOrder)
{
    Start(64);
    Queue(10, 0xB0, 1, 1);
    Queue(10, 0xB0, 1, 2);
    Queue(3, 0xB0, 1, 0);
    Queue(10, 0xB0, 1, 3);
    host.RunBlocks(1);
    ASSERT_EQ(host.Events().size(), 4u);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(host.Events()[std::size_t(i)].bytes[2], i) << "event " << i;
}

TEST_F(EchoHost, TwoByteMessagesAndMessagesBeyondTheRun)
{
    Start(64);
    const uint8_t program[2] = {0xC3, 7};
    ASSERT_TRUE(host.QueueMidi(1, program, 2));
    Queue(64 * 5, 0x90, 1, 1);
    host.RunBlocks(2);
    ASSERT_EQ(host.Events().size(), 1u);
    EXPECT_EQ(host.Events()[0].bytes, (std::vector<uint8_t>{0xC3, 7, 0}));
    EXPECT_EQ(host.QueuedCount(), 1u) << "the message for block 5 is still waiting";
    host.RunBlocks(4);
    EXPECT_EQ(host.Events().size(), 2u);
    EXPECT_EQ(host.Events()[1].block, 5);
}

TEST_F(EchoHost, BadMessagesAreRefused)
{
    Start(64);
    host.RunBlocks(2);
    const uint8_t dataFirst[3] = {0x3C, 0x40, 0x00};
    const uint8_t badData[3] = {0x90, 0x80, 0x00};
    EXPECT_FALSE(host.QueueMidi(127, kNoteOn, 3)) << "frame already processed";
    EXPECT_FALSE(host.QueueMidi(200, dataFirst, 3));
    EXPECT_FALSE(host.QueueMidi(200, badData, 3));
    EXPECT_FALSE(host.QueueMidi(200, kNoteOn, 0));
    EXPECT_FALSE(host.QueueMidi(200, kNoteOn, 4));
    EXPECT_FALSE(host.QueueMidi(200, nullptr, 3));
    EXPECT_FALSE(host.QueueMidiAt(3, 64, kNoteOn, 3)) << "offset outside the block";
    EXPECT_FALSE(host.QueueMidiAt(3, -1, kNoteOn, 3));
    EXPECT_FALSE(host.QueueMidiAt(-1, 0, kNoteOn, 3));
    EXPECT_EQ(host.QueuedCount(), 0u);
    EXPECT_TRUE(host.QueueMidi(128, kNoteOn, 3)) << "the next block's first frame is still open";
}

TEST_F(EchoHost, TimeInfoFollowsTheTransportAcrossALoopJump)
{
    TransportSettings transport;
    transport.tempo = 90.0; // 29400 samples per quarter note
    transport.numerator = 3;
    transport.denominator = 4;
    transport.startQuarters = 2.0;
    transport.loopActive = true;
    transport.loopStartQuarters = 1.0;
    transport.loopEndQuarters = 4.0; // 29400 .. 117600
    Start(20000, transport);
    host.RunBlocks(5);

    const std::vector<EchoTimeRecord> log = TimeLog();
    ASSERT_EQ(log.size(), 5u);
    // Block starts: 58800, 78800, 98800, then 118800 is 1200 past the end:
    // 29400 + 1200 = 30600, then 50600.
    const double starts[5] = {58800, 78800, 98800, 30600, 50600};
    const bool changed[5] = {true, false, false, true, false};
    for (int b = 0; b < 5; ++b)
    {
        const EchoTimeRecord& r = log[std::size_t(b)];
        SCOPED_TRACE("block " + std::to_string(b));
        ASSERT_TRUE(r.hadTimeInfo);
        EXPECT_DOUBLE_EQ(r.samplePos, starts[b]);
        EXPECT_DOUBLE_EQ(r.sampleRate, 44100.0);
        EXPECT_NEAR(r.ppqPos, starts[b] / 29400.0, 1e-12);
        EXPECT_DOUBLE_EQ(r.tempo, 90.0);
        EXPECT_DOUBLE_EQ(r.barStartPos, r.ppqPos >= 3.0 ? 3.0 : 0.0);
        EXPECT_DOUBLE_EQ(r.cycleStartPos, 1.0);
        EXPECT_DOUBLE_EQ(r.cycleEndPos, 4.0);
        EXPECT_EQ(r.numerator, 3);
        EXPECT_EQ(r.denominator, 4);
        const int32_t always = vst::kVstTransportPlaying | vst::kVstTransportCycleActive |
                               vst::kVstPpqPosValid | vst::kVstTempoValid | vst::kVstBarsValid |
                               vst::kVstCyclePosValid | vst::kVstTimeSigValid;
        EXPECT_EQ(r.flags & always, always);
        EXPECT_EQ((r.flags & vst::kVstTransportChanged) != 0, changed[b]);
    }
}

TEST_F(EchoHost, EventsAfterALoopJumpCarryTheJumpedSongPosition)
{
    TransportSettings transport;
    transport.loopActive = true;
    transport.loopStartQuarters = 0.0;
    transport.loopEndQuarters = 1.0; // 22050 samples
    Start(10000, transport);
    Queue(30000 + 100, 0x90, 60, 1); // block 3, which starts at song sample 30000 - 22050 = 7950
    host.RunBlocks(4);
    ASSERT_EQ(host.Events().size(), 1u);
    ExpectReceived(host.Events()[0], 3, 100, 30100, 8050.0 / 22050.0, {0x90, 60, 1});
}

TEST_F(EchoHost, StoppedTransportAndMissingTimeInfo)
{
    TransportSettings transport;
    transport.playing = false;
    transport.startQuarters = 1.0;
    Start(128, transport);
    host.RunBlocks(2);
    host.SetTimeInfoAvailable(false);
    host.RunBlocks(1);
    const std::vector<EchoTimeRecord> log = TimeLog();
    ASSERT_EQ(log.size(), 3u);
    for (int b = 0; b < 2; ++b)
    {
        EXPECT_TRUE(log[std::size_t(b)].hadTimeInfo);
        EXPECT_EQ(log[std::size_t(b)].flags & vst::kVstTransportPlaying, 0);
        EXPECT_DOUBLE_EQ(log[std::size_t(b)].samplePos, 22050.0) << "a stopped transport does not move";
    }
    EXPECT_FALSE(log[2].hadTimeInfo);
    EXPECT_EQ(host.FramesProcessed(), 384) << "host time runs on while the song is stopped";
}

TEST_F(EchoHost, SampleRateChangeKeepsTheSongPosition)
{
    Start(441);
    host.RunBlocks(100); // 44100 samples: 2 quarter notes
    ASSERT_TRUE(host.SetSampleRate(48000.0));
    EXPECT_NEAR(host.Transport().QuarterPosition(), 2.0, 1e-12);
    EXPECT_DOUBLE_EQ(host.Transport().SamplePosition(), 48000.0);
    EXPECT_FALSE(host.SetSampleRate(0.0));
    EXPECT_FALSE(host.SetBlockSize(0));
    EXPECT_EQ(host.CallbackCount(vst::audioMasterGetTime), 100);
}

TEST_F(EchoHost, ChunksGoInAndOut)
{
    Start(64);
    std::vector<uint8_t> chunk;
    ASSERT_TRUE(host.GetChunk(false, chunk)) << host.LastError();
    EXPECT_EQ(std::string(chunk.begin(), chunk.end()), kEchoInitialChunk);

    const std::string saved = "ECHO saved state \x01\x02";
    ASSERT_TRUE(host.SetChunk(std::vector<uint8_t>(saved.begin(), saved.end()), false));
    ASSERT_TRUE(host.GetChunk(true, chunk));
    EXPECT_EQ(std::string(chunk.begin(), chunk.end()), saved);

    const std::string junk = "JUNK";
    EXPECT_FALSE(host.SetChunk(std::vector<uint8_t>(junk.begin(), junk.end()), false));
    EXPECT_FALSE(host.LastError().empty());
    EXPECT_FALSE(host.SetChunk({}, false));
    ASSERT_TRUE(host.GetChunk(false, chunk));
    EXPECT_EQ(std::string(chunk.begin(), chunk.end()), saved) << "refused chunks change nothing";
}

TEST_F(EchoHost, EventsReturnedOutsideProcessingAreCollectedWithTheirBytes)
{
    Start(64);
    host.RunBlocks(3);
    char dump[5] = {char(0xF0), 0x7E, 0x01, 0x02, char(0xF7)};
    VstMidiSysexEvent sysex{};
    sysex.type = vst::kVstSysExType;
    sysex.byteSize = sizeof sysex;
    sysex.deltaFrames = 7;
    sysex.dumpBytes = 5;
    sysex.sysexDump = dump;
    VstEvents list{};
    list.numEvents = 2;
    list.events[0] = nullptr; // skipped, as a plug-in skips null entries
    list.events[1] = reinterpret_cast<VstEvent*>(&sysex);
    EXPECT_EQ(host.Dispatch(vst::effProcessEvents, 0, 0, &list), 1);
    ASSERT_EQ(host.Events().size(), 1u);
    const ReceivedEvent& e = host.Events()[0];
    EXPECT_EQ(e.type, int32_t(ReceivedEventType::SysEx));
    EXPECT_EQ(e.block, -1);
    EXPECT_EQ(e.offset, 7);
    EXPECT_EQ(e.frame, 192 + 7) << "placed in the next block";
    EXPECT_EQ(e.bytes, (std::vector<uint8_t>{0xF0, 0x7E, 0x01, 0x02, 0xF7}));
}

TEST_F(EchoHost, CloseIsOnlyThroughTheHost)
{
    Start(64);
    EXPECT_EQ(host.Dispatch(vst::effClose), 0);
    EXPECT_TRUE(host.IsLoaded()) << "Dispatch does not close behind the host's back";
    EXPECT_TRUE(host.IsResumed());
    host.Close();
    EXPECT_FALSE(host.IsLoaded());
    EXPECT_FALSE(host.IsResumed());
    EXPECT_EQ(host.Dispatch(vst::effGetVstVersion), 0);
    EXPECT_FALSE(host.RunBlocks(1));
    std::vector<uint8_t> chunk;
    EXPECT_FALSE(host.GetChunk(false, chunk));
}
