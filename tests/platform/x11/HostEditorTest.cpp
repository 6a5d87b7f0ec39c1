// The command-line host's editor window with the module Quova.so: opened in a real top-level X11
// window, idled, saved as a picture read back from the server. And the module as a guest in a
// host's process that has X error handlers and fonts of its own, with several copies of the module
// loaded. Skipped without an X server.
#include <fontconfig/fontconfig.h>
#include <gtest/gtest.h>

#include <csignal>
#include <dlfcn.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "XServerProxy.h"
#include "XTestSupport.h"
#include "tools/host/BlockThread.h"
#include "tools/host/HostEditor.h"
#include "tools/host/HostSession.h"
#include "tools/host/VstHost.h"

namespace
{

using quova::host::HostEditor;
using quova::host::VstHost;
using quova::xtest::Within;
using quova::xtest::XClient;
using quova::xtest::XServerProxy;

// A data folder of the test's own for the module (XDG_DATA_HOME), in the temporary folder.
std::filesystem::path DataFolder(const std::string& name)
{
    const auto data = std::filesystem::temp_directory_path() / (name + "-" + std::to_string(getpid()));
    setenv("XDG_DATA_HOME", data.c_str(), 1);
    return data;
}

TEST(HostEditor, ShowsTheModulesEditorInAWindowAndSavesItsPicture)
{
    QUOVA_REQUIRE_X_SERVER();
    const auto data = DataFolder("quova-host-editor");
    VstHost host;
    ASSERT_TRUE(host.Load(QUOVA_PLUGIN_MODULE)) << host.LastError();
    ASSERT_TRUE(host.Open());
    {
        HostEditor editor(host);
        std::string error;
        ASSERT_TRUE(editor.Open(error)) << error;
        EXPECT_GE(editor.FirstFrameMs(), 0.0);
        EXPECT_EQ(editor.Width(), 1000);
        EXPECT_EQ(editor.Height(), 565);
        for (int i = 0; i < 5; ++i)
            editor.Idle();
        EXPECT_FALSE(editor.Closed());

        const std::string png = (data / "editor.png").string();
        ASSERT_TRUE(editor.SavePng(png, error)) << error;
        std::ifstream in(png, std::ios::binary);
        char signature[8] = {};
        in.read(signature, sizeof signature);
        EXPECT_EQ(std::string(signature + 1, 3), "PNG");
        EXPECT_GT(std::filesystem::file_size(png), 10000u)
            << "a picture of the editor, not of an empty window";
        editor.Close();
        EXPECT_EQ(editor.Window(), 0u);
    }
    host.Unload();
    std::filesystem::remove_all(data);
}

// Ctrl+C in the terminal ends an editor run that waits for its window to be closed as closing the
// window does: the run ends normally, and its state and the editor's picture are saved either way.
// (SIGTERM here: a shell that starts the tests in the background has them ignore SIGINT.)
TEST(HostEditor, ASignalOrClosingTheWindowEndsAnEditorRunAndItsStateAndPictureAreSaved)
{
    QUOVA_REQUIRE_X_SERVER();
    const auto data = DataFolder("quova-host-signal");
    std::filesystem::create_directories(data);
    for (const bool signal : {true, false})
    {
        SCOPED_TRACE(signal ? "ended by a signal" : "ended by closing the window");
        const std::string chunk = (data / "kept.chunk").string(), png = (data / "editor.png").string();
        std::filesystem::remove(chunk);
        std::filesystem::remove(png);
        quova::host::HostOptions options;
        std::string error;
        ASSERT_EQ(
            quova::host::ParseHostOptions({"--quiet", "--editor", "--editor-seconds", "-1", "--blocks", "1",
                                           "--chunk-out", chunk, "--editor-png", png, QUOVA_PLUGIN_MODULE},
                                          options, error),
            quova::host::ParseOutcome::Run)
            << error;
        bool shown = false;
        std::thread hand(
            [&shown, signal]
            {
                XClient x;
                Window w = 0;
                shown = Within(30000,
                               [&]
                               {
                                   w = x.TopLevelNamed("quova_host");
                                   return w != 0 && !x.Children(w).empty();
                               });
                if (shown && !signal)
                    x.AskToClose(w);
                else
                    kill(getpid(), SIGTERM);
            });
        std::ostringstream out, err;
        EXPECT_EQ(quova::host::RunHostSession(options, out, err), 0) << err.str();
        hand.join();
        EXPECT_TRUE(shown) << "the editor's window";
        EXPECT_NE(out.str().find("saved to " + chunk), std::string::npos) << out.str();
        EXPECT_NE(out.str().find("editor picture saved to " + png), std::string::npos) << out.str();
        ASSERT_TRUE(std::filesystem::exists(chunk) && std::filesystem::exists(png));
        EXPECT_GT(std::filesystem::file_size(chunk), 0u);
        EXPECT_GT(std::filesystem::file_size(png), 10000u)
            << "a picture of the editor, not of an empty window";
    }
    std::filesystem::remove_all(data);
}

// The blocks of an editor run play on a thread of their own, as a host's audio thread plays them:
// a menu of the editor, whose modal loop runs inside effEditIdle for as long as it is open, does
// not hold them up.
TEST(HostEditor, BlocksPlayOnInRealTimeWhileAMenuOfTheEditorIsOpen)
{
    QUOVA_REQUIRE_X_SERVER();
    const auto data = DataFolder("quova-host-blocks");
    VstHost host;
    ASSERT_TRUE(host.Load(QUOVA_PLUGIN_MODULE)) << host.LastError();
    ASSERT_TRUE(host.Open() && host.SetBlockSize(512) && host.Resume());
    HostEditor editor(host);
    std::string error;
    ASSERT_TRUE(editor.Open(error)) << error;
    const Window window = editor.Window();
    std::atomic<bool> handDone{false};
    bool menuShown = false;
    int64_t playedInMenu = -1;
    {
        // A block every 10 ms; those left when the hand is done are played at once.
        quova::host::BlockThread blocks(host, 1000, std::chrono::milliseconds(10));
        std::thread hand(
            [&]
            {
                XClient x;
                // A right press on a cell of the step grid opens its menu.
                x.MoveTo(window, 36, 296);
                x.Button(Button3, true);
                x.Button(Button3, false);
                menuShown = Within(5000, [&] { return !x.Popups().empty(); });
                if (menuShown)
                {
                    const int64_t before = blocks.Played();
                    std::this_thread::sleep_for(std::chrono::milliseconds(500));
                    playedInMenu = blocks.Played() - before;
                    x.Press(XK_Escape);
                    EXPECT_TRUE(Within(3000, [&] { return x.Popups().empty(); })) << "the menu stayed open";
                }
                handDone = true;
            });
        while (!handDone)
        {
            editor.Idle();
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        hand.join();
        blocks.Finish();
        EXPECT_EQ(blocks.Played(), 1000);
    }
    EXPECT_TRUE(menuShown);
    EXPECT_GE(playedInMenu, 25) << "half a second of blocks of 10 ms while the menu was open";
    editor.Close();
    host.Unload();
    std::filesystem::remove_all(data);
}

// ---- the module as a guest in the host's process ------------------------------------------------

constexpr Window kNoWindow = 0x1FFFFF0;

// The host's own X error handler, counting the errors that reach it by connection.
struct ErrorLog
{
    Display* host = nullptr;
    int onHost = 0;
    int elsewhere = 0;
};
ErrorLog gErrors;
int HostHandler(Display* d, XErrorEvent*)
{
    ++(d == gErrors.host ? gErrors.onHost : gErrors.elsewhere);
    return 0;
}
// A library's handler, installed later and handing every error on to the one it found, as toolkits do.
XErrorHandler gLibraryPrevious = nullptr;
int LibraryHandler(Display* d, XErrorEvent* e)
{
    return gLibraryPrevious ? gLibraryPrevious(d, e) : 0;
}

class Guest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QUOVA_REQUIRE_X_SERVER();
        folder = std::filesystem::temp_directory_path() / ("quova-guest-" + std::to_string(getpid()));
        std::filesystem::create_directories(folder);
        setenv("XDG_DATA_HOME", folder.c_str(), 1);
        gErrors = ErrorLog{x.display()};
        before = XSetErrorHandler(HostHandler);
    }
    void TearDown() override
    {
        if (before != nullptr) XSetErrorHandler(before);
        std::filesystem::remove_all(folder);
    }
    // The module copied to a folder of its own: loaded from there it is a second copy in the process.
    // The copy stays mapped until the process ends, as hosts keep their modules, so that what it
    // keeps for the life of the process is not taken for a leak.
    std::string CopyOfModule(const std::string& name)
    {
        const auto path = folder / name / "Quova.so";
        std::filesystem::create_directories(path.parent_path());
        std::filesystem::copy_file(QUOVA_PLUGIN_MODULE, path,
                                   std::filesystem::copy_options::overwrite_existing);
        EXPECT_NE(dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE), nullptr);
        return path.string();
    }
    static bool Start(VstHost& host, const std::string& path) { return host.Load(path) && host.Open(); }
    static VstIntPtr OpenEditor(VstHost& host, Window parent)
    {
        void* window = reinterpret_cast<void*>(uintptr_t(parent));
        const VstIntPtr opened = host.Dispatch(vst::effEditOpen, 0, 0, window);
        for (int i = 0; i < 3; ++i)
            host.Dispatch(vst::effEditIdle);
        return opened;
    }
    // How many times one error on the host's own connection reached the host's handler.
    int HostErrorArrivals()
    {
        const int was = gErrors.onHost;
        XMapWindow(x.display(), kNoWindow);
        XSync(x.display(), False);
        return gErrors.onHost - was;
    }

    XClient x;
    std::filesystem::path folder;
    XErrorHandler before = nullptr;
};

