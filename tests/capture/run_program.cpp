// Child processes for the capture tests.
#include "run_program.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

std::vector<std::string> MergedEnvironment(const std::vector<std::string>& changes)
{
    std::vector<std::string> merged;
    for (char** entry = environ; *entry; ++entry) {
        const std::string text(*entry);
        const std::string name = text.substr(0, text.find('='));
        bool replaced = false;
        for (const std::string& change : changes) replaced |= change.substr(0, change.find('=')) == name;
        if (!replaced) merged.push_back(text);
    }
    merged.insert(merged.end(), changes.begin(), changes.end());
    return merged;
}

std::vector<char*> Pointers(std::vector<std::string>& texts)
{
    std::vector<char*> pointers;
    for (std::string& text : texts) pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

int ExitCode(int status)
{
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return -1;
}

} // namespace

ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                      const std::vector<std::string>& environment)
{
    ProgramRun run;
    int out[2], err[2];
    if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0) return run;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, err[1], STDERR_FILENO);
    std::vector<std::string> argv = {program};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    std::vector<std::string> envp = MergedEnvironment(environment);
    pid_t pid = -1;
    const int spawned = ::posix_spawnp(&pid, program.c_str(), &actions, nullptr, Pointers(argv).data(),
                                       Pointers(envp).data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    ::close(err[1]);
    if (spawned == 0) {
        pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
        std::string* texts[2] = {&run.out, &run.err};
        int open = 2;
        while (open > 0) {
            if (::poll(fds, 2, -1) < 0 && errno != EINTR) break;
            for (int i = 0; i < 2; ++i) {
                if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
                char chunk[65536];
                const ssize_t got = ::read(fds[i].fd, chunk, sizeof chunk);
                if (got > 0) texts[i]->append(chunk, static_cast<size_t>(got));
                else if (got == 0 || errno != EINTR) {
                    fds[i].fd = -1;
                    --open;
                }
            }
        }
        run.exitCode = WaitProgram(pid);
    } else {
        run.err = std::strerror(spawned);
    }
    ::close(out[0]);
    ::close(err[0]);
    return run;
}

pid_t StartProgram(const std::string& program, const std::vector<std::string>& arguments, const std::string& logPath)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    std::vector<std::string> argv = {program};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    pid_t pid = -1;
    if (::posix_spawnp(&pid, program.c_str(), &actions, nullptr, Pointers(argv).data(), environ) != 0) pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

int WaitProgram(pid_t pid)
{
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0)
        if (errno != EINTR) return -1;
    return ExitCode(status);
}

std::string LanternPath()
{
    return std::string(LANTERN_BUILD_DIR) + "/lantern";
}
