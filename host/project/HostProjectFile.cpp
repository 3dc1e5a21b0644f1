#include "host/project/HostProjectFile.h"

#include "basekit/BKText.h"
#include "bytes/LittleEndian.h"
#include "filekit/FKError.h"
#include "filekit/FKFile.h"
#include "host/project/LookStoredForm.h"
#include "host/project/ViewStoredForm.h"
#include "host/project/WorkSchedulesStoredForm.h"
#include "host/storage/HexText.h"
#include "host/storage/JsonNesting.h"
#include "host/storage/TextFileSave.h"

#include <nlohmann/json.hpp>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <unordered_set>

using nlohmann::json;

namespace {

// A parse failure with the JSON place it happened at.
struct EProject : std::runtime_error {
    EProject(const std::string& place, const std::string& what) : std::runtime_error(place + ": " + what) {}
};

std::vector<uint8_t> Unhex(const std::string& s, const std::string& place) {
    std::vector<uint8_t> out;
    switch (DecodeHex(s, out)) {
    case HexFault::None: return out;
    case HexFault::OddLength: throw EProject(place, "hexadecimal text of odd length");
    case HexFault::NotADigit: break;
    }
    throw EProject(place, "not a hexadecimal digit");
}

template <typename T> T Get(const json& j, const char* key, const std::string& place, T fallback) {
    if (!j.contains(key)) return fallback;
    try {
        return j.at(key).get<T>();
    } catch (const json::exception&) {
        throw EProject(place + "/" + key, "value of the wrong kind");
    }
}

// A whole number; unsigned values above the signed range would otherwise wrap to negatives.
int64_t WholeNumber(const json& v, const std::string& place) {
    if (!v.is_number_integer()) throw EProject(place, "not a whole number");
    if (v.is_number_unsigned() && v.get<uint64_t>() > static_cast<uint64_t>(INT64_MAX))
        throw EProject(place, "out of range");
    return v.get<int64_t>();
}

int64_t GetInt(const json& j, const char* key, const std::string& place, int64_t fallback, int64_t lo, int64_t hi) {
    if (!j.contains(key)) return fallback;
    int64_t n = WholeNumber(j.at(key), place + "/" + key);
    if (n < lo || n > hi) throw EProject(place + "/" + key, "out of range");
    return n;
}

std::array<double, 3> GetVec(const json& j, const std::string& place) {
    if (!j.is_array() || j.size() != 3) throw EProject(place, "expected three numbers");
    std::array<double, 3> v{};
    for (size_t i = 0; i < 3; ++i) {
        if (!j[i].is_number()) throw EProject(place, "expected three numbers");
        v[i] = j[i].get<double>();
        if (!std::isfinite(v[i])) throw EProject(place, "not a finite number");
    }
    return v;
}

const std::vector<std::string> kElementKeys = {"id", "kind", "guid", "layer", "owner", "locked", "index",
                                               "floor", "record", "box", "mesh", "userdata", "facts", "look"};
const std::vector<std::string> kTopKeys = {"layers", "materials", "pens", "elements", "cameras",
                                           "paths", "view", "windows", "addondata", "ifclayers",
                                           "ifcschedule", "models"};

bool Known(const std::vector<std::string>& keys, const std::string& k) {
    for (const auto& s : keys)
        if (s == k) return true;
    return false;
}

// The building models of a project that holds several: each a name unique in the project, a path,
// its layers' choice and its count of revisions.
std::vector<IfcModelSource> ReadIfcModels(const json& list) {
    constexpr size_t kMaxModels = 1000, kMaxName = 64, kMaxPath = 4096;
    if (!list.is_array()) throw EProject("/models", "expected a list");
    if (list.size() > kMaxModels) throw EProject("/models", "more than " + std::to_string(kMaxModels) + " models");
    std::vector<IfcModelSource> models;
    for (size_t i = 0; i < list.size(); ++i) {
        const std::string place = "/models/" + std::to_string(i);
        const json& m = list[i];
        if (!m.is_object()) throw EProject(place, "expected an object");
        IfcModelSource s;
        s.name = Get<std::string>(m, "name", place, "");
        if (s.name.empty() || s.name.size() > kMaxName || s.name.find_first_of(":\"\r\n") != std::string::npos)
            throw EProject(place + "/name", "not a model's name");
        for (const IfcModelSource& other : models)
            if (other.name == s.name) throw EProject(place + "/name", "a name an earlier model has");
        s.path = Get<std::string>(m, "path", place, "");
        if (s.path.size() > kMaxPath) throw EProject(place + "/path", "too long");
        const std::string layers = Get<std::string>(m, "layers", place, "presentation");
        if (layers != "storey" && layers != "presentation") throw EProject(place + "/layers", "expected \"storey\" or \"presentation\"");
        s.layersByStorey = layers == "storey";
        s.revisions = static_cast<uint32_t>(GetInt(m, "revisions", place, 0, 0, UINT32_MAX));
        models.push_back(std::move(s));
    }
    return models;
}

void ReadRecordFields(const json& rec, std::vector<uint8_t>& record, const std::string& place) {
    if (!rec.is_object()) throw EProject(place, "expected an object");
    for (auto& [type, fields] : rec.items()) {
        std::string tp = place + "/" + type;
        size_t width = type == "u8" ? 1 : type == "i16" ? 2 : type == "i32" ? 4 : type == "f64" ? 8 : 0;
        if (width == 0) throw EProject(tp, "unknown field type");
        if (!fields.is_object()) throw EProject(tp, "expected an object");
        for (auto& [offsetText, value] : fields.items()) {
            std::string fp = tp + "/" + offsetText;
            size_t offset = 0;
            auto parsed = std::from_chars(offsetText.data(), offsetText.data() + offsetText.size(), offset);
            if (parsed.ec != std::errc() || parsed.ptr != offsetText.data() + offsetText.size())
                throw EProject(fp, "bad offset");
            if (offset < HostElement::kHeaderSize || offset + width > HostElement::kRecordSize)
                throw EProject(fp, "offset outside the element's own fields");
            if (type == "f64") {
                if (!value.is_number()) throw EProject(fp, "not a number");
                double d = value.get<double>();
                uint64_t bits;
                std::memcpy(&bits, &d, 8);
                LE::Put<uint64_t>(record, offset, bits);
                continue;
            }
            int64_t n = WholeNumber(value, fp);
            if (type == "u8") {
                if (n < 0 || n > 255) throw EProject(fp, "out of range");
                record[offset] = static_cast<uint8_t>(n);
            } else if (type == "i16") {
                if (n < -32768 || n > 65535) throw EProject(fp, "out of range");
                LE::Put<uint16_t>(record, offset, static_cast<uint16_t>(n));
            } else {
                if (n < INT32_MIN || n > static_cast<int64_t>(UINT32_MAX)) throw EProject(fp, "out of range");
                LE::Put<uint32_t>(record, offset, static_cast<uint32_t>(n));
            }
        }
    }
}

// Names and IDs are stored zero-terminated: a zero byte would cut one short and let two
// different names in the file become the same name in the model.
// A character the code page lacks would become '?', and the next save would write that.
std::string StoredText(const std::string& utf8, const std::string& place) {
    if (utf8.find('\0') != std::string::npos) throw EProject(place, "holds a zero character");
    if (auto bad = BKFirstUnmappable(utf8)) {
        char code[16];
        std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(bad->character));
        throw EProject(place, std::string("character ") + code + " \"" + utf8.substr(bad->offset, bad->length) +
                                  "\" has no Windows-1250 form");
    }
    return BKFromUtf8(utf8);
}

