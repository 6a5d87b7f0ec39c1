#include "tools/host/ValidatorSupport.h"

#include <algorithm>
#include <sstream>

namespace quova::host
{
namespace
{
void AddMessage(Song& song, int64_t frame, uint8_t status, uint8_t note, uint8_t velocity)
{
    SongMessage message;
    message.frame = frame;
    message.bytes[0] = status;
    message.bytes[1] = note;
    message.bytes[2] = velocity;
    song.messages.push_back(message);
}

std::string FormatEvent(const ValidatorEvent& event)
{
    std::ostringstream text;
    text << "frame " << event.frame << " [" << std::hex;
    for (int b = 0; b < 3; ++b)
        text << (b ? " " : "") << int(event.bytes[b]);
    text << ']';
    return text.str();
}
} // namespace

Song ChordSong(double sampleRate, int64_t frames)
{
    Song song;
    song.sampleRate = sampleRate;
    song.frames = frames;
    const int64_t quarter = frames / 4;
    const uint8_t chords[3][3] = {{60, 64, 67}, {57, 60, 64}, {53, 57, 60}};
    for (int c = 0; c < 3; ++c)
    {
        // Off the block grid: a prime number of frames past each quarter.
        const int64_t start = c * quarter + (c == 0 ? 0 : 37);
        if (c > 0)
            for (uint8_t note : chords[c - 1])
                AddMessage(song, start, 0x80, note, 64);
        for (uint8_t note : chords[c])
            AddMessage(song, start + 1, 0x90, note, uint8_t(90 + 10 * c));
    }
    for (uint8_t note : chords[2])
        AddMessage(song, frames * 4 / 5 + 11, 0x80, note, 64);
    return song;
}

void PlaySong(ValidatorEffect& effect, const Song& song, const std::function<int32_t()>& nextSize,
              const std::function<void(int64_t position)>& beforeBlock)
{
    int64_t position = 0;
    std::size_t next = 0;
    while (position < song.frames)
    {
        if (beforeBlock) beforeBlock(position);
        const int32_t frames = int32_t(std::min<int64_t>(std::max(nextSize(), 1), song.frames - position));
        for (; next < song.messages.size() && song.messages[next].frame < position + frames; ++next)
        {
            const SongMessage& m = song.messages[next];
            effect.QueueMidi(int32_t(m.frame - position), m.bytes[0], m.bytes[1], m.bytes[2]);
        }
        VstTimeInfo time = MakeTimeInfo(song.sampleRate, song.tempo, double(position), true);
        if (position == 0) time.flags |= vst::kVstTransportChanged;
        effect.SetTimeInfo(&time);
        effect.Process(frames);
        position += frames;
    }
}

std::unique_ptr<ValidatorEffect> StartEffect(const std::string& module, double sampleRate, int32_t blockSize,
                                             std::string& error)
{
    auto effect = std::make_unique<ValidatorEffect>();
    if (!effect->Open(module, error)) return nullptr;
    effect->Setup(sampleRate, blockSize);
    effect->Resume();
    return effect;
}

void NoteTracker::Add(const ValidatorEvent& event)
{
    const int status = event.bytes[0] & 0xF0;
    const int channel = event.bytes[0] & 0x0F;
    const int data1 = event.bytes[1] & 0x7F;
    if (event.type != vst::kVstMidiType) return;
    if (status == 0x90 && event.bytes[2] > 0)
    {
        ++counts_[channel][data1];
        ++noteOns_;
    }
    else if ((status == 0x80 || status == 0x90) && counts_[channel][data1] > 0)
        --counts_[channel][data1];
    else if (status == 0xB0 && (data1 == 123 || data1 == 120))
        std::fill(std::begin(counts_[channel]), std::end(counts_[channel]), 0);
}

void NoteTracker::AddAll(const std::vector<ValidatorEvent>& events)
{
    for (const ValidatorEvent& event : events)
        Add(event);
}

int NoteTracker::Sounding() const
{
    int total = 0;
    for (const auto& channel : counts_)
        for (int count : channel)
            total += count;
    return total;
}

std::string NoteTracker::Describe() const
{
    const int sounding = Sounding();
    if (sounding == 0) return "none left sounding";
    std::ostringstream text;
    text << sounding << " notes left sounding (";
    int listed = 0;
    for (int c = 0; c < 16; ++c)
        for (int n = 0; n < 128; ++n)
            if (counts_[c][n] > 0 && listed++ < 4)
                text << (listed > 1 ? ", " : "") << "channel " << c + 1 << " note " << n;
    text << (listed > 4 ? ", ...)" : ")");
    return text.str();
}

std::string CompareMidi(const std::vector<ValidatorEvent>& got, const std::vector<ValidatorEvent>& reference)
{
    const auto same = [](const ValidatorEvent& a, const ValidatorEvent& b)
    { return a.frame == b.frame && a.type == b.type && std::equal(a.bytes, a.bytes + 3, b.bytes); };
    const std::size_t common = std::min(got.size(), reference.size());
    std::size_t differing = 0, first = common;
    for (std::size_t i = 0; i < common; ++i)
        if (!same(got[i], reference[i]))
        {
            first = std::min(first, i);
            ++differing;
        }
    if (differing == 0 && got.size() == reference.size()) return {};
    std::ostringstream text;
    text << got.size() << " events against " << reference.size() << " in the reference";
    if (first < common)
        text << ", " << differing << " differ; first: " << FormatEvent(got[first])
             << " where the reference has " << FormatEvent(reference[first]);
    else
        text << "; the first " << common << " agree, then "
             << (got.size() > common ? "got " + FormatEvent(got[common])
                                     : "missing " + FormatEvent(reference[common]));
    return text.str();
}

std::mt19937 CaseRandom(const std::string& caseName)
{
    std::seed_seq seed(caseName.begin(), caseName.end());
    return std::mt19937(seed);
}

} // namespace quova::host
