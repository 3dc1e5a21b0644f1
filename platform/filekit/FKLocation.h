#pragma once
// A file location. Inside the add-on paths are 8-bit (Windows-1250); the file system's are
// UTF-8; movie paths cross as UTF-16. A location made from an empty path is not valid.
#include <string>
#include <string_view>

class FKLocation {
public:
    FKLocation() = default;
    static FKLocation FromPath8(std::string_view cp1250Path);
    static FKLocation FromNativePath(std::string_view utf8Path);
    static FKLocation FromPathUtf16(std::u16string_view path);

    bool IsValid() const { return !native_.empty(); }
    // The 8-bit path; false when the location is not valid or has characters the code page lacks.
    bool GetPath8(std::string& out) const;
    std::u16string GetPathUtf16() const;
    const std::string& NativePath() const { return native_; }

    // The last part of the path (the file name), as UTF-8.
    std::string LastPart() const;
    // The folder that holds the location; invalid for a bare name.
    FKLocation Parent() const;
    // This location (a folder) with one more part appended.
    FKLocation Append(std::string_view utf8Part) const;
    bool operator==(const FKLocation&) const = default;

private:
    std::string native_;
};
