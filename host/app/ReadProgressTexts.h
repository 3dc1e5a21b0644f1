#pragma once
// What a long model read shows while it runs, in the host's language (8-bit code page): the
// desktop's progress window and the headless host's lines on a terminal say the same.
#include "host/ifc/reader/IfcReadProgress.h"

#include <cstddef>
#include <cstdint>
#include <string>

enum class ReadProgressText : int16_t {
    OpeningTitle = 1, // %1 the file's name
    UpdatingTitle,    // %1 the file's name
    CheckingText,
    ConvertingOf, // %1 done, %2 total
    MakingElements,
    Elapsed, // %1 seconds
    Cancel,
    Cancelling,
    Converting, // while the total is not known
};

std::string ReadProgressString(ReadProgressText text);
// `text` with %1 (and %2) filled in.
std::string ReadProgressString(ReadProgressText text, const std::string& p1, const std::string& p2 = {});
// "Converting 120 of 3400 products", "Checking the text", ...
std::string ReadPhaseLine(IfcReadPhase phase, size_t done, size_t total);
// "Elapsed: 3 s"
std::string ReadElapsedLine(double seconds);
