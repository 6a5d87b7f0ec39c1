#include "tools/host/EventPrinter.h"

#include <gtest/gtest.h>

using namespace quova::host;

namespace
{
std::string Describe(std::vector<uint8_t> bytes)
{
    return DescribeMidi(bytes.data(), int(bytes.size()));
}
} // namespace

TEST(EventPrinter, DescribesEachChannelMessageKind)
{
    EXPECT_EQ(Describe({0x90, 60, 100}), "note-on ch 1 C4 vel 100");
    EXPECT_EQ(Describe({0x9F, 61, 0}), "note-off (on, vel 0) ch 16 C#4 vel 0");
    EXPECT_EQ(Describe({0x81, 0, 64}), "note-off ch 2 C-1 vel 64");
    EXPECT_EQ(Describe({0xB3, 123, 0}), "cc ch 4 #123 = 0");
    EXPECT_EQ(Describe({0xC0, 47}), "program ch 1 47");
    EXPECT_EQ(Describe({0xE0, 0x00, 0x40}), "pitch-bend ch 1 +0");
    EXPECT_EQ(Describe({0xE0, 0x00, 0x00}), "pitch-bend ch 1 -8192");
    EXPECT_EQ(Describe({0xF8}), "system 0xf8");
    EXPECT_EQ(Describe({0x3C}), "data byte 0x3c");
    EXPECT_EQ(Describe({}), "");
}

TEST(EventPrinter, LineHoldsBlockOffsetFramePositionAndBytes)
{
    ReceivedEvent e;
    e.block = 3;
    e.offset = 128;
    e.frame = 1664;
    e.quarters = 5.5; // bar 2, beat 2, half a beat in 4/4
    e.type = 1;
    e.bytes = {0x90, 0x3C, 0x64};
    const std::string line = FormatEventLine(e, 4, 4);
    EXPECT_EQ(line, "    3    128       1664  2.2.480           5.50000  90 3c 64  note-on ch 1 C4 vel 100");
    EXPECT_EQ(FormatEventLine(e, 3, 4).substr(25, 13), "2.3.480      ") << "3/4 bars";
}

TEST(EventPrinter, SysExAndUnknownEvents)
{
    ReceivedEvent e;
    e.type = 6;
    e.bytes.assign(20, 0x11);
    e.bytes.front() = 0xF0;
    const std::string line = FormatEventLine(e, 4, 4);
    EXPECT_NE(line.find("f0 11 11"), std::string::npos) << line;
    EXPECT_NE(line.find(" ...  sysex 20 bytes"), std::string::npos) << line;
    e.type = 4;
    e.bytes.clear();
    EXPECT_NE(FormatEventLine(e, 4, 4).find("event type 4"), std::string::npos);
}
