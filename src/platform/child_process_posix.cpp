// Child processes on pipes, spawned without a shell (POSIX).
#include "platform/child_process.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

struct ChildProcess::Handles {
    pid_t pid = -1;
    int input = -1;
    int output = -1;
};

void ChildProcess::DeleteHandles::operator()(Handles* handles) const
{
    delete handles;
}

namespace {

bool IsExecutableFile(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

std::string DescribeStatus(int status)
{
    if (WIFEXITED(status))
        return WEXITSTATUS(status) == 0 ? std::string() : "exit status " + std::to_string(WEXITSTATUS(status));
    if (WIFSIGNALED(status)) return "killed by signal " + std::to_string(WTERMSIG(status));
    return "ended with status " + std::to_string(status);
}

void CloseFd(int& fd)
{
    if (fd >= 0) ::close(fd);
    fd = -1;
}

// Spawn attributes: the child's own process group, default signal actions (this program
// ignores SIGPIPE and catches SIGINT while it captures) and no blocked signals.
class SpawnAttributes {
public:
    SpawnAttributes()
    {
        posix_spawnattr_init(&m_attributes);
        sigset_t defaults;
        sigemptyset(&defaults);
        for (int signal : {SIGPIPE, SIGINT, SIGTERM, SIGHUP}) sigaddset(&defaults, signal);
        sigset_t none;
        sigemptyset(&none);
        posix_spawnattr_setsigdefault(&m_attributes, &defaults);
        posix_spawnattr_setsigmask(&m_attributes, &none);
        posix_spawnattr_setpgroup(&m_attributes, 0);
        posix_spawnattr_setflags(&m_attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
    }
    ~SpawnAttributes() { posix_spawnattr_destroy(&m_attributes); }
    SpawnAttributes(const SpawnAttributes&) = delete;
    SpawnAttributes& operator=(const SpawnAttributes&) = delete;
    const posix_spawnattr_t* Get() const { return &m_attributes; }

private:
    posix_spawnattr_t m_attributes;
};

} // namespace

std::string ChildProcess::Find(std::string_view program)
{
    if (program.empty()) return {};
    if (program.find('/') != std::string_view::npos)
        return IsExecutableFile(std::string(program)) ? std::string(program) : std::string();
    const char* variable = std::getenv("PATH");
    const std::string folders = variable ? variable : "/usr/local/bin:/usr/bin:/bin";
    size_t start = 0;
    while (start <= folders.size()) {
        size_t end = folders.find(':', start);
        if (end == std::string::npos) end = folders.size();
        // An empty entry is the working folder, as the shell reads PATH.
        const std::string folder = end == start ? std::string(".") : folders.substr(start, end - start);
        const std::string candidate = folder + "/" + std::string(program);
        if (IsExecutableFile(candidate)) return candidate;
        start = end + 1;
    }
    return {};
}

std::string ChildProcess::NotFound(std::string_view program)
{
    const std::string name(program);
    return name + " was not found on PATH; install it (on Debian, the package " + name + ")";
}

ChildProcess::ChildProcess(const std::string& path, const std::vector<std::string>& arguments)
    : m_handles(new Handles)
{
    int input[2] = {-1, -1}, output[2] = {-1, -1};
    if (::pipe2(input, O_CLOEXEC) != 0) FailToStart(path, std::strerror(errno));
    if (::pipe2(output, O_CLOEXEC) != 0) {
        const int error = errno;
        ::close(input[0]);
        ::close(input[1]);
        FailToStart(path, std::strerror(error));
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, input[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, output[1], STDERR_FILENO);
    const SpawnAttributes attributes;

    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(path.c_str()));
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    pid_t pid = -1;
    const int result = ::posix_spawn(&pid, path.c_str(), &actions, attributes.Get(), argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(input[0]);
    ::close(output[1]);
    if (result != 0) {
        ::close(input[1]);
        ::close(output[0]);
        FailToStart(path, std::strerror(result));
    }
    m_handles->pid = pid;
    m_handles->input = input[1];
    m_handles->output = output[0];
    m_reader = std::thread([this] { KeepOutput(); });
}

void ChildProcess::KeepOutput()
{
    char chunk[4096];
    for (;;) {
        const ssize_t got = ::read(m_handles->output, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        KeepChunk(chunk, static_cast<size_t>(got));
    }
}

bool ChildProcess::WriteInput(const uint8_t* bytes, size_t size, std::string& failure)
{
    size_t written = 0;
    while (written < size) {
        const ssize_t result = ::write(m_handles->input, bytes + written, size - written);
        if (result < 0 && errno == EINTR) continue;
        if (result <= 0) {
            failure = std::strerror(result < 0 ? errno : EIO);
            return false;
        }
        written += static_cast<size_t>(result);
    }
    return true;
}

void ChildProcess::CloseInput()
{
    CloseFd(m_handles->input);
}

void ChildProcess::CloseOutput()
{
    CloseFd(m_handles->output);
}

bool ChildProcess::Started() const
{
    return m_handles->pid > 0;
}

void ChildProcess::Terminate()
{
    ::kill(m_handles->pid, SIGKILL);
}

bool ChildProcess::Ended(std::string& ending)
{
    int status = 0;
    const pid_t ended = ::waitpid(m_handles->pid, &status, WNOHANG);
    if (ended == 0 || (ended < 0 && errno == EINTR)) return false;
    ending = ended > 0 ? DescribeStatus(status) : "cannot be waited for (" + std::string(std::strerror(errno)) + ")";
    m_handles->pid = -1;
    return true;
}
