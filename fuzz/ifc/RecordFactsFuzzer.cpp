// Facts, layers and colours read from the records of any text the scan accepts: nothing thrown,
// every colour's channels and transparency between 0 and 1, and the same answer when asked again
// (the shared sets are kept between products).
#include "host/ifc/helper/RecordFacts.h"
#include "host/ifc/helper/RecordPresentation.h"
#include "host/ifc/helper/RecordTypes.h"
#include "host/ifc/step/EIfcFile.h"
#include "host/ifc/step/StepEntityScan.h"
#include "host/ifc/step/StepValues.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace {

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "%s\n", what);
    std::abort();
}

void Check(const std::optional<std::optional<SurfaceColour>>& colour) {
    if (!colour || !*colour) return;
    for (double c : (*colour)->rgb)
        if (!(c >= 0 && c <= 1)) Fail("a colour channel outside 0..1");
    if (!((*colour)->transparency >= 0 && (*colour)->transparency <= 1)) Fail("a transparency outside 0..1");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    StepScan scan;
    try {
        scan = ScanStepEntities(text);
    } catch (const EIfcFile&) {
        return 0;
    }
    const RecordTypes types(text, scan);
    RecordFacts facts(text, scan, types);
    const RecordPresentation presentation(text, scan, types);
    for (uint32_t position = 0; position < scan.ids.size(); ++position) {
        if (!scan.MayBeProduct(position)) continue;
        const auto first = facts.Of(position);
        const auto again = facts.Of(position);
        if (first.has_value() != again.has_value() || (first && first->properties != again->properties))
            Fail("a product's facts not the same when read again");
        if (const auto materials = facts.MaterialsOf(position)) {
            for (uint32_t material : *materials)
                if (material >= scan.ids.size()) Fail("a material outside the file");
            Check(presentation.MaterialColourOf(*materials));
        }
        const int shape = scan.ProductReferences(position)[1];
        const int64_t at = shape < 0 ? -1 : scan.Position(shape);
        if (at < 0) continue;
        const auto p = static_cast<uint32_t>(at);
        const std::vector<std::string_view> attributes = StepAttributes(text.substr(scan.Offset(p), scan.End(p) - scan.Offset(p)));
        if (attributes.size() < 3) continue;
        const std::vector<int> bodies = StepReferences(attributes[2]);
        Check(presentation.ColourOf(bodies));
        presentation.LayerOf(bodies);
    }
    return 0;
}
