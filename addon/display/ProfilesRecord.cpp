#include "display/ProfilesRecord.h"

#include "bytes/LittleEndian.h"
#include "schedule/projectfile/ByteCursor.h"

namespace {

constexpr size_t kMostProfiles = 1000, kMostTaskChoices = 1000000;

void Put16(std::vector<uint8_t>& out, uint16_t v) { out.push_back(static_cast<uint8_t>(v)), out.push_back(static_cast<uint8_t>(v >> 8)); }
void Put32(std::vector<uint8_t>& out, uint32_t v) {
    for (int k = 0; k < 4; ++k) out.push_back(static_cast<uint8_t>(v >> (8 * k)));
}
void PutText(std::vector<uint8_t>& out, const std::string& s) {
    Put16(out, static_cast<uint16_t>(s.size()));
    out.insert(out.end(), s.begin(), s.end());
}

void PutLook(std::vector<uint8_t>& out, const PhaseLook& l) {
    out.push_back(static_cast<uint8_t>(l.kind));
    out.insert(out.end(), {l.colour.red, l.colour.green, l.colour.blue, l.transparency, l.transparencyAtFinish});
}

// Only the one form a look is written in: a look without a colour holds zeros.
bool GetLook(ByteCursor& in, PhaseLook& l) {
    const uint8_t kind = in.Get<uint8_t>();
    l.colour = {in.Get<uint8_t>(), in.Get<uint8_t>(), in.Get<uint8_t>()};
    l.transparency = in.Get<uint8_t>();
    l.transparencyAtFinish = in.Get<uint8_t>();
    if (!in.Ok() || kind > static_cast<uint8_t>(PhaseLook::Kind::Colour)) return false;
    l.kind = static_cast<PhaseLook::Kind>(kind);
    if (l.kind != PhaseLook::Kind::Colour) return l == PhaseLook{l.kind, {}, 0, 0};
    return l.transparency <= 100 && l.transparencyAtFinish <= 100;
}

} // namespace

std::vector<uint8_t> ProfilesBytes(const ProfileSet& set) {
    std::vector<uint8_t> out;
    Put16(out, static_cast<uint16_t>(set.Profiles().size()));
    for (const AppearanceProfile& p : set.Profiles()) {
        PutText(out, p.name);
        for (const PhaseLook* l : {&p.before, &p.during, &p.after, &p.early, &p.late}) PutLook(out, *l);
        out.push_back(static_cast<uint8_t>(p.grow));
        out.push_back(p.stagger ? 1 : 0);
    }
    for (int t = 0; t < kConstructionTypeCount; ++t) PutText(out, set.TypeChoice(static_cast<ConstructionType>(t)));
    Put32(out, static_cast<uint32_t>(set.TaskChoices().size()));
    for (const auto& [id, name] : set.TaskChoices()) {
        Put32(out, static_cast<uint32_t>(id));
        PutText(out, name);
    }
    return out;
}

bool ReadProfilesBytes(std::span<const uint8_t> body, ProfileSet& set) {
    ByteCursor in(body);
    ProfileSet read;
    const size_t count = in.Get<uint16_t>();
    if (count > kMostProfiles) return false;
    std::vector<AppearanceProfile> profiles;
    for (size_t i = 0; i < count && in.Ok(); ++i) {
        AppearanceProfile p;
        p.name = in.Text16(AppearanceProfile::kNameMax, 1);
        for (PhaseLook* l : {&p.before, &p.during, &p.after, &p.early, &p.late})
            if (!GetLook(in, *l)) return false;
        const uint8_t grow = in.Get<uint8_t>(), stagger = in.Get<uint8_t>();
        if (!in.Ok() || grow > static_cast<uint8_t>(GrowDirection::MinusY) || stagger > 1) return false;
        p.grow = static_cast<GrowDirection>(grow);
        p.stagger = stagger == 1;
        for (const AppearanceProfile& q : profiles)
            if (q.name == p.name) return false;
        profiles.push_back(std::move(p));
    }
    // Written whole, so the set holds exactly these and in this order.
    read.Replace(std::move(profiles));
    for (int t = 0; t < kConstructionTypeCount && in.Ok(); ++t)
        if (!read.ChooseForType(static_cast<ConstructionType>(t), in.Text16(AppearanceProfile::kNameMax, 1))) return false;
    const uint32_t choices = in.Get<uint32_t>();
    if (choices > kMostTaskChoices) return false;
    int32_t previous = 0;
    for (uint32_t i = 0; i < choices && in.Ok(); ++i) {
        const int32_t id = static_cast<int32_t>(in.Get<uint32_t>());
        const std::string name = in.Text16(AppearanceProfile::kNameMax, 1);
        // In the order of ids, each once.
        if (!in.Ok() || (i > 0 && id <= previous) || !read.ChooseForTask(id, name)) return false;
        previous = id;
    }
    if (!in.Ok() || !in.AtEnd()) return false;
    set = std::move(read);
    return true;
}
