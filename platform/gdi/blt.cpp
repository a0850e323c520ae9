// The transfer core works row by row on 32-bit pixel values (see surface.h): it reads the
// destination row, builds the source row (sampled, converted to the destination's kind) and the
// pattern row, and runs the operation's row function over them. The common operations on true
// colour surfaces (copies, AND, OR, XOR, fills) skip the value rows and work on the bytes.

#include "platform/gdi/blt.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/gdi/bitmap.h"
#include "platform/gdi/surface.h"

namespace gdi {

namespace {

int Mod(int Value, int Divisor) {
  int r = Value % Divisor;
  return r < 0 ? r + Divisor : r;
}

bool IsTrueColorBytes(const TPixelSurface& Surface) {
  return Surface.BitCount == 24 || Surface.BitCount == 32;
}

// Destination index -> source coordinate along one axis.
struct TAxisMap {
  std::vector<int> Sample;
  std::vector<int> SpanStart;
  std::vector<int> SpanEnd;
  int First = 0;  // valid destination indexes [First, Last)
  int Last = 0;
  int SourceMin = 0;  // source coordinates touched [SourceMin, SourceMax)
  int SourceMax = 0;
  bool Identity = false;

  void Build(int DestCount, int SourceStart, int SourceCount, bool Mirror, int SourceLimit, bool Combine) {
    Identity = !Mirror && DestCount == SourceCount;
    Sample.resize(size_t(DestCount));
    if (Combine) {
      SpanStart.resize(size_t(DestCount));
      SpanEnd.resize(size_t(DestCount));
    }
    First = DestCount;
    Last = 0;
    SourceMin = SourceLimit;
    SourceMax = 0;
    for (int i = 0; i < DestCount; ++i) {
      int k = Mirror ? DestCount - 1 - i : i;
      int s = SourceStart + int((int64_t(2 * int64_t(k) + 1) * SourceCount) / (2 * int64_t(DestCount)));
      Sample[size_t(i)] = s;
      int s0 = s, s1 = s + 1;
      if (Combine) {
        // Only a shrinking axis combines; an enlarging one keeps its single sample.
        if (SourceCount > DestCount) {
          s0 = SourceStart + int(int64_t(k) * SourceCount / DestCount);
          s1 = SourceStart + int(int64_t(k + 1) * SourceCount / DestCount);
        }
        if (s1 <= s0) s1 = s0 + 1;
        s0 = std::max(s0, 0);
        s1 = std::min(s1, SourceLimit);
        SpanStart[size_t(i)] = s0;
        SpanEnd[size_t(i)] = s1;
      }
      if (s >= 0 && s < SourceLimit) {
        First = std::min(First, i);
        Last = std::max(Last, i + 1);
        SourceMin = std::min(SourceMin, std::min(s, s0));
        SourceMax = std::max(SourceMax, std::max(s + 1, s1));
      }
    }
    if (Last <= First) First = Last = 0;
  }
};

// Converts source pixel values (in place) to the destination's kind; see blt.h for the rules.
void ConvertSource(const TPixelSurface& Source, const TPixelSurface& Dest, uint32_t* Values, int Count,
                   uint32_t TextRgb, uint32_t BkRgb, uint32_t SourceBkRgb) {
  if (!IsIndexed(Dest)) {
    ValuesToColors(Source, Values, Count, TextRgb, BkRgb);
    return;
  }
  if (IsIndexed(Source) && Source.BitCount == Dest.BitCount) {
    bool sameTable = Dest.BitCount == 1 || Source.ColorTable == Dest.ColorTable ||
                     (Source.ColorTable && Dest.ColorTable && Source.ColorCount == Dest.ColorCount &&
                      std::equal(Source.ColorTable, Source.ColorTable + Source.ColorCount, Dest.ColorTable));
    if (sameTable) return;
  }
  ValuesToColors(Source, Values, Count, TextRgb, BkRgb);
  if (Dest.BitCount == 1) {
    for (int i = 0; i < Count; ++i) Values[i] = Values[i] == SourceBkRgb ? 1 : 0;
    return;
  }
  for (int i = 0; i < Count; ++i) Values[i] = ColorToValue(Dest, Values[i]);
}

struct TTransferMaps {
  TAxisMap Columns;
  TAxisMap Rows;
};

TTransferMaps& Maps() {
  thread_local TTransferMaps maps;
  return maps;
}

// A private copy of a source rectangle, for transfers within one surface whose rectangles
// overlap.
struct TSourceCopy {
  std::vector<uint8_t> Bytes;
  TPixelSurface Surface;
};

void CopySurfaceArea(const TPixelSurface& From, const RECT& Area, TSourceCopy& Copy) {
  int width = Area.right - Area.left, height = Area.bottom - Area.top;
  size_t rowBytes = ((size_t(width) * From.BitCount + 31) / 32) * 4;
  Copy.Bytes.assign(rowBytes * size_t(height), 0);
  Copy.Surface = From;
  Copy.Surface.Width = width;
  Copy.Surface.Height = height;
  Copy.Surface.Top = Copy.Bytes.data();
  Copy.Surface.Stride = ptrdiff_t(rowBytes);
  uint32_t* values = ScratchRow(0, size_t(width));
  for (int y = 0; y < height; ++y) {
    ReadRow(From, Area.left, Area.top + y, width, values);
    WriteRow(Copy.Surface, 0, y, width, values);
  }
}

}  // namespace

// ---------------------------------------------------------------------------------------------

bool TPattern::Init(TDC& DC, const TBrushObject* Brush) {
  if (!Brush || Brush->IsNull()) return false;
  const TDCState& state = DC.State();
  POINT origin = DC.Origin();
  FOriginX = origin.x + state.BrushOrg.x;
  FOriginY = origin.y + state.BrushOrg.y;
  FValues.clear();
  FMask.clear();
  if (Brush->Style == BS_SOLID || Brush->Pattern.empty() || Brush->PatternWidth <= 0 ||
      Brush->PatternHeight <= 0) {
    FSolid = true;
    FSolidValue = DC.ColorToPixel(Brush->FollowsDCColor ? state.DCBrushColor : Brush->Color);
    return true;
  }
  FSolid = false;
  FWidth = Brush->PatternWidth;
  FHeight = Brush->PatternHeight;
  FValues.resize(Brush->Pattern.size());
  if (Brush->Monochrome) {
    uint32_t zero, one;
    if (Brush->Style == BS_HATCHED) {
      one = DC.ColorToPixel(Brush->Color);
      zero = DC.ColorToPixel(state.BkColor);
      if (state.BkMode == TRANSPARENT) {
        FMask.resize(Brush->Pattern.size());
        for (size_t i = 0; i < Brush->Pattern.size(); ++i) FMask[i] = uint8_t(Brush->Pattern[i]);
      }
    } else {
      zero = DC.ColorToPixel(state.TextColor);
      one = DC.ColorToPixel(state.BkColor);
    }
    for (size_t i = 0; i < Brush->Pattern.size(); ++i) FValues[i] = Brush->Pattern[i] ? one : zero;
  } else {
    for (size_t i = 0; i < Brush->Pattern.size(); ++i)
      FValues[i] = ColorToValue(DC.Surface(), Brush->Pattern[i]);
  }
  return true;
}

void TPattern::Row(int X, int Y, int Count, uint32_t* Values, uint8_t* Mask) const {
  if (FSolid) {
    std::fill(Values, Values + Count, FSolidValue);
    return;
  }
  int py = Mod(Y - FOriginY, FHeight);
  const uint32_t* row = FValues.data() + size_t(py) * size_t(FWidth);
  const uint8_t* maskRow = FMask.empty() ? nullptr : FMask.data() + size_t(py) * size_t(FWidth);
  int px = Mod(X - FOriginX, FWidth);
  for (int i = 0; i < Count; ++i) {
    Values[i] = row[px];
    if (maskRow) Mask[i] = maskRow[px];
    if (++px == FWidth) px = 0;
  }
}

// ---------------------------------------------------------------------------------------------

namespace {

// Fast row operations for true-colour surfaces of one format (24 or 32 bits).
bool FastNoSourceRow(uint8_t Index, const TPixelSurface& Surface, int X, int Y, int Count,
                     const TPattern* Pattern) {
  if (!IsTrueColorBytes(Surface)) {
    if (Index == 0x00 || Index == 0xFF) {
      FillRow(Surface, X, Y, Count, Index ? 0xFFFFFFFF : 0);
      return true;
    }
    if (Index == 0xF0 && Pattern && Pattern->IsSolid()) {
      FillRow(Surface, X, Y, Count, Pattern->SolidValue());
      return true;
    }
    return false;
  }
  int bytesPerPixel = Surface.BitCount / 8;
  uint8_t* p = Surface.Row(Y) + size_t(X) * bytesPerPixel;
  size_t bytes = size_t(Count) * bytesPerPixel;
  switch (Index) {
    case 0x00:
      std::memset(p, 0, bytes);
      return true;
    case 0xFF:
      std::memset(p, 0xFF, bytes);
      return true;
    case 0x55:
      for (size_t i = 0; i < bytes; ++i) p[i] = uint8_t(~p[i]);
      return true;
    case 0xF0:
      if (!Pattern || !Pattern->IsSolid() || Pattern->HasMask()) return false;
      FillRow(Surface, X, Y, Count, Pattern->SolidValue());
      return true;
    case 0x5A:
      if (!Pattern || !Pattern->IsSolid() || Pattern->HasMask()) return false;
      if (bytesPerPixel == 4) {
        auto* q = reinterpret_cast<uint32_t*>(p);
        uint32_t v = Pattern->SolidValue();
        for (int i = 0; i < Count; ++i) q[i] ^= v;
      } else {
        uint32_t v = Pattern->SolidValue();
        uint8_t b = uint8_t(v), g = uint8_t(v >> 8), r = uint8_t(v >> 16);
        for (int i = 0; i < Count; ++i, p += 3) {
          p[0] ^= b;
          p[1] ^= g;
          p[2] ^= r;
        }
      }
      return true;
    default:
      return false;
  }
}

// Byte-wise D := D op S over whole 64-bit words first (the compiler keeps these in registers
// and vectorises them), then the tail.
template <class TOperation>
void CombineBytes(uint8_t* D, const uint8_t* S, size_t Count, TOperation Operation) {
  size_t i = 0;
  for (; i + 8 <= Count; i += 8) {
    uint64_t d, s;
    std::memcpy(&d, D + i, 8);
    std::memcpy(&s, S + i, 8);
    d = Operation(d, s);
    std::memcpy(D + i, &d, 8);
  }
  for (; i < Count; ++i) D[i] = uint8_t(Operation(uint64_t(D[i]), uint64_t(S[i])));
}

bool FastSourceRow(uint8_t Index, const TPixelSurface& Dest, int X, int Y, int Count,
                   const TPixelSurface& Source, int SourceX, int SourceY) {
  if (!IsTrueColorBytes(Dest) || !IsTrueColorBytes(Source)) return false;
  uint8_t* d = Dest.Row(Y) + size_t(X) * (Dest.BitCount / 8);
  const uint8_t* s = Source.Row(SourceY) + size_t(SourceX) * (Source.BitCount / 8);
  if (Dest.BitCount == Source.BitCount) {
    size_t bytes = size_t(Count) * (Dest.BitCount / 8);
    switch (Index) {
      case 0xCC:
        std::memmove(d, s, bytes);
        return true;
      case 0x88:
        CombineBytes(d, s, bytes, [](uint64_t A, uint64_t B) { return A & B; });
        return true;
      case 0xEE:
        CombineBytes(d, s, bytes, [](uint64_t A, uint64_t B) { return A | B; });
        return true;
      case 0x66:
        CombineBytes(d, s, bytes, [](uint64_t A, uint64_t B) { return A ^ B; });
        return true;
      case 0x22:  // DSna, the mask step of masked drawing
        CombineBytes(d, s, bytes, [](uint64_t A, uint64_t B) { return A & ~B; });
        return true;
      default:
        return false;
    }
  }
  if (Index != 0xCC) return false;
  if (Dest.BitCount == 32) {
    for (int i = 0; i < Count; ++i, d += 4, s += 3) {
      d[0] = s[0];
      d[1] = s[1];
      d[2] = s[2];
      d[3] = 0;
    }
  } else {
    for (int i = 0; i < Count; ++i, d += 3, s += 4) {
      d[0] = s[0];
      d[1] = s[1];
      d[2] = s[2];
    }
  }
  return true;
}

// SRCCOPY with a column map between true-colour surfaces (the stretch of the live video).
// Line holds the source row converted to 32-bit values when the source has 24 bits.
bool FastStretchCopyRow(const TPixelSurface& Dest, int X, int Y, int Count, const TPixelSurface& Source,
                        int SourceY, const int* Columns, uint32_t* Line, int LineStart, int LineCount) {
  if (!IsTrueColorBytes(Dest) || !IsTrueColorBytes(Source)) return false;
  uint8_t* d = Dest.Row(Y) + size_t(X) * (Dest.BitCount / 8);
  const uint8_t* s = Source.Row(SourceY);
  if (Dest.BitCount == 24 && Source.BitCount == 24) {
    for (int i = 0; i < Count; ++i, d += 3) {
      const uint8_t* p = s + size_t(Columns[i]) * 3;
      d[0] = p[0];
      d[1] = p[1];
      d[2] = p[2];
    }
    return true;
  }
  const uint32_t* values;
  if (Source.BitCount == 32) {
    values = reinterpret_cast<const uint32_t*>(s);
    LineStart = 0;
  } else {
    const uint8_t* p = s + size_t(LineStart) * 3;
    for (int i = 0; i < LineCount; ++i, p += 3)
      Line[i] = uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16);
    values = Line;
  }
  if (Dest.BitCount == 32) {
    uint32_t* d32 = reinterpret_cast<uint32_t*>(d);
    uint32_t keep = Source.BitCount == 32 ? 0xFFFFFFFF : 0x00FFFFFF;
    for (int i = 0; i < Count; ++i) d32[i] = values[Columns[i] - LineStart] & keep;
  } else {
    for (int i = 0; i < Count; ++i, d += 3) {
      uint32_t v = values[Columns[i] - LineStart];
      d[0] = uint8_t(v);
      d[1] = uint8_t(v >> 8);
      d[2] = uint8_t(v >> 16);
    }
  }
  return true;
}

}  // namespace

