#include "display/ProfilesJson.h"

#include "basekit/BKText.h"
#include "display/JsonValueLines.h"

#include <nlohmann/json.hpp>

#include <array>

using json = nlohmann::ordered_json;

namespace {

constexpr std::array<const char*, kConstructionTypeCount> kTypeKeys{"construction", "demolition", "renovation", "fixed",
                                                                   "temporary"};

struct Refusal {
    ProfilesFileProblem::Kind kind;
    std::string pointer;
    std::string param;
};

[[noreturn]] void Refuse(ProfilesFileProblem::Kind kind, std::string pointer, std::string param = {}) {
    throw Refusal{kind, std::move(pointer), std::move(param)};
}

uint8_t Byte(const json& v, int64_t most, const std::string& at, const std::string& key) {
    if (!v.is_number_integer() || v.get<int64_t>() < 0 || v.get<int64_t>() > most) Refuse(ProfilesFileProblem::BadValue, at, key);
    return static_cast<uint8_t>(v.get<int64_t>());
}

// A look: "hide", "model", "type", or {"color": [R, G, B], "transparency": T}. While the task runs
// the transparency may be a pair, from start to finish, and the object may say "grow" and
// "stagger", with "look": "model" or "type" instead of a colour.
PhaseLook ReadPhase(const json& v, const std::string& at, const std::string& key, AppearanceProfile* during) {
    if (v.is_string()) {
        const std::string& s = v.get_ref<const std::string&>();
        if (s == "hide") return PhaseLook::Hidden();
        if (s == "model") return PhaseLook::Own();
        if (s == "type") return PhaseLook::OfType();
        Refuse(ProfilesFileProblem::BadValue, at, key);
    }
    if (!v.is_object()) Refuse(ProfilesFileProblem::BadValue, at, key);
    PhaseLook look = PhaseLook::Own();
    bool coloured = false, named = false;
    for (auto& [k, value] : v.items()) {
        const std::string here = at + "/" + k;
        if (k == "color") {
            if (!value.is_array() || value.size() != 3) Refuse(ProfilesFileProblem::BadValue, here, k);
            look.kind = PhaseLook::Kind::Colour;
            look.colour = {Byte(value[0], 255, here + "/0", k), Byte(value[1], 255, here + "/1", k),
                           Byte(value[2], 255, here + "/2", k)};
            coloured = true;
        } else if (k == "transparency") {
            if (value.is_array() && during) {
                if (value.size() != 2) Refuse(ProfilesFileProblem::BadValue, here, k);
                look.transparency = Byte(value[0], 100, here + "/0", k);
                look.transparencyAtFinish = Byte(value[1], 100, here + "/1", k);
            } else {
                look.transparency = look.transparencyAtFinish = Byte(value, 100, here, k);
            }
        } else if (k == "look" && value.is_string() && (value == "model" || value == "type")) {
            look.kind = value == "model" ? PhaseLook::Kind::Model : PhaseLook::Kind::TypeLook;
            named = true;
        } else if (k == "grow" && during) {
            auto d = value.is_string() ? GrowDirectionFromText(value.get_ref<const std::string&>()) : std::nullopt;
            if (!d) Refuse(ProfilesFileProblem::BadValue, here, k);
            during->grow = *d;
        } else if (k == "stagger" && during) {
            if (!value.is_boolean()) Refuse(ProfilesFileProblem::BadValue, here, k);
            during->stagger = value.get<bool>();
        } else if (k == "look") {
            Refuse(ProfilesFileProblem::BadValue, here, k);
        } else {
            Refuse(ProfilesFileProblem::UnknownKey, here, k);
        }
    }
    // One look: a colour, or the element's own or its type's.
    if (coloured == named) Refuse(ProfilesFileProblem::BadValue, at, key);
    if (!coloured) look.transparency = look.transparencyAtFinish = 0;
    return look;
}

std::string NameOf(const json& v, const std::string& at, const std::string& key) {
    if (!v.is_string()) Refuse(ProfilesFileProblem::BadValue, at, key);
    std::string name = BKFromUtf8(v.get_ref<const std::string&>());
    if (name.empty() || name.size() > AppearanceProfile::kNameMax || name.find('\0') != std::string::npos)
        Refuse(ProfilesFileProblem::BadValue, at, key);
    return name;
}

AppearanceProfile ReadProfile(const json& p, const std::string& at) {
    if (!p.is_object()) Refuse(ProfilesFileProblem::BadValue, at, "profiles");
    AppearanceProfile profile;
    bool phases[3] = {};
    for (auto& [k, v] : p.items()) {
        const std::string here = at + "/" + k;
        if (k == "name") profile.name = NameOf(v, here, k);
        else if (k == "before") profile.before = ReadPhase(v, here, k, nullptr), phases[0] = true;
        else if (k == "during") profile.during = ReadPhase(v, here, k, &profile), phases[1] = true;
        else if (k == "after") profile.after = ReadPhase(v, here, k, nullptr), phases[2] = true;
        else if (k == "early") profile.early = ReadPhase(v, here, k, nullptr);
        else if (k == "late") profile.late = ReadPhase(v, here, k, nullptr);
        else Refuse(ProfilesFileProblem::UnknownKey, here, k);
    }
    if (profile.name.empty()) Refuse(ProfilesFileProblem::BadValue, at, "name");
    const char* keys[] = {"before", "during", "after"};
    for (size_t i = 0; i < 3; ++i)
        if (!phases[i]) Refuse(ProfilesFileProblem::BadValue, at, keys[i]);
    return profile;
}

json WritePhase(const PhaseLook& look, const AppearanceProfile* during) {
    const bool grows = during && (during->grow != GrowDirection::None || during->stagger);
    json j = json::object();
    switch (look.kind) {
    case PhaseLook::Kind::Hide: return "hide";
    case PhaseLook::Kind::Model:
        if (!grows) return "model";
        j["look"] = "model";
        break;
    case PhaseLook::Kind::TypeLook:
        if (!grows) return "type";
        j["look"] = "type";
        break;
    case PhaseLook::Kind::Colour:
        j["color"] = {look.colour.red, look.colour.green, look.colour.blue};
        if (look.Fades()) j["transparency"] = {look.transparency, look.transparencyAtFinish};
        else j["transparency"] = look.transparency;
        break;
    }
    if (during && during->grow != GrowDirection::None) j["grow"] = std::string(GrowDirectionText(during->grow));
    if (during && during->stagger) j["stagger"] = true;
    return j;
}

} // namespace

