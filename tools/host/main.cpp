// quova_host: a small command-line VST 2.4 host. See HostUsage for the options.
#include "tools/host/HostSession.h"

#include <iostream>

int main(int argc, char** argv)
{
    std::string program = argc > 0 && argv[0] ? argv[0] : "quova_host";
    program = program.substr(program.find_last_of('/') + 1);
    const std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
    return quova::host::RunCommandLine(program, arguments, std::cout, std::cerr);
}
