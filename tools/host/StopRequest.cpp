#include "tools/host/StopRequest.h"

#include <atomic>
#include <csignal>
#include <iterator>

namespace quova::host
{
namespace
{
constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};
// Set by the handler: lock-free, so that a handler may touch it.
std::atomic<int> gSignal{0};
static_assert(std::atomic<int>::is_always_lock_free);
struct sigaction gPrevious[std::size(kSignals)];

void OnSignal(int number)
{
    gSignal.store(number);
}
} // namespace

StopRequest::StopRequest()
{
    gSignal.store(0);
    struct sigaction action
    {
    };
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    // The handler goes with the first signal: a second one takes the default action.
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    for (std::size_t i = 0; i < std::size(kSignals); ++i)
    {
        // A signal ignored when the program started stays ignored (a job started in the background
        // of a shell is not meant to hear the terminal's Ctrl+C).
        sigaction(kSignals[i], nullptr, &gPrevious[i]);
        if (gPrevious[i].sa_handler != SIG_IGN) sigaction(kSignals[i], &action, nullptr);
    }
}

StopRequest::~StopRequest()
{
    for (std::size_t i = 0; i < std::size(kSignals); ++i)
        sigaction(kSignals[i], &gPrevious[i], nullptr);
}

bool StopRequest::Requested()
{
    return gSignal.load() != 0;
}

void StopRequest::EndIfSignalled()
{
    const int number = gSignal.load();
    if (number == 0) return;
    std::signal(number, SIG_DFL);
    std::raise(number);
}

} // namespace quova::host
