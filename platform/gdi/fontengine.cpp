#include "platform/gdi/fontengine.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_ADVANCES_H
#include FT_DRIVER_H
#include FT_MODULE_H
#include FT_OUTLINE_H
#include FT_SIZES_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>

namespace {

constexpr int DefaultCellHeight = 16;
constexpr int MaxPixelHeight = 1000;
constexpr size_t GlyphCacheBound = 4096;
constexpr size_t InstanceCacheBound = 64;
constexpr const char* FallbackFamily = "DejaVu Sans";

// Rounds A / B to the nearest integer, halves away from zero (B > 0).
long RoundDiv(long A, long B) {
  return A >= 0 ? (2 * A + B) / (2 * B) : -((-2 * A + B) / (2 * B));
}

// The average character width in font units, weighted by the frequency of the lower-case
// letters and the blank in English text: the classic definition of a face's average width,
// which the common desktop faces report and which tab stops and dialog units are built on.
// 0 when the face lacks one of the letters.
long WeightedAverageWidth(FT_Face Face) {
  static constexpr int Weights[26] = {64, 14, 27, 35, 100, 20, 14, 42, 63, 3,  6,  35, 20,
                                      56, 56, 17, 4,  49, 56,  71, 31, 10, 18, 3, 18, 2};
  constexpr int BlankWeight = 166;
  long Total = 0;
  for (int Letter = 0; Letter <= 26; ++Letter) {
    FT_ULong Code = Letter < 26 ? FT_ULong('a' + Letter) : FT_ULong(' ');
    FT_UInt Glyph = FT_Get_Char_Index(Face, Code);
    FT_Fixed Advance = 0;
    if (Glyph == 0 || FT_Get_Advance(Face, Glyph, FT_LOAD_NO_SCALE, &Advance) != 0) return 0;
    Total += long(Advance) * (Letter < 26 ? Weights[Letter] : BlankWeight);
  }
  return Total / 1000;
}

}  // namespace

// The FreeType library, shared by every face so the last face to go frees it (fonts may outlive
// any static that would otherwise own it).
class TFreeTypeLibrary {
 public:
  TFreeTypeLibrary() {
    if (FT_Init_FreeType(&FLibrary) != 0) {
      FLibrary = nullptr;
      return;
    }
    // The same pixels on every machine: the hinting engine is fixed here instead of taken from
    // the FREETYPE_PROPERTIES environment variable.
    FT_UInt Interpreter = TT_INTERPRETER_VERSION_40;
    FT_Property_Set(FLibrary, "truetype", "interpreter-version", &Interpreter);
  }
  ~TFreeTypeLibrary() {
    if (FLibrary) FT_Done_FreeType(FLibrary);
  }
  FT_Library Handle() const { return FLibrary; }

  static std::shared_ptr<TFreeTypeLibrary> Shared() {
    static std::weak_ptr<TFreeTypeLibrary> Weak;
    auto Library = Weak.lock();
    if (!Library) {
      Library = std::make_shared<TFreeTypeLibrary>();
      Weak = Library;
    }
    return Library;
  }

 private:
  FT_Library FLibrary = nullptr;
};

// One opened font file face; sized instances add their own FT_Size to it.
class TFreeTypeFace {
 public:
  TFreeTypeFace(std::shared_ptr<TFreeTypeLibrary> Library, const std::string& Path, int Index)
      : FLibrary(std::move(Library)) {
    if (!FLibrary->Handle() || Path.empty() ||
        FT_New_Face(FLibrary->Handle(), Path.c_str(), Index, &FFace) != 0)
      FFace = nullptr;
  }
  ~TFreeTypeFace() {
    if (FFace) FT_Done_Face(FFace);
  }
  FT_Face Handle() const { return FFace; }
  FT_Library Library() const { return FLibrary->Handle(); }

