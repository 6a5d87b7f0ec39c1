#include "tools/host/EventPrinter.h"

#include "tools/host/HostTransport.h"

#include <cstdio>

namespace quova::host
{
namespace
{
std::string HexBytes(const std::vector<uint8_t>& bytes)
{
    // System-exclusive dumps can be long; the line shows their start.
    constexpr std::size_t kShown = 16;
    std::string text;
    char part[4];
    for (std::size_t i = 0; i < bytes.size() && i < kShown; ++i)
    {
        std::snprintf(part, sizeof part, i ? " %02x" : "%02x", bytes[i]);
        text += part;
    }
    if (bytes.size() > kShown) text += " ...";
    return text;
}
} // namespace

std::string NoteName(int note)
{
    static const char* const kNames[12] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};
    if (note < 0 || note > 127) return "?";
    return std::string(kNames[note % 12]) + std::to_string(note / 12 - 1);
}

std::string DescribeMidi(const uint8_t* bytes, int size)
{
    if (!bytes || size < 1) return "";
    const int status = bytes[0];
    const int d1 = size > 1 ? bytes[1] : 0;
    const int d2 = size > 2 ? bytes[2] : 0;
    const int channel = (status & 0x0F) + 1;
    char text[96];
    switch (status & 0xF0)
    {
    case 0x80:
        std::snprintf(text, sizeof text, "note-off ch %d %s vel %d", channel, NoteName(d1).c_str(), d2);
        break;
    case 0x90:
        std::snprintf(text, sizeof text, "%s ch %d %s vel %d", d2 ? "note-on" : "note-off (on, vel 0)",
                      channel, NoteName(d1).c_str(), d2);
        break;
    case 0xA0:
        std::snprintf(text, sizeof text, "poly-pressure ch %d %s %d", channel, NoteName(d1).c_str(), d2);
        break;
    case 0xB0:
        std::snprintf(text, sizeof text, "cc ch %d #%d = %d", channel, d1, d2);
        break;
    case 0xC0:
        std::snprintf(text, sizeof text, "program ch %d %d", channel, d1);
        break;
    case 0xD0:
        std::snprintf(text, sizeof text, "pressure ch %d %d", channel, d1);
        break;
    case 0xE0:
        std::snprintf(text, sizeof text, "pitch-bend ch %d %+d", channel, ((d2 << 7) | d1) - 8192);
        break;
    default:
        std::snprintf(text, sizeof text, status >= 0x80 ? "system 0x%02x" : "data byte 0x%02x", status);
        break;
    }
    return text;
}

std::string EventLineHeading()
{
    return "block offset      frame  bar.beat.tick     quarters  bytes     event";
}

std::string FormatEventLine(const ReceivedEvent& event, int numerator, int denominator)
{
    std::string description;
    if (event.type == int32_t(ReceivedEventType::Midi))
        description = DescribeMidi(event.bytes.data(), int(event.bytes.size() < 3 ? event.bytes.size() : 3));
    else if (event.type == int32_t(ReceivedEventType::SysEx))
        description = "sysex " + std::to_string(event.bytes.size()) + " bytes";
    else
        description = "event type " + std::to_string(event.type);

    char head[128];
    std::snprintf(head, sizeof head, "%5lld %6d %10lld  %-13s %11.5f  ", static_cast<long long>(event.block),
                  event.offset, static_cast<long long>(event.frame),
                  FormatBarBeatTick(event.quarters, numerator, denominator).c_str(), event.quarters);
    std::string bytes = HexBytes(event.bytes);
    if (bytes.size() < 8) bytes.resize(8, ' ');
    return head + bytes + "  " + description;
}

} // namespace quova::host
