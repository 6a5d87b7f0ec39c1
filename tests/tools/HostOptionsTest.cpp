#include "tools/host/HostOptions.h"

#include <gtest/gtest.h>

using namespace quova::host;

namespace
{
ParseOutcome Parse(std::vector<std::string> arguments, HostOptions& options, std::string& error)
{
    return ParseHostOptions(arguments, options, error);
}

std::vector<uint8_t> Bytes(const CommandLineMidi& m)
{
    return std::vector<uint8_t>(m.bytes, m.bytes + m.size);
}
} // namespace

TEST(HostOptions, TransportOptionsAndModuleInAnyPosition)
{
    HostOptions o;
    std::string error;
    ASSERT_EQ(Parse({"-r", "768000", "mod.so", "--time-sig", "6/8", "--loop", "4:12", "--stopped",
                     "--vendor-version", "20304", "-t", "999"},
                    o, error),
              ParseOutcome::Run)
        << error;
    EXPECT_EQ(o.modulePath, "mod.so");
    EXPECT_DOUBLE_EQ(o.transport.sampleRate, 768000.0);
    EXPECT_DOUBLE_EQ(o.transport.tempo, 999.0);
    EXPECT_EQ(o.transport.numerator, 6);
    EXPECT_EQ(o.transport.denominator, 8);
    EXPECT_TRUE(o.transport.loopActive);
    EXPECT_DOUBLE_EQ(o.transport.loopStartQuarters, 4.0);
    EXPECT_DOUBLE_EQ(o.transport.loopEndQuarters, 12.0);
    EXPECT_FALSE(o.transport.playing);
    EXPECT_EQ(o.identity.vendorVersion, 20304);
}

TEST(HostOptions, NotesBecomeNoteOnAndNoteOffAtResolvedFrames)
{
    HostOptions o;
    std::string error;
    // Block positions use the block size even when it comes later on the line.
    ASSERT_EQ(Parse({"--note", "2/10:C4:90:300:3", "--note", "5:61", "--midi", "1/0:b0,7b,00", "--midi",
                     "7:c105", "--midi", "9:f8", "-b", "128", "m.so"},
                    o, error),
              ParseOutcome::Run)
        << error;
    ASSERT_EQ(o.midi.size(), 6u);
    EXPECT_EQ(o.midi[0].frame, 266);
    EXPECT_EQ(Bytes(o.midi[0]), (std::vector<uint8_t>{0x92, 60, 90}));
    EXPECT_EQ(o.midi[1].frame, 566) << "the note-off may fall into a later block";
    EXPECT_EQ(Bytes(o.midi[1]), (std::vector<uint8_t>{0x82, 60, 0}));
    EXPECT_EQ(o.midi[2].frame, 5);
    EXPECT_EQ(Bytes(o.midi[2]), (std::vector<uint8_t>{0x90, 61, 100}))
        << "velocity 100 and channel 1 by default";
    EXPECT_EQ(o.midi[3].frame, 128);
    EXPECT_EQ(Bytes(o.midi[3]), (std::vector<uint8_t>{0xB0, 0x7B, 0x00}));
    EXPECT_EQ(o.midi[4].frame, 7);
    EXPECT_EQ(Bytes(o.midi[4]), (std::vector<uint8_t>{0xC1, 0x05}));
    EXPECT_EQ(Bytes(o.midi[5]), (std::vector<uint8_t>{0xF8})) << "a system message of one byte";
}

TEST(HostOptions, HelpStopsParsing)
{
    HostOptions o;
    std::string error;
    EXPECT_EQ(Parse({"--bogus", "-h"}, o, error), ParseOutcome::Error) << "options are read in order";
    EXPECT_EQ(Parse({"-h", "--bogus"}, o, error), ParseOutcome::Help);
    EXPECT_NE(HostUsage("quova_host").find("Usage: quova_host [options] MODULE"), std::string::npos);
}

