// VisitedFolders: the folders one walk of a folder tree has entered, known by device and inode.
// The preset walks follow folder links; asking here before entering a folder enters each folder
// once, so a link back up the tree ends the walk there while a link to a folder elsewhere is
// still followed.
//
// Not thread-safe: one walk, one thread. Copyable (a plain set).
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <utility>

class VisitedFolders
{
public:
    // True when the folder at path (links followed) was not entered before; it counts as entered
    // from now on. False when it was entered before or cannot be examined, or is no folder.
    bool Enter(const std::string& path);
    // The number of folders entered so far.
    size_t Count() const { return entered_.size(); }

private:
    std::set<std::pair<uint64_t, uint64_t>> entered_;
};
