#include "presets/PresetLoader.h"

#include <system_error>

#include "framework/EffectLock.h"
#include "framework/IStateChunk.h"
#include "presets/GzipFile.h"
#include "presets/PresetFileHeader.h"
#include "presets/PresetHost.h"

bool ApplyPresetFileChunk(const IStateChunk& chunk, PresetHost* host)
{
    bool applied = false;
    if (chunk.Size() >= PresetFileHeader::kSize)
    {
        const PresetFileHeader header = PresetFileHeader::Parse(chunk.Data(), chunk.Size());
        host->GrayOutPresetControls(true);
        {
            IEffectLockGuard guard(host->GetPresetLock());
            applied = host->ReadPresetState(chunk, PresetFileHeader::kSize);
            // The texts go in under the lock: the host's thread reads them when it saves the state.
            if (applied) host->SetPresetTexts(header.texts);
        }
        host->GrayOutPresetControls(false);
        host->RedrawPatternView();
    }
    if (!applied) host->ShowStatusText(kPresetLoadFailedText);
    return applied;
}

bool LoadPresetFileThread(const std::string& path, PresetHost* host, int64_t size)
{
    IStateChunk chunk;
    if (!ReadGzipFile(path, size, &chunk))
    {
        host->ShowStatusText(kPresetLoadFailedText);
        return false;
    }
    return ApplyPresetFileChunk(chunk, host);
}

PresetLoader::PresetLoader(PresetHost* host) : host_(host) {}

PresetLoader::~PresetLoader()
{
    Join();
}

bool PresetLoader::Start(const std::string& path, int64_t size, const std::function<void()>& started)
{
    bool expected = false;
    if (!host_->PresetLoadingFlag().compare_exchange_strong(expected, true)) return false;
    // On the starting thread, which tells whether the user asked for the load.
    host_->NoteEditorEdit();
    // Before the worker exists: the worker reads what the box shows when it applies the state.
    if (started) started();
    std::lock_guard<std::mutex> guard(threadMutex_);
    // The previous worker cleared the flag as its last act: it is ending and holds no lock.
    if (worker_.joinable()) worker_.join();
    try
    {
        worker_ = std::thread(
            [host = host_, path, size]
            {
                LoadPresetFileThread(path, host, size);
                host->PresetLoadingFlag().store(false);
            });
    }
    catch (const std::system_error&)
    {
        host_->ShowStatusText(kPresetLoadFailedText);
        host_->PresetLoadingFlag().store(false);
        return false;
    }
    return true;
}

void PresetLoader::Join()
{
    std::lock_guard<std::mutex> guard(threadMutex_);
    if (worker_.joinable()) worker_.join();
}

bool PresetLoader::IsLoading() const
{
    return host_->PresetLoadingFlag().load();
}