TEST_F(Guest, TheHostsXErrorsReachItsHandlerOnceAndTheModulesNeverDoWhateverIsInstalledAroundTheEditor)
{
    VstHost a;
    ASSERT_TRUE(Start(a, QUOVA_PLUGIN_MODULE)) << a.LastError();
    const Window w = x.MakeHostWindow(1000, 565);
    ASSERT_EQ(OpenEditor(a, w), 1);
    EXPECT_EQ(HostErrorArrivals(), 1);
    // A library installs its handler while the editor is open, chaining to what it found.
    gLibraryPrevious = XSetErrorHandler(LibraryHandler);
    EXPECT_EQ(HostErrorArrivals(), 1);
    a.Dispatch(vst::effEditClose);
    EXPECT_EQ(HostErrorArrivals(), 1) << "after the editor closed";
    ASSERT_EQ(OpenEditor(a, w), 1);
    EXPECT_EQ(HostErrorArrivals(), 1) << "after the editor opened again";
    // The host puts its own handler back (one that hands nothing on); the errors on the module's
    // connection (an editor asked for in a window that is not there, which the module looks for at
    // each idle) stay with the module.
    XSetErrorHandler(HostHandler);
    VstHost b;
    ASSERT_TRUE(Start(b, QUOVA_PLUGIN_MODULE)) << b.LastError();
    EXPECT_EQ(OpenEditor(b, kNoWindow), 1);
    EXPECT_EQ(gErrors.elsewhere, 0);
    a.Dispatch(vst::effEditClose);
    b.Unload();
    a.Unload();
    EXPECT_EQ(HostErrorArrivals(), 1);
    EXPECT_EQ(gErrors.elsewhere, 0);
}