bool Transfer(TDC& Dest, int X, int Y, int Width, int Height, const TBltSource* Source, DWORD Rop,
              const TBrushObject* Brush, const COLORREF* TransparentKey) {
  const TPixelSurface& dest = Dest.Surface();
  uint8_t index = RopIndex(Rop);
  bool usesSource = RopUsesSource(index) || TransparentKey;
  bool usesPattern = RopUsesPattern(index);
  bool usesDest = RopUsesDestination(index);
  if (usesSource && (!Source || !Source->Surface.IsValid())) return false;
  if (!dest.IsValid() || Width == 0 || Height == 0) return true;

  bool mirrorX = false, mirrorY = false;
  if (Width < 0) {
    X += Width;
    Width = -Width;
    mirrorX = !mirrorX;
  }
  if (Height < 0) {
    Y += Height;
    Height = -Height;
    mirrorY = !mirrorY;
  }
  POINT origin = Dest.Origin();
  RECT bounds{X + origin.x, Y + origin.y, X + origin.x + Width, Y + origin.y + Height};

  TPattern pattern;
  if (usesPattern) {
    const TBrushObject* brush = Brush ? Brush : GdiGetBrush(Dest.State().Brush);
    // A null brush paints nothing, whatever the operation.
    if (!pattern.Init(Dest, brush)) return true;
  }

  const TDCState& state = Dest.State();
  uint32_t textRgb = ColorRefToRgb(Dest.ResolveColor(state.TextColor));
  uint32_t bkRgb = ColorRefToRgb(Dest.ResolveColor(state.BkColor));
  TRopRow rowFunction = RopRowFunction(index);
  const TRegion& clip = Dest.Clip();

  if (!usesSource) {
    int count = Width;
    uint32_t* d = ScratchRow(0, size_t(count));
    uint32_t* p = ScratchRow(2, size_t(count));
    uint8_t* mask = reinterpret_cast<uint8_t*>(ScratchRow(5, size_t(count)));
    ForEachClipRect(clip, bounds, [&](const RECT& r) {
      int n = r.right - r.left;
      for (int y = r.top; y < r.bottom; ++y) {
        if (!pattern.HasMask() && FastNoSourceRow(index, dest, r.left, y, n, &pattern)) continue;
        if (usesDest) ReadRow(dest, r.left, y, n, d);
        if (usesPattern) pattern.Row(r.left, y, n, p, mask);
        rowFunction(d, d, p, n);
        if (pattern.HasMask())
          WriteRowMasked(dest, r.left, y, n, d, mask);
        else
          WriteRow(dest, r.left, y, n, d);
      }
    });
    return true;
  }

  // Source side: normalise, then map destination columns and rows to source ones.
  TBltSource source = *Source;
  if (source.Width < 0) {
    source.X += source.Width;
    source.Width = -source.Width;
    mirrorX = !mirrorX;
  }
  if (source.Height < 0) {
    source.Y += source.Height;
    source.Height = -source.Height;
    mirrorY = !mirrorY;
  }
  if (source.Width == 0 || source.Height == 0) return true;

  TSourceCopy copy;
  if (source.Surface.Top == dest.Top) {
    RECT sourceArea{std::max(source.X, 0), std::max(source.Y, 0),
                    std::min(source.X + source.Width, source.Surface.Width),
                    std::min(source.Y + source.Height, source.Surface.Height)};
    if (sourceArea.right <= sourceArea.left || sourceArea.bottom <= sourceArea.top) return true;
    bool overlap = sourceArea.left < bounds.right && bounds.left < sourceArea.right &&
                   sourceArea.top < bounds.bottom && bounds.top < sourceArea.bottom;
    if (overlap) {
      CopySurfaceArea(source.Surface, sourceArea, copy);
      source.Surface = copy.Surface;
      source.X -= sourceArea.left;
      source.Y -= sourceArea.top;
    }
  }
  const TPixelSurface& sourceSurface = source.Surface;

  int mode = state.StretchBltMode;
  bool shrinking = source.Width > Width || source.Height > Height;
  bool combine = shrinking && !TransparentKey && (mode == BLACKONWHITE || mode == WHITEONBLACK);
  bool combineAnd = mode == BLACKONWHITE;
  TTransferMaps& maps = Maps();
  maps.Columns.Build(Width, source.X, source.Width, mirrorX, sourceSurface.Width, combine);
  maps.Rows.Build(Height, source.Y, source.Height, mirrorY, sourceSurface.Height, combine);
  const TAxisMap& columns = maps.Columns;
  const TAxisMap& rows = maps.Rows;
  if (columns.Last <= columns.First || rows.Last <= rows.First) return true;
  RECT valid{bounds.left + columns.First, bounds.top + rows.First, bounds.left + columns.Last,
             bounds.top + rows.Last};
  bool identity = columns.Identity && rows.Identity && !combine;

  uint32_t sourceBkRgb = ColorRefToRgb(Source->BkColor & 0xFFFFFF);
  uint32_t keyRgb = TransparentKey ? ColorRefToRgb(*TransparentKey & 0xFFFFFF) : 0;
  int sourceSpan = columns.SourceMax - columns.SourceMin;
  uint32_t* d = ScratchRow(0, size_t(Width));
  uint32_t* s = ScratchRow(1, size_t(Width));
  uint32_t* p = ScratchRow(2, size_t(Width));
  uint32_t* line = ScratchRow(3, size_t(std::max(sourceSpan, 1)));
  uint32_t* colors = ScratchRow(4, size_t(std::max(sourceSpan, 1)));
  uint8_t* mask = reinterpret_cast<uint8_t*>(ScratchRow(5, size_t(Width)));
  uint8_t* patternMask = reinterpret_cast<uint8_t*>(ScratchRow(6, size_t(Width)));
  bool needColors = TransparentKey != nullptr;

  // Reads source row SourceY over the touched columns into `line` (destination kind) and, for
  // keyed transfers, `colors` (plain colours).
  auto loadSourceLine = [&](int SourceY, uint32_t* Into, uint32_t* ColorsInto) {
    ReadRow(sourceSurface, columns.SourceMin, SourceY, sourceSpan, Into);
    if (ColorsInto) {
      std::memcpy(ColorsInto, Into, size_t(sourceSpan) * 4);
      ValuesToColors(sourceSurface, ColorsInto, sourceSpan, textRgb, bkRgb);
    }
    ConvertSource(sourceSurface, dest, Into, sourceSpan, textRgb, bkRgb, sourceBkRgb);
  };
  int loadedRow = INT32_MIN;
  uint32_t* combineRow = combine ? ScratchRow(7, size_t(std::max(sourceSpan, 1))) : nullptr;

  bool stretchCopy = !combine && !TransparentKey && index == 0xCC && !identity;
  int bytesPerPixel = dest.BitCount / 8;
  ForEachClipRect(clip, valid, [&](const RECT& r) {
    int n = r.right - r.left;
    int i0 = r.left - bounds.left;
    for (int y = r.top; y < r.bottom; ++y) {
      int j = y - bounds.top;
      int sourceY = rows.Sample[size_t(j)];
      if (identity && !TransparentKey && !pattern.HasMask() &&
          FastSourceRow(index, dest, r.left, y, n, sourceSurface, columns.Sample[size_t(i0)], sourceY))
        continue;
      if (stretchCopy && IsTrueColorBytes(dest) && IsTrueColorBytes(sourceSurface)) {
        // Enlarging repeats source rows: copy the row just made instead of sampling again.
        if (y > r.top && rows.Sample[size_t(j - 1)] == sourceY) {
          std::memcpy(dest.Row(y) + size_t(r.left) * bytesPerPixel,
                      dest.Row(y - 1) + size_t(r.left) * bytesPerPixel, size_t(n) * bytesPerPixel);
          continue;
        }
        FastStretchCopyRow(dest, r.left, y, n, sourceSurface, sourceY, &columns.Sample[size_t(i0)], line,
                           columns.SourceMin, sourceSpan);
        continue;
      }
      // Build the source row.
      if (combine) {
        int y0 = rows.SpanStart[size_t(j)], y1 = rows.SpanEnd[size_t(j)];
        loadSourceLine(y0, line, nullptr);
        for (int yy = y0 + 1; yy < y1; ++yy) {
          loadSourceLine(yy, combineRow, nullptr);
          if (combineAnd)
            for (int k = 0; k < sourceSpan; ++k) line[k] &= combineRow[k];
          else
            for (int k = 0; k < sourceSpan; ++k) line[k] |= combineRow[k];
        }
        loadedRow = INT32_MIN;
        for (int k = 0; k < n; ++k) {
          int c0 = columns.SpanStart[size_t(i0 + k)] - columns.SourceMin;
          int c1 = columns.SpanEnd[size_t(i0 + k)] - columns.SourceMin;
          uint32_t v = line[c0];
          for (int c = c0 + 1; c < c1; ++c) v = combineAnd ? (v & line[c]) : (v | line[c]);
          s[k] = v;
        }
      } else {
        if (sourceY != loadedRow) {
          loadSourceLine(sourceY, line, needColors ? colors : nullptr);
          loadedRow = sourceY;
        }
        const int* sample = &columns.Sample[size_t(i0)];
        for (int k = 0; k < n; ++k) s[k] = line[sample[k] - columns.SourceMin];
        if (TransparentKey)
          for (int k = 0; k < n; ++k) mask[k] = colors[sample[k] - columns.SourceMin] != keyRgb;
      }
      if (usesDest) ReadRow(dest, r.left, y, n, d);
      if (usesPattern) {
        pattern.Row(r.left, y, n, p, patternMask);
        if (pattern.HasMask()) {
          if (TransparentKey)
            for (int k = 0; k < n; ++k) mask[k] = mask[k] && patternMask[k];
          else
            std::memcpy(mask, patternMask, size_t(n));
        }
      }
      rowFunction(d, s, p, n);
      if (TransparentKey || pattern.HasMask())
        WriteRowMasked(dest, r.left, y, n, d, mask);
      else
        WriteRow(dest, r.left, y, n, d);
    }
  });
  return true;
}

