#include "bytes/LittleEndian.h"
#include "compatkit/CKBitmapHeader.h"
#include "compatkit/CKDibSizes.h"
#include "pixkit/PXPixMap.h"
#include "pixkit/PXPixMapToDIB.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::span<uint8_t> Bytes(BKHandle h) { return {BKHandleData(h), BKHandleSize(h)}; }

TEST(PixKitTest, DamagedPicturesAreNotRead) {
    BKHandle h = PXNewPixMap(3, 2, PXPixelFormat::Rgb32);
    auto info = PXReadPixMapInfo(h);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->rowBytes, 12);
    EXPECT_EQ(BKHandleSize(h), kPXHeaderSize + 24);
    std::vector<uint8_t> good(Bytes(h).begin(), Bytes(h).end());
    BKDisposeHandle(h);

    auto damaged = [&](size_t offset, uint32_t value, size_t width = 4) {
        auto b = good;
        if (width == 4) LE::Put<uint32_t>(b, offset, value); else LE::Put<uint16_t>(b, offset, static_cast<uint16_t>(value));
        return !PXReadPixMapInfo(b).has_value();
    };
    EXPECT_TRUE(damaged(0, 0x4D585052));       // magic
    EXPECT_TRUE(damaged(4, 2, 2));             // version
    EXPECT_TRUE(damaged(6, 3, 2));             // pixel format
    EXPECT_TRUE(damaged(8, 0));                // width
    EXPECT_TRUE(damaged(12, 0x80000000));      // negative height
    EXPECT_TRUE(damaged(16, 11));              // rows shorter than the pixels
    EXPECT_TRUE(damaged(16, 0x7FFFFFFF));      // rows past the block
    EXPECT_TRUE(damaged(20, 1));               // a colour table on a 32-bit picture
    good.pop_back();
    EXPECT_FALSE(PXReadPixMapInfo(good).has_value()); // one byte short
    EXPECT_EQ(PXNewPixMap(0, 5, PXPixelFormat::Rgb32), 0u);
    EXPECT_EQ(PXNewPixMap(4, 4, PXPixelFormat::Indexed8, 257), 0u);
}

TEST(PixKitTest, TrueColourPicturesBecomeBottomUp32BitBitmaps) {
    BKHandle h = PXNewPixMap(2, 2, PXPixelFormat::Rgb32);
    auto info = PXReadPixMapInfo(h);
    uint8_t* px = BKHandleData(h) + info->pixelOffset;
    for (int i = 0; i < 16; ++i) px[i] = static_cast<uint8_t>(i + 1); // top row 1..8, bottom row 9..16
    BKHandle dib = PXPixMapToDIB(h);
    ASSERT_NE(dib, 0u);
    auto header = CKReadBitmapHeader(Bytes(dib));
    ASSERT_TRUE(header);
    EXPECT_EQ(header->biWidth, 2);
    EXPECT_EQ(header->biHeight, 2);
    EXPECT_EQ(header->biBitCount, 32);
    EXPECT_EQ(header->biCompression, kCKBiRgb);
    uint32_t headerSize = 0, imageSize = 0;
    ASSERT_TRUE(CKGetDIBSizes(Bytes(dib), headerSize, imageSize));
    EXPECT_EQ(headerSize, 40u);
    EXPECT_EQ(imageSize, 16u);
    const uint8_t* bits = BKHandleData(dib) + headerSize;
    EXPECT_EQ(bits[0], 9);  // the bottom row first
    EXPECT_EQ(bits[8], 1);
    BKDisposeHandle(dib);
    BKDisposeHandle(h);
    EXPECT_EQ(PXPixMapToDIB(0), 0u);
}

TEST(PixKitTest, IndexedPicturesKeepTheirTableAndPadTheirRows) {
    BKHandle full = PXNewPixMap(3, 2, PXPixelFormat::Indexed8, 256);
    BKHandle part = PXNewPixMap(3, 2, PXPixelFormat::Indexed8, 16);
    auto info = PXReadPixMapInfo(part);
    uint8_t* data = BKHandleData(part);
    LE::Put<uint32_t>(Bytes(part), info->colourTableOffset + 4, 0x00112233);
    data[info->pixelOffset] = 1; // top left
    BKHandle dibFull = PXPixMapToDIB(full), dibPart = PXPixMapToDIB(part);
    EXPECT_EQ(CKReadBitmapHeader(Bytes(dibFull))->biClrUsed, 0u); // a full table
    EXPECT_EQ(CKReadBitmapHeader(Bytes(dibPart))->biClrUsed, 16u);
    uint32_t headerSize = 0, imageSize = 0;
    ASSERT_TRUE(CKGetDIBSizes(Bytes(dibFull), headerSize, imageSize));
    EXPECT_EQ(headerSize, 40u + 1024);
    EXPECT_EQ(imageSize, 8u); // rows of 3 padded to 4
    ASSERT_TRUE(CKGetDIBSizes(Bytes(dibPart), headerSize, imageSize));
    EXPECT_EQ(headerSize, 40u + 64);
    EXPECT_EQ(LE::Get<uint32_t>(Bytes(dibPart), 40 + 4), 0x00112233u);
    EXPECT_EQ(BKHandleData(dibPart)[headerSize + 4], 1); // top row stored second
    for (BKHandle h : {full, part, dibFull, dibPart}) BKDisposeHandle(h);
}

} // namespace
