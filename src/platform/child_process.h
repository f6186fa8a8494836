// A helper program run as a child and fed through a pipe on its standard input: the video
// encoder of `lantern capture`. Started without a shell, in a process group of its own so
// that Ctrl-C at the terminal reaches only this program, which then decides what happens to
// the child; always waited for. What the child writes on its standard output and error is
// kept (the last few kilobytes) for the report of a failure. child_process_posix.cpp starts
// it with posix_spawn, child_process_windows.cpp with CreateProcess.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

class ChildProcess {
public:
    // The full path of `program`: on Linux the first folder of PATH that holds it as an
    // executable file; on Windows <program>.exe beside this program's executable, else in the
    // first folder of PATH that holds it. "" when none does.
    static std::string Find(std::string_view program);
    // What the user is told when Find found nothing: where it was looked for, and how to
    // provide it.
    static std::string NotFound(std::string_view program);

    // Starts `path` with `arguments` (argv[0] is `path`). FatalError when it cannot start.
    ChildProcess(const std::string& path, const std::vector<std::string>& arguments);
    // A child still running is killed and waited for.
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Writes all the bytes to the child's standard input, waiting while the pipe is full.
    // False, with the reason, once the child stopped reading or the input was closed.
    bool WriteInput(const uint8_t* bytes, size_t size, std::string& failure);
    // Closing it tells the child that the input is complete.
    void CloseInput();
    // Closes its input and waits for the child to end; when `interrupted` turns true
    // meanwhile, kills it. "" when it exited with status 0, else how it ended ("exit status
    // 1", "killed by signal 9").
    std::string Wait(const std::atomic<bool>* interrupted);
    // Ends the child at once and waits for it.
    void Kill();
    // The end of what it wrote on standard output and error, trimmed; complete after Wait.
    std::string Output() const;

private:
    // Runs on m_reader: keeps the tail of what the child writes, until it closes its output.
    void KeepOutput();
    void KeepChunk(const char* chunk, size_t size);

    struct Handles; // the system's process and pipe handles
    std::unique_ptr<Handles> m_handles;
    std::thread m_reader;
    std::string m_tail;
};
