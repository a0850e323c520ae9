#pragma once
// The glyph engine under the text calls: FreeType faces at a pixel size, their cell metrics,
// glyph advances and rasterised glyphs.
//
// Sizes follow the logical-font rules: a negative height asks for that many pixels of em (the
// character height), a positive one for that cell height (ascent + descent), 0 for a default
// cell of 16 pixels. Ascent and descent come from the OS/2 table's usWinAscent and usWinDescent,
// which the faces that stand in for the usual desktop fonts were built to reproduce, so lines
// keep their spacing.
//
// Everything is integral and deterministic: advances are hinted whole pixels, a string's width
// is the sum of its advances, glyphs are rendered with the TrueType interpreter pinned to one
// version (the environment cannot change it), and rotated text places each glyph at the rounded
// rotation of its unrotated pen position, so measuring never depends on the angle.
//
// Instances are shared and cached by (file, size, width, synthesised styles); each caches its
// advances by code point and its glyph images by (code point, angle). A code point the face
// lacks is taken from a fallback face with wide coverage (DejaVu Sans) at the same em size.
// All calls are serialised by one engine lock; text is drawn from one thread at a time anyway.

#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/gdi/fontmatch.h"

struct TFontMetrics {
  int Height = 0;  // ascent + descent
  int Ascent = 0;
  int Descent = 0;
  int InternalLeading = 0;  // Height - em
  int ExternalLeading = 0;
  int AveCharWidth = 0;
  int MaxCharWidth = 0;
  int Weight = 400;
  int EmHeight = 0;
  // Rows below the baseline where an underline starts, and its thickness; rows above the
  // baseline where the strike-out line starts (its top), and its thickness.
  int UnderlinePosition = 1;
  int UnderlineThickness = 1;
  int StrikeoutPosition = 0;
  int StrikeoutThickness = 1;
  bool FixedPitch = false;
  bool Outline = true;
  bool TrueType = true;      // an SFNT outline face
  uint8_t FamilyBits = 0;    // FF_SWISS, FF_ROMAN, FF_MODERN... (0x10 steps)
  // Design values for enumeration: units per em, cell height and average width in font units.
  int DesignEm = 0;
  int DesignCellHeight = 0;
  int DesignAveWidth = 0;
};

// A rendered glyph as a coverage mask (0 = none, 255 = full), placed relative to the pen origin
// on the baseline in device orientation (y grows downward): its top-left pixel lies at
// (origin.x + Left, origin.y + Top).
struct TGlyphImage {
  int Left = 0;
  int Top = 0;
  int Width = 0;
  int Height = 0;
  std::vector<uint8_t> Coverage;
};

struct TFontInstanceKey {
  std::string Path;
  int Index = 0;
  int Height = 0;  // the logical height (negative: em, positive: cell, 0: default)
  int Width = 0;   // the logical average width, 0 = natural
  bool SynthesizeBold = false;
  bool SynthesizeItalic = false;
  int Weight = 400;  // reported when the weight is synthesised
  bool operator==(const TFontInstanceKey&) const = default;
};

class TFreeTypeFace;

class TFontInstance {
 public:
  // The shared instance for Key (created on first use). Never null: a file FreeType cannot read
  // yields an instance without glyphs whose metrics follow the requested height.
  static std::shared_ptr<TFontInstance> Get(const TFontInstanceKey& Key);
  // The instance for a match (file and synthesised styles) at a logical height and width.
  static std::shared_ptr<TFontInstance> ForMatch(const TFontMatch& Match, int Height, int Width,
                                                 int Weight);
  ~TFontInstance();

  const TFontInstanceKey& Key() const { return FKey; }
  const TFontMetrics& Metrics() const { return FMetrics; }
  const std::string& Family() const { return FFamily; }

  // The advance in whole pixels; 0 for control characters (below U+0020 and U+007F..U+009F).
  int Advance(char32_t Code);
  // The glyph for Code drawn at Angle (tenths of a degree, counter-clockwise). The reference
  // stays valid until the next TrimGlyphCache call.
  const TGlyphImage& Glyph(char32_t Code, int Angle);
  // Drops the glyph images when the cache has grown past its bound; callers run it before
  // collecting the glyphs of one run, never in the middle of one.
  void TrimGlyphCache();
  // Whether the face (or its fallback) has a glyph for Code.
  bool HasGlyph(char32_t Code);

  // The lock every text call holds while it uses instances.
  static std::recursive_mutex& EngineLock();

  TFontInstance(const TFontInstanceKey& Key, std::shared_ptr<TFreeTypeFace> Face);

 private:
  struct TCodeInfo {
    uint32_t GlyphIndex = 0;
    int Advance = 0;
    bool Fallback = false;
  };
  void ComputeMetrics();
  TCodeInfo& Lookup(char32_t Code);
  bool LoadGlyph(uint32_t GlyphIndex);
  TGlyphImage Render(const TCodeInfo& Info, int Angle);
  TFontInstance* FallbackInstance();

  TFontInstanceKey FKey;
  std::shared_ptr<TFreeTypeFace> FFace;
  void* FSize = nullptr;  // this instance's FT_Size on the shared face
  int FPixelsX = 0;
  int FPixelsY = 0;
  TFontMetrics FMetrics;
  std::string FFamily;
  std::array<int16_t, 256> FLatinAdvance;  // -1 = not yet known
  std::unordered_map<char32_t, TCodeInfo> FCodes;
  std::unordered_map<uint64_t, std::unique_ptr<TGlyphImage>> FGlyphs;
  std::shared_ptr<TFontInstance> FFallback;
  bool FFallbackTried = false;
};

// Control characters take no room and draw nothing.
inline bool IsControlCode(char32_t Code) { return Code < 0x20 || (Code >= 0x7F && Code < 0xA0); }

// Rasterises a polygon (device coordinates, y downward; any winding) into a coverage mask with
// anti-aliased edges, placed at (Left, Top) in the same coordinates. Rotated underlines and
// rotated text backgrounds are drawn this way.
TGlyphImage RasterizePolygon(const double* X, const double* Y, int Count);
