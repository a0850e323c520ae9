#include "platform/gdi/font.h"

#include <algorithm>
#include <atomic>
#include <cstring>

#include "platform/gdi/dc.h"
#include "platform/gdi/fontengine.h"
#include "platform/gdi/fontmatch.h"
#include "platform/rtl/sysutils.h"
#include "platform/rtl/unicode.h"

namespace {

std::atomic<bool> FontSmoothing{true};

// Enumeration reports each face at a 16-pixel cell, the default size of a logical font.
constexpr int EnumerationHeight = 16;

void CopyName(CHAR* Target, size_t TargetSize, std::string_view Name) {
  std::string_view Cut = Utf8TruncateBytes(Name, TargetSize - 1);
  std::memset(Target, 0, TargetSize);
  std::memcpy(Target, Cut.data(), Cut.size());
}

LOGFONTA MakeLogFont(int Height, int Weight, BYTE CharSet, BYTE PitchAndFamily, const char* Face) {
  LOGFONTA Font{};
  Font.lfHeight = Height;
  Font.lfWeight = Weight;
  Font.lfCharSet = CharSet;
  Font.lfPitchAndFamily = PitchAndFamily;
  CopyName(Font.lfFaceName, LF_FACESIZE, Face);
  return Font;
}

// The stock fonts: the look of the classic desktop's system and dialog fonts, in the faces that
// stand in for them here.
const bool StockFontsRegistered = [] {
  struct TStock {
    int Index;
    LOGFONTA Font;
  };
  const TStock Stock[] = {
      {SYSTEM_FONT, MakeLogFont(16, FW_BOLD, ANSI_CHARSET, VARIABLE_PITCH | FF_SWISS, "System")},
      {DEVICE_DEFAULT_FONT,
       MakeLogFont(16, FW_BOLD, ANSI_CHARSET, VARIABLE_PITCH | FF_SWISS, "System")},
      {DEFAULT_GUI_FONT,
       MakeLogFont(-11, FW_NORMAL, DEFAULT_CHARSET, VARIABLE_PITCH | FF_SWISS, "MS Shell Dlg")},
      {ANSI_VAR_FONT,
       MakeLogFont(13, FW_NORMAL, ANSI_CHARSET, VARIABLE_PITCH | FF_SWISS, "MS Sans Serif")},
      {ANSI_FIXED_FONT,
       MakeLogFont(13, FW_NORMAL, ANSI_CHARSET, FIXED_PITCH | FF_MODERN, "Courier")},
      {OEM_FIXED_FONT, MakeLogFont(12, FW_NORMAL, OEM_CHARSET, FIXED_PITCH | FF_MODERN, "Terminal")},
      {SYSTEM_FIXED_FONT,
       MakeLogFont(15, FW_NORMAL, ANSI_CHARSET, FIXED_PITCH | FF_MODERN, "Fixedsys")},
  };
  for (const TStock& Entry : Stock) {
    LOGFONTA Font = Entry.Font;
    GdiRegisterStockObject(Entry.Index, [Font] { return std::make_unique<TGdiFont>(Font); });
  }
  return true;
}();

BYTE ReportedCharSet(BYTE CharSet) { return CharSet == DEFAULT_CHARSET ? ANSI_CHARSET : CharSet; }

BYTE PitchAndFamilyBits(const TFontMetrics& Metrics) {
  BYTE Bits = Metrics.FamilyBits;
  if (!Metrics.FixedPitch) Bits |= TMPF_FIXED_PITCH;
  if (Metrics.Outline) Bits |= TMPF_VECTOR;
  if (Metrics.TrueType) Bits |= TMPF_TRUETYPE;
  return Bits;
}

void FillMetrics(const TFontMetrics& M, const LOGFONTA& Font, bool Italic, TEXTMETRICA& Metric) {
  Metric = TEXTMETRICA{};
  Metric.tmHeight = M.Height;
  Metric.tmAscent = M.Ascent;
  Metric.tmDescent = M.Descent;
  Metric.tmInternalLeading = M.InternalLeading;
  Metric.tmExternalLeading = M.ExternalLeading;
  Metric.tmAveCharWidth = M.AveCharWidth;
  Metric.tmMaxCharWidth = M.MaxCharWidth;
  Metric.tmWeight = M.Weight;
  Metric.tmOverhang = 0;
  Metric.tmDigitizedAspectX = 96;
  Metric.tmDigitizedAspectY = 96;
  Metric.tmFirstChar = 0x20;
  Metric.tmLastChar = 0xFF;
  Metric.tmDefaultChar = 0x1F;
  Metric.tmBreakChar = 0x20;
  Metric.tmItalic = Italic ? 255 : 0;
  Metric.tmUnderlined = Font.lfUnderline ? 255 : 0;
  Metric.tmStruckOut = Font.lfStrikeOut ? 255 : 0;
  Metric.tmPitchAndFamily = PitchAndFamilyBits(M);
  Metric.tmCharSet = ReportedCharSet(Font.lfCharSet);
}

DWORD FontTypeOf(const TFontFileInfo& File, const TFontMetrics& Metrics) {
  if (!File.Outline) return RASTER_FONTTYPE;
  return Metrics.TrueType ? TRUETYPE_FONTTYPE : 0;
}

// Builds the two structures the callback receives for one style of a family.
void DescribeStyle(const TFontFamilyInfo& Family, const TFontFileInfo& File, BYTE CharSet,
                   ENUMLOGFONTEXA& LogFont, NEWTEXTMETRICEXA& Metric, DWORD& FontType) {
  TFontMatch Match;
  Match.File = File;
  Match.Found = true;
  auto Instance = TFontInstance::ForMatch(Match, EnumerationHeight, 0, File.Weight);
  const TFontMetrics& M = Instance->Metrics();

  LogFont = ENUMLOGFONTEXA{};
  LOGFONTA& Font = LogFont.elfLogFont;
  Font.lfHeight = M.Height;
  Font.lfWidth = M.AveCharWidth;
  Font.lfWeight = File.Weight;
  Font.lfItalic = File.Italic ? 255 : 0;
  Font.lfCharSet = ReportedCharSet(CharSet);
  Font.lfOutPrecision = File.Outline ? OUT_STROKE_PRECIS : OUT_STRING_PRECIS;
  Font.lfClipPrecision = CLIP_STROKE_PRECIS;
  Font.lfQuality = DRAFT_QUALITY;
  Font.lfPitchAndFamily = BYTE((Family.FixedPitch ? FIXED_PITCH : VARIABLE_PITCH) | M.FamilyBits);
  CopyName(Font.lfFaceName, LF_FACESIZE, Family.Name);
  std::string Full = Family.Name;
  if (!File.Style.empty() && !SameText(File.Style, "Regular")) Full += " " + File.Style;
  CopyName(reinterpret_cast<CHAR*>(LogFont.elfFullName), LF_FULLFACESIZE, Full);
  CopyName(reinterpret_cast<CHAR*>(LogFont.elfStyle), LF_FACESIZE,
           File.Style.empty() ? "Regular" : File.Style);
  CopyName(reinterpret_cast<CHAR*>(LogFont.elfScript), LF_FACESIZE, "Western");

  Metric = NEWTEXTMETRICEXA{};
  FillMetrics(M, Font, File.Italic, Metric.ntmTm);
  Metric.ntmTm.tmWeight = File.Weight;
  if (File.Italic) Metric.ntmTm.ntmFlags |= NTM_ITALIC;
  if (File.Weight >= 600) Metric.ntmTm.ntmFlags |= NTM_BOLD;
  if (!File.Italic && File.Weight < 600) Metric.ntmTm.ntmFlags |= NTM_REGULAR;
  Metric.ntmTm.ntmSizeEM = UINT(M.DesignEm);
  Metric.ntmTm.ntmCellHeight = UINT(M.DesignCellHeight);
  Metric.ntmTm.ntmAvgWidth = UINT(M.DesignAveWidth);
  Metric.ntmFontSig.fsCsb[0] = 1;  // Latin 1
  FontType = FontTypeOf(File, M);
}

int Enumerate(const std::string& FamilyName, BYTE CharSet, FONTENUMPROCA Proc, LPARAM Data) {
  if (Proc == nullptr) return 0;
  int Result = 1;
  for (const TFontFamilyInfo& Family : ListFontFamilies()) {
    if (Family.Styles.empty()) continue;
    if (!FamilyName.empty() && !SameText(Family.Name, FamilyName)) continue;
    size_t Count = FamilyName.empty() ? 1 : Family.Styles.size();
    for (size_t Index = 0; Index < Count; ++Index) {
      ENUMLOGFONTEXA LogFont;
      NEWTEXTMETRICEXA Metric;
      DWORD FontType = 0;
      DescribeStyle(Family, Family.Styles[Index], CharSet, LogFont, Metric, FontType);
      Result = Proc(&LogFont.elfLogFont, &Metric.ntmTm, FontType, Data);
      if (Result == 0) return 0;
    }
  }
  return Result;
}

}  // namespace

