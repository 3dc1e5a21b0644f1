// Host project files: what is read comes back unchanged on save, and a bad file gives no model
// and an error naming the file and the place.
#include "HostTestFiles.h"

#include "basekit/BKText.h"
#include "bytes/LittleEndian.h"
#include "filekit/FKError.h"
#include "filekit/FKFaults.h"
#include "host/project/HostProjectFile.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstring>
#include <sys/stat.h>
#include <tuple>

namespace {

using nlohmann::json;

const std::string kHouse = "examples/house/house.qvp";

double F64At(const Element& e, size_t offset) {
    uint64_t bits = LE::Get<uint64_t>(e.Bytes(), offset);
    double d;
    std::memcpy(&d, &bits, 8);
    return d;
}

// One element of every sort of field the file can hold.
const char* kRichProject = R"({
 "layers": [{"name": "Alap"}, {"name": "Bontandó", "hidden": true, "locked": true}],
 "materials": [{"name": "Tégla", "ambient": 75, "shine": 2500, "surface": [0.72, 0.36, 0.24]}],
 "elements": [
  {"id": "FAL-01", "kind": 1, "guid": "0A1B2C3D-4E5F-4061-8293-A4B5C6D7E8F9", "layer": "Bontandó",
   "owner": 3, "locked": true, "floor": 1,
   "record": {"i16": {"104": 1, "112": -2, "2750": 65535}, "u8": {"131": 1, "133": 255},
              "i32": {"200": -70000}, "f64": {"2752": 0.1}},
   "box": {"min": [0, 0, 0], "max": [4, 0.3, 2.8]},
   "userdata": [{"addon": "Bauvista", "version": 103, "sign": 22359, "hex": "0700000000ff"},
                {"addon": "Masik", "version": 1, "sign": 1, "hex": ""}]},
  {"id": "TET-01", "kind": 9, "layer": 1,
   "mesh": {"vertices": [[0, 0, 3], [4, 0, 3], [2, 2, 4.5]], "triangles": [[0, 1, 2]]}}
 ],
 "cameras": [{"id": "KAM-01", "index": 4, "record": {"i32": {"104": 2, "108": 0}, "i16": {"112": 5}}}],
 "paths": [{"id": "UTV-01", "index": 2, "record": {"i32": {"108": 4}, "u8": {"112": 1}}}],
 "view": {"eye": [1, 2, 3]},
 "windows": {"3d": {"width": 640, "height": 480}}
})";

} // namespace

TEST(HostProjectFile, TheSavedHouseReadsBackToTheSameText) {
    auto loaded = LoadHostProject(SourceFile(kHouse));
    ASSERT_TRUE(loaded.model) << loaded.error;
    std::string first = SerializeHostProject(*loaded.model);
    auto again = ParseHostProject(first, "first.qvp");
    ASSERT_TRUE(again.model) << again.error;
    EXPECT_EQ(SerializeHostProject(*again.model), first);

    TempFolder folder;
    std::string error;
    ASSERT_TRUE(SaveHostProject(*again.model, folder.Path("house.qvp"), error)) << error;
    EXPECT_EQ(ReadWholeFile(folder.Path("house.qvp")), first);
    EXPECT_EQ(folder.EntryCount(), 1u) << "the temporary file stayed behind";
}

