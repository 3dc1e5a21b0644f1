// The readers of facts from the file's records against the library's own reading: texts decoded
// and values written as its reading of them gives them, names in any case; the records the
// library parses for the bodies only it makes; and products read one record at a time.
#include "host/HostTestFiles.h"

#include "host/ifc/helper/LibraryShare.h"
#include "host/ifc/helper/ProductFacts.h"
#include "host/ifc/helper/ProductProperties.h"
#include "host/ifc/helper/RecordProducts.h"
#include "host/ifc/helper/RecordTypes.h"
#include "host/ifc/helper/RecordText.h"
#include "host/ifc/step/StepEntityScan.h"
#include "host/ifc/step/WideText.h"

#include <ifcpp/IFC4/include/IfcProduct.h>
#include <ifcpp/IFC4/include/IfcValue.h>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

void decodeArgumentStrings(std::vector<std::string>& entity_arguments, std::vector<std::wstring>& args_out);

namespace {

// The library's reading of a typed value, as ValueText writes it; nothing when it fails.
std::optional<std::string> LibrarysValueText(const std::string& attribute) {
    std::vector<std::string> in{attribute};
    std::vector<std::wstring> out;
    decodeArgumentStrings(in, out);
    try {
        const shared_ptr<IfcValue> value = IfcValue::createObjectFromSTEP(out.at(0), {});
        return value ? ValueText(*value) : std::string();
    } catch (...) {
        return std::nullopt;
    }
}

uint32_t PlaceOf(const StepScan& scan, int id) { return static_cast<uint32_t>(scan.Position(id)); }

} // namespace

TEST(RecordText, ValuesAreWrittenAsTheLibrarysReadingOfThem) {
    for (const std::string value :
         {"IFCLABEL('Wall')", "IFCTEXT('k\\X2\\00E9\\X0\\t sor')", "IFCIDENTIFIER('it''s')", "IFCBOOLEAN(.T.)", "IFCBOOLEAN(.F.)",
          "IFCLOGICAL(.U.)", "IFCREAL(0.1)", "IFCREAL(1234567.891)", "IFCREAL(5)", "IFCLENGTHMEASURE(1.E-3)",
          "IFCAREAMEASURE(-0.)", "IFCVOLUMEMEASURE(2.5E+3)", "IFCMASSMEASURE(1.7976931348623157E308)",
          "IFCPLANEANGLEMEASURE(3.14159265358979)", "IFCTIMEMEASURE(0.)",
          "IFCINTEGER(42)", "IFCCOUNTMEASURE(3.)", "IFCTHERMALTRANSMITTANCEMEASURE(0.24)", "IFCPOSITIVERATIOMEASURE(0.5)"}) {
        SCOPED_TRACE(value);
        const std::optional<std::optional<std::string>> mine = RecordValueText(value);
        const std::optional<std::string> theirs = LibrarysValueText(value);
        ASSERT_TRUE(theirs.has_value());
        ASSERT_TRUE(mine.has_value());
        ASSERT_TRUE(mine->has_value());
        EXPECT_EQ(**mine, *theirs);
    }
    // None, and what the library's reading fails on, which is left to it.
    EXPECT_EQ(RecordValueText("$"), std::optional<std::optional<std::string>>(std::optional<std::string>()));
    for (const std::string failed : {"IFCREAL(1.E999)", "IFCPOSITIVELENGTHMEASURE(4.9E-324)"}) {
        EXPECT_FALSE(LibrarysValueText(failed).has_value()) << failed;
        EXPECT_FALSE(RecordValueText(failed).has_value()) << failed;
    }
    EXPECT_FALSE(RecordValueText("IFCLABEL ( 'spaced' )").has_value());
}

TEST(RecordText, StringsAreDecodedAsTheLibraryDecodesThem) {
    EXPECT_EQ(RecordString("'Wall A'"), "Wall A");
    EXPECT_EQ(RecordString("$"), "");
    EXPECT_EQ(RecordString("'F\\X2\\00F6\\X0\\ldszint'"), "F\xC3\xB6ldszint");
    std::vector<std::string> in{"'it''s'"};
    std::vector<std::wstring> out;
    decodeArgumentStrings(in, out);
    EXPECT_EQ(RecordString("'it''s'"), Utf8FromWide(out.at(0).substr(1, out.at(0).size() - 2)));
    // A typed string where a string stands is the library's to read.
    EXPECT_FALSE(RecordString("IFCLABEL('x')").has_value());
    EXPECT_TRUE(RecordTypeIs("IfcWall", "IFCWALL"));
    EXPECT_FALSE(RecordTypeIs("IFCWALLS", "IFCWALL"));
}