int16_t LayerIndex(const HostModel& model, const json& v, const std::string& place) {
    if (v.is_number_integer()) {
        int64_t n = v.get<int64_t>();
        if (n < 1 || n > model.AttributeCount(HostAttribute::Layer)) throw EProject(place, "no such layer");
        return static_cast<int16_t>(n);
    }
    if (v.is_string()) {
        int16_t i = model.FindAttributeByName(HostAttribute::Layer, StoredText(v.get<std::string>(), place));
        if (i == 0) throw EProject(place, "no such layer");
        return i;
    }
    throw EProject(place, "expected a layer name or number");
}

UserDataBlock ReadBlock(const json& u, const std::string& up) {
    if (!u.is_object()) throw EProject(up, "expected an object");
    UserDataBlock block;
    block.version = static_cast<int16_t>(GetInt(u, "version", up, 0, -32768, 32767));
    block.platformSign = static_cast<uint16_t>(GetInt(u, "sign", up, 0, 0, 65535));
    block.bytes = Unhex(Get<std::string>(u, "hex", up, ""), up + "/hex");
    return block;
}

// The add-ons' blocks of the whole project, by add-on name.
void ReadProjectData(HostModel& model, const json& j) {
    if (!j.is_object()) throw EProject("/addondata", "expected an object");
    for (auto& [addon, u] : j.items()) model.SetProjectData(addon, ReadBlock(u, "/addondata/" + addon));
}

