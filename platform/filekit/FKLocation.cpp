#include "filekit/FKLocation.h"

#include "basekit/BKText.h"

#include <filesystem>

FKLocation FKLocation::FromPath8(std::string_view cp1250Path) { return FromNativePath(BKToUtf8(cp1250Path)); }

FKLocation FKLocation::FromNativePath(std::string_view utf8Path) {
    FKLocation loc;
    loc.native_ = std::string(utf8Path);
    return loc;
}

FKLocation FKLocation::FromPathUtf16(std::u16string_view path) {
    // Straight to UTF-8, so characters outside the 8-bit code page survive.
    return FromNativePath(BKUtf16ToUtf8(path));
}

bool FKLocation::GetPath8(std::string& out) const {
    if (!IsValid()) return false;
    std::string cp = BKFromUtf8(native_);
    // A character the code page lacks came back as '?': the path cannot be given in 8 bits.
    if (BKToUtf8(cp) != native_) return false;
    out = std::move(cp);
    return true;
}

std::u16string FKLocation::GetPathUtf16() const { return BKUtf8ToUtf16(native_); }

std::string FKLocation::LastPart() const { return std::filesystem::path(native_).filename().string(); }

FKLocation FKLocation::Parent() const {
    std::filesystem::path p(native_);
    if (!p.has_parent_path()) return {};
    return FromNativePath(p.parent_path().string());
}

FKLocation FKLocation::Append(std::string_view utf8Part) const {
    if (!IsValid()) return {};
    return FromNativePath((std::filesystem::path(native_) / std::filesystem::path(utf8Part)).string());
}
