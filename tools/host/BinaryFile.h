#pragma once
// Whole-file reads and writes for the host's chunk files.

#include <cstdint>
#include <string>
#include <vector>

namespace quova::host
{

// Reads the whole file (at most 256 MiB). False with a message in error, and
// data unchanged, when it cannot be read.
bool ReadBinaryFile(const std::string& path, std::vector<uint8_t>& data, std::string& error);

// Writes data as the whole file, replacing it. False with a message in error
// when it cannot be written completely.
bool WriteBinaryFile(const std::string& path, const std::vector<uint8_t>& data, std::string& error);

} // namespace quova::host
