// Child processes on a POSIX system: started with fork and exec (no shell), read through non-blocking pipes, asked
// about with waitpid, ended with kill.
#include "platform/process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>

namespace {

struct ChildProcess {
    ProcessHandle handle = 0;
    pid_t pid = -1;                     // also its process group: the child leads a group of its own
    int output = -1, errors = -1;       // read ends of its standard output and error; -1 once closed
    bool ended = false;                 // collected by waitpid
    int exitCode = 0;
};

struct ProcessTable {                   // for the run: every process started and not yet stopped
    std::vector<ChildProcess> children;
    ProcessHandle lastHandle = 0;
} processes;

// A frame reads at most this much of one stream, so that a program that floods its output cannot hold a frame up.
constexpr std::size_t MostReadPerCall = 1 << 20;

ChildProcess* Find(ProcessHandle handle) {
    for (ChildProcess& child : processes.children)
        if (child.handle == handle) return &child;
    return nullptr;
}

void CloseFd(int& fd) {
    if (fd >= 0) close(fd);
    fd = -1;
}

int ExitCodeOf(int status) {
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return -1;
}

// Waits for the process to be collected, however long a kill takes to land.
int Collect(pid_t pid) {
    int status = 0;
    pid_t waited = 0;
    do {
        waited = waitpid(pid, &status, 0);
    } while (waited < 0 && errno == EINTR);
    return waited == pid ? ExitCodeOf(status) : -1;
}

// In the child, between fork and exec: only calls that are safe there. The child leads a process group of its own
// (so that stopping it ends whatever it started too), reads nothing, writes into the two pipes, inherits no other
// file of the game's (the window's connection, the audio device) and none of the game's signal settings.
[[noreturn]] void ExecChild(const char* program, char* const* argv, int output, int errors, int status) {
    setpgid(0, 0);
    struct sigaction standard{};
    standard.sa_handler = SIG_DFL;
    sigemptyset(&standard.sa_mask);
    for (int signal : {SIGPIPE, SIGCHLD, SIGINT, SIGTERM, SIGHUP}) sigaction(signal, &standard, nullptr);
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    const int null = open("/dev/null", O_RDONLY);
    if (null >= 0) dup2(null, STDIN_FILENO);
    dup2(output, STDOUT_FILENO);
    dup2(errors, STDERR_FILENO);
    // A pipe that landed on 1 or 2 itself (a game started with those closed) keeps its close-at-exec flag otherwise.
    for (int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) fcntl(fd, F_SETFD, 0);
    // Everything else closes at exec, the status pipe too: its end tells the game that exec went through.
    for (int fd = 3; fd < 1024; ++fd) fcntl(fd, F_SETFD, FD_CLOEXEC);
    execv(program, argv);
    const int error = errno;
    [[maybe_unused]] const ssize_t written = write(status, &error, sizeof error);
    _exit(127);
}

bool MakePipe(int fds[2]) { return pipe2(fds, O_CLOEXEC) == 0; }

}  // namespace

ProcessHandle PosixStartProcess(const std::string& program, const std::vector<std::string>& arguments) {
    // Everything the child needs is made before the fork: it only has to exec.
    std::vector<std::string> words = {program};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);

    int output[2] = {-1, -1}, errors[2] = {-1, -1}, status[2] = {-1, -1};
    auto closeAll = [&] {
        for (int* pair : {output, errors, status}) {
            CloseFd(pair[0]);
            CloseFd(pair[1]);
        }
    };
    if (!MakePipe(output) || !MakePipe(errors) || !MakePipe(status)) {
        closeAll();
        return 0;
    }
    const pid_t pid = fork();
    if (pid < 0) {
        closeAll();
        return 0;
    }
    if (pid == 0) ExecChild(program.c_str(), argv.data(), output[1], errors[1], status[1]);
    setpgid(pid, pid);      // also here: a kill that comes before the child ran must find the group
    CloseFd(output[1]);
    CloseFd(errors[1]);
    CloseFd(status[1]);

    // The status pipe closes at a successful exec, or brings the error of a failed one: the only wait, as long as
    // an exec takes.
    int error = 0;
    ssize_t got = 0;
    do {
        got = read(status[0], &error, sizeof error);
    } while (got < 0 && errno == EINTR);
    CloseFd(status[0]);
    if (got > 0) {
        Collect(pid);
        closeAll();
        return 0;
    }
    fcntl(output[0], F_SETFL, fcntl(output[0], F_GETFL) | O_NONBLOCK);
    fcntl(errors[0], F_SETFL, fcntl(errors[0], F_GETFL) | O_NONBLOCK);

    ChildProcess child;
    child.handle = ++processes.lastHandle;
    child.pid = pid;
    child.output = output[0];
    child.errors = errors[0];
    processes.children.push_back(child);
    return child.handle;
}

std::string PosixReadProcess(ProcessHandle process, ProcessStream stream) {
    std::string text;
    ChildProcess* child = Find(process);
    if (!child) return text;
    int& fd = stream == ProcessStream::Output ? child->output : child->errors;
    char buffer[4096];
    while (fd >= 0 && text.size() < MostReadPerCall) {
        const ssize_t got = read(fd, buffer, sizeof buffer);
        if (got > 0) {
            text.append(buffer, static_cast<std::size_t>(got));
        } else if (got == 0) {
            CloseFd(fd);        // the program and whatever it started have closed the stream
        } else if (errno != EINTR) {
            if (errno != EAGAIN && errno != EWOULDBLOCK) CloseFd(fd);
            break;
        }
    }
    return text;
}

bool PosixProcessEnded(ProcessHandle process, int& exitCode) {
    ChildProcess* child = Find(process);
    if (!child) {
        exitCode = -1;
        return true;
    }
    if (!child->ended) {
        // Asked first without collecting it: while the ended child is not collected its process group cannot be
        // another's, so what it left running in the group can be ended safely before it is collected.
        siginfo_t info{};
        const int asked = waitid(P_PID, static_cast<id_t>(child->pid), &info, WEXITED | WNOHANG | WNOWAIT);
        if (asked == 0 && info.si_pid == child->pid) {
            kill(-child->pid, SIGKILL);
            child->exitCode = Collect(child->pid);
            child->ended = true;
        } else if (asked < 0 && errno == ECHILD) {
            // Collected elsewhere (children reaped automatically): ended, its code unknown.
            child->exitCode = -1;
            child->ended = true;
        }
    }
    exitCode = child->exitCode;
    return child->ended;
}

void PosixStopProcess(ProcessHandle process) {
    ChildProcess* child = Find(process);
    if (!child) return;
    if (!child->ended) {
        kill(-child->pid, SIGKILL);
        kill(child->pid, SIGKILL);
        Collect(child->pid);
    }
    CloseFd(child->output);
    CloseFd(child->errors);
    processes.children.erase(processes.children.begin() + (child - processes.children.data()));
}

void PosixStopAllProcesses() {
    while (!processes.children.empty()) PosixStopProcess(processes.children.front().handle);
}
