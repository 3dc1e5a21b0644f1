#pragma once
// Lines and fields of a schedule text. Lines end at CR only (an LF after it begins the next
// line); a line is at most 1022 bytes and a longer one is cut there, its rest skipped.
#include "filekit/FKFile.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class ScheduleTextLineReader {
public:
    static constexpr size_t kMaxLineBytes = 1022;

    explicit ScheduleTextLineReader(FKFile& file, size_t bufferSize = 64 * 1024);
    // The next line without its CR; false at the end of the file or on a read failure.
    bool NextLine(std::string& line);
    // The FileKit error that ended reading; 0 when it was the end of the file.
    int32_t Error() const { return error_; }

private:
    bool Fill();

    FKFile& file_;
    std::vector<char> buffer_;
    size_t pos_ = 0, end_ = 0;
    bool atEnd_ = false;
    int32_t error_ = 0;
};

// The first four TAB-separated fields, each without leading and trailing blanks (0x20 only);
// missing fields are empty.
std::array<std::string_view, 4> SplitScheduleTextFields(std::string_view line);

inline std::string_view TrimBlanks(std::string_view text) {
    size_t b = 0, e = text.size();
    while (b < e && text[b] == ' ') ++b;
    while (e > b && text[e - 1] == ' ') --e;
    return text.substr(b, e - b);
}
