#include "host/app/TerminalReadProgress.h"

#include "basekit/BKText.h"
#include "host/app/ReadProgressTexts.h"

#include <unistd.h>

TerminalReadProgress::TerminalReadProgress(std::FILE* out, const char* name) : out_(out), name_(name) {}

std::unique_ptr<TerminalReadProgress> TerminalReadProgress::ForStandardError(const char* name) {
    if (!isatty(STDERR_FILENO)) return nullptr;
    return std::make_unique<TerminalReadProgress>(stderr, name);
}

void TerminalReadProgress::ReportPhase(IfcReadPhase phase, size_t done, size_t total) {
    auto now = std::chrono::steady_clock::now();
    // Every read begins by checking the text: the clock starts again there.
    if (phase == IfcReadPhase::CheckingText || !reading_) start_ = now;
    bool newPhase = !reading_ || phase != phase_ || phase == IfcReadPhase::CheckingText;
    if (!newPhase && now - lastLine_ < std::chrono::seconds(1)) return;
    reading_ = true;
    phase_ = phase;
    lastLine_ = now;
    double seconds = std::chrono::duration<double>(now - start_).count();
    std::string line = BKToUtf8(ReadPhaseLine(phase, done, total)) + " (" + BKToUtf8(ReadElapsedLine(seconds)) + ")";
    std::fprintf(out_, "%s: %s\n", name_, line.c_str());
    std::fflush(out_);
}
