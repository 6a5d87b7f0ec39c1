#include "presets/PresetFileHeader.h"

#include <cstring>

#include "framework/IStateChunk.h"

namespace
{

void PutBigEndian(uint8_t* out, uint32_t value)
{
    out[0] = static_cast<uint8_t>(value >> 24);
    out[1] = static_cast<uint8_t>(value >> 16);
    out[2] = static_cast<uint8_t>(value >> 8);
    out[3] = static_cast<uint8_t>(value);
}

uint32_t GetBigEndian(const uint8_t* in)
{
    return (uint32_t{in[0]} << 24) | (uint32_t{in[1]} << 16) | (uint32_t{in[2]} << 8) | uint32_t{in[3]};
}

template <int N> void PutField(uint8_t* header, int offset, const char (&field)[N])
{
    // The field's bytes after its terminator are zero already; copy the terminated text only, so a
    // field filled by hand with garbage after the zero still writes zero padding.
    const size_t length = strnlen(field, N - 1);
    std::memcpy(header + offset, field, length);
}

} // namespace

bool PresetFileHeader::AppendTo(IStateChunk* chunk) const
{
    uint8_t header[kSize] = {};
    PutBigEndian(header, formatWord);
    PutBigEndian(header + 4, parameterCount);
    PutField(header, kNameOffset, texts.name);
    PutField(header, kAuthorOffset, texts.author);
    PutField(header, kDescriptionOffset, texts.description);
    PutField(header, kUsageOffset, texts.usage);
    PutBigEndian(header + kStateLengthOffset, stateLength);
    const int before = chunk->Size();
    return chunk->PutBytes(header, kSize) == before + kSize;
}

PresetFileHeader PresetFileHeader::Parse(const uint8_t* data, int size)
{
    // Copy what the data holds into a zeroed header image, then read every field from the image.
    uint8_t image[kSize] = {};
    if (data != nullptr && size > 0)
        std::memcpy(image, data, static_cast<size_t>(size < kSize ? size : kSize));
    PresetFileHeader header;
    header.formatWord = GetBigEndian(image);
    header.parameterCount = GetBigEndian(image + 4);
    PresetInfo::SetFieldFromBytes(header.texts.name, image + kNameOffset, PresetInfo::kNameSize);
    PresetInfo::SetFieldFromBytes(header.texts.author, image + kAuthorOffset, PresetInfo::kAuthorSize);
    PresetInfo::SetFieldFromBytes(header.texts.description, image + kDescriptionOffset,
                                  PresetInfo::kDescriptionSize);
    PresetInfo::SetFieldFromBytes(header.texts.usage, image + kUsageOffset, PresetInfo::kUsageSize);
    header.stateLength = GetBigEndian(image + kStateLengthOffset);
    return header;
}

bool BuildPresetFileChunk(const PresetInfo& texts, uint32_t parameterCount, const IStateChunk& state,
                          IStateChunk* out)
{
    out->Clear();
    PresetFileHeader header;
    header.parameterCount = parameterCount;
    header.texts = texts;
    header.stateLength = static_cast<uint32_t>(state.Size());
    if (!header.AppendTo(out) || out->AppendChunk(state) != PresetFileHeader::kSize + state.Size())
    {
        out->Clear();
        return false;
    }
    return true;
}