// Pairs of texts, key and value, in the order they are shown.
void ReadFacts(HostModel& model, Element& e, const json& f, const std::string& place) {
    if (!f.is_array()) throw EProject(place, "expected a list");
    e.facts.reserve(f.size());
    for (size_t i = 0; i < f.size(); ++i) {
        std::string fp = place + "/" + std::to_string(i);
        const json& pair = f[i];
        if (!pair.is_array() || pair.size() != 2 || !pair[0].is_string() || !pair[1].is_string())
            throw EProject(fp, "expected a key and a value");
        const std::string& key = pair[0].get_ref<const std::string&>();
        const std::string& value = pair[1].get_ref<const std::string&>();
        if (key.empty()) throw EProject(fp, "empty key");
        // Add-ons read them zero-terminated.
        if (key.find('\0') != std::string::npos || value.find('\0') != std::string::npos)
            throw EProject(fp, "holds a zero character");
        e.facts.push_back({model.Facts().Intern(key), model.Facts().Intern(value)});
    }
}

void ReadUserData(Element& e, const json& u, const std::string& up) {
    UserDataBlock block = ReadBlock(u, up);
    std::string addon = Get<std::string>(u, "addon", up, "Bauvista");
    if (!e.userData.emplace(addon, std::move(block)).second) throw EProject(up + "/addon", "used twice: " + addon);
}

