// Regions: the algebra checked against point sampling for every pair of a small fixture set,
// the scan-conversion rules of polygons and ellipses, and the RGNDATA byte layout.

#include "platform/gdi/region.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

namespace {

struct TFixture {
  const char* Name;
  std::function<HRGN()> Make;
};

const POINT Triangle[] = {{3, 1}, {15, 6}, {1, 13}};
const POINT Star[] = {{10, 0}, {16, 18}, {1, 7}, {19, 7}, {4, 18}};  // self-crossing

std::vector<TFixture> Fixtures() {
  return {
      {"empty", [] { return CreateRectRgn(0, 0, 0, 0); }},
      {"rect", [] { return CreateRectRgn(2, 2, 10, 8); }},
      {"overlapping rect", [] { return CreateRectRgn(5, 4, 14, 12); }},
      {"touching rect", [] { return CreateRectRgn(10, 2, 12, 8); }},
      {"disjoint rect", [] { return CreateRectRgn(16, 0, 20, 3); }},
      {"ellipse", [] { return CreateEllipticRgn(0, 0, 17, 12); }},
      {"triangle", [] { return CreatePolygonRgn(Triangle, 3, ALTERNATE); }},
      {"star winding", [] { return CreatePolygonRgn(Star, 5, WINDING); }},
      {"star alternate", [] { return CreatePolygonRgn(Star, 5, ALTERNATE); }},
      {"round rect", [] { return CreateRoundRectRgn(1, 3, 15, 14, 6, 4); }},
  };
}

bool Combine(int Mode, bool A, bool B) {
  switch (Mode) {
    case RGN_AND:
      return A && B;
    case RGN_OR:
      return A || B;
    case RGN_XOR:
      return A != B;
    case RGN_DIFF:
      return A && !B;
    default:
      return A;
  }
}

TEST(RegionTest, AlgebraMatchesPointSamplingForEveryPair) {
  const struct {
    int Mode;
    const char* Name;
  } modes[] = {{RGN_AND, "and"}, {RGN_OR, "or"}, {RGN_XOR, "xor"}, {RGN_DIFF, "diff"}, {RGN_COPY, "copy"}};
  auto fixtures = Fixtures();
  for (const TFixture& a : fixtures) {
    for (const TFixture& b : fixtures) {
      for (const auto& mode : modes) {
        SCOPED_TRACE(std::string(a.Name) + " " + mode.Name + " " + b.Name);
        HRGN ra = a.Make(), rb = b.Make(), result = CreateRectRgn(0, 0, 0, 0);
        int complexity = CombineRgn(result, ra, rb, mode.Mode);
        int inside = 0;
        for (int y = -2; y < 22; ++y)
          for (int x = -2; x < 24; ++x) {
            bool expected = Combine(mode.Mode, PtInRegion(ra, x, y), PtInRegion(rb, x, y));
            ASSERT_EQ(bool(PtInRegion(result, x, y)), expected) << x << "," << y;
            inside += expected;
          }
        RGNDATAHEADER header{};
        DWORD size = GetRegionData(result, 0, nullptr);
        std::vector<uint8_t> bytes(size);
        GetRegionData(result, size, reinterpret_cast<RGNDATA*>(bytes.data()));
        std::memcpy(&header, bytes.data(), sizeof(header));
        EXPECT_EQ(complexity, inside == 0 ? NULLREGION : header.nCount == 1 ? SIMPLEREGION : COMPLEXREGION);
        DeleteObject(ra);
        DeleteObject(rb);
        DeleteObject(result);
      }
    }
  }
}

TEST(RegionTest, CombineIntoOneOfItsSources) {
  HRGN a = CreateRectRgn(0, 0, 4, 4), b = CreateRectRgn(2, 2, 6, 6);
  EXPECT_EQ(CombineRgn(a, a, b, RGN_OR), COMPLEXREGION);
  EXPECT_TRUE(PtInRegion(a, 5, 5));
  EXPECT_TRUE(PtInRegion(a, 0, 0));
  EXPECT_FALSE(PtInRegion(a, 5, 0));
  EXPECT_EQ(CombineRgn(a, a, a, RGN_XOR), NULLREGION);
  EXPECT_EQ(CombineRgn(a, a, nullptr, RGN_OR), ERROR);
  EXPECT_EQ(CombineRgn(a, b, nullptr, RGN_COPY), SIMPLEREGION);  // COPY needs no second source
  EXPECT_TRUE(EqualRgn(a, b));
  DeleteObject(a);
  DeleteObject(b);
}

TEST(RegionTest, RectangleEdgesAndQueries) {
  HRGN region = CreateRectRgn(4, 6, 1, 2);  // reversed corners are put in order
  RECT box;
  EXPECT_EQ(GetRgnBox(region, &box), SIMPLEREGION);
  EXPECT_EQ(box, (RECT{1, 2, 4, 6}));
  // Left and top edges are in, right and bottom edges out.
  EXPECT_TRUE(PtInRegion(region, 1, 2));
  EXPECT_TRUE(PtInRegion(region, 3, 5));
  EXPECT_FALSE(PtInRegion(region, 4, 5));
  EXPECT_FALSE(PtInRegion(region, 3, 6));
  RECT touching{4, 2, 8, 6}, overlapping{3, 5, 8, 9}, reversed{8, 9, 3, 5};
  EXPECT_FALSE(RectInRegion(region, &touching));
  EXPECT_TRUE(RectInRegion(region, &overlapping));
  EXPECT_TRUE(RectInRegion(region, &reversed));
  EXPECT_EQ(OffsetRgn(region, 10, -2), SIMPLEREGION);
  GetRgnBox(region, &box);
  EXPECT_EQ(box, (RECT{11, 0, 14, 4}));
  EXPECT_TRUE(SetRectRgn(region, 0, 0, 0, 5));
  EXPECT_EQ(GetRgnBox(region, &box), NULLREGION);
  EXPECT_EQ(box, (RECT{0, 0, 0, 0}));
  DeleteObject(region);
  // Invalid handles answer the error values.
  EXPECT_EQ(GetRgnBox(nullptr, &box), ERROR);
  EXPECT_FALSE(PtInRegion(nullptr, 0, 0));
  EXPECT_EQ(OffsetRgn(region, 1, 1), ERROR);  // deleted
}

TEST(RegionTest, PolygonScanConversionRules) {
  struct TCase {
    const char* Name;
    std::vector<POINT> Points;
    int FillMode;
    RECT Equals;  // the polygon must give exactly this rectangle
  };
  const TCase rects[] = {
      {"axis square", {{0, 0}, {4, 0}, {4, 4}, {0, 4}}, ALTERNATE, {0, 0, 4, 4}},
      {"counter-clockwise", {{1, 1}, {1, 3}, {6, 3}, {6, 1}}, WINDING, {1, 1, 6, 3}},
      {"with collinear point", {{0, 0}, {2, 0}, {5, 0}, {5, 2}, {0, 2}}, ALTERNATE, {0, 0, 5, 2}},
  };
  for (const TCase& c : rects) {
    SCOPED_TRACE(c.Name);
    HRGN polygon = CreatePolygonRgn(c.Points.data(), int(c.Points.size()), c.FillMode);
    HRGN rect = CreateRectRgnIndirect(&c.Equals);
    EXPECT_TRUE(EqualRgn(polygon, rect));
    DeleteObject(polygon);
    DeleteObject(rect);
  }
  // The centre of a pentagram is covered twice: out with ALTERNATE, in with WINDING.
  HRGN alternate = CreatePolygonRgn(Star, 5, ALTERNATE);
  HRGN winding = CreatePolygonRgn(Star, 5, WINDING);
  EXPECT_FALSE(PtInRegion(alternate, 10, 10));
  EXPECT_TRUE(PtInRegion(winding, 10, 10));
  EXPECT_TRUE(PtInRegion(alternate, 10, 3));  // a tip
  DeleteObject(alternate);
  DeleteObject(winding);
  // Two triangles sharing a diagonal tile their square: no overlap, no gap.
  const POINT upper[] = {{0, 0}, {7, 0}, {7, 5}};
  const POINT lower[] = {{0, 0}, {7, 5}, {0, 5}};
  HRGN a = CreatePolygonRgn(upper, 3, ALTERNATE), b = CreatePolygonRgn(lower, 3, ALTERNATE);
  HRGN both = CreateRectRgn(0, 0, 0, 0), square = CreateRectRgn(0, 0, 7, 5);
  EXPECT_EQ(CombineRgn(both, a, b, RGN_AND), NULLREGION);
  CombineRgn(both, a, b, RGN_OR);
  EXPECT_TRUE(EqualRgn(both, square));
  for (HRGN r : {a, b, both, square}) DeleteObject(r);
  // Fewer than three distinct rows of edges give an empty region, not an error.
  const POINT line[] = {{0, 0}, {5, 0}};
  HRGN flat = CreatePolygonRgn(line, 2, ALTERNATE);
  RECT box;
  EXPECT_EQ(GetRgnBox(flat, &box), NULLREGION);
  DeleteObject(flat);
  EXPECT_EQ(CreatePolygonRgn(line, 2, 7), nullptr);  // unknown fill mode
}

TEST(RegionTest, EllipsesAreSymmetricAndInsideTheirBox) {
  const RECT boxes[] = {{0, 0, 17, 12}, {2, 3, 10, 11}, {0, 0, 1, 1}, {0, 0, 2, 9}, {5, 5, 40, 6}};
  for (const RECT& b : boxes) {
    SCOPED_TRACE(testing::Message() << b.left << "," << b.top << "," << b.right << "," << b.bottom);
    HRGN ellipse = CreateEllipticRgnIndirect(&b);
    RECT box;
    ASSERT_NE(GetRgnBox(ellipse, &box), NULLREGION);
    EXPECT_TRUE(box.left >= b.left && box.top >= b.top && box.right <= b.right && box.bottom <= b.bottom);
    // Round enough ellipses touch all four sides of their box.
    if (b.right - b.left >= 5 && b.bottom - b.top >= 5) {
      EXPECT_EQ(box, b);
    }
    for (int y = b.top; y < b.bottom; ++y)
      for (int x = b.left; x < b.right; ++x) {
        bool in = PtInRegion(ellipse, x, y);
        ASSERT_EQ(in, bool(PtInRegion(ellipse, b.left + b.right - 1 - x, y)));
        ASSERT_EQ(in, bool(PtInRegion(ellipse, x, b.top + b.bottom - 1 - y)));
      }
    EXPECT_TRUE(PtInRegion(ellipse, (b.left + b.right) / 2, (b.top + b.bottom) / 2));
    if (b.right - b.left > 4 && b.bottom - b.top > 4) {
      EXPECT_FALSE(PtInRegion(ellipse, b.left, b.top));
    }
    DeleteObject(ellipse);
  }
}

TEST(RegionTest, RegionDataByteLayout) {
  // An L shape: two bands.
  HRGN region = CreateRectRgn(0, 0, 6, 2);
  HRGN foot = CreateRectRgn(0, 2, 2, 5);
  CombineRgn(region, region, foot, RGN_OR);
  DWORD size = GetRegionData(region, 0, nullptr);
  ASSERT_EQ(size, 32u + 2 * 16u);
  std::vector<uint8_t> bytes(size);
  EXPECT_EQ(GetRegionData(region, size - 1, reinterpret_cast<RGNDATA*>(bytes.data())), 0u);
  ASSERT_EQ(GetRegionData(region, size, reinterpret_cast<RGNDATA*>(bytes.data())), size);
  const int32_t expected[] = {
      32, 1, 2, 32,  // dwSize, iType = RDH_RECTANGLES, nCount, nRgnSize
      0,  0, 6, 5,   // rcBound
      0,  0, 6, 2,   // the first band
      0,  2, 2, 5,   // the second band
  };
  ASSERT_EQ(sizeof(expected), bytes.size());
  EXPECT_EQ(std::memcmp(bytes.data(), expected, sizeof(expected)), 0);
  // Identical neighbouring bands merge: two stacked strips of the same width are one rectangle.
  HRGN strips = CreateRectRgn(0, 0, 3, 1), lower = CreateRectRgn(0, 1, 3, 2);
  EXPECT_EQ(CombineRgn(strips, strips, lower, RGN_OR), SIMPLEREGION);
  // Round trip.
  HRGN copy = ExtCreateRegion(nullptr, size, reinterpret_cast<RGNDATA*>(bytes.data()));
  ASSERT_NE(copy, nullptr);
  EXPECT_TRUE(EqualRgn(copy, region));
  for (HRGN r : {region, foot, strips, lower, copy}) DeleteObject(r);
}

TEST(RegionTest, ExtCreateRegionRejectsMalformedData) {
  struct TCase {
    const char* Name;
    std::vector<int32_t> Words;
    DWORD Size;  // 0 = the byte count of Words
    bool Valid;
  };
  const TCase cases[] = {
      {"one rect", {32, 1, 1, 16, 0, 0, 2, 2, 0, 0, 2, 2}, 0, true},
      {"no rects", {32, 1, 0, 0, 0, 0, 0, 0}, 0, true},
      {"unsorted overlapping", {32, 1, 2, 32, 0, 0, 9, 9, 5, 5, 9, 9, 0, 0, 6, 6}, 0, true},
      {"wrong header size", {40, 1, 1, 16, 0, 0, 2, 2, 0, 0, 2, 2}, 0, false},
      {"wrong type", {32, 2, 1, 16, 0, 0, 2, 2, 0, 0, 2, 2}, 0, false},
      {"count beyond the data", {32, 1, 2, 32, 0, 0, 2, 2, 0, 0, 2, 2}, 0, false},
      {"size below the header", {32, 1, 0, 0, 0, 0, 0, 0}, 31, false},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    DWORD size = c.Size ? c.Size : DWORD(c.Words.size() * 4);
    HRGN region = ExtCreateRegion(nullptr, size, reinterpret_cast<const RGNDATA*>(c.Words.data()));
    EXPECT_EQ(region != nullptr, c.Valid);
    if (region) DeleteObject(region);
  }
}

}  // namespace
