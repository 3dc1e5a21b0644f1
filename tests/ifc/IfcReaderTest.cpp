// The IFC reader on a real file written by another program and on small files made for the
// cases a building model brings: units, placements, mapped and Boolean geometry, openings,
// styles, layers, storeys, encoded texts, and files that are not usable at all.
#include "host/HostTestFiles.h"
#include "IfcTestFiles.h"

#include "host/ifc/building/IfcGuid.h"
#include "host/ifc/reader/IfcReader.h"
#include "host/ifc/step/StepEntityScan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

namespace {

using ifctest::IfcFile;

std::map<std::string, int> CountByClass(const IfcBuildingData& data) {
    std::map<std::string, int> counts;
    for (const auto& p : data.products) ++counts[p.ifcClass];
    return counts;
}

const IfcProductData* FindNamed(const IfcBuildingData& data, const std::string& name) {
    for (const auto& p : data.products)
        if (p.name == name) return &p;
    return nullptr;
}

struct Box {
    std::array<double, 3> min{1e300, 1e300, 1e300}, max{-1e300, -1e300, -1e300};
};
Box BoundsOf(const IfcProductData& p) {
    Box b;
    for (const auto& v : p.vertices)
        for (size_t k = 0; k < 3; ++k) {
            b.min[k] = std::min(b.min[k], v[k]);
            b.max[k] = std::max(b.max[k], v[k]);
        }
    return b;
}

void ExpectBox(const IfcProductData& p, std::array<double, 3> min, std::array<double, 3> max) {
    Box b = BoundsOf(p);
    for (size_t k = 0; k < 3; ++k) {
        EXPECT_NEAR(b.min[k], min[k], 1e-6) << p.name << " axis " << k;
        EXPECT_NEAR(b.max[k], max[k], 1e-6) << p.name << " axis " << k;
    }
}

// Of a closed mesh whose faces point outwards.
double VolumeOf(const IfcProductData& p) {
    double six = 0;
    for (const auto& t : p.triangles) {
        const auto &a = p.vertices[t[0]], &b = p.vertices[t[1]], &c = p.vertices[t[2]];
        six += a[0] * (b[1] * c[2] - b[2] * c[1]) - a[1] * (b[0] * c[2] - b[2] * c[0]) + a[2] * (b[0] * c[1] - b[1] * c[0]);
    }
    return six / 6;
}

void ExpectWellFormedMesh(const IfcProductData& p) {
    ASSERT_FALSE(p.triangles.empty()) << p.name;
    for (const auto& t : p.triangles)
        for (int32_t i : t) ASSERT_TRUE(i >= 0 && static_cast<size_t>(i) < p.vertices.size()) << p.name;
}

} // namespace

TEST(IfcReaderOpenHouse, ReadsEveryProductWithABodyInFileOrder) {
    IfcBuildingData data = ReadIfcFile(IfcFile("IfcOpenHouse.ifc"));
    EXPECT_EQ(data.schema, "IFC2X3");
    // The windows and the roof are wholes without a shape of their own: their parts are read.
    std::map<std::string, int> expected = {{"IfcSite", 1},   {"IfcWallStandardCase", 4}, {"IfcFooting", 1},
                                           {"IfcSlab", 2},   {"IfcStairFlight", 1},      {"IfcDoor", 1},
                                           {"IfcMember", 20}, {"IfcPlate", 5}};
    EXPECT_EQ(CountByClass(data), expected);
    EXPECT_TRUE(data.skipped.empty());
    for (const auto& p : data.products) {
        ExpectWellFormedMesh(p);
        auto guid = DecodeIfcGlobalId(p.globalId);
        ASSERT_TRUE(guid);
        EXPECT_EQ(p.guid, *guid);
    }
    EXPECT_EQ(data.products.front().ifcClass, "IfcSite");
    EXPECT_EQ(data.products.front().globalId, "0FRAPtqID7kRy$DVcyG4N5");
    EXPECT_EQ(data.products[1].name, "South wall");
}

