// Running lantern, lantern-tool, ffmpeg and ffprobe from the capture tests, as a user would:
// the arguments as they are (no shell), standard output and error kept apart.
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

struct ProgramRun {
    int exitCode = -1; // 128 + the signal's number when a signal ended it
    std::string out;
    std::string err;
};

// Runs program (found on PATH unless it holds a slash) with arguments; `environment` entries
// ("NAME=value") replace those of this process. Waits for it to end.
ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                      const std::vector<std::string>& environment = {});

// Starts it without waiting, its output discarded into `logPath`; returns its process id.
pid_t StartProgram(const std::string& program, const std::vector<std::string>& arguments,
                   const std::string& logPath);
// Waits for a started program; its exit code as RunProgram gives it.
int WaitProgram(pid_t pid);

std::string LanternPath();
