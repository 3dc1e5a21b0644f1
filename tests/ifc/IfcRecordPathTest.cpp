// The bodies made from the file's own records against the library's, on every product both make
// in every IFC file of the repository and of the shared folder beside it: the same triangles up to
// their order within a tenth of a millimetre, and the same facts.
#include "host/HostTestFiles.h"

#include "host/ifc/reader/IfcReader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

namespace {

using Corner = std::array<double, 3>;
using Triangle = std::array<Corner, 3>;

constexpr double kTolerance = 1e-4; // metres

std::vector<Triangle> TrianglesOf(const IfcProductData& p) {
    std::vector<Triangle> out;
    for (const auto& t : p.triangles) out.push_back({p.vertices[t[0]], p.vertices[t[1]], p.vertices[t[2]]});
    return out;
}

bool Near(const Corner& a, const Corner& b) {
    return std::abs(a[0] - b[0]) <= kTolerance && std::abs(a[1] - b[1]) <= kTolerance && std::abs(a[2] - b[2]) <= kTolerance;
}

// The same corners in the same turn, from any first corner.
bool SameTriangle(const Triangle& a, const Triangle& b) {
    for (int r = 0; r < 3; ++r)
        if (Near(a[0], b[r]) && Near(a[1], b[(r + 1) % 3]) && Near(a[2], b[(r + 2) % 3])) return true;
    return false;
}

double LeastX(const Triangle& t) { return std::min({t[0][0], t[1][0], t[2][0]}); }

// How many of `mine` have no partner left in `theirs`.
size_t Unmatched(std::vector<Triangle> mine, std::vector<Triangle> theirs) {
    auto byX = [](const Triangle& a, const Triangle& b) { return LeastX(a) < LeastX(b); };
    std::sort(theirs.begin(), theirs.end(), byX);
    std::vector<bool> used(theirs.size(), false);
    size_t unmatched = 0;
    for (const Triangle& t : mine) {
        const double x = LeastX(t);
        auto from = std::lower_bound(theirs.begin(), theirs.end(), x - 2 * kTolerance,
                                     [](const Triangle& a, double v) { return LeastX(a) < v; });
        bool found = false;
        for (auto it = from; it != theirs.end() && LeastX(*it) <= x + 2 * kTolerance; ++it) {
            const size_t i = static_cast<size_t>(it - theirs.begin());
            if (!used[i] && SameTriangle(t, *it)) {
                used[i] = found = true;
                break;
            }
        }
        if (!found) ++unmatched;
    }
    return unmatched;
}

std::vector<std::filesystem::path> IfcFiles() {
    std::vector<std::filesystem::path> files;
    for (const char* folder : {"tests/data/ifc", "../shared/data/ifc"}) {
        const std::filesystem::path dir = SourceFile(folder);
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(dir, error))
            if (entry.path().extension() == ".ifc") files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

// The GlobalIds the log names with `path`: "record" for bodies made from the records,
// "facts-record" and "facts-library" for where facts were read.
std::set<std::string> Logged(const std::string& log, const std::string& path) {
    std::set<std::string> ids;
    std::ifstream in(log);
    std::string said, id;
    while (in >> said >> id)
        if (said == path) ids.insert(id);
    return ids;
}

const IfcProductData* ProductOf(const IfcBuildingData& data, const std::string& globalId) {
    for (const auto& p : data.products)
        if (p.globalId == globalId) return &p;
    return nullptr;
}

struct Reads {
    IfcBuildingData library, records;
    std::set<std::string> byRecords, factsByRecords, factsByLibrary;
    std::string parsed; // how much of the file the library parsed in the read with the records: all, share or none
    bool read = false;
};

void ExpectSameFacts(const IfcProductData& mine, const IfcProductData& other) {
    SCOPED_TRACE(mine.globalId);
    EXPECT_EQ(mine.name, other.name);
    EXPECT_EQ(mine.ifcClass, other.ifcClass);
    EXPECT_EQ(mine.predefinedType, other.predefinedType);
    EXPECT_EQ(mine.tag, other.tag);
    EXPECT_EQ(mine.layer, other.layer);
    EXPECT_EQ(mine.storey, other.storey);
    EXPECT_EQ(mine.objectType, other.objectType);
    EXPECT_EQ(mine.description, other.description);
    EXPECT_EQ(mine.materials, other.materials);
    EXPECT_EQ(mine.classifications, other.classifications);
    EXPECT_EQ(mine.properties, other.properties);
    EXPECT_EQ(mine.hasColour, other.hasColour);
    EXPECT_EQ(mine.rgb, other.rgb);
    EXPECT_EQ(mine.transparency, other.transparency);
}

Reads ReadBothWays(const std::filesystem::path& file) {
    Reads reads;
    const std::string text = ReadWholeFile(file.string());
    const std::string log = (std::filesystem::temp_directory_path() / ("bv-record-path-" + std::to_string(getpid()))).string();
    std::remove(log.c_str());
    try {
        SetIfcFaceListMeshing(false);
        reads.library = ReadIfcText(text);
        SetIfcFaceListMeshing(true);
        setenv("BV_IFC_PATH_LOG", log.c_str(), 1);
        reads.records = ReadIfcText(text);
        unsetenv("BV_IFC_PATH_LOG");
        reads.read = true;
    } catch (const EIfcFile&) {
        SetIfcFaceListMeshing(true);
        unsetenv("BV_IFC_PATH_LOG");
    }
    reads.byRecords = Logged(log, "record");
    reads.factsByRecords = Logged(log, "facts-record");
    reads.factsByLibrary = Logged(log, "facts-library");
    const std::set<std::string> parse = Logged(log, "parse");
    if (!parse.empty()) reads.parsed = *parse.begin();
    std::remove(log.c_str());
    return reads;
}

} // namespace

TEST(IfcRecordPath, EveryProductBothMakeHasTheLibrarysTrianglesAndFacts) {
    size_t compared = 0;
    std::ostringstream shares;
    for (const auto& file : IfcFiles()) {
        SCOPED_TRACE(file.filename().string());
        const Reads reads = ReadBothWays(file);
        if (!reads.read) continue;
        ASSERT_EQ(reads.records.products.size(), reads.library.products.size());
        ASSERT_EQ(reads.records.skipped.size(), reads.library.skipped.size());
        EXPECT_EQ(reads.records.storeys, reads.library.storeys);
        for (size_t i = 0; i < reads.records.skipped.size(); ++i) {
            const IfcSkippedProduct &mine = reads.records.skipped[i], &other = reads.library.skipped[i];
            EXPECT_EQ(mine.globalId, other.globalId);
            EXPECT_EQ(mine.ifcClass, other.ifcClass);
            EXPECT_EQ(mine.name, other.name);
            EXPECT_EQ(mine.record, other.record);
            EXPECT_EQ(mine.cause, other.cause);
            EXPECT_EQ(mine.reason, other.reason);
        }
        // A file whose products' facts all come from the records is parsed by the library for
        // no more than the bodies only it makes, if any.
        if (reads.factsByRecords.size() == reads.records.products.size() && reads.records.skipped.empty()) {
            const bool allByRecords = std::all_of(reads.records.products.begin(), reads.records.products.end(),
                                                  [&](const IfcProductData& p) { return reads.byRecords.count(p.globalId) > 0; });
            EXPECT_EQ(reads.parsed, allByRecords ? "none" : "share");
        }
        std::map<std::string, const IfcProductData*> theirs;
        for (const auto& p : reads.library.products) theirs[p.globalId] = &p;
        size_t byRecords = 0;
        for (const auto& mine : reads.records.products) {
            const auto found = theirs.find(mine.globalId);
            ASSERT_NE(found, theirs.end()) << mine.globalId;
            const IfcProductData& other = *found->second;
            ExpectSameFacts(mine, other);
            // The library's own bodies too: its parse of a share of the file makes them as its
            // parse of the whole file does.
            EXPECT_EQ(mine.triangles.size(), other.triangles.size()) << mine.globalId << " " << mine.name;
            EXPECT_EQ(Unmatched(TrianglesOf(mine), TrianglesOf(other)), 0u) << mine.globalId << " " << mine.name;
            if (!reads.byRecords.count(mine.globalId)) continue;
            ++byRecords;
            ++compared;
        }
        shares << file.filename().string() << ": " << byRecords << " of " << reads.records.products.size()
               << " products from the records, facts of " << reads.factsByRecords.size()
               << ", parsed by the library: " << reads.parsed << "\n";
    }
    std::printf("%s", shares.str().c_str());
    EXPECT_GT(compared, 0u);
}

// Triangulated face sets: whole, indexed through a point list, with triangles the library leaves
// out, and open; each made from the records as the library makes it.
TEST(IfcRecordPath, TriangulatedFaceSetsAreMadeAsTheLibraryMakesThem) {
    const std::string original = ReadWholeFile(SourceFile("tests/data/ifc/ifc4-metres.ifc"));
    const std::string set = "#46=IFCTRIANGULATEDFACESET(#47,$,.T.,((1,3,2),(1,4,3),(5,6,7),(5,7,8),(1,2,6),(1,6,5),(2,3,7),(2,7,6),(3,4,8),(3,8,7),(4,1,5),(4,5,8)),$);";
    const std::string wall = "0t9Ph$DWb6uBRY00UyC8f9";
    ASSERT_NE(original.find(set), std::string::npos);
    struct Case {
        const char* what;
        std::string record;
        size_t triangles;
    };
    const std::vector<Case> cases = {
        {"whole", set, 12},
        {"indexed", "#46=IFCTRIANGULATEDFACESET(#47,$,$,((8,6,7),(8,5,6),(4,3,2),(4,2,1)),(1,2,3,4,5,6,7,8));", 4},
        {"out of range", "#46=IFCTRIANGULATEDFACESET(#47,$,.T.,((1,3,2),(1,9,3),(0,1,2),(1,2)),$);", 1},
        {"open", "#46=IFCTRIANGULATEDFACESET(#47,$,.F.,((1,3,2),(1,4,3),(5,6,7)),$);", 3},
    };
    TempFolder folder;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string text = original;
        text.replace(text.find(set), set.size(), c.record);
        const std::string path = folder.Path(std::string(c.what) + ".ifc");
        std::ofstream(path, std::ios::binary) << text;
        const Reads reads = ReadBothWays(path);
        ASSERT_TRUE(reads.read);
        EXPECT_EQ(reads.byRecords.count(wall), 1u);
        const IfcProductData* found = ProductOf(reads.records, wall);
        const IfcProductData* foundByLibrary = ProductOf(reads.library, wall);
        ASSERT_TRUE(found && foundByLibrary);
        const IfcProductData& mine = *found;
        const IfcProductData& other = *foundByLibrary;
        EXPECT_EQ(mine.triangles.size(), c.triangles);
        EXPECT_EQ(other.triangles.size(), c.triangles);
        EXPECT_EQ(Unmatched(TrianglesOf(mine), TrianglesOf(other)), 0u);
        EXPECT_EQ(mine.rgb, other.rgb);
    }
}

