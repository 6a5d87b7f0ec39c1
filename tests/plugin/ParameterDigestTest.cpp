// Guards what the parameters show and what the state saves while their storage is reshaped: CRC-32
// digests of every parameter's name, label, range, flags, display texts and value, read through the
// effect record and the parameter objects, and of the bank chunk, for a fresh instance and for one
// whose host-visible parameters were set to varied values. The expected digests were taken from
// the plug-in before its parameter storage was made compact; any change of a name, text, value or
// chunk byte changes them.
#include <gtest/gtest.h>

#include <zlib.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "framework/IParameter.h"
#include "platform/vst/VstAbi.h"
#include "tests/plugin/PluginTestSupport.h"
#include "views/ParameterIndex.h"

namespace
{

using quova::test::TempDataFolder;

class Digest
{
public:
    void Add(const void* data, size_t size)
    {
        crc_ = crc32(crc_, static_cast<const Bytef*>(data), static_cast<uInt>(size));
    }
    void Add(const char* text) { Add(text, std::strlen(text) + 1); }
    void Add(double v) { Add(&v, sizeof v); }
    void Add(int v) { Add(&v, sizeof v); }
    uint32_t Value() const { return static_cast<uint32_t>(crc_); }

private:
    uLong crc_ = crc32(0L, Z_NULL, 0);
};

struct Digests
{
    uint32_t names = 0;  // names, unit labels, types, ranges and flags
    uint32_t texts = 0;  // display-text tables and texts of sample values
    uint32_t values = 0; // values and display texts as a host reads them
    uint32_t chunk = 0;  // the bank chunk
    size_t chunkSize = 0;
};

Digests Take(Tobel& plug)
{
    AEffect* effect = plug.GetEffect();
    Digest names, texts, values, chunk;
    char text[64];
    for (int i = 0; i < quova::param::kCount; ++i)
    {
        const IParameter* p = plug.GetParameter(i);
        if (p == nullptr)
        {
            names.Add(-1);
            continue;
        }
        names.Add(p->GetName());
        names.Add(p->GetUnitLabel());
        names.Add(p->GetGroupName());
        names.Add(p->GetType());
        for (double v : {p->GetMinimum(), p->GetMaximum(), p->GetStep(), p->GetCurve(), p->GetDefault()})
            names.Add(v);
        names.Add(p->GetDisplayDecimals());
        names.Add((p->IsNotAutomated() ? 1 : 0) | (p->IsKeptOutOfPresetLoads() ? 2 : 0) |
                  (p->IsDisplayNegated() ? 4 : 0));

        const int count = p->CountValueTexts();
        texts.Add(count);
        for (int t = 0; t < count; ++t)
        {
            int value = 0;
            texts.Add(p->GetValueTextAt(t, &value));
            texts.Add(value);
        }
        for (double n : {0.0, 0.37, 1.0})
        {
            p->FormatValue(n, true, text, sizeof text, true);
            texts.Add(text);
        }

        values.Add(p->Value());
        values.Add(static_cast<double>(effect->getParameter(effect, i)));
        for (VstInt32 opcode : {vst::effGetParamName, vst::effGetParamLabel, vst::effGetParamDisplay})
        {
            std::memset(text, 0, sizeof text);
            effect->dispatcher(effect, opcode, i, 0, text, 0.0f);
            values.Add(text);
        }
    }
    void* data = nullptr;
    const VstIntPtr size = effect->dispatcher(effect, vst::effGetChunk, 0, 0, &data, 0.0f);
    if (size > 0 && data != nullptr) chunk.Add(data, static_cast<size_t>(size));
    return {names.Value(), texts.Value(), values.Value(), chunk.Value(), static_cast<size_t>(size)};
}

// Sets every seventh host-visible parameter to a value spread over its range.
void Vary(Tobel& plug)
{
    AEffect* effect = plug.GetEffect();
    for (int i = 0; i < quova::param::kHostVisibleCount; i += 7)
        effect->setParameter(effect, i, static_cast<float>((i * 37) % 101) / 100.0f);
}

TEST(ParameterDigest, FreshAndVariedInstancesShowAndSaveWhatTheyAlwaysDid)
{
    TempDataFolder folder;
    Tobel plug(nullptr);
    const Digests fresh = Take(plug);
    EXPECT_EQ(fresh.names, 3192407593u);
    EXPECT_EQ(fresh.texts, 2273866220u);
    EXPECT_EQ(fresh.values, 1308032683u);
    EXPECT_EQ(fresh.chunk, 1845276489u);
    EXPECT_EQ(fresh.chunkSize, 462171u);

    Vary(plug);
    const Digests varied = Take(plug);
    EXPECT_EQ(varied.names, fresh.names);
    EXPECT_EQ(varied.texts, fresh.texts);
    EXPECT_EQ(varied.values, 493195785u);
    EXPECT_EQ(varied.chunk, 2204677621u);
    EXPECT_EQ(varied.chunkSize, 462171u);
}

} // namespace
