#include "display/ConstructionTypeDisplay.h"

#include "hostapi/HostElementRecord.h"

#include <cstring>
#include <vector>

namespace TypeDisplay {
namespace {

struct Field {
    uint16_t element; // offset in the element record
    uint8_t save;     // offset in the link record
};

// A material kept in two slots that hold the same value; restore takes the later slot.
struct MaterialField {
    uint16_t element;
    uint8_t save;
    uint8_t saveTwin; // 0: none
};

enum class FlagRule {
    None,
    AllOrNothing, // three flags saved as one: 1 when all were set; restore gives all three that value
    Each,         // each flag to its own slot and back
    AlwaysOne,    // the byte is set to 1 both ways and not saved
};

struct KindRow {
    int32_t kind;
    std::vector<Field> pens;
    std::vector<MaterialField> materials;
    std::vector<Field> flags;
    FlagRule flagRule;
};

const std::vector<KindRow>& Rows() {
    using namespace HostElement;
    static const std::vector<KindRow> rows = {
        {Wall, {{104, kPen1}, {112, kPen2}}, {{118, kMat1, 0}, {120, kMat2, 0}, {122, kMat3, 0}},
         {{131, kFlag1}, {132, kFlag1}, {133, kFlag1}}, FlagRule::AllOrNothing},
        {Column, {{104, kPen1}, {108, kPen2}, {204, kPen3}, {112, kPen4}}, {{124, kMat1, 0}}, {}, FlagRule::None},
        {Beam, {{104, kPen1}, {112, kPen2}, {114, kPen3}, {108, kPen4}, {294, kPen5}},
         {{120, kMat1, 0}, {122, kMat2, 0}, {124, kMat3, 0}, {126, kMat4, 0}, {128, kMat5, 0}}, {}, FlagRule::None},
        {Window, {{104, kPen1}}, {{108, kMat1, 0}}, {{120, kFlag1}, {122, kFlag2}}, FlagRule::Each},
        {Door, {{104, kPen1}}, {{108, kMat1, 0}}, {{120, kFlag1}, {122, kFlag2}}, FlagRule::Each},
        {Object, {{104, kPen1}}, {{108, kMat1, 0}}, {{120, kFlag1}, {122, kFlag2}}, FlagRule::Each},
        {Lamp, {{104, kPen1}}, {{108, kMat1, 0}}, {{120, kFlag1}, {122, kFlag2}}, FlagRule::Each},
        {Slab, {{104, kPen1}, {114, kPen2}, {110, kPen3}}, {{118, kMat1, 0}, {120, kMat2, 0}, {122, kMat3, 0}}, {},
         FlagRule::None},
        {Roof, {{104, kPen1}, {114, kPen2}, {110, kPen3}, {312, kPen4}, {208, kPen5}},
         {{118, kMat1, 0}, {120, kMat2, 0}, {122, kMat3, 0}}, {}, FlagRule::None},
        {Mesh, {{104, kPen1}, {116, kPen2}, {112, kPen3}, {192, kPen4}},
         {{118, kMat1, 0}, {120, kMat2, 0}, {122, kMat3, 0}}, {}, FlagRule::None},
        {Zone, {{104, kPen1}}, {}, {{108, 0}}, FlagRule::AlwaysOne},
        {Hatch, {{104, kPen1}, {106, kPen2}}, {}, {}, FlagRule::None},
        {Line, {{104, kPen1}, {118, kPen2}}, {}, {}, FlagRule::None},
        {Arc, {{104, kPen1}, {118, kPen2}}, {}, {}, FlagRule::None},
        {Circle, {{104, kPen1}}, {}, {}, FlagRule::None},
        {Spline, {{104, kPen1}, {118, kPen2}}, {}, {}, FlagRule::None},
        {CurtainWall, {{226, kPen1}, {236, kPen2}, {218, kPen3}, {222, kPen4}, {232, kPen5}, {242, kPen6}},
         {{706, kMat1, 0}, {1058, kMat2, 0}, {1410, kMat3, 0}, {1762, kMat4, kMat5}, {1978, kMat6, kMat7}},
         {{244, kFlag1}, {245, kFlag3}}, FlagRule::Each},
    };
    return rows;
}

const KindRow* RowOf(int32_t kind) {
    for (const auto& r : Rows())
        if (r.kind == kind) return &r;
    return nullptr;
}

void Mark16(std::span<uint8_t> mask, size_t offset) { LE::Put<int16_t>(mask, offset, -1); }

// Both ways the same: the flags are set and not saved.
void SetFlagsToOne(const KindRow& row, std::span<uint8_t> element, std::span<uint8_t> mask) {
    for (const auto& f : row.flags) {
        element[f.element] = 1;
        mask[f.element] = 1;
    }
}

} // namespace

std::optional<int16_t> FirstPen(std::span<const uint8_t> element) {
    const KindRow* row = RowOf(LE::Get<int32_t>(element, HostElement::kKind));
    if (!row || row->pens.empty()) return std::nullopt;
    return LE::Get<int16_t>(element, row->pens.front().element);
}

std::optional<int16_t> OwnMaterial(std::span<const uint8_t> element, const ElementLinkRecord& link) {
    const KindRow* row = RowOf(LE::Get<int32_t>(element, HostElement::kKind));
    if (!row || row->materials.empty()) return std::nullopt;
    const MaterialField& first = row->materials.front();
    return IsOverridden(link) ? LE::Get<int16_t>(link.Span(), first.saveTwin ? first.saveTwin : first.save)
                              : LE::Get<int16_t>(element, first.element);
}

void OverrideAttributes(std::span<uint8_t> element, std::span<uint8_t> mask, ElementLinkRecord& link, int16_t pen,
                        int16_t material) {
    std::fill(mask.begin(), mask.end(), 0);
    const KindRow* row = RowOf(LE::Get<int32_t>(element, HostElement::kKind));
    if (!row) return;
    auto save = link.Span();
    for (const auto& f : row->pens) {
        LE::Put<int16_t>(save, f.save, LE::Get<int16_t>(element, f.element));
        LE::Put<int16_t>(element, f.element, pen);
        Mark16(mask, f.element);
    }
    LE::Put<int16_t>(save, kZeroPenMark, LE::Get<int16_t>(save, kPen1) == 0 ? 1 : 0);
    for (const auto& m : row->materials) {
        int16_t own = LE::Get<int16_t>(element, m.element);
        LE::Put<int16_t>(save, m.save, own);
        if (m.saveTwin) LE::Put<int16_t>(save, m.saveTwin, own);
        LE::Put<int16_t>(element, m.element, material);
        Mark16(mask, m.element);
    }
    switch (row->flagRule) {
    case FlagRule::AllOrNothing: {
        bool all = true;
        for (const auto& f : row->flags) all = all && element[f.element] != 0;
        LE::Put<int32_t>(save, row->flags.front().save, all ? 1 : 0);
        for (const auto& f : row->flags) {
            element[f.element] = 0;
            mask[f.element] = 1;
        }
        break;
    }
    case FlagRule::Each:
        for (const auto& f : row->flags) {
            LE::Put<int32_t>(save, f.save, element[f.element]);
            element[f.element] = 0;
            mask[f.element] = 1;
        }
        break;
    case FlagRule::AlwaysOne: SetFlagsToOne(*row, element, mask); break;
    case FlagRule::None: break;
    }
}

void RestoreAttributes(std::span<uint8_t> element, std::span<uint8_t> mask, ElementLinkRecord& link) {
    std::fill(mask.begin(), mask.end(), 0);
    auto save = link.Span();
    if (const KindRow* row = RowOf(LE::Get<int32_t>(element, HostElement::kKind))) {
        for (const auto& f : row->pens) {
            LE::Put<int16_t>(element, f.element, LE::Get<int16_t>(save, f.save));
            Mark16(mask, f.element);
        }
        for (const auto& m : row->materials) {
            LE::Put<int16_t>(element, m.element, LE::Get<int16_t>(save, m.saveTwin ? m.saveTwin : m.save));
            Mark16(mask, m.element);
        }
        switch (row->flagRule) {
        case FlagRule::AllOrNothing:
        case FlagRule::Each:
            for (const auto& f : row->flags) {
                element[f.element] = static_cast<uint8_t>(LE::Get<int32_t>(save, f.save));
                mask[f.element] = 1;
            }
            break;
        case FlagRule::AlwaysOne: SetFlagsToOne(*row, element, mask); break;
        case FlagRule::None: break;
        }
    }
    // From the first pen through the fifth material, and from the first flag through the sixth pen.
    std::memset(save.data() + kPen1, 0, kMat5 + 2 - kPen1);
    std::memset(save.data() + kFlag1, 0, kPen6 + 2 - kFlag1);
}

} // namespace TypeDisplay
