// IndexChangedListener: what a preset box does with the files of its folder menu. The menu calls
// it when an entry is chosen and when a file is saved into the user folder.
#pragma once

#include <cstdint>
#include <istream>
#include <ostream>
#include <string>

class IStateChunk;

class IndexChangedListener
{
public:
    virtual ~IndexChangedListener() = default;
    // An entry was chosen: name is its text (empty when the chosen id has no entry).
    virtual void OnNameChosen(const std::string& name) = 0;
    // Writes the box's file contents to out (chunk: the preset file's bytes, when the box has them).
    // False when nothing or not everything was written.
    virtual bool WriteToStream(std::ostream& out, const IStateChunk* chunk) = 0;
    // Reads a file of the box's kind from in and applies it; name is the entry's text. False (and
    // nothing applied) when the file is refused.
    virtual bool ReadFromStream(std::istream& in, const std::string& name) = 0;
    // Writes chunk compressed to path. False on failure.
    virtual bool WriteCompressedFile(const std::string& path, const IStateChunk* chunk) = 0;
    // Starts loading the file at path (size: its size on disk); name is the entry's text.
    virtual void LoadFile(int64_t size, const std::string& path, const std::string& name) = 0;
};
