// Standard streams and arguments on Windows.
#include "platform/console.h"

#include "system/utf16.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <io.h>

namespace {

bool LeadsSomewhere(DWORD which)
{
    const HANDLE handle = GetStdHandle(which);
    return handle && handle != INVALID_HANDLE_VALUE && GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

} // namespace

void ConnectToConsole()
{
    // A script that redirects the streams has handed them over already; only a window
    // program started at a console prompt has none and must attach to the prompt's console.
    if (LeadsSomewhere(STD_ERROR_HANDLE) || !AttachConsole(ATTACH_PARENT_PROCESS)) return;
    if (!LeadsSomewhere(STD_OUTPUT_HANDLE)) std::freopen("CONOUT$", "w", stdout);
    std::freopen("CONOUT$", "w", stderr);
}

bool ErrorOutputIsTerminal()
{
    return _isatty(_fileno(stderr)) != 0;
}

std::vector<std::string> CommandLineArguments(int argc, char** argv)
{
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!wide) return std::vector<std::string>(argv, argv + argc);
    std::vector<std::string> arguments;
    for (int i = 0; i < count; ++i) arguments.push_back(NarrowToUtf8(wide[i]));
    LocalFree(wide);
    return arguments;
}
