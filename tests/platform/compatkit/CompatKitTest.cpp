#include "compatkit/CKBitmapHeader.h"
#include "compatkit/CKDibSizes.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<uint8_t> Dib(CKBitmapHeader h, size_t extra) {
    std::vector<uint8_t> b(kCKBitmapHeaderSize + extra);
    CKWriteBitmapHeader(b, h);
    return b;
}

CKBitmapHeader Header(int32_t w, int32_t h, uint16_t bits) {
    CKBitmapHeader hd;
    hd.biWidth = w;
    hd.biHeight = h;
    hd.biBitCount = bits;
    return hd;
}

TEST(CompatKitTest, HeaderFieldsStandAtTheirOffsets) {
    CKBitmapHeader h = Header(-1, -2, 24);
    h.biCompression = 0x47504A4D;
    h.biClrImportant = 11;
    auto b = Dib(h, 0);
    EXPECT_EQ(b[0], 40);
    EXPECT_EQ(b[14], 24);    // bit count
    EXPECT_EQ(b[16], 0x4D);  // compression
    EXPECT_EQ(b[36], 11);    // colours important
    auto back = CKReadBitmapHeader(b);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->biHeight, -2);
    b[0] = 41; // larger than the bytes
    EXPECT_FALSE(CKReadBitmapHeader(b));
    EXPECT_FALSE(CKReadBitmapHeader(std::span<const uint8_t>(b.data(), 39)));
    EXPECT_EQ(CKRowBytes(3, 24), 12u);
    EXPECT_EQ(CKRowBytes(0, 24), 0u);
}

TEST(CompatKitTest, SizesCountTheColourTableAndCheckTheBytes) {
    uint32_t header = 0, image = 0;
    EXPECT_TRUE(CKGetDIBSizes(Dib(Header(5, 3, 24), 48), header, image));
    EXPECT_EQ(header, 40u);
    EXPECT_EQ(image, 48u);
    EXPECT_FALSE(CKGetDIBSizes(Dib(Header(5, 3, 24), 47), header, image)); // one byte short
    EXPECT_TRUE(CKGetDIBSizes(Dib(Header(5, -3, 24), 48), header, image));  // top-down
    EXPECT_EQ(image, 48u);

    auto pal = Header(4, 4, 8);
    EXPECT_TRUE(CKGetDIBSizes(Dib(pal, 1024 + 16), header, image));
    EXPECT_EQ(header, 40u + 1024);
    pal.biClrUsed = 2;
    EXPECT_TRUE(CKGetDIBSizes(Dib(pal, 8 + 16), header, image));
    EXPECT_EQ(header, 48u);
    pal.biClrUsed = 300; // more colours than 8 bits address
    EXPECT_FALSE(CKGetDIBSizes(Dib(pal, 1200 + 16), header, image));

    auto masks = Header(2, 2, 16);
    masks.biCompression = kCKBiBitfields;
    EXPECT_TRUE(CKGetDIBSizes(Dib(masks, 12 + 8), header, image));
    EXPECT_EQ(header, 52u);

    EXPECT_FALSE(CKGetDIBSizes(Dib(Header(0x7FFFFFFF, 0x7FFFFFFF, 32), 64), header, image));
    EXPECT_FALSE(CKGetDIBSizes(Dib(Header(2, 2, 7), 64), header, image));
    auto twoPlanes = Header(2, 2, 32);
    twoPlanes.biPlanes = 2;
    EXPECT_FALSE(CKGetDIBSizes(Dib(twoPlanes, 16), header, image));
}

} // namespace
