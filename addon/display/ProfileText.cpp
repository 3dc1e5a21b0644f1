#include "display/ProfileText.h"

#include <cstdio>

namespace {

std::string Look(const PhaseLook& look) {
    switch (look.kind) {
    case PhaseLook::Kind::Hide: return "hide";
    case PhaseLook::Kind::Model: return "model";
    case PhaseLook::Kind::TypeLook: return "type";
    case PhaseLook::Kind::Colour: break;
    }
    char buf[32];
    std::snprintf(buf, sizeof buf, "#%02X%02X%02X/%u", look.colour.red, look.colour.green, look.colour.blue,
                  static_cast<unsigned>(look.transparency));
    std::string out = buf;
    if (look.Fades()) out += "-" + std::to_string(look.transparencyAtFinish);
    return out;
}

std::string Quoted(const std::string& name) { return "\"" + name + "\""; }

} // namespace

std::string ProfileLine(const AppearanceProfile& p) {
    std::string out = "profile " + Quoted(p.name) + " before " + Look(p.before) + " during " + Look(p.during) +
                      " after " + Look(p.after);
    if (p.grow != GrowDirection::None) out += " grow " + std::string(GrowDirectionText(p.grow));
    if (p.stagger) out += " stagger";
    return out + " early " + Look(p.early) + " late " + Look(p.late);
}

std::string TypesLine(const ProfileSet& set) {
    std::string out = "types";
    for (int i = 0; i < kConstructionTypeCount; ++i) out += " " + Quoted(set.TypeChoice(static_cast<ConstructionType>(i)));
    return out;
}
