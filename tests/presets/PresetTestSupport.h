// What the preset-library tests share: a temporary data folder ($XDG_DATA_HOME), an editor object
// whose popup menus answer from a script, a plug-in stand-in behind PresetHost that records what
// the preset library asks of it, and small file helpers.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <mutex>
#include <string>
#include <vector>

#include "engine/ChordMemory.h"
#include "framework/EffectLock.h"
#include "gui/IGraphics.h"
#include "presets/PresetHost.h"

// Points $XDG_DATA_HOME (the machine's common application-data folder here) at a fresh temporary
// folder for the test's lifetime, and removes it afterwards.
class TempDataFolder
{
public:
    TempDataFolder();
    ~TempDataFolder();
    TempDataFolder(const TempDataFolder&) = delete;
    TempDataFolder& operator=(const TempDataFolder&) = delete;

    const std::filesystem::path& Root() const { return root_; }
    // <root>/Tobel/Quova/presets and <root>/Tobel/Quova/presets/chordmemory.
    std::filesystem::path Presets() const { return root_ / "Tobel" / "Quova" / "presets"; }
    std::filesystem::path ChordMemory() const { return Presets() / "chordmemory"; }

private:
    std::filesystem::path root_;
    std::string previous_;
    bool hadPrevious_ = false;
};

// An editor object without a window: popup menus take their answers from `answers` (an entry id,
// or -1 for a dismissed menu; an empty script dismisses), and every menu shown is recorded.
class ScriptedGraphics : public IGraphics
{
public:
    ScriptedGraphics() : IGraphics(nullptr, 1000, 565, 30) {}

    IPopupMenu* ShowPopupMenu(IPopupMenu* menu, const IRectangle& rect) override;
    void* GetWindowHandle() override { return window; }

    bool PresentBackBuffer(const IRectangle&) override { return true; }
    void EndTextEntry() override {}
    int ShowAlert(const char*, const char*, uint32_t) override { return 0; }
    void ShowTextEntry(IControl*, const ITextStyle&, const IRectangle&, const char*, IParameter*) override {}
    void GetHostPath(IString*) override {}
    void GetPluginPath(IString*) override {}
    void GetDesktopPath(IString*) override {}
    bool ShowFileDialog(bool, const char*, const char*, IString*) override { return false; }
    bool ShowColorDialog(IColorARGB*) override { return false; }
    bool OpenWebLink(const char*, const char*, const char*, const char*) override { return false; }
    const char* FindTextResource(int, const char*) override { return nullptr; }
    RasterBitmap* DecodeBitmapResource(int, const char*) override { return nullptr; }
    void* OpenEditorWindow(void*) override { return nullptr; }
    void CloseEditorWindow() override {}

    std::deque<int> answers;
    std::vector<IRectangle> shownAt;
    void* window = nullptr;
};

// The plug-in side of the preset library. The "state" is opaque bytes: ReadPresetState records
// what it was given, WritePresetState appends stateToWrite.
class FakePresetHost : public PresetHost
{
public:
    IEffectLock& GetPresetLock() override { return lock; }
    bool ReadPresetState(const IStateChunk& chunk, int position) override;
    bool WritePresetState(IStateChunk* chunk) override;
    int GetParameterCount() override { return parameterCount; }
    void ResetToInitialState() override { ++resets; }
    PresetInfo GetPresetTexts() override;
    void SetPresetTexts(const PresetInfo& texts) override;
    std::atomic<bool>& PresetLoadingFlag() override { return loading; }
    void GrayOutPresetControls(bool grey) override;
    void RedrawPatternView() override { ++patternRedraws; }
    void ShowStatusText(const char* text) override;
    IGraphics* GetPresetEditor() override { return editor; }
    ChordMemory* GetChordMemory() override { return &chords; }
    void OnChordMemorySetLoaded() override { ++chordSetsLoaded; }
    std::string GetPresetDataFolder(const std::string& subFolder) override;

    // Holds the next ReadPresetState until Release (for loads that must overlap).
    void HoldApplying();
    void Release();
    // Waits until a ReadPresetState call has begun (true) or a second has passed (false).
    bool WaitUntilApplying();

    IEffectLock lock;
    std::atomic<bool> loading{false};
    ChordMemory chords;
    IGraphics* editor = nullptr;
    int parameterCount = 56738;
    bool refuseStates = false;
    std::vector<uint8_t> stateToWrite{0, 0, 0, 5, 0xAB};

    std::mutex mutex; // guards everything below
    std::vector<std::vector<uint8_t>> appliedStates;
    std::vector<bool> flagWhileApplying;
    PresetInfo texts;
    std::vector<std::string> shownAuthors;
    std::vector<std::string> greyLog;
    std::vector<std::string> statusTexts;
    int resets = 0;
    int patternRedraws = 0;
    int chordSetsLoaded = 0;

private:
    std::condition_variable changed_;
    bool holding_ = false;
    bool applying_ = false;
};

// Files.
void WriteBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes);
std::vector<uint8_t> ReadBytes(const std::filesystem::path& path);
// Writes bytes gzip-compressed.
void WriteGzipBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes);
// A preset file's bytes: header with the texts, then the state.
std::vector<uint8_t> PresetFileBytes(const char* name, const char* author, const std::vector<uint8_t>& state);
// Little-endian 32-bit words as bytes.
std::vector<uint8_t> LittleEndianWords(const std::vector<int32_t>& words);
