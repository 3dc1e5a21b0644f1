// The host's library: the label parts the add-on hands over, their file format, the object
// tool's settings and dialog, and the label drawn onto a picture.
#include "RenderFixture.h"
#include "host/libparts/LabelDrawing.h"
#include "host/libparts/LibPartFile.h"
#include "host/libparts/LibPartRegistry.h"
#include "host/render/Pictures.h"
#include "hostapi/HostLibPartRecord.h"
#include "hostapi/HostRegistrationRecord.h"
#include "hostapi/HostSelectors.h"
#include "movie/LabelParts.h"
#include "pixkit/PXPixMap.h"

#include <fstream>
#include <iterator>

namespace {

constexpr uint32_t kCapt = HOST_FOURCC('C', 'a', 'p', 't');

std::vector<uint8_t> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string LabelsDir() {
    const char* dir = std::getenv("BV_SOURCE_DIR");
    return std::string(dir ? dir : ".") + "/addon/resources/labels/";
}

std::vector<uint8_t> Bytes(const std::string& s) { return {s.begin(), s.end()}; }

TEST(LibPartFile, TheShippedLabelPartsRead) {
    for (const char* name : {"felirat.vtm", "BV felirat.vtm"}) {
        std::string error;
        auto def = ParseLibPartFile(ReadFile(LabelsDir() + name), error);
        ASSERT_TRUE(def) << name << ": " << error;
        EXPECT_EQ(def->variation, kCapt);
        EXPECT_TRUE(def->label);
        EXPECT_TRUE(FindParam(def->params, "qv_datestring"));
        EXPECT_TRUE(FindParam(def->params, "qv_sidepropotion"));
    }
}

TEST(LibPartFile, DamagedOrOutOfRangeFilesAreRefused) {
    const std::string head = R"({"format": "QVLP", "version": 1, "id": "x", )";
    const std::vector<std::string> bad = {
        "",
        R"({"format": "QVLP", "version": 1, "name": "a", "id": "x")",                 // cut short
        R"({"format": "QVLP", "version": 2, "name": "a", "id": "x"})",
        R"({"format": "QVLP", "version": 1, "name": "a", "id": ""})",
        head + R"("name": ")" + std::string(256, 'n') + "\"}",
        head + R"("name": "a", "variation": "Cap"})",
        head + R"("name": "a", "parameters": [{"name": "p", "text": ")" + std::string(256, 't') + "\"}]}",
        head + R"("name": "a", "parameters": [{"name": "p", "number": 1}, {"name": "p", "number": 2}]})",
        head + R"("name": "a", "parameters": [{"name": "p"}]})",
        head + R"("name": "a", "parameters": [{"name": ")" + std::string(32, 'p') + R"(", "number": 1}]})",
        head + R"("name": "a", "label": {"anchor": "middle"}})",
        head + R"("name": "a", "label": {"ink": [0, 0, 2]}})",
        head + R"("name": "a", "x": )" + std::string(100, '[') + std::string(100, ']') + "}",
        head + "\"name\": \"\xC3\x28\"}", // not UTF-8
    };
    for (const auto& text : bad) {
        std::string error;
        EXPECT_FALSE(ParseLibPartFile(Bytes(text), error)) << text.substr(0, 120);
        EXPECT_FALSE(error.empty());
    }
    std::string error;
    auto ok = ParseLibPartFile(Bytes(head + R"("name": "Árvíztűrő", "parameters": [{"name": "p", "text": ")" +
                                      std::string(255, 't') + "\"}]}"),
                               error);
    ASSERT_TRUE(ok) << error;
    EXPECT_EQ(ok->name, u"Árvíztűrő");
    EXPECT_EQ(ParamText(ok->params, 0).size(), 255u);
}