  static std::shared_ptr<TFreeTypeFace> Shared(const std::string& Path, int Index) {
    static std::unordered_map<std::string, std::weak_ptr<TFreeTypeFace>> Faces;
    std::string Key = Path + '\n' + std::to_string(Index);
    auto Face = Faces[Key].lock();
    if (!Face) {
      Face = std::make_shared<TFreeTypeFace>(TFreeTypeLibrary::Shared(), Path, Index);
      Faces[Key] = Face;
    }
    return Face;
  }

 private:
  std::shared_ptr<TFreeTypeLibrary> FLibrary;
  FT_Face FFace = nullptr;
};

std::recursive_mutex& TFontInstance::EngineLock() {
  static std::recursive_mutex Lock;
  return Lock;
}

std::shared_ptr<TFontInstance> TFontInstance::Get(const TFontInstanceKey& Key) {
  std::lock_guard Lock(EngineLock());
  static std::vector<std::shared_ptr<TFontInstance>> Cache;
  for (const auto& Instance : Cache) {
    if (Instance->FKey == Key) return Instance;
  }
  if (Cache.size() >= InstanceCacheBound) {
    std::erase_if(Cache, [](const auto& Instance) { return Instance.use_count() == 1; });
  }
  auto Instance = std::make_shared<TFontInstance>(Key, TFreeTypeFace::Shared(Key.Path, Key.Index));
  Cache.push_back(Instance);
  return Instance;
}

std::shared_ptr<TFontInstance> TFontInstance::ForMatch(const TFontMatch& Match, int Height,
                                                       int Width, int Weight) {
  TFontInstanceKey Key;
  Key.Path = Match.File.Path;
  Key.Index = Match.File.Index;
  Key.Height = Height;
  Key.Width = Width;
  Key.SynthesizeBold = Match.SynthesizeBold;
  Key.SynthesizeItalic = Match.SynthesizeItalic;
  Key.Weight = Match.SynthesizeBold ? std::max(Weight, 600) : 0;
  return Get(Key);
}

TFontInstance::TFontInstance(const TFontInstanceKey& Key, std::shared_ptr<TFreeTypeFace> Face)
    : FKey(Key), FFace(std::move(Face)) {
  FLatinAdvance.fill(-1);
  ComputeMetrics();
}

TFontInstance::~TFontInstance() {
  if (FSize) FT_Done_Size(static_cast<FT_Size>(FSize));
}

