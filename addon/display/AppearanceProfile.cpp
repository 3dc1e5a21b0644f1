#include "display/AppearanceProfile.h"

#include "resources/AddonResources.h"

namespace {

constexpr std::array<std::string_view, 7> kGrowTexts{"none", "+z", "-z", "+x", "-x", "+y", "-y"};
constexpr int16_t kTypeNames = 32512;

} // namespace

std::string_view GrowDirectionText(GrowDirection d) {
    return kGrowTexts[static_cast<size_t>(d)];
}

std::optional<GrowDirection> GrowDirectionFromText(std::string_view text) {
    for (size_t i = 0; i < kGrowTexts.size(); ++i)
        if (kGrowTexts[i] == text) return static_cast<GrowDirection>(i);
    return std::nullopt;
}

AppearanceProfile DefaultProfile(ConstructionType type) {
    AppearanceProfile p;
    const PhaseLook hide = PhaseLook::Hidden(), own = PhaseLook::Own();
    p.during = PhaseLook::OfType();
    switch (type) {
    case ConstructionType::Construction: p.before = hide, p.after = own; break;
    case ConstructionType::Demolition: p.before = own, p.after = hide; break;
    case ConstructionType::Temporary: p.before = hide, p.after = hide; break;
    default: p.before = own, p.after = own; break;
    }
    if (IsKnownConstructionType(type)) {
        p.name = AddonString(kTypeNames, static_cast<int16_t>(ConstructionTypeIndex(type) + 1));
        // Without its texts every type would share the empty name, and so one profile.
        if (p.name.empty()) p.name = std::string(1, ConstructionTypeLetter(type));
    }
    return p;
}
