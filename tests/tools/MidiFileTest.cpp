#include "tools/host/MidiFile.h"
#include "tools/host/BinaryFile.h"
#include "tools/host/HostSession.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <random>

using namespace quova::host;

namespace
{
class TempFile
{
public:
    explicit TempFile(const std::string& name)
        : path_((std::filesystem::temp_directory_path() /
                 ("quova_host_test_" + std::to_string(::getpid()) + "_" + name))
                    .string())
    {
        std::filesystem::remove(path_);
    }
    ~TempFile() { std::filesystem::remove(path_); }
    const std::string& Path() const { return path_; }
    bool Exists() const { return std::filesystem::exists(path_); }

    void Write(const std::vector<uint8_t>& bytes) const
    {
        std::string error;
        ASSERT_TRUE(WriteBinaryFile(path_, bytes, error)) << error;
    }

private:
    std::string path_;
};

std::vector<uint8_t> Track(const std::vector<uint8_t>& events)
{
    std::vector<uint8_t> chunk = {
        'M', 'T', 'r', 'k', 0, 0, uint8_t(events.size() >> 8), uint8_t(events.size())};
    chunk.insert(chunk.end(), events.begin(), events.end());
    return chunk;
}

std::vector<uint8_t> Header(int format, int tracks, uint8_t divisionHigh, uint8_t divisionLow)
{
    return {'M',          'T',        'h', 'd', 0, 0, 0, 6, 0, uint8_t(format), 0, uint8_t(tracks),
            divisionHigh, divisionLow};
}

// Format 0, 480 ticks per quarter, 120 bpm, 3/4, with running status, a
// two-byte delta time, a program change and a system-exclusive message.
std::vector<uint8_t> HandMadeSong()
{
    std::vector<uint8_t> file = Header(0, 1, 0x01, 0xE0);
    const std::vector<uint8_t> track = Track({
        0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20,       // tempo 500000 us
        0x00, 0xFF, 0x58, 0x04, 0x03, 0x02, 0x18, 0x08, // 3/4
        0x00, 0x90, 0x3C, 0x64,                         // tick 0 note-on C4
        0x60, 0x40, 0x50,                               // tick 96, running status note-on
        0x83, 0x60, 0x80, 0x3C, 0x00,                   // tick 576 note-off
        0x00, 0xC1, 0x05,                               // program change, channel 2
        0x00, 0xF0, 0x03, 0x7E, 0x7F, 0xF7,             // system exclusive: skipped
        0x00, 0xFF, 0x2F, 0x00,                         // end of track
    });
    file.insert(file.end(), track.begin(), track.end());
    return file;
}

void ExpectEvent(const MidiFileEvent& event, int64_t tick, std::vector<uint8_t> bytes)
{
    EXPECT_EQ(event.tick, tick);
    EXPECT_EQ(event.bytes, bytes);
}
} // namespace

TEST(MidiFileRead, ReadsChannelMessagesWithRunningStatus)
{
    TempFile file("handmade.mid");
    file.Write(HandMadeSong());
    MidiFileSong song;
    std::string error;
    ASSERT_TRUE(ReadMidiFile(file.Path(), song, error)) << error;
    EXPECT_EQ(song.ticksPerQuarter, 480);
    EXPECT_DOUBLE_EQ(song.tempo, 120.0);
    EXPECT_EQ(song.numerator, 3);
    EXPECT_EQ(song.denominator, 4);
    ASSERT_EQ(song.events.size(), 4u);
    ExpectEvent(song.events[0], 0, {0x90, 0x3C, 0x64});
    ExpectEvent(song.events[1], 96, {0x90, 0x40, 0x50});
    ExpectEvent(song.events[2], 576, {0x80, 0x3C, 0x00});
    ExpectEvent(song.events[3], 576, {0xC1, 0x05});
}

TEST(MidiFileRead, MergesTracksInTimeOrder)
{
    std::vector<uint8_t> bytes = Header(1, 2, 0x00, 0x60);
    const auto first = Track({0x64, 0x90, 0x30, 0x40, 0x00, 0xFF, 0x2F, 0x00});  // tick 100
    const auto second = Track({0x32, 0x91, 0x31, 0x41, 0x00, 0xFF, 0x2F, 0x00}); // tick 50
    bytes.insert(bytes.end(), first.begin(), first.end());
    bytes.insert(bytes.end(), second.begin(), second.end());
    TempFile file("tracks.mid");
    file.Write(bytes);
    MidiFileSong song;
    std::string error;
    ASSERT_TRUE(ReadMidiFile(file.Path(), song, error)) << error;
    ASSERT_EQ(song.events.size(), 2u);
    ExpectEvent(song.events[0], 50, {0x91, 0x31, 0x41});
    ExpectEvent(song.events[1], 100, {0x90, 0x30, 0x40});
}

