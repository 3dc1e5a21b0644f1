#include "movie/MovieFailureReport.h"

#include "hostcalls/HostInterface.h"
#include "resources/AddonResources.h"

#include <string>

namespace {
constexpr int16_t kFailureLines = 32585;
} // namespace

void ReportMovieFailure(int16_t listId, int16_t index, std::string_view moviePath, std::string_view reason) {
    std::string what = AddonString(listId, index);
    std::string line = reason.empty() ? AddonFormat(kFailureLines, 2, {what, moviePath})
                                      : AddonFormat(kFailureLines, 1, {what, moviePath, reason});
    HostReportWrite(line.c_str(), 0);
}
