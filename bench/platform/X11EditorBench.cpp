// The plug-in's editor in a host's X11 window: effEditOpen until the whole first frame is on the
// screen (a round trip to the server after it), and one effEditIdle of an open editor while
// nothing changes, called back to back and at a host's 30 Hz (what the editor costs the host's
// user-interface thread), and at 30 Hz while notes play. bytes_per_idle: the pixel bytes each
// effEditIdle sends to the X server.
#include <benchmark/benchmark.h>

#include <X11/Xlib.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "bench/support/ScratchDataFolder.h"
#include "gui/IGraphics.h"
#include "platform/vst/VstAbi.h"
#include "platform/win32/Window.h"
#include "platform/x11/EditorFrames.h"
#include "platform/x11/X11Desktop.h"
#include "plugin/Tobel.h"

namespace
{

// The host's connection, opened once and kept for the whole program as a host keeps its own. An
// X server without -noreset starts afresh when its last client leaves, and refuses connections
// while it does: with a connection per benchmark, the next benchmark found no server.
Display* HostDisplay()
{
    static Display* const display = XOpenDisplay(nullptr);
    return display;
}

// The host's side: a mapped top-level window of the editor's size on the host's connection.
struct HostWindow
{
    Display* display = HostDisplay();
    Window window = 0;
    HostWindow()
    {
        if (display == nullptr) return;
        const int s = DefaultScreen(display);
        window = XCreateSimpleWindow(display, RootWindow(display, s), 0, 0, Tobel::kEditorWidth,
                                     Tobel::kEditorHeight, 0, BlackPixel(display, s), BlackPixel(display, s));
        XSelectInput(display, window, StructureNotifyMask);
        XMapWindow(display, window);
        XEvent e;
        do
            XWindowEvent(display, window, StructureNotifyMask, &e);
        while (e.type != MapNotify);
    }
    ~HostWindow()
    {
        if (display == nullptr) return;
        XDestroyWindow(display, window);
        XSync(display, False);
    }
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;
    void* Parent() const { return reinterpret_cast<void*>(uintptr_t(window)); }
};

// False (the benchmark skipped) without an X server.
bool Ready(benchmark::State& state, const HostWindow& host)
{
    quova::bench::UseScratchDataFolder();
    if (host.display != nullptr) return true;
    const char* name = std::getenv("DISPLAY");
    state.SkipWithError(name && *name ? "cannot open the X display named by DISPLAY" : "DISPLAY is not set");
    return false;
}

void BM_X11OpenToFirstFullFrame(benchmark::State& state)
{
    HostWindow host;
    if (!Ready(state, host)) return;
    Tobel plug(nullptr);
    AEffect* effect = plug.GetEffect();
    for (auto _ : state)
    {
        effect->dispatcher(effect, vst::effEditOpen, 0, 0, host.Parent(), 0.0f);
        HWND frame = GetParent(static_cast<HWND>(plug.GetGraphics()->GetWindowHandle()));
        while (!quova::x11::FramePresentedWhole(frame))
            effect->dispatcher(effect, vst::effEditIdle, 0, 0, nullptr, 0.0f);
        XSync(host.display, False); // the server has drawn what it was sent
        state.PauseTiming();
        effect->dispatcher(effect, vst::effEditClose, 0, 0, nullptr, 0.0f);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_X11OpenToFirstFullFrame)->Unit(benchmark::kMillisecond);

// Opens the editor in the host's window and idles it at 30 Hz until the first paints are done
// (the editor's redraw timer has run a few times).
void OpenAndSettle(AEffect* effect, HostWindow& host)
{
    effect->dispatcher(effect, vst::effEditOpen, 0, 0, host.Parent(), 0.0f);
    for (int i = 0; i < 8; ++i)
    {
        effect->dispatcher(effect, vst::effEditIdle, 0, 0, nullptr, 0.0f);
        std::this_thread::sleep_for(std::chrono::milliseconds(34));
    }
}

uint64_t PresentedBytes()
{
    return quova::x11::X11Desktop::Instance().PresentedBytes();
}

// The pixel bytes sent since `start`, per iteration.
void CountBytes(benchmark::State& state, uint64_t start)
{
    state.counters["bytes_per_idle"] =
        benchmark::Counter(static_cast<double>(PresentedBytes() - start), benchmark::Counter::kAvgIterations);
}

void BM_X11IdleWithNothingChanging(benchmark::State& state)
{
    HostWindow host;
    if (!Ready(state, host)) return;
    Tobel plug(nullptr);
    AEffect* effect = plug.GetEffect();
    OpenAndSettle(effect, host);
    const uint64_t start = PresentedBytes();
    for (auto _ : state)
        effect->dispatcher(effect, vst::effEditIdle, 0, 0, nullptr, 0.0f);
    CountBytes(state, start);
    effect->dispatcher(effect, vst::effEditClose, 0, 0, nullptr, 0.0f);
}
BENCHMARK(BM_X11IdleWithNothingChanging)->Unit(benchmark::kMicrosecond);

// The same at a host's 30 Hz: every call finds the editor's redraw timer due.
void BM_X11IdleAt30HzWithNothingChanging(benchmark::State& state)
{
    HostWindow host;
    if (!Ready(state, host)) return;
    Tobel plug(nullptr);
    AEffect* effect = plug.GetEffect();
    OpenAndSettle(effect, host);
    const uint64_t start = PresentedBytes();
    for (auto _ : state)
    {
        state.PauseTiming();
        std::this_thread::sleep_for(std::chrono::milliseconds(34));
        state.ResumeTiming();
        effect->dispatcher(effect, vst::effEditIdle, 0, 0, nullptr, 0.0f);
    }
    CountBytes(state, start);
    effect->dispatcher(effect, vst::effEditClose, 0, 0, nullptr, 0.0f);
}
BENCHMARK(BM_X11IdleAt30HzWithNothingChanging)->Unit(benchmark::kMicrosecond)->Iterations(60);

// At 30 Hz while a held chord plays: between two ticks the audio thread's 34 ms of blocks run
// (outside the timing), so markers come, fade and go and the playing-step mark moves.
void BM_X11IdleAt30HzWithNotesPlaying(benchmark::State& state)
{
    HostWindow host;
    if (!Ready(state, host)) return;
    Tobel plug(nullptr);
    constexpr int kBlock = 512;
    plug.ChangeBlockSize(kBlock);
    AEffect* effect = plug.GetEffect();
    OpenAndSettle(effect, host);
    for (const uint8_t note : {48, 52, 55})
        plug.HandleMidiMessage(IMidiMessage(0, 0x90, note, 100));
    double left[kBlock] = {}, right[kBlock] = {};
    double* outputs[2] = {left, right};
    const uint64_t start = PresentedBytes();
    for (auto _ : state)
    {
        state.PauseTiming();
        const auto due = std::chrono::steady_clock::now() + std::chrono::milliseconds(34);
        for (int b = 0; b < 3; ++b)
            plug.ProcessAudioBlock(nullptr, outputs, kBlock); // 34.8 ms at 44.1 kHz
        std::this_thread::sleep_until(due);
        state.ResumeTiming();
        effect->dispatcher(effect, vst::effEditIdle, 0, 0, nullptr, 0.0f);
    }
    CountBytes(state, start);
    effect->dispatcher(effect, vst::effEditClose, 0, 0, nullptr, 0.0f);
}
BENCHMARK(BM_X11IdleAt30HzWithNotesPlaying)->Unit(benchmark::kMicrosecond)->Iterations(90);

} // namespace
