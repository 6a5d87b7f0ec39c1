#pragma once
// The record behind HMODULE and HRSRC: a module is a table of resources, each a type,
// an integer id, a name and a block of bytes followed by one zero byte.
//
// The build makes the plug-in's table from resources/resources.txt: one resource a line,
//     <type> <id> <path from the repository root>
// e.g. "PNG 101 resources/images/background.png"; '#' starts a comment. Types are
// letters, digits and '_'; ids 1..65535, unique per type; the path is also the
// resource's name. quova_resource_table() in ResourceTable.cmake does the same for any
// list (tests use their own).

#include <cstddef>
#include <cstdint>

struct PlatformResource
{
    const char* type;
    uint16_t id;
    const char* name;
    const unsigned char* data; // size bytes and a zero byte
    const uint32_t* size;
};

struct PlatformModule
{
    const PlatformResource* resources; // may be null when count is 0
    size_t count;
};
