// The editor of a constructed plug-in: opening its window in a host frame with the first full
// paint of every control, and one timer tick of an idle editor (what the window costs while it
// stays open). Headless platform; the window system runs on its virtual clock.
#include <benchmark/benchmark.h>

#include "bench/support/ScratchDataFolder.h"
#include "gui/IGraphics.h"
#include "platform/testing/PlatformDriver.h"
#include "platform/vst/VstAbi.h"
#include "plugin/Tobel.h"

namespace
{

void BM_OpenEditorAndPaint(benchmark::State& state)
{
    quova::bench::UseScratchDataFolder();
    quova::testing::PlatformDriver driver;
    Tobel plug(nullptr);
    HWND frame = driver.CreateHostFrame(1040, 605, 20, 20);
    AEffect* effect = plug.GetEffect();
    for (auto _ : state)
    {
        effect->dispatcher(effect, vst::effEditOpen, 0, 0, frame, 0.0f);
        driver.Pump();
        state.PauseTiming();
        effect->dispatcher(effect, vst::effEditClose, 0, 0, nullptr, 0.0f);
        driver.Pump();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenEditorAndPaint)->Unit(benchmark::kMillisecond);

void BM_IdleEditorTick(benchmark::State& state)
{
    quova::bench::UseScratchDataFolder();
    quova::testing::PlatformDriver driver;
    Tobel plug(nullptr);
    HWND frame = driver.CreateHostFrame(1040, 605, 20, 20);
    AEffect* effect = plug.GetEffect();
    effect->dispatcher(effect, vst::effEditOpen, 0, 0, frame, 0.0f);
    driver.Pump();
    const uint32_t tick = 1000 / plug.GetGraphics()->GetFramesPerSecond() + 1;
    for (auto _ : state)
        driver.AdvanceTime(tick);
    effect->dispatcher(effect, vst::effEditClose, 0, 0, nullptr, 0.0f);
}
BENCHMARK(BM_IdleEditorTick)->Unit(benchmark::kMicrosecond);

} // namespace
