#pragma once
// The product's version as the module reports it: the one place it is written. The top
// CMakeLists.txt reads the three numbers from here into the project's VERSION.

namespace quova
{
constexpr int kVersionMajor = 1;
constexpr int kVersionMinor = 2;
constexpr int kVersionPatch = 4;
// The same packed as the plug-in framework takes it: 0xMMMMmmbb (1.2.4 is 0x00010204).
constexpr int kVersionPacked = (kVersionMajor << 16) | (kVersionMinor << 8) | kVersionPatch;
} // namespace quova