void TFontInstance::ComputeMetrics() {
  int Height = FKey.Height == 0 ? DefaultCellHeight : FKey.Height;
  Height = std::clamp(Height, -MaxPixelHeight, MaxPixelHeight);
  TFontMetrics& M = FMetrics;
  FT_Face Face = FFace->Handle();
  if (Face == nullptr) {
    // No usable file: keep the requested cell so layout still works.
    M.Height = std::max(1, std::abs(Height));
    M.Ascent = M.Height * 4 / 5;
    M.Descent = M.Height - M.Ascent;
    M.EmHeight = M.Height;
    M.AveCharWidth = std::max(1, M.Height / 2);
    M.MaxCharWidth = M.Height;
    return;
  }
  FFamily = Face->family_name ? Face->family_name : "";
  const auto* Os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(Face, FT_SFNT_OS2));
  const auto* Hhea = static_cast<const TT_HoriHeader*>(FT_Get_Sfnt_Table(Face, FT_SFNT_HHEA));
  const auto* Post = static_cast<const TT_Postscript*>(FT_Get_Sfnt_Table(Face, FT_SFNT_POST));
  M.Outline = FT_IS_SCALABLE(Face);
  M.TrueType = M.Outline && FT_IS_SFNT(Face);
  M.FixedPitch = FT_IS_FIXED_WIDTH(Face) || (Post && Post->isFixedPitch);

  FT_Size Size = nullptr;
  if (FT_New_Size(Face, &Size) == 0) {
    FSize = Size;
    FT_Activate_Size(Size);
  }

  if (!M.Outline) {
    // A bitmap face: take the strike nearest to the requested height.
    int Want = std::abs(Height);
    int Best = 0;
    for (int Index = 1; Index < Face->num_fixed_sizes; ++Index) {
      if (std::abs(Face->available_sizes[Index].height - Want) <
          std::abs(Face->available_sizes[Best].height - Want))
        Best = Index;
    }
    if (Face->num_fixed_sizes > 0) FT_Select_Size(Face, Best);
    const FT_Size_Metrics& SizeMetrics = Face->size->metrics;
    M.Ascent = int(SizeMetrics.ascender >> 6);
    M.Descent = int(-SizeMetrics.descender >> 6);
    M.Height = M.Ascent + M.Descent;
    M.EmHeight = SizeMetrics.y_ppem;
    M.InternalLeading = std::max(0, M.Height - M.EmHeight);
    M.MaxCharWidth = int(SizeMetrics.max_advance >> 6);
    M.AveCharWidth = std::max(1, M.MaxCharWidth * 2 / 3);
    FPixelsX = SizeMetrics.x_ppem;
    FPixelsY = SizeMetrics.y_ppem;
    M.Weight = (Face->style_flags & FT_STYLE_FLAG_BOLD) ? 700 : 400;
    M.FamilyBits = M.FixedPitch ? 0x30 : 0x20;
    return;
  }

  const long Units = Face->units_per_EM > 0 ? Face->units_per_EM : 2048;
  long WinAscent = Face->ascender;
  long WinDescent = -Face->descender;
  if (Os2 && Os2->version != 0xFFFF && long(Os2->usWinAscent) + Os2->usWinDescent > 0) {
    WinAscent = Os2->usWinAscent;
    WinDescent = Os2->usWinDescent;
  }
  long CellUnits = WinAscent + WinDescent;
  if (CellUnits <= 0) {
    WinAscent = Units * 4 / 5;
    WinDescent = Units - WinAscent;
    CellUnits = Units;
  }
  M.DesignEm = int(Units);
  M.DesignCellHeight = int(CellUnits);
  long Em = 0;
  if (Height < 0) {
    Em = -Height;
    M.Ascent = int(RoundDiv(WinAscent * Em, Units));
    M.Descent = int(RoundDiv(WinDescent * Em, Units));
  } else {
    Em = std::max(1L, RoundDiv(long(Height) * Units, CellUnits));
    M.Ascent = int(RoundDiv(long(Height) * WinAscent, CellUnits));
    M.Descent = Height - M.Ascent;
  }
  M.Height = M.Ascent + M.Descent;
  M.EmHeight = int(Em);
  M.InternalLeading = M.Height - M.EmHeight;
  if (Hhea) {
    long Gap = Hhea->Line_Gap - (CellUnits - (Hhea->Ascender - Hhea->Descender));
    M.ExternalLeading = int(std::max(0L, RoundDiv(Gap * Em, Units)));
  }

  long NaturalAverage = WeightedAverageWidth(Face);
  if (NaturalAverage <= 0)
    NaturalAverage = Os2 && Os2->version != 0xFFFF && Os2->xAvgCharWidth > 0 ? Os2->xAvgCharWidth
                                                                              : Units / 2;
  long EmX = Em;
  if (FKey.Width != 0) {
    long Want = std::min(std::abs(FKey.Width), MaxPixelHeight);
    EmX = std::max(1L, RoundDiv(Em * Want * Units, std::max(1L, NaturalAverage * Em)));
  }
  FPixelsX = int(EmX);
  FPixelsY = int(Em);
  if (FSize) FT_Set_Pixel_Sizes(Face, FT_UInt(EmX), FT_UInt(Em));

  M.DesignAveWidth = int(NaturalAverage);
  M.AveCharWidth = int(std::max(1L, RoundDiv(NaturalAverage * EmX, Units)));
  long MaxAdvance = Hhea ? Hhea->advance_Width_Max : Face->max_advance_width;
  M.MaxCharWidth = int(RoundDiv(MaxAdvance * EmX, Units));
  if (FKey.SynthesizeBold) {
    M.AveCharWidth += 1;
    M.MaxCharWidth += 1;
  }
  if (FKey.SynthesizeBold) {
    M.Weight = FKey.Weight;
  } else if (Os2 && Os2->version != 0xFFFF && Os2->usWeightClass > 0) {
    M.Weight = Os2->usWeightClass;
  } else {
    M.Weight = (Face->style_flags & FT_STYLE_FLAG_BOLD) ? 700 : 400;
  }

  long UnderlinePosition = Post ? -long(Post->underlinePosition) : Units / 10;
  long UnderlineThickness = Post && Post->underlineThickness > 0 ? Post->underlineThickness
                                                                 : Units / 20;
  M.UnderlinePosition = std::max(1, int(RoundDiv(UnderlinePosition * Em, Units)));
  M.UnderlineThickness = std::max(1, int(RoundDiv(UnderlineThickness * Em, Units)));
  long StrikeoutPosition = Units * 3 / 10;
  long StrikeoutSize = UnderlineThickness;
  if (Os2 && Os2->version != 0xFFFF && Os2->yStrikeoutSize > 0) {
    StrikeoutPosition = Os2->yStrikeoutPosition;
    StrikeoutSize = Os2->yStrikeoutSize;
  }
  M.StrikeoutThickness = std::max(1, int(RoundDiv(StrikeoutSize * Em, Units)));
  // The OS/2 position is the top of the stroke above the baseline.
  M.StrikeoutPosition = std::max(1, int(RoundDiv(StrikeoutPosition * Em, Units)));

  // The family class from the face's classification numbers.
  M.FamilyBits = 0x20;  // swiss (sans)
  if (Os2 && Os2->version != 0xFFFF) {
    const FT_Byte* Panose = Os2->panose;
    if (Panose[0] == 2) {
      bool Sans = Panose[1] >= 11 && Panose[1] <= 13;
      M.FamilyBits = Sans ? 0x20 : 0x10;
      if (Panose[3] == 9) M.FamilyBits = 0x30;
    } else if (Panose[0] == 3) {
      M.FamilyBits = 0x40;  // script
    } else if (Panose[0] == 4 || Panose[0] == 5) {
      M.FamilyBits = 0x50;  // decorative
    }
  }
  if (M.FixedPitch) M.FamilyBits = 0x30;
}

