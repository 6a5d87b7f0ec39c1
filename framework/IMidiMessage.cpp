#include "framework/IMidiMessage.h"

#include <cmath>

int IMidiMessage::GetStatusKind() const
{
    const int kind = status >> 4;
    return kind >= kNoteOff && kind <= kPitchWheel ? kind : kNone;
}

int IMidiMessage::GetNoteNumber() const
{
    const int kind = GetStatusKind();
    return kind == kNoteOff || kind == kNoteOn || kind == kPolyAftertouch ? data1 : -1;
}

int IMidiMessage::GetVelocity() const
{
    const int kind = GetStatusKind();
    return kind == kNoteOff || kind == kNoteOn ? data2 : -1;
}

int IMidiMessage::GetProgramNumber() const
{
    return GetStatusKind() == kProgramChange ? data1 : -1;
}

double IMidiMessage::GetControllerValue(int controller) const
{
    if (GetStatusKind() != kControlChange || data1 != controller) return -1.0;
    return data2 / 127.0;
}

double IMidiMessage::GetPitchBend() const
{
    if (GetStatusKind() != kPitchWheel) return 0.0;
    return ((data2 - 64) * 128 + data1) / 8192.0;
}

void IMidiMessage::MakeControllerMessage(int controller, double value, int channel)
{
    if (!(value >= 0.0)) value = 0.0; // also NaN
    if (value > 1.0) value = 1.0;
    offset = 0;
    status = static_cast<uint8_t>(0xB0 | (channel & 15));
    data1 = static_cast<uint8_t>(controller);
    data2 = static_cast<uint8_t>(static_cast<int>(value * 127.0));
}

void IMidiMessage::MakeNoteOnMessage(int note, int velocity, int frameOffset, int channel)
{
    offset = frameOffset;
    status = static_cast<uint8_t>(0x90 | (channel & 15));
    data1 = static_cast<uint8_t>(note);
    data2 = static_cast<uint8_t>(velocity);
}

void IMidiMessage::MakeNoteOffMessage(int note, int frameOffset, int channel)
{
    offset = frameOffset;
    status = static_cast<uint8_t>(0x80 | (channel & 15));
    data1 = static_cast<uint8_t>(note);
    data2 = 0;
}

void IMidiMessage::MakePitchBendMessage(double value, int channel)
{
    if (std::isnan(value)) value = 0.0;
    if (value < -1.0) value = -1.0;
    if (value > 1.0) value = 1.0;
    int b = 8192 + static_cast<int>(value * 8192.0);
    if (b < 0) b = 0;
    if (b > 16383) b = 16383;
    offset = 0;
    status = static_cast<uint8_t>(0xE0 | (channel & 15));
    data1 = static_cast<uint8_t>(b & 127);
    data2 = static_cast<uint8_t>(b >> 7);
}

void IMidiMessage::Clear()
{
    offset = 0;
    status = 0;
    data1 = 0;
}
