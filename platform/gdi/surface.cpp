#include "platform/gdi/surface.h"

#include <cstring>

#include "platform/gdi/bitmap.h"

namespace gdi {

void ReadRow(const TPixelSurface& Surface, int X, int Y, int Count, uint32_t* Values) {
  const uint8_t* row = Surface.Row(Y);
  switch (Surface.BitCount) {
    case 32:
      std::memcpy(Values, row + size_t(X) * 4, size_t(Count) * 4);
      break;
    case 24: {
      const uint8_t* p = row + size_t(X) * 3;
      for (int i = 0; i < Count; ++i, p += 3)
        Values[i] = uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16);
      break;
    }
    case 16: {
      const uint8_t* p = row + size_t(X) * 2;
      for (int i = 0; i < Count; ++i, p += 2) {
        uint32_t v = uint32_t(p[0]) | (uint32_t(p[1]) << 8);
        uint32_t r = (v >> 10) & 31, g = (v >> 5) & 31, b = v & 31;
        Values[i] = (((r << 3) | (r >> 2)) << 16) | (((g << 3) | (g >> 2)) << 8) | ((b << 3) | (b >> 2));
      }
      break;
    }
    case 8:
      for (int i = 0; i < Count; ++i) Values[i] = row[X + i];
      break;
    case 4:
      for (int i = 0; i < Count; ++i) {
        int x = X + i;
        Values[i] = (x & 1) ? (row[x >> 1] & 0x0F) : (row[x >> 1] >> 4);
      }
      break;
    case 1: {
      int x = X;
      int i = 0;
      // Whole bytes when aligned.
      while (i < Count && (x & 7)) {
        Values[i++] = (row[x >> 3] >> (7 - (x & 7))) & 1;
        ++x;
      }
      while (Count - i >= 8) {
        uint8_t byte = row[x >> 3];
        for (int bit = 0; bit < 8; ++bit) Values[i + bit] = (byte >> (7 - bit)) & 1;
        i += 8;
        x += 8;
      }
      while (i < Count) {
        Values[i++] = (row[x >> 3] >> (7 - (x & 7))) & 1;
        ++x;
      }
      break;
    }
    default:
      std::memset(Values, 0, size_t(Count) * 4);
  }
}

static inline void Store16(uint8_t* P, uint32_t V) {
  uint32_t packed = (((V >> 19) & 31) << 10) | (((V >> 11) & 31) << 5) | ((V >> 3) & 31);
  P[0] = uint8_t(packed);
  P[1] = uint8_t(packed >> 8);
}

static inline void StoreBit(uint8_t* Row, int X, uint32_t V) {
  uint8_t mask = uint8_t(0x80 >> (X & 7));
  if (V & 1)
    Row[X >> 3] |= mask;
  else
    Row[X >> 3] &= uint8_t(~mask);
}

static inline void StoreNibble(uint8_t* Row, int X, uint32_t V) {
  uint8_t& byte = Row[X >> 1];
  if (X & 1)
    byte = uint8_t((byte & 0xF0) | (V & 0x0F));
  else
    byte = uint8_t((byte & 0x0F) | ((V & 0x0F) << 4));
}

void WriteRow(const TPixelSurface& Surface, int X, int Y, int Count, const uint32_t* Values) {
  uint8_t* row = Surface.Row(Y);
  switch (Surface.BitCount) {
    case 32:
      std::memcpy(row + size_t(X) * 4, Values, size_t(Count) * 4);
      break;
    case 24: {
      uint8_t* p = row + size_t(X) * 3;
      for (int i = 0; i < Count; ++i, p += 3) {
        uint32_t v = Values[i];
        p[0] = uint8_t(v);
        p[1] = uint8_t(v >> 8);
        p[2] = uint8_t(v >> 16);
      }
      break;
    }
    case 16:
      for (int i = 0; i < Count; ++i) Store16(row + size_t(X + i) * 2, Values[i]);
      break;
    case 8:
      for (int i = 0; i < Count; ++i) row[X + i] = uint8_t(Values[i]);
      break;
    case 4:
      for (int i = 0; i < Count; ++i) StoreNibble(row, X + i, Values[i]);
      break;
    case 1:
      for (int i = 0; i < Count; ++i) StoreBit(row, X + i, Values[i]);
      break;
    default:
      break;
  }
}

