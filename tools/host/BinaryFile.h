#pragma once
// Whole-file reads and writes for the host's chunk files, and the reasons when they fail: each
// message names the file and says what the system said ("cannot open song.chunk: No such file or
// directory").

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

// Whether the file can be written (made, or opened for writing when it is there), leaving the file
// system as it was; false with the reason in error. For files written only after a long run.
bool CanWriteFile(const std::string& path, std::string& error);

// "<what> <path>: <the system's text for the error number>".
std::string FileError(const std::string& what, const std::string& path, int number);

} // namespace quova::host
