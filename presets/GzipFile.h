// The gzip file interface of the preset files: a whole file read into a state chunk, and a chunk
// written as one gzip stream. zlib's reader passes data that is not gzip through unchanged, so a
// plain preset file reads the same way as a compressed one.
//
// Any thread; the functions share no state.
#pragma once

#include <cstdint>
#include <string>

class IStateChunk;

// Decompressed files larger than this are refused: a real preset is under a megabyte, and the
// limit keeps a hostile file from filling memory.
inline constexpr int64_t kMaxPresetFileBytes = 64 * 1024 * 1024;

// Reads the whole file at path, decompressed, appending it to chunk in pieces of up to 1023
// bytes until a piece comes back short. sizeHint (the file's size on disk, or -1) is only a hint.
// Returns false when the file cannot be opened, when zlib reports a read error (a corrupt or
// truncated gzip stream) or when the data exceeds kMaxPresetFileBytes; chunk then keeps what was
// read so far and the caller must not use it.
bool ReadGzipFile(const std::string& path, int64_t sizeHint, IStateChunk* chunk);

// Writes size bytes as one gzip stream to path. The data goes to a temporary file beside path,
// which replaces path only when every write and the close succeeded, so a failed save leaves an
// existing file intact. False on any failure (no temporary file is left).
bool WriteGzipFile(const std::string& path, const uint8_t* data, int size);