TEST(MidiFileRead, RefusesMissingAndMalformedFilesWithoutTouchingTheSong)
{
    MidiFileSong song;
    song.ticksPerQuarter = 123;
    std::string error;
    EXPECT_FALSE(ReadMidiFile("/nonexistent/quova/song.mid", song, error));
    EXPECT_EQ(error, "cannot open /nonexistent/quova/song.mid: No such file or directory");

    TempFile file("bad.mid");
    const auto refuse = [&](const std::vector<uint8_t>& bytes, const char* what)
    {
        file.Write(bytes);
        error.clear();
        EXPECT_FALSE(ReadMidiFile(file.Path(), song, error)) << what;
        EXPECT_NE(error.find(file.Path()), std::string::npos) << what << ": the file is named: " << error;
        EXPECT_EQ(song.ticksPerQuarter, 123) << what;
    };
    refuse({}, "empty file");
    refuse({'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd', '!', '!', '!'}, "not MIDI");
    std::vector<uint8_t> cut = HandMadeSong();
    cut.resize(cut.size() - 6);
    refuse(cut, "track shorter than its length");
    std::vector<uint8_t> smpte = Header(0, 1, 0xE7, 0x28);
    const auto track = Track({0x00, 0x90, 0x3C, 0x64, 0x00, 0xFF, 0x2F, 0x00});
    smpte.insert(smpte.end(), track.begin(), track.end());
    refuse(smpte, "SMPTE division");
    std::vector<uint8_t> endless = Header(0, 1, 0x01, 0xE0);
    const auto badTrack = Track({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF});
    endless.insert(endless.end(), badTrack.begin(), badTrack.end());
    refuse(endless, "delta time that never ends");
    std::vector<uint8_t> torn = Header(0, 1, 0x01, 0xE0);
    const auto tornTrack = Track({0x00, 0x90, 0x3C});
    torn.insert(torn.end(), tornTrack.begin(), tornTrack.end());
    refuse(torn, "message cut by the end of the track");
}

TEST(MidiFileRead, SurvivesRandomlyDamagedFiles)
{
    // Each case damages a few bytes of a good file; reading must either work
    // or fail cleanly (the sanitizer build turns a stray access into a failure).
    // Odd cases damage any byte; even cases only put data-byte values into
    // the track, which often leaves a file that parses.
    TempFile file("damaged.mid");
    const std::vector<uint8_t> good = HandMadeSong();
    int readable = 0;
    for (int testCase = 0; testCase < 300; ++testCase)
    {
        std::mt19937 random(testCase);
        std::vector<uint8_t> bytes = good;
        const int damage = 1 + int(random() % 4);
        for (int i = 0; i < damage; ++i)
        {
            if (testCase % 2)
                bytes[random() % bytes.size()] = uint8_t(random());
            else
                bytes[22 + random() % (bytes.size() - 22)] = uint8_t(random() % 0x80);
        }
        if (testCase % 2 && random() % 4 == 0) bytes.resize(random() % bytes.size());
        file.Write(bytes);
        MidiFileSong song;
        std::string error;
        if (ReadMidiFile(file.Path(), song, error)) ++readable;
        for (const MidiFileEvent& event : song.events)
            ASSERT_EQ(int(event.bytes.size()), ChannelMessageLength(event.bytes[0])) << "case " << testCase;
    }
    EXPECT_GT(readable, 20) << "too few damaged files reached the library to exercise it";
}

TEST(MidiFileWrite, RoundTripKeepsEventsOrderTempoAndSignature)
{
    MidiFileSong song;
    song.ticksPerQuarter = 960;
    song.tempo = 93.75; // 640000 microseconds per quarter note, exact in the file
    song.numerator = 7;
    song.denominator = 8;
    song.events = {
        {1920, {0x80, 60, 0}}, {0, {0x90, 60, 100}},
        {0, {0xB0, 74, 10}}, // same tick as the note: stays after it
        {480, {0xC2, 7}},      {480, {0xE0, 0x00, 0x40}},
        {1920, {0x90, 62, 1}},
    };
    TempFile file("roundtrip.mid");
    std::string error;
    ASSERT_TRUE(WriteMidiFile(file.Path(), song, error)) << error;

    std::vector<uint8_t> raw;
    ASSERT_TRUE(ReadBinaryFile(file.Path(), raw, error));
    ASSERT_GE(raw.size(), 14u);
    EXPECT_EQ(raw[9], 0) << "format 0";
    EXPECT_EQ(raw[11], 1) << "one track";
    EXPECT_EQ((raw[12] << 8) | raw[13], 960);

    MidiFileSong back;
    ASSERT_TRUE(ReadMidiFile(file.Path(), back, error)) << error;
    EXPECT_EQ(back.ticksPerQuarter, 960);
    EXPECT_DOUBLE_EQ(back.tempo, 93.75);
    EXPECT_EQ(back.numerator, 7);
    EXPECT_EQ(back.denominator, 8);
    ASSERT_EQ(back.events.size(), 6u);
    ExpectEvent(back.events[0], 0, {0x90, 60, 100});
    ExpectEvent(back.events[1], 0, {0xB0, 74, 10});
    ExpectEvent(back.events[2], 480, {0xC2, 7});
    ExpectEvent(back.events[3], 480, {0xE0, 0x00, 0x40});
    ExpectEvent(back.events[4], 1920, {0x80, 60, 0});
    ExpectEvent(back.events[5], 1920, {0x90, 62, 1});
}

