// The portable decoders: DDS level arithmetic and DXT blocks, size limits, TGA/BMP/PNG edge
// cases and damaged input.
#include <gtest/gtest.h>

#include "decode/bmp.h"
#include "decode/dds.h"
#include "decode/image_decode.h"
#include "decode/png_indexed.h"
#include "decode/tga.h"
#include "test_files.h"

namespace {

using namespace imagelib;
using testfiles::Bytes;

TEST(DdsLevels, SizesFollowTheBlockRule) {
  uint32_t w = 64, h = 64;
  std::vector<uint64_t> sizes;
  for (int i = 0; i < 7; ++i, w = HalfEdge(w), h = HalfEdge(h)) {
    sizes.push_back(DxtcLevelSize(kDxt1, w, h, 1));
  }
  EXPECT_EQ(sizes, (std::vector<uint64_t>{2048, 512, 128, 32, 8, 8, 8}));
  EXPECT_EQ(DxtcLevelSize(kDxt5, 64, 64, 1), 4096u);
  EXPECT_EQ(DxtcLevelSize(kDxt3, 5, 3, 2), 2u * 16 * 2);
  // No wrap at the largest edges a header can declare.
  EXPECT_EQ(DxtcLevelSize(kDxt5, 0xFFFFFFFFu, 0xFFFFFFFFu, 1), 0x40000000ull * 0x40000000ull * 16);
}

TEST(DdsHeader, DeclaredLevelsAreLimitedToTheChain) {
  DdsHeader header;
  ASSERT_TRUE(ParseDdsHeader(testfiles::Dds(4, 4, "DXT5", 20, {}).data(), 128, header));
  EXPECT_EQ(header.levels, 3u);
  EXPECT_EQ(header.dxtcFormat, kDxt5);
  ASSERT_TRUE(ParseDdsHeader(testfiles::Dds(4, 4, "DXT1", 0, {}).data(), 128, header));
  EXPECT_EQ(header.levels, 1u);
  EXPECT_FALSE(ParseDdsHeader(testfiles::Dds(0, 4, "DXT1", 1, {}).data(), 128, header));
  EXPECT_FALSE(ParseDdsHeader(testfiles::Dds(4, 4, "ATI2", 1, {}).data(), 128, header));
  EXPECT_FALSE(ParseDdsHeader(testfiles::Dds(4, 4, "DXT1", 1, {}, 0x200).data(), 128, header));
  EXPECT_FALSE(ParseDdsHeader(testfiles::Dds(4, 4, "DXT1", 1, {}).data(), 127, header));
}

TEST(DdsDecode, ShortOrHugeFilesFail) {
  Bytes block = {0, 0, 0, 0, 0, 0, 0, 0};
  Bytes twoLevels = testfiles::Dxt1Chain(8, 8, 2, block);
  DecodedImage out;
  out.width = 99;
  Bytes file = testfiles::Dds(8, 8, "DXT1", 3, twoLevels);  // third level missing
  EXPECT_EQ(DecodeDds(file.data(), file.size(), true, out), DecodeStatus::invalidData);
  EXPECT_EQ(out.width, 99u);
  file = testfiles::Dds(8, 8, "DXT1", 2, twoLevels);
  ASSERT_EQ(DecodeDds(file.data(), file.size(), false, out), DecodeStatus::ok);
  EXPECT_EQ(out.mipmaps.size(), 1u);
  EXPECT_EQ(out.dxtcFormat, kDxtNone);
  EXPECT_TRUE(out.dxtcData.empty());
  file = testfiles::Dds(65536, 65536, "DXT5", 1, Bytes(16));
  EXPECT_EQ(DecodeDds(file.data(), file.size(), true, out), DecodeStatus::tooLarge);
  file = testfiles::Dds(16384, 16384, "DXT1", 1, Bytes(16));
  EXPECT_EQ(DecodeDds(file.data(), file.size(), true, out), DecodeStatus::invalidData);
}

TEST(DxtBlocks, Dxt1ThreeColourModeHasTransparentBlack) {
  // c0 = 0x0841 <= c1 = 0x1082; indices 0, 1, 2, 3 along the first row.
  Bytes block = {0x41, 0x08, 0x82, 0x10, 0xE4, 0, 0, 0};
  uint8_t rgba[2 * 2 * 4];
  DecompressDxtc(kDxt1, block.data(), 2, 2, 1, rgba);  // a partial block: only 2 x 2 written
  EXPECT_EQ(Bytes(rgba, rgba + 8), (Bytes{8, 8, 8, 255, 16, 16, 16, 255}));
  DecompressDxtc(kDxt1, block.data(), 1, 1, 1, rgba);
  uint8_t row[16];
  Bytes wide = block;
  DecompressDxtc(kDxt1, wide.data(), 4, 1, 1, row);
  EXPECT_EQ(Bytes(row + 8, row + 16), (Bytes{12, 12, 12, 255, 13, 13, 13, 0}));
}

TEST(DxtBlocks, Dxt5AlphaRampsAndDxt3Nibbles) {
  // Alpha 200 > 13: eight-value ramp, rounded; indices 0..7 for the first eight pixels.
  uint64_t indices = 0;
  for (int i = 0; i < 8; ++i) indices |= uint64_t(i) << (3 * i);
  Bytes block = {200, 13};
  for (int i = 0; i < 6; ++i) block.push_back(uint8_t(indices >> (8 * i)));
  Bytes colour = {0xFF, 0xFF, 0, 0, 0, 0, 0, 0};
  block.insert(block.end(), colour.begin(), colour.end());
  uint8_t rgba[4 * 4 * 4];
  DecompressDxtc(kDxt5, block.data(), 4, 4, 1, rgba);
  Bytes alpha;
  for (int i = 0; i < 8; ++i) alpha.push_back(rgba[4 * i + 3]);
  EXPECT_EQ(alpha, (Bytes{200, 13, 173, 147, 120, 93, 66, 40}));
  EXPECT_EQ(Bytes(rgba, rgba + 3), (Bytes{255, 255, 255}));

  Bytes dxt3 = {0x10, 0xF0, 0, 0, 0, 0, 0, 0, 0x1F, 0, 0, 0, 0, 0, 0, 0};
  DecompressDxtc(kDxt3, dxt3.data(), 4, 4, 1, rgba);
  EXPECT_EQ(rgba[3], 0);
  EXPECT_EQ(rgba[7], 17);
  EXPECT_EQ(rgba[15], 255);
  EXPECT_EQ(rgba[2], 255);  // blue 0x1F
}

TEST(SizeLimits, ByteCountsStayWithin32Bits) {
  EXPECT_TRUE(SizeAcceptable(16384, 16384, 1, 4));
  EXPECT_FALSE(SizeAcceptable(65536, 65536, 1, 1));
  EXPECT_FALSE(SizeAcceptable(65535, 65535, 1, 4));
  EXPECT_FALSE(SizeAcceptable(1024, 1024, 1024, 4));
  EXPECT_FALSE(SizeAcceptable(0, 1, 1, 1));
  EXPECT_FALSE(SizeAcceptable(70000, 1, 1, 1));
}

TEST(Tga, RunsAndDamage) {
  // RLE 24-bit, 3 x 1: a repeat packet of 2 then a raw packet of 1.
  Bytes file = {0, 0, 10, 0,  0, 0,    0, 0, 0, 0,    0, 0, 3,
                0, 1, 0,  24, 0, 0x81, 1, 2, 3, 0x00, 4, 5, 6};
  DecodedImage out;
  ASSERT_EQ(DecodeTga(file.data(), file.size(), out), DecodeStatus::ok);
  EXPECT_EQ(out.pixels, (Bytes{1, 2, 3, 1, 2, 3, 4, 5, 6}));
  file.resize(file.size() - 1);
  EXPECT_EQ(DecodeTga(file.data(), file.size(), out), DecodeStatus::invalidData);
  // A run longer than the picture is cut at its end.
  Bytes longRun = {0, 0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 1, 0, 24, 0, 0xFF, 9, 8, 7};
  ASSERT_EQ(DecodeTga(longRun.data(), longRun.size(), out), DecodeStatus::ok);
  EXPECT_EQ(out.pixels.size(), 6u);
  // 16-bit colour widens to BGR.
  Bytes sixteen = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 1, 0, 16, 0, 0x1F, 0x7C};
  ASSERT_EQ(DecodeTga(sixteen.data(), sixteen.size(), out), DecodeStatus::ok);
  EXPECT_EQ(out.format, uint32_t(kFormatBgr));
  EXPECT_EQ(out.pixels, (Bytes{255, 0, 255}));
  EXPECT_FALSE(LooksLikeTga(sixteen.data(), 17));
}

