#pragma once

#include <cstdint>

// The process-wide random source of the "Random" note choice and the shared
// step-event sequence counter. Both are safe to use from several plug-in
// instances processed on several threads at once.
namespace quova
{
// A position drawn uniformly from 0..count-1 by the process-wide 32-bit
// Mersenne Twister (seeded once from the platform's random source); -1 when
// count is below 1 (nothing is drawn then). Any thread.
int RandomIndex(int count);

// Test hook: reseeds the process-wide engine so that its draws repeat.
void SeedRandomEngine(std::uint32_t seed);

// The next number of the sequence shared by all steppers (starts at 1).
std::uint32_t NextStepSequence();
} // namespace quova