TEST(HostProjectFile, EveryFieldSurvivesASave) {
    auto loaded = ParseHostProject(kRichProject, "rich.qvp");
    ASSERT_TRUE(loaded.model) << loaded.error;
    auto reread = ParseHostProject(SerializeHostProject(*loaded.model), "saved.qvp");
    ASSERT_TRUE(reread.model) << reread.error;

    for (HostModel* m : {loaded.model.get(), reread.model.get()}) {
        Element* wall = m->FindByIdText("FAL-01");
        ASSERT_TRUE(wall);
        EXPECT_EQ(wall->Guid().ToString(), "0A1B2C3D-4E5F-4061-8293-A4B5C6D7E8F9");
        EXPECT_EQ(m->AttributeName(HostAttribute::Layer, wall->Layer()), BKFromUtf8("Bontandó"));
        EXPECT_EQ(wall->Owner(), 3);
        EXPECT_TRUE(wall->Locked());
        EXPECT_EQ(LE::Get<int16_t>(wall->Bytes(), HostElement::kFloor), 1);
        EXPECT_EQ(LE::Get<int16_t>(wall->Bytes(), 112), -2);
        EXPECT_EQ(LE::Get<uint16_t>(wall->Bytes(), 2750), 65535);
        EXPECT_EQ(wall->record[131], 1);
        EXPECT_EQ(wall->record[132], 0);
        EXPECT_EQ(wall->record[133], 255);
        EXPECT_EQ(LE::Get<int32_t>(wall->Bytes(), 200), -70000);
        EXPECT_EQ(F64At(*wall, 2752), 0.1);
        EXPECT_EQ(wall->geometry.shape, Geometry::Shape::Box);
        EXPECT_EQ(wall->geometry.max, (std::array<double, 3>{4, 0.3, 2.8}));
        // Both add-ons' blocks, not only the first.
        ASSERT_EQ(wall->userData.size(), 2u);
        EXPECT_EQ(wall->userData.at("Bauvista").version, 103);
        EXPECT_EQ(wall->userData.at("Bauvista").platformSign, 22359);
        EXPECT_EQ(wall->userData.at("Bauvista").bytes, (std::vector<uint8_t>{7, 0, 0, 0, 0, 0xff}));
        EXPECT_TRUE(wall->userData.at("Masik").bytes.empty());

        Element* roof = m->FindByIdText("TET-01");
        ASSERT_TRUE(roof);
        EXPECT_EQ(roof->Layer(), 1);
        EXPECT_EQ(roof->geometry.shape, Geometry::Shape::Mesh);
        EXPECT_EQ(roof->geometry.triangles.size(), 1u);
        EXPECT_EQ(roof->geometry.vertices[2], (std::array<double, 3>{2, 2, 4.5}));

        Element* camera = m->FindByIndex(HostElement::Camera, 4);
        ASSERT_TRUE(camera);
        EXPECT_EQ(LE::Get<int32_t>(camera->Bytes(), HostElement::kCameraPathIndex), 2);
        EXPECT_EQ(LE::Get<int16_t>(camera->Bytes(), HostElement::kCameraFrames), 5);
        Element* path = m->FindByIndex(HostElement::CameraPath, 2);
        ASSERT_TRUE(path);
        EXPECT_EQ(LE::Get<int32_t>(path->Bytes(), HostElement::kPathFirstCamera), 4);
        EXPECT_EQ(path->record[HostElement::kPathClosed], 1);

        auto* layer = m->Attribute(HostAttribute::Layer, 2);
        ASSERT_TRUE(layer);
        EXPECT_EQ(LE::Get<uint32_t>(*layer, HostAttribute::kFlags), HostAttribute::kLayerHidden | HostAttribute::kLayerLocked);
        EXPECT_EQ(m->AttributeName(HostAttribute::Material, 1), BKFromUtf8("Tégla"));
        EXPECT_EQ(m->AttributeCount(HostAttribute::Pen), 255);
        EXPECT_EQ(m->windows.view3D.width, 640);
    }
    for (const auto& e : loaded.model->Elements()) {
        const Element* other = reread.model->Find(e->Guid());
        ASSERT_TRUE(other) << e->IdText();
        EXPECT_EQ(e->record, other->record) << e->IdText();
        EXPECT_EQ(e->geometry, other->geometry) << e->IdText();
        EXPECT_EQ(e->userData, other->userData) << e->IdText();
    }
}

TEST(HostProjectFile, UnknownKeysAreKept) {
    auto loaded = ParseHostProject(R"({
        "generator": {"name": "kézi", "nested": [1, [2, {"x": null}]]},
        "elements": [{"id": "ZON-01", "kind": 17, "name": "Nappali és étkező", "area": 31.5}],
        "cameras": [{"id": "KAM-01", "eye": [1, 2, 3]}]
    })", "keys.qvp");
    ASSERT_TRUE(loaded.model) << loaded.error;
    json saved = json::parse(SerializeHostProject(*loaded.model));
    EXPECT_EQ(saved["generator"], json::parse(R"({"name": "kézi", "nested": [1, [2, {"x": null}]]})"));
    EXPECT_EQ(saved["elements"][0]["name"], "Nappali és étkező");
    EXPECT_EQ(saved["elements"][0]["area"], 31.5);
    EXPECT_EQ(saved["cameras"][0]["eye"], json::parse("[1, 2, 3]"));
}

