// An in-process rig for the MIDI and block tests: a plug-in on a fake host whose clock the test
// moves block by block, MIDI handed in as the host's processEvents would, and every message the
// plug-in sends collected with the block it came in.
#pragma once

#include <cstdint>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "framework/IMidiMessage.h"
#include "tests/plugin/PluginTestSupport.h"

namespace quova::test
{

struct SentMessage
{
    int block = 0; // the block being prepared or processed when it was sent
    int offset = 0;
    uint8_t status = 0, data1 = 0, data2 = 0;
    bool operator==(const SentMessage& o) const
    {
        return block == o.block && offset == o.offset && status == o.status && data1 == o.data1 &&
               data2 == o.data2;
    }
};

inline std::ostream& operator<<(std::ostream& out, const SentMessage& m)
{
    return out << "{block " << m.block << " @" << m.offset << " " << std::hex << int(m.status) << " "
               << std::dec << int(m.data1) << " " << int(m.data2) << "}";
}

class MidiRig
{
public:
    static constexpr int kFrames = 512;
    static constexpr double kSamplesPerBeat = 22050.0; // 120 bpm at 44100 Hz

    struct Files
    {
        std::string settings; // settings.qva content ("" leaves the file missing)
        std::string zone;     // controlzone.qva content ("" leaves the file missing)
    };

    explicit MidiRig(bool playing = true, const Files& files = {})
    {
        if (!files.settings.empty()) folder_.WriteSettings(files.settings);
        if (!files.zone.empty())
        {
            std::filesystem::create_directories(folder_.Root() / "Tobel/Quova/data");
            std::ofstream(folder_.Root() / "Tobel/Quova/data/controlzone.qva", std::ios::binary)
                << files.zone;
        }
        host_.time.flags |= vst::kVstPpqPosValid;
        SetPlaying(playing);
        plug_ = std::make_unique<Tobel>(&FakeHost::Callback);
        plug_->ChangeBlockSize(kFrames);
    }

    Tobel& Plug() { return *plug_; }
    FakeHost& Host() { return host_; }
    TempDataFolder& Folder() { return folder_; }

    void SetPlaying(bool playing)
    {
        if (playing)
            host_.time.flags |= vst::kVstTransportPlaying;
        else
            host_.time.flags &= ~vst::kVstTransportPlaying;
    }
    // A host loop over quarters start..end.
    void SetCycle(double start, double end)
    {
        host_.time.flags |= vst::kVstCyclePosValid | vst::kVstTransportCycleActive;
        host_.time.cycleStartPos = start;
        host_.time.cycleEndPos = end;
    }

    // A short message as processEvents delivers it before the next block.
    void Midi(uint8_t status, uint8_t data1, uint8_t data2, int offset = 0)
    {
        plug_->HandleMidiMessage(IMidiMessage(offset, status, data1, data2));
        Collect();
    }

    // One block at the host position `position` (samples), then the clock moves on by frames.
    void BlockAt(double position, int frames = kFrames)
    {
        host_.time.samplePos = position;
        host_.time.ppqPos = position / kSamplesPerBeat;
        double left[4096] = {}, right[4096] = {};
        for (int i = 0; i < frames && i < 4096; ++i)
            left[i] = right[i] = 1.0;
        double* outputs[2] = {left, right};
        plug_->ProcessAudioBlock(nullptr, outputs, frames);
        silent_ = silent_ && left[0] == 0.0 && right[frames - 1] == 0.0;
        Collect();
        ++block_;
        position_ = position + frames;
    }
    void Blocks(int count)
    {
        for (int i = 0; i < count; ++i)
            BlockAt(position_);
    }

    int BlockIndex() const { return block_; }
    double Position() const { return position_; }
    bool OutputsStayedSilent() const { return silent_; }

    const std::vector<SentMessage>& Sent() const { return sent_; }
    void ClearSent() { sent_.clear(); }
    // Messages whose status has the given high nibble (0x90 note-on, 0x80 note-off, 0xB0 controller).
    std::vector<SentMessage> SentOfKind(uint8_t kind) const
    {
        std::vector<SentMessage> out;
        for (const SentMessage& m : sent_)
            if ((m.status & 0xF0) == kind) out.push_back(m);
        return out;
    }

private:
    void Collect()
    {
        for (const VstMidiEvent& e : host_.midi)
            sent_.push_back({block_, e.deltaFrames, static_cast<uint8_t>(e.midiData[0]),
                             static_cast<uint8_t>(e.midiData[1]), static_cast<uint8_t>(e.midiData[2])});
        host_.midi.clear();
    }

    TempDataFolder folder_;
    FakeHost host_;
    std::unique_ptr<Tobel> plug_;
    std::vector<SentMessage> sent_;
    int block_ = 0;
    double position_ = 0.0;
    bool silent_ = true;
};

} // namespace quova::test