namespace {

double VolumeOf(const IfcProductData& p) {
    double six = 0;
    for (const auto& t : p.triangles) {
        const auto &a = p.vertices[t[0]], &b = p.vertices[t[1]], &c = p.vertices[t[2]];
        six += a[0] * (b[1] * c[2] - b[2] * c[1]) - a[1] * (b[0] * c[2] - b[2] * c[0]) + a[2] * (b[0] * c[1] - b[1] * c[0]);
    }
    return six / 6;
}

} // namespace

// Openings cut from extruded, clipped and faceted bodies, the openings extruded or mapped beside
// a box, placed from their elements' placements, one without a body and one that misses: cut
// from the records as the library cuts them, and the library parses nothing of the file.
TEST(IfcRecordPath, OpeningsAreCutAsTheLibraryCutsThem) {
    const Reads reads = ReadBothWays(SourceFile("tests/data/ifc/openings.ifc"));
    ASSERT_TRUE(reads.read);
    ASSERT_EQ(reads.records.products.size(), 4u);
    EXPECT_TRUE(reads.records.skipped.empty());
    EXPECT_EQ(reads.byRecords.size(), 4u);
    EXPECT_EQ(reads.parsed, "none");
    std::map<std::string, double> volumes;
    for (const IfcProductData& mine : reads.records.products) {
        SCOPED_TRACE(mine.name);
        const IfcProductData* theirs = ProductOf(reads.library, mine.globalId);
        ASSERT_NE(theirs, nullptr);
        EXPECT_EQ(mine.triangles.size(), theirs->triangles.size());
        EXPECT_EQ(Unmatched(TrianglesOf(mine), TrianglesOf(*theirs)), 0u);
        EXPECT_NEAR(VolumeOf(mine), VolumeOf(*theirs), 1e-9);
        volumes[mine.name] = VolumeOf(mine);
    }
    EXPECT_NEAR(volumes["Wall with windows"], 3.0 - 0.24 - 0.24, 1e-9);
    EXPECT_NEAR(volumes["Box with a hole"], 1.0 - 0.16, 1e-9);
    EXPECT_NEAR(volumes["Slab with a missed opening"], 1.0, 1e-9);
    EXPECT_LT(volumes["Wall under a roof"], 3.2 - 0.378);
}

