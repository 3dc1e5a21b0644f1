#include "host/ifc/helper/RecordPathPlan.h"

#include "host/ifc/helper/LibraryMessages.h"
#include "host/ifc/helper/RecordBodyMesh.h"
#include "host/ifc/helper/ReusedItems.h"
#include "host/ifc/step/StepDataReader.h"
#include "host/ifc/step/StepValues.h"
#include "steptext/StepUntyped.h"

#include <ifcpp/geometry/Carve/GeometryConverter.h>
#include <ifcpp/model/BuildingModel.h>
#include <ifcpp/model/UnitConverter.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <span>
#include <stdexcept>
#include <thread>
#include <unordered_map>

namespace {

std::string_view TypeAt(std::string_view text, const StepScan& scan, uint32_t position) {
    return StepTypeAt(text, scan.Offset(position));
}

std::vector<std::string_view> AttributesAt(std::string_view text, const StepScan& scan, uint32_t position) {
    return StepAttributes(text.substr(scan.Offset(position), scan.End(position) - scan.Offset(position)));
}

std::optional<uint32_t> PlaceOf(const StepScan& scan, int id) {
    const int64_t position = scan.Position(id);
    if (position < 0) return std::nullopt;
    return static_cast<uint32_t>(position);
}

// Every record `from` leads to, marked in `marks`; those already marked are not gone below.
void MarkBelow(const StepScan& scan, uint32_t from, std::vector<bool>& marks) {
    std::vector<uint32_t> stack{from};
    while (!stack.empty()) {
        const uint32_t at = stack.back();
        stack.pop_back();
        if (marks[at]) continue;
        marks[at] = true;
        for (int ref : scan.References(at))
            if (auto place = PlaceOf(scan, ref); place && !marks[*place]) stack.push_back(*place);
    }
}

// The units the project at `position` assigns; nothing when its assignment cannot be read.
std::optional<std::vector<int>> UnitsOfProject(std::string_view text, const StepScan& scan, uint32_t position) {
    const std::vector<std::string_view> project = AttributesAt(text, scan, position);
    if (project.size() < 9) return std::nullopt;
    const auto assignment = PlaceOf(scan, StepReference(project[8]));
    if (!assignment || TypeAt(text, scan, *assignment) != "IFCUNITASSIGNMENT") return std::nullopt;
    const std::vector<std::string_view> units = AttributesAt(text, scan, *assignment);
    if (units.empty()) return std::nullopt;
    return StepReferences(units[0]);
}

// What one thread made: the products' places, their meshes, and the items of their bodies.
struct Made {
    std::vector<uint32_t> positions;
    PlannedMeshes meshes;
    std::vector<int> items;
};

// What the workers keep of the meshes made, at most.
constexpr size_t kReusedBytes = size_t{96} << 20;

// By place in the file: the openings to cut from an element, in the order of their relations'
// numbers, as the library finds them.
using OpeningsOf = std::unordered_map<uint32_t, std::vector<uint32_t>>;
// By place in the file: the element with openings a part is a part of.
using WholesOf = std::unordered_map<uint32_t, uint32_t>;

// The bodies of `products` made with a sweeper of a library conversion of its own, in the file's
// unit; a body the sweeper speaks of is the library's.
void MakeShare(std::string_view text, const StepScan& scan, double metres, std::optional<double> radians, const std::vector<bool>& notHere,
               const OpeningsOf& openingsOf, const WholesOf& wholesOf, std::span<const uint32_t> products, ReusedItems* reused,
               Made& made) {
    auto model = std::make_shared<BuildingModel>();
    model->getUnitConverter()->setLengthInMeterFactor(metres);
    GeometryConverter converter(model);
    LibraryMessages said;
    said.Listen(converter);
    const RecordBodyMesh records(text, scan, *converter.getRepresentationConverter(), metres, radians);
    std::vector<int> items;
    OpeningCuts cuts;
    std::optional<ReusedItems::Turn> turn;
    if (reused) turn.emplace(*reused);
    for (uint32_t position : products) {
        if (notHere[position]) continue;
        const std::vector<int> bodies = BodyRepresentationsOf(text, scan, scan.ProductReferences(position)[1]);
        if (bodies.empty()) continue;
        items.clear();
        const size_t before = said.Count();
        // Its own openings, then those of the element it is a part of.
        cuts.clear();
        if (const auto own = openingsOf.find(position); own != openingsOf.end()) cuts.push_back(own->second);
        if (const auto whole = wholesOf.find(position); whole != wholesOf.end()) cuts.push_back(openingsOf.at(whole->second));
        std::optional<ProductMesh> mesh = records.Mesh(position, bodies, &items, cuts.empty() ? nullptr : &cuts, turn ? &*turn : nullptr);
        if (!mesh || said.Count() != before || !made.meshes.Add(position, *mesh)) {
            if (turn) turn->Drop();
            continue;
        }
        if (turn) turn->Commit();
        made.positions.push_back(position);
        made.items.insert(made.items.end(), items.begin(), items.end());
    }
}

} // namespace