TEST(MidiFileWrite, RandomSongsSurviveTheRoundTrip)
{
    TempFile file("random.mid");
    for (int testCase = 0; testCase < 40; ++testCase)
    {
        std::mt19937 random(1000 + testCase);
        MidiFileSong song;
        song.ticksPerQuarter = 1 + int(random() % 32767);
        song.events.resize(random() % 200);
        for (MidiFileEvent& event : song.events)
        {
            event.tick = random() % 100000;
            const uint8_t status = uint8_t(0x80 + random() % 0x70);
            event.bytes = {status};
            for (int i = 1; i < ChannelMessageLength(status); ++i)
                event.bytes.push_back(uint8_t(random() % 0x80));
        }
        std::string error;
        ASSERT_TRUE(WriteMidiFile(file.Path(), song, error)) << "case " << testCase << ": " << error;
        MidiFileSong back;
        ASSERT_TRUE(ReadMidiFile(file.Path(), back, error)) << "case " << testCase << ": " << error;
        std::stable_sort(song.events.begin(), song.events.end(),
                         [](const MidiFileEvent& a, const MidiFileEvent& b) { return a.tick < b.tick; });
        ASSERT_EQ(back.ticksPerQuarter, song.ticksPerQuarter) << "case " << testCase;
        ASSERT_EQ(back.events.size(), song.events.size()) << "case " << testCase;
        for (std::size_t i = 0; i < song.events.size(); ++i)
        {
            ASSERT_EQ(back.events[i].tick, song.events[i].tick) << "case " << testCase << " event " << i;
            ASSERT_EQ(back.events[i].bytes, song.events[i].bytes) << "case " << testCase << " event " << i;
        }
    }
}

TEST(MidiFileWrite, RefusesWhatIsNotAChannelMessage)
{
    TempFile file("refused.mid");
    std::string error;
    const auto refuse = [&](MidiFileEvent event, const char* what)
    {
        MidiFileSong song;
        song.events = {{0, {0x90, 60, 100}}, event};
        EXPECT_FALSE(WriteMidiFile(file.Path(), song, error)) << what;
        EXPECT_FALSE(file.Exists()) << what;
    };
    refuse({0, {0x90, 0x80, 1}}, "data byte with the top bit");
    refuse({-1, {0x90, 60, 1}}, "negative tick");
    refuse({0, {0xF0, 0x7E, 0xF7}}, "system exclusive");
    refuse({0, {0x90, 60}}, "note-on without velocity");
    MidiFileSong song;
    song.ticksPerQuarter = 0;
    EXPECT_FALSE(WriteMidiFile(file.Path(), song, error));
    // A folder that is not there: the system's reason, not the MIDI library's words.
    EXPECT_FALSE(WriteMidiFile("/nonexistent/quova/out.mid", MidiFileSong{}, error));
    EXPECT_EQ(error, "cannot write /nonexistent/quova/out.mid: No such file or directory");
}

TEST(MidiFileTiming, ReceivedEventsBecomeASongAtHostTime)
{
    TransportSettings transport; // 44100 Hz, 120 bpm
    transport.numerator = 5;
    std::vector<ReceivedEvent> events(5);
    events[0] = {0, 0, 0, 0.0, 1, {0x90, 60, 100}};
    events[1] = {1, 10, 11025, 0.5, 1, {0x80, 60, 0}};
    events[2] = {1, 11, 11026, 0.5, 6, {0xF0, 0x01, 0xF7}}; // system exclusive
    events[3] = {-1, -5, -5, 0.0, 1, {0x90, 61, 1}};        // before the run
    events[4] = {2, 0, 22050, 1.0, 1, {0xC0, 3, 0}};        // program change: two bytes kept
    std::size_t skipped = 0;
    const MidiFileSong song = EventsToSong(events, transport, 960, skipped);
    EXPECT_EQ(skipped, 2u);
    EXPECT_EQ(song.numerator, 5);
    EXPECT_DOUBLE_EQ(song.tempo, 120.0);
    ASSERT_EQ(song.events.size(), 3u);
    ExpectEvent(song.events[0], 0, {0x90, 60, 100});
    ExpectEvent(song.events[1], 480, {0x80, 60, 0});
    ExpectEvent(song.events[2], 960, {0xC0, 3});
}