void GdiSetFontSmoothing(bool Enabled) { FontSmoothing = Enabled; }
bool GdiFontSmoothing() { return FontSmoothing; }

TGdiFont::TGdiFont(const LOGFONTA& LogFont) : TGdiObject(OBJ_FONT), FLogFont(LogFont) {
  FLogFont.lfFaceName[LF_FACESIZE - 1] = 0;
}

TGdiFont::~TGdiFont() = default;

std::string TGdiFont::FaceName() const {
  return std::string(FLogFont.lfFaceName, strnlen(FLogFont.lfFaceName, LF_FACESIZE));
}

TFontInstance& TGdiFont::Instance() {
  std::lock_guard Lock(TFontInstance::EngineLock());
  if (!FInstance) {
    TFontRequest Request;
    Request.FaceName = FaceName();
    Request.Weight = FLogFont.lfWeight == FW_DONTCARE ? FW_NORMAL : FLogFont.lfWeight;
    Request.Italic = FLogFont.lfItalic != 0;
    Request.PitchAndFamily = FLogFont.lfPitchAndFamily;
    Request.OutlineOnly = Angle() != 0 || FLogFont.lfOutPrecision == OUT_TT_ONLY_PRECIS;
    TFontMatch Match = MatchFont(Request);
    FInstance = TFontInstance::ForMatch(Match, FLogFont.lfHeight, FLogFont.lfWidth, Request.Weight);
  }
  return *FInstance;
}

