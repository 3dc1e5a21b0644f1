#include "filekit/FKSpecialFolders.h"

#include "filekit/FKError.h"

#include <cstdlib>
#include <filesystem>
#include <pwd.h>
#include <string>
#include <unistd.h>

namespace {

bool IsFolder(const std::string& path) {
    std::error_code ec;
    return !path.empty() && std::filesystem::is_directory(path, ec);
}

std::string HomeFolder() {
    if (const char* home = std::getenv("HOME"); home != nullptr && IsFolder(home)) return home;
    if (const passwd* pw = ::getpwuid(::getuid()); pw != nullptr && pw->pw_dir != nullptr && IsFolder(pw->pw_dir))
        return pw->pw_dir;
    return {};
}

// An XDG base folder: the variable when it names an absolute path, otherwise home + fallback.
std::string XdgFolder(const char* variable, const char* fallback) {
    if (const char* v = std::getenv(variable); v != nullptr && v[0] == '/') return v;
    std::string home = HomeFolder();
    return home.empty() ? std::string() : home + "/" + fallback;
}

} // namespace

int32_t FKGetSpecialFolder(FKSpecialFolder folder, FKLocation& out) {
    std::string path;
    switch (folder) {
    case FKSpecialFolder::Home: path = HomeFolder(); break;
    case FKSpecialFolder::Documents: {
        std::string documents = XdgFolder("XDG_DOCUMENTS_DIR", "Documents");
        path = IsFolder(documents) ? documents : HomeFolder();
        break;
    }
    case FKSpecialFolder::Preferences: path = XdgFolder("XDG_CONFIG_HOME", ".config"); break;
    case FKSpecialFolder::Temporary: {
        std::error_code ec;
        path = std::filesystem::temp_directory_path(ec).string();
        break;
    }
    case FKSpecialFolder::Current: {
        std::error_code ec;
        path = std::filesystem::current_path(ec).string();
        break;
    }
    }
    if (!IsFolder(path)) return kFKNotFoundErr;
    out = FKLocation::FromNativePath(path);
    return kFKNoErr;
}