bool TFontInstance::LoadGlyph(uint32_t GlyphIndex) {
  FT_Face Face = FFace->Handle();
  if (Face == nullptr) return false;
  if (FSize) FT_Activate_Size(static_cast<FT_Size>(FSize));
  FT_Int32 Flags = FT_LOAD_DEFAULT;
  if (FMetrics.Outline) Flags |= FT_LOAD_NO_BITMAP;
  return FT_Load_Glyph(Face, GlyphIndex, Flags) == 0;
}

TFontInstance* TFontInstance::FallbackInstance() {
  if (!FFallbackTried) {
    FFallbackTried = true;
    TFontMatch Match = FindInstalledFont(FallbackFamily, FKey.SynthesizeBold ? 700 : FMetrics.Weight,
                                         FKey.SynthesizeItalic);
    if (Match.Found && !(Match.File.Path == FKey.Path && Match.File.Index == FKey.Index) &&
        FMetrics.Outline) {
      FFallback = ForMatch(Match, -FMetrics.EmHeight, 0, FMetrics.Weight);
    }
  }
  return FFallback.get();
}

TFontInstance::TCodeInfo& TFontInstance::Lookup(char32_t Code) {
  auto Found = FCodes.find(Code);
  if (Found != FCodes.end()) return Found->second;
  TCodeInfo Info;
  FT_Face Face = FFace->Handle();
  if (!IsControlCode(Code) && Face != nullptr) {
    Info.GlyphIndex = FT_Get_Char_Index(Face, FT_ULong(Code));
    TFontInstance* Fallback = nullptr;
    if (Info.GlyphIndex == 0 && (Fallback = FallbackInstance()) != nullptr &&
        FT_Get_Char_Index(Fallback->FFace->Handle(), FT_ULong(Code)) != 0) {
      Info.Fallback = true;
      Info.Advance = Fallback->Advance(Code);
    } else if (LoadGlyph(Info.GlyphIndex)) {
      Info.Advance = int((Face->glyph->advance.x + 32) >> 6);
      if (FKey.SynthesizeBold && Info.Advance > 0) Info.Advance += 1;
    }
  }
  return FCodes.emplace(Code, Info).first->second;
}

