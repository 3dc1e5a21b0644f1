#include "host/ifc/reader/HelperProcess.h"

#include "host/ifc/step/EIfcFile.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

constexpr auto kPollEvery = std::chrono::milliseconds(100);

class Pipe {
public:
    Pipe() {
        if (pipe2(fds_, O_CLOEXEC) != 0) throw EIfcFile(std::string("cannot start the IFC conversion: ") + std::strerror(errno));
    }
    ~Pipe() {
        CloseRead();
        CloseWrite();
    }
    Pipe(const Pipe&) = delete;
    Pipe& operator=(const Pipe&) = delete;
    int Read() const { return fds_[0]; }
    int Write() const { return fds_[1]; }
    void CloseRead() { Close(fds_[0]); }
    void CloseWrite() { Close(fds_[1]); }

private:
    static void Close(int& fd) {
        if (fd >= 0) close(fd);
        fd = -1;
    }
    int fds_[2] = {-1, -1};
};

void Reap(pid_t pid, int* status) {
    while (waitpid(pid, status, 0) < 0 && errno == EINTR) {
    }
}

// The helper and whatever it started.
void EndGroup(pid_t pid) { kill(-pid, SIGKILL); }

pid_t Spawn(const HelperLaunch& launch, int output) {
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    posix_spawn_file_actions_init(&actions);
    posix_spawnattr_init(&attributes);
    // Each descriptor is placed from a copy above every target, so that no placing overwrites
    // one still to be placed.
    std::vector<int> copies;
    auto place = [&](int fd, int target) {
        const int copy = fcntl(fd, F_DUPFD_CLOEXEC, 64);
        if (copy >= 0) copies.push_back(copy);
        posix_spawn_file_actions_adddup2(&actions, copy >= 0 ? copy : fd, target);
    };
    place(output, kHelperOutputFd);
    for (size_t i = 0; i < launch.inputs.size(); ++i) place(launch.inputs[i], kHelperOutputFd + 1 + static_cast<int>(i));
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    sigset_t none, defaults;
    sigemptyset(&none);
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    sigaddset(&defaults, SIGCHLD);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    std::vector<char*> argv;
    for (const std::string& a : launch.argv) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    pid_t pid = -1;
    const int error = launch.argv.empty() ? ENOENT : posix_spawn(&pid, argv[0], &actions, &attributes, argv.data(), environ);
    for (int copy : copies) close(copy);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (error != 0)
        throw EIfcFile("cannot start the IFC conversion: " + (launch.argv.empty() ? std::string() : launch.argv[0] + ": ") +
                       std::strerror(error));
    return pid;
}

} // namespace

ChildOutput RunHelper(const HelperLaunch& launch, std::chrono::milliseconds quiet, const std::function<void(std::string& bytes)>& take,
                      const std::function<void()>& poll) {
    Pipe pipe;
    // A helper that writes faster than the records are taken waits on a full pipe; the system's
    // largest lets it go on working meanwhile. Advice only: the default still works.
    fcntl(pipe.Write(), F_SETPIPE_SZ, 1 << 20);
    const pid_t pid = Spawn(launch, pipe.Write());
    pipe.CloseWrite();
    ChildOutput out;
    char block[65536];
    auto lastNews = std::chrono::steady_clock::now();
    try {
        while (true) {
            const auto waited = std::chrono::steady_clock::now() - lastNews;
            if (waited >= quiet) {
                out.stalled = true;
                break;
            }
            const auto wait = std::min<std::chrono::steady_clock::duration>(kPollEvery, quiet - waited);
            pollfd ready{pipe.Read(), POLLIN, 0};
            const int n = ::poll(&ready, 1, static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(wait).count()));
            const int error = errno;
            if (poll) poll();
            if (n < 0 && error == EINTR) continue;
            if (n == 0) continue;
            const ssize_t got = read(pipe.Read(), block, sizeof block);
            if (got > 0) {
                lastNews = std::chrono::steady_clock::now();
                out.bytes.append(block, static_cast<size_t>(got));
                if (take) take(out.bytes);
            } else if (got == 0 || errno != EINTR) {
                break;
            }
        }
        // Its output closed, it has as long again to end; it is not reaped yet, so its group is
        // still its own when whatever it started and left behind is ended with it.
        const auto closed = std::chrono::steady_clock::now();
        while (!out.stalled) {
            siginfo_t ended{};
            const int r = waitid(P_PID, static_cast<id_t>(pid), &ended, WEXITED | WNOWAIT | WNOHANG);
            if ((r == 0 && ended.si_pid == pid) || (r < 0 && errno != EINTR)) break;
            if (std::chrono::steady_clock::now() - closed >= quiet) out.stalled = true;
            if (poll) poll();
            usleep(200);
        }
    } catch (...) {
        EndGroup(pid);
        pipe.CloseRead();
        Reap(pid, nullptr);
        throw;
    }
    pipe.CloseRead();
    EndGroup(pid);
    int status = 0;
    Reap(pid, &status);
    out.exitedCleanly = !out.stalled && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return out;
}
