// The part of the editor tests' rigs that does not depend on what is tested: a driver of the
// platform's test double, a host frame, a plug-in of type Plug (built on the VST layer) whose editor
// is attached with background image 101 "images/background.png" at index 0, and the steps a host
// takes to open and close it. Pixels and time are read and advanced through the driver.
#pragma once

#include <cstdint>
#include <memory>

#include "framework/IEffectVST.h"
#include "gui/IEditorWindow.h"
#include "gui/IGraphics.h"
#include "platform/testing/PlatformDriver.h"

namespace quova::test_support
{

template <class Plug> class EditorRigOf
{
public:
    // An editor of width x height at framesPerSecond reading its resources from module, and a host
    // frame of frameWidth x frameHeight at (frameX, frameY) on the screen. The editor is not open.
    EditorRigOf(int width, int height, int framesPerSecond, HINSTANCE module, int frameWidth, int frameHeight,
                int frameX, int frameY)
        : plug(std::make_unique<Plug>())
    {
        frame = driver.CreateHostFrame(frameWidth, frameHeight, frameX, frameY);
        editor = new IEditorWindow(plug.get(), width, height, framesPerSecond);
        editor->SetInstance(module);
        editor->AttachBackgroundBitmap(101, "images/background.png");
        plug->AttachEditor(editor);
    }
    // The plug-in (and with it the editor) goes first, then the module caches it used.
    ~EditorRigOf()
    {
        plug.reset();
        IGraphics::ReleaseModuleCaches();
    }
    EditorRigOf(const EditorRigOf&) = delete;
    EditorRigOf& operator=(const EditorRigOf&) = delete;

    // effEditOpen with the host frame, then one pump (the first paint). The window, or null.
    HWND Open()
    {
        AEffect* effect = plug->GetEffect();
        if (effect->dispatcher(effect, vst::effEditOpen, 0, 0, frame, 0.0f) != 1) return nullptr;
        window = static_cast<HWND>(editor->GetWindowHandle());
        driver.Pump();
        return window;
    }
    // effEditClose, as a host closes the editor.
    void Close()
    {
        AEffect* effect = plug->GetEffect();
        effect->dispatcher(effect, vst::effEditClose, 0, 0, nullptr, 0.0f);
    }
    // Adds a control to the editor and returns it.
    template <class T> T* Add(T* control)
    {
        editor->AddControl(control);
        return control;
    }
    // The pixel the window shows at (x, y), without its alpha byte.
    uint32_t Shown(int x, int y) const { return driver.Pixel(window, x, y) & 0xFFFFFF; }
    // Advances time by ticks timer periods of the editor (33 ms each at 30 frames per second).
    void Tick(int ticks = 1)
    {
        driver.AdvanceTime(static_cast<uint32_t>(ticks * (1000 / editor->GetFramesPerSecond())));
    }

    quova::testing::PlatformDriver driver;
    HWND frame = nullptr;
    std::unique_ptr<Plug> plug;
    IEditorWindow* editor = nullptr; // owned by plug
    HWND window = nullptr;
};

} // namespace quova::test_support