class LibPartsTest : public RenderFixture {
protected:
    void SetUp() override {
        RenderFixture::SetUp();
        ASSERT_TRUE(RegisterLabelParts());
    }
    // The part's record from a search by name; its location handle is freed.
    std::vector<uint8_t> Search(const std::u16string& name, GSErr& err) {
        std::vector<uint8_t> r(HostLibPart::kSize, 0);
        for (size_t i = 0; i < name.size(); ++i) LE::Put<uint16_t>(r, HostLibPart::kName + 2 * i, name[i]);
        err = HostLibPartSearch(r.data());
        BKDisposeHandle(LE::Get<uint32_t>(r, HostLibPart::kLocation));
        return r;
    }
    int32_t IndexOf(const std::u16string& name) {
        GSErr err;
        auto r = Search(name, err);
        return err == kHostNoError ? LE::Get<int32_t>(r, HostLibPart::kIndex) : 0;
    }
    std::vector<uint8_t> Defaults(uint32_t& params) {
        std::vector<uint8_t> r(HostElement::kRecordSize, 0);
        LE::Put<int32_t>(r, HostElement::kKind, HostElement::Object);
        LE::Put<uint32_t>(r, HostObjectFields::kVariation, kCapt);
        EXPECT_EQ(HostElementGetDefaults(r.data(), &params), kHostNoError);
        return r;
    }
};

TEST_F(LibPartsTest, RegisteredPartsAreFoundByNameIndexAndIdentifier) {
    size_t handles = BKLiveHandleCount();
    GSErr err;
    auto r = Search(u"BV felirat", err);
    ASSERT_EQ(err, kHostNoError);
    int32_t index = LE::Get<int32_t>(r, HostLibPart::kIndex);
    EXPECT_GT(index, 0);
    EXPECT_EQ(LE::Get<uint32_t>(r, HostLibPart::kVariation), kCapt);
    Search(u"nincs ilyen", err);
    EXPECT_EQ(err, kHostErrNoLibPart);

    // Registering again (the add-on loaded a second time) keeps the indexes.
    ASSERT_TRUE(RegisterLabelParts());
    EXPECT_EQ(IndexOf(u"BV felirat"), index);

    std::vector<uint8_t> byIndex(HostLibPart::kSize, 0);
    LE::Put<int32_t>(byIndex, HostLibPart::kIndex, index);
    ASSERT_EQ(HostLibPartGet(byIndex.data()), kHostNoError);
    uint32_t location = LE::Get<uint32_t>(byIndex, HostLibPart::kLocation);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(BKHandleData(location)), BKHandleSize(location)), "BV felirat.vtm");
    BKDisposeHandle(location);

    uint32_t params = 0;
    int32_t count = 0;
    ASSERT_EQ(HostLibPartGetParams(index, &params, &count), kHostNoError);
    EXPECT_EQ(count, 3);
    EXPECT_EQ(BKHandleSize(params), 3u * HostLibPartParam::kSize);
    BKDisposeHandle(params);
    EXPECT_EQ(HostLibPartGetParams(99, &params, &count), kHostErrNoLibPart);
    EXPECT_EQ(BKLiveHandleCount(), handles);

    // The label object type's template, by the identifier the host gives for it.
    std::vector<uint8_t> request(HostUniqueIdRequest::kSize, 0);
    LE::Put<uint32_t>(request, HostUniqueIdRequest::kVariation, kCapt);
    LE::Put<int16_t>(request, HostUniqueIdRequest::kTemplateId, 132);
    char id[HostLibPart::kUniqueIdSize] = {};
    EXPECT_EQ(HostUtility(kHostSelTypeTemplateId, request.data(), id), kHostErrBadParameter) << "type not registered";
    std::vector<uint8_t> type(HostObjectTypeRecord::kSize, 0);
    LE::Put<uint32_t>(type, HostObjectTypeRecord::kSignature, kCapt);
    LE::Put<int16_t>(type, HostObjectTypeRecord::kTemplateId, 132);
    host->Addons().front()->objectTypeRecord = type;
    ASSERT_EQ(HostUtility(kHostSelTypeTemplateId, request.data(), id), kHostNoError);
    std::vector<uint8_t> byId(HostLibPart::kSize, 0);
    LE::PutText(byId, HostLibPart::kUniqueId, HostLibPart::kUniqueIdSize, id);
    ASSERT_EQ(HostLibPartSearch(byId.data()), kHostNoError);
    EXPECT_EQ(LE::Get<int32_t>(byId, HostLibPart::kIndex), IndexOf(u"felirat"));
    BKDisposeHandle(LE::Get<uint32_t>(byId, HostLibPart::kLocation));
}