TEST(HostProjectFile, TheAddonsProjectBlocksSurviveASaveAndAProjectWithoutThemHasNoKey) {
    auto plain = LoadHostProject(SourceFile(kHouse));
    ASSERT_TRUE(plain.model) << plain.error;
    EXPECT_FALSE(json::parse(SerializeHostProject(*plain.model)).contains("addondata"));

    auto loaded = ParseHostProject(R"({"addondata": {"Bauvista": {"version": 1, "sign": 22359, "hex": "0000ff"},
                                                     "Masik": {"version": -2, "sign": 0, "hex": ""}}})",
                                   "blocks.qvp");
    ASSERT_TRUE(loaded.model) << loaded.error;
    EXPECT_FALSE(loaded.model->Modified()) << "reading is no change";
    auto reread = ParseHostProject(SerializeHostProject(*loaded.model), "saved.qvp");
    ASSERT_TRUE(reread.model) << reread.error;
    for (HostModel* m : {loaded.model.get(), reread.model.get()}) {
        ASSERT_EQ(m->AllProjectData().size(), 2u);
        const UserDataBlock* b = m->ProjectData("Bauvista");
        ASSERT_TRUE(b);
        EXPECT_EQ(b->version, 1);
        EXPECT_EQ(b->platformSign, 22359);
        EXPECT_EQ(b->bytes, (std::vector<uint8_t>{0, 0, 0xff}));
        EXPECT_EQ(m->ProjectData("Masik")->version, -2);
    }
    json saved = json::parse(SerializeHostProject(*reread.model));
    EXPECT_EQ(saved["addondata"]["Bauvista"], json::parse(R"({"version": 1, "sign": 22359, "hex": "0000ff"})"));

    const std::pair<const char*, const char*> bad[] = {
        {R"({"addondata": [1]})", "/addondata: expected an object"},
        {R"({"addondata": {"Bauvista": 7}})", "/addondata/Bauvista: expected an object"},
        {R"({"addondata": {"Bauvista": {"hex": "0"}}})", "/addondata/Bauvista/hex: hexadecimal text of odd length"},
        {R"({"addondata": {"Bauvista": {"sign": -1}}})", "/addondata/Bauvista/sign: out of range"},
    };
    for (auto [text, place] : bad) {
        auto r = ParseHostProject(text, "plan.qvp");
        EXPECT_FALSE(r.model) << place;
        EXPECT_NE(r.error.find(place), std::string::npos) << r.error;
    }
}

