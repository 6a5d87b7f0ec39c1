// The preset file (header, gzip container) and the chord-memory set file.
#include <gtest/gtest.h>

#include <sstream>

#include "PresetTestSupport.h"
#include "engine/NoteList.h"
#include "engine/NoteRecord.h"
#include "framework/IStateChunk.h"
#include "presets/ChordMemoryFile.h"
#include "presets/GzipFile.h"
#include "presets/PresetFileHeader.h"

namespace
{

std::vector<uint8_t> ChunkBytes(const IStateChunk& chunk)
{
    return std::vector<uint8_t>(chunk.Data(), chunk.Data() + chunk.Size());
}

std::vector<int> SlotNotes(const ChordMemory& memory, int slot)
{
    std::vector<int> notes;
    for (const NoteRecord* record : memory.GetSlot(slot)->Chord().Ordered())
        notes.push_back(record->note);
    return notes;
}

} // namespace

TEST(PresetFileHeaderTest, BuildsTheHeaderLayoutWithBigEndianWords)
{
    PresetInfo texts;
    PresetInfo::SetField(texts.name, "My Bass 1");
    PresetInfo::SetField(texts.author, "Ann");
    PresetInfo::SetField(texts.usage, "u");
    IStateChunk state;
    const uint8_t stateBytes[] = {0, 0, 0, 5, 7, 8};
    state.PutBytes(stateBytes, 6);
    IStateChunk file;
    ASSERT_TRUE(BuildPresetFileChunk(texts, 56738, state, &file));
    const std::vector<uint8_t> bytes = ChunkBytes(file);
    ASSERT_EQ(bytes.size(), 612u);
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 8),
              (std::vector<uint8_t>{0, 0, 0, 1, 0, 0, 0xDD, 0xA2}));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes.data() + 8)), "My Bass 1");
    EXPECT_EQ(bytes[40], 0); // zero padding up to the author
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes.data() + 41)), "Ann");
    EXPECT_EQ(bytes[92], 0); // empty description
    EXPECT_EQ(bytes[347], 'u');
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 602, bytes.begin() + 606),
              (std::vector<uint8_t>{0, 0, 0, 6}));
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 606, bytes.end()),
              (std::vector<uint8_t>{0, 0, 0, 5, 7, 8}));
}

TEST(PresetFileHeaderTest, ParseOfHostileOrShortDataStaysInBoundsAndTerminated)
{
    // Every header byte non-zero: no text has a terminator in the file.
    std::vector<uint8_t> full(PresetFileHeader::kSize, 'x');
    PresetFileHeader header = PresetFileHeader::Parse(full.data(), static_cast<int>(full.size()));
    EXPECT_EQ(std::string(header.texts.name).size(), 32u);
    EXPECT_EQ(std::string(header.texts.author).size(), 50u);
    EXPECT_EQ(std::string(header.texts.description).size(), 254u);
    EXPECT_EQ(std::string(header.texts.usage).size(), 254u);

    // Ten bytes: the name's first two bytes are there, the rest counts as zero.
    std::vector<uint8_t> shortData = {0, 0, 0, 1, 0, 0, 0, 9, 'H', 'i'};
    header = PresetFileHeader::Parse(shortData.data(), static_cast<int>(shortData.size()));
    EXPECT_EQ(header.parameterCount, 9u);
    EXPECT_STREQ(header.texts.name, "Hi");
    EXPECT_STREQ(header.texts.author, "");
    EXPECT_EQ(header.stateLength, 0u);

    header = PresetFileHeader::Parse(nullptr, 0);
    EXPECT_STREQ(header.texts.name, "");
}

class GzipFileTest : public ::testing::Test
{
protected:
    TempDataFolder folder_;
};

TEST_F(GzipFileTest, CompressedAndPlainFilesReadTheSame)
{
    std::vector<uint8_t> data(5000);
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<uint8_t>(i * 7 + 3);
    const auto compressed = folder_.Root() / "a.t2z";
    ASSERT_TRUE(WriteGzipFile(compressed.string(), data.data(), static_cast<int>(data.size())));
    EXPECT_LT(ReadBytes(compressed).size(), data.size() + 100);
    EXPECT_EQ(ReadBytes(compressed)[0], 0x1F); // gzip magic
    EXPECT_FALSE(std::filesystem::exists(compressed.string() + ".tmp"));
    IStateChunk chunk;
    ASSERT_TRUE(ReadGzipFile(compressed.string(), -1, &chunk));
    EXPECT_EQ(ChunkBytes(chunk), data);

    const auto plain = folder_.Root() / "b.t2";
    WriteBytes(plain, data);
    IStateChunk plainChunk;
    ASSERT_TRUE(ReadGzipFile(plain.string(), 5000, &plainChunk));
    EXPECT_EQ(ChunkBytes(plainChunk), data);
}

TEST_F(GzipFileTest, ExactMultiplesOfThePieceSizeAndEmptyFilesRead)
{
    for (size_t size : {size_t{0}, size_t{1023}, size_t{2046}})
    {
        std::vector<uint8_t> data(size, 0x42);
        const auto path = folder_.Root() / std::to_string(size);
        WriteGzipBytes(path, data);
        IStateChunk chunk;
        ASSERT_TRUE(ReadGzipFile(path.string(), -1, &chunk)) << size;
        EXPECT_EQ(chunk.Size(), static_cast<int>(size));
    }
}

