// A product's single values come out the same however they are read: the common value types
// without the library's STEP text, and a set shared by many products read once.
#include "host/ifc/helper/LibraryParse.h"
#include "host/ifc/helper/ProductProperties.h"
#include "host/ifc/step/StepEntityScan.h"
#include "host/ifc/step/WideText.h"
#include "IfcTestFiles.h"

#include <ifcpp/IFC4/include/IfcAreaMeasure.h>
#include <ifcpp/IFC4/include/IfcBoolean.h>
#include <ifcpp/IFC4/include/IfcCountMeasure.h>
#include <ifcpp/IFC4/include/IfcIdentifier.h>
#include <ifcpp/IFC4/include/IfcInteger.h>
#include <ifcpp/IFC4/include/IfcLabel.h>
#include <ifcpp/IFC4/include/IfcLengthMeasure.h>
#include <ifcpp/IFC4/include/IfcMassMeasure.h>
#include <ifcpp/IFC4/include/IfcPlaneAngleMeasure.h>
#include <ifcpp/IFC4/include/IfcPositiveLengthMeasure.h>
#include <ifcpp/IFC4/include/IfcProduct.h>
#include <ifcpp/IFC4/include/IfcReal.h>
#include <ifcpp/IFC4/include/IfcText.h>
#include <ifcpp/IFC4/include/IfcTimeMeasure.h>
#include <ifcpp/IFC4/include/IfcVolumeMeasure.h>
#include <ifcpp/model/BuildingModel.h>

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cstdint>
#include <limits>
#include <random>
#include <sstream>

// Present under the sanitizers: the parse below keeps what the library's map of every record
// held for the life of the process, as the reader's child means it to.
extern "C" void __lsan_disable() __attribute__((weak));
extern "C" void __lsan_enable() __attribute__((weak));