TEST(HostProjectFile, MalformedFilesNameTheFileAndThePlaceAndGiveNoModel) {
    struct Case {
        std::string text, place;
    };
    auto element = [](const std::string& fields) {
        return R"({"layers": [{"name": "Alap"}], "elements": [{"id": "E-1", "kind": 1, )" + fields + "}]}";
    };
    const std::vector<Case> cases = {
        // Not JSON at all, or cut off.
        {"", "byte 1: not valid JSON"},
        {R"({"view": {"scale": 1e400}})", "not valid JSON: number overflow parsing '1e400'"},
        {R"({"layers": [{"name": "Alap"})", "byte 29: not valid JSON"},
        // Values of the wrong kind.
        {"[1, 2]", "/: expected an object"},
        {R"({"layers": {"name": "Alap"}})", "/layers: expected a list"},
        {R"({"layers": [{"name": 7}]})", "/layers/0/name: value of the wrong kind"},
        {R"({"layers": [{"name": "A", "hidden": "yes"}]})", "/layers/0/hidden: value of the wrong kind"},
        {R"({"materials": [{"name": "Beton", "surface": [1, 2]}]})", "/materials/0/surface: expected three numbers"},
        {R"({"pens": [{"color": [0, 0, 0], "width": "thin"}]})", "/pens/0/width: value of the wrong kind"},
        {R"({"pens": [{"color": [0, 0, 0], "width": -1}]})", "/pens/0/width: not a width"},
        {R"({"elements": {}})", "/elements: expected a list"},
        {R"({"elements": [{"id": "E-1", "kind": "wall"}]})", "/elements/0/kind: not a whole number"},
        {R"({"elements": [{"id": "E-1", "kind": 43}]})", "/elements/0/kind: out of range"},
        {R"({"elements": [{"id": "E-1"}]})", "/elements/0/kind: missing"},
        {R"({"elements": [{"kind": 1}]})", "/elements/0/id: missing"},
        {R"({"elements": [{"id": 5, "kind": 1}]})", "/elements/0/id: value of the wrong kind"},
        {R"({"cameras": [{"id": "K", "kind": 1}]})", "/cameras/0/kind: out of range"},
        {element(R"("locked": 1)"), "/elements/0/locked: value of the wrong kind"},
        {element(R"("owner": 18446744073709551615)"), "/elements/0/owner: out of range"},
        {element(R"("guid": "not-a-guid")"), "/elements/0/guid: not an identifier"},
        {element(R"("id": ")" + std::string(64, 'x') + R"(")"), "/elements/0/id: longer than 63 bytes"},
        // Names that do not resolve or are used twice.
        {element(R"("layer": "Tető")"), "/elements/0/layer: no such layer"},
        {element(R"("layer": 2)"), "/elements/0/layer: no such layer"},
        {element(R"("layer": 0)"), "/elements/0/layer: no such layer"},
        {R"({"layers": [{"name": "Alap"}, {"name": "Alap"}]})", "/layers/1/name: used twice"},
        // A zero character would cut a stored name short and make different names equal.
        {R"({"layers": [{"name": "A\u0000x"}]})", "/layers/0/name: holds a zero character"},
        {R"({"materials": [{"name": "Beton\u0000"}]})", "/materials/0/name: holds a zero character"},
        {R"({"elements": [{"id": "FAL\u000001", "kind": 1}]})", "/elements/0/id: holds a zero character"},
        {R"({"elements": [{"id": "A", "kind": 1, "index": 3}, {"id": "B", "kind": 1, "index": 3}]})",
         "/elements/1/index: used twice"},
        {R"({"elements": [{"id": "FAL-01", "kind": 1}, {"id": "FAL-01", "kind": 2}]})",
         "/elements/1/id: used twice: FAL-01"},
        {R"({"elements": [{"id": "A", "kind": 1, "guid": "0A1B2C3D-4E5F-4061-8293-A4B5C6D7E8F9"},
                          {"id": "B", "kind": 1, "guid": "0A1B2C3D-4E5F-4061-8293-A4B5C6D7E8F9"}]})",
         "/elements/1/guid: used twice"},
        // Record fields outside the element's own part of the record, or not fitting their width.
        {element(R"("record": {"i16": {"102": 1}})"), "/elements/0/record/i16/102: offset outside the element's own fields"},
        {element(R"("record": {"u8": {"2760": 1}})"), "/elements/0/record/u8/2760: offset outside"},
        {element(R"("record": {"i16": {"2759": 1}})"), "/elements/0/record/i16/2759: offset outside"},
        {element(R"("record": {"i32": {"2757": 1}})"), "/elements/0/record/i32/2757: offset outside"},
        {element(R"("record": {"f64": {"2753": 1.5}})"), "/elements/0/record/f64/2753: offset outside"},
        {element(R"("record": {"i16": {"99999999999999999999999": 1}})"), "/elements/0/record/i16/99999999999999999999999: bad offset"},
        {element(R"("record": {"i16": {"-104": 1}})"), "/elements/0/record/i16/-104: bad offset"},
        {element(R"("record": {"i16": {" 104": 1}})"), "/elements/0/record/i16/ 104: bad offset"},
        {element(R"("record": {"i16": {"104x": 1}})"), "/elements/0/record/i16/104x: bad offset"},
        {element(R"("record": {"i16": {"104": 65536}})"), "/elements/0/record/i16/104: out of range"},
        {element(R"("record": {"u8": {"131": 18446744073709551615}})"), "/elements/0/record/u8/131: out of range"},
        {element(R"("record": {"u8": {"131": 1.0}})"), "/elements/0/record/u8/131: not a whole number"},
        {element(R"("record": {"f64": {"200": "x"}})"), "/elements/0/record/f64/200: not a number"},
        {element(R"("record": {"x8": {"200": 1}})"), "/elements/0/record/x8: unknown field type"},
        {element(R"("record": [1])"), "/elements/0/record: expected an object"},
        // Geometry.
        {element(R"("box": {"min": [0, 0, 0]})"), "/elements/0/box: needs min and max"},
        {element(R"("box": {"min": [0, 0, 0], "max": [1, "a", 1]})"), "/elements/0/box/max: expected three numbers"},
        {element(R"("box": {"min": [0, 2, 0], "max": [1, 1, 1]})"), "/elements/0/box: min above max"},
        {element(R"("mesh": {"vertices": 3, "triangles": []})"), "/elements/0/mesh/vertices: expected a list"},
        {element(R"("mesh": {"vertices": [], "triangles": "abc"})"), "/elements/0/mesh/triangles: expected a list"},
        {element(R"("mesh": {"vertices": [[0, 0, 0]], "triangles": [[0, 0, 1]]})"), "/elements/0/mesh/triangles/0: no such vertex"},
        {element(R"("mesh": {"vertices": [[0, 0, 0]], "triangles": [[0, 0, -1]]})"), "/elements/0/mesh/triangles/0: no such vertex"},
        // User data.
        {element(R"("userdata": "0700")"), "/elements/0/userdata: expected an object or a list"},
        {element(R"("userdata": {"version": 103, "hex": "070"})"), "/elements/0/userdata/hex: hexadecimal text of odd length"},
        {element(R"("userdata": {"version": 103, "hex": "0x"})"), "/elements/0/userdata/hex: not a hexadecimal digit"},
        {element(R"("userdata": {"version": 40000, "hex": ""})"), "/elements/0/userdata/version: out of range"},
        {element(R"("userdata": [{"hex": "00"}, {"hex": "01"}])"), "/elements/0/userdata/1/addon: used twice: Bauvista"},
        // Facts.
        {element(R"("facts": {"class": "IfcWall"})"), "/elements/0/facts: expected a list"},
        {element(R"("facts": [["class", "IfcWall"], ["storey"]])"), "/elements/0/facts/1: expected a key and a value"},
        {element(R"("facts": [["class", 7]])"), "/elements/0/facts/0: expected a key and a value"},
        {element(R"("facts": [["", "IfcWall"]])"), "/elements/0/facts/0: empty key"},
        {element(R"("facts": [["name", "A\u0000B"]])"), "/elements/0/facts/0: holds a zero character"},
        {R"({"ifclayers": "floors"})", "/ifclayers: expected \"storey\" or \"presentation\""},
        // Nesting deep enough to exhaust the stack when the value is copied or written.
        {R"({"view": )" + std::string(100000, '[') + std::string(100000, ']') + "}", "byte 265: nested more than 256 levels deep"},
    };
    for (const auto& c : cases) {
        auto loaded = ParseHostProject(c.text, "plan.qvp");
        EXPECT_FALSE(loaded.model) << c.place;
        EXPECT_EQ(loaded.error.rfind("plan.qvp: ", 0), 0u) << loaded.error;
        EXPECT_NE(loaded.error.find(c.place), std::string::npos) << "expected \"" << c.place << "\" in: " << loaded.error;
    }
}