void FillSurfaceRect(TDC& Dest, const RECT& Area, const TBrushObject* Brush, uint8_t Index) {
  TRegion area(Area);
  FillSurfaceRegion(Dest, area, Brush, Index);
}

void FillSurfaceRegion(TDC& Dest, const TRegion& Area, const TBrushObject* Brush, uint8_t Index) {
  const TPixelSurface& dest = Dest.Surface();
  if (!dest.IsValid() || Area.IsEmpty()) return;
  TPattern pattern;
  bool usesPattern = RopUsesPattern(Index);
  if (usesPattern && !pattern.Init(Dest, Brush)) return;
  TRegion area(Area);
  area.Intersect(Dest.Clip());
  if (area.IsEmpty()) return;
  TRopRow rowFunction = RopRowFunction(Index);
  bool usesDest = RopUsesDestination(Index);
  RECT bounds = area.Bounds();
  int width = bounds.right - bounds.left;
  uint32_t* d = ScratchRow(0, size_t(width));
  uint32_t* p = ScratchRow(2, size_t(width));
  uint8_t* mask = reinterpret_cast<uint8_t*>(ScratchRow(5, size_t(width)));
  ForEachClipRect(area, bounds, [&](const RECT& r) {
    int n = r.right - r.left;
    for (int y = r.top; y < r.bottom; ++y) {
      if (!pattern.HasMask() && FastNoSourceRow(Index, dest, r.left, y, n, usesPattern ? &pattern : nullptr))
        continue;
      if (usesDest) ReadRow(dest, r.left, y, n, d);
      if (usesPattern) pattern.Row(r.left, y, n, p, mask);
      rowFunction(d, d, p, n);
      if (pattern.HasMask())
        WriteRowMasked(dest, r.left, y, n, d, mask);
      else
        WriteRow(dest, r.left, y, n, d);
    }
  });
}

}  // namespace gdi