// `ids`: the ID texts of the elements read so far, as the model holds them.
void ReadElement(HostModel& model, const json& j, int32_t forcedKind, const std::string& place,
                 std::unordered_set<std::string>& ids) {
    if (!j.is_object()) throw EProject(place, "expected an object");
    Element e;
    int64_t kind = forcedKind ? GetInt(j, "kind", place, forcedKind, forcedKind, forcedKind)
                              : GetInt(j, "kind", place, 0, HostElement::kFirstKind, HostElement::kLastKind);
    if (kind == 0) throw EProject(place + "/kind", "missing");
    e.SetKind(static_cast<int32_t>(kind));
    e.SetIndex(static_cast<int32_t>(GetInt(j, "index", place, 0, 0, INT32_MAX)));
    if (e.Index() > 0 && model.FindByIndex(e.Kind(), e.Index())) throw EProject(place + "/index", "used twice");
    std::string id = Get<std::string>(j, "id", place, "");
    if (id.empty()) throw EProject(place + "/id", "missing");
    std::string idCp = StoredText(id, place + "/id");
    if (idCp.size() >= HostElement::kIdTextSize) throw EProject(place + "/id", "longer than 63 bytes");
    if (!ids.insert(idCp).second) throw EProject(place + "/id", "used twice: " + id);
    e.SetIdText(idCp);
    if (j.contains("guid")) {
        API_Guid g;
        if (!API_Guid::FromString(Get<std::string>(j, "guid", place, ""), g)) throw EProject(place + "/guid", "not an identifier");
        if (model.Find(g)) throw EProject(place + "/guid", "used twice");
        e.SetGuid(g);
    }
    e.SetLayer(j.contains("layer") ? LayerIndex(model, j.at("layer"), place + "/layer") : 1);
    e.SetOwner(static_cast<int16_t>(GetInt(j, "owner", place, 0, 0, 32767)));
    e.SetLocked(Get<bool>(j, "locked", place, false));
    LE::Put<int16_t>(e.Bytes(), HostElement::kFloor, static_cast<int16_t>(GetInt(j, "floor", place, 0, -32768, 32767)));
    if (j.contains("record")) ReadRecordFields(j.at("record"), e.record, place + "/record");
    if (j.contains("box")) {
        const json& b = j.at("box");
        if (!b.is_object() || !b.contains("min") || !b.contains("max")) throw EProject(place + "/box", "needs min and max");
        e.geometry.shape = Geometry::Shape::Box;
        e.geometry.min = GetVec(b.at("min"), place + "/box/min");
        e.geometry.max = GetVec(b.at("max"), place + "/box/max");
        for (int i = 0; i < 3; ++i)
            if (e.geometry.min[static_cast<size_t>(i)] > e.geometry.max[static_cast<size_t>(i)])
                throw EProject(place + "/box", "min above max");
    } else if (j.contains("mesh")) {
        const json& m = j.at("mesh");
        std::string mp = place + "/mesh";
        if (!m.is_object() || !m.contains("vertices") || !m.contains("triangles")) throw EProject(mp, "needs vertices and triangles");
        if (!m.at("vertices").is_array()) throw EProject(mp + "/vertices", "expected a list");
        if (!m.at("triangles").is_array()) throw EProject(mp + "/triangles", "expected a list");
        e.geometry.shape = Geometry::Shape::Mesh;
        for (size_t i = 0; i < m.at("vertices").size(); ++i)
            e.geometry.vertices.push_back(GetVec(m.at("vertices")[i], mp + "/vertices/" + std::to_string(i)));
        for (size_t i = 0; i < m.at("triangles").size(); ++i) {
            const json& t = m.at("triangles")[i];
            std::string tp = mp + "/triangles/" + std::to_string(i);
            if (!t.is_array() || t.size() != 3) throw EProject(tp, "expected three vertex numbers");
            std::array<int32_t, 3> tri{};
            for (size_t k = 0; k < 3; ++k) {
                if (!t[k].is_number_integer()) throw EProject(tp, "expected three vertex numbers");
                int64_t v = t[k].get<int64_t>();
                if (v < 0 || static_cast<size_t>(v) >= e.geometry.vertices.size()) throw EProject(tp, "no such vertex");
                tri[k] = static_cast<int32_t>(v);
            }
            e.geometry.triangles.push_back(tri);
        }
    }
    if (j.contains("userdata")) {
        // One block, or a list when several add-ons keep data on the element.
        const json& u = j.at("userdata");
        std::string up = place + "/userdata";
        if (u.is_object()) {
            ReadUserData(e, u, up);
        } else if (u.is_array()) {
            for (size_t i = 0; i < u.size(); ++i) ReadUserData(e, u[i], up + "/" + std::to_string(i));
        } else {
            throw EProject(up, "expected an object or a list");
        }
    }
    if (j.contains("facts")) ReadFacts(model, e, j.at("facts"), place + "/facts");
    if (j.contains("look")) e.look = ReadLook(j.at("look"), place + "/look");
    for (auto& [k, v] : j.items())
        if (!Known(kElementKeys, k)) e.unknownKeys[k] = v.dump();
    if (j.contains("eye") || j.contains("target") || j.contains("fov")) e.camera = ReadCameraPlace(j);
    model.AddElement(std::move(e));
}

json WriteElement(const HostModel& model, const Element& e) {
    json j = WriteStoredKeys(e.unknownKeys);
    WriteCameraPlace(e.camera, j);
    j["id"] = BKToUtf8(e.IdText());
    j["kind"] = e.Kind();
    j["index"] = e.Index();
    j["guid"] = e.Guid().ToString();
    j["layer"] = BKToUtf8(model.AttributeName(HostAttribute::Layer, e.Layer()));
    if (e.Owner()) j["owner"] = e.Owner();
    if (e.Locked()) j["locked"] = true;
    int16_t floor = LE::Get<int16_t>(e.Bytes(), HostElement::kFloor);
    if (floor) j["floor"] = floor;
    json i16 = json::object();
    for (size_t off = HostElement::kHeaderSize; off + 1 < HostElement::kRecordSize; off += 2) {
        int16_t v = LE::Get<int16_t>(e.Bytes(), off);
        if (v) i16[std::to_string(off)] = v;
    }
    if (!i16.empty()) j["record"] = {{"i16", i16}};
    if (e.geometry.shape == Geometry::Shape::Box) {
        j["box"] = {{"min", e.geometry.min}, {"max", e.geometry.max}};
    } else if (e.geometry.shape == Geometry::Shape::Mesh) {
        j["mesh"] = {{"vertices", e.geometry.vertices}, {"triangles", e.geometry.triangles}};
    }
    json blocks = json::array();
    for (const auto& [addon, block] : e.userData)
        blocks.push_back({{"addon", addon}, {"version", block.version}, {"sign", block.platformSign}, {"hex", EncodeHex(block.bytes)}});
    if (blocks.size() == 1) j["userdata"] = blocks[0];
    else if (!blocks.empty()) j["userdata"] = blocks;
    // Only an element that has facts has the key, so a project without any keeps its bytes.
    if (!e.facts.empty()) {
        json facts = json::array();
        for (const auto& [key, value] : model.FactsOf(e)) facts.push_back(json::array({std::string(key), std::string(value)}));
        j["facts"] = std::move(facts);
    }
    if (e.look) j["look"] = WriteLook(*e.look);
    return j;
}