TEST_F(GzipFileTest, MissingTruncatedAndCorruptFilesAreRefused)
{
    IStateChunk chunk;
    EXPECT_FALSE(ReadGzipFile((folder_.Root() / "missing.t2z").string(), -1, &chunk));

    std::vector<uint8_t> data(20000);
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<uint8_t>((i * 2654435761u) >> 13);
    const auto whole = folder_.Root() / "whole.t2z";
    WriteGzipBytes(whole, data);
    std::vector<uint8_t> bytes = ReadBytes(whole);

    const auto truncated = folder_.Root() / "truncated.t2z";
    WriteBytes(truncated, std::vector<uint8_t>(bytes.begin(), bytes.begin() + bytes.size() / 2));
    IStateChunk truncatedChunk;
    EXPECT_FALSE(ReadGzipFile(truncated.string(), -1, &truncatedChunk));

    // A damaged trailer (CRC) is a data error.
    std::vector<uint8_t> corrupt = bytes;
    corrupt[corrupt.size() - 6] ^= 0xFF;
    const auto damaged = folder_.Root() / "damaged.t2z";
    WriteBytes(damaged, corrupt);
    IStateChunk damagedChunk;
    EXPECT_FALSE(ReadGzipFile(damaged.string(), -1, &damagedChunk));
}

TEST(ChordMemoryFileTest, EmptyMemoryWritesSixteenEmptySlots)
{
    ChordMemory memory;
    std::ostringstream out;
    ASSERT_TRUE(WriteChordMemorySet(CaptureChordMemorySet(memory), out));
    std::vector<int32_t> expected = {16};
    for (int i = 0; i < 16; ++i)
        expected.insert(expected.end(), {12, 0});
    const std::vector<uint8_t> bytes = LittleEndianWords(expected);
    EXPECT_EQ(out.str(), std::string(bytes.begin(), bytes.end()));
    EXPECT_EQ(out.str().size(), 132u);
}

TEST(ChordMemoryFileTest, RoundTripKeepsRootsAndNoteOrder)
{
    ChordMemory memory;
    memory.SetSlotRootNote(0, 0);
    for (int note : {7, 0, 4})
        memory.SetSlotNote(0, note, true);
    memory.SetSlotRootNote(15, 24);
    memory.SetSlotNote(15, 30, true);
    std::stringstream file;
    ASSERT_TRUE(WriteChordMemorySet(CaptureChordMemorySet(memory), file));

    ChordMemory loaded;
    loaded.SetSlotNote(3, 5, true);
    const auto set = ParseChordMemorySet(file);
    ASSERT_TRUE(set.has_value());
    ApplyChordMemorySet(*set, &loaded);
    EXPECT_EQ(SlotNotes(loaded, 0), SlotNotes(memory, 0));
    EXPECT_EQ(loaded.GetSlot(0)->Chord().RootNote(), 0);
    EXPECT_EQ(SlotNotes(loaded, 15), (std::vector<int>{30}));
    EXPECT_EQ(loaded.GetSlot(15)->Chord().RootNote(), 24);
    EXPECT_TRUE(SlotNotes(loaded, 3).empty());
}

TEST(ChordMemoryFileTest, ASetOfTwoSlotsClearsTheOthers)
{
    std::istringstream in(
        []
        {
            const auto bytes = LittleEndianWords({2, 12, 3, 0, 4, 7, 14, 1, 2});
            return std::string(bytes.begin(), bytes.end());
        }());
    ChordMemory memory;
    memory.SetSlotNote(5, 9, true);
    memory.SetSlotRootNote(5, 30);
    const auto set = ParseChordMemorySet(in);
    ASSERT_TRUE(set.has_value());
    ApplyChordMemorySet(*set, &memory);
    EXPECT_EQ(SlotNotes(memory, 0), (std::vector<int>{0, 4, 7}));
    EXPECT_EQ(SlotNotes(memory, 1), (std::vector<int>{2}));
    EXPECT_EQ(memory.GetSlot(1)->Chord().RootNote(), 14);
    EXPECT_TRUE(SlotNotes(memory, 5).empty());
    EXPECT_EQ(memory.GetSlot(5)->Chord().RootNote(), 12);
}

TEST(ChordMemoryFileTest, TruncatedAndHostileSetsAreRefused)
{
    const std::vector<std::vector<int32_t>> refused = {
        {},               // nothing
        {1, 12},          // note count missing
        {1, 12, 3, 0, 4}, // third note missing
        {17},             // more slots than the memory has
        {-1},             // negative slot count
        {1, 12, 1000000}, // absurd note count
        {1, 12, -5},      // negative note count
    };
    for (const auto& words : refused)
    {
        const auto bytes = LittleEndianWords(words);
        std::istringstream in(std::string(bytes.begin(), bytes.end()));
        EXPECT_FALSE(ParseChordMemorySet(in).has_value()) << words.size();
    }
}

TEST(ChordMemoryFileTest, NotesOutsideTheMidiRangeAreSkipped)
{
    const auto bytes = LittleEndianWords({1, 12, 4, -3, 128, 5, 2000000});
    std::istringstream in(std::string(bytes.begin(), bytes.end()));
    const auto set = ParseChordMemorySet(in);
    ASSERT_TRUE(set.has_value());
    ChordMemory memory;
    ApplyChordMemorySet(*set, &memory);
    EXPECT_EQ(SlotNotes(memory, 0), (std::vector<int>{5}));
}