TEST_F(LibPartsTest, DamagedPartsAreRefusedAtRegistration) {
    std::u16string name = u"rossz.vtm";
    std::vector<uint16_t> fileName(name.begin(), name.end());
    fileName.push_back(0);
    auto bytes = Bytes(R"({"format": "QVLP", "version": 1, "name": "rossz"})");
    EXPECT_EQ(HostLibPartRegister(fileName.data(), bytes.data(), static_cast<uint32_t>(bytes.size()), nullptr),
              kHostErrBadLibPart);
    EXPECT_EQ(IndexOf(u"rossz"), 0);
}

TEST_F(LibPartsTest, ObjectSettingsDialogChangesTheDefaultsAndTheOldOnesComeBack) {
    uint32_t params = 0;
    auto before = Defaults(params);
    EXPECT_EQ(LE::Get<int32_t>(before, HostObjectFields::kLibPart), IndexOf(u"BV felirat"));
    EXPECT_EQ(BKHandleSize(params), 3u * HostLibPartParam::kSize);
    BKDisposeHandle(params);

    std::vector<uint8_t> request(HostSettingsRequest::kSize, 0);
    LE::Put<int32_t>(request, HostSettingsRequest::kKind, HostElement::Object);
    LE::Put<uint32_t>(request, HostSettingsRequest::kVariation, kCapt);
    DGQueueDialogAnswer({"object-settings", {{"part", "nincs ilyen"}}, 1});
    EXPECT_EQ(HostEnvironmentSet(kHostSelToolSettings, request.data(), nullptr), kHostErrCancelled);
    DGQueueDialogAnswer({"object-settings", {{"part", "felirat"}}, 2});
    EXPECT_EQ(HostEnvironmentSet(kHostSelToolSettings, request.data(), nullptr), kHostErrCancelled);
    EXPECT_EQ(LE::Get<int32_t>(Defaults(params), HostObjectFields::kLibPart), IndexOf(u"BV felirat"));
    BKDisposeHandle(params);

    DGQueueDialogAnswer({"object-settings", {{"part", "felirat"}}, 1});
    ASSERT_EQ(HostEnvironmentSet(kHostSelToolSettings, request.data(), nullptr), kHostNoError);
    EXPECT_EQ(LE::Get<int32_t>(Defaults(params), HostObjectFields::kLibPart), IndexOf(u"felirat"));
    BKDisposeHandle(params);

    // The settings read first, written back whole: the tool is as it was.
    std::vector<uint8_t> mask(HostElement::kRecordSize, 0xFF);
    ASSERT_EQ(HostElementChangeDefaults(before.data(), mask.data(), 0), kHostNoError);
    EXPECT_EQ(Defaults(params), before);
    BKDisposeHandle(params);

    // Parameter blocks that are not whole records, and unknown parts, are refused.
    uint32_t odd = BKNewHandle(HostLibPartParam::kSize + 1);
    EXPECT_EQ(HostElementChangeDefaults(before.data(), mask.data(), odd), kHostErrBadParameter);
    BKDisposeHandle(odd);
    auto unknown = before;
    LE::Put<int32_t>(unknown, HostObjectFields::kLibPart, 77);
    EXPECT_EQ(HostElementChangeDefaults(unknown.data(), mask.data(), 0), kHostErrNoLibPart);
    EXPECT_EQ(DGUnansweredQuestions(), 1); // the refused part name
}