namespace {

// The wall of ifc4-metres.ifc with its body's item #46 made of `records`, and the plane angle
// unit `angle` added to the project's units when given; read both ways, the wall made from the
// records or not as `byRecords` says, and to the same triangles either way.
void ExpectWallAsTheLibraryMakesIt(const std::string& records, const std::string& angle, bool byRecords) {
    std::string text = ReadWholeFile(SourceFile("tests/data/ifc/ifc4-metres.ifc"));
    const size_t item = text.find("#46=IFCTRIANGULATEDFACESET");
    text.replace(item, text.find('\n', item) - item, records);
    if (!angle.empty()) {
        const std::string units = "#10=IFCUNITASSIGNMENT((#11));";
        text.replace(text.find(units), units.size(), "#10=IFCUNITASSIGNMENT((#11,#19));\n" + angle);
    }
    TempFolder folder;
    const std::string path = folder.Path("wall.ifc");
    std::ofstream(path, std::ios::binary) << text;
    const Reads reads = ReadBothWays(path);
    ASSERT_TRUE(reads.read);
    const std::string wall = "0t9Ph$DWb6uBRY00UyC8f9";
    EXPECT_EQ(reads.byRecords.count(wall), byRecords ? 1u : 0u);
    const IfcProductData* mine = ProductOf(reads.records, wall);
    const IfcProductData* theirs = ProductOf(reads.library, wall);
    ASSERT_TRUE(mine && theirs);
    EXPECT_GT(theirs->triangles.size(), 0u);
    EXPECT_EQ(mine->triangles.size(), theirs->triangles.size());
    EXPECT_EQ(Unmatched(TrianglesOf(*mine), TrianglesOf(*theirs)), 0u);
    EXPECT_EQ(mine->rgb, theirs->rgb);
}

const std::string kRadian = "#18=IFCSIUNIT(*,.PLANEANGLEUNIT.,$,.RADIAN.);\n#19=IFCSIUNIT(*,.PLANEANGLEUNIT.,$,.RADIAN.);";
const std::string kDegree = "#18=IFCSIUNIT(*,.PLANEANGLEUNIT.,$,.RADIAN.);\n#17=IFCMEASUREWITHUNIT(IFCPLANEANGLEMEASURE(0.017453293),#18);\n"
                            "#16=IFCDIMENSIONALEXPONENTS(0,0,0,0,0,0,0);\n#19=IFCCONVERSIONBASEDUNIT(#16,.PLANEANGLEUNIT.,'DEGREE',#17);";

// A profile of a polyline from (1,-1) round to (1,1) closed by an arc of the circle about (1,0)
// through (0,0), the arc written by `trimmed` (#106, on the circle #107), extruded by a metre.
std::string ArcProfile(const std::string& trimmed, const std::string& sense = ".T.") {
    return "#46=IFCEXTRUDEDAREASOLID(#100,$,#23,1.);\n#100=IFCARBITRARYCLOSEDPROFILEDEF(.AREA.,$,#101);\n"
           "#101=IFCCOMPOSITECURVE((#102,#103),.F.);\n#102=IFCCOMPOSITECURVESEGMENT(.CONTINUOUS.,.T.,#105);\n"
           "#103=IFCCOMPOSITECURVESEGMENT(.CONTINUOUS.," + sense + ",#106);\n"
           "#105=IFCPOLYLINE((#110,#111,#112,#113));\n#110=IFCCARTESIANPOINT((1.,-1.));\n#111=IFCCARTESIANPOINT((3.,-1.));\n"
           "#112=IFCCARTESIANPOINT((3.,1.));\n#113=IFCCARTESIANPOINT((1.,1.));\n" + trimmed +
           "\n#107=IFCCIRCLE(#108,1.);\n#108=IFCAXIS2PLACEMENT2D(#109,$);\n#109=IFCCARTESIANPOINT((1.,0.));";
}

} // namespace