int TFontInstance::Advance(char32_t Code) {
  std::lock_guard Lock(EngineLock());
  if (Code < FLatinAdvance.size() && FLatinAdvance[Code] >= 0) return FLatinAdvance[Code];
  int Value = Lookup(Code).Advance;
  if (Code < FLatinAdvance.size()) FLatinAdvance[Code] = int16_t(std::clamp(Value, 0, 32767));
  return Value;
}

bool TFontInstance::HasGlyph(char32_t Code) {
  std::lock_guard Lock(EngineLock());
  const TCodeInfo& Info = Lookup(Code);
  return Info.GlyphIndex != 0 || Info.Fallback;
}

const TGlyphImage& TFontInstance::Glyph(char32_t Code, int Angle) {
  std::lock_guard Lock(EngineLock());
  Angle %= 3600;
  if (Angle < 0) Angle += 3600;
  uint64_t Key = (uint64_t(uint32_t(Angle)) << 32) | uint32_t(Code);
  auto Found = FGlyphs.find(Key);
  if (Found != FGlyphs.end()) return *Found->second;
  TCodeInfo Info = Lookup(Code);
  auto Image = std::make_unique<TGlyphImage>();
  if (Info.Fallback) {
    *Image = FallbackInstance()->Glyph(Code, Angle);
  } else if (!IsControlCode(Code)) {
    *Image = Render(Info, Angle);
  }
  return *FGlyphs.emplace(Key, std::move(Image)).first->second;
}

void TFontInstance::TrimGlyphCache() {
  std::lock_guard Lock(EngineLock());
  if (FGlyphs.size() > GlyphCacheBound) FGlyphs.clear();
  if (FFallback) FFallback->TrimGlyphCache();
}

TGlyphImage TFontInstance::Render(const TCodeInfo& Info, int Angle) {
  TGlyphImage Image;
  if (!LoadGlyph(Info.GlyphIndex)) return Image;
  FT_GlyphSlot Slot = FFace->Handle()->glyph;
  if (Slot->format == FT_GLYPH_FORMAT_OUTLINE) {
    if (FKey.SynthesizeBold) {
      // One pixel wider, grown to the right like an overstrike.
      FT_Outline_EmboldenXY(&Slot->outline, 64, 0);
      FT_Outline_Translate(&Slot->outline, 32, 0);
    }
    if (FKey.SynthesizeItalic) {
      // A 12-degree slant.
      FT_Matrix Shear = {0x10000, 0x0366A, 0, 0x10000};
      FT_Outline_Transform(&Slot->outline, &Shear);
    }
    if (Angle != 0) {
      double Radians = Angle * M_PI / 1800.0;
      FT_Fixed Cos = FT_Fixed(std::lround(std::cos(Radians) * 65536.0));
      FT_Fixed Sin = FT_Fixed(std::lround(std::sin(Radians) * 65536.0));
      FT_Matrix Rotation = {Cos, -Sin, Sin, Cos};
      FT_Outline_Transform(&Slot->outline, &Rotation);
    }
  }
  if (Slot->format != FT_GLYPH_FORMAT_BITMAP && FT_Render_Glyph(Slot, FT_RENDER_MODE_NORMAL) != 0)
    return Image;
  const FT_Bitmap& Bitmap = Slot->bitmap;
  Image.Left = Slot->bitmap_left;
  Image.Top = -Slot->bitmap_top;
  Image.Width = int(Bitmap.width);
  Image.Height = int(Bitmap.rows);
  Image.Coverage.assign(size_t(Image.Width) * size_t(Image.Height), 0);
  for (int Row = 0; Row < Image.Height; ++Row) {
    const unsigned char* Source =
        Bitmap.pitch >= 0 ? Bitmap.buffer + size_t(Row) * size_t(Bitmap.pitch)
                          : Bitmap.buffer + size_t(Image.Height - 1 - Row) * size_t(-Bitmap.pitch);
    uint8_t* Target = Image.Coverage.data() + size_t(Row) * size_t(Image.Width);
    for (int Column = 0; Column < Image.Width; ++Column) {
      switch (Bitmap.pixel_mode) {
        case FT_PIXEL_MODE_MONO:
          Target[Column] = (Source[Column >> 3] & (0x80 >> (Column & 7))) ? 255 : 0;
          break;
        case FT_PIXEL_MODE_GRAY:
          Target[Column] = Bitmap.num_grays == 256
                               ? Source[Column]
                               : uint8_t(Source[Column] * 255 / std::max(1, Bitmap.num_grays - 1));
          break;
        default:
          Target[Column] = 0;
          break;
      }
    }
  }
  return Image;
}

