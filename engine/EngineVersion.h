#pragma once

namespace quova
{
// The product's version as the module reports it.
constexpr int kVersionMajor = 1;
constexpr int kVersionMinor = 2;
constexpr int kVersionPatch = 4;
} // namespace quova
