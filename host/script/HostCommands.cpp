// The host's own script commands and prints.
#include "basekit/BKText.h"
#include "bytes/LittleEndian.h"
#include "dialogkit/DGAnswers.h"
#include "host/app/ElementQuery.h"
#include "host/app/Host.h"
#include "host/script/HostCommands.h"

#include "host/script/ElementStates.h"
#include "host/script/ScriptCommandTable.h"
#include "host/script/ScriptInterpreter.h"
#include "host/script/ScriptLine.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <map>
#include <set>
#include <sstream>

namespace {

using Args = ScriptInterpreter::Args;

Element* ElementById(Host& host, const std::string& utf8Id, std::string& error) {
    Element* e = host.Model().FindByIdText(BKFromUtf8(utf8Id));
    if (!e) error = "no element " + utf8Id;
    return e;
}

std::string LayerName(Host& host, int16_t index) { return BKToUtf8(host.Model().AttributeName(HostAttribute::Layer, index)); }

void CloseUserStep(Host& host) {
    HostModel& m = host.Model();
    m.CloseUndoStep();
}

bool SetLock(Host& host, const Args& args, bool lock, std::string& error) {
    Element* e = ElementById(host, args[0], error);
    if (!e) return false;
    if (e->Locked() != lock) {
        // A user's change is an undo step of its own, named by the command.
        host.Model().Undo().Open(lock ? "lock" : "unlock");
        auto next = e->record;
        next[HostElement::kLocked] = lock ? 1 : 0;
        host.Model().ChangeElement(*e, next);
        CloseUserStep(host);
    }
    return true;
}

// Every element on the layer and of one of the kinds (either may be left out), in model order.
bool SelectBy(Host& host, const Args& args, std::string& error) {
    int16_t layer = 0;
    std::set<int64_t> kinds;
    for (size_t i = 0; i < args.size(); i += 2) {
        if (i + 1 >= args.size() || (args[i] != "layer" && args[i] != "kind") || (args[i] == "layer" && layer))
            return ScriptUsage("select-by", error);
        if (args[i] == "layer") {
            layer = host.Model().FindAttributeByName(HostAttribute::Layer, BKFromUtf8(args[i + 1]));
            if (!layer) {
                error = "no layer " + args[i + 1];
                return false;
            }
            continue;
        }
        std::stringstream list(args[i + 1]);
        std::string item;
        while (std::getline(list, item, ',')) {
            int64_t kind = 0;
            if (!ParseScriptInt(item, kind) || kind < HostElement::kFirstKind || kind > HostElement::kLastKind) {
                error = "not an element kind (1-42): " + item;
                return false;
            }
            kinds.insert(kind);
        }
    }
    if (!layer && kinds.empty()) return ScriptUsage("select-by", error);
    std::vector<API_Guid> chosen;
    for (const auto& e : host.Model().Elements())
        if ((!layer || e->Layer() == layer) && (kinds.empty() || kinds.count(e->Kind()))) chosen.push_back(e->Guid());
    host.Model().Selection() = chosen;
    return true;
}

// The add-on's 88-byte link record, when the element carries one.
const UserDataBlock* LinkBlock(const Element& e) {
    auto it = e.userData.find("Bauvista");
    if (it == e.userData.end() || it->second.bytes.size() != 88) return nullptr;
    return &it->second;
}

// The fields a kind's record is known to hold, with their widths in bytes: pens and materials
// (16-bit), flags (bytes), camera and path links.
struct RecordField {
    size_t offset;
    int width;
};

const std::vector<RecordField>& KnownFields(int32_t kind) {
    static const std::map<int32_t, std::vector<RecordField>> table = [] {
        auto words = [](std::initializer_list<size_t> offsets, int width) {
            std::vector<RecordField> out;
            for (size_t o : offsets) out.push_back({o, width});
            return out;
        };
        auto join = [](std::vector<RecordField> a, const std::vector<RecordField>& b) {
            a.insert(a.end(), b.begin(), b.end());
            return a;
        };
        std::map<int32_t, std::vector<RecordField>> t;
        t[HostElement::Wall] = join(words({104, 112, 118, 120, 122}, 2), words({131, 132, 133}, 1));
        t[HostElement::Column] = words({104, 108, 112, 124, 204}, 2);
        t[HostElement::Beam] = words({104, 108, 112, 114, 120, 122, 124, 126, 128, 294}, 2);
        for (int32_t k : {HostElement::Window, HostElement::Door, HostElement::Object, HostElement::Lamp})
            t[k] = join(words({104, 108}, 2), words({120, 122}, 1));
        t[HostElement::Slab] = words({104, 110, 114, 118, 120, 122}, 2);
        t[HostElement::Roof] = words({104, 110, 114, 118, 120, 122, 208, 312}, 2);
        t[HostElement::Mesh] = words({104, 112, 116, 118, 120, 122, 192}, 2);
        t[HostElement::Zone] = join(words({104}, 2), words({108}, 1));
        t[HostElement::Hatch] = words({104, 106}, 2);
        for (int32_t k : {HostElement::Line, HostElement::Arc, HostElement::Spline}) t[k] = words({104, 118}, 2);
        t[HostElement::Circle] = words({104}, 2);
        t[HostElement::CurtainWall] = join(words({218, 222, 226, 232, 236, 242, 706, 1058, 1410, 1762, 1978}, 2),
                                           words({244, 245}, 1));
        t[HostElement::Camera] = join(words({HostElement::kCameraPathIndex, HostElement::kCameraNextIndex}, 4),
                                      words({HostElement::kCameraFrames}, 2));
        t[HostElement::CameraPath] = join(words({HostElement::kPathInactive, HostElement::kPathFirstCamera}, 4),
                                          words({HostElement::kPathClosed}, 1));
        return t;
    }();
    static const std::vector<RecordField> none;
    auto it = table.find(kind);
    return it == table.end() ? none : it->second;
}

// " OFFSET=VALUE" for every known field of the kind, zero or not, then for whatever else the
// record holds: 16-bit words, or single bytes beside a known field.
std::string FieldsText(const Element& e) {
    std::map<size_t, std::string> out;
    std::vector<bool> known(HostElement::kRecordSize, false);
    for (const auto& f : KnownFields(e.Kind())) {
        int64_t v = f.width == 1 ? e.record[f.offset]
                    : f.width == 2 ? LE::Get<int16_t>(e.Bytes(), f.offset)
                                   : LE::Get<int32_t>(e.Bytes(), f.offset);
        out[f.offset] = std::to_string(v);
        for (int i = 0; i < f.width; ++i) known[f.offset + static_cast<size_t>(i)] = true;
    }
    for (size_t off = HostElement::kHeaderSize; off + 1 < HostElement::kRecordSize; off += 2) {
        if (!known[off] && !known[off + 1]) {
            if (int16_t v = LE::Get<int16_t>(e.Bytes(), off)) out[off] = std::to_string(v);
            continue;
        }
        for (size_t b : {off, off + 1})
            if (!known[b] && e.record[b]) out[b] = std::to_string(e.record[b]);
    }
    std::string text;
    for (const auto& [off, v] : out) text += " " + std::to_string(off) + "=" + v;
    return text;
}

std::string Hex(const std::vector<uint8_t>& bytes) {
    std::string s;
    char buf[3];
    for (uint8_t b : bytes) {
        std::snprintf(buf, sizeof buf, "%02x", b);
        s += buf;
    }
    return s;
}

} // namespace

