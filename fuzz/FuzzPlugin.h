#pragma once
// What the fuzz targets share: one plug-in instance made through the entry
// (opened, at 44100 Hz, resumed) that lives for the whole fuzzing process, a
// host callback with a playing transport that swallows the plug-in's events,
// and a private data folder for the targets that read files from it.

#include "platform/vst/VstAbi.h"

#include <cstddef>
#include <cstdint>
#include <string>

class Tobel;

namespace quova::fuzz
{

// The shared instance's effect record, made on first use (in the private data
// folder).
AEffect* FuzzEffect();
// The plug-in class behind it.
Tobel& FuzzPlug();
// Processes one block of frames (1..4096) with the host's transport moving on.
void FuzzProcess(int32_t frames);
// Points the data folder at a fresh folder of this process (once); later
// calls do nothing. Call from LLVMFuzzerInitialize, before any file is read.
void UsePrivateDataFolder();
// Replaces the file at path with size bytes of data; false when it cannot.
bool WriteWholeFile(const std::string& path, const uint8_t* data, std::size_t size);

} // namespace quova::fuzz