void WriteRowMasked(const TPixelSurface& Surface, int X, int Y, int Count, const uint32_t* Values,
                    const uint8_t* Mask) {
  uint8_t* row = Surface.Row(Y);
  for (int i = 0; i < Count; ++i) {
    if (!Mask[i]) continue;
    uint32_t v = Values[i];
    int x = X + i;
    switch (Surface.BitCount) {
      case 32:
        std::memcpy(row + size_t(x) * 4, &v, 4);
        break;
      case 24: {
        uint8_t* p = row + size_t(x) * 3;
        p[0] = uint8_t(v);
        p[1] = uint8_t(v >> 8);
        p[2] = uint8_t(v >> 16);
        break;
      }
      case 16:
        Store16(row + size_t(x) * 2, v);
        break;
      case 8:
        row[x] = uint8_t(v);
        break;
      case 4:
        StoreNibble(row, x, v);
        break;
      case 1:
        StoreBit(row, x, v);
        break;
      default:
        break;
    }
  }
}

void FillRow(const TPixelSurface& Surface, int X, int Y, int Count, uint32_t Value) {
  if (Count <= 0) return;
  uint8_t* row = Surface.Row(Y);
  switch (Surface.BitCount) {
    case 32: {
      uint32_t* p = reinterpret_cast<uint32_t*>(row) + X;
      // Rows of 32-bit surfaces are 4-byte aligned (strides are multiples of 4).
      for (int i = 0; i < Count; ++i) p[i] = Value;
      break;
    }
    case 24: {
      uint8_t b = uint8_t(Value), g = uint8_t(Value >> 8), r = uint8_t(Value >> 16);
      uint8_t* p = row + size_t(X) * 3;
      if (b == g && g == r) {
        std::memset(p, b, size_t(Count) * 3);
      } else {
        for (int i = 0; i < Count; ++i, p += 3) {
          p[0] = b;
          p[1] = g;
          p[2] = r;
        }
      }
      break;
    }
    case 16:
      for (int i = 0; i < Count; ++i) Store16(row + size_t(X + i) * 2, Value);
      break;
    case 8:
      std::memset(row + X, int(Value & 0xFF), size_t(Count));
      break;
    case 4:
      for (int i = 0; i < Count; ++i) StoreNibble(row, X + i, Value);
      break;
    case 1: {
      int x = X, end = X + Count;
      while (x < end && (x & 7)) StoreBit(row, x++, Value);
      if (end - x >= 8) {
        int bytes = (end - x) >> 3;
        std::memset(row + (x >> 3), (Value & 1) ? 0xFF : 0x00, size_t(bytes));
        x += bytes * 8;
      }
      while (x < end) StoreBit(row, x++, Value);
      break;
    }
    default:
      break;
  }
}

void ValuesToColors(const TPixelSurface& Surface, uint32_t* Values, int Count, uint32_t Zero, uint32_t One) {
  if (!IsIndexed(Surface)) {
    if (Surface.BitCount == 32)
      for (int i = 0; i < Count; ++i) Values[i] &= 0x00FFFFFF;
    return;
  }
  if (Surface.UsesDCColors) {
    for (int i = 0; i < Count; ++i) Values[i] = (Values[i] & 1) ? One : Zero;
    return;
  }
  for (int i = 0; i < Count; ++i) {
    uint32_t index = Values[i];
    Values[i] = (Surface.ColorTable && int(index) < Surface.ColorCount)
                    ? (Surface.ColorTable[index] & 0x00FFFFFF)
                    : 0;
  }
}

uint32_t ColorToValue(const TPixelSurface& Surface, uint32_t Rgb) {
  if (!IsIndexed(Surface)) return Rgb & 0x00FFFFFF;
  static const uint32_t BlackWhite[2] = {0x000000, 0xFFFFFF};
  if (Surface.UsesDCColors || !Surface.ColorTable || Surface.ColorCount == 0)
    return GdiNearestIndex(BlackWhite, 2, RgbToColorRef(Rgb));
  return GdiNearestIndex(Surface.ColorTable, Surface.ColorCount, RgbToColorRef(Rgb));
}

uint32_t* ScratchRow(int Slot, size_t Count) {
  thread_local std::vector<uint32_t> rows[8];
  std::vector<uint32_t>& row = rows[Slot];
  if (row.size() < Count) row.resize(Count);
  return row.data();
}

}  // namespace gdi

uint32_t GdiNearestIndex(const uint32_t* Table, int Count, COLORREF Color) {
  int r = GetRValue(Color), g = GetGValue(Color), b = GetBValue(Color);
  uint32_t best = 0;
  int bestDistance = 1 << 30;
  for (int i = 0; i < Count; ++i) {
    uint32_t entry = Table[i];
    int dr = int((entry >> 16) & 0xFF) - r, dg = int((entry >> 8) & 0xFF) - g, db = int(entry & 0xFF) - b;
    int distance = dr * dr + dg * dg + db * db;
    if (distance < bestDistance) {
      bestDistance = distance;
      best = uint32_t(i);
      if (distance == 0) break;
    }
  }
  return best;
}
