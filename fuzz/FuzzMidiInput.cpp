// Incoming MIDI as a host delivers it: events through effProcessEvents, then
// processReplacing. The input is a list of blocks: one byte of block length
// (x 16 frames, at least 1), one byte of event count, then per event its
// offset (one byte, scaled to blocks above 256 frames, so it may lie past a
// shorter block) and three MIDI
// bytes (any values, data bytes with the top bit included).
#include "fuzz/FuzzPlugin.h"

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    AEffect* effect = quova::fuzz::FuzzEffect();
    constexpr int kMaxEvents = 64;
    VstMidiEvent events[kMaxEvents];
    struct
    {
        VstInt32 numEvents;
        VstIntPtr reserved;
        VstEvent* events[kMaxEvents];
    } list{};
    std::size_t at = 0;
    while (at + 2 <= size)
    {
        const int32_t frames = std::max(1, data[at] * 16);
        const int count = std::min<int>(data[at + 1] % (kMaxEvents + 1), int((size - at - 2) / 4));
        at += 2;
        for (int i = 0; i < count; ++i, at += 4)
        {
            events[i] = VstMidiEvent{};
            events[i].type = vst::kVstMidiType;
            events[i].byteSize = sizeof(VstMidiEvent);
            events[i].deltaFrames = data[at] * (frames > 256 ? frames / 256 : 1);
            for (int b = 0; b < 3; ++b)
                events[i].midiData[b] = char(data[at + 1 + b]);
            list.events[i] = reinterpret_cast<VstEvent*>(&events[i]);
        }
        list.numEvents = count;
        if (count > 0) effect->dispatcher(effect, vst::effProcessEvents, 0, 0, &list, 0.0f);
        quova::fuzz::FuzzProcess(frames);
    }
    return 0;
}
