#pragma once
// Logical fonts: LOGFONT, CreateFontIndirect, GetTextMetrics, GetTextFace, font enumeration and
// the stock fonts. A font object keeps the caller's LOGFONT exactly as given (GetObject returns
// it unchanged) and realises it on first use: the face is matched by name (see fontmatch.h) and
// sized by the height rules of fontengine.h. Face names are UTF-8, at most 31 bytes.

#include <memory>
#include <string>

#include "platform/gdi/gdiobj.h"
#include "platform/rtl/wintypes.h"

constexpr int LF_FACESIZE = 32;
constexpr int LF_FULLFACESIZE = 64;

constexpr LONG FW_DONTCARE = 0;
constexpr LONG FW_THIN = 100;
constexpr LONG FW_EXTRALIGHT = 200;
constexpr LONG FW_LIGHT = 300;
constexpr LONG FW_NORMAL = 400;
constexpr LONG FW_REGULAR = 400;
constexpr LONG FW_MEDIUM = 500;
constexpr LONG FW_SEMIBOLD = 600;
constexpr LONG FW_BOLD = 700;
constexpr LONG FW_EXTRABOLD = 800;
constexpr LONG FW_HEAVY = 900;

// Character sets are kept as values; matching does not depend on them.
constexpr BYTE ANSI_CHARSET = 0;
constexpr BYTE DEFAULT_CHARSET = 1;
constexpr BYTE SYMBOL_CHARSET = 2;
constexpr BYTE MAC_CHARSET = 77;
constexpr BYTE SHIFTJIS_CHARSET = 128;
constexpr BYTE HANGEUL_CHARSET = 129;
constexpr BYTE HANGUL_CHARSET = 129;
constexpr BYTE JOHAB_CHARSET = 130;
constexpr BYTE GB2312_CHARSET = 134;
constexpr BYTE CHINESEBIG5_CHARSET = 136;
constexpr BYTE GREEK_CHARSET = 161;
constexpr BYTE TURKISH_CHARSET = 162;
constexpr BYTE VIETNAMESE_CHARSET = 163;
constexpr BYTE HEBREW_CHARSET = 177;
constexpr BYTE ARABIC_CHARSET = 178;
constexpr BYTE BALTIC_CHARSET = 186;
constexpr BYTE RUSSIAN_CHARSET = 204;
constexpr BYTE THAI_CHARSET = 222;
constexpr BYTE EASTEUROPE_CHARSET = 238;
constexpr BYTE OEM_CHARSET = 255;

constexpr BYTE OUT_DEFAULT_PRECIS = 0;
constexpr BYTE OUT_STRING_PRECIS = 1;
constexpr BYTE OUT_CHARACTER_PRECIS = 2;
constexpr BYTE OUT_STROKE_PRECIS = 3;
constexpr BYTE OUT_TT_PRECIS = 4;
constexpr BYTE OUT_DEVICE_PRECIS = 5;
constexpr BYTE OUT_RASTER_PRECIS = 6;
constexpr BYTE OUT_TT_ONLY_PRECIS = 7;
constexpr BYTE OUT_OUTLINE_PRECIS = 8;

constexpr BYTE CLIP_DEFAULT_PRECIS = 0;
constexpr BYTE CLIP_CHARACTER_PRECIS = 1;
constexpr BYTE CLIP_STROKE_PRECIS = 2;
constexpr BYTE CLIP_LH_ANGLES = 0x10;

constexpr BYTE DEFAULT_QUALITY = 0;
constexpr BYTE DRAFT_QUALITY = 1;
constexpr BYTE PROOF_QUALITY = 2;
constexpr BYTE NONANTIALIASED_QUALITY = 3;
constexpr BYTE ANTIALIASED_QUALITY = 4;
constexpr BYTE CLEARTYPE_QUALITY = 5;

constexpr BYTE DEFAULT_PITCH = 0;
constexpr BYTE FIXED_PITCH = 1;
constexpr BYTE VARIABLE_PITCH = 2;
constexpr BYTE FF_DONTCARE = 0x00;
constexpr BYTE FF_ROMAN = 0x10;
constexpr BYTE FF_SWISS = 0x20;
constexpr BYTE FF_MODERN = 0x30;
constexpr BYTE FF_SCRIPT = 0x40;
constexpr BYTE FF_DECORATIVE = 0x50;

