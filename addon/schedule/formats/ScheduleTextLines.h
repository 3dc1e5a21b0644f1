#pragma once
// Lines and fields of a schedule text. The file is read whole first, so that its encoding can be
// told from all of it: UTF-8 (a byte-order mark, or valid UTF-8 with a character beyond ASCII)
// becomes the code page, anything else is taken as it is. Lines end at CR, LF or CR LF; a line is
// at most 1022 bytes and a longer one is cut there, its rest skipped.
#include "filekit/FKFile.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class ScheduleTextLineReader {
public:
    static constexpr size_t kMaxLineBytes = 1022;
    // A schedule of a million tasks is some 60 MB; a source that goes on past this is no schedule.
    static constexpr uint64_t kMaxFileBytes = 256u << 20;

    explicit ScheduleTextLineReader(FKFile& file, size_t bufferSize = 64 * 1024);
    // The next line without its end; false at the end of the file or on a read failure.
    bool NextLine(std::string& line);
    // The same without a copy: the view stays valid as long as the reader.
    bool NextLine(std::string_view& line);
    // The same, split as SplitScheduleTextFields(line, count, fields) splits it, in the one scan
    // that finds the line's end.
    bool NextLine(std::string_view& line, size_t count, std::vector<std::string_view>& fields);
    // The FileKit error that ended reading; 0 when it was the end of the file.
    int32_t Error() const { return error_; }
    // Whether the file was UTF-8, and how many of its characters the code page has no byte for
    // (each became '?'). Known once the first line was asked for.
    bool WasUtf8() const { return utf8_; }
    size_t UnconvertibleCharacters() const { return unconvertible_; }
    // Lines longer than the limit so far, by their 1-based line numbers.
    const std::vector<size_t>& CutLines() const { return cutLines_; }

private:
    void Load();
    // Counts and keeps the line from the read position to `end` (its first CR or LF, or the text's
    // end) and moves past its line break.
    void EndLine(const char* end, std::string_view& line);

    FKFile& file_;
    size_t bufferSize_;
    std::string text_;
    size_t pos_ = 0;
    size_t lineNumber_ = 0;
    bool loaded_ = false;
    bool utf8_ = false;
    size_t unconvertible_ = 0;
    int32_t error_ = 0;
    std::vector<size_t> cutLines_;
};

// UTF-8 text in the code page; `lost` grows by the characters the code page has no byte for
// (each became '?').
std::string Utf8ToCodePage(std::string_view utf8, size_t& lost);

// True when the bytes are well-formed UTF-8 (no overlong forms, surrogates or values past
// U+10FFFF) and hold at least one character beyond ASCII.
bool IsUtf8BeyondAscii(std::string_view bytes);

// The TAB-separated fields of a line, each without leading and trailing blanks (0x20 only); at
// most `count`, missing ones empty.
std::vector<std::string_view> SplitScheduleTextFields(std::string_view line, size_t count);
// The same into `out` (resized to `count`), so that a caller reading many lines allocates once.
void SplitScheduleTextFields(std::string_view line, size_t count, std::vector<std::string_view>& out);
// The first four fields.
std::array<std::string_view, 4> SplitScheduleTextFields(std::string_view line);

inline std::string_view TrimBlanks(std::string_view text) {
    size_t b = 0, e = text.size();
    while (b < e && text[b] == ' ') ++b;
    while (e > b && text[e - 1] == ' ') --e;
    return text.substr(b, e - b);
}
