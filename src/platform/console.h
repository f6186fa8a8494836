// The program's standard streams and command line as its system hands them over. On Windows
// lantern.exe is a window program: started from Explorer it opens no console, and started
// from a console it is given none unless it asks (console_windows.cpp); its arguments arrive
// in UTF-16 and are given to the program in UTF-8, the encoding of every path it keeps.
#pragma once

#include <string>
#include <vector>

// Makes standard output and error reach the console the program was started from, where
// the system does not do it by itself; nothing when they lead somewhere already (a file, a
// pipe, a terminal).
void ConnectToConsole();
// True when standard error is a terminal that shows a progress line.
bool ErrorOutputIsTerminal();
// The command line's arguments, program name first, in UTF-8.
std::vector<std::string> CommandLineArguments(int argc, char** argv);
