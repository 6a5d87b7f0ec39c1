#include "tools/host/HostSession.h"
#include "tests/tools/EchoModule.h"
#include "tools/host/BinaryFile.h"
#include "tools/host/MidiFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <unistd.h>

using namespace quova::host;

namespace
{
class SessionFiles : public ::testing::Test
{
protected:
    std::string PathOf(const std::string& name)
    {
        const std::string path = (std::filesystem::temp_directory_path() /
                                  ("quova_session_" + std::to_string(::getpid()) + "_" + name))
                                     .string();
        created_.push_back(path);
        std::filesystem::remove(path);
        return path;
    }
    ~SessionFiles() override
    {
        for (const auto& path : created_)
            std::filesystem::remove(path);
    }

    int Run(std::vector<std::string> arguments)
    {
        arguments.push_back(QUOVA_ECHO_MODULE);
        HostOptions options;
        std::string error;
        EXPECT_EQ(ParseHostOptions(arguments, options, error), ParseOutcome::Run) << error;
        out.str("");
        err.str("");
        return RunHostSession(options, out, err);
    }

    std::ostringstream out, err;

private:
    std::vector<std::string> created_;
};

int CountLines(const std::string& text)
{
    int lines = 0;
    for (char c : text)
        lines += c == '\n';
    return lines;
}
} // namespace

TEST_F(SessionFiles, RunPrintsEventsAndSavesMidiAndChunk)
{
    const std::string midi = PathOf("out.mid");
    const std::string chunk = PathOf("out.chunk");
    ASSERT_EQ(Run({"-b", "441", "-n", "10", "--note", "0:60:100:2205", "--note", "3/21:64", "--midi-out",
                   midi, "--chunk-out", chunk}),
              0)
        << err.str();
    const std::string text = out.str();
    EXPECT_NE(
        text.find("    0      0          0  1.1.000           0.00000  90 3c 64  note-on ch 1 C4 vel 100"),
        std::string::npos)
        << text;
    EXPECT_NE(text.find("    5      0       2205  1.1.096           0.10000  80 3c 00"), std::string::npos)
        << text;
    EXPECT_NE(text.find("3 events received in 10 blocks of 441 frames"), std::string::npos) << text;
    EXPECT_EQ(CountLines(text), 1 + 3 + 3) << "heading, three events, summary, chunk and MIDI lines";

    std::vector<uint8_t> saved;
    std::string error;
    ASSERT_TRUE(ReadBinaryFile(chunk, saved, error)) << error;
    EXPECT_EQ(std::string(saved.begin(), saved.end()), kEchoInitialChunk);

    MidiFileSong song;
    ASSERT_TRUE(ReadMidiFile(midi, song, error)) << error;
    EXPECT_EQ(song.ticksPerQuarter, 960);
    ASSERT_EQ(song.events.size(), 3u);
    // Frames 0, 1344 and 2205 at 22050 samples per quarter note and 960 ticks.
    EXPECT_EQ(song.events[0].tick, 0);
    EXPECT_EQ(song.events[1].tick, 59); // 58.5 rounds up
    EXPECT_EQ(song.events[1].bytes, (std::vector<uint8_t>{0x90, 64, 100}));
    EXPECT_EQ(song.events[2].tick, 96);
    EXPECT_EQ(song.events[2].bytes, (std::vector<uint8_t>{0x80, 60, 0}));
}

TEST_F(SessionFiles, MidiFileFedThroughThePluginComesBackAtTheSameTimes)
{
    MidiFileSong song;
    song.ticksPerQuarter = 480;
    song.events = {{0, {0x90, 48, 80}}, {240, {0x90, 52, 81}}, {480, {0x80, 48, 0}}, {1000, {0xB1, 7, 99}}};
    const std::string in = PathOf("in.mid");
    const std::string out = PathOf("echo.mid");
    std::string error;
    ASSERT_TRUE(WriteMidiFile(in, song, error)) << error;
    // 1000 ticks at 480 per quarter note is 45937.5 frames: 90 blocks of 512 reach it.
    ASSERT_EQ(Run({"--midi-in", in, "--midi-out", out, "-n", "90", "-q"}), 0) << err.str();
    EXPECT_NE(this->out.str().find("4 events received in 90 blocks of 512 frames"), std::string::npos)
        << this->out.str();
    MidiFileSong back;
    ASSERT_TRUE(ReadMidiFile(out, back, error)) << error;
    ASSERT_EQ(back.events.size(), 4u);
    for (std::size_t i = 0; i < 4; ++i)
    {
        EXPECT_EQ(back.events[i].tick, song.events[i].tick * 2) << "960 ticks per quarter note on output";
        EXPECT_EQ(back.events[i].bytes, song.events[i].bytes);
    }
}