double GetD(const AttributeRecord& r, size_t off) {
    uint64_t bits = LE::Get<uint64_t>(r, off);
    double d;
    std::memcpy(&d, &bits, 8);
    return d;
}

void PutD(AttributeRecord& r, size_t off, double d) {
    uint64_t bits;
    std::memcpy(&bits, &d, 8);
    LE::Put<uint64_t>(r, off, bits);
}

std::string NameOf(const json& j, const std::string& place) {
    std::string name = Get<std::string>(j, "name", place, "");
    if (name.empty()) throw EProject(place + "/name", "missing");
    std::string cp = StoredText(name, place + "/name");
    if (cp.size() >= HostAttribute::kNameSize) throw EProject(place + "/name", "longer than 255 bytes");
    return cp;
}

void ReadModel(HostModel& model, const json& doc) {
    if (!doc.is_object()) throw EProject("/", "expected an object");
    if (doc.contains("layers")) {
        const json& layers = doc.at("layers");
        if (!layers.is_array()) throw EProject("/layers", "expected a list");
        for (size_t i = 0; i < layers.size(); ++i) {
            std::string place = "/layers/" + std::to_string(i);
            std::string name = NameOf(layers[i], place);
            if (model.FindAttributeByName(HostAttribute::Layer, name)) throw EProject(place + "/name", "used twice");
            AttributeRecord r = MakeAttributeRecord(HostAttribute::Layer, name);
            uint32_t flags = (Get<bool>(layers[i], "hidden", place, false) ? HostAttribute::kLayerHidden : 0) |
                             (Get<bool>(layers[i], "locked", place, false) ? HostAttribute::kLayerLocked : 0);
            LE::Put<uint32_t>(r, HostAttribute::kFlags, flags);
            if (!model.CreateAttribute(HostAttribute::Layer, std::move(r))) throw EProject(place, "too many layers");
        }
    }
    if (model.AttributeCount(HostAttribute::Layer) == 0)
        model.CreateAttribute(HostAttribute::Layer, MakeAttributeRecord(HostAttribute::Layer, kHostDefaultLayer));
    if (doc.contains("materials")) {
        const json& mats = doc.at("materials");
        if (!mats.is_array()) throw EProject("/materials", "expected a list");
        for (size_t i = 0; i < mats.size(); ++i) {
            std::string place = "/materials/" + std::to_string(i);
            const json& m = mats[i];
            std::string name = NameOf(m, place);
            if (model.FindAttributeByName(HostAttribute::Material, name)) throw EProject(place + "/name", "used twice");
            AttributeRecord r = MakeAttributeRecord(HostAttribute::Material, name);
            LE::Put<int32_t>(r, HostAttribute::kMatType, static_cast<int32_t>(GetInt(m, "type", place, 0, INT32_MIN, INT32_MAX)));
            const std::pair<const char*, size_t> shorts[] = {
                {"ambient", HostAttribute::kMatAmbient},     {"diffuse", HostAttribute::kMatDiffuse},
                {"specular", HostAttribute::kMatSpecular},   {"transparency", HostAttribute::kMatTransparency},
                {"shine", HostAttribute::kMatShine},         {"transAtt", HostAttribute::kMatTransAtt},
                {"emissionAtt", HostAttribute::kMatEmissionAtt}};
            for (auto [key, off] : shorts)
                LE::Put<int16_t>(r, off, static_cast<int16_t>(GetInt(m, key, place, 0, -32768, 32767)));
            auto surface = m.contains("surface") ? GetVec(m.at("surface"), place + "/surface") : std::array<double, 3>{0.7, 0.7, 0.7};
            auto spec = m.contains("specularRgb") ? GetVec(m.at("specularRgb"), place + "/specularRgb") : std::array<double, 3>{};
            auto emis = m.contains("emissionRgb") ? GetVec(m.at("emissionRgb"), place + "/emissionRgb") : std::array<double, 3>{};
            for (size_t k = 0; k < 3; ++k) {
                PutD(r, HostAttribute::kMatSurfaceRed + 8 * k, surface[k]);
                PutD(r, HostAttribute::kMatSpecularRgb + 8 * k, spec[k]);
                PutD(r, HostAttribute::kMatEmissionRgb + 8 * k, emis[k]);
            }
            if (!model.CreateAttribute(HostAttribute::Material, std::move(r))) throw EProject(place, "too many materials");
        }
    }
    if (doc.contains("pens")) {
        const json& pens = doc.at("pens");
        if (!pens.is_array()) throw EProject("/pens", "expected a list");
        if (pens.size() > 255) throw EProject("/pens", "more than 255 pens");
        for (size_t i = 0; i < pens.size(); ++i) {
            std::string place = "/pens/" + std::to_string(i);
            if (!pens[i].is_object()) throw EProject(place, "expected an object");
            auto color = pens[i].contains("color") ? GetVec(pens[i].at("color"), place + "/color") : std::array<double, 3>{};
            AttributeRecord r = MakeAttributeRecord(HostAttribute::Pen, "Toll " + std::to_string(i + 1));
            for (size_t k = 0; k < 3; ++k) PutD(r, HostAttribute::kPenRed + 8 * k, color[k]);
            double width = Get<double>(pens[i], "width", place, 0.25);
            if (!std::isfinite(width) || width < 0) throw EProject(place + "/width", "not a width");
            PutD(r, HostAttribute::kPenWidth, width);
            model.CreateAttribute(HostAttribute::Pen, std::move(r));
        }
    }
    EnsureDefaultPens(model);
    size_t total = 0;
    for (const char* key : {"elements", "cameras", "paths"})
        if (doc.contains(key) && doc.at(key).is_array()) total += doc.at(key).size();
    model.Reserve(total);
    std::unordered_set<std::string> ids;
    ids.reserve(total);
    for (const char* key : {"elements", "cameras", "paths"}) {
        if (!doc.contains(key)) continue;
        const json& list = doc.at(key);
        std::string lp = std::string("/") + key;
        if (!list.is_array()) throw EProject(lp, "expected a list");
        int32_t forced = std::string(key) == "cameras" ? HostElement::Camera : std::string(key) == "paths" ? HostElement::CameraPath : 0;
        for (size_t i = 0; i < list.size(); ++i) ReadElement(model, list[i], forced, lp + "/" + std::to_string(i), ids);
    }
    if (doc.contains("ifclayers")) {
        const json& by = doc.at("ifclayers");
        if (!by.is_string() || (by != "storey" && by != "presentation"))
            throw EProject("/ifclayers", "expected \"storey\" or \"presentation\"");
        model.layersByStorey = by == "storey";
    }
    if (doc.contains("ifcschedule")) model.workSchedules = ReadWorkSchedules(doc.at("ifcschedule"), "/ifcschedule");
    if (doc.contains("models")) model.ifcModels = ReadIfcModels(doc.at("models"));
    else if (!model.workSchedules.sourcePath.empty())
        model.ifcModels = {{std::filesystem::path(model.workSchedules.sourcePath).stem().string(), model.workSchedules.sourcePath,
                            model.layersByStorey, 0}};
    if (doc.contains("view")) model.view = ReadView(doc.at("view"));
    if (doc.contains("windows")) model.windows = ReadWindows(doc.at("windows"));
    if (doc.contains("addondata")) {
        ReadProjectData(model, doc.at("addondata"));
        model.MarkSaved(); // the blocks as read are the project as opened, not a change to it
    }
    for (auto& [k, v] : doc.items())
        if (!Known(kTopKeys, k)) model.unknownKeys[k] = v.dump();
}