TEST(IfcReaderOpenHouse, PlacesTheHouseInMetresWithItsColours) {
    IfcBuildingData data = ReadIfcFile(IfcFile("IfcOpenHouse.ifc"));
    const IfcProductData* south = FindNamed(data, "South wall");
    ASSERT_TRUE(south);
    EXPECT_EQ(south->globalId, "1eD3QeZNj1tRskKKcN6FdP");
    EXPECT_EQ(south->guid.ToString(), "683436A8-8D7B-41DD-BDAE-51499718F9D9");
    ExpectBox(*south, {-5, -0.18, 0}, {5, 0.18, 3});
    ASSERT_TRUE(south->hasColour);
    EXPECT_NEAR(south->rgb[0], 0.75, 1e-9);
    EXPECT_NEAR(south->rgb[1], 0.73, 1e-9);
    EXPECT_NEAR(south->rgb[2], 0.68, 1e-9);
    EXPECT_EQ(south->transparency, 0.0);
    const IfcProductData* roof = FindNamed(data, "South roof");
    ASSERT_TRUE(roof);
    EXPECT_EQ(roof->predefinedType, "ROOF");
    ExpectBox(*roof, {-5.1, -0.4, 2.52}, {5.1, 2.5, 5.78});
}

class IfcReaderTwoStoreys : public ::testing::Test {
protected:
    static void SetUpTestSuite() { data = new IfcBuildingData(ReadIfcFile(IfcFile("two-storeys-mm.ifc"))); }
    static void TearDownTestSuite() {
        delete data;
        data = nullptr;
    }
    static const IfcProductData& Get(const std::string& name) {
        const IfcProductData* p = FindNamed(*data, name);
        if (!p) throw std::runtime_error("no product " + name);
        return *p;
    }
    static IfcBuildingData* data;
};
IfcBuildingData* IfcReaderTwoStoreys::data = nullptr;

TEST_F(IfcReaderTwoStoreys, ReadsTheElementsButNotTheStructureOrTheOpening) {
    std::map<std::string, int> expected = {{"IfcWallStandardCase", 1}, {"IfcWindow", 1}, {"IfcColumn", 1},
                                           {"IfcWall", 1},             {"IfcSlab", 1}};
    EXPECT_EQ(CountByClass(*data), expected);
    EXPECT_TRUE(data->skipped.empty());
    std::vector<std::string> order;
    for (const auto& p : data->products) order.push_back(p.globalId);
    EXPECT_EQ(order, (std::vector<std::string>{"1hOSvn6df7F8_7GcBWlRGQ", "0jQ8Vm2Lb0mRhK4aE$Nd8t", "2Ym3MtDCz6_OQ6ZOqUkXBm",
                                               "3t1d$gYgn6OhHVS5mN5vNh", "2L0_7kg1D0ngdWAx9dZSWX"}));
    for (const auto& p : data->products) ExpectWellFormedMesh(p);
}

TEST_F(IfcReaderTwoStoreys, AppliesEveryPlacementAndTheMillimetreUnit) {
    // Site at (10 m, 20 m), building 1 m east of it, upper storey 3 m up.
    ExpectBox(Get("Zeď"), {11, 20, 0}, {16, 20.2, 2.8});
    // In an opening placed in the wall: three placements deep.
    ExpectBox(Get("Ablak"), {12, 20.05, 0.9}, {13, 20.15, 2.1});
    // A mapped item moved half a metre inside a placed column.
    ExpectBox(Get("Oszlop"), {15.35, 22.35, 0}, {15.65, 22.65, 2.8});
    // Turned a quarter turn: its length runs north.
    ExpectBox(Get("Second wall"), {10.8, 20, 3}, {11, 24, 5.5});
    ExpectBox(Get("Födém"), {11, 20, 5.5}, {16, 24, 5.7});
}

