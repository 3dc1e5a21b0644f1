#include "schedule/ScheduleTextLines.h"

#include "basekit/BKText.h"
#include "filekit/FKError.h"

#include <algorithm>

ScheduleTextLineReader::ScheduleTextLineReader(FKFile& file, size_t bufferSize)
    : file_(file), bufferSize_(bufferSize ? bufferSize : 1) {}

void ScheduleTextLineReader::Load() {
    loaded_ = true;
    std::vector<char> buffer(bufferSize_);
    for (;;) {
        size_t got = 0;
        int32_t err = file_.Read(buffer.data(), buffer.size(), got);
        text_.append(buffer.data(), got);
        if (text_.size() > kMaxFileBytes) {
            error_ = kFKIOErr; // reported as a file that cannot be read
            break;
        }
        if (err == kFKEndOfFileErr) break;
        if (err != kFKNoErr) {
            error_ = err;
            break;
        }
    }
    if (error_ != 0) {
        text_.clear();
        return;
    }
    std::string_view bytes(text_);
    bool bom = bytes.substr(0, 3) == "\xEF\xBB\xBF";
    if (bom) bytes.remove_prefix(3);
    if (bom || IsUtf8BeyondAscii(bytes)) {
        utf8_ = true;
        text_ = Utf8ToCodePage(bytes, unconvertible_);
    }
}

bool ScheduleTextLineReader::NextLine(std::string& line) {
    line.clear();
    if (!loaded_) Load();
    if (error_ != 0 || pos_ >= text_.size()) return false;
    size_t end = text_.find_first_of("\r\n", pos_);
    size_t stop = end == std::string::npos ? text_.size() : end;
    size_t n = stop - pos_;
    ++lineNumber_;
    if (n > kMaxLineBytes) cutLines_.push_back(lineNumber_);
    line.assign(text_, pos_, std::min(n, kMaxLineBytes));
    pos_ = stop;
    if (pos_ < text_.size()) {
        if (text_[pos_] == '\r' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '\n') ++pos_;
        ++pos_;
    }
    return true;
}

std::string Utf8ToCodePage(std::string_view utf8, size_t& lost) {
    std::string out = BKFromUtf8(utf8);
    // Each character becomes one byte; the '?' beyond those the text had are the lost ones.
    auto marks = [](std::string_view s) { return static_cast<size_t>(std::count(s.begin(), s.end(), '?')); };
    size_t before = marks(utf8), after = marks(out);
    if (after > before) lost += after - before;
    return out;
}

bool IsUtf8BeyondAscii(std::string_view s) {
    bool beyond = false;
    for (size_t i = 0; i < s.size();) {
        auto b = static_cast<unsigned char>(s[i]);
        if (b < 0x80) {
            ++i;
            continue;
        }
        size_t len;
        uint32_t cp;
        if (b >= 0xC2 && b <= 0xDF) len = 2, cp = b & 0x1F;
        else if (b >= 0xE0 && b <= 0xEF) len = 3, cp = b & 0x0F;
        else if (b >= 0xF0 && b <= 0xF4) len = 4, cp = b & 0x07;
        else return false;
        if (s.size() - i < len) return false;
        for (size_t k = 1; k < len; ++k) {
            auto c = static_cast<unsigned char>(s[i + k]);
            if ((c & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (c & 0x3F);
        }
        if ((len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)) || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        beyond = true;
        i += len;
    }
    return beyond;
}

std::vector<std::string_view> SplitScheduleTextFields(std::string_view line, size_t count) {
    std::vector<std::string_view> fields(count);
    size_t at = 0;
    for (size_t i = 0; i < count && at <= line.size(); ++i) {
        size_t tab = line.find('\t', at);
        size_t end = tab == std::string_view::npos ? line.size() : tab;
        fields[i] = TrimBlanks(line.substr(at, end - at));
        if (tab == std::string_view::npos) break;
        at = tab + 1;
    }
    return fields;
}

std::array<std::string_view, 4> SplitScheduleTextFields(std::string_view line) {
    auto v = SplitScheduleTextFields(line, 4);
    return {v[0], v[1], v[2], v[3]};
}
