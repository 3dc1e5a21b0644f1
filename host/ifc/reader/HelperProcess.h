#pragma once
// A helper program started with exec, never a fork of the host (whose threads, locks and
// windows a fork would copy): what it writes to descriptor 3 comes back as bytes, and its crash
// ends only it. It runs in a process group of its own, so that ending it ends whatever it
// started too. Its standard output goes to /dev/null, so nothing it prints reaches the host's
// transcript.
#include <chrono>
#include <functional>
#include <string>
#include <vector>

struct ChildOutput {
    std::string bytes;
    bool exitedCleanly = false; // exited with status 0
    bool stalled = false;       // wrote nothing for the quiet time and was ended
};

struct HelperLaunch {
    std::vector<std::string> argv; // the program's path first
    std::vector<int> inputs;       // handed down as descriptors 4, 5, ... in this order
};

// The descriptor the helper writes its output to.
constexpr int kHelperOutputFd = 3;

// Throws EIfcFile when the helper cannot be started. `take`, when given, is handed the bytes as
// they come and takes from their front what it has used; what is left comes back as the
// output's bytes. `poll` is called at least every 100 ms while the helper works, whether bytes
// come or not. Whatever `take` or `poll` throws ends the helper's group, reaps the helper and
// is thrown on.
ChildOutput RunHelper(const HelperLaunch& launch, std::chrono::milliseconds quiet,
                      const std::function<void(std::string& bytes)>& take = {}, const std::function<void()>& poll = {});
