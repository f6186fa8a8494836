// A helper program run as a child and fed through a pipe on its standard input: the video
// encoder of `lantern capture`. Started without a shell, in a process group of its own so
// that Ctrl-C at the terminal reaches only this program, which then decides what happens to
// the child; always waited for. What the child writes on its standard output and error is
// kept (the last few kilobytes) for the report of a failure. What every system shares (the
// waiting, killing and closing, the kept output, the error texts, the Windows command line)
// is child_process.cpp; child_process_posix.cpp starts the child with posix_spawn,
// child_process_windows.cpp with CreateProcess.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

// The command line CreateProcess hands to a Windows program for `path` and `arguments`, each
// quoted so that the program's C run-time splits it back into the same arguments: quoted
// when it is empty or holds a blank or a quote, a quote inside escaped, the backslashes
// before a quote doubled.
std::string WindowsCommandLine(const std::string& path, const std::vector<std::string>& arguments);

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
    // 1", "killed by signal 9"; "killed" when it was killed here).
    std::string Wait(const std::atomic<bool>* interrupted);
    // Ends the child at once and waits for it.
    void Kill();
    // The end of what it wrote on standard output and error, trimmed; complete after Wait.
    std::string Output() const;

private:
    // Runs on m_reader: keeps the tail of what the child writes, until it closes its output.
    void KeepOutput();
    void KeepChunk(const char* chunk, size_t size);
    // FatalError naming the program: it cannot start, for the system's reason.
    [[noreturn]] static void FailToStart(const std::string& path, const std::string& reason);

    // The system's calls under the shared steps.
    bool Started() const;            // a child is there that was not waited for yet
    void Terminate();                // ends it at once; it is still to be waited for
    bool Ended(std::string& ending); // without waiting: true once it ended, released, with how
    void CloseOutput();

    struct Handles; // the system's process and pipe handles, deleted where they are known
    struct DeleteHandles {
        void operator()(Handles* handles) const;
    };
    std::unique_ptr<Handles, DeleteHandles> m_handles;
    std::thread m_reader;
    std::string m_tail;
};
