// IMidiMessage: one short MIDI message with its frame offset inside the current processing block.
// A plain value record; builders overwrite the whole record.
#pragma once

#include <cstdint>

struct IMidiMessage
{
    // Status kinds (the high nibble of the status byte); anything else counts as kNone.
    enum Kind
    {
        kNone = 0,
        kNoteOff = 8,
        kNoteOn = 9,
        kPolyAftertouch = 10,
        kControlChange = 11,
        kProgramChange = 12,
        kChannelAftertouch = 13,
        kPitchWheel = 14,
    };

    int32_t offset = 0; // frame offset inside the block (0 = first frame)
    uint8_t status = 0;
    uint8_t data1 = 0;
    uint8_t data2 = 0;

    IMidiMessage() = default;
    IMidiMessage(int32_t frameOffset, uint8_t statusByte, uint8_t byte1, uint8_t byte2)
        : offset(frameOffset), status(statusByte), data1(byte1), data2(byte2)
    {
    }

    // status >> 4 when that is 8..14, else kNone.
    int GetStatusKind() const;
    int GetChannel() const { return status & 15; }
    int GetData1() const { return data1; }
    // data1 for note off, note on and polyphonic aftertouch; else -1.
    int GetNoteNumber() const;
    // data2 for note off and note on; else -1.
    int GetVelocity() const;
    // data1 for a program change; else -1.
    int GetProgramNumber() const;
    // data2 / 127 for a control change of that controller; else -1.0.
    double GetControllerValue(int controller) const;
    // -1..+1 for a pitch-wheel message ((data2 - 64) * 128 + data1) / 8192; else 0.0.
    double GetPitchBend() const;

    // Controller message at offset 0: data2 = value x 127 truncated toward zero, computed in double
    // so that v / 127 comes back as v. Values outside 0..1 (and NaN) are limited to 0..1 so that
    // data2 stays a MIDI data byte. channel 0..15.
    void MakeControllerMessage(int controller, double value, int channel);
    void MakeNoteOnMessage(int note, int velocity, int frameOffset, int channel);
    void MakeNoteOffMessage(int note, int frameOffset, int channel);
    // Pitch bend at offset 0 from -1..1: b = 8192 + trunc(value x 8192), limited to 0..16383.
    void MakePitchBendMessage(double value, int channel);
    // Zeroes offset, status and data1 (data2 is left as it is).
    void Clear();
};