TEST_F(IfcReaderTwoStoreys, CutsTheOpeningOutOfTheWallAndKeepsSolidsClosed) {
    // 5 x 0.2 x 2.8 less the 1 x 0.2 x 1.2 the opening takes.
    EXPECT_NEAR(VolumeOf(Get("Zeď")), 2.8 - 0.24, 1e-6);
    EXPECT_NEAR(VolumeOf(Get("Ablak")), 0.12, 1e-9);
    EXPECT_NEAR(VolumeOf(Get("Oszlop")), 0.3 * 0.3 * 2.8, 1e-9);
    EXPECT_NEAR(VolumeOf(Get("Second wall")), 4 * 0.2 * 2.5, 1e-9);
    EXPECT_NEAR(VolumeOf(Get("Födém")), 5 * 4 * 0.2, 1e-9);
}

TEST_F(IfcReaderTwoStoreys, DecodesTextsAndFindsTypesLayersAndStoreys) {
    const auto& wall = Get("Zeď");
    EXPECT_EQ(wall.tag, "W-01");
    EXPECT_EQ(wall.layer, "Falak");
    EXPECT_EQ(wall.storey, "Földszint");
    EXPECT_EQ(Get("Ablak").tag, "Aé1");        // \S\ shifts into the upper half of Latin-1
    EXPECT_EQ(Get("Second wall").tag, "café"); // \X\ is one Latin-1 byte
    EXPECT_EQ(Get("Second wall").layer, "Falak");
    EXPECT_EQ(Get("Second wall").storey, "Emelet");
    const auto& slab = Get("Födém");
    EXPECT_EQ(slab.predefinedType, "ROOF");
    EXPECT_EQ(slab.layer, "Födémek");  // on the solid, not on the representation
    EXPECT_EQ(slab.storey, "Emelet");  // through the roof it is a part of
    EXPECT_EQ(Get("Oszlop").layer, "");
    EXPECT_EQ(Get("Ablak").storey, "Földszint");
    EXPECT_EQ(wall.predefinedType, "");
}

TEST_F(IfcReaderTwoStoreys, TakesColoursFromSurfaceStyles) {
    const auto& wall = Get("Zeď");
    ASSERT_TRUE(wall.hasColour);
    EXPECT_NEAR(wall.rgb[0], 0.8, 1e-9);
    EXPECT_NEAR(wall.rgb[1], 0.2, 1e-9);
    EXPECT_NEAR(wall.rgb[2], 0.1, 1e-9);
    EXPECT_NEAR(wall.transparency, 0.25, 1e-9);
    // Styled inside the mapped representation.
    const auto& column = Get("Oszlop");
    ASSERT_TRUE(column.hasColour);
    EXPECT_NEAR(column.rgb[2], 0.9, 1e-9);
    EXPECT_EQ(column.transparency, 0.0);
    EXPECT_FALSE(Get("Ablak").hasColour);
}

TEST(IfcReaderIfc4, ReadsTessellationSpacesAndIfc4Styles) {
    IfcBuildingData data = ReadIfcFile(IfcFile("ifc4-metres.ifc"));
    EXPECT_EQ(data.schema, "IFC4");
    // The proxy has only a bounding box stand-in: no body, so neither read nor left out.
    std::map<std::string, int> expected = {{"IfcWall", 1}, {"IfcSpace", 1}};
    EXPECT_EQ(CountByClass(data), expected);
    EXPECT_TRUE(data.skipped.empty());
    const IfcProductData* wall = FindNamed(data, "Tessellated");
    ASSERT_TRUE(wall);
    ExpectBox(*wall, {2, 0, 0}, {3, 1, 1});
    EXPECT_NEAR(VolumeOf(*wall), 1.0, 1e-9);
    EXPECT_EQ(wall->predefinedType, "PARTITIONING");
    EXPECT_EQ(wall->storey, "Ground floor"); // the storey's long name: it has no name
    ASSERT_TRUE(wall->hasColour);
    EXPECT_EQ(wall->rgb, (std::array<double, 3>{0, 1, 0}));
    EXPECT_NEAR(wall->transparency, 0.5, 1e-9);
    const IfcProductData* room = FindNamed(data, "Room");
    ASSERT_TRUE(room);
    EXPECT_EQ(room->storey, "Ground floor");
    ExpectBox(*room, {0, 0, 0}, {4, 3, 2.5});
}