// Composite curves of polylines and trimmed circles, and ellipses: trimmed by parameters in
// degrees or radians or by points, either way round, and a void; each cut into the library's
// segments. Parameters in a file that names no angle unit are the library's to guess.
TEST(IfcRecordPath, CurvedProfilesAreMadeAsTheLibraryMakesThem) {
    {
        SCOPED_TRACE("degrees");
        ExpectWallAsTheLibraryMakesIt(ArcProfile("#106=IFCTRIMMEDCURVE(#107,(IFCPARAMETERVALUE(90.)),(IFCPARAMETERVALUE(270.)),.T.,.PARAMETER.);"),
                                      kDegree, true);
    }
    {
        SCOPED_TRACE("radians");
        ExpectWallAsTheLibraryMakesIt(
            ArcProfile("#106=IFCTRIMMEDCURVE(#107,(IFCPARAMETERVALUE(1.5707963267948966)),(IFCPARAMETERVALUE(4.71238898038469)),.T.,.PARAMETER.);"),
            kRadian, true);
    }
    {
        SCOPED_TRACE("points, the other way round");
        ExpectWallAsTheLibraryMakesIt(ArcProfile("#106=IFCTRIMMEDCURVE(#107,(#110),(#113),.F.,.CARTESIAN.);", ".F."), kDegree, true);
    }
    {
        SCOPED_TRACE("a point beside a parameter");
        ExpectWallAsTheLibraryMakesIt(ArcProfile("#106=IFCTRIMMEDCURVE(#107,(#110,IFCPARAMETERVALUE(90.)),(#110),.T.,.PARAMETER.);"),
                                      kDegree, true);
    }
    {
        SCOPED_TRACE("an elliptic void");
        ExpectWallAsTheLibraryMakesIt("#46=IFCEXTRUDEDAREASOLID(#100,$,#23,1.);\n#100=IFCARBITRARYPROFILEDEFWITHVOIDS(.AREA.,$,#105,(#106));\n"
                                      "#105=IFCPOLYLINE((#110,#111,#112,#113,#110));\n#110=IFCCARTESIANPOINT((-3.,-3.));\n"
                                      "#111=IFCCARTESIANPOINT((3.,-3.));\n#112=IFCCARTESIANPOINT((3.,3.));\n#113=IFCCARTESIANPOINT((-3.,3.));\n"
                                      "#106=IFCELLIPSE(#108,2.,1.);\n#108=IFCAXIS2PLACEMENT2D(#109,$);\n#109=IFCCARTESIANPOINT((0.5,0.));",
                                      "", true);
    }
    {
        SCOPED_TRACE("no angle unit");
        ExpectWallAsTheLibraryMakesIt(ArcProfile("#106=IFCTRIMMEDCURVE(#107,(IFCPARAMETERVALUE(90.)),(IFCPARAMETERVALUE(270.)),.T.,.PARAMETER.);"),
                                      "", false);
    }
}

