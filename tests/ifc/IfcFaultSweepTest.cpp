// Every fault the helper can meet, at every product of a small real file and at a sample of a
// larger one's in either process: the outcome is the model without that one product, which is
// left out with its cause, or a refusal of the file with its reason; never another model.
#include "IfcReadRecorder.h"
#include "IfcTestFiles.h"

#include "host/ifc/reader/IfcReader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <set>

using namespace std::chrono_literals;

namespace {

using ifctest::IfcText;

bool SameProduct(const IfcProductData& a, const IfcProductData& b) {
    return a.guid == b.guid && a.globalId == b.globalId && a.ifcClass == b.ifcClass && a.predefinedType == b.predefinedType &&
           a.name == b.name && a.tag == b.tag && a.layer == b.layer && a.storey == b.storey && a.objectType == b.objectType &&
           a.description == b.description && a.materials == b.materials && a.classifications == b.classifications &&
           a.properties == b.properties && a.hasColour == b.hasColour && a.rgb == b.rgb && a.transparency == b.transparency &&
           a.vertices == b.vertices && a.triangles == b.triangles;
}

struct Clean {
    IfcBuildingData data;
    size_t candidates = 0;        // the products the helper converts, as the reader's progress counts them
    std::chrono::milliseconds took{0};
};

// Read twice; the slower read's time.
Clean ReadClean(const std::string& text) {
    Clean clean;
    for (int read = 0; read < 2; ++read) {
        ifctest::ReadRecorder recorder;
        const auto start = std::chrono::steady_clock::now();
        clean.data = ReadIfcText(text, &recorder);
        clean.took = std::max(clean.took, std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start));
        for (const auto& r : recorder.reports)
            if (r.phase == IfcReadPhase::Converting) clean.candidates = r.total;
    }
    return clean;
}

// What a read with `fault` gave, held against the clean read: a refusal that says why, the same
// model, or the same model less one product, which is left out with its cause. Returns the
// product left out ("" for none, "refused" for a refusal).
std::string Outcome(const std::string& text, const Clean& clean, const std::string& fault) {
    SCOPED_TRACE(fault);
    // Only a hang waits out the time-outs: the second process is taken for hung after a while
    // longer than the whole clean read, the helper as a whole after twice that. Every other
    // fault keeps the time-outs long, so that a busy machine makes no hang of its own.
    const bool hang = fault.rfind("hang", 0) == 0;
    SetIfcReaderTimeout(hang ? std::max<std::chrono::milliseconds>(250ms, 4 * clean.took) : 60s);
    setenv("BV_IFC_FAULT", fault.c_str(), 1);
    IfcBuildingData data;
    try {
        data = ReadIfcText(text);
    } catch (const EIfcFile& e) {
        unsetenv("BV_IFC_FAULT");
        EXPECT_NE(std::string(e.what()).find("not readable as IFC: the IFC library"), std::string::npos) << e.what();
        return "refused";
    }
    unsetenv("BV_IFC_FAULT");
    std::set<std::string> cleanSkipped, skipped;
    for (const auto& s : clean.data.skipped) cleanSkipped.insert(s.globalId);
    std::string leftOut;
    for (const auto& s : data.skipped) {
        skipped.insert(s.globalId);
        if (cleanSkipped.count(s.globalId)) continue;
        EXPECT_TRUE(leftOut.empty()) << "a second product left out: " << s.globalId;
        EXPECT_EQ(s.cause, IfcLeftOutCause::GeometryNotMade);
        EXPECT_NE(s.reason.find("geometry not converted: the IFC library"), std::string::npos) << s.reason;
        leftOut = s.globalId;
    }
    for (const auto& g : cleanSkipped) EXPECT_TRUE(skipped.count(g)) << "left out before, now not: " << g;
    size_t at = 0;
    for (const auto& p : clean.data.products) {
        if (p.globalId == leftOut) continue;
        if (at >= data.products.size()) {
            ADD_FAILURE() << "missing " << p.globalId;
            break;
        }
        EXPECT_TRUE(SameProduct(data.products[at], p)) << "not the same: " << p.globalId;
        ++at;
    }
    EXPECT_EQ(at, data.products.size()) << "products the clean read has not";
    EXPECT_EQ(data.storeys, clean.data.storeys);
    return leftOut;
}

const char* const kFaults[] = {"crash", "hang", "short", "full"};

class IfcFaultSweep : public testing::Test {
protected:
    void TearDown() override {
        SetIfcReaderTimeout(60s);
        unsetenv("BV_IFC_FAULT");
    }
};

} // namespace

TEST_F(IfcFaultSweep, EveryFaultAtEveryProductOfASmallFile) {
    const std::string text = IfcText("IfcOpenHouse.ifc");
    const Clean clean = ReadClean(text);
    ASSERT_GT(clean.candidates, 30u);
    for (const char* kind : kFaults) {
        size_t leftOut = 0;
        for (size_t n = 0; n < clean.candidates; ++n) {
            const std::string outcome = Outcome(text, clean, std::string(kind) + ":" + std::to_string(n));
            EXPECT_NE(outcome, "refused") << kind << " at " << n;
            leftOut += !outcome.empty();
        }
        // Every product the helper converts meets the fault, and only that product is lost.
        EXPECT_EQ(leftOut, clean.data.products.size() + clean.data.skipped.size()) << kind;
    }
}

// Products from the front are the first process's, from the back the second's; what the second
// meets costs its product, or nothing when the first converts it again.
TEST_F(IfcFaultSweep, EveryFaultInEitherShareOfALargerFile) {
    const std::string text = IfcText("duplex.ifc");
    const Clean clean = ReadClean(text);
    ASSERT_GT(clean.candidates, 200u);
    const size_t last = clean.candidates - 1;
    for (const char* kind : kFaults) {
        for (size_t n : {size_t{0}, size_t{7}, clean.candidates / 3})
            EXPECT_NE(Outcome(text, clean, std::string(kind) + ":" + std::to_string(n) + ":first"), "refused");
        for (size_t n : {last, last - 5})
            EXPECT_NE(Outcome(text, clean, std::string(kind) + ":" + std::to_string(n) + ":second"), "refused");
    }
}
