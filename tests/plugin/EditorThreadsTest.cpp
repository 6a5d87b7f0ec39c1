// The plug-in with its editor open while every thread a host runs works at once: the audio thread
// processing notes and program changes (engine actions that set switches, selectors and markers),
// the user-interface thread ticking at 30 Hz and taking clicks, a host thread setting parameters
// and chunks, and the preset loader loading. Built with ThreadSanitizer as well (build/tsan), where
// any unordered access between them fails the test; here it checks that controls end in step
// with their parameters once the threads are done.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <random>
#include <thread>
#include <vector>

#include "PluginTestSupport.h"
#include "framework/IParameter.h"
#include "graphics/DibBitmap.h"
#include "gui/IControl.h"
#include "gui/IGraphics.h"
#include "platform/testing/PlatformDriver.h"
#include "presets/PresetHandler.h"
#include "presets/PresetLoader.h"
#include "presets/SavePresetDialogs.h"
#include "views/ParameterIndex.h"
#include "views/PatternView.h"

namespace
{

using namespace quova::param;
using quova::test::FakeHost;
using quova::test::TempDataFolder;

constexpr int kFrames = 256;

// One block through the effect record as a host's audio thread runs it: the events, then the
// samples.
void ProcessBlock(AEffect* effect, const std::vector<std::array<uint8_t, 3>>& messages)
{
    std::vector<VstMidiEvent> events(messages.size());
    struct
    {
        VstInt32 numEvents;
        VstIntPtr reserved;
        VstEvent* events[8];
    } list{};
    for (size_t i = 0; i < messages.size() && i < 8; ++i)
    {
        events[i].type = vst::kVstMidiType;
        events[i].byteSize = sizeof(VstMidiEvent);
        events[i].deltaFrames = static_cast<VstInt32>(i * 16);
        for (int b = 0; b < 3; ++b)
            events[i].midiData[b] = static_cast<char>(messages[i][static_cast<size_t>(b)]);
        list.events[i] = reinterpret_cast<VstEvent*>(&events[i]);
        ++list.numEvents;
    }
    effect->dispatcher(effect, vst::effProcessEvents, 0, 0, &list, 0.0f);
    float left[kFrames] = {}, right[kFrames] = {};
    float* outputs[2] = {left, right};
    effect->processReplacing(effect, nullptr, outputs, kFrames);
}

TEST(EditorThreads, AudioHostLoaderAndEditorThreadsRunTogetherAndControlsEndInStep)
{
    quova::testing::PlatformDriver driver;
    TempDataFolder data;
    FakeHost host;
    host.time.flags |= vst::kVstTransportPlaying;
    auto plug = std::make_unique<Tobel>(&FakeHost::Callback);
    AEffect* effect = plug->GetEffect();
    effect->dispatcher(effect, vst::effSetSampleRate, 0, 0, nullptr, 44100.0f);
    effect->dispatcher(effect, vst::effSetBlockSize, 0, kFrames, nullptr, 0.0f);
    effect->dispatcher(effect, vst::effMainsChanged, 0, 1, nullptr, 0.0f);
    ASSERT_TRUE(BuildPresetFile(plug->GetPresetBox(), "Threads", "Tester", "", "", 0));

    HWND frame = driver.CreateHostFrame(1040, 605, 20, 20);
    ASSERT_EQ(effect->dispatcher(effect, vst::effEditOpen, 0, 0, frame, 0.0f), 1);
    HWND window = static_cast<HWND>(plug->GetGraphics()->GetWindowHandle());
    driver.Pump();

    void* chunkData = nullptr;
    const auto chunkSize =
        static_cast<VstIntPtr>(effect->dispatcher(effect, vst::effGetChunk, 0, 0, &chunkData, 0.0f));
    ASSERT_GT(chunkSize, 0);
    const std::vector<uint8_t> chunk(static_cast<uint8_t*>(chunkData),
                                     static_cast<uint8_t*>(chunkData) + chunkSize);

    std::atomic<int> running{2};
    std::thread audio(
        [&]
        {
            std::mt19937 random(11);
            for (int block = 0; block < 300; ++block)
            {
                const auto note = static_cast<uint8_t>(48 + random() % 24);
                std::vector<std::array<uint8_t, 3>> messages;
                if (block % 3 == 0) messages.push_back({0x90, note, 100});
                if (block % 3 == 2) messages.push_back({0x80, note, 0});
                if (block % 17 == 5) messages.push_back({0xC0, static_cast<uint8_t>(random() % 12), 0});
                ProcessBlock(effect, messages);
                host.midi.clear();
            }
            --running;
        });
    std::thread hostThread(
        [&]
        {
            std::mt19937 random(23);
            std::vector<uint8_t> copy = chunk;
            for (int i = 0; i < 300; ++i)
            {
                if (i % 50 == 49)
                {
                    effect->dispatcher(effect, vst::effSetChunk, 0, static_cast<VstIntPtr>(copy.size()),
                                       copy.data(), 0.0f);
                }
                else
                {
                    effect->setParameter(effect, static_cast<VstInt32>(random() % kHostVisibleCount),
                                         static_cast<float>(random() % 9) / 8.0f);
                }
            }
            --running;
        });

    // The user-interface thread: ticks at 30 Hz, clicks, the pointer resting on the step grid (which
    // then also shows the lane switches and edits), and a preset load by the box's button, for as
    // long as the other threads run.
    const IRectangle grid = plug->GetPatternView()->GetRect();
    bool hovered = false;
    std::mt19937 random(5);
    for (int tick = 0; tick < 45 || running.load() > 0; ++tick)
    {
        driver.AdvanceTime(34);
        if (tick % 4 == 1)
            driver.Click(window, static_cast<int>(random() % 1000), static_cast<int>(random() % 565));
        if (tick % 4 == 2)
        {
            driver.MouseMove(window, (grid.left + grid.right) / 2, (grid.top + grid.bottom) / 2);
            hovered = hovered || plug->GetPatternView()->IsHovering();
        }
        if (tick == 10 || tick == 30)
        {
            plug->SetParameterFromGUI(kBoxRight, 1.0);
            plug->SetParameterFromGUI(kBoxRight, 0.0);
        }
    }
    audio.join();
    hostThread.join();
    EXPECT_TRUE(hovered);
    plug->GetPresetLoader()->Join();
    driver.AdvanceTime(34 * 3);

    // Once everything posted is applied, each control shows its parameter's value.
    IGraphics& editor = *plug->GetGraphics();
    int checked = 0;
    for (int i = 0; i < editor.NControls(); ++i)
    {
        IControl* control = editor.GetControl(i);
        const int index = control->GetParameterIndex();
        if (index < 0 || index >= kHostVisibleCount || control->GetParameter() == nullptr) continue;
        ++checked;
        ASSERT_DOUBLE_EQ(control->GetValue(), control->GetParameter()->GetNormalizedValue())
            << "parameter " << index;
    }
    EXPECT_GT(checked, 1000);
    effect->dispatcher(effect, vst::effEditClose, 0, 0, nullptr, 0.0f);
}

// The editor's size changes on the user-interface thread while a host thread asks for the editor's
// rectangle and reads it.
TEST(EditorThreads, TheEditorsRectangleIsAskedForWhileTheEditorResizes)
{
    FakeHost host;
    auto plug = std::make_unique<Tobel>(&FakeHost::Callback);
    AEffect* effect = plug->GetEffect();
    std::atomic<int> seen{0};
    std::thread asker(
        [&]
        {
            for (int i = 0; i < 500; ++i)
            {
                ERect* rect = nullptr;
                effect->dispatcher(effect, vst::effEditGetRect, 0, 0, &rect, 0.0f);
                if (rect != nullptr && rect->bottom > 0) seen.fetch_add(1, std::memory_order_relaxed);
            }
        });
    for (int i = 0; i < 500; ++i)
        static_cast<IEffectVST*>(plug.get())->ResizeEditor();
    asker.join();
    EXPECT_EQ(seen.load(), 500);
}

// A controller learned for the editor-size switch arrives on the audio thread while the editor
// idles: the resize waits for the editor's thread, which remakes the window and the drawing
// bitmap between its paints (a resize on the audio thread freed the bitmap under a paint).
TEST(EditorThreads, ALearnedControllerResizesTheEditorOnTheEditorsThread)
{
    quova::testing::PlatformDriver driver;
    TempDataFolder data;
    FakeHost host;
    auto plug = std::make_unique<Tobel>(&FakeHost::Callback);
    AEffect* effect = plug->GetEffect();
    effect->dispatcher(effect, vst::effSetSampleRate, 0, 0, nullptr, 44100.0f);
    effect->dispatcher(effect, vst::effSetBlockSize, 0, kFrames, nullptr, 0.0f);
    effect->dispatcher(effect, vst::effMainsChanged, 0, 1, nullptr, 0.0f);
    IGraphics& editor = *plug->GetGraphics();
    int resizeSwitch = -1;
    for (int i = 0; i < editor.NControls() && resizeSwitch < 0; ++i)
        if (editor.GetControl(i)->GetParameterIndex() == kResize) resizeSwitch = i;
    ASSERT_GE(resizeSwitch, 0);
    plug->SetLearnMapping(20, resizeSwitch);

    HWND frame = driver.CreateHostFrame(1040, 605, 20, 20);
    ASSERT_EQ(effect->dispatcher(effect, vst::effEditOpen, 0, 0, frame, 0.0f), 1);
    driver.Pump();

    std::atomic<bool> done{false};
    std::atomic<bool> compactSeen{false}; // the smaller size was reached
    std::thread audio(
        [&]
        {
            // At least 60 blocks, and on until the editor has met the smaller size (a loaded machine
            // may tick the editor only after several switches); the last one sends 0.
            for (int block = 0; block < 60 || (!compactSeen.load() && block < 20000) || block % 2 == 1;
                 ++block)
            {
                // 127 switches to the other size, 0 back to the full one.
                ProcessBlock(effect, {{0xB0, 20, static_cast<uint8_t>(block % 2 == 0 ? 127 : 0)}});
                host.midi.clear();
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
            }
            done = true;
        });
    for (int tick = 0; tick < 10 || !done.load(); ++tick)
    {
        driver.AdvanceTime(34);
        if (editor.Height() < Tobel::kEditorHeight) compactSeen = true;
    }
    audio.join();
    driver.AdvanceTime(34 * 2);
    EXPECT_TRUE(compactSeen);
    // The last message (0) leaves the full size; the bitmap follows the editor's size.
    EXPECT_EQ(editor.Height(), Tobel::kEditorHeight);
    ASSERT_NE(editor.GetDrawingBitmap(), nullptr);
    EXPECT_EQ(editor.GetDrawingBitmap()->Height(), editor.Height());
    effect->dispatcher(effect, vst::effEditClose, 0, 0, nullptr, 0.0f);
}

// While the preset menu is open on the editor's thread, a host thread that presses the box's arrow
// (a parameter the host or a learned controller may set) gets its answer at once: the press waits
// for the editor's thread, not for the user, and takes effect after the menu.
TEST(EditorThreads, ABoxArrowPressedOnAnotherThreadWhileTheBoxMenuIsOpenNeitherWaitsNorIsLost)
{
    quova::testing::PlatformDriver driver;
    TempDataFolder data;
    FakeHost host;
    auto plug = std::make_unique<Tobel>(&FakeHost::Callback);
    AEffect* effect = plug->GetEffect();
    ASSERT_TRUE(BuildPresetFile(plug->GetPresetBox(), "Alpha", "Tester", "", "", 0));
    ASSERT_TRUE(BuildPresetFile(plug->GetPresetBox(), "Beta", "Tester", "", "", 0));
    HWND frame = driver.CreateHostFrame(1040, 605, 20, 20);
    ASSERT_EQ(effect->dispatcher(effect, vst::effEditOpen, 0, 0, frame, 0.0f), 1);
    HWND window = static_cast<HWND>(plug->GetGraphics()->GetWindowHandle());
    driver.Pump();

    std::atomic<bool> answered{false};
    std::thread hostThread;
    quova::win32::MenuAnswer answer;
    answer.kind = quova::win32::MenuAnswer::Kind::ByFunction;
    answer.choose = [&](const quova::win32::ShownMenu&) -> UINT_PTR
    {
        hostThread = std::thread(
            [&]
            {
                effect->setParameter(effect, kBoxRight, 1.0f);
                answered = true;
            });
        for (int i = 0; i < 200 && !answered; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return 0; // the user dismisses the menu
    };
    quova::win32::ScriptMenuAnswer(answer);
    const IRectangle box = plug->GetPresetBox()->GetRect();
    driver.Click(window, (box.left + box.right) / 2, (box.top + box.bottom) / 2);
    hostThread.join();
    EXPECT_TRUE(answered) << "the host thread waited for the open menu";
    driver.AdvanceTime(34);
    EXPECT_FALSE(plug->GetPresetBoxName().empty()) << "the press was lost";
    effect->dispatcher(effect, vst::effEditClose, 0, 0, nullptr, 0.0f);
}

// The scale's value prompt reads the parameter's value on the editor's thread while a host thread
// sets it: the host thread sets it while the prompt's menu is open, the two threads told of each
// other only through relaxed flags, so that nothing but the plug lock orders the prompt's read and
// the host's write (ThreadSanitizer fails a read made without the lock).
TEST(EditorThreads, AHostThreadSetsAParameterWhileTheEditorsThreadPromptsForIt)
{
    quova::testing::PlatformDriver driver;
    TempDataFolder data;
    FakeHost host;
    auto plug = std::make_unique<Tobel>(&FakeHost::Callback);
    AEffect* effect = plug->GetEffect();
    HWND frame = driver.CreateHostFrame(1040, 605, 20, 20);
    ASSERT_EQ(effect->dispatcher(effect, vst::effEditOpen, 0, 0, frame, 0.0f), 1);
    HWND window = static_cast<HWND>(plug->GetGraphics()->GetWindowHandle());
    driver.Pump();

    std::atomic<bool> go{false};
    std::atomic<bool> set{false};
    std::thread hostThread(
        [&]
        {
            while (!go.load(std::memory_order_relaxed))
                std::this_thread::yield();
            effect->setParameter(effect, kScale, 0.5f);
            set.store(true, std::memory_order_relaxed);
        });
    size_t entries = 0;
    quova::win32::MenuAnswer answer;
    answer.kind = quova::win32::MenuAnswer::Kind::ByFunction;
    answer.choose = [&](const quova::win32::ShownMenu& menu) -> UINT_PTR
    {
        entries = menu.entries.size();
        go.store(true, std::memory_order_relaxed);
        for (int i = 0; i < 200 && !set.load(std::memory_order_relaxed); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return 0; // the user dismisses the menu
    };
    quova::win32::ScriptMenuAnswer(answer);
    const IRectangle field = plug->GetSkin().At(33);
    driver.Click(window, (field.left + field.right) / 2, (field.top + field.bottom) / 2);
    go = true; // a prompt that never showed lets the host thread end
    hostThread.join();
    EXPECT_GT(entries, 10u) << "the scale's prompt lists the scales";
    EXPECT_TRUE(set) << "the host thread waited for the prompt";
    driver.AdvanceTime(34);
    EXPECT_EQ(plug->GetParameter(kScale)->GetNormalizedValue(), 0.5);
    effect->dispatcher(effect, vst::effEditClose, 0, 0, nullptr, 0.0f);
}

// A host that closes the plug-in while a block still runs on its audio thread: the close waits for
// the block to let go of the plug lock, and the deletion that follows finds the block's thread
// done with the lock (under ThreadSanitizer, a wake-up sent after the lock was let go races with
// the deletion of the lock).
std::atomic<std::thread::id> gSlowBlockThread{};
std::atomic<bool> gBlockInside{false};
VstIntPtr SlowClockCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                            float opt)
{
    if (opcode == vst::audioMasterGetTime && std::this_thread::get_id() == gSlowBlockThread.load() &&
        !gBlockInside.exchange(true))
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    return FakeHost::Callback(effect, opcode, index, value, ptr, opt);
}

TEST(EditorThreads, AClosePlugInWaitsForTheBlockInProgressWhichLeavesTheLockBeforeItGoes)
{
    TempDataFolder data;
    FakeHost host;
    gBlockInside = false;
    AEffect* effect = (new Tobel(&SlowClockCallback))->GetEffect();
    effect->dispatcher(effect, vst::effSetBlockSize, 0, kFrames, nullptr, 0.0f);
    effect->dispatcher(effect, vst::effMainsChanged, 0, 1, nullptr, 0.0f);
    std::thread audio(
        [effect]
        {
            gSlowBlockThread = std::this_thread::get_id();
            float left[kFrames] = {}, right[kFrames] = {};
            float* outputs[2] = {left, right};
            effect->processReplacing(effect, nullptr, outputs, kFrames);
        });
    while (!gBlockInside.load())
        std::this_thread::yield();
    effect->dispatcher(effect, vst::effClose, 0, 0, nullptr, 0.0f);
    audio.join();
}

} // namespace
