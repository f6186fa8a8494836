// A helper program run as a child and fed through a pipe on its standard input: the video
// encoder of `lantern capture`. Started with posix_spawn, never through a shell, in a process
// group of its own so that Ctrl-C at the terminal reaches only this program, which then
// decides what happens to the child; always reaped. What the child writes on its standard
// output and error is kept (the last few kilobytes) for the report of a failure.
#pragma once

#include <atomic>
#include <string>
#include <string_view>
#include <thread>
#include <vector>
#include <sys/types.h>

class ChildProcess {
public:
    // The full path of `program` in the first folder of PATH that holds it as an executable
    // file, or "" when none does.
    static std::string FindOnPath(std::string_view program);

    // Starts `path` with `arguments` (argv[0] is `path`). FatalError when it cannot start.
    ChildProcess(const std::string& path, const std::vector<std::string>& arguments);
    // A child still running is killed and reaped.
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // The write end of the child's standard input (-1 once closed).
    int InputFd() const { return m_input; }
    // Closing it tells the child that the input is complete.
    void CloseInput();
    // Closes its input and waits for the child to end; when `interrupted` turns true
    // meanwhile, kills it. "" when it exited with status 0, else how it ended ("exit status
    // 1", "killed by signal 9").
    std::string Wait(const std::atomic<bool>* interrupted);
    // Ends the child at once (SIGKILL) and reaps it.
    void Kill();
    // The end of what it wrote on standard output and error, trimmed; complete after Wait.
    std::string Output() const;

private:
    pid_t m_pid = -1;
    int m_input = -1;
    int m_output = -1;
    std::thread m_reader;
    std::string m_tail;
};
