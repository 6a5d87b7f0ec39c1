#include "plugin/StateFormat.h"

#include "framework/IStateChunk.h"

#include <cmath>
#include <cstring>

namespace quova::state
{
namespace
{
// Sequential reader over a chunk that fails for good at the first short read.
class Reader
{
public:
    Reader(const IStateChunk& chunk, int pos) : chunk_(&chunk), pos_(pos) {}

    int Position() const { return pos_; }
    bool Ok() const { return pos_ >= 0; }
    int Remaining() const { return pos_ < 0 ? 0 : chunk_->Size() - pos_; }

    template <class T> bool Get(T* value)
    {
        pos_ = chunk_->Get(value, pos_);
        return pos_ >= 0;
    }
    bool Bytes(void* out, int count)
    {
        pos_ = chunk_->GetBytes(out, count, pos_);
        return pos_ >= 0;
    }
    // A zero-terminated text of a fixed width: refused without a terminator.
    template <int N> bool Text(char (&field)[N])
    {
        return Bytes(field, N) && std::memchr(field, 0, N) != nullptr;
    }

private:
    const IStateChunk* chunk_;
    int pos_;
};

bool Finite(double v)
{
    return std::isfinite(v);
}

uint32_t SwapBytes(uint32_t v)
{
    return (v >> 24) | ((v >> 8) & 0xFF00u) | ((v << 8) & 0xFF0000u) | (v << 24);
}
} // namespace

StateImage::StateImage()
{
    for (int32_t& lane : controllerLanes)
        lane = -1;
    slots.resize(kChordSlotCount);
}

void AppendStateHead(IStateChunk& chunk, const StateImage& image)
{
    chunk.Put<uint32_t>(SwapBytes(static_cast<uint32_t>(kCurrentVersion)));
    chunk.Put<uint8_t>(image.editorCompact);
    chunk.PutBytes(image.info.name, PresetInfo::kNameSize);
    chunk.PutBytes(image.info.author, PresetInfo::kAuthorSize);
    chunk.PutBytes(image.info.description, PresetInfo::kDescriptionSize);
    chunk.PutBytes(image.info.usage, PresetInfo::kUsageSize);
    char name[kChordNameSize] = {};
    std::memcpy(name, image.chordMemoryName, strnlen(image.chordMemoryName, kChordNameSize));
    chunk.PutBytes(name, kChordNameSize);

    chunk.Put<int32_t>(static_cast<int32_t>(image.slots.size()));
    for (const ChordSlot& slot : image.slots)
    {
        chunk.Put<int32_t>(slot.root);
        chunk.Put<int32_t>(static_cast<int32_t>(slot.notes.size()));
        for (int32_t note : slot.notes)
            chunk.Put<int32_t>(note);
    }
    for (int32_t lane : image.controllerLanes)
        chunk.Put<int32_t>(lane);
    for (const LaneLoop& loop : image.loops)
    {
        chunk.Put<int32_t>(loop.start);
        chunk.Put<int32_t>(loop.end);
        chunk.Put<uint8_t>(loop.on);
    }
    for (double value : image.switches)
        chunk.Put<double>(value);
}

bool ParseState(const IStateChunk& chunk, int pos, int parameterCount, StateImage* out)
{
    if (out == nullptr || pos < 0 || parameterCount < 0) return false;
    Reader in(chunk, pos);
    if (in.Remaining() < 4) return false;
    int32_t word = 0;
    in.Get(&word);
    if (word >= 101) word = static_cast<int32_t>(SwapBytes(static_cast<uint32_t>(word)));
    if (word == 0)
    {
        out->version = 1;
        in = Reader(chunk, pos); // no version word: the body starts here
    }
    else
    {
        out->version = word;
    }
    if (out->version < 1 || out->version > kCurrentVersion) return false;

    if (!in.Get(&out->editorCompact) || !in.Text(out->info.name) || !in.Text(out->info.author) ||
        !in.Text(out->info.description) || !in.Text(out->info.usage))
        return false;
    std::memset(out->chordMemoryName, 0, sizeof out->chordMemoryName);
    if (!in.Bytes(out->chordMemoryName, kChordNameSize)) return false;

    int32_t slotCount = 0;
    if (!in.Get(&slotCount) || slotCount < 0 || slotCount > kChordSlotCount) return false;
    out->slots.assign(static_cast<size_t>(slotCount), ChordSlot{});
    for (ChordSlot& slot : out->slots)
    {
        int32_t count = 0;
        if (!in.Get(&slot.root) || slot.root < 0 || slot.root > 127) return false;
        if (!in.Get(&count) || count < 0 || count > kMaxChordNotes) return false;
        slot.notes.resize(static_cast<size_t>(count));
        for (int32_t& note : slot.notes)
            if (!in.Get(&note) || note < 0 || note > 127) return false;
    }

    for (int32_t& lane : out->controllerLanes)
        if (!in.Get(&lane) || lane < -1 || lane > 127) return false;
    for (LaneLoop& loop : out->loops)
    {
        if (!in.Get(&loop.start) || !in.Get(&loop.end) || !in.Get(&loop.on)) return false;
        if (loop.start < 0 || loop.start >= loop.end || loop.end > 32) return false;
    }

    out->switches[2] = 0.0;
    out->hasThirdSwitch = false;
    for (int i = 0; i < 2; ++i)
        if (!in.Get(&out->switches[i]) || !Finite(out->switches[i])) return false;
    if (out->version >= 3)
    {
        // The third value is there only when it lies in 0..1; otherwise these
        // eight bytes already belong to the parameter block.
        double third = 0.0;
        Reader peek = in;
        if (peek.Get(&third) && third >= 0.0 && third <= 1.0)
        {
            out->switches[2] = third;
            out->hasThirdSwitch = true;
            in = peek;
        }
    }

    out->parameterPos = in.Position();
    if (static_cast<int64_t>(in.Remaining()) < static_cast<int64_t>(parameterCount) * 8) return false;
    const uint8_t* block = chunk.Data() + out->parameterPos;
    for (int i = 0; i < parameterCount; ++i)
    {
        double value;
        std::memcpy(&value, block + 8 * static_cast<size_t>(i), sizeof value);
        if (!Finite(value)) return false;
    }
    out->endPos = out->parameterPos + parameterCount * 8;
    return true;
}
} // namespace quova::state