// Facts are texts of the model's shared store: each element gets back its own, in its order,
// repeated keys and all, and a project without them has neither key.
TEST(HostProjectFile, FactsAndTheStoreyLayerChoiceSurviveASave) {
    const char* text = R"({"layers": [{"name": "Alap"}], "ifclayers": "storey", "elements": [
      {"id": "A", "kind": 1, "facts": [["class", "IfcWall"], ["material", "Beton"], ["material", "Hőszigetelés"],
                                      ["Pset_WallCommon.IsExternal", "TRUE"]]},
      {"id": "B", "kind": 1, "facts": [["class", "IfcWall"], ["material", "Beton"], ["name", ""]]},
      {"id": "C", "kind": 1}]})";
    auto loaded = ParseHostProject(text, "facts.qvp");
    ASSERT_TRUE(loaded.model) << loaded.error;
    HostModel& m = *loaded.model;
    EXPECT_TRUE(m.layersByStorey);
    const auto& elements = m.Elements();
    using Facts = std::vector<std::pair<std::string_view, std::string_view>>;
    EXPECT_EQ(m.FactsOf(*elements[0]), (Facts{{"class", "IfcWall"}, {"material", "Beton"}, {"material", "Hőszigetelés"},
                                              {"Pset_WallCommon.IsExternal", "TRUE"}}));
    EXPECT_EQ(m.FactsOf(*elements[1]), (Facts{{"class", "IfcWall"}, {"material", "Beton"}, {"name", ""}}));
    EXPECT_TRUE(elements[2]->facts.empty());
    EXPECT_EQ(elements[0]->facts[0], elements[1]->facts[0]); // one text, however many elements
    EXPECT_EQ(m.Facts().Count(), 9u);
    std::string saved = SerializeHostProject(m);
    json doc = json::parse(saved);
    EXPECT_EQ(doc["ifclayers"], "storey");
    EXPECT_FALSE(doc["elements"][2].contains("facts"));
    auto again = ParseHostProject(saved, "facts.qvp");
    ASSERT_TRUE(again.model) << again.error;
    EXPECT_EQ(SerializeHostProject(*again.model), saved);

    auto plain = ParseHostProject(R"({"ifclayers": "presentation", "elements": [{"id": "C", "kind": 1}]})", "plain.qvp");
    ASSERT_TRUE(plain.model) << plain.error;
    EXPECT_FALSE(plain.model->layersByStorey);
    json plainDoc = json::parse(SerializeHostProject(*plain.model));
    EXPECT_FALSE(plainDoc.contains("ifclayers"));
    EXPECT_FALSE(plainDoc["elements"][0].contains("facts"));
}

