#include "host/ifc/ChildProcess.h"

#include "host/ifc/IfcBuildingData.h"

#include <cerrno>
#include <cstring>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

// Present when the program runs under a sanitizer: a fuzzer hangs its crash reporting there,
// which must not take a child's death for the parent's.
extern "C" void __sanitizer_set_death_callback(void (*callback)()) __attribute__((weak));

ChildOutput RunInChildProcess(const std::function<void(int fd)>& work, int quietSeconds,
                              const std::function<void(std::string& bytes)>& take) {
    int fds[2];
    if (pipe(fds) != 0) throw EIfcFile(std::string("cannot start the IFC conversion: ") + std::strerror(errno));
    // A child that writes faster than the records are taken waits on a full pipe; the system's
    // largest lets it go on working meanwhile. Advice only: the default still works.
    fcntl(fds[1], F_SETPIPE_SZ, 1 << 20);
    pid_t pid = fork();
    if (pid < 0) {
        int error = errno;
        close(fds[0]);
        close(fds[1]);
        throw EIfcFile(std::string("cannot start the IFC conversion: ") + std::strerror(error));
    }
    if (pid == 0) {
        if (__sanitizer_set_death_callback) __sanitizer_set_death_callback(nullptr);
        close(fds[0]);
        int null = open("/dev/null", O_WRONLY);
        if (null >= 0) dup2(null, STDOUT_FILENO);
        int status = 0;
        try {
            work(fds[1]);
        } catch (...) {
            status = 2;
        }
        close(fds[1]);
        // Neither exit handlers nor the leak checker: the parent owns everything that lasts.
        _exit(status);
    }
    close(fds[1]);
    ChildOutput out;
    char block[65536];
    while (true) {
        pollfd wait{fds[0], POLLIN, 0};
        int ready = poll(&wait, 1, quietSeconds * 1000);
        if (ready < 0 && errno == EINTR) continue;
        if (ready == 0) {
            out.stalled = true;
            kill(pid, SIGKILL);
            break;
        }
        ssize_t n = read(fds[0], block, sizeof block);
        if (n > 0) {
            out.bytes.append(block, static_cast<size_t>(n));
            if (!take) continue;
            try {
                take(out.bytes);
            } catch (...) {
                kill(pid, SIGKILL);
                close(fds[0]);
                while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
                }
                throw;
            }
        } else if (n == 0 || errno != EINTR) {
            break;
        }
    }
    close(fds[0]);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    out.exitedCleanly = !out.stalled && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return out;
}