TEST_F(Guest, TwoCopiesOfTheModuleLeaveTheHostsXErrorsToTheHostInEveryOrderOfOpenAndClose)
{
    VstHost a, b;
    ASSERT_TRUE(Start(a, CopyOfModule("vst"))) << a.LastError();
    ASSERT_TRUE(Start(b, CopyOfModule("lxvst"))) << b.LastError();
    const Window wa = x.MakeHostWindow(1000, 565);
    const Window wb = x.MakeHostWindow(1000, 565, 200, 200);
    ASSERT_EQ(OpenEditor(a, wa), 1);
    ASSERT_EQ(OpenEditor(b, wb), 1);
    EXPECT_EQ(HostErrorArrivals(), 1);
    a.Dispatch(vst::effEditClose);
    EXPECT_EQ(HostErrorArrivals(), 1) << "the first copy's editor closed";
    ASSERT_EQ(OpenEditor(a, wa), 1);
    EXPECT_EQ(HostErrorArrivals(), 1) << "the first copy's editor opened again over the second's";
    b.Dispatch(vst::effEditClose);
    EXPECT_EQ(HostErrorArrivals(), 1);
    a.Dispatch(vst::effEditClose);
    EXPECT_EQ(HostErrorArrivals(), 1);
    b.Unload();
    a.Unload();
    EXPECT_EQ(HostErrorArrivals(), 1);
    EXPECT_EQ(gErrors.elsewhere, 0);
}