// A cube cut by a tilted plane, by a plane whose normal points the other way, by a polygonal
// bounded half space, by both in turn, and less a prism through it: each cut as the library
// cuts it.
TEST(IfcRecordPath, ClippedSolidsAreCutAsTheLibraryCutsThem) {
    const std::string cube = "#120=IFCEXTRUDEDAREASOLID(#122,$,#23,1.);\n#122=IFCRECTANGLEPROFILEDEF(.AREA.,$,#123,1.,1.);\n"
                             "#123=IFCAXIS2PLACEMENT2D(#124,$);\n#124=IFCCARTESIANPOINT((0.5,0.5));\n";
    const std::string plane = "#125=IFCPLANE(#126);\n#126=IFCAXIS2PLACEMENT3D(#127,#128,$);\n#127=IFCCARTESIANPOINT((0.,0.,0.8));\n"
                              "#128=IFCDIRECTION((0.3,0.,1.));\n";
    const std::string bounded = "#130=IFCPOLYGONALBOUNDEDHALFSPACE(#131,.T.,#21,#133);\n#131=IFCPLANE(#132);\n"
                                "#132=IFCAXIS2PLACEMENT3D(#127,#134,$);\n#134=IFCDIRECTION((0.,-0.2,1.));\n"
                                "#133=IFCPOLYLINE((#135,#136,#137,#135));\n#135=IFCCARTESIANPOINT((-1.,-1.));\n"
                                "#136=IFCCARTESIANPOINT((0.6,-1.));\n#137=IFCCARTESIANPOINT((0.6,2.));\n";
    {
        SCOPED_TRACE("a plane");
        ExpectWallAsTheLibraryMakesIt("#46=IFCBOOLEANCLIPPINGRESULT(.DIFFERENCE.,#120,#121);\n#121=IFCHALFSPACESOLID(#125,.F.);\n" + cube + plane,
                                      "", true);
    }
    {
        SCOPED_TRACE("a plane facing away");
        ExpectWallAsTheLibraryMakesIt("#46=IFCBOOLEANCLIPPINGRESULT(.DIFFERENCE.,#120,#121);\n#121=IFCHALFSPACESOLID(#125,.T.);\n" + cube + plane,
                                      "", true);
    }
    {
        SCOPED_TRACE("a polygonal bounded half space");
        ExpectWallAsTheLibraryMakesIt("#46=IFCBOOLEANCLIPPINGRESULT(.DIFFERENCE.,#120,#130);\n" + cube + plane + bounded, "", true);
    }
    {
        SCOPED_TRACE("one cut after another");
        ExpectWallAsTheLibraryMakesIt("#46=IFCBOOLEANCLIPPINGRESULT(.DIFFERENCE.,#129,#130);\n"
                                      "#129=IFCBOOLEANCLIPPINGRESULT(.DIFFERENCE.,#120,#121);\n#121=IFCHALFSPACESOLID(#125,.F.);\n" +
                                          cube + plane + bounded,
                                      "", true);
    }
    {
        SCOPED_TRACE("less a solid");
        ExpectWallAsTheLibraryMakesIt("#46=IFCBOOLEANRESULT(.DIFFERENCE.,#120,#140);\n#140=IFCEXTRUDEDAREASOLID(#141,$,#23,2.);\n"
                                      "#141=IFCRECTANGLEPROFILEDEF(.AREA.,$,#123,0.4,0.4);\n" + cube,
                                      "", true);
    }
    {
        SCOPED_TRACE("a union is the library's");
        ExpectWallAsTheLibraryMakesIt("#46=IFCBOOLEANRESULT(.UNION.,#120,#121);\n#121=IFCHALFSPACESOLID(#125,.F.);\n" + cube + plane, "",
                                      false);
    }
}