// Declining to let unsaved changes go leaves the project open: the user's answer, no failure.
bool RunNew(ScriptInterpreter& in, const Args&, std::string&) {
    Host& host = in.GetHost();
    if (host.MayDiscardProject()) host.NewProject();
    return true;
}

bool RunOpen(ScriptInterpreter& in, const Args& a, std::string& error) {
    const bool byStorey = a.size() == 2 && a[1] == "layers=storey";
    if (!byStorey && a.size() != 1) return ScriptUsage("open", error);
    if (byStorey && !Host::IsIfcPath(a[0])) {
        error = "layers=storey is for IFC models: " + a[0];
        return false;
    }
    Host& host = in.GetHost();
    return !host.MayDiscardProject() || host.OpenProject(a[0], error, byStorey);
}

bool RunUpdate(ScriptInterpreter& in, const Args& a, std::string& error) {
    std::string model;
    if (a.size() == 2) {
        if (a[1].rfind("model=", 0) != 0 || a[1].size() == 6) return ScriptUsage("update", error);
        model = a[1].substr(6);
    }
    return in.GetHost().UpdateFromIfc(a[0], error, model);
}

bool RunAddModel(ScriptInterpreter& in, const Args& a, std::string& error) {
    std::string name;
    bool byStorey = false;
    for (size_t i = 1; i < a.size(); ++i) {
        if (a[i] == "layers=storey" && !byStorey) byStorey = true;
        else if (a[i].rfind("name=", 0) == 0 && a[i].size() > 5 && name.empty()) name = a[i].substr(5);
        else return ScriptUsage("add", error);
    }
    if (!Host::IsIfcPath(a[0])) {
        error = "add takes an IFC model: " + a[0];
        return false;
    }
    return in.GetHost().AddIfcModel(a[0], name, byStorey, error);
}