size_t RecordPathPlan::Unmade() const { return static_cast<size_t>(std::count(use.begin(), use.end(), RecordUse::Unmade)); }

std::optional<double> RecordLengthUnit(std::string_view text, const StepScan& scan, const RecordTypes& types) {
    std::optional<double> metres;
    int projects = 0;
    for (uint32_t position : types.FindAsWritten({"IFCPROJECT"})) {
        if (++projects > 1) return std::nullopt;
        const std::optional<std::vector<int>> units = UnitsOfProject(text, scan, position);
        if (!units) return std::nullopt;
        for (int unit : *units) {
            const auto place = PlaceOf(scan, unit);
            if (!place) return std::nullopt;
            const std::string_view type = TypeAt(text, scan, *place);
            const std::vector<std::string_view> a = AttributesAt(text, scan, *place);
            if (type == "IFCCONVERSIONBASEDUNIT" && !a.empty() && a.size() > 1 && StepEnumeration(a[1]) == "LENGTHUNIT") return std::nullopt;
            if (type != "IFCSIUNIT" || a.size() < 4 || StepEnumeration(a[1]) != "LENGTHUNIT") continue;
            if (metres || StepEnumeration(a[3]) != "METRE") return std::nullopt;
            const std::string_view prefix = a[2] == "$" ? std::string_view() : StepEnumeration(a[2]);
            if (prefix.empty() && a[2] != "$") return std::nullopt;
            if (prefix.empty()) metres = 1.0;
            else if (prefix == "DECI") metres = 0.1;
            else if (prefix == "CENTI") metres = 0.01;
            else if (prefix == "MILLI") metres = 0.001;
            else return std::nullopt;
        }
    }
    return metres;
}