int TGdiFont::Angle() const {
  int Angle = FLogFont.lfEscapement % 3600;
  return Angle < 0 ? Angle + 3600 : Angle;
}

bool TGdiFont::Smooth() const {
  if (FLogFont.lfQuality == NONANTIALIASED_QUALITY) return false;
  if (FLogFont.lfQuality == ANTIALIASED_QUALITY || FLogFont.lfQuality == CLEARTYPE_QUALITY)
    return true;
  return GdiFontSmoothing();
}

int TGdiFont::GetObjectInfo(int Size, void* Buffer) const {
  if (Buffer == nullptr) return int(sizeof(LOGFONTA));
  if (Size <= 0) return 0;
  size_t Count = std::min(size_t(Size), sizeof(LOGFONTA));
  std::memcpy(Buffer, &FLogFont, Count);
  return int(Count);
}

TGdiFont* GdiGetFont(HFONT Font) { return GdiGetObjectAs<TGdiFont>(Font, OBJ_FONT); }

TGdiFont* GdiSelectedFont(HDC DC) {
  TDC* Context = GdiGetDC(DC);
  if (Context == nullptr) return nullptr;
  TGdiObject* Object = Context->FontObject();
  if (Object != nullptr && Object->Kind() == OBJ_FONT) return static_cast<TGdiFont*>(Object);
  return GdiGetFont(static_cast<HFONT>(GetStockObject(SYSTEM_FONT)));
}

void GdiFontTextMetrics(TGdiFont& Font, TEXTMETRICA& Metric) {
  std::lock_guard Lock(TFontInstance::EngineLock());
  TFontInstance& Instance = Font.Instance();
  FillMetrics(Instance.Metrics(), Font.LogFont(), Font.LogFont().lfItalic != 0, Metric);
}

