#pragma once
// The profiles file an office shares between projects: JSON, UTF-8 (docs/SCRIPTING.md,
// "Appearance profiles"). Names are kept in the module's code page.
#include "display/ProfileSet.h"

#include <string>
#include <string_view>
#include <vector>

// Why a profiles file was refused: an item of the file's problem texts, its parameters and the
// line it is on.
struct ProfilesFileProblem {
    enum Kind : int16_t {
        NotJson = 1,        //
        UnknownKey = 2,     // key
        BadValue = 3,       // key
        UnknownProfile = 4, // name
        NameTwice = 5,      // name
        NoProfiles = 6,     //
    };
    Kind kind = NotJson;
    int line = 1;
    std::vector<std::string> params; // 8-bit
};

// The file's profiles added to `set` (one of a name it holds replaces it) and the types' choices
// it makes; false with the first problem found, `set` untouched.
bool ReadProfiles(std::string_view utf8, ProfileSet& set, ProfilesFileProblem& problem);

// Every profile of the set and every type's choice, in the file's form.
std::string WriteProfiles(const ProfileSet& set);