// The audio thread never waits for the X server: while the server keeps the editor's opening (the
// connection, the frame's window) and its closing waiting for an answer, as a slow or remote display
// does, processReplacing on the host's audio thread goes on.
TEST_F(Guest, ProcessingGoesOnWhileTheXServerKeepsTheEditorOpeningOrClosingWaiting)
{
    XServerProxy proxy;
    ASSERT_FALSE(proxy.Display().empty()) << "no free port for a proxy display";
    VstHost a;
    ASSERT_TRUE(Start(a, QUOVA_PLUGIN_MODULE)) << a.LastError();
    AEffect* effect = a.Effect();
    const Window w = x.MakeHostWindow(1000, 565);
    // Runs `call` on a thread of its own once the server holds its answers back, and a block on the
    // audio thread as soon as the call waits for the server; true when the block ended before the
    // server answered.
    const auto blockWhileTheServerWaits = [&](const std::function<void()>& call)
    {
        proxy.Hold(true);
        std::thread caller(call);
        const bool waiting = Within(5000, [&] { return proxy.SentWhileHeld() > 0; });
        std::atomic<bool> processed{false};
        std::thread audio(
            [&]
            {
                float left[64] = {}, right[64] = {};
                float* outputs[2] = {left, right};
                effect->processReplacing(effect, nullptr, outputs, 64);
                processed = true;
            });
        const bool ran = waiting && Within(2000, [&] { return processed.load(); });
        proxy.Hold(false);
        audio.join();
        caller.join();
        return ran;
    };

    const std::string display = std::getenv("DISPLAY");
    setenv("DISPLAY", proxy.Display().c_str(), 1);
    VstIntPtr opened = 0;
    EXPECT_TRUE(blockWhileTheServerWaits([&] { opened = OpenEditor(a, w); }))
        << "processReplacing waited for the X server while the editor opened";
    setenv("DISPLAY", display.c_str(), 1);
    ASSERT_EQ(opened, 1);
    EXPECT_EQ(proxy.Connections(), 1);
    EXPECT_TRUE(blockWhileTheServerWaits([&] { a.Dispatch(vst::effEditClose); }))
        << "processReplacing waited for the X server while the editor closed";
    EXPECT_TRUE(x.Children(w).empty());
    a.Unload();
}

