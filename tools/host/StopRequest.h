#pragma once
// Ctrl+C (SIGINT), SIGTERM and SIGHUP for the parts of quova_host that must end cleanly. While a
// StopRequest lives, the first such signal only asks the program to stop (Requested() turns
// true), so that it can finish what it does: the editor's run ends as if the window was closed and
// writes its files, the validator ends after the case it runs and removes its data folder. A
// second signal ends the program at once, as the signal does by default. A signal the program
// was started with ignored stays ignored.
//
// quova_host's own process only: a plug-in never installs signal handlers in its host's.
// Threads: made and destroyed on the main thread, one at a time; Requested() from any thread.

namespace quova::host
{

class StopRequest
{
public:
    StopRequest();  // installs the handlers
    ~StopRequest(); // puts back the ones it found
    StopRequest(const StopRequest&) = delete;
    StopRequest& operator=(const StopRequest&) = delete;

    // A signal asked to stop since the StopRequest was made.
    static bool Requested();
    // When a signal asked to stop: ends the program as that signal would have, so that a shell
    // sees the interrupt. Call once the clean-up is done.
    void EndIfSignalled();
};

} // namespace quova::host