std::optional<double> RecordPlaneAngleUnit(std::string_view text, const StepScan& scan, const RecordTypes& types) {
    std::optional<double> radians;
    for (uint32_t position : types.FindAsWritten({"IFCPROJECT"})) {
        const std::optional<std::vector<int>> units = UnitsOfProject(text, scan, position);
        if (!units) return std::nullopt;
        for (int unit : *units) {
            const auto place = PlaceOf(scan, unit);
            if (!place) continue;
            const std::string_view type = TypeAt(text, scan, *place);
            const std::vector<std::string_view> a = AttributesAt(text, scan, *place);
            if (type == "IFCSIUNIT") {
                if (a.size() > 3 && StepEnumeration(a[1]) == "PLANEANGLEUNIT" && StepEnumeration(a[3]) == "RADIAN") radians = 1.0;
                continue;
            }
            // The library judges a converted unit by the unit it is converted from.
            if (type != "IFCCONVERSIONBASEDUNIT" || a.size() < 4) continue;
            const auto factor = PlaceOf(scan, StepReference(a[3]));
            if (!factor || TypeAt(text, scan, *factor) != "IFCMEASUREWITHUNIT") continue;
            const std::vector<std::string_view> measure = AttributesAt(text, scan, *factor);
            if (measure.size() < 2) continue;
            const auto from = PlaceOf(scan, StepReference(measure[1]));
            if (!from || TypeAt(text, scan, *from) != "IFCSIUNIT") continue;
            const std::vector<std::string_view> si = AttributesAt(text, scan, *from);
            if (si.size() < 2 || StepEnumeration(si[1]) != "PLANEANGLEUNIT") continue;
            const std::string_view value = measure[0];
            if (value.starts_with("IFCPLANEANGLEMEASURE(") || value.starts_with("IFCRATIOMEASURE(")) {
                const std::optional<double> number = StepReal(StepUntyped(value));
                if (!number || !std::isfinite(*number)) return std::nullopt;
                radians = *number;
            } else if (value != "$") {
                // A value of another type: the library takes the unit's name.
                std::string name;
                if (a[2].size() >= 2 && a[2].front() == '\'' && a[2].back() == '\'')
                    for (char c : a[2].substr(1, a[2].size() - 2)) name += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
                if (name == "DEGREE") radians = M_PI / 180.0;
            }
        }
    }
    return radians;
}

