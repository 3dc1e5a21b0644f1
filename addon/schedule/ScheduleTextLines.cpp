#include "schedule/ScheduleTextLines.h"

#include "filekit/FKError.h"

#include <cstring>

ScheduleTextLineReader::ScheduleTextLineReader(FKFile& file, size_t bufferSize)
    : file_(file), buffer_(bufferSize ? bufferSize : 1) {}

bool ScheduleTextLineReader::Fill() {
    if (atEnd_ || error_ != 0) return false;
    size_t got = 0;
    int32_t err = file_.Read(buffer_.data(), buffer_.size(), got);
    if (err == kFKEndOfFileErr) atEnd_ = true;
    else if (err != kFKNoErr) error_ = err;
    pos_ = 0;
    end_ = got;
    return got > 0;
}

bool ScheduleTextLineReader::NextLine(std::string& line) {
    line.clear();
    bool any = false;  // something was read for this line, even an empty line's CR
    bool cut = false;
    for (;;) {
        if (pos_ == end_ && !Fill()) {
            // A read failure loses the line being read; the end of the file completes it.
            return error_ == 0 && any;
        }
        any = true;
        const char* start = buffer_.data() + pos_;
        size_t available = end_ - pos_;
        const void* cr = std::memchr(start, '\r', available);
        size_t n = cr ? static_cast<size_t>(static_cast<const char*>(cr) - start) : available;
        if (!cut) {
            size_t room = kMaxLineBytes - line.size();
            if (n > room) cut = true;
            line.append(start, n < room ? n : room);
        }
        pos_ += n;
        if (cr) {
            ++pos_;
            return true;
        }
    }
}

std::array<std::string_view, 4> SplitScheduleTextFields(std::string_view line) {
    std::array<std::string_view, 4> fields{};
    size_t at = 0;
    for (size_t i = 0; i < fields.size() && at <= line.size(); ++i) {
        size_t tab = line.find('\t', at);
        size_t end = tab == std::string_view::npos ? line.size() : tab;
        fields[i] = TrimBlanks(line.substr(at, end - at));
        if (tab == std::string_view::npos) break;
        at = tab + 1;
    }
    return fields;
}
