// Standard streams and arguments on POSIX: as the process got them.
#include "platform/console.h"

#include <unistd.h>

void ConnectToConsole() {}

bool ErrorOutputIsTerminal()
{
    return ::isatty(STDERR_FILENO) == 1;
}

std::vector<std::string> CommandLineArguments(int argc, char** argv)
{
    return std::vector<std::string>(argv, argv + argc);
}