RecordPathPlan PlanRecordPath(std::string_view text, const StepScan& scan, const RecordTypes& types, unsigned threads, bool reuseItems) {
    RecordPathPlan plan;
    const size_t count = scan.ids.size();
    plan.meshAt.assign(count, RecordPathPlan::kNone);
    const std::optional<double> metres = RecordLengthUnit(text, scan, types);
    if (!metres) return plan;
    plan.metres = *metres;

    // The library's: the openings, an element one of whose openings is not in the file, and a
    // part of such an element, or of more than one with openings, or nested in one. The others
    // with openings, and the parts of one with openings, have them cut here.
    std::vector<bool> notHere(count, false);
    auto markAttribute = [&](const std::vector<std::string_view>& a, size_t index) {
        if (index >= a.size()) return;
        for (int id : StepReferences(a[index]))
            if (auto place = PlaceOf(scan, id)) notHere[*place] = true;
    };
    std::vector<std::pair<int, uint32_t>> decompositions; // (the relation's number, its place)
    std::vector<std::pair<int, uint32_t>> voids; // (the relation's number, its place)
    for (uint32_t position : types.FindAsWritten({"IFCRELVOIDSELEMENT", "IFCRELAGGREGATES", "IFCRELNESTS"})) {
        if (types.WrittenAt(position) == "IFCRELVOIDSELEMENT") voids.emplace_back(scan.ids[position], position);
        else decompositions.emplace_back(scan.ids[position], position);
    }
    std::sort(voids.begin(), voids.end());
    std::sort(decompositions.begin(), decompositions.end());
    OpeningsOf openingsOf;
    for (const auto& [id, position] : voids) {
        const std::vector<std::string_view> a = AttributesAt(text, scan, position);
        if (a.size() < 6) continue;
        const auto element = PlaceOf(scan, StepReference(a[4]));
        const auto opening = PlaceOf(scan, StepReference(a[5]));
        if (element && opening) openingsOf[*element].push_back(*opening);
        else if (element) notHere[*element] = true;
        markAttribute(a, 5);
    }
    WholesOf wholesOf;
    for (const auto& [id, position] : decompositions) {
        const std::vector<std::string_view> a = AttributesAt(text, scan, position);
        if (a.size() < 6) continue;
        const auto whole = PlaceOf(scan, StepReference(a[4]));
        if (!whole || !openingsOf.count(*whole)) continue;
        if (notHere[*whole] || types.WrittenAt(position) != "IFCRELAGGREGATES") {
            markAttribute(a, 5);
            continue;
        }
        for (int part : StepReferences(a[5]))
            if (auto place = PlaceOf(scan, part)) {
                auto [at, first] = wholesOf.emplace(*place, *whole);
                if (!first && at->second != *whole) notHere[*place] = true;
            }
    }

    // The products to make here, each thread a share of them in file order.
    std::vector<uint32_t> products;
    for (uint32_t position = 0; position < count; ++position) {
        if (!scan.MayBeProduct(position)) continue;
        const int shape = scan.ProductReferences(position)[1];
        if (shape >= 0 && PlaceOf(scan, shape)) products.push_back(position);
    }
    const std::optional<double> radians = RecordPlaneAngleUnit(text, scan, types);
    carve::setEpsilon(1.5e-05 * plan.metres);
    // Bodies cut by Boolean operations take the conversion heap one at a time: with two workers
    // to a core, one that waits for it leaves its core to another.
    const unsigned workers = threads > 1 ? std::min(threads * 2, 8u) : 1u;
    std::vector<Made> shares(workers);
    ReusedItems reused(kReusedBytes);
    auto make = [&](unsigned worker) {
        const size_t from = products.size() * worker / workers, to = products.size() * (worker + 1) / workers;
        MakeShare(text, scan, plan.metres, radians, notHere, openingsOf, wholesOf, {products.data() + from, to - from},
                  reuseItems ? &reused : nullptr, shares[worker]);
    };
    // Which records another refers to, found beside the bodies' making: a walk of every
    // reference, which the plan's end would otherwise wait for.
    std::vector<bool> referred(count, false);
    std::jthread referring([&] {
        for (uint32_t position = 0; position < count; ++position)
            for (int ref : scan.References(position))
                if (auto place = PlaceOf(scan, ref)) referred[*place] = true;
    });
    {
        std::vector<std::thread> helpers;
        for (unsigned t = 1; t < workers; ++t) helpers.emplace_back(make, t);
        make(0);
        for (auto& h : helpers) h.join();
    }
    referring.join();
    plan.reusedItems = reused.Reused();
    std::vector<bool> libraryNeeds(count, false);
    std::vector<int> items;
    for (Made& share : shares) {
        // The shares are of products in file order, and gave nothing back.
        const size_t first = plan.meshes.Count();
        if (!plan.meshes.Append(std::move(share.meshes))) throw std::logic_error("the record bodies' shares out of order");
        for (size_t i = 0; i < share.positions.size(); ++i) plan.meshAt[share.positions[i]] = static_cast<uint32_t>(first + i);
        items.insert(items.end(), share.items.begin(), share.items.end());
    }
    for (uint32_t position : products)
        if (!plan.ByRecords(position)) MarkBelow(scan, *PlaceOf(scan, scan.ProductReferences(position)[1]), libraryNeeds);

    // Bare: the items of bodies made here that no other shape needs; unmade: what only they
    // lead to. Every record is below one that none refers to, the file having no loops.
    plan.use.assign(count, RecordUse::Read);
    size_t bare = 0;
    for (int item : items) {
        const auto place = PlaceOf(scan, item);
        if (place && !libraryNeeds[*place] && plan.use[*place] != RecordUse::Bare) {
            plan.use[*place] = RecordUse::Bare;
            ++bare;
        }
    }
    if (bare == 0) {
        plan.use.clear();
        return plan;
    }
    std::vector<bool> reached(count, false);
    std::vector<uint32_t> stack;
    for (uint32_t root = 0; root < count; ++root) {
        if (referred[root]) continue;
        stack.push_back(root);
        while (!stack.empty()) {
            const uint32_t at = stack.back();
            stack.pop_back();
            if (reached[at]) continue;
            reached[at] = true;
            if (plan.use[at] == RecordUse::Bare) continue;
            for (int ref : scan.References(at))
                if (auto place = PlaceOf(scan, ref); place && !reached[*place]) stack.push_back(*place);
        }
    }
    for (uint32_t position = 0; position < count; ++position)
        if (!reached[position]) plan.use[position] = RecordUse::Unmade;
    return plan;
}

void MarkRecordsBelow(const StepScan& scan, uint32_t from, std::vector<bool>& marks) { MarkBelow(scan, from, marks); }