namespace {

// What the value's STEP text says, read as ValueText's description has it: the text the library
// writes with 17 digits, read back as a number and written in the fewest digits that give it.
std::string FromStepText(const BuildingObject& value) {
    std::stringstream step;
    step.precision(17);
    value.getStepParameter(step, false);
    const std::string text = step.str();
    if (text.front() == '\'') return "quoted";
    if (text == ".T.") return "TRUE";
    if (text == ".F.") return "FALSE";
    double d = 0;
    auto read = std::from_chars(text.data(), text.data() + text.size(), d);
    if (read.ec != std::errc() || read.ptr != text.data() + text.size()) return text;
    char shortest[32];
    return std::string(shortest, std::to_chars(shortest, shortest + sizeof shortest, d).ptr);
}

template <typename T>
void ExpectNumbersAsTheirStepText(const std::vector<double>& numbers) {
    for (double d : numbers) {
        T value(d);
        ASSERT_EQ(ValueText(value), FromStepText(value)) << value.className() << " " << d;
    }
}

TEST(ValueText, CommonNumbersReadAsTheirStepText) {
    std::vector<double> numbers = {0.0,    -0.0,    1.0,     0.1,    2.8,     5000,   1e-7, 1e21,
                                   1e-300, 2.5e-310, -12.5,  1.0 / 3, 123456789012345678.0,
                                   std::numeric_limits<double>::max(), std::numeric_limits<double>::min(),
                                   std::numeric_limits<double>::denorm_min(), std::numeric_limits<double>::infinity(),
                                   -std::numeric_limits<double>::infinity()};
    std::mt19937_64 random(27);
    for (int i = 0; i < 3000; ++i) {
        numbers.push_back(std::uniform_real_distribution<double>(-1e4, 1e4)(random));
        const auto exponent = static_cast<uint64_t>(0x3ff + (i % 60) - 30); // 2^-30 to 2^29
        numbers.push_back(std::bit_cast<double>((random() & ~(uint64_t{0x7ff} << 52)) | (exponent << 52)));
    }
    ExpectNumbersAsTheirStepText<IfcLengthMeasure>(numbers);
    ExpectNumbersAsTheirStepText<IfcPositiveLengthMeasure>(numbers);
    ExpectNumbersAsTheirStepText<IfcAreaMeasure>(numbers);
    ExpectNumbersAsTheirStepText<IfcVolumeMeasure>(numbers);
    ExpectNumbersAsTheirStepText<IfcMassMeasure>(numbers);
    ExpectNumbersAsTheirStepText<IfcReal>(numbers);
    ExpectNumbersAsTheirStepText<IfcPlaneAngleMeasure>(numbers);
    ExpectNumbersAsTheirStepText<IfcTimeMeasure>(numbers);
    for (int n : {0, -1, 42, 1000000, 123456789, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()}) {
        EXPECT_EQ(ValueText(IfcInteger(n)), FromStepText(IfcInteger(n))) << n;
        EXPECT_EQ(ValueText(IfcCountMeasure(n)), FromStepText(IfcCountMeasure(n))) << n;
    }
    EXPECT_EQ(ValueText(IfcInteger(1000000)), "1e+06");
}

TEST(ValueText, TextsAsWrittenAndTruthAsWords) {
    const std::wstring text = L"a'b\\X\\ \u00e9 \u0151 'x'";
    EXPECT_EQ(ValueText(IfcLabel(text)), "a'b\\X\\ \u00e9 \u0151 'x'");
    EXPECT_EQ(ValueText(IfcText(text)), ValueText(IfcLabel(text)));
    EXPECT_EQ(ValueText(IfcIdentifier(text)), ValueText(IfcLabel(text)));
    EXPECT_EQ(ValueText(IfcLabel(L"")), "");
    EXPECT_EQ(ValueText(IfcBoolean(true)), "TRUE");
    EXPECT_EQ(ValueText(IfcBoolean(false)), "FALSE");
}

TEST(Utf8FromWide, PlainTextsAndTheRestAlike) {
    EXPECT_EQ(Utf8FromWide(L""), "");
    EXPECT_EQ(Utf8FromWide(L"Pset_WallCommon"), "Pset_WallCommon");
    EXPECT_EQ(Utf8FromWide(L"F\u00f6ldszint"), "F\u00f6ldszint");
    EXPECT_EQ(Utf8FromWide(L"\u0151"), "\xc5\x91");
    EXPECT_EQ(Utf8FromWide(std::wstring(L"a") + static_cast<wchar_t>(0xD800)), "a\xef\xbf\xbd");
    EXPECT_EQ(Utf8FromWide(std::wstring(L"x") + static_cast<wchar_t>(0x1F600) + L"y"), "x\xf0\x9f\x98\x80y");
}

// Every product of a real file whose relations give one set to many products: the values read
// by one reader for the whole file, in any order, are those a reader new to each product reads.
TEST(SingleValueReader, ASetSharedByManyProductsGivesEachTheSameValues) {
    const std::string text = ifctest::IfcText("duplex.ifc");
    const StepScan scan = ScanStepEntities(text);
    auto model = std::make_shared<BuildingModel>();
    LibraryMessages messages;
    if (__lsan_disable) __lsan_disable();
    std::vector<BuildingEntity*> entities = ParseWithLibrary(text, scan, model, messages, 2);
    if (__lsan_enable) __lsan_enable();
    std::vector<const IfcProduct*> products;
    for (BuildingEntity* entity : entities)
        if (auto* product = dynamic_cast<const IfcProduct*>(entity)) products.push_back(product);
    ASSERT_GT(products.size(), 200u);

    SingleValueReader forward, backward;
    std::vector<SingleValueReader::Values> first;
    size_t withValues = 0;
    for (const IfcProduct* product : products) {
        first.push_back(forward.Of(*product));
        withValues += first.back().empty() ? 0 : 1;
    }
    EXPECT_GT(withValues, 200u);
    for (size_t i = products.size(); i-- > 0;) {
        ASSERT_EQ(backward.Of(*products[i]), first[i]) << products[i]->m_entity_id;
        ASSERT_EQ(SingleValueReader().Of(*products[i]), first[i]) << products[i]->m_entity_id;
    }
}

} // namespace