// Hundreds of times a large real project; parsing takes some ten times the text in memory.
// Large enough for a million elements with their links, small enough to refuse what no model is.
constexpr size_t kMaxProjectBytes = size_t{2048} << 20;

// Copying and writing JSON values recurse once per level, so a hostile file could exhaust the
// stack long after parsing. Real projects nest a handful of levels.
constexpr size_t kMaxNesting = 256;

} // namespace

void EnsureDefaultPens(HostModel& model) {
    // A 16-colour cycle, with the five last pens in clear colours of their own.
    static const std::array<double, 3> cycle[] = {{0, 0, 0}, {0.2, 0.2, 0.2}, {0.5, 0.5, 0.5}, {0.6, 0.3, 0.1},
                                                  {0.8, 0.1, 0.1}, {0.1, 0.5, 0.1}, {0.1, 0.2, 0.7}, {0.7, 0.6, 0.1},
                                                  {0.4, 0.1, 0.5}, {0.1, 0.5, 0.5}, {0.9, 0.5, 0.1}, {0.3, 0.3, 0.6},
                                                  {0.6, 0.6, 0.6}, {0.3, 0.2, 0.1}, {0.1, 0.1, 0.4}, {0.8, 0.8, 0.8}};
    static const std::array<double, 3> last[] = {{0.95, 0.85, 0.2}, {0.1, 0.2, 0.85}, {0.95, 0.55, 0.1}, {0.85, 0.1, 0.1}, {0.1, 0.75, 0.1}};
    for (int i = model.AttributeCount(HostAttribute::Pen) + 1; i <= 255; ++i) {
        AttributeRecord r = MakeAttributeRecord(HostAttribute::Pen, "Toll " + std::to_string(i));
        const auto& c = i >= 251 ? last[i - 251] : cycle[(i - 1) % 16];
        for (size_t k = 0; k < 3; ++k) PutD(r, HostAttribute::kPenRed + 8 * k, c[k]);
        PutD(r, HostAttribute::kPenWidth, 0.25);
        model.CreateAttribute(HostAttribute::Pen, std::move(r));
    }
}