// A host that destroys its window while the editor's open still waits for a slow display: the open
// finds no window there and waits for one a while, then gives it up, and from then on an idle sends
// the X server nothing until the host closes the editor.
TEST_F(Guest, AParentDestroyedWhileTheOpenWaitsForTheServerIsGivenUpAndIdlesThenAskTheServerNothing)
{
    XServerProxy proxy;
    ASSERT_FALSE(proxy.Display().empty()) << "no free port for a proxy display";
    VstHost a;
    ASSERT_TRUE(Start(a, QUOVA_PLUGIN_MODULE)) << a.LastError();
    const Window w = x.MakeHostWindow(1000, 565);
    const std::string display = std::getenv("DISPLAY");
    setenv("DISPLAY", proxy.Display().c_str(), 1);
    proxy.Hold(true);
    VstIntPtr opened = 0;
    std::thread opener(
        [&] { opened = a.Dispatch(vst::effEditOpen, 0, 0, reinterpret_cast<void*>(uintptr_t(w))); });
    const bool asked = Within(5000, [&] { return proxy.SentWhileHeld() > 0; });
    XDestroyWindow(x.display(), w);
    XSync(x.display(), False);
    proxy.Hold(false);
    opener.join();
    setenv("DISPLAY", display.c_str(), 1);
    ASSERT_TRUE(asked);
    EXPECT_EQ(opened, 1);
    const auto idleFor = [&](int ms)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (std::chrono::steady_clock::now() < end)
        {
            a.Dispatch(vst::effEditIdle);
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    };
    idleFor(2500);
    const size_t sent = proxy.Sent();
    idleFor(500);
    EXPECT_EQ(proxy.Sent(), sent) << "idles went on asking the server for the host's window";
    a.Dispatch(vst::effEditClose);
    a.Unload();
}

// A host that closes the editor and the plug-in from an exit handler it registered before it loaded
// the module (so the handler runs after the module's statics would be destroyed): what the module
// keeps for its windows is still there.
TEST_F(Guest, AHostThatClosesTheEditorAndThePlugInFromItsExitHandlerExitsCleanly)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            // The child's own data folder (SetUp made it) goes last, after the host's exit handler.
            static const std::filesystem::path made = folder;
            std::atexit(
                []
                {
                    std::error_code ignored;
                    std::filesystem::remove_all(made, ignored);
                });
            static VstHost* host = nullptr;
            std::atexit(
                []
                {
                    host->Dispatch(vst::effEditClose);
                    host->Close();
                });
            host = new VstHost();
            if (!Start(*host, QUOVA_PLUGIN_MODULE)) std::_Exit(2);
            const Window w = x.MakeHostWindow(1000, 565);
            // Closed once, so that the layer has put windows away, and opened again for the exit.
            if (OpenEditor(*host, w) != 1) std::_Exit(3);
            host->Dispatch(vst::effEditClose);
            if (OpenEditor(*host, w) != 1) std::_Exit(4);
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "");
}

// A host that holds fonts of the process's fontconfig until it exits (as a toolkit's text
// rendering does), with the module loaded, drawing text and unloaded in between.
TEST(GuestFonts, AHostHoldingFontconfigFontsExitsCleanlyAfterTheModuleDrewTextAndWentAway)
{
    QUOVA_REQUIRE_X_SERVER();
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const auto data =
        std::filesystem::temp_directory_path() / ("quova-guest-fonts-" + std::to_string(getpid()));
    EXPECT_EXIT(
        {
            setenv("XDG_DATA_HOME", data.c_str(), 1);
            if (FcInit() != FcTrue) std::_Exit(2);
            FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>("sans"));
            FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
            FcDefaultSubstitute(pattern);
            FcResult result = FcResultNoMatch;
            static FcFontSet* held = FcFontSort(nullptr, pattern, FcTrue, nullptr, &result);
            FcPatternDestroy(pattern);
            if (held == nullptr || held->nfont == 0) std::_Exit(3);
            // Released at the exit, after whatever the module left to be done then.
            std::atexit(
                []
                {
                    FcFontSetDestroy(held);
                    FcFini();
                });
            {
                XClient x;
                VstHost host;
                if (!host.Load(QUOVA_PLUGIN_MODULE) || !host.Open()) std::_Exit(4);
                void* window = reinterpret_cast<void*>(uintptr_t(x.MakeHostWindow(1000, 565)));
                if (host.Dispatch(vst::effEditOpen, 0, 0, window) != 1) std::_Exit(5);
                for (int i = 0; i < 5; ++i)
                    host.Dispatch(vst::effEditIdle);
                host.Dispatch(vst::effEditClose);
                host.Unload();
            }
            std::filesystem::remove_all(data);
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "");
}

} // namespace