// Polygonal face sets: a cube of squares on the file's own points, the same through a point
// list, a plate with a square void, the cube mapped, and a face with a corner out of range left
// out.
TEST(IfcRecordPath, PolygonalFaceSetsAreMadeAsTheLibraryMakesThem) {
    const std::string squares = "#140=IFCINDEXEDPOLYGONALFACE((1,4,3,2));\n#141=IFCINDEXEDPOLYGONALFACE((5,6,7,8));\n"
                                "#142=IFCINDEXEDPOLYGONALFACE((1,2,6,5));\n#143=IFCINDEXEDPOLYGONALFACE((2,3,7,6));\n"
                                "#144=IFCINDEXEDPOLYGONALFACE((3,4,8,7));\n#145=IFCINDEXEDPOLYGONALFACE((4,1,5,8));\n";
    {
        SCOPED_TRACE("a cube");
        ExpectWallAsTheLibraryMakesIt("#46=IFCPOLYGONALFACESET(#47,.T.,(#140,#141,#142,#143,#144,#145),$);\n" + squares, "", true);
    }
    {
        SCOPED_TRACE("through a point list");
        ExpectWallAsTheLibraryMakesIt("#46=IFCPOLYGONALFACESET(#47,.T.,(#140,#141,#142,#143,#144,#145),(8,7,6,5,4,3,2,1));\n" + squares,
                                      "", true);
    }
    {
        SCOPED_TRACE("a plate with a void");
        ExpectWallAsTheLibraryMakesIt("#46=IFCPOLYGONALFACESET(#150,.F.,(#140),$);\n"
                                      "#150=IFCCARTESIANPOINTLIST3D(((0.,0.,0.),(3.,0.,0.),(3.,3.,0.),(0.,3.,0.),(1.,1.,0.),(1.,2.,0.),(2.,2.,0.),(2.,1.,0.)));\n"
                                      "#140=IFCINDEXEDPOLYGONALFACEWITHVOIDS((1,2,3,4),((5,6,7,8)));",
                                      "", true);
    }
    const std::string mapped = "#46=IFCMAPPEDITEM(#160,#161);\n#160=IFCREPRESENTATIONMAP(#21,#162);\n"
                               "#162=IFCSHAPEREPRESENTATION(#20,'Body','Tessellation',(#163));\n"
                               "#163=IFCPOLYGONALFACESET(#47,.T.,(#140,#141,#142,#143,#144,#145),$);\n";
    {
        SCOPED_TRACE("mapped as it is");
        ExpectWallAsTheLibraryMakesIt(mapped + "#161=IFCCARTESIANTRANSFORMATIONOPERATOR3D($,$,#22,$,$);\n" + squares, "", true);
    }
    {
        // The library cuts the squares after turning them.
        SCOPED_TRACE("mapped and turned");
        ExpectWallAsTheLibraryMakesIt(mapped + "#161=IFCCARTESIANTRANSFORMATIONOPERATOR3D(#164,#165,#22,1.,#166);\n"
                                               "#164=IFCDIRECTION((0.,1.,0.));\n#165=IFCDIRECTION((-1.,0.,0.));\n#166=IFCDIRECTION((0.,0.,1.));\n" +
                                          squares,
                                      "", false);
    }
    {
        SCOPED_TRACE("a corner out of range");
        ExpectWallAsTheLibraryMakesIt("#46=IFCPOLYGONALFACESET(#47,.F.,(#140,#141,#142),$);\n"
                                          "#140=IFCINDEXEDPOLYGONALFACE((1,4,3,2));\n#141=IFCINDEXEDPOLYGONALFACE((5,6,7,9));\n"
                                          "#142=IFCINDEXEDPOLYGONALFACE((1,2,6,5));\n",
                                      "", true);
    }
}