ProjectLoadResult ParseHostProject(const std::string& text, const std::string& name) {
    ProjectLoadResult result;
    if (auto at = FindTooDeepNesting(text, kMaxNesting)) {
        result.error = name + ": byte " + std::to_string(*at + 1) + ": nested more than " +
                       std::to_string(kMaxNesting) + " levels deep";
        return result;
    }
    json doc;
    try {
        doc = json::parse(text);
    } catch (const json::parse_error& e) {
        result.error = name + ": byte " + std::to_string(e.byte) + ": not valid JSON";
        return result;
    } catch (const json::exception& e) {
        // A number too large for a double; the reader's message quotes it.
        std::string what = e.what();
        result.error = name + ": not valid JSON: " + what.substr(what.find("] ") == std::string::npos ? 0 : what.find("] ") + 2);
        return result;
    }
    auto model = std::make_unique<HostModel>();
    try {
        ReadModel(*model, doc);
    } catch (const EProject& e) {
        result.error = name + ": " + e.what();
        return result;
    } catch (const EWorkSchedulesForm& e) {
        result.error = name + ": " + e.what();
        return result;
    } catch (const ELookForm& e) {
        result.error = name + ": " + e.what();
        return result;
    } catch (const json::exception& e) {
        result.error = name + ": " + e.what();
        return result;
    }
    model->MarkSaved(); // the model is what the file holds
    result.model = std::move(model);
    return result;
}

ProjectLoadResult LoadHostProject(const std::string& path) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) return {nullptr, path + ": is a folder"};
    std::string text;
    int32_t err = FKReadWholeFile(FKLocation::FromNativePath(path), kMaxProjectBytes, text);
    if (err == kFKTooLargeErr)
        return {nullptr, path + ": larger than " + std::to_string(kMaxProjectBytes >> 20) + " MB"};
    if (err != kFKNoErr) return {nullptr, path + ": cannot be opened: " + FKErrorText(err)};
    return ParseHostProject(text, path);
}