Bytes Bmp(int32_t width, int32_t height, uint16_t bits, uint32_t compression, const Bytes& pixels) {
  Bytes out(54, 0);
  out[0] = 'B';
  out[1] = 'M';
  testfiles::Put32(out, 10, 54);
  testfiles::Put32(out, 14, 40);
  testfiles::Put32(out, 18, uint32_t(width));
  testfiles::Put32(out, 22, uint32_t(height));
  out[26] = 1;
  out[28] = uint8_t(bits);
  testfiles::Put32(out, 30, compression);
  testfiles::Append(out, pixels);
  return out;
}

TEST(Bmp, StoredOrderPaddingAndDamage) {
  // 1 x 2, rows padded to 4 bytes; top-down storage keeps its order too.
  Bytes rows = {1, 2, 3, 0, 4, 5, 6, 0};
  DecodedImage out;
  Bytes file = Bmp(1, -2, 24, 0, rows);
  ASSERT_EQ(DecodeBmp(file.data(), file.size(), out), DecodeStatus::ok);
  EXPECT_EQ(out.pixels, (Bytes{1, 2, 3, 4, 5, 6}));
  file = Bmp(1, 2, 24, 0, Bytes(rows.begin(), rows.end() - 1));
  EXPECT_EQ(DecodeBmp(file.data(), file.size(), out), DecodeStatus::invalidData);
  file = Bmp(1, 2, 8, 1, rows);  // run-length coded: not read
  EXPECT_EQ(DecodeBmp(file.data(), file.size(), out), DecodeStatus::invalidHeader);
  file = Bmp(0x7FFFFFFF, 0x7FFFFFFF, 32, 0, rows);
  EXPECT_EQ(DecodeBmp(file.data(), file.size(), out), DecodeStatus::tooLarge);
  // 1-bit indices unpack to one byte each.
  file = Bmp(10, 1, 1, 0, {0xA5, 0xC0, 0, 0});
  ASSERT_EQ(DecodeBmp(file.data(), file.size(), out), DecodeStatus::ok);
  EXPECT_EQ(out.pixels, (Bytes{1, 0, 1, 0, 0, 1, 0, 1, 1, 1}));
}