TEST(IfcReaderBroken, LeavesOutWhatItCannotUseAndSaysWhy) {
    testing::internal::CaptureStdout();
    IfcBuildingData data = ReadIfcFile(IfcFile("broken-products.ifc"));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    ASSERT_EQ(data.products.size(), 3u);
    EXPECT_EQ(data.products[0].name, "Good");
    EXPECT_EQ(data.products[1].name, "Too big"); // kept, its GUID made from its text
    // Of zero depth: only its two faces remain.
    EXPECT_EQ(data.products[2].name, "Flat");
    EXPECT_EQ(data.products[2].triangles.size(), 4u);
    std::map<std::string, std::string> why;
    for (const auto& s : data.skipped) why[s.globalId] = s.reason;
    ASSERT_EQ(data.skipped.size(), 6u);
    EXPECT_EQ(why["1hOSvn6df7F8_7GcBWlRGQ"], "GlobalId used by an earlier product");
    EXPECT_EQ(why["1hOSvn6df7F8_7GcBWl-GQ"], "GlobalId \"1hOSvn6df7F8_7GcBWl-GQ\" is not an IFC GlobalId");
    EXPECT_EQ(why[""], "no GlobalId");
    EXPECT_NE(why["2Ym3MtDCz6_OQ6ZOqUkXBm"].find("IFCFANTASYSOLID"), std::string::npos);
    EXPECT_EQ(why["3t1d$gYgn6OhHVS5mN5vNh"].rfind("no body geometry", 0), 0u);
    for (const auto& s : data.skipped) EXPECT_FALSE(s.ifcClass.empty());
}

TEST(IfcReaderBadFiles, SayWhatIsWrongWithTheFile) {
    auto messageOf = [](const std::string& name) {
        try {
            ReadIfcFile(IfcFile(name));
        } catch (const EIfcFile& e) {
            return std::string(e.what());
        }
        return std::string("no error");
    };
    std::string path = IfcFile("truncated.ifc");
    EXPECT_EQ(messageOf("truncated.ifc"), path + ": truncated: the file does not end with END-ISO-10303-21;");
    EXPECT_EQ(messageOf("not-ifc.ifc"), IfcFile("not-ifc.ifc") + ": not an IFC file (it does not begin with ISO-10303-21;)");
    EXPECT_EQ(messageOf("unknown-schema.ifc"),
              IfcFile("unknown-schema.ifc") + ": schema IFC4X3_ADD2 is not read (only IFC2X3 and IFC4)");
    EXPECT_EQ(messageOf("no-products.ifc"), IfcFile("no-products.ifc") + ": no product with body geometry");
    std::string missing = messageOf("no-such-file.ifc");
    EXPECT_EQ(missing, IfcFile("no-such-file.ifc") + ": cannot be opened: No such file or directory");
    EXPECT_EQ(messageOf(""), IfcFile("") + ": is a folder");
}

// A federated site model runs past a gigabyte; only what the record table cannot index is refused,
// and that before a byte is read (the file here is sparse).
TEST(IfcReaderBadFiles, OnlyAFileTooLargeToIndexIsRefusedForItsSize) {
    TempFolder folder;
    const std::string path = folder.Path("site.ifc");
    std::ofstream(path).put(' ');
    std::filesystem::resize_file(path, kMaxStepTextBytes + 1);
    try {
        ReadIfcFile(path);
        ADD_FAILURE() << "read";
    } catch (const EIfcFile& e) {
        EXPECT_EQ(std::string(e.what()), path + ": larger than 4095 MB");
    }
}

TEST(IfcReaderBadFiles, TextsThatAreNotWholeFilesAreRefused) {
    std::string good = ReadWholeFile(IfcFile("two-storeys-mm.ifc"));
    EXPECT_THROW(ReadIfcText(""), EIfcFile);
    EXPECT_THROW(ReadIfcText("ISO-10303-21;"), EIfcFile);
    EXPECT_THROW(ReadIfcText(good.substr(0, good.size() / 2)), EIfcFile);
    EXPECT_THROW(ReadIfcText(good.substr(0, good.find("DATA;"))), EIfcFile);
    // Cut inside the data: only the closing line is missing from what the library would read.
    std::string cut = good;
    cut.replace(cut.find("ENDSEC;\nEND-ISO"), std::string::npos, "");
    EXPECT_THROW(ReadIfcText(cut), EIfcFile);
    // With a byte-order mark and trailing blank lines it is still the same file.
    EXPECT_EQ(ReadIfcText("\xEF\xBB\xBF" + good + "\n\n").products.size(), 5u);
}

