// A profiles file of any bytes: no crash, a refused file leaves the set as it was, and a set read
// goes out and back in as the same set. The same bytes as a project file's profiles section: any
// body read is a body the writer gives back as it was.
#include "display/ProfilesJson.h"
#include "display/ProfilesRecord.h"

#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    ProfileSet stored;
    if (ReadProfilesBytes(std::span<const uint8_t>(data, size), stored)) {
        const std::vector<uint8_t> again = ProfilesBytes(stored);
        if (again.size() != size || !std::equal(again.begin(), again.end(), data)) __builtin_trap();
    }
    ProfileSet set;
    ProfilesFileProblem problem;
    if (!ReadProfiles(text, set, problem)) {
        if (!set.IsDefault() || problem.line < 1) __builtin_trap();
        return 0;
    }
    ProfileSet back;
    if (!ReadProfiles(WriteProfiles(set), back, problem) || !(back.Profiles() == set.Profiles())) __builtin_trap();
    return 0;
}
