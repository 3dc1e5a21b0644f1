#pragma once
// Work that may crash, run in a child process: what the work writes to the descriptor it is
// given comes back as bytes, and a crash of the child ends only the child. The child's standard
// output goes to /dev/null, so nothing it prints can reach the host's transcript.
#include <functional>
#include <string>

struct ChildOutput {
    std::string bytes;
    bool exitedCleanly = false; // returned from `work` and exited with status 0
    bool stalled = false;       // wrote nothing for `quietSeconds` and was killed
};

// Throws EIfcFile when no child can be started. `take`, when given, is handed the bytes as they
// come, while the child works, and takes from their front what it has used; what is left comes
// back as the output's bytes.
ChildOutput RunInChildProcess(const std::function<void(int fd)>& work, int quietSeconds,
                              const std::function<void(std::string& bytes)>& take = {});
