#include "platform/forms/font.h"

#include <algorithm>
#include <cstring>

#include "platform/gdi/gdiobj.h"
#include "platform/rtl/sysutils.h"

KORCAM_REGISTER_CLASS(TFont)

const char* const DefaultFontName = "MS Sans Serif";

TFont::~TFont() {
  FreeHandle();
}

void TFont::FreeHandle() const {
  if (FHandle) {
    DeleteObject(FHandle);
    FHandle = nullptr;
  }
}

// Every property that shapes the glyphs drops the handle; the next use makes a new one.
void TFont::Change() {
  FreeHandle();
  Changed();
}

void TFont::SetCharset(TFontCharset Value) {
  if (Value == FCharset) return;
  FCharset = Value;
  Change();
}

// The colour is not part of the handle (the canvas sets it as the text colour), but users of
// the font still hear of it.
void TFont::SetColor(TColor Value) {
  if (Value == FColor) return;
  FColor = Value;
  Changed();
}

void TFont::SetHeight(int32_t Value) {
  if (Value == FHeight) return;
  FHeight = Value;
  Change();
}

// An empty name is ignored: a font always has a face.
void TFont::SetName(const TFontName& Value) {
  if (Value.empty() || Value == FName) return;
  FName = Value;
  Change();
}

void TFont::SetOrientation(int32_t Value) {
  if (Value == FOrientation) return;
  FOrientation = Value;
  Change();
}

void TFont::SetPitch(TFontPitch Value) {
  if (Value == FPitch) return;
  FPitch = Value;
  Change();
}

void TFont::SetStyle(const TFontStyles& Value) {
  if (Value == FStyle) return;
  FStyle = Value;
  Change();
}

int32_t TFont::Size() const {
  return -MulDiv(FHeight, 72, FPixelsPerInch);
}

void TFont::SetSize(int32_t Value) {
  SetHeight(-MulDiv(Value, FPixelsPerInch, 72));
}

void TFont::SetPixelsPerInch(int32_t Value) {
  if (Value <= 0 || Value == FPixelsPerInch) return;
  const int32_t OldSize = Size();
  FPixelsPerInch = Value;
  SetSize(OldSize);
}

LOGFONTA TFont::LogFont() const {
  LOGFONTA Result{};
  Result.lfHeight = FHeight;
  Result.lfWidth = 0;
  Result.lfEscapement = FOrientation;
  Result.lfOrientation = FOrientation;
  Result.lfWeight = FStyle.Contains(fsBold) ? FW_BOLD : FW_NORMAL;
  Result.lfItalic = FStyle.Contains(fsItalic) ? 1 : 0;
  Result.lfUnderline = FStyle.Contains(fsUnderline) ? 1 : 0;
  Result.lfStrikeOut = FStyle.Contains(fsStrikeOut) ? 1 : 0;
  Result.lfCharSet = FCharset;
  Result.lfOutPrecision = OUT_DEFAULT_PRECIS;
  Result.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  Result.lfQuality = DEFAULT_QUALITY;
  switch (FPitch) {
    case fpVariable:
      Result.lfPitchAndFamily = VARIABLE_PITCH;
      break;
    case fpFixed:
      Result.lfPitchAndFamily = FIXED_PITCH;
      break;
    default:
      Result.lfPitchAndFamily = DEFAULT_PITCH;
      break;
  }
  std::string Face = SameText(FName, "Default") ? std::string(DefaultFontName) : FName;
  // A face name holds at most LF_FACESIZE - 1 bytes; cut on a character boundary.
  size_t Length = std::min<size_t>(Face.size(), LF_FACESIZE - 1);
  while (Length > 0 && Length < Face.size() && (static_cast<unsigned char>(Face[Length]) & 0xC0) == 0x80)
    --Length;
  std::memcpy(Result.lfFaceName, Face.data(), Length);
  Result.lfFaceName[Length] = '\0';
  return Result;
}

HFONT TFont::Handle() const {
  if (!FHandle) {
    const LOGFONTA Data = LogFont();
    FHandle = CreateFontIndirectA(&Data);
  }
  return FHandle;
}

void TFont::SetHandle(HFONT Value) {
  LOGFONTA Data{};
  if (!Value || GetObject(Value, sizeof(Data), &Data) == 0) return;
  FreeHandle();
  FHeight = Data.lfHeight;
  FOrientation = Data.lfEscapement;
  TFontStyles NewStyle;
  if (Data.lfWeight >= FW_BOLD) NewStyle.Include(fsBold);
  if (Data.lfItalic) NewStyle.Include(fsItalic);
  if (Data.lfUnderline) NewStyle.Include(fsUnderline);
  if (Data.lfStrikeOut) NewStyle.Include(fsStrikeOut);
  FStyle = NewStyle;
  FCharset = Data.lfCharSet;
  switch (Data.lfPitchAndFamily & 0x0F) {
    case VARIABLE_PITCH:
      FPitch = fpVariable;
      break;
    case FIXED_PITCH:
      FPitch = fpFixed;
      break;
    default:
      FPitch = fpDefault;
      break;
  }
  const std::string Face(Data.lfFaceName, strnlen(Data.lfFaceName, LF_FACESIZE));
  if (!Face.empty()) FName = Face;
  FHandle = Value;
  Changed();
}

void TFont::Assign(TPersistent* Source) {
  if (auto* Other = dynamic_cast<TFont*>(Source)) {
    if (Other == this) return;
    FreeHandle();
    FCharset = Other->FCharset;
    FColor = Other->FColor;
    FName = Other->FName;
    FOrientation = Other->FOrientation;
    FPitch = Other->FPitch;
    FStyle = Other->FStyle;
    // The other font's point size at this font's resolution.
    FHeight =
        Other->FPixelsPerInch == FPixelsPerInch ? Other->FHeight : -MulDiv(Other->Size(), FPixelsPerInch, 72);
    Changed();
    return;
  }
  inherited::Assign(Source);
}
