#include "PresetTestSupport.h"

#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "framework/IStateChunk.h"
#include "gui/IPopupMenu.h"
#include "platform/win32/Shell.h"
#include "presets/PresetFileHeader.h"

TempDataFolder::TempDataFolder()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "quova-presets-XXXXXX").string();
    char* made = mkdtemp(pattern.data());
    root_ = made != nullptr ? std::filesystem::path(made) : std::filesystem::path();
    const char* previous = std::getenv("XDG_DATA_HOME");
    hadPrevious_ = previous != nullptr;
    if (hadPrevious_) previous_ = previous;
    setenv("XDG_DATA_HOME", root_.c_str(), 1);
}

TempDataFolder::~TempDataFolder()
{
    if (hadPrevious_)
    {
        setenv("XDG_DATA_HOME", previous_.c_str(), 1);
    }
    else
    {
        unsetenv("XDG_DATA_HOME");
    }
    std::error_code error;
    if (!root_.empty()) std::filesystem::remove_all(root_, error);
}

IPopupMenu* ScriptedGraphics::ShowPopupMenu(IPopupMenu* menu, const IRectangle& rect)
{
    shownAt.push_back(rect);
    if (answers.empty()) return nullptr;
    const int answer = answers.front();
    answers.pop_front();
    if (answer < 0) return nullptr;
    menu->SetChosenIndex(answer);
    return menu;
}

bool FakePresetHost::ReadPresetState(const IStateChunk& chunk, int position)
{
    std::unique_lock<std::mutex> guard(mutex);
    applying_ = true;
    changed_.notify_all();
    changed_.wait(guard, [this] { return !holding_; });
    applying_ = false;
    flagWhileApplying.push_back(loading.load());
    if (refuseStates) return false;
    const uint8_t* data = chunk.Data();
    appliedStates.emplace_back(data + position, data + chunk.Size());
    return true;
}

bool FakePresetHost::WritePresetState(IStateChunk* chunk)
{
    chunk->PutBytes(stateToWrite.data(), static_cast<int>(stateToWrite.size()));
    return true;
}

PresetInfo FakePresetHost::GetPresetTexts()
{
    std::lock_guard<std::mutex> guard(mutex);
    return texts;
}

void FakePresetHost::SetPresetTexts(const PresetInfo& newTexts)
{
    std::lock_guard<std::mutex> guard(mutex);
    texts = newTexts;
    shownAuthors.emplace_back(newTexts.author);
}

void FakePresetHost::GrayOutPresetControls(bool grey)
{
    std::lock_guard<std::mutex> guard(mutex);
    greyLog.emplace_back(grey ? "grey" : "restore");
}

void FakePresetHost::ShowStatusText(const char* text)
{
    std::lock_guard<std::mutex> guard(mutex);
    statusTexts.emplace_back(text);
}

std::string FakePresetHost::GetPresetDataFolder(const std::string& subFolder)
{
    char root[MAX_PATH] = {};
    if (!SHGetSpecialFolderPathA(nullptr, root, CSIDL_COMMON_APPDATA, FALSE)) return {};
    return std::string(root) + "/Tobel/Quova/" + subFolder + "/";
}

void FakePresetHost::HoldApplying()
{
    std::lock_guard<std::mutex> guard(mutex);
    holding_ = true;
}

void FakePresetHost::Release()
{
    std::lock_guard<std::mutex> guard(mutex);
    holding_ = false;
    changed_.notify_all();
}

bool FakePresetHost::WaitUntilApplying()
{
    std::unique_lock<std::mutex> guard(mutex);
    return changed_.wait_for(guard, std::chrono::seconds(1), [this] { return applying_; });
}

void WriteBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes)
{
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<uint8_t> ReadBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteGzipBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes)
{
    std::filesystem::create_directories(path.parent_path());
    gzFile file = gzopen(path.c_str(), "wb");
    if (!bytes.empty()) gzwrite(file, bytes.data(), static_cast<unsigned>(bytes.size()));
    gzclose(file);
}

std::vector<uint8_t> PresetFileBytes(const char* name, const char* author, const std::vector<uint8_t>& state)
{
    std::vector<uint8_t> bytes(PresetFileHeader::kSize + state.size(), 0);
    bytes[3] = 1;
    std::memcpy(bytes.data() + PresetFileHeader::kNameOffset, name, std::strlen(name));
    std::memcpy(bytes.data() + PresetFileHeader::kAuthorOffset, author, std::strlen(author));
    const uint32_t length = static_cast<uint32_t>(state.size());
    bytes[602] = static_cast<uint8_t>(length >> 24);
    bytes[603] = static_cast<uint8_t>(length >> 16);
    bytes[604] = static_cast<uint8_t>(length >> 8);
    bytes[605] = static_cast<uint8_t>(length);
    std::copy(state.begin(), state.end(), bytes.begin() + PresetFileHeader::kSize);
    return bytes;
}

std::vector<uint8_t> LittleEndianWords(const std::vector<int32_t>& words)
{
    std::vector<uint8_t> bytes;
    for (int32_t word : words)
    {
        const uint32_t value = static_cast<uint32_t>(word);
        for (int shift = 0; shift < 32; shift += 8)
            bytes.push_back(static_cast<uint8_t>(value >> shift));
    }
    return bytes;
}