// tmPitchAndFamily bits (TMPF_FIXED_PITCH set means a variable-pitch font).
constexpr BYTE TMPF_FIXED_PITCH = 0x01;
constexpr BYTE TMPF_VECTOR = 0x02;
constexpr BYTE TMPF_TRUETYPE = 0x04;
constexpr BYTE TMPF_DEVICE = 0x08;

// Font types of enumeration.
constexpr DWORD RASTER_FONTTYPE = 0x0001;
constexpr DWORD DEVICE_FONTTYPE = 0x0002;
constexpr DWORD TRUETYPE_FONTTYPE = 0x0004;

constexpr DWORD NTM_ITALIC = 0x00000001;
constexpr DWORD NTM_BOLD = 0x00000020;
constexpr DWORD NTM_REGULAR = 0x00000040;

struct LOGFONTA {
  LONG lfHeight;
  LONG lfWidth;
  LONG lfEscapement;
  LONG lfOrientation;
  LONG lfWeight;
  BYTE lfItalic;
  BYTE lfUnderline;
  BYTE lfStrikeOut;
  BYTE lfCharSet;
  BYTE lfOutPrecision;
  BYTE lfClipPrecision;
  BYTE lfQuality;
  BYTE lfPitchAndFamily;
  CHAR lfFaceName[LF_FACESIZE];
};
using LOGFONT = LOGFONTA;
using PLOGFONTA = LOGFONTA*;
using LPLOGFONTA = LOGFONTA*;
using tagLOGFONTA = LOGFONTA;

struct TEXTMETRICA {
  LONG tmHeight;
  LONG tmAscent;
  LONG tmDescent;
  LONG tmInternalLeading;
  LONG tmExternalLeading;
  LONG tmAveCharWidth;
  LONG tmMaxCharWidth;
  LONG tmWeight;
  LONG tmOverhang;
  LONG tmDigitizedAspectX;
  LONG tmDigitizedAspectY;
  BYTE tmFirstChar;
  BYTE tmLastChar;
  BYTE tmDefaultChar;
  BYTE tmBreakChar;
  BYTE tmItalic;
  BYTE tmUnderlined;
  BYTE tmStruckOut;
  BYTE tmPitchAndFamily;
  BYTE tmCharSet;
};
using TEXTMETRIC = TEXTMETRICA;
using LPTEXTMETRICA = TEXTMETRICA*;
using tagTEXTMETRICA = TEXTMETRICA;

struct NEWTEXTMETRICA : TEXTMETRICA {
  DWORD ntmFlags;
  UINT ntmSizeEM;
  UINT ntmCellHeight;
  UINT ntmAvgWidth;
};
using NEWTEXTMETRIC = NEWTEXTMETRICA;
using tagNEWTEXTMETRICA = NEWTEXTMETRICA;

struct FONTSIGNATURE {
  DWORD fsUsb[4];
  DWORD fsCsb[2];
};

struct NEWTEXTMETRICEXA {
  NEWTEXTMETRICA ntmTm;
  FONTSIGNATURE ntmFontSig;
};

struct ENUMLOGFONTA {
  LOGFONTA elfLogFont;
  BYTE elfFullName[LF_FULLFACESIZE];
  BYTE elfStyle[LF_FACESIZE];
};
using ENUMLOGFONT = ENUMLOGFONTA;
using tagENUMLOGFONTA = ENUMLOGFONTA;

struct ENUMLOGFONTEXA {
  LOGFONTA elfLogFont;
  BYTE elfFullName[LF_FULLFACESIZE];
  BYTE elfStyle[LF_FACESIZE];
  BYTE elfScript[LF_FACESIZE];
};

// The enumeration callback. The LOGFONTA is the start of an ENUMLOGFONTEXA (and so of an
// ENUMLOGFONTA), the TEXTMETRICA the start of a NEWTEXTMETRICEXA; callers may cast. Returning 0
// stops the enumeration.
using FONTENUMPROCA = int (*)(const LOGFONTA* LogFont, const TEXTMETRICA* Metric, DWORD FontType,
                              LPARAM Data);
using FONTENUMPROC = FONTENUMPROCA;

