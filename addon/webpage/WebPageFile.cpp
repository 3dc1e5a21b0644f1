#include "webpage/WebPageFile.h"

#include "basekit/BKText.h"
#include "basekit/OwnedHandle.h"
#include "bytes/LittleEndian.h"
#include "display/ElementHider.h"
#include "filekit/FKError.h"
#include "filekit/FKLocation.h"
#include "filekit/FKReplacementFile.h"
#include "hostapi/HostAttributeRecord.h"
#include "hostapi/HostEnvironmentRecords.h"
#include "hostapi/HostSelectors.h"
#include "hostcalls/HostInterface.h"
#include "resources/AddonResources.h"
#include "schedule/tasks/DateTime.h"
#include "webpage/MinuteClock.h"
#include "webpage/PageData.h"
#include "webpage/PageFrame.h"

#include <array>

namespace {

// The construction types' material names, in type order.
constexpr int16_t kTypeMaterialNames = 32511;

std::array<std::array<uint8_t, 3>, 5> TypeColours() {
    std::array<std::array<uint8_t, 3>, 5> out{};
    for (int16_t i = 0; i < 5; ++i) {
        std::vector<uint8_t> m(HostAttribute::kRecordSize, 0);
        LE::Put<int32_t>(m, HostAttribute::kKind, HostAttribute::Material);
        LE::PutText(m, HostAttribute::kName, HostAttribute::kNameSize, AddonString(kTypeMaterialNames, i + 1));
        const int16_t index = HostAttributeSearch(m.data()) == kHostNoError ? LE::Get<int16_t>(m, HostAttribute::kIndex) : 0;
        out[static_cast<size_t>(i)] = MaterialLookOf(index).colour;
    }
    return out;
}

bool ValidUtf8(std::string_view text) { return BKUtf16ToUtf8(BKUtf8ToUtf16(text)) == text; }

} // namespace

std::string PageTitle() {
    std::array<uint8_t, HostProjectRecord::kSize> rec{};
    if (HostEnvironmentGet(kHostSelProjectInfo, rec.data(), nullptr) != kHostNoError) return {};
    OwnedHandle path(LE::Get<uint32_t>(rec, HostProjectRecord::kPathHandle));
    OwnedHandle name(LE::Get<uint32_t>(rec, HostProjectRecord::kNameHandle));
    if (!name) return {};
    std::string title(name.Bytes().begin(), name.Bytes().end());
    if (size_t dot = title.rfind('.'); dot != std::string::npos && dot > 0) title.erase(dot);
    // The host's paths are the system's, UTF-8 here; anything else is taken as the code page.
    return ValidUtf8(title) ? title : BKToUtf8(title);
}

WebPageResult WriteWebPage(const ElementHider& hider, const TaskDB& db, const std::string& path8,
                           const std::function<bool(size_t, size_t)>& step) {
    WebPageResult result;
    // The file first, so a place that takes none is known before the work; it replaces the old one
    // only once whole, and goes unless committed.
    FKReplacementFile file(FKLocation::FromPath8(path8));
    if (int32_t error = file.Open(); error != kFKNoErr) {
        result.fileError = error;
        return result;
    }
    PageModel model;
    size_t total = 0;
    auto scaled = [&step, &total](size_t offset) {
        return [&step, &total, offset](size_t done, size_t all) {
            total = 2 * all;
            return !step || step(offset * all + done, total);
        };
    };
    try {
        if (!ReadPageModel(hider, db, model, scaled(0))) {
            result.outcome = WebPageOutcome::Stopped;
            return result;
        }
    } catch (const EPageModel&) {
        result.outcome = WebPageOutcome::NoModel;
        return result;
    }
    PageDataInput input;
    input.title = PageTitle();
    input.writtenMinute = MinuteOf(DateTime::Now());
    input.typeColours = TypeColours();
    const nlohmann::json data = MakePageData(db, hider.Profiles(), model, input, scaled(1));
    if (data.is_null()) {
        result.outcome = WebPageOutcome::Stopped;
        return result;
    }
    const std::string page = FillPageFrame(WebPageFrame(), input.title,
                                           data.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace), model.glb);
    int32_t error = file.Write(page.data(), page.size());
    if (error == kFKNoErr) error = file.Commit();
    if (error != kFKNoErr) {
        result.fileError = error;
        return result;
    }
    result.outcome = WebPageOutcome::Written;
    result.bytes = page.size();
    return result;
}