// For a wall with openings, the wall, its openings and their shapes, and the project are read;
// what they refer to beyond is made bare; another product is not made.
TEST(LibraryShare, ReadsTheBodiesProductsTheirOpeningsAndTheProject) {
    const std::string text = ReadWholeFile(SourceFile("tests/data/ifc/IfcOpenHouse.ifc"));
    const StepScan scan = ScanStepEntities(text);
    const std::vector<RecordUse> use = LibraryShare(text, scan, RecordTypes(text, scan), {PlaceOf(scan, 34)});
    ASSERT_EQ(use.size(), scan.ids.size());
    auto at = [&](int id) { return use[PlaceOf(scan, id)]; };
    EXPECT_EQ(at(34), RecordUse::Read);  // the south wall
    EXPECT_EQ(at(122), RecordUse::Read); // its opening's relation
    EXPECT_EQ(at(121), RecordUse::Read); // the opening
    EXPECT_EQ(at(108), RecordUse::Read); // the opening's shape
    EXPECT_EQ(at(12), RecordUse::Read);  // the project, with its units
    EXPECT_EQ(at(11), RecordUse::Read);
    EXPECT_EQ(at(188), RecordUse::Unmade); // a roof slab
    EXPECT_EQ(at(320), RecordUse::Unmade); // another wall's opening
    // A part of a whole: the whole read, its other parts bare.
    const std::vector<RecordUse> part = LibraryShare(text, scan, RecordTypes(text, scan), {PlaceOf(scan, 188)});
    EXPECT_EQ(part[PlaceOf(scan, 190)], RecordUse::Read);
    EXPECT_EQ(part[PlaceOf(scan, 187)], RecordUse::Read);
    EXPECT_EQ(part[PlaceOf(scan, 189)], RecordUse::Bare);
}

// A product read from its one record is the library's reading of it; its storey and the file's
// storeys come from the records; a reference to a record the file lacks makes the file not whole.
TEST(RecordProducts, ReadEachProductFromItsOneRecord) {
    const std::string text = ReadWholeFile(SourceFile("tests/data/ifc/IfcOpenHouse.ifc"));
    const StepScan scan = ScanStepEntities(text);
    const RecordTypes types(text, scan);
    RecordProducts records(text, scan, types);
    EXPECT_TRUE(records.Whole());
    const auto wall = records.ProductAt(PlaceOf(scan, 34));
    ASSERT_TRUE(wall && *wall);
    EXPECT_EQ(IfcClassOf(**wall), "IfcWallStandardCase");
    EXPECT_EQ(NameOf(**wall), "South wall");
    EXPECT_EQ(GlobalIdOf(**wall), "1eD3QeZNj1tRskKKcN6FdP");
    const auto slab = records.ProductAt(PlaceOf(scan, 188));
    ASSERT_TRUE(slab && *slab);
    EXPECT_EQ(PredefinedTypeOf(**slab), "ROOF");
    // Not a product.
    EXPECT_EQ(records.ProductAt(PlaceOf(scan, 19)), std::optional<shared_ptr<IfcProduct>>(nullptr));

    const std::string storeys = ReadWholeFile(SourceFile("tests/data/ifc/two-storeys-mm.ifc"));
    const StepScan storeysScan = ScanStepEntities(storeys);
    const RecordTypes storeysTypes(storeys, storeysScan);
    RecordProducts two(storeys, storeysScan, storeysTypes);
    EXPECT_EQ(two.Storeys(), (std::vector<std::string>{"F\xC3\xB6ldszint", "Emelet"}));
    // Contained in a storey; and a part of a roof that is.
    EXPECT_EQ(two.StoreyOf(PlaceOf(storeysScan, 102)), "F\xC3\xB6ldszint");
    EXPECT_EQ(two.StoreyOf(PlaceOf(storeysScan, 324)), "Emelet");

    const std::string dangling = ReadWholeFile(SourceFile("tests/data/ifc/dangling-body.ifc"));
    const StepScan danglingScan = ScanStepEntities(dangling);
    EXPECT_FALSE(RecordProducts(dangling, danglingScan, RecordTypes(dangling, danglingScan)).Whole());
}