TEST(HostProjectFile, NestingWithinTheLimitAndBracketsInTextsAreRead) {
    std::string deep = std::string(200, '[') + std::string(200, ']');
    auto loaded = ParseHostProject(R"({"view": {"note": "[[[[{{{{\"[[[[", "deep": )" + deep + "}}", "deep.qvp");
    ASSERT_TRUE(loaded.model) << loaded.error;
    EXPECT_EQ(json::parse(SerializeHostProject(*loaded.model))["view"]["note"], "[[[[{{{{\"[[[[");
}

TEST(HostProjectFile, AFileThatCannotBeOpenedIsNamed) {
    TempFolder folder;
    auto loaded = LoadHostProject(folder.Path("missing.qvp"));
    EXPECT_FALSE(loaded.model);
    EXPECT_EQ(loaded.error, folder.Path("missing.qvp") + ": cannot be opened: no such file or folder");
    auto folderLoaded = LoadHostProject(folder.Root().string());
    EXPECT_FALSE(folderLoaded.model);
    EXPECT_EQ(folderLoaded.error, folder.Root().string() + ": is a folder");
}

TEST(HostProjectFile, AFailedSaveLeavesTheEarlierFileAsItWas) {
    auto loaded = ParseHostProject(kRichProject, "rich.qvp");
    ASSERT_TRUE(loaded.model) << loaded.error;
    TempFolder folder;
    std::string path = folder.Path("plan.qvp"), error;
    WriteWholeFile(path, "earlier contents");
    for (auto [op, code, reason] : {std::tuple{FKOperation::Write, kFKDiskFullErr, "disk full"},
                                    std::tuple{FKOperation::Open, kFKPermissionErr, "permission denied"},
                                    std::tuple{FKOperation::Rename, kFKIOErr, "input/output error"}}) {
        FKInjectFault(op, code);
        EXPECT_FALSE(SaveHostProject(*loaded.model, path, error));
        EXPECT_EQ(error, path + ": cannot be written: " + reason);
        EXPECT_EQ(ReadWholeFile(path), "earlier contents");
        EXPECT_EQ(folder.EntryCount(), 1u) << "a temporary stayed behind";
    }
    FKClearFaults();
    EXPECT_FALSE(SaveHostProject(*loaded.model, folder.Path("no/such/folder/plan.qvp"), error));
    EXPECT_EQ(error, folder.Path("no/such/folder/plan.qvp") + ": cannot be written: no such file or folder");
    EXPECT_TRUE(SaveHostProject(*loaded.model, path, error)) << error;
    EXPECT_NE(ReadWholeFile(path), "earlier contents");
}

TEST(HostProjectFile, TheSaveKeepsTheFilesModeAndLinkAndWritesDevicesDirectly) {
    auto loaded = ParseHostProject(kRichProject, "rich.qvp");
    ASSERT_TRUE(loaded.model) << loaded.error;
    TempFolder folder;
    std::string real = folder.Path("real.qvp"), link = folder.Path("link.qvp"), error;
    WriteWholeFile(real, "earlier");
    ASSERT_EQ(chmod(real.c_str(), 0600), 0);
    std::filesystem::create_symlink(real, link);
    ASSERT_TRUE(SaveHostProject(*loaded.model, link, error)) << error;
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(ReadWholeFile(real), SerializeHostProject(*loaded.model));
    struct stat st {};
    ASSERT_EQ(stat(real.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_EQ(folder.EntryCount(), 2u);

    ASSERT_TRUE(SaveHostProject(*loaded.model, "/dev/null", error)) << error;
    EXPECT_TRUE(std::filesystem::is_character_file("/dev/null"));
}

TEST(HostProjectFile, IdsAndNamesWithoutACodePageFormAreRefusedWithThePlaceAndTheCharacter) {
    struct Case {
        const char* text;
        const char* error;
    };
    for (const Case& c : {
             Case{R"({"elements": [{"id": "FAL-01", "kind": 1}, {"id": "日本-01", "kind": 1}]})",
                  "/elements/1/id: character U+65E5 \"日\" has no Windows-1250 form"},
             Case{R"({"layers": [{"name": "Alap"}, {"name": "Réteg ☃"}]})",
                  "/layers/1/name: character U+2603 \"☃\" has no Windows-1250 form"},
             Case{R"({"materials": [{"name": "Tégla 😀"}]})",
                  "/materials/0/name: character U+1F600 \"😀\" has no Windows-1250 form"},
             Case{R"({"elements": [{"id": "FAL-01", "kind": 1, "layer": "日"}]})",
                  "/elements/0/layer: character U+65E5 \"日\" has no Windows-1250 form"},
         }) {
        auto loaded = ParseHostProject(c.text, "cp.qvp");
        EXPECT_FALSE(loaded.model) << c.text;
        EXPECT_EQ(loaded.error, std::string("cp.qvp: ") + c.error);
    }
    auto hungarian = ParseHostProject(R"({"elements": [{"id": "FŐFAL-01", "kind": 1}]})", "hu.qvp");
    ASSERT_TRUE(hungarian.model) << hungarian.error;
    EXPECT_EQ(BKToUtf8(hungarian.model->Elements()[0]->IdText()), "FŐFAL-01");
}

TEST(HostProjectFile, OnlyAPlainFileOfBoundedSizeIsRead) {
    TempFolder folder;
    std::string pipe = folder.Path("pipe.qvp"), huge = folder.Path("huge.qvp");
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    auto fromPipe = LoadHostProject(pipe); // with no writer: must not wait for one
    EXPECT_FALSE(fromPipe.model);
    EXPECT_EQ(fromPipe.error, pipe + ": cannot be opened: not a plain file");
    EXPECT_EQ(LoadHostProject("/dev/zero").error, "/dev/zero: cannot be opened: not a plain file");
    WriteWholeFile(huge, "{}");
    std::filesystem::resize_file(huge, (size_t{2048} << 20) + 1); // sparse: costs no disk
    auto fromHuge = LoadHostProject(huge);
    EXPECT_FALSE(fromHuge.model);
    EXPECT_EQ(fromHuge.error, huge + ": larger than 2048 MB");
}