class LabelDrawTest : public LibPartsTest {
protected:
    uint32_t White(int32_t w, int32_t h) {
        Image image{w, h, std::vector<uint32_t>(static_cast<size_t>(w) * static_cast<size_t>(h), 0xFFFFFFu)};
        return ImageToPixMap(image);
    }
    GSErr Draw(uint32_t picture, int32_t part, uint32_t params) {
        std::vector<uint8_t> r(HostLabelDraw::kSize, 0);
        LE::Put<int32_t>(r, HostLabelDraw::kLibPart, part);
        LE::Put<uint32_t>(r, HostLabelDraw::kParams, params);
        LE::Put<int32_t>(r, HostLabelDraw::kFrame, 1);
        LE::Put<int32_t>(r, HostLabelDraw::kFirstFrame, 1);
        LE::Put<int32_t>(r, HostLabelDraw::kLastFrame, 4);
        return HostGraphics(kHostSelLibPartDraw, &picture, r.data());
    }
    uint32_t Params(const std::string& date, double proportion) {
        auto a = MakeTextParam("qv_datestring", std::u16string(date.begin(), date.end()));
        auto b = MakeNumberParam("qv_sidepropotion", proportion);
        a.insert(a.end(), b.begin(), b.end());
        uint32_t h = BKNewHandle(a.size());
        std::memcpy(BKHandleData(h), a.data(), a.size());
        return h;
    }
    // The bounding box of pixels that are no longer white.
    struct Box {
        int32_t x0 = 1 << 30, y0 = 1 << 30, x1 = -1, y1 = -1;
        int32_t dark = 0;
    };
    Box Changed(uint32_t picture) {
        auto image = PixMapToImage(picture);
        Box b;
        for (int32_t y = 0; y < image->height; ++y)
            for (int32_t x = 0; x < image->width; ++x) {
                uint32_t p = image->At(x, y);
                if (p == 0xFFFFFFu) continue;
                b.x0 = std::min(b.x0, x), b.y0 = std::min(b.y0, y), b.x1 = std::max(b.x1, x), b.y1 = std::max(b.y1, y);
                if (Red(p) < 80 && Green(p) < 80 && Blue(p) < 80) ++b.dark;
            }
        return b;
    }
};

TEST_F(LabelDrawTest, TheDateIsDrawnReadablyInThePartsCorner) {
    uint32_t picture = White(640, 480);
    uint32_t params = Params("2009.03.02 10:30", 0.75);
    ASSERT_EQ(Draw(picture, IndexOf(u"BV felirat"), params), kHostNoError);
    Box b = Changed(picture);
    EXPECT_GT(b.dark, 100) << "no text";
    EXPECT_GE(b.x0, 320);
    EXPECT_GE(b.y0, 400);
    EXPECT_LT(b.x1, 640);
    EXPECT_LT(b.y1, 480);
    EXPECT_GE(b.y1 - b.y0, 24) << "too small to read";

    // The same on a copy gives the same pixels.
    uint32_t again = White(640, 480);
    Draw(again, IndexOf(u"BV felirat"), params);
    EXPECT_EQ(PixMapToImage(again)->pixels, PixMapToImage(picture)->pixels);
    BKDisposeHandle(again);

    // The template part sits top left; without a date text nothing is drawn.
    uint32_t other = White(640, 480);
    ASSERT_EQ(Draw(other, IndexOf(u"felirat"), params), kHostNoError);
    Box t = Changed(other);
    EXPECT_LT(t.x1, 320);
    EXPECT_LT(t.y1, 240);
    uint32_t plain = White(640, 480);
    ASSERT_EQ(Draw(plain, IndexOf(u"BV felirat"), 0), kHostNoError);
    EXPECT_EQ(Changed(plain).x1, -1);
    for (uint32_t h : {picture, params, other, plain}) BKDisposeHandle(h);
}

// A 32-bit picture with rows `rowBytes` apart holding `image`, the bytes past each row set to 0x5A.
uint32_t PixMapWithRows(const Image& image, int32_t rowBytes) {
    size_t size = kPXHeaderSize + static_cast<size_t>(rowBytes) * static_cast<size_t>(image.height);
    uint32_t h = BKNewHandle(size);
    std::span<uint8_t> b(BKHandleData(h), size);
    std::memset(b.data() + kPXHeaderSize, 0x5A, size - kPXHeaderSize);
    LE::Put<uint32_t>(b, 0, kPXMagic);
    LE::Put<uint16_t>(b, 4, kPXVersion);
    LE::Put<uint16_t>(b, 6, static_cast<uint16_t>(PXPixelFormat::Rgb32));
    LE::Put<int32_t>(b, 8, image.width);
    LE::Put<int32_t>(b, 12, image.height);
    LE::Put<int32_t>(b, 16, rowBytes);
    LE::Put<uint32_t>(b, 20, 0);
    EXPECT_TRUE(ImageIntoPixMap(image, h));
    return h;
}