// ---------------------------------------------------------------------------------------------

using namespace gdi;

static bool MakeSource(HDC Source, int XSrc, int YSrc, int SrcWidth, int SrcHeight, TBltSource& Result) {
  TDC* dc = GdiGetDC(Source);
  if (!dc) return false;
  POINT topLeft = dc->LogicalToSurface(POINT{XSrc, YSrc});
  POINT bottomRight = dc->LogicalToSurface(POINT{XSrc + SrcWidth, YSrc + SrcHeight});
  Result.Surface = dc->Surface();
  Result.X = topLeft.x;
  Result.Y = topLeft.y;
  Result.Width = bottomRight.x - topLeft.x;
  Result.Height = bottomRight.y - topLeft.y;
  Result.BkColor = dc->ResolveColor(dc->State().BkColor);
  return true;
}

static bool DeviceRect(TDC& DC, int X, int Y, int Width, int Height, RECT& Result) {
  POINT a = DC.LogicalToDevice(POINT{X, Y});
  POINT b = DC.LogicalToDevice(POINT{X + Width, Y + Height});
  Result = RECT{a.x, a.y, b.x - a.x, b.y - a.y};  // left, top, width, height
  return true;
}

BOOL BitBlt(HDC Dest, int X, int Y, int Width, int Height, HDC Source, int XSrc, int YSrc, DWORD Rop) {
  TDC* dc = GdiGetDC(Dest);
  if (!dc) return FALSE;
  RECT r;
  DeviceRect(*dc, X, Y, Width, Height, r);
  TBltSource source;
  bool needsSource = RopUsesSource(RopIndex(Rop));
  if (needsSource && !MakeSource(Source, XSrc, YSrc, Width, Height, source)) return FALSE;
  return Transfer(*dc, r.left, r.top, r.right, r.bottom, needsSource ? &source : nullptr, Rop) ? TRUE : FALSE;
}