std::string SerializeHostProject(const HostModel& model) {
    json doc = WriteStoredKeys(model.unknownKeys);
    HostModel& m = const_cast<HostModel&>(model);
    json layers = json::array();
    for (int16_t i = 1; i <= m.AttributeCount(HostAttribute::Layer); ++i) {
        const auto& r = *m.Attribute(HostAttribute::Layer, i);
        uint32_t flags = LE::Get<uint32_t>(r, HostAttribute::kFlags);
        layers.push_back({{"name", BKToUtf8(m.AttributeName(HostAttribute::Layer, i))},
                          {"hidden", (flags & HostAttribute::kLayerHidden) != 0},
                          {"locked", (flags & HostAttribute::kLayerLocked) != 0}});
    }
    doc["layers"] = layers;
    json mats = json::array();
    for (int16_t i = 1; i <= m.AttributeCount(HostAttribute::Material); ++i) {
        const auto& r = *m.Attribute(HostAttribute::Material, i);
        json jm = {{"name", BKToUtf8(m.AttributeName(HostAttribute::Material, i))},
                   {"type", LE::Get<int32_t>(r, HostAttribute::kMatType)},
                   {"ambient", LE::Get<int16_t>(r, HostAttribute::kMatAmbient)},
                   {"diffuse", LE::Get<int16_t>(r, HostAttribute::kMatDiffuse)},
                   {"specular", LE::Get<int16_t>(r, HostAttribute::kMatSpecular)},
                   {"transparency", LE::Get<int16_t>(r, HostAttribute::kMatTransparency)},
                   {"shine", LE::Get<int16_t>(r, HostAttribute::kMatShine)},
                   {"transAtt", LE::Get<int16_t>(r, HostAttribute::kMatTransAtt)},
                   {"emissionAtt", LE::Get<int16_t>(r, HostAttribute::kMatEmissionAtt)}};
        std::array<double, 3> s{}, sp{}, em{};
        for (size_t k = 0; k < 3; ++k) {
            s[k] = GetD(r, HostAttribute::kMatSurfaceRed + 8 * k);
            sp[k] = GetD(r, HostAttribute::kMatSpecularRgb + 8 * k);
            em[k] = GetD(r, HostAttribute::kMatEmissionRgb + 8 * k);
        }
        jm["surface"] = s;
        jm["specularRgb"] = sp;
        jm["emissionRgb"] = em;
        mats.push_back(jm);
    }
    doc["materials"] = mats;
    json pens = json::array();
    for (int16_t i = 1; i <= m.AttributeCount(HostAttribute::Pen); ++i) {
        const auto& r = *m.Attribute(HostAttribute::Pen, i);
        std::array<double, 3> c{};
        for (size_t k = 0; k < 3; ++k) c[k] = GetD(r, HostAttribute::kPenRed + 8 * k);
        pens.push_back({{"color", c}, {"width", GetD(r, HostAttribute::kPenWidth)}});
    }
    doc["pens"] = pens;
    json elements = json::array(), cameras = json::array(), paths = json::array();
    for (const auto& e : model.Elements()) {
        json je = WriteElement(model, *e);
        if (e->Kind() == HostElement::Camera) cameras.push_back(je);
        else if (e->Kind() == HostElement::CameraPath) paths.push_back(je);
        else elements.push_back(je);
    }
    doc["elements"] = elements;
    doc["cameras"] = cameras;
    doc["paths"] = paths;
    if (model.layersByStorey) doc["ifclayers"] = "storey";
    // Only a model opened from an IFC file has it, so other projects keep their bytes.
    if (!model.workSchedules.sourcePath.empty()) doc["ifcschedule"] = WriteWorkSchedules(model.workSchedules);
    // Only a project of several models has them, so a project of one keeps its bytes.
    if (model.ifcModels.size() > 1) {
        json models = json::array();
        for (const IfcModelSource& s : model.ifcModels)
            models.push_back({{"name", s.name}, {"path", s.path}, {"layers", s.layersByStorey ? "storey" : "presentation"},
                              {"revisions", s.revisions}});
        doc["models"] = models;
    }
    doc["view"] = WriteView(model.view);
    doc["windows"] = WriteWindows(model.windows);
    // Only a project an add-on gave a block to has the key, so others keep their bytes.
    if (!model.AllProjectData().empty()) {
        json blocks = json::object();
        for (const auto& [addon, block] : model.AllProjectData())
            blocks[addon] = {{"version", block.version}, {"sign", block.platformSign}, {"hex", EncodeHex(block.bytes)}};
        doc["addondata"] = blocks;
    }
    return doc.dump(1) + "\n";
}

bool SaveHostProject(const HostModel& model, const std::string& path, std::string& error) {
    std::string text = SerializeHostProject(model);
    // A file the host would refuse to open is never written over the one it can.
    if (text.size() > kMaxProjectBytes) {
        error = path + ": cannot be written: the project would be larger than " +
                std::to_string(kMaxProjectBytes >> 20) + " MB";
        return false;
    }
    return SaveTextFile(path, text, error);
}