TEST_F(LabelDrawTest, CapturedPictureAndItsLabelAreDrawnInThePixelMapAsThroughAnImage) {
    AddBox("BOX", {-2, -1, 0}, {2, 1, 2}, green, 255);
    int32_t part = IndexOf(u"BV felirat");
    ASSERT_NE(part, 0);
    uint32_t params = Params("2009.03.02 10:30", 0.5);
    std::span<const uint8_t> paramBytes(BKHandleData(params), BKHandleSize(params));
    // The part the add-on registered, from the same shipped file in a library of the test's own.
    LibPartRegistry shipped;
    std::string error;
    const int32_t own = shipped.Register("test", "BV felirat.vtm", ReadFile(LabelsDir() + "BV felirat.vtm"), error);
    ASSERT_NE(own, 0) << error;
    for (uint8_t use3D : {1, 0}) {
        RenderStyle style = use3D ? RenderStyle::Window3D : RenderStyle::Photo;
        // The old way: a picture, drawn on, then put into a pixel map.
        Image expected = RenderWindow(host->Model(), style);
        Image unlabelled = expected;
        ASSERT_TRUE(DrawLabelPart(expected, *shipped.ByIndex(own), paramBytes));
        ASSERT_NE(expected.pixels, unlabelled.pixels) << "no label was drawn";

        // The host's picture, rendered into the pixel map, and the label drawn there.
        uint32_t picture = 0;
        uint8_t options[2] = {use3D, 1};
        ASSERT_EQ(HostGraphics(kHostSelWindowCapture, &picture, options), kHostErrPictureReady);
        EXPECT_EQ(PixMapToImage(picture)->pixels, unlabelled.pixels);
        ASSERT_EQ(Draw(picture, part, params), kHostNoError);
        auto info = PXReadPixMapInfo(picture);
        ASSERT_TRUE(info);
        EXPECT_EQ(PixMapToImage(picture)->pixels, expected.pixels);
        // Every pixel's fourth byte stays unused.
        const uint8_t* data = BKHandleData(picture) + info->pixelOffset;
        for (size_t i = 0; i < static_cast<size_t>(info->rowBytes) * static_cast<size_t>(info->height); i += 4)
            ASSERT_EQ(data[i + 3], 0) << i;
        BKDisposeHandle(picture);

        // Pictures from elsewhere: rows with room after them keep it untouched; rows that do not
        // start on a whole pixel are drawn through a copy. Both give the same pixels.
        for (int32_t rowBytes : {4 * unlabelled.width + 8, 4 * unlabelled.width + 2}) {
            uint32_t other = PixMapWithRows(unlabelled, rowBytes);
            ASSERT_EQ(Draw(other, part, params), kHostNoError);
            EXPECT_EQ(PixMapToImage(other)->pixels, expected.pixels) << rowBytes;
            const uint8_t* rows = BKHandleData(other) + kPXHeaderSize;
            for (int32_t y = 0; y < unlabelled.height; ++y)
                for (int32_t k = 4 * unlabelled.width; k < rowBytes; ++k)
                    ASSERT_EQ(rows[static_cast<size_t>(y) * static_cast<size_t>(rowBytes) + static_cast<size_t>(k)], 0x5A);
            BKDisposeHandle(other);
        }
    }
    BKDisposeHandle(params);
}

TEST_F(LabelDrawTest, BadRequestsLeaveThePictureAlone) {
    uint32_t picture = White(64, 48);
    uint32_t params = Params("x", 0.75);
    EXPECT_EQ(Draw(picture, 99, params), kHostErrNoLibPart);
    uint32_t odd = BKNewHandle(100);
    EXPECT_EQ(Draw(picture, IndexOf(u"BV felirat"), odd), kHostErrBadParameter);
    uint32_t notAPicture = BKNewHandle(10);
    EXPECT_EQ(Draw(notAPicture, IndexOf(u"BV felirat"), params), kHostErrBadParameter);
    EXPECT_EQ(Changed(picture).x1, -1);
    for (uint32_t h : {picture, params, odd, notAPicture}) BKDisposeHandle(h);
}

} // namespace