HFONT CreateFontIndirectA(const LOGFONTA* LogFont);
inline HFONT CreateFontIndirect(const LOGFONTA* LogFont) { return CreateFontIndirectA(LogFont); }
HFONT CreateFontA(int Height, int Width, int Escapement, int Orientation, int Weight,
                  DWORD Italic, DWORD Underline, DWORD StrikeOut, DWORD CharSet,
                  DWORD OutPrecision, DWORD ClipPrecision, DWORD Quality, DWORD PitchAndFamily,
                  LPCSTR FaceName);
inline HFONT CreateFont(int Height, int Width, int Escapement, int Orientation, int Weight,
                        DWORD Italic, DWORD Underline, DWORD StrikeOut, DWORD CharSet,
                        DWORD OutPrecision, DWORD ClipPrecision, DWORD Quality,
                        DWORD PitchAndFamily, LPCSTR FaceName) {
  return CreateFontA(Height, Width, Escapement, Orientation, Weight, Italic, Underline, StrikeOut,
                     CharSet, OutPrecision, ClipPrecision, Quality, PitchAndFamily, FaceName);
}

// The metrics of the font selected into DC.
BOOL GetTextMetricsA(HDC DC, LPTEXTMETRICA Metric);
inline BOOL GetTextMetrics(HDC DC, LPTEXTMETRICA Metric) { return GetTextMetricsA(DC, Metric); }
// Copies the family name of the face actually used (NUL-terminated, at most Count bytes) and
// answers the bytes copied without the NUL; with a null buffer, the size needed with the NUL.
int GetTextFaceA(HDC DC, int Count, LPSTR FaceName);
inline int GetTextFace(HDC DC, int Count, LPSTR FaceName) {
  return GetTextFaceA(DC, Count, FaceName);
}
// Advances of the code points First..Last.
BOOL GetCharWidth32A(HDC DC, UINT First, UINT Last, LPINT Buffer);
BOOL GetCharWidthA(HDC DC, UINT First, UINT Last, LPINT Buffer);
inline BOOL GetCharWidth(HDC DC, UINT First, UINT Last, LPINT Buffer) {
  return GetCharWidthA(DC, First, Last, Buffer);
}

// Without a family name: one call per family (its regular style). With one: one call per style
// of that family. Outline faces report TRUETYPE_FONTTYPE, bitmap faces RASTER_FONTTYPE. Answers
// the last value the callback returned, 1 when it was never called.
int EnumFontFamiliesA(HDC DC, LPCSTR Family, FONTENUMPROCA Proc, LPARAM Data);
inline int EnumFontFamilies(HDC DC, LPCSTR Family, FONTENUMPROCA Proc, LPARAM Data) {
  return EnumFontFamiliesA(DC, Family, Proc, Data);
}
// The LOGFONT's face name selects the family (empty: all families); its charset is reported back.
int EnumFontFamiliesExA(HDC DC, const LOGFONTA* LogFont, FONTENUMPROCA Proc, LPARAM Data,
                        DWORD Flags);
inline int EnumFontFamiliesEx(HDC DC, const LOGFONTA* LogFont, FONTENUMPROCA Proc, LPARAM Data,
                              DWORD Flags) {
  return EnumFontFamiliesExA(DC, LogFont, Proc, Data, Flags);
}

// Whether text is anti-aliased (grey coverage) where the font's quality leaves it open; the
// NONANTIALIASED_QUALITY fonts and 1-bit surfaces always get hard-edged text. On by default.
void GdiSetFontSmoothing(bool Enabled);
bool GdiFontSmoothing();

class TFontInstance;

// The font object behind an HFONT.
class TGdiFont : public TGdiObject {
 public:
  explicit TGdiFont(const LOGFONTA& LogFont);
  ~TGdiFont() override;

  const LOGFONTA& LogFont() const { return FLogFont; }
  std::string FaceName() const;
  // The realised face at this font's size (created on first use, shared between fonts).
  TFontInstance& Instance();
  // The escapement in tenths of a degree, normalised to 0..3599.
  int Angle() const;
  // Whether glyph edges are anti-aliased.
  bool Smooth() const;

  int GetObjectInfo(int Size, void* Buffer) const override;

 private:
  LOGFONTA FLogFont;
  std::shared_ptr<TFontInstance> FInstance;
};

TGdiFont* GdiGetFont(HFONT Font);
// The font selected into a DC (the system font when none is).
TGdiFont* GdiSelectedFont(HDC DC);

// Fills TEXTMETRICA from a font (GetTextMetrics without a DC).
void GdiFontTextMetrics(TGdiFont& Font, TEXTMETRICA& Metric);
