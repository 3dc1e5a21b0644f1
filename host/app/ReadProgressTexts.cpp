#include "host/app/ReadProgressTexts.h"

#include "host/resources/HostResources.h"

namespace {

constexpr int16_t kReadProgressList = 206;

void Fill(std::string& text, const char* mark, const std::string& value) {
    if (auto at = text.find(mark); at != std::string::npos) text.replace(at, 2, value);
}

} // namespace

std::string ReadProgressString(ReadProgressText text) {
    return HostListString(kReadProgressList, static_cast<int16_t>(text));
}

std::string ReadProgressString(ReadProgressText text, const std::string& p1, const std::string& p2) {
    std::string s = ReadProgressString(text);
    Fill(s, "%1", p1);
    Fill(s, "%2", p2);
    return s;
}

std::string ReadPhaseLine(IfcReadPhase phase, size_t done, size_t total) {
    switch (phase) {
    case IfcReadPhase::CheckingText: return ReadProgressString(ReadProgressText::CheckingText);
    case IfcReadPhase::Converting:
        if (total == 0) return ReadProgressString(ReadProgressText::Converting);
        return ReadProgressString(ReadProgressText::ConvertingOf, std::to_string(done), std::to_string(total));
    case IfcReadPhase::MakingElements: return ReadProgressString(ReadProgressText::MakingElements);
    }
    return {};
}

std::string ReadElapsedLine(double seconds) {
    // Whole seconds: no decimal mark to write in the language's way.
    return ReadProgressString(ReadProgressText::Elapsed, std::to_string(static_cast<long long>(seconds)));
}
