#include "host/project/LookStoredForm.h"

#include <array>
#include <cmath>
#include <string_view>

using json = nlohmann::json;

namespace {

constexpr std::array<std::string_view, 7> kAxes{"", "+z", "-z", "+x", "-x", "+y", "-y"};

uint8_t Byte(const json& v, int64_t most, const std::string& place) {
    if (!v.is_number_integer() || v.get<int64_t>() < 0 || v.get<int64_t>() > most)
        throw ELookForm(place, "expected a whole number from 0 to " + std::to_string(most));
    return static_cast<uint8_t>(v.get<int64_t>());
}

} // namespace

json WriteLook(const LookOverride& look) {
    json j = json::object();
    if (look.coloured) {
        j["color"] = {look.red, look.green, look.blue};
        j["transparency"] = look.transparency;
    }
    if (look.clipAxis != 0 && look.clipAxis < kAxes.size()) {
        j["clip"] = std::string(kAxes[look.clipAxis]);
        j["drawn"] = look.drawn;
    }
    return j;
}

LookOverride ReadLook(const json& j, const std::string& place) {
    if (!j.is_object()) throw ELookForm(place, "expected an object");
    LookOverride look;
    for (auto& [key, v] : j.items()) {
        const std::string at = place + "/" + key;
        if (key == "color") {
            if (!v.is_array() || v.size() != 3) throw ELookForm(at, "expected three numbers");
            look.coloured = true;
            look.red = Byte(v[0], 255, at + "/0");
            look.green = Byte(v[1], 255, at + "/1");
            look.blue = Byte(v[2], 255, at + "/2");
        } else if (key == "transparency") {
            look.transparency = Byte(v, 100, at);
        } else if (key == "clip") {
            size_t axis = 1;
            while (axis < kAxes.size() && !(v.is_string() && v.get<std::string>() == kAxes[axis])) ++axis;
            if (axis == kAxes.size()) throw ELookForm(at, "expected +z, -z, +x, -x, +y or -y");
            look.clipAxis = static_cast<uint8_t>(axis);
        } else if (key == "drawn") {
            if (!v.is_number() || !std::isfinite(v.get<double>()) || v.get<double>() < 0 || v.get<double>() > 1)
                throw ELookForm(at, "expected a share from 0 to 1");
            look.drawn = v.get<double>();
        } else {
            throw ELookForm(at, "unknown key");
        }
    }
    if (!look.coloured) look.transparency = 0;
    if (look.clipAxis == 0) look.drawn = 1.0;
    return look;
}
