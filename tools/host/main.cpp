// quova_host: a small command-line VST 2.4 host. See HostUsage for the options.
#include "tools/host/HostOptions.h"
#include "tools/host/HostSession.h"
#include "tools/host/Validator.h"

#include <iostream>

int main(int argc, char** argv)
{
    using namespace quova::host;
    std::string program = argc > 0 && argv[0] ? argv[0] : "quova_host";
    program = program.substr(program.find_last_of('/') + 1);
    std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
    HostOptions options;
    std::string error;
    switch (ParseHostOptions(arguments, options, error))
    {
    case ParseOutcome::Help:
        std::cout << HostUsage(program);
        return 0;
    case ParseOutcome::Error:
        std::cerr << "quova_host: " << error << "\n\n" << HostUsage(program);
        return 2;
    case ParseOutcome::Run:
        break;
    }
    if (options.validate)
        return RunValidation({options.modulePath, options.knownFailures, options.validateOnly}, std::cout,
                             std::cerr);
    return RunHostSession(options, std::cout, std::cerr);
}
