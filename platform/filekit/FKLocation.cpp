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
    // UTF-16 to UTF-8 directly, so characters outside the 8-bit code page survive.
    std::string out;
    for (size_t i = 0; i < path.size(); ++i) {
        char32_t c = path[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < path.size() && path[i + 1] >= 0xDC00 && path[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (path[i + 1] - 0xDC00);
            ++i;
        }
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (c >> 12)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (c >> 18)));
            out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return FromNativePath(out);
}

bool FKLocation::GetPath8(std::string& out) const {
    if (!IsValid()) return false;
    std::string cp = BKFromUtf8(native_);
    // A character the code page lacks came back as '?': the path cannot be given in 8 bits.
    if (BKToUtf8(cp) != native_) return false;
    out = std::move(cp);
    return true;
}

std::u16string FKLocation::GetPathUtf16() const {
    std::u16string out;
    for (size_t i = 0; i < native_.size();) {
        auto b = static_cast<unsigned char>(native_[i]);
        int len = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 1;
        char32_t c = len == 1 ? b : len == 2 ? (b & 0x1F) : len == 3 ? (b & 0x0F) : (b & 0x07);
        for (int k = 1; k < len && i + k < native_.size(); ++k)
            c = (c << 6) | (static_cast<unsigned char>(native_[i + k]) & 0x3F);
        i += static_cast<size_t>(len);
        if (c >= 0x10000) {
            c -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(c));
        }
    }
    return out;
}

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