bool RunRemoveModel(ScriptInterpreter& in, const Args& a, std::string& error) { return in.GetHost().RemoveIfcModel(a[0], error); }

bool RunSave(ScriptInterpreter& in, const Args& a, std::string& error) { return in.GetHost().SaveProject(a[0], error); }

bool RunShared(ScriptInterpreter& in, const Args& a, std::string& error) {
    int64_t id = 0;
    if (!ParseScriptInt(a[0], id) || id < 1 || id > 32767) return ScriptUsage("shared", error);
    in.GetHost().ShareProject(static_cast<int16_t>(id));
    return true;
}

bool RunResetPreferences(ScriptInterpreter& in, const Args&, std::string& error) {
    return in.GetHost().ResetPreferences(error);
}

bool RunSelect(ScriptInterpreter& in, const Args& a, std::string& error) {
    Host& host = in.GetHost();
    std::vector<API_Guid> chosen;
    for (const auto& id : a) {
        Element* e = ElementById(host, id, error);
        if (!e) return false;
        // Naming an element twice selects it once.
        if (std::find(chosen.begin(), chosen.end(), e->Guid()) == chosen.end()) chosen.push_back(e->Guid());
    }
    host.Model().Selection() = chosen;
    return true;
}

bool RunSelectBy(ScriptInterpreter& in, const Args& a, std::string& error) { return SelectBy(in.GetHost(), a, error); }

bool RunSelectWhere(ScriptInterpreter& in, const Args& a, std::string& error) {
    std::vector<ElementCondition> conditions;
    for (size_t i = 0; i < a.size(); ++i) {
        if (i % 2 == 1) {
            if (a[i] == "and" && i + 1 < a.size()) continue;
            return ScriptUsage("select-where", error);
        }
        auto c = ParseElementCondition(a[i], error);
        if (!c) return false;
        conditions.push_back(std::move(*c));
    }
    HostModel& model = in.GetHost().Model();
    std::vector<API_Guid>& selection = model.Selection();
    selection.clear();
    for (Element* e : FindElements(model, conditions)) selection.push_back(e->Guid());
    in.Emit("selected " + std::to_string(selection.size()));
    return true;
}

