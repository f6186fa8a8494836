// Child processes on pipes, started with CreateProcess (Windows): no console window of its
// own, a process group of its own (Ctrl-C reaches only this program), handles inherited
// only for its standard input, output and error.
#include "platform/child_process.h"

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

void ChildProcess::DeleteHandles::operator()(Handles* handles) const
{
    delete handles;
}

namespace {

void CloseOne(HANDLE& handle)
{
    if (handle) CloseHandle(handle);
    handle = nullptr;
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
    : m_handles(new Handles)
{
    HANDLE childInput = nullptr, childOutput = nullptr;
    if (!MakePipe(childInput, m_handles->input, true)) FailToStart(path, WindowsErrorText(GetLastError()));
    if (!MakePipe(m_handles->output, childOutput, false)) {
        const DWORD error = GetLastError();
        CloseOne(childInput);
        CloseOne(m_handles->input);
        FailToStart(path, WindowsErrorText(error));
    }
    std::wstring commandLine = WidenUtf8(WindowsCommandLine(path, arguments));

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
        FailToStart(path, WindowsErrorText(error));
    }
    CloseHandle(process.hThread);
    m_handles->process = process.hProcess;
    m_reader = std::thread([this] { KeepOutput(); });
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

void ChildProcess::CloseOutput()
{
    CloseOne(m_handles->output);
}

bool ChildProcess::Started() const
{
    return m_handles->process != nullptr;
}

void ChildProcess::Terminate()
{
    TerminateProcess(m_handles->process, 1);
}

bool ChildProcess::Ended(std::string& ending)
{
    if (WaitForSingleObject(m_handles->process, 0) == WAIT_TIMEOUT) return false;
    DWORD status = 0;
    GetExitCodeProcess(m_handles->process, &status);
    CloseOne(m_handles->process);
    ending = status == 0 ? std::string() : "exit status " + std::to_string(status);
    return true;
}
