#pragma once
// Module resources of the headless platform: read-only byte blocks compiled into the
// module, found by type and integer id.
//
// What it implements:
//   [x] FindResourceA by integer id (MAKEINTRESOURCEA) or by name, for a type given as a
//       string ("PNG", "TEXTFILE"; compared without case); integer types are refused
//   [x] SizeofResource, LoadResource, LockResource over the module's table
//   [x] every resource is followed by one zero byte that SizeofResource does not count,
//       so text resources read as zero-terminated text
//   [x] the plug-in module (PluginModule()), whose table the build generates from
//       resources/resources.txt (see ResourceTable.h); a null module means that one
// Left out: language variants, integer resource types, resource enumeration.
// All calls are thread-safe (the tables are constant).

#include "platform/types/Win32Types.h"

#include <cstdint>

// Integer ids are given with MAKEINTRESOURCEA (Win32Types.h).

// The resource of `type` named `name` (an integer id or a name) in module; null when the
// module has none, when type is null or an integer, or when name is null.
HRSRC FindResourceA(HMODULE module, LPCSTR name, LPCSTR type);
// The size in bytes of a resource found in module (the trailing zero not counted); 0 for
// a resource that is not module's.
DWORD SizeofResource(HMODULE module, HRSRC resource);
// A handle to the resource's bytes; null for a resource that is not module's.
HGLOBAL LoadResource(HMODULE module, HRSRC resource);
// The first byte of the resource (read-only; a zero byte follows its last one).
const void* LockResource(HGLOBAL data);

// The module of this plug-in, holding the resources the build embedded. Never null.
HMODULE PluginModule();