bool RunLock(ScriptInterpreter& in, const Args& a, std::string& error) { return SetLock(in.GetHost(), a, true, error); }
bool RunUnlock(ScriptInterpreter& in, const Args& a, std::string& error) { return SetLock(in.GetHost(), a, false, error); }

bool RunLayer(ScriptInterpreter& in, const Args& a, std::string& error) {
    HostModel& model = in.GetHost().Model();
    int16_t index = model.FindAttributeByName(HostAttribute::Layer, BKFromUtf8(a[0]));
    if (!index) {
        error = "no layer " + a[0];
        return false;
    }
    auto& rec = *model.Attribute(HostAttribute::Layer, index);
    uint32_t flags = LE::Get<uint32_t>(rec, HostAttribute::kFlags);
    if (a[1] == "hide") flags |= HostAttribute::kLayerHidden;
    else if (a[1] == "show") flags &= ~HostAttribute::kLayerHidden;
    else if (a[1] == "lock") flags |= HostAttribute::kLayerLocked;
    else if (a[1] == "unlock") flags &= ~HostAttribute::kLayerLocked;
    else return ScriptUsage("layer", error);
    LE::Put<uint32_t>(rec, HostAttribute::kFlags, flags);
    return true;
}

bool RunUndo(ScriptInterpreter& in, const Args&, std::string& error) {
    std::string name;
    if (in.GetHost().Model().ApplyUndo(name)) return true;
    error = "nothing to undo";
    return false;
}

bool RunRedo(ScriptInterpreter& in, const Args&, std::string& error) {
    std::string name;
    if (in.GetHost().Model().ApplyRedo(name)) return true;
    error = "nothing to redo";
    return false;
}

bool RunUserData(ScriptInterpreter& in, const Args& a, std::string& error) {
    int64_t version = 0;
    if (!ParseScriptInt(a[1], version) || version < -32768 || version > 32767 || a[2].size() % 2)
        return ScriptUsage("userdata", error);
    Host& host = in.GetHost();
    Element* e = ElementById(host, a[0], error);
    if (!e) return false;
    UserDataBlock block;
    block.version = static_cast<int16_t>(version);
    block.platformSign = 0x5757;
    for (size_t i = 0; i < a[2].size(); i += 2) {
        // from_chars alone would take a sign ("-f").
        unsigned byte = 0;
        auto r = std::from_chars(a[2].data() + i, a[2].data() + i + 2, byte, 16);
        if (!std::isxdigit(static_cast<unsigned char>(a[2][i])) || r.ec != std::errc() || r.ptr != a[2].data() + i + 2) {
            error = "not hexadecimal: " + a[2];
            return false;
        }
        block.bytes.push_back(static_cast<uint8_t>(byte));
    }
    host.Model().Undo().Open("userdata");
    host.Model().SetUserData(*e, "Bauvista", std::move(block));
    CloseUserStep(host);
    return true;
}

bool RunAnswer(ScriptInterpreter& in, const Args& a, std::string& error) {
    for (const auto& s : a) {
        int64_t n = 0;
        if (!ParseScriptInt(s, n) || n < 1 || n > 3) return ScriptUsage("answer", error);
    }
    for (const auto& s : a) {
        DGQueueAlertAnswer(std::stoi(s));
        in.NoteAlertAnswer(std::stoi(s));
    }
    return true;
}

bool RunDialog(ScriptInterpreter& in, const Args& a, std::string& error) {
    DGDialogAnswer answer;
    answer.dialogId = a[0];
    bool pressed = false;
    for (size_t i = 1; i < a.size(); ++i) {
        if (a[i] == "press") {
            // An item by its number or by its name; a number outside the items' range is no item.
            int64_t n = 0;
            if (i + 1 >= a.size() || a[i + 1].empty()) return ScriptUsage("dialog", error);
            const bool number = ParseScriptInt(a[i + 1], n);
            if (number && (n < 1 || n > 32767)) return ScriptUsage("dialog", error);
            answer.steps.push_back({number ? std::to_string(n) : a[i + 1], {}, true});
            pressed = true;
            ++i;
            continue;
        }
        auto eq = a[i].find('=');
        if (eq == std::string::npos || eq == 0) {
            error = "expected ITEM=VALUE: " + a[i];
            return false;
        }
        answer.steps.push_back({a[i].substr(0, eq), a[i].substr(eq + 1), false});
    }
    if (!pressed) answer.steps.push_back({"1", {}, true}); // item 1 unless told otherwise
    DGQueueDialogAnswer(std::move(answer));
    in.NoteDialogAnswer(a[0]);
    return true;
}