TGlyphImage RasterizePolygon(const double* X, const double* Y, int Count) {
  TGlyphImage Image;
  if (Count < 3 || Count > 16) return Image;
  double MinX = X[0], MaxX = X[0], MinY = Y[0], MaxY = Y[0];
  for (int Index = 1; Index < Count; ++Index) {
    MinX = std::min(MinX, X[Index]);
    MaxX = std::max(MaxX, X[Index]);
    MinY = std::min(MinY, Y[Index]);
    MaxY = std::max(MaxY, Y[Index]);
  }
  constexpr double Limit = 1 << 20;
  if (!(MinX > -Limit && MaxX < Limit && MinY > -Limit && MaxY < Limit)) return Image;
  Image.Left = int(std::floor(MinX));
  Image.Top = int(std::floor(MinY));
  Image.Width = int(std::ceil(MaxX)) - Image.Left;
  Image.Height = int(std::ceil(MaxY)) - Image.Top;
  if (Image.Width <= 0 || Image.Height <= 0) return Image;
  Image.Coverage.assign(size_t(Image.Width) * size_t(Image.Height), 0);

  std::lock_guard Lock(TFontInstance::EngineLock());
  auto Library = TFreeTypeLibrary::Shared();
  if (!Library->Handle()) return Image;
  FT_Vector Points[16];
  char Tags[16];
  short Contour = short(Count - 1);
  for (int Index = 0; Index < Count; ++Index) {
    // The bitmap's origin is its bottom-left corner, with y upward.
    Points[Index].x = FT_Pos(std::lround((X[Index] - Image.Left) * 64.0));
    Points[Index].y = FT_Pos(std::lround((Image.Top + Image.Height - Y[Index]) * 64.0));
    Tags[Index] = FT_CURVE_TAG_ON;
  }
  FT_Outline Outline{};
  Outline.n_contours = 1;
  Outline.n_points = short(Count);
  Outline.points = Points;
  Outline.tags = Tags;
  Outline.contours = &Contour;
  Outline.flags = FT_OUTLINE_NONE;
  FT_Bitmap Bitmap{};
  Bitmap.rows = unsigned(Image.Height);
  Bitmap.width = unsigned(Image.Width);
  Bitmap.pitch = Image.Width;
  Bitmap.buffer = Image.Coverage.data();
  Bitmap.num_grays = 256;
  Bitmap.pixel_mode = FT_PIXEL_MODE_GRAY;
  FT_Outline_Get_Bitmap(Library->Handle(), &Outline, &Bitmap);
  return Image;
}
