#include "schedule/files/SaveFailureReport.h"

#include "filekit/FKError.h"
#include "hostcalls/HostInterface.h"
#include "resources/AddonResources.h"

#include <string>

namespace {
constexpr int16_t kSaveFailureLine = 32615;
} // namespace

void ReportSaveFailure(std::string_view path, int32_t fileKitError) {
    if (fileKitError == kFKNoErr) return;
    std::string line = AddonFormat(kSaveFailureLine, 1, {path, FKErrorText(fileKitError)});
    HostReportWrite(line.c_str(), 0);
}