// Each error names what is wrong; for --note and --midi, the field.
TEST(HostOptions, BadCommandLinesAreErrorsWithAMessage)
{
    const std::vector<std::pair<std::vector<std::string>, std::string>> bad = {
        {{}, "no module given"},
        {{"a.so", "b.so"}, "more than one module given: b.so"},
        {{"--unknown", "a.so"}, "unknown option --unknown"},
        {{"a.so", "--unknown"}, "unknown option --unknown"}, // not "needs a value"
        {{"a.so", "--block"}, "--block needs a value"},
        {{"--block", "0", "a.so"}, "--block: 0"},
        {{"--blocks", "-1", "a.so"}, "--blocks: -1"},
        {{"--rate", "0", "a.so"}, "--rate: 0"},
        {{"--rate", "999", "a.so"}, "--rate: 999 (1000..768000 Hz)"},
        {{"--rate", "768001", "a.so"}, "--rate: 768001"},
        {{"--tempo", "999.5", "a.so"}, "--tempo: 999.5"}, // faster than the plug-in plays
        {{"--tempo", "fast", "a.so"}, "--tempo: fast"},
        {{"--tempo", " 120", "a.so"}, "--tempo"},
        {{"--time-sig", "4/3", "a.so"}, ""}, // denominator not a power of two
        {{"--loop", "8:4", "a.so"}, ""},     // end before start
        {{"--start", "-1", "a.so"}, "--start: -1"},
        {{"--note", "0:128", "a.so"}, "(NOTE: 128 is"},
        {{"--note", "0:H4", "a.so"}, "(NOTE: H4 is"},
        {{"--note", "0:60:0", "a.so"}, "(VEL: 0 is"},
        {{"--note", "0:60:100:x", "a.so"}, "(LEN: x is"},
        {{"--note", "0:60:100:10:17", "a.so"}, "(CH: 17 is"},
        {{"--note", "-5:60", "a.so"}, "(AT: -5 is"},
        {{"--note", "60", "a.so"}, "(it takes AT:NOTE"},
        {{"--note", "0/512:60", "a.so"}, "--note: 0/512:60 (AT: offset 512 lies outside a block of 512"},
        {{"--midi", "0:3c40", "a.so"}, "(HEX: 3c40 is"}, // no status byte first
        {{"--midi", "0:90bc00", "a.so"}, "(HEX: "},      // data byte with the top bit
        {{"--midi", "0:90c", "a.so"}, "(HEX: "},         // odd number of digits
        {{"--midi", "0:90", "a.so"}, "status 90 has 3 bytes, not 1"},
        {{"--midi", "0:903c", "a.so"}, "status 90 has 3 bytes, not 2"},
        {{"--midi", "0:c00540", "a.so"}, "status c0 has 2 bytes, not 3"},
        {{"--midi", "0:f0", "a.so"}, "status f0 starts no message"},
        {{"--midi", "903c40", "a.so"}, "(it takes AT:HEX"},
        {{"--midi", "x:903c40", "a.so"}, "(AT: x is"},
        {{"--vendor-version", "-3", "a.so"}, "--vendor-version: -3"},
        {{"--midi-out", "", "a.so"}, "--midi-out needs a file name"},
        {{"a.so", "--case", "slice"}, "--case needs --validate"},
        {{"--known-failures", "known.txt", "a.so"}, "--known-failures needs --validate"},
    };
    for (const auto& [arguments, said] : bad)
    {
        HostOptions o;
        std::string error;
        std::string line;
        for (const auto& a : arguments)
            line += a + " ";
        EXPECT_EQ(Parse(arguments, o, error), ParseOutcome::Error) << line;
        EXPECT_FALSE(error.empty()) << line;
        EXPECT_NE(error.find(said), std::string::npos) << line << ": " << error;
        EXPECT_EQ(error.find('\n'), std::string::npos) << line << ": " << error;
    }
}

TEST(HostOptions, NoteNames)
{
    EXPECT_EQ(ParseNote("60"), 60);
    EXPECT_EQ(ParseNote("C4"), 60);
    EXPECT_EQ(ParseNote("c4"), 60);
    EXPECT_EQ(ParseNote("A4"), 69);
    EXPECT_EQ(ParseNote("F#2"), 42);
    EXPECT_EQ(ParseNote("Bb3"), 58);
    EXPECT_EQ(ParseNote("C-1"), 0);
    EXPECT_EQ(ParseNote("G9"), 127);
    EXPECT_EQ(ParseNote("G#9"), -1) << "128 is no note";
    EXPECT_EQ(ParseNote("Cb-1"), -1) << "below note 0";
    EXPECT_EQ(ParseNote("C"), -1);
    EXPECT_EQ(ParseNote("C10"), -1);
    EXPECT_EQ(ParseNote(""), -1);
    EXPECT_EQ(ParseNote("-1"), -1);
}

TEST(HostOptions, ValidateTakesTheModuleAndItsOwnOptions)
{
    HostOptions o;
    std::string error;
    ASSERT_EQ(Parse({"--validate", "mod.so", "--known-failures", "known.txt", "--case", "slice"}, o, error),
              ParseOutcome::Run)
        << error;
    EXPECT_TRUE(o.validate);
    EXPECT_EQ(o.modulePath, "mod.so");
    EXPECT_EQ(o.knownFailures, "known.txt");
    EXPECT_EQ(o.validateOnly, "slice");
    HostOptions twice;
    EXPECT_EQ(Parse({"a.so", "--validate", "b.so"}, twice, error), ParseOutcome::Error);
}