HFONT CreateFontIndirectA(const LOGFONTA* LogFont) {
  if (LogFont == nullptr) return nullptr;
  return static_cast<HFONT>(GdiAddObject(std::make_unique<TGdiFont>(*LogFont)));
}

HFONT CreateFontA(int Height, int Width, int Escapement, int Orientation, int Weight,
                  DWORD Italic, DWORD Underline, DWORD StrikeOut, DWORD CharSet,
                  DWORD OutPrecision, DWORD ClipPrecision, DWORD Quality, DWORD PitchAndFamily,
                  LPCSTR FaceName) {
  LOGFONTA Font{};
  Font.lfHeight = Height;
  Font.lfWidth = Width;
  Font.lfEscapement = Escapement;
  Font.lfOrientation = Orientation;
  Font.lfWeight = Weight;
  Font.lfItalic = BYTE(Italic);
  Font.lfUnderline = BYTE(Underline);
  Font.lfStrikeOut = BYTE(StrikeOut);
  Font.lfCharSet = BYTE(CharSet);
  Font.lfOutPrecision = BYTE(OutPrecision);
  Font.lfClipPrecision = BYTE(ClipPrecision);
  Font.lfQuality = BYTE(Quality);
  Font.lfPitchAndFamily = BYTE(PitchAndFamily);
  if (FaceName) CopyName(Font.lfFaceName, LF_FACESIZE, FaceName);
  return CreateFontIndirectA(&Font);
}

BOOL GetTextMetricsA(HDC DC, LPTEXTMETRICA Metric) {
  TGdiFont* Font = GdiSelectedFont(DC);
  if (Font == nullptr || Metric == nullptr) return FALSE;
  GdiFontTextMetrics(*Font, *Metric);
  return TRUE;
}

int GetTextFaceA(HDC DC, int Count, LPSTR FaceName) {
  TGdiFont* Font = GdiSelectedFont(DC);
  if (Font == nullptr) return 0;
  std::string Name;
  {
    std::lock_guard Lock(TFontInstance::EngineLock());
    Name = Font->Instance().Family();
  }
  if (Name.empty()) Name = Font->FaceName();
  Name = std::string(Utf8TruncateBytes(Name, LF_FACESIZE - 1));
  if (FaceName == nullptr) return int(Name.size()) + 1;
  if (Count <= 0) return 0;
  std::string_view Cut = Utf8TruncateBytes(Name, size_t(Count - 1));
  std::memcpy(FaceName, Cut.data(), Cut.size());
  FaceName[Cut.size()] = 0;
  return int(Cut.size());
}

BOOL GetCharWidth32A(HDC DC, UINT First, UINT Last, LPINT Buffer) {
  TGdiFont* Font = GdiSelectedFont(DC);
  if (Font == nullptr || Buffer == nullptr || Last < First) return FALSE;
  std::lock_guard Lock(TFontInstance::EngineLock());
  TFontInstance& Instance = Font->Instance();
  for (UINT Code = First; Code <= Last; ++Code) Buffer[Code - First] = Instance.Advance(Code);
  return TRUE;
}

BOOL GetCharWidthA(HDC DC, UINT First, UINT Last, LPINT Buffer) {
  return GetCharWidth32A(DC, First, Last, Buffer);
}

int EnumFontFamiliesA(HDC DC, LPCSTR Family, FONTENUMPROCA Proc, LPARAM Data) {
  return Enumerate(Family ? std::string(Family) : std::string(), ANSI_CHARSET, Proc, Data);
}

int EnumFontFamiliesExA(HDC DC, const LOGFONTA* LogFont, FONTENUMPROCA Proc, LPARAM Data,
                        DWORD Flags) {
  if (LogFont == nullptr) return 0;
  std::string Family(LogFont->lfFaceName, strnlen(LogFont->lfFaceName, LF_FACESIZE));
  BYTE CharSet = LogFont->lfCharSet == DEFAULT_CHARSET ? ANSI_CHARSET : LogFont->lfCharSet;
  return Enumerate(Family, CharSet, Proc, Data);
}