TEST(IfcReaderBroken, ALibraryFaultCostsOnlyTheProductItHappenedOn) {
    testing::internal::CaptureStdout();
    IfcBuildingData data = ReadIfcFile(IfcFile("library-fault.ifc"));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    ASSERT_EQ(data.skipped.size(), 1u);
    EXPECT_EQ(data.skipped[0].globalId, "1hOSvn6df7F8_7GcBWlRGQ");
    EXPECT_EQ(data.skipped[0].ifcClass, "IfcWallStandardCase");
    EXPECT_EQ(data.skipped[0].reason, "geometry not converted: the IFC library failed on it");
    std::vector<std::string> names;
    for (const auto& p : data.products) names.push_back(p.name);
    EXPECT_EQ(names, (std::vector<std::string>{"Ablak", "Oszlop", "Second wall", "Födém"}));
    ExpectBox(*FindNamed(data, "Födém"), {11, 20, 5.5}, {16, 24, 5.7});
}

namespace {

// A building of `count` walls, those at `faulty` copies of library-fault.ifc's wall whose opening
// the library follows blindly, the others copies of its upper-floor wall; each named "W n".
std::string WallsWithFaults(size_t count, const std::set<size_t>& faulty) {
    const std::string source = ReadWholeFile(IfcFile("library-fault.ifc"));
    auto lines = [&source](int first, int last) { // the records numbered first to last
        std::string out;
        std::istringstream in(source);
        for (std::string line; std::getline(in, line);)
            if (line.size() > 1 && line[0] == '#') {
                const int id = std::stoi(line.substr(1));
                if (id >= first && id <= last) out += line + "\n";
            }
        return out;
    };
    // Every number of a copy moved by `offset`, and its GlobalIds made its own.
    auto copy = [](std::string records, int offset, size_t n) {
        std::string out;
        for (size_t at = 0; at < records.size();) {
            if (records[at] == '#') {
                size_t end = at + 1;
                while (end < records.size() && std::isdigit(static_cast<unsigned char>(records[end]))) ++end;
                const int id = std::stoi(records.substr(at + 1, end - at - 1));
                out += "#" + std::to_string(id >= 100 ? id + offset : id);
                at = end;
            } else {
                out += records[at++];
            }
        }
        static const char* digits = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz_$";
        for (size_t from = 0, k = 0; (from = out.find("('", from)) != std::string::npos; from += 2, ++k) {
            if (out.compare(from + 24, 1, "'") != 0) continue; // not a GlobalId
            out[from + 20] = digits[n % 64];
            out[from + 21] = digits[(n / 64) % 64];
            out[from + 22] = digits[k % 64];
        }
        return out;
    };
    std::string text = source.substr(0, source.find("/* Ground floor"));
    std::string contained;
    for (size_t n = 0; n < count; ++n) {
        const int offset = 1000 * static_cast<int>(n + 1);
        std::string wall = faulty.count(n) ? copy(lines(100, 130), offset, n) : copy(lines(300, 308), offset, n);
        const std::string name = faulty.count(n) ? "'Ze\\X2\\010F\\X0\\'" : "'Second wall'";
        wall.replace(wall.find(name), name.size(), "'W " + std::to_string(n) + "'");
        text += wall;
        contained += (contained.empty() ? "#" : ",#") + std::to_string((faulty.count(n) ? 102 : 302) + offset);
    }
    text += "#99=IFCRELCONTAINEDINSPATIALSTRUCTURE('0CPlQ6Gb55wAS7t7Xc_kUz',$,$,$,(" + contained + "),#52);\n";
    return text + "ENDSEC;\nEND-ISO-10303-21;\n";
}

// Enough products to be shared between two processes, and the library's faults spread over
// them: at the front, two in a row, and one the second process meets after three others. Whoever meets a fault,
// only its product is left out, and the rest comes in the file's order on any number of threads.
TEST(IfcReaderBroken, LibraryFaultsInEitherShareCostOnlyTheirProducts) {
    const std::set<size_t> faulty = {0, 41, 42, 146};
    const std::string text = WallsWithFaults(150, faulty);
    testing::internal::CaptureStdout();
    std::vector<IfcBuildingData> reads;
    for (unsigned threads : {1u, 2u, 2u, 2u, 2u}) {
        SetIfcReaderThreads(threads);
        reads.push_back(ReadIfcText(text));
    }
    SetIfcReaderThreads(0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    std::vector<std::string> kept, expected;
    for (size_t n = 0; n < 150; ++n)
        if (!faulty.count(n)) expected.push_back("W " + std::to_string(n));
    for (const auto& p : reads[0].products) kept.push_back(p.name);
    EXPECT_EQ(kept, expected);
    ASSERT_EQ(reads[0].skipped.size(), faulty.size());
    for (const auto& s : reads[0].skipped) EXPECT_EQ(s.reason, "geometry not converted: the IFC library failed on it");
    for (size_t r = 1; r < reads.size(); ++r) {
        ASSERT_EQ(reads[r].products.size(), reads[0].products.size());
        for (size_t i = 0; i < reads[0].products.size(); ++i) {
            EXPECT_EQ(reads[r].products[i].globalId, reads[0].products[i].globalId);
            EXPECT_EQ(reads[r].products[i].vertices, reads[0].products[i].vertices);
        }
        ASSERT_EQ(reads[r].skipped.size(), reads[0].skipped.size());
        for (size_t i = 0; i < reads[0].skipped.size(); ++i) EXPECT_EQ(reads[r].skipped[i].globalId, reads[0].skipped[i].globalId);
    }
}

} // namespace

TEST(IfcReaderFaceLists, MeshedAsTheLibraryMeshesThem) {
    const std::string text = ReadWholeFile(IfcFile("face-lists.ifc"));
    SetIfcReaderThreads(1);
    SetIfcFaceListMeshing(false);
    const IfcBuildingData library = ReadIfcText(text);
    SetIfcFaceListMeshing(true);
    const IfcBuildingData direct = ReadIfcText(text);
    SetIfcReaderThreads(0);
    ASSERT_EQ(direct.products.size(), 7u);
    ASSERT_EQ(library.products.size(), direct.products.size());
    EXPECT_TRUE(direct.skipped.empty());
    for (size_t i = 0; i < direct.products.size(); ++i) {
        const IfcProductData& mine = direct.products[i];
        const IfcProductData& theirs = library.products[i];
        EXPECT_EQ(mine.vertices, theirs.vertices) << mine.name;
        if (mine.name == "Turned") {
            // The library sorts out the turned face's edges by their geometry: the same
            // triangles, in an order of their own.
            auto a = mine.triangles, b = theirs.triangles;
            std::sort(a.begin(), a.end());
            std::sort(b.begin(), b.end());
            EXPECT_EQ(a, b);
        } else {
            EXPECT_EQ(mine.triangles, theirs.triangles) << mine.name;
        }
        ExpectWellFormedMesh(mine);
    }
    // The mirrored copy is still a box seen from outside, as the moved one is.
    const IfcProductData* mapped = FindNamed(direct, "Mapped");
    ASSERT_NE(mapped, nullptr);
    EXPECT_NEAR(VolumeOf(*mapped), 2.0, 1e-9);
    const IfcProductData* holed = FindNamed(direct, "Holed");
    ASSERT_NE(holed, nullptr);
    double area = 0;
    for (const auto& t : holed->triangles) {
        const auto &a = holed->vertices[t[0]], &b = holed->vertices[t[1]], &c = holed->vertices[t[2]];
        area += ((b[0] - a[0]) * (c[1] - a[1]) - (b[1] - a[1]) * (c[0] - a[0])) / 2;
    }
    EXPECT_NEAR(std::abs(area), 3.0, 1e-9); // 4 m² less the 1 m² hole
}