TEST_F(SessionFiles, ChunkFileGoesIntoThePlugin)
{
    const std::string in = PathOf("in.chunk");
    const std::string out = PathOf("out.chunk");
    const std::string state = "ECHO state from a file";
    std::string error;
    ASSERT_TRUE(WriteBinaryFile(in, std::vector<uint8_t>(state.begin(), state.end()), error));
    ASSERT_EQ(Run({"--chunk-in", in, "--chunk-out", out, "--bank", "-n", "1"}), 0) << err.str();
    std::vector<uint8_t> saved;
    ASSERT_TRUE(ReadBinaryFile(out, saved, error));
    EXPECT_EQ(std::string(saved.begin(), saved.end()), state);
}

// Each failure is one line that names the file and gives the system's reason.
TEST_F(SessionFiles, FailuresGiveStatusOneAndAMessage)
{
    const std::string refused = PathOf("refused.chunk");
    std::string error;
    ASSERT_TRUE(WriteBinaryFile(refused, {'N', 'O', 'P', 'E'}, error));
    EXPECT_EQ(Run({"--chunk-in", refused}), 1);
    EXPECT_NE(err.str().find("refused the chunk"), std::string::npos) << err.str();

    const std::string missing = PathOf("missing.chunk");
    EXPECT_EQ(Run({"--chunk-in", missing}), 1);
    EXPECT_EQ(err.str(), "quova_host: cannot open " + missing + ": No such file or directory\n");
    const std::string folder = std::filesystem::temp_directory_path().string();
    EXPECT_EQ(Run({"--chunk-in", folder}), 1);
    EXPECT_EQ(err.str(), "quova_host: cannot read " + folder + ": Is a directory\n");

    const std::string notMidi = PathOf("bad.mid");
    ASSERT_TRUE(WriteBinaryFile(notMidi, {1, 2, 3}, error));
    EXPECT_EQ(Run({"--midi-in", notMidi}), 1);
    EXPECT_EQ(err.str(),
              "quova_host: " + notMidi + ": not a Standard MIDI File (no MThd header of 6 bytes)\n");

    // Files written after the run are tried before it: a run with the editor may be long.
    for (const char* option : {"--midi-out", "--chunk-out"})
    {
        EXPECT_EQ(Run({option, "/nonexistent/quova/out", "-n", "1"}), 1) << option;
        EXPECT_EQ(err.str(), "quova_host: cannot write /nonexistent/quova/out: No such file or directory\n");
        EXPECT_EQ(out.str(), "") << "nothing ran";
    }
    // Trying leaves no file behind.
    const std::string tried = PathOf("tried.mid");
    EXPECT_EQ(Run({"--midi-out", tried, "--chunk-out", "/nonexistent/quova/out", "-n", "1"}), 1);
    EXPECT_FALSE(std::filesystem::exists(tried));

    HostOptions options;
    ASSERT_EQ(ParseHostOptions({"/nonexistent/quova/plugin.so"}, options, error), ParseOutcome::Run);
    err.str("");
    EXPECT_EQ(RunHostSession(options, out, err), 1);
    EXPECT_EQ(err.str(),
              "quova_host: cannot open module /nonexistent/quova/plugin.so: No such file or directory\n");
}

// A bad command line, and a module the validator cannot open, are told in one line (and one that
// points to --help), not followed by the usage or by a failure of every case.
TEST(CommandLine, ErrorsAreOneLineAndAPointerToTheHelp)
{
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"--note", "0:H4", "a.so"}, std::vector<std::string>{"--bogus"},
          std::vector<std::string>{}})
    {
        std::ostringstream out, err;
        EXPECT_EQ(RunCommandLine("quova_host", arguments, out, err), 2);
        EXPECT_EQ(CountLines(err.str()), 2) << err.str();
        EXPECT_NE(err.str().find("\nTry 'quova_host --help' for more information.\n"), std::string::npos);
        EXPECT_EQ(out.str(), "");
    }
    std::ostringstream out, err;
    EXPECT_EQ(RunCommandLine("quova_host", {"--validate", "/nonexistent/quova/plugin.so"}, out, err), 1);
    EXPECT_EQ(err.str(),
              "quova_host: cannot open module /nonexistent/quova/plugin.so: No such file or directory\n");
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(RunCommandLine("quova_host", {"--help"}, out, err), 0);
    EXPECT_NE(out.str().find("Usage: quova_host [options] MODULE"), std::string::npos);
}
