// Bodies made from the records of any text the scan accepts: every triangle names a vertex of its
// product's mesh, every coordinate is a finite number, and nothing is thrown; so too the plan of
// which records the library need not read. The library's sweeper is given what the records make
// of profiles and faces, on a model with nothing parsed.
#include "host/ifc/helper/RecordBodyMesh.h"
#include "host/ifc/helper/RecordPathPlan.h"
#include "host/ifc/helper/RecordTypes.h"
#include "host/ifc/step/EIfcFile.h"
#include "host/ifc/step/StepEntityScan.h"
#include "host/ifc/step/StepValues.h"

#include <ifcpp/geometry/Carve/GeometryConverter.h>
#include <ifcpp/model/BuildingModel.h>

#include <cmath>
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

void Check(const ProductMesh& mesh) {
    for (const auto& v : mesh.vertices)
        for (double c : v)
            if (!std::isfinite(c)) Fail("a coordinate that is not a finite number");
    for (const auto& t : mesh.triangles)
        for (int32_t i : t)
            if (i < 0 || static_cast<size_t>(i) >= mesh.vertices.size()) Fail("a triangle naming no vertex");
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
    static auto model = std::make_shared<BuildingModel>();
    static GeometryConverter converter(model);
    const RecordTypes types(text, scan);
    const RecordBodyMesh records(text, scan, *converter.getRepresentationConverter(), RecordLengthUnit(text, scan, types).value_or(1.0),
                                 RecordPlaneAngleUnit(text, scan, types));
    for (uint32_t position = 0; position < scan.ids.size(); ++position) {
        const int shape = scan.ProductReferences(position)[1];
        const int64_t at = shape < 0 ? -1 : scan.Position(shape);
        if (at < 0) continue;
        const auto p = static_cast<uint32_t>(at);
        const std::vector<std::string_view> attributes = StepAttributes(text.substr(scan.Offset(p), scan.End(p) - scan.Offset(p)));
        if (attributes.size() < 3) continue;
        if (std::optional<ProductMesh> mesh = records.Mesh(position, StepReferences(attributes[2]))) Check(*mesh);
    }
    const RecordPathPlan plan = PlanRecordPath(text, scan, types, 1);
    if (!plan.use.empty() && plan.use.size() != scan.ids.size()) Fail("a plan not of every record");
    for (size_t position = 0; position < plan.meshAt.size(); ++position) {
        if (!plan.ByRecords(position)) continue;
        if (plan.meshAt[position] >= plan.meshes.Count()) Fail("a product's mesh outside the plan's");
        const std::optional<ProductMesh> mesh = plan.meshes.Copy(static_cast<uint32_t>(position));
        if (!mesh) Fail("a product's mesh not in the plan");
        Check(*mesh);
    }
    return 0;
}