void AddHostPrints(ScriptInterpreter& in) {
    Host& host = in.GetHost();

    in.AddPrint("elements", [&host, &in](const Args&, std::string&) {
        for (const auto& e : host.Model().Elements()) {
            std::string line = "element " + BKToUtf8(e->IdText()) + " " + std::to_string(e->Kind()) + " " +
                               QuoteForTranscript(BKToUtf8(host.KindName(e->Kind()))) + " layer " +
                               QuoteForTranscript(LayerName(host, e->Layer()));
            if (e->Locked()) line += " locked";
            in.Emit(line);
        }
        return true;
    });
    // Every element with a body, as the shared page's test hook names what it shows.
    in.AddPrint("states", [&host, &in](const Args&, std::string&) {
        for (const auto& e : host.Model().Elements())
            if (e->geometry.shape != Geometry::Shape::None)
                in.Emit("state " + BKToUtf8(e->IdText()) + " " + ElementStateText(host.Model(), *e));
        return true;
    });
    in.AddPrint("element", [&host, &in](const Args& a, std::string& error) {
        if (a.size() != 1) {
            error = "usage: print element ID";
            return false;
        }
        Element* e = ElementById(host, a[0], error);
        if (!e) return false;
        in.Emit("element " + a[0]);
        in.Emit("kind " + std::to_string(e->Kind()) + " " + QuoteForTranscript(BKToUtf8(host.KindName(e->Kind()))));
        in.Emit("layer " + std::to_string(e->Layer()) + " " + QuoteForTranscript(LayerName(host, e->Layer())));
        in.Emit(std::string("locked ") + (e->Locked() ? "1" : "0"));
        in.Emit("fields" + FieldsText(*e));
        const UserDataBlock* block = LinkBlock(*e);
        std::string links = "links";
        for (size_t k = 0; k < 10; ++k) links += " " + std::to_string(block ? LE::Get<int32_t>(block->bytes, 4 * k) : 0);
        in.Emit(links);
        in.Emit("savedLayer " + std::to_string(block ? LE::Get<int16_t>(block->bytes, 40) : 0));
        std::string save = "save";
        for (size_t off = 42; block && off < 88; off += 2) {
            int16_t v = LE::Get<int16_t>(block->bytes, off);
            if (v) save += " " + std::to_string(off) + "=" + std::to_string(v);
        }
        in.Emit(save);
        return true;
    });
    in.AddPrint("facts", [&host, &in](const Args& a, std::string& error) {
        if (a.size() != 1) {
            error = "usage: print facts ID";
            return false;
        }
        Element* e = ElementById(host, a[0], error);
        if (!e) return false;
        const std::string id = ArgumentForTranscript(a[0]);
        for (const auto& [key, value] : host.Model().FactsOf(*e))
            in.Emit("fact " + id + " " + ArgumentForTranscript(std::string(key)) + " " + QuoteForTranscript(std::string(value)));
        return true;
    });
    in.AddPrint("work-schedules", [&host, &in](const Args& a, std::string& error) {
        if (!a.empty()) {
            error = "usage: print work-schedules";
            return false;
        }
        const ModelWorkSchedules& w = host.Model().workSchedules;
        auto text = [](const std::string& t) { return t.empty() ? std::string("-") : t; };
        for (size_t i = 0; i < w.schedules.size(); ++i)
            in.Emit("schedule " + std::to_string(i) + " " + w.schedules[i].globalId + " " + QuoteForTranscript(w.schedules[i].name));
        for (size_t i = 0; i < w.tasks.size(); ++i) {
            const ModelScheduleTask& t = w.tasks[i];
            in.Emit("task " + std::to_string(i) + " level " + std::to_string(t.level) + " parent " + std::to_string(t.parent) +
                    " schedule " + std::to_string(t.schedule) + " " + t.globalId + " " + QuoteForTranscript(t.identification) +
                    " " + QuoteForTranscript(t.name) + " " + text(t.predefinedType) + (t.milestone ? " milestone" : "") +
                    " " + text(t.scheduleStart) + " " + text(t.scheduleFinish) + " actual " + text(t.actualStart) + " " +
                    text(t.actualFinish) + " percent " + std::to_string(t.percent));
            for (const std::string& id : t.outputs) in.Emit("output " + std::to_string(i) + " " + id);
            for (const std::string& id : t.inputs) in.Emit("input " + std::to_string(i) + " " + id);
        }
        for (const ModelScheduleSequence& s : w.sequences)
            in.Emit("sequence " + std::to_string(s.predecessor) + " " + std::to_string(s.successor) + " " + text(s.type) +
                    " lag " + std::to_string(static_cast<long long>(s.lagSeconds)) + "s");
        return true;
    });
    in.AddPrint("layers", [&host, &in](const Args&, std::string&) {
        for (int16_t i = 1; i <= host.Model().AttributeCount(HostAttribute::Layer); ++i) {
            uint32_t flags = LE::Get<uint32_t>(*host.Model().Attribute(HostAttribute::Layer, i), HostAttribute::kFlags);
            in.Emit("layer " + std::to_string(i) + " " + QuoteForTranscript(LayerName(host, i)) +
                    ((flags & HostAttribute::kLayerHidden) ? " hidden" : " shown") +
                    ((flags & HostAttribute::kLayerLocked) ? " locked" : " unlocked"));
        }
        return true;
    });
    in.AddPrint("materials", [&host, &in](const Args&, std::string&) {
        for (int16_t i = 1; i <= host.Model().AttributeCount(HostAttribute::Material); ++i) {
            const auto& r = *host.Model().Attribute(HostAttribute::Material, i);
            std::ostringstream line;
            line << "material " << i << " "
                 << QuoteForTranscript(BKToUtf8(host.Model().AttributeName(HostAttribute::Material, i))) << " surface";
            for (size_t k = 0; k < 3; ++k) {
                uint64_t bits = LE::Get<uint64_t>(r, HostAttribute::kMatSurfaceRed + 8 * k);
                double d;
                std::memcpy(&d, &bits, 8);
                line << " " << d;
            }
            if (int16_t t = LE::Get<int16_t>(r, HostAttribute::kMatTransparency)) line << " transparency " << t;
            in.Emit(line.str());
        }
        return true;
    });
    in.AddPrint("selection", [&host, &in](const Args&, std::string&) {
        for (const auto& g : host.Model().Selection())
            if (const Element* e = host.Model().Find(g)) in.Emit("selected " + BKToUtf8(e->IdText()));
        return true;
    });
    in.AddPrint("userdata", [&host, &in](const Args& a, std::string& error) {
        if (a.size() != 1) {
            error = "usage: print userdata ID";
            return false;
        }
        Element* e = ElementById(host, a[0], error);
        if (!e) return false;
        auto it = e->userData.find("Bauvista");
        if (it == e->userData.end()) in.Emit("userdata " + a[0] + " none");
        else in.Emit("userdata " + a[0] + " " + std::to_string(it->second.version) + " " +
                     std::to_string(it->second.platformSign) + " " + Hex(it->second.bytes));
        return true;
    });
}
