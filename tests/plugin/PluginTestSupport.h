// Helpers of the plug-in tests: a temporary data folder (the platform's common application-data
// folder is redirected into it) and an in-process host callback that names a product and answers
// time requests from a record the test fills.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

#include "framework/IStateChunk.h"
#include "platform/vst/VstAbi.h"
#include "plugin/Tobel.h"

namespace quova::test
{

// The symbols a shared object defines, as nm lists them (name -> address relative to the object's
// load base): only those it exports (its dynamic symbols), or every one of its symbol table.
inline std::map<std::string, uint64_t> DefinedSymbols(const std::string& path, bool exportedOnly)
{
    std::map<std::string, uint64_t> symbols;
    const std::string command =
        std::string("nm --defined-only ") + (exportedOnly ? "-D '" : "'") + path + "' 2>/dev/null";
    FILE* nm = popen(command.c_str(), "r");
    if (nm == nullptr) return symbols;
    char line[4096];
    while (std::fgets(line, sizeof line, nm) != nullptr)
    {
        unsigned long long value = 0;
        char type = 0;
        char name[4000] = {};
        if (std::sscanf(line, "%llx %c %3999s", &value, &type, name) == 3) symbols[name] = value;
    }
    pclose(nm);
    return symbols;
}

// A fresh, empty data root for one test; removed again at the end.
class TempDataFolder
{
public:
    TempDataFolder()
    {
        static int counter = 0;
        root_ = std::filesystem::temp_directory_path() /
                ("quova-plugin-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
        std::filesystem::remove_all(root_);
        std::filesystem::create_directories(root_);
        previous_ = std::getenv("XDG_DATA_HOME") ? std::getenv("XDG_DATA_HOME") : "";
        ::setenv("XDG_DATA_HOME", root_.c_str(), 1);
    }
    ~TempDataFolder()
    {
        if (previous_.empty())
            ::unsetenv("XDG_DATA_HOME");
        else
            ::setenv("XDG_DATA_HOME", previous_.c_str(), 1);
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
    TempDataFolder(const TempDataFolder&) = delete;
    TempDataFolder& operator=(const TempDataFolder&) = delete;

    std::filesystem::path Root() const { return root_; }
    std::filesystem::path SettingsFile() const { return root_ / "Tobel/Quova/data/settings.qva"; }

    // Writes the settings file with the given content (folders made first).
    void WriteSettings(const std::string& content) const
    {
        std::filesystem::create_directories(SettingsFile().parent_path());
        std::ofstream(SettingsFile(), std::ios::binary) << content;
    }
    std::string ReadSettings() const
    {
        std::ifstream in(SettingsFile(), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

private:
    std::filesystem::path root_;
    std::string previous_;
};

// An in-process host: product text, time info and collected MIDI. One at a time.
struct FakeHost
{
    std::string product = "Fake Host";
    bool answerTime = true;
    VstTimeInfo time{};
    std::vector<VstMidiEvent> midi;
    // Set by a test while it is in the plug-in's processing call: events the plug-in sends at any
    // other time are counted (some hosts take a plug-in's events only while it processes a block).
    bool processing = false;
    int sentOutsideProcessing = 0;

    static inline FakeHost* current = nullptr;
    FakeHost()
    {
        current = this;
        time.sampleRate = 44100.0;
        time.tempo = 120.0;
        time.timeSigNumerator = 4;
        time.timeSigDenominator = 4;
        time.flags = vst::kVstTempoValid | vst::kVstPpqPosValid | vst::kVstTimeSigValid;
    }
    ~FakeHost() { current = nullptr; }
    FakeHost(const FakeHost&) = delete;
    FakeHost& operator=(const FakeHost&) = delete;

    static VstIntPtr Callback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void* ptr, float)
    {
        FakeHost* host = current;
        if (host == nullptr) return 0;
        switch (opcode)
        {
        case vst::audioMasterGetTime:
            return host->answerTime ? reinterpret_cast<VstIntPtr>(&host->time) : 0;
        case vst::audioMasterGetProductString:
            std::snprintf(static_cast<char*>(ptr), 64, "%s", host->product.c_str());
            return 1;
        case vst::audioMasterGetVendorVersion:
            return 10000;
        case vst::audioMasterProcessEvents:
        {
            const VstEvents* events = static_cast<const VstEvents*>(ptr);
            if (!host->processing) host->sentOutsideProcessing += events->numEvents;
            for (int i = 0; i < events->numEvents; ++i)
                if (events->events[i]->type == vst::kVstMidiType)
                    host->midi.push_back(*reinterpret_cast<const VstMidiEvent*>(events->events[i]));
            return 1;
        }
        default:
            return 0;
        }
    }
};

// The plug-in's state as bytes.
inline std::vector<uint8_t> StateBytes(Tobel& plug)
{
    IStateChunk chunk;
    plug.WriteState(&chunk);
    return std::vector<uint8_t>(chunk.Data(), chunk.Data() + chunk.Size());
}

inline void ToChunk(const std::vector<uint8_t>& bytes, IStateChunk* chunk)
{
    chunk->Clear();
    if (!bytes.empty()) chunk->PutBytes(bytes.data(), static_cast<int>(bytes.size()));
}

// Reads bytes as a state; the ReadState result.
inline int ReadBytes(Tobel& plug, const std::vector<uint8_t>& bytes, bool presetFile = false)
{
    IStateChunk chunk;
    ToChunk(bytes, &chunk);
    return plug.ReadState(&chunk, 0, presetFile);
}

} // namespace quova::test