BOOL StretchBlt(HDC Dest, int X, int Y, int Width, int Height, HDC Source, int XSrc, int YSrc, int SrcWidth,
                int SrcHeight, DWORD Rop) {
  TDC* dc = GdiGetDC(Dest);
  if (!dc) return FALSE;
  RECT r;
  DeviceRect(*dc, X, Y, Width, Height, r);
  TBltSource source;
  bool needsSource = RopUsesSource(RopIndex(Rop));
  if (needsSource && !MakeSource(Source, XSrc, YSrc, SrcWidth, SrcHeight, source)) return FALSE;
  return Transfer(*dc, r.left, r.top, r.right, r.bottom, needsSource ? &source : nullptr, Rop) ? TRUE : FALSE;
}

BOOL PatBlt(HDC Dest, int X, int Y, int Width, int Height, DWORD Rop) {
  TDC* dc = GdiGetDC(Dest);
  if (!dc || RopUsesSource(RopIndex(Rop))) return FALSE;
  RECT r;
  DeviceRect(*dc, X, Y, Width, Height, r);
  return Transfer(*dc, r.left, r.top, r.right, r.bottom, nullptr, Rop) ? TRUE : FALSE;
}

BOOL TransparentBlt(HDC Dest, int X, int Y, int Width, int Height, HDC Source, int XSrc, int YSrc,
                    int SrcWidth, int SrcHeight, UINT TransparentColor) {
  TDC* dc = GdiGetDC(Dest);
  if (!dc || Width < 0 || Height < 0 || SrcWidth < 0 || SrcHeight < 0) return FALSE;
  RECT r;
  DeviceRect(*dc, X, Y, Width, Height, r);
  TBltSource source;
  if (!MakeSource(Source, XSrc, YSrc, SrcWidth, SrcHeight, source)) return FALSE;
  COLORREF key = TransparentColor & 0xFFFFFF;
  return Transfer(*dc, r.left, r.top, r.right, r.bottom, &source, SRCCOPY, nullptr, &key) ? TRUE : FALSE;
}

