// What every system's child process shares: waiting for it, killing it, closing its pipes,
// the kept tail of its output, the error texts, and the Windows command line.
#include "platform/child_process.h"

#include "base/error.h"

#include <chrono>

namespace {

constexpr size_t kKeptOutputBytes = 8192;

// One argument as a Windows program's C run-time splits its command line again.
std::string QuoteArgument(const std::string& argument)
{
    if (!argument.empty() && argument.find_first_of(" \t\n\v\"") == std::string::npos) return argument;
    std::string quoted = "\"";
    size_t backslashes = 0;
    for (const char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
        backslashes = 0;
        quoted.push_back(c);
    }
    quoted.append(backslashes * 2, '\\');
    quoted.push_back('"');
    return quoted;
}

} // namespace

std::string WindowsCommandLine(const std::string& path, const std::vector<std::string>& arguments)
{
    std::string commandLine = QuoteArgument(path);
    for (const std::string& argument : arguments) {
        commandLine.push_back(' ');
        commandLine += QuoteArgument(argument);
    }
    return commandLine;
}

void ChildProcess::FailToStart(const std::string& path, const std::string& reason)
{
    ThrowFileError(path, "cannot start (" + reason + ")");
}

ChildProcess::~ChildProcess()
{
    if (Started()) Kill();
    CloseInput();
    if (m_reader.joinable()) m_reader.join();
    CloseOutput();
}

std::string ChildProcess::Wait(const std::atomic<bool>* interrupted)
{
    CloseInput();
    bool killed = false;
    std::string ending;
    while (Started() && !Ended(ending)) {
        if (interrupted && *interrupted && !killed) {
            Terminate();
            killed = true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    if (m_reader.joinable()) m_reader.join();
    CloseOutput();
    return killed ? "killed" : ending;
}

void ChildProcess::Kill()
{
    if (!Started()) return;
    Terminate();
    Wait(nullptr);
}

void ChildProcess::KeepChunk(const char* chunk, size_t size)
{
    m_tail.append(chunk, size);
    if (m_tail.size() > 2 * kKeptOutputBytes) m_tail.erase(0, m_tail.size() - kKeptOutputBytes);
}

std::string ChildProcess::Output() const
{
    std::string text = m_tail.size() > kKeptOutputBytes ? m_tail.substr(m_tail.size() - kKeptOutputBytes) : m_tail;
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) text.pop_back();
    return text;
}