uint32_t Adler32(const Bytes& data) {
  uint32_t a = 1, b = 0;
  for (uint8_t byte : data) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  return b << 16 | a;
}

// A palettised PNG whose image data is one stored (uncompressed) deflate block.
Bytes IndexedPng(uint32_t width, uint32_t height, uint8_t bits, const Bytes& filtered) {
  auto be32 = [](Bytes& out, uint32_t v) {
    for (int i = 3; i >= 0; --i) out.push_back(uint8_t(v >> (8 * i)));
  };
  auto chunk = [&](Bytes& out, const char* type, const Bytes& data) {
    be32(out, uint32_t(data.size()));
    testfiles::Append(out, Bytes(type, type + 4));
    testfiles::Append(out, data);
    be32(out, 0);  // CRC is not checked
  };
  Bytes png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  Bytes ihdr;
  be32(ihdr, width);
  be32(ihdr, height);
  ihdr.insert(ihdr.end(), {bits, 3, 0, 0, 0});
  chunk(png, "IHDR", ihdr);
  chunk(png, "PLTE", Bytes(3 * 16, 0x80));
  // clang-format off
  Bytes z = {0x78, 0x01, 0x01, uint8_t(filtered.size()), uint8_t(filtered.size() >> 8),
             uint8_t(~filtered.size()), uint8_t(~filtered.size() >> 8)};
  // clang-format on
  testfiles::Append(z, filtered);
  be32(z, Adler32(filtered));
  chunk(png, "IDAT", z);
  chunk(png, "IEND", {});
  return png;
}

TEST(IndexedPng, UnpacksIndicesAndUndoesFilters) {
  // 3 x 2 at 4 bits: row 0 unfiltered, row 1 "up" filtered (adds row 0).
  Bytes png = IndexedPng(3, 2, 4, {0, 0x12, 0x30, 2, 0x11, 0x10});
  DecodedImage out;
  ASSERT_TRUE(IsIndexedPng(png.data(), png.size()));
  ASSERT_EQ(DecodeIndexedPng(png.data(), png.size(), out), DecodeStatus::ok);
  EXPECT_EQ(out.format, uint32_t(kFormatColourIndex));
  EXPECT_EQ(out.pixels, (Bytes{1, 2, 3, 2, 3, 4}));
}

TEST(IndexedPng, DamagedDataFails) {
  DecodedImage out;
  Bytes badFilter = IndexedPng(3, 1, 8, {7, 1, 2, 3});
  EXPECT_EQ(DecodeIndexedPng(badFilter.data(), badFilter.size(), out), DecodeStatus::invalidData);
  Bytes shortData = IndexedPng(3, 2, 8, {0, 1, 2, 3});
  EXPECT_EQ(DecodeIndexedPng(shortData.data(), shortData.size(), out), DecodeStatus::invalidData);
  Bytes huge = IndexedPng(0x10000000, 0x10000000, 8, {0});
  EXPECT_EQ(DecodeIndexedPng(huge.data(), huge.size(), out), DecodeStatus::tooLarge);
  Bytes cut = IndexedPng(3, 1, 8, {0, 1, 2, 3});
  cut.resize(40);
  EXPECT_NE(DecodeIndexedPng(cut.data(), cut.size(), out), DecodeStatus::ok);
}

TEST(FileType, ExtensionFirstThenContents) {
  Bytes png = IndexedPng(1, 1, 8, {0, 0});
  EXPECT_EQ(TypeOfExtension("PNG"), FileType::png);
  EXPECT_EQ(TypeOfExtension("Jpeg"), FileType::jpeg);
  EXPECT_EQ(TypeOfExtension("txt"), FileType::unknown);
  EXPECT_EQ(TypeOfContents(png.data(), png.size()), FileType::png);
  Bytes text = {'h', 'e', 'l', 'l', 'o'};
  EXPECT_EQ(TypeOfContents(text.data(), text.size()), FileType::unknown);
  DecodedImage out;
  EXPECT_EQ(DecodeImage(png.data(), png.size(), "noext", false, out), DecodeStatus::ok);
  EXPECT_EQ(DecodeImage(png.data(), png.size(), "dir.d/picture.tga", false, out),
            DecodeStatus::invalidHeader);
  EXPECT_EQ(DecodeImage(text.data(), text.size(), "a.bin", false, out), DecodeStatus::unknownType);
}

}  // namespace