BOOL AlphaBlend(HDC Dest, int X, int Y, int Width, int Height, HDC Source, int XSrc, int YSrc, int SrcWidth,
                int SrcHeight, BLENDFUNCTION Blend) {
  TDC* dc = GdiGetDC(Dest);
  TDC* sourceDC = GdiGetDC(Source);
  if (!dc || !sourceDC || Width < 0 || Height < 0 || SrcWidth <= 0 || SrcHeight <= 0 ||
      Blend.BlendOp != AC_SRC_OVER)
    return FALSE;
  const TPixelSurface& dest = dc->Surface();
  const TPixelSurface& source = sourceDC->Surface();
  if (!dest.IsValid() || !source.IsValid()) return TRUE;
  RECT r;
  DeviceRect(*dc, X, Y, Width, Height, r);
  POINT origin = dc->Origin();
  RECT bounds{r.left + origin.x, r.top + origin.y, r.left + origin.x + r.right, r.top + origin.y + r.bottom};
  POINT sourceTopLeft = sourceDC->LogicalToSurface(POINT{XSrc, YSrc});
  // The source rectangle must lie inside the source surface.
  if (sourceTopLeft.x < 0 || sourceTopLeft.y < 0 || sourceTopLeft.x + SrcWidth > source.Width ||
      sourceTopLeft.y + SrcHeight > source.Height)
    return FALSE;
  TAxisMap columns, rows;
  columns.Build(r.right, sourceTopLeft.x, SrcWidth, false, source.Width, false);
  rows.Build(r.bottom, sourceTopLeft.y, SrcHeight, false, source.Height, false);
  bool perPixel = (Blend.AlphaFormat & AC_SRC_ALPHA) && source.BitCount == 32;
  uint32_t constant = Blend.SourceConstantAlpha;
  std::vector<uint32_t> sourceRow(size_t(source.Width)), d, rawRow(size_t(source.Width));
  ForEachClipRect(dc->Clip(), bounds, [&](const RECT& rect) {
    int n = rect.right - rect.left;
    d.resize(size_t(n));
    for (int y = rect.top; y < rect.bottom; ++y) {
      int sy = rows.Sample[size_t(y - bounds.top)];
      ReadRow(source, 0, sy, source.Width, rawRow.data());
      std::copy(rawRow.begin(), rawRow.end(), sourceRow.begin());
      ValuesToColors(source, sourceRow.data(), source.Width, 0x000000, 0xFFFFFF);
      ReadRow(dest, rect.left, y, n, d.data());
      if (IsIndexed(dest)) ValuesToColors(dest, d.data(), n, 0x000000, 0xFFFFFF);
      for (int k = 0; k < n; ++k) {
        int sx = columns.Sample[size_t(rect.left - bounds.left + k)];
        uint32_t sv = sourceRow[size_t(sx)], dv = d[size_t(k)];
        uint32_t alpha = perPixel ? (rawRow[size_t(sx)] >> 24) * constant / 255 : constant;
        uint32_t out = dv & 0xFF000000;
        for (int shift = 0; shift <= 16; shift += 8) {
          uint32_t sc = (sv >> shift) & 0xFF, dc8 = (dv >> shift) & 0xFF;
          uint32_t v = perPixel ? (sc * constant / 255 + dc8 * (255 - alpha) / 255)
                                : (sc * alpha + dc8 * (255 - alpha) + 127) / 255;
          out |= std::min<uint32_t>(v, 255) << shift;
        }
        d[size_t(k)] = IsIndexed(dest) ? ColorToValue(dest, out & 0xFFFFFF) : out;
      }
      WriteRow(dest, rect.left, y, n, d.data());
    }
  });
  return TRUE;
}
