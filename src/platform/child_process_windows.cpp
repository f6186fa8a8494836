// Child processes on pipes, started with CreateProcess (Windows): no console window of its
// own, a process group of its own (Ctrl-C reaches only this program), handles inherited
// only for its standard input, output and error.
#include "platform/child_process.h"

#include "base/error.h"
#include "platform/program_folder.h"
#include "system/file_system.h"
#include "system/utf16.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <algorithm>
#include <cstdlib>

struct ChildProcess::Handles {
    HANDLE process = nullptr;
    HANDLE input = nullptr;
    HANDLE output = nullptr;
};

namespace {

void CloseOne(HANDLE& handle)
{
    if (handle) CloseHandle(handle);
    handle = nullptr;
}

// One argument as the C run-time of the child splits its command line again: quoted when it
// holds a blank or a quote, backslashes doubled before a quote.
std::wstring QuoteArgument(const std::wstring& argument)
{
    if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos) return argument;
    std::wstring quoted = L"\"";
    size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted.push_back(c);
    }
    quoted.append(backslashes * 2, L'\\');
    quoted.push_back(L'"');
    return quoted;
}

// A pipe whose one end the child inherits.
bool MakePipe(HANDLE& read, HANDLE& write, bool childReads)
{
    SECURITY_ATTRIBUTES security{sizeof security, nullptr, TRUE};
    if (!CreatePipe(&read, &write, &security, 1 << 20)) return false;
    SetHandleInformation(childReads ? write : read, HANDLE_FLAG_INHERIT, 0);
    return true;
}

} // namespace

std::string ChildProcess::Find(std::string_view program)
{
    if (program.empty()) return {};
    const std::string name = std::string(program) + ".exe";
    if (program.find_first_of("/\\:") != std::string_view::npos)
        return KindOfPath(std::string(program)) == PathKind::File ? std::string(program) : std::string();
    std::string candidate = ProgramFolder() + "\\" + name;
    if (KindOfPath(candidate) == PathKind::File) return candidate;
    const wchar_t* variable = _wgetenv(L"PATH");
    const std::string folders = variable ? NarrowToUtf8(variable) : std::string();
    size_t start = 0;
    while (start < folders.size()) {
        size_t end = folders.find(';', start);
        if (end == std::string::npos) end = folders.size();
        std::string folder = folders.substr(start, end - start);
        if (folder.size() >= 2 && folder.front() == '"' && folder.back() == '"') folder = folder.substr(1, folder.size() - 2);
        candidate = folder + "\\" + name;
        if (!folder.empty() && KindOfPath(candidate) == PathKind::File) return candidate;
        start = end + 1;
    }
    return {};
}

std::string ChildProcess::NotFound(std::string_view program)
{
    const std::string name = std::string(program) + ".exe";
    return name + " was found neither beside lantern.exe nor on PATH; put " + name + " beside lantern.exe";
}

ChildProcess::ChildProcess(const std::string& path, const std::vector<std::string>& arguments)
    : m_handles(std::make_unique<Handles>())
{
    HANDLE childInput = nullptr, childOutput = nullptr;
    if (!MakePipe(childInput, m_handles->input, true))
        ThrowFileError(path, "cannot start (" + WindowsErrorText(GetLastError()) + ")");
    if (!MakePipe(m_handles->output, childOutput, false)) {
        const DWORD error = GetLastError();
        CloseOne(childInput);
        CloseOne(m_handles->input);
        ThrowFileError(path, "cannot start (" + WindowsErrorText(error) + ")");
    }
    std::wstring commandLine = QuoteArgument(WidenUtf8(path));
    for (const std::string& argument : arguments) commandLine += L" " + QuoteArgument(WidenUtf8(argument));

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = childInput;
    startup.hStdOutput = childOutput;
    startup.hStdError = childOutput;
    PROCESS_INFORMATION process{};
    const BOOL started = CreateProcessW(WidenUtf8(path).c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                                        CREATE_NO_WINDOW | CREATE_NEW_PROCESS_GROUP, nullptr, nullptr, &startup,
                                        &process);
    const DWORD error = GetLastError();
    CloseOne(childInput);
    CloseOne(childOutput);
    if (!started) {
        CloseOne(m_handles->input);
        CloseOne(m_handles->output);
        ThrowFileError(path, "cannot start (" + WindowsErrorText(error) + ")");
    }
    CloseHandle(process.hThread);
    m_handles->process = process.hProcess;
    m_reader = std::thread([this] { KeepOutput(); });
}

ChildProcess::~ChildProcess()
{
    if (m_handles->process) Kill();
    CloseOne(m_handles->input);
    if (m_reader.joinable()) m_reader.join();
    CloseOne(m_handles->output);
}

void ChildProcess::KeepOutput()
{
    char chunk[4096];
    DWORD got = 0;
    while (ReadFile(m_handles->output, chunk, sizeof chunk, &got, nullptr) && got > 0) KeepChunk(chunk, got);
}

bool ChildProcess::WriteInput(const uint8_t* bytes, size_t size, std::string& failure)
{
    size_t written = 0;
    while (written < size) {
        const DWORD part = static_cast<DWORD>(std::min<size_t>(size - written, 1u << 30));
        DWORD done = 0;
        if (!m_handles->input || !WriteFile(m_handles->input, bytes + written, part, &done, nullptr) || done == 0) {
            failure = m_handles->input ? WindowsErrorText(GetLastError()) : "the input is closed";
            return false;
        }
        written += done;
    }
    return true;
}

void ChildProcess::CloseInput()
{
    CloseOne(m_handles->input);
}

std::string ChildProcess::Wait(const std::atomic<bool>* interrupted)
{
    CloseInput();
    bool killed = false;
    while (WaitForSingleObject(m_handles->process, 5) == WAIT_TIMEOUT) {
        if (interrupted && *interrupted && !killed) {
            TerminateProcess(m_handles->process, 1);
            killed = true;
        }
    }
    DWORD status = 0;
    GetExitCodeProcess(m_handles->process, &status);
    CloseOne(m_handles->process);
    if (m_reader.joinable()) m_reader.join();
    CloseOne(m_handles->output);
    if (killed) return "killed";
    return status == 0 ? std::string() : "exit status " + std::to_string(status);
}

void ChildProcess::Kill()
{
    if (!m_handles->process) return;
    TerminateProcess(m_handles->process, 1);
    Wait(nullptr);
}
