#include "schedule/formats/ScheduleTextLines.h"

#include "basekit/BKText.h"
#include "filekit/FKError.h"

#include <algorithm>
#include <bit>
#include <cstring>

ScheduleTextLineReader::ScheduleTextLineReader(FKFile& file, size_t bufferSize)
    : file_(file), bufferSize_(bufferSize ? bufferSize : 1) {}

void ScheduleTextLineReader::Load() {
    loaded_ = true;
    // Read straight into the text, a buffer's size at a time, so the bytes are copied once.
    uint64_t size = 0;
    if (file_.GetSize(size) == 0 && size <= kMaxFileBytes) text_.reserve(static_cast<size_t>(size) + 1);
    for (;;) {
        size_t got = 0;
        size_t at = text_.size();
        text_.resize(at + bufferSize_);
        int32_t err = file_.Read(text_.data() + at, bufferSize_, got);
        text_.resize(at + got);
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
    std::string_view view;
    bool got = NextLine(view);
    line.assign(view);
    return got;
}

void ScheduleTextLineReader::EndLine(const char* end, std::string_view& line) {
    const char* begin = text_.data() + pos_;
    size_t stop = static_cast<size_t>(end - text_.data());
    size_t n = stop - pos_;
    ++lineNumber_;
    if (n > kMaxLineBytes) cutLines_.push_back(lineNumber_);
    line = std::string_view(begin, std::min(n, kMaxLineBytes));
    pos_ = stop;
    if (pos_ < text_.size()) {
        if (text_[pos_] == '\r' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '\n') ++pos_;
        ++pos_;
    }
}

namespace {

// The first TAB, CR or LF from `p` on, or `end`. Eight bytes at a time: a byte equal to one of
// them is a zero byte of the word XOR that byte repeated, and the lowest flag the zero-byte
// test raises is exact.
const char* FindBreak(const char* p, const char* end, bool tabs) {
    if constexpr (std::endian::native == std::endian::little) {
        constexpr uint64_t kOnes = 0x0101010101010101ULL, kHighs = 0x8080808080808080ULL;
        auto zeroBytes = [](uint64_t x) { return (x - kOnes) & ~x & kHighs; };
        for (; end - p >= 8; p += 8) {
            uint64_t w;
            std::memcpy(&w, p, 8);
            uint64_t found = zeroBytes(w ^ (kOnes * '\r')) | zeroBytes(w ^ (kOnes * '\n'));
            if (tabs) found |= zeroBytes(w ^ (kOnes * '\t'));
            if (found) return p + std::countr_zero(found) / 8;
        }
    }
    for (; p < end; ++p)
        if (*p == '\r' || *p == '\n' || (tabs && *p == '\t')) return p;
    return end;
}

} // namespace

bool ScheduleTextLineReader::NextLine(std::string_view& line) {
    line = {};
    if (!loaded_) Load();
    if (error_ != 0 || pos_ >= text_.size()) return false;
    EndLine(FindBreak(text_.data() + pos_, text_.data() + text_.size(), false), line);
    return true;
}

bool ScheduleTextLineReader::NextLine(std::string_view& line, size_t count, std::vector<std::string_view>& fields) {
    line = {};
    if (fields.size() != count) fields.resize(count);
    std::fill(fields.begin(), fields.end(), std::string_view());
    if (!loaded_) Load();
    if (error_ != 0 || pos_ >= text_.size()) return false;
    const char* begin = text_.data() + pos_;
    const char* end = text_.data() + text_.size();
    // Fields come only from the part of a line that is kept.
    const char* limit = begin + std::min(static_cast<size_t>(end - begin), kMaxLineBytes);
    const char* p = begin;
    const char* fieldStart = begin;
    size_t f = 0;
    for (; (p = FindBreak(p, end, true)) < end && *p == '\t'; ++p) {
        if (p < limit && f < count) {
            fields[f++] = TrimBlanks(std::string_view(fieldStart, static_cast<size_t>(p - fieldStart)));
            fieldStart = p + 1;
        }
    }
    const char* kept = std::min(p, limit);
    if (f < count && fieldStart <= kept)
        fields[f] = TrimBlanks(std::string_view(fieldStart, static_cast<size_t>(kept - fieldStart)));
    EndLine(p, line);
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
        // Eight ASCII bytes at a time.
        if (s.size() - i >= 8) {
            uint64_t w;
            std::memcpy(&w, s.data() + i, 8);
            if ((w & 0x8080808080808080ULL) == 0) {
                i += 8;
                continue;
            }
        }
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

void SplitScheduleTextFields(std::string_view line, size_t count, std::vector<std::string_view>& fields) {
    fields.assign(count, std::string_view());
    const char* p = line.data();
    const char* end = p + line.size();
    for (size_t i = 0; i < count; ++i) {
        const char* start = p;
        while (p < end && *p != '\t') ++p;
        fields[i] = TrimBlanks(std::string_view(start, static_cast<size_t>(p - start)));
        if (p == end) break;
        ++p;
    }
}

std::array<std::string_view, 4> SplitScheduleTextFields(std::string_view line) {
    auto v = SplitScheduleTextFields(line, 4);
    return {v[0], v[1], v[2], v[3]};
}
