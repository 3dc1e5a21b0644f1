#pragma once
// Failure reports to the user, by the kit's own error number or by a system error category and
// code. The headless back-end records every report and tells a listener (the host's transcript
// prints `error TEXT`); texts are UTF-8.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

enum class UTReportKind { ErrorNumber, SystemError };

// System error categories.
inline constexpr int32_t kUTCategoryAVIFile = 4;
// Kit error numbers.
inline constexpr int32_t kUTErrorMovieFile = 57;

struct UTReport {
    UTReportKind kind = UTReportKind::ErrorNumber;
    int32_t number = 0;   // ErrorNumber: the kit's number
    int32_t category = 0; // SystemError: the category ...
    int32_t code = 0;     // ... and the system's result code
    std::string text;
};

void UTReportError(int32_t errorNumber);
void UTReportSystemError(int32_t category, int32_t code);

const std::vector<UTReport>& UTReports();
void UTResetReports();
void UTSetReportListener(std::function<void(const UTReport&)> listener);