bool ReadProfiles(std::string_view utf8, ProfileSet& set, ProfilesFileProblem& problem) {
    json doc;
    try {
        doc = json::parse(utf8.begin(), utf8.end());
    } catch (const json::parse_error& e) {
        // The byte the parser stopped at tells the line.
        int line = 1;
        for (size_t i = 0; i < std::min(e.byte, utf8.size()) && i + 1 < e.byte; ++i)
            if (utf8[i] == '\n') ++line;
        problem = {ProfilesFileProblem::NotJson, line, {}};
        return false;
    }
    ProfileSet read = set;
    try {
        if (!doc.is_object()) Refuse(ProfilesFileProblem::NoProfiles, "");
        for (auto& [k, v] : doc.items())
            if (k != "profiles" && k != "types") Refuse(ProfilesFileProblem::UnknownKey, "/" + k, k);
        auto profiles = doc.find("profiles");
        if (profiles == doc.end() || !profiles->is_array()) Refuse(ProfilesFileProblem::NoProfiles, "/profiles");
        std::vector<std::string> names;
        for (size_t i = 0; i < profiles->size(); ++i) {
            const std::string at = "/profiles/" + std::to_string(i);
            AppearanceProfile p = ReadProfile((*profiles)[i], at);
            if (std::find(names.begin(), names.end(), p.name) != names.end())
                Refuse(ProfilesFileProblem::NameTwice, at + "/name", p.name);
            names.push_back(p.name);
            read.Put(p);
        }
        if (auto types = doc.find("types"); types != doc.end()) {
            if (!types->is_object()) Refuse(ProfilesFileProblem::BadValue, "/types", "types");
            for (auto& [k, v] : types->items()) {
                const std::string at = "/types/" + k;
                auto key = std::find(kTypeKeys.begin(), kTypeKeys.end(), k);
                if (key == kTypeKeys.end()) Refuse(ProfilesFileProblem::UnknownKey, at, k);
                const std::string name = NameOf(v, at, k);
                if (!read.ChooseForType(static_cast<ConstructionType>(key - kTypeKeys.begin()), name))
                    Refuse(ProfilesFileProblem::UnknownProfile, at, name);
            }
        }
    } catch (const Refusal& r) {
        problem = {r.kind, LineOf(JsonValueLines(utf8), r.pointer), {BKFromUtf8(r.param)}};
        return false;
    }
    set = std::move(read);
    return true;
}

std::string WriteProfiles(const ProfileSet& set) {
    json profiles = json::array();
    for (const AppearanceProfile& p : set.Profiles()) {
        json j;
        j["name"] = BKToUtf8(p.name);
        j["before"] = WritePhase(p.before, nullptr);
        j["during"] = WritePhase(p.during, &p);
        j["after"] = WritePhase(p.after, nullptr);
        const AppearanceProfile plain;
        if (!(p.early == plain.early)) j["early"] = WritePhase(p.early, nullptr);
        if (!(p.late == plain.late)) j["late"] = WritePhase(p.late, nullptr);
        profiles.push_back(std::move(j));
    }
    json types = json::object();
    for (size_t i = 0; i < kTypeKeys.size(); ++i)
        types[kTypeKeys[i]] = BKToUtf8(set.TypeChoice(static_cast<ConstructionType>(i)));
    json doc;
    doc["profiles"] = std::move(profiles);
    doc["types"] = std::move(types);
    return doc.dump(2) + "\n";
}
