// Random numbers, colours, decimal text, numbered tables and pixel values of the 2D benchmark.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "screen/numbers.h"
#include "screen/pixels.h"
#include "screen/random.h"
#include "screen/table.h"

namespace {

uint32_t FixedTicks() { return 12345; }

void ResetGenerator(TickSource ticks) {
  randomState = RandomState{};
  SetRandomTickSource(ticks);
}

// The generator written out again from its description: 34 seed words, lags 0 and 10 walking
// down, 31 dropped outputs, and a 128-bit product for the scaling.
struct Reference {
  uint32_t words[34];  // entry n: low = words[2n], high = words[2n + 1]
  int a = 0, b = 10;

  explicit Reference(uint32_t seed) {
    for (uint32_t& w : words) w = seed = seed * 0xAC564B05u + 1;
    for (int i = 0; i < 31; ++i) Next();
  }
  static uint32_t Rot(uint32_t v, int n) { return (v << n) | (v >> (32 - n)); }
  uint64_t Next() {
    uint32_t low = Rot(words[2 * a + 1], 27) + words[2 * b + 1];
    uint32_t high = Rot(words[2 * a], 19) + words[2 * b];
    words[2 * a] = low;
    words[2 * a + 1] = high;
    a = (a + 16) % 17;
    b = (b + 16) % 17;
    return uint64_t{high} << 32 | low;
  }
  int32_t UpTo(int32_t max) {
    uint64_t r = Next();
    if (max < 0) return INT32_MIN;
    // (r * (max + 1)) >> 64 in 64-bit halves: i686 has no 128-bit integers.
    uint64_t range = uint64_t{uint32_t(max)} + 1;
    uint64_t high = (r >> 32) * range + (((r & 0xffffffffu) * range) >> 32);
    return static_cast<int32_t>(high >> 32);
  }
};

TEST(Random, FollowsTheGeneratorForAFixedSeed) {
  ResetGenerator(FixedTicks);
  Reference reference(12345);
  const int32_t maxima[] = {255, 255, 255, 588, 635, 0, INT32_MAX, 1, 7};
  for (int round = 0; round < 200; ++round) {
    for (int32_t max : maxima) {
      int32_t got = RandomUpTo(max);
      ASSERT_EQ(reference.UpTo(max), got) << "round " << round << " max " << max;
      ASSERT_GE(got, 0);
      ASSERT_LE(got, max);
    }
  }
}

// Values worked out separately (outside C++) from the same description.
TEST(Random, FirstValuesForSeed12345) {
  ResetGenerator(FixedTicks);
  EXPECT_EQ(71, RandomUpTo(255));
  EXPECT_EQ(181, RandomUpTo(255));
  EXPECT_EQ(169, RandomUpTo(255));
  EXPECT_EQ(200, RandomUpTo(588));
  EXPECT_EQ(372, RandomUpTo(635));
  EXPECT_EQ(0, RandomUpTo(0));
  EXPECT_EQ(649155423, RandomUpTo(INT32_MAX));
}

TEST(Random, ZeroAndNegativeMaximaStillAdvance) {
  ResetGenerator(FixedTicks);
  Reference reference(12345);
  for (int i = 0; i < 50; ++i) EXPECT_EQ(0, RandomUpTo(0));
  EXPECT_EQ(INT32_MIN, RandomUpTo(-1));
  EXPECT_EQ(INT32_MIN, RandomUpTo(INT32_MIN));
  for (int i = 0; i < 52; ++i) reference.Next();
  EXPECT_EQ(reference.UpTo(635), RandomUpTo(635));
}

TEST(Random, SeedsOnceFromTheTickSource) {
  static int calls;
  calls = 0;
  ResetGenerator([]() -> uint32_t { return ++calls == 1 ? 777u : 999u; });
  Reference reference(777);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(reference.UpTo(255), RandomUpTo(255));
  EXPECT_EQ(1, calls);
  ResetGenerator([]() -> uint32_t { return 778; });
  Reference other(777);
  bool differs = false;
  for (int i = 0; i < 10; ++i) differs |= other.UpTo(635) != RandomUpTo(635);
  EXPECT_TRUE(differs);
}

TEST(Numbers, MakeColorPacksAndSpills) {
  EXPECT_EQ(0xFFFF05u, MakeColor(5, 255, 255));
  EXPECT_EQ(0u, MakeColor(0, 0, 0));
  EXPECT_EQ(0x000100u, MakeColor(256, 0, 0));  // red spills into green
  EXPECT_EQ(0x010000u, MakeColor(0, 256, 0));
  EXPECT_EQ(0x01000000u, MakeColor(0, 0, 256));
  EXPECT_EQ(0x123456u, MakeColor(0x56, 0x34, 0x12));
}

TEST(Numbers, IntToTextGivesPlainDecimal) {
  EXPECT_STREQ("0", IntToText(0));
  EXPECT_STREQ("7", IntToText(7));
  EXPECT_STREQ("1000", IntToText(1000));
  EXPECT_STREQ("-42", IntToText(-42));
  EXPECT_STREQ("2147483647", IntToText(INT32_MAX));
  EXPECT_STREQ("-2147483648", IntToText(INT32_MIN));
}

// An element as the layer's tables hold them: a handle or pointer first, then other data.
struct Element {
  uintptr_t key;
  uint32_t extra;
};

std::vector<int32_t> freed;
void RecordFree(NumberedTable* table, int32_t number) {
  freed.push_back(number);
  static_cast<Element*>(TableSlot(table, number))->key = 0;
}

TEST(NumberedTable, GrowsKeepsFreesAndLooksUp) {
  freed.clear();
  NumberedTable* table = CreateTable(StandardAllocator(), sizeof(Element), 4, RecordFree);
  ASSERT_NE(nullptr, table);
  EXPECT_EQ(4, table->capacity);
  EXPECT_EQ(nullptr, LookupTableSlot(table, 1));  // never filled
  EXPECT_EQ(nullptr, LookupTableSlot(table, -1));
  EXPECT_EQ(nullptr, LookupTableSlot(table, 4));
  EXPECT_EQ(nullptr, TakeTableSlot(table, -3));

  auto* one = static_cast<Element*>(TakeTableSlot(table, 1));
  ASSERT_NE(nullptr, one);
  *one = Element{11, 12};
  EXPECT_EQ(std::vector<int32_t>{1}, freed);  // refill frees first, even an empty slot
  EXPECT_EQ(one, LookupTableSlot(table, 1));

  // Asking beyond the end grows to number + step and keeps the contents.
  auto* ten = static_cast<Element*>(TakeTableSlot(table, 10));
  ASSERT_NE(nullptr, ten);
  ten->key = 100;
  EXPECT_EQ(14, table->capacity);
  auto* kept = static_cast<Element*>(LookupTableSlot(table, 1));
  ASSERT_NE(nullptr, kept);
  EXPECT_EQ(11u, kept->key);
  EXPECT_EQ(12u, kept->extra);
  for (int32_t n = 4; n < 14; ++n) {
    if (n != 10) {
      EXPECT_EQ(nullptr, LookupTableSlot(table, n)) << n;
    }
  }

  // An element whose first word is zero counts as empty, whatever follows it.
  kept->key = 0;
  EXPECT_EQ(nullptr, LookupTableSlot(table, 1));
  kept->key = 11;

  freed.clear();
  FreeTableSlots(table);
  EXPECT_EQ((std::vector<int32_t>{1, 10}), freed);
  EXPECT_EQ(nullptr, LookupTableSlot(table, 10));
  DestroyTable(table);
}

TEST(NumberedTable, RefusesBadShapes) {
  EXPECT_EQ(nullptr, CreateTable(StandardAllocator(), 0, 4, nullptr));
  EXPECT_EQ(nullptr, CreateTable(StandardAllocator(), 4, 0, nullptr));
  EXPECT_EQ(nullptr, TakeTableSlot(nullptr, 0));
  NumberedTable* table = CreateTable(StandardAllocator(), 4, 16, nullptr);
  EXPECT_EQ(nullptr, TakeTableSlot(table, INT32_MAX));  // growth would overflow
  EXPECT_EQ(16, table->capacity);
  DestroyTable(table);
}

TEST(Pixels, FillValuePerDepth) {
  const uint32_t color = MakeColor(0xFF, 0x80, 0x10);  // red 255, green 128, blue 16
  EXPECT_EQ((255u / 8) * 1024 + (128u / 8) * 32 + 16u / 8, FillValue(color, 15, 1));
  EXPECT_EQ((255u / 8) * 2048 + (128u / 4) * 32 + 16u / 8, FillValue(color, 16, 3));
  EXPECT_EQ(FillValue(color, 16, 3), FillValue(color, 16, 2));  // 5-6-5 whatever the format
  EXPECT_EQ(0x1080FFu, FillValue(color, 32, 6));
  EXPECT_EQ(0x1080FFu, FillValue(color, 24, 4));
  EXPECT_EQ(0xFF8010u, FillValue(color, 32, 7));
  EXPECT_EQ(0xFF8010u, FillValue(color, 24, 5));
  EXPECT_EQ(0u, FillValue(color, 8, 1));
  EXPECT_EQ(0xF800u, FillValue(0x0000FF, 16, 3));
  EXPECT_EQ(0x001Fu, FillValue(0xFF0000, 16, 3));
  for (int32_t depth : {15, 16, 24, 32}) EXPECT_EQ(0u, FillValue(0, depth, 6));
}

TEST(Pixels, FormatCodes) {
  EXPECT_EQ(6, PixelFormatCode(32, 0xFF, 0));
  EXPECT_EQ(7, PixelFormatCode(32, 0xFF0000, 0));
  EXPECT_EQ(4, PixelFormatCode(24, 0xFF, 0));
  EXPECT_EQ(5, PixelFormatCode(24, 0xFF0000, 0));
  EXPECT_EQ(3, PixelFormatCode(16, 0xF800, 0x7E0));
  EXPECT_EQ(2, PixelFormatCode(16, 0x7C00, 0x3E0));
  EXPECT_EQ(1, PixelFormatCode(8, 0, 0));
}

}  // namespace
