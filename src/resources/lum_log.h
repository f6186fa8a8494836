// lum_log: the loading log. Log appends "<time of day> : <message>" and CR LF to
// "loading.log" in the working folder, opening and closing it on every call, while
// LogEnabled is true. The start-up sequence switches it off unless --log asks to keep it.
#pragma once

#include <string_view>

extern bool LogEnabled;

void Log(std::string_view message);

// Data the load goes on without, said out loud: "warning: <file>: <fault>" in the log (when
// it is on) and through Warn (base/warning.h) on stderr.
void LogWarning(std::string_view file, std::string_view fault);
