#include "engine/Random.h"

#include <atomic>
#include <mutex>
#include <random>

namespace quova
{
namespace
{
struct SharedEngine
{
    std::mutex lock;
    std::mt19937 engine{std::random_device{}()};
};

SharedEngine& Engine()
{
    static SharedEngine shared;
    return shared;
}

std::atomic<std::uint32_t> g_sequence{0};
} // namespace

int RandomIndex(int count)
{
    if (count < 1) return -1;
    SharedEngine& shared = Engine();
    std::uniform_int_distribution<int> draw(0, count - 1);
    std::lock_guard<std::mutex> guard(shared.lock);
    return draw(shared.engine);
}

void SeedRandomEngine(std::uint32_t seed)
{
    SharedEngine& shared = Engine();
    std::lock_guard<std::mutex> guard(shared.lock);
    shared.engine.seed(seed);
}

std::uint32_t NextStepSequence()
{
    return g_sequence.fetch_add(1, std::memory_order_relaxed) + 1;
}
} // namespace quova