// Facts of every form read from the records: a type's values under the occurrence's, values of
// uncommon types, escaped and quoted texts, shared sets, quantities, a material list, nested
// classification references, a layer on a body's item, a colour from a material, and sets given
// in a form or with a number read only by the library.
TEST(IfcRecordPath, FactsOfEveryFormAreTheLibrarysFacts) {
    std::string text = ReadWholeFile(SourceFile("tests/data/ifc/facts-ifc4.ifc"));
    const std::string more = R"(#500=IFCWALL('2r_WAch29z1EaFd48HYJRs',$,'Mur d''\X2\00E9\X0\t\X2\00E9\X0\','Ouest',$,#40,#501,'WB',.SOLIDWALL.);
#501=IFCPRODUCTDEFINITIONSHAPE($,$,(#502));
#502=IFCSHAPEREPRESENTATION(#20,'Body','SweptSolid',(#503));
#503=IFCEXTRUDEDAREASOLID(#45,#21,#23,3.);
#504=IFCRELDEFINESBYTYPE('0qI74MfWjeCqB2genW7$lQ',$,$,$,(#500),#55);
#505=IFCPROPERTYSINGLEVALUE('FireRating',$,IFCLABEL('EI 90 \X2\00E9\X0\'),$);
#506=IFCPROPERTYSINGLEVALUE('Ratio',$,IFCPOSITIVERATIOMEASURE(0.5),$);
#507=IFCPROPERTYSINGLEVALUE('Unknown',$,IFCLOGICAL(.U.),$);
#508=IFCPROPERTYSINGLEVALUE('Rooms',$,IFCINTEGER(7),$);
#509=IFCPROPERTYSINGLEVALUE('Quote',$,IFCTEXT('it''s'),$);
#510=IFCPROPERTYENUMERATEDVALUE('Finish',$,(IFCLABEL('Matt')),$);
#511=IFCPROPERTYSET('2J2V$sbQrnmIwBn73aecLN',$,'Pset_WallCommon',$,(#505,#506,#507,#508,#509,#510,#531,#532));
#512=IFCRELDEFINESBYPROPERTIES('0Z6pD0kZwuPgYVS$3J2XzC',$,$,$,(#500,#41),#511);
#513=IFCQUANTITYCOUNT('Openings',$,$,3.,$);
#514=IFCQUANTITYWEIGHT('Weight',$,$,1250.5,$);
#515=IFCELEMENTQUANTITY('1R8B8GoKAvnZmpmK39frTf',$,'Qto_WallBaseQuantities',$,$,(#513,#514));
#516=IFCRELDEFINESBYPROPERTIES('2uRo0q4x7TTS76Alaevm6p',$,$,$,(#500),#515);
#517=IFCMATERIALLIST((#50,#102,#50));
#518=IFCRELASSOCIATESMATERIAL('3m5nVm7AkYAInfS1qfH8qC',$,$,$,(#500),#517);
#519=IFCCLASSIFICATIONREFERENCE($,'23.13','Wall types',#67,$,$);
#520=IFCCLASSIFICATIONREFERENCE($,'23.13.11','Ext\X2\00E9\X0\rieur',#519,$,$);
#521=IFCRELASSOCIATESCLASSIFICATION('1VA1GdZIhpXmS2QFC5_6qh',$,$,$,(#500,#55),#520);
#522=IFCRELCONTAINEDINSPATIALSTRUCTURE('2uXYY1rkGzaUCLwxDAriOh',$,$,$,(#500),#33);
#523=IFCRELDEFINESBYPROPERTIES('1qF$JqOoMW2j4DU$uiHk5h',$,$,$,(#93),IFCPROPERTYSETDEFINITIONSET((#61)));
#524=IFCCOLOURRGB($,0.2,0.3,0.4);
#525=IFCSURFACESTYLERENDERING(#524,0.25,$,$,$,$,$,$,.NOTDEFINED.);
#526=IFCSURFACESTYLE('Concrete',.BOTH.,(#525));
#527=IFCSTYLEDITEM($,(#526),$);
#528=IFCSTYLEDREPRESENTATION(#20,'Style','Material',(#527));
#529=IFCMATERIALDEFINITIONREPRESENTATION($,$,(#528),#50);
#530=IFCPRESENTATIONLAYERASSIGNMENT('A-WALL',$,(#503),$);
#531=IFCPROPERTYSINGLEVALUE('Small',$,IFCLENGTHMEASURE(1.E-3),$);
#532=IFCPROPERTYSINGLEVALUE('Zero',$,IFCAREAMEASURE(-0.),$);
#533=IFCPROPERTYSINGLEVALUE('Huge',$,IFCREAL(1.E999),$);
#534=IFCPROPERTYSET('2OKc5ayMhasCMKDomZaDMr',$,'Pset_Extreme',$,(#533));
#535=IFCRELDEFINESBYPROPERTIES('2IvummI$CZFYBcY9J2Na24',$,$,$,(#93),#534);
)";
    text.insert(text.rfind("ENDSEC;"), more);
    TempFolder folder;
    const std::string path = folder.Path("facts.ifc");
    std::ofstream(path, std::ios::binary) << text;
    const Reads reads = ReadBothWays(path);
    ASSERT_TRUE(reads.read);
    ASSERT_EQ(reads.records.products.size(), reads.library.products.size());
    for (size_t i = 0; i < reads.records.products.size(); ++i) ExpectSameFacts(reads.records.products[i], reads.library.products[i]);

    const std::string added = "2r_WAch29z1EaFd48HYJRs", wall = "1$g6RbvjMGfJUVdA2cFDrH", window = "3uz48kjnbIA3SJNqYLuMQL";
    EXPECT_EQ(reads.factsByRecords.count(added), 1u);
    EXPECT_EQ(reads.factsByRecords.count(wall), 1u);
    EXPECT_EQ(reads.factsByLibrary.count(window), 1u);
    for (const auto& p : reads.records.products) {
        if (p.globalId != added) continue;
        // The occurrence's rating over its type's, a quantity among the values.
        const auto rating = std::find_if(p.properties.begin(), p.properties.end(),
                                         [](const auto& v) { return v.first == "Pset_WallCommon.FireRating"; });
        ASSERT_NE(rating, p.properties.end());
        EXPECT_EQ(rating->second, "EI 90 \xC3\xA9");
        EXPECT_EQ(p.materials, (std::vector<std::string>{"Concrete", "Glass"}));
        EXPECT_EQ(p.classifications, (std::vector<std::string>{"OmniClass: 23.13.11 Ext\xC3\xA9rieur"}));
        EXPECT_EQ(p.layer, "A-WALL");
        EXPECT_TRUE(p.hasColour);
        EXPECT_EQ(p.transparency, 0.25);
    }
}

TEST(IfcRecordPath, TrianglesMatchUpToOrderAndFirstCornerOnly) {
    IfcProductData a, b;
    a.vertices = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}};
    a.triangles = {{0, 1, 2}, {1, 3, 2}};
    b.vertices = {{1, 1, 0.00005}, {0, 1, 0}, {1, 0, 0}, {0, 0, 0}};
    b.triangles = {{1, 2, 0}, {2, 1, 3}};
    EXPECT_EQ(Unmatched(TrianglesOf(a), TrianglesOf(b)), 0u);
    // A turned triangle is another triangle, and so is one a millimetre away.
    b.triangles = {{1, 2, 0}, {1, 2, 3}};
    EXPECT_EQ(Unmatched(TrianglesOf(a), TrianglesOf(b)), 1u);
    b.vertices[0] = {1, 1, 0.001};
    b.triangles = {{1, 2, 0}, {2, 1, 3}};
    EXPECT_EQ(Unmatched(TrianglesOf(a), TrianglesOf(b)), 1u);
}
