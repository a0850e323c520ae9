#pragma once
// TFont: the typeface a canvas writes with. Height is in pixels (negative: the em height, as a
// LOGFONT takes it); Size is in points at PixelsPerInch and is only another view of Height, so
// forms store Height and never Size. Handle makes (once per change) the HFONT of these values;
// the font owns it.

#include <string>

#include "platform/forms/graphics.h"
#include "platform/forms/graphicsobject.h"
#include "platform/gdi/font.h"

// The face a font named "Default" stands for, and the face of a new font.
extern const char* const DefaultFontName;

class TFont : public TGraphicsObject {
  KORCAM_CLASS(TFont, TGraphicsObject)

 public:
  TFont() = default;
  ~TFont() override;

  NODEFAULT_PROPERTY(TFontCharset, Charset, DEFAULT_CHARSET)
  NODEFAULT_PROPERTY(TColor, Color, clWindowText)
  NODEFAULT_PROPERTY(int32_t, Height, -11)
  NODEFAULT_PROPERTY(TFontName, Name, DefaultFontName)
  PROPERTY(int32_t, Orientation, 0)  // tenths of a degree, counter-clockwise
  PROPERTY(TFontPitch, Pitch, fpDefault)

  // Points: -MulDiv(Height, 72, PixelsPerInch). Setting it sets Height.
 public:
  int32_t Size() const;
  void SetSize(int32_t Value);
  KORCAM_PROPERTY_ROW(Size, [] {
    auto Info = korcam_detail::MakeProperty("Size", "int32_t", &ThisClass::Size, &ThisClass::SetSize);
    Info.Stored = [](const TObject&) { return false; };
    return Info;
  }())

  NODEFAULT_PROPERTY(TFontStyles, Style)

 public:
  int32_t PixelsPerInch() const { return FPixelsPerInch; }
  // Keeps Size: Height is rescaled to the new resolution.
  void SetPixelsPerInch(int32_t Value);

  // The HFONT of the current values, made on first use; the font deletes it when a value changes
  // or the font is freed.
  HFONT Handle() const;
  // Takes the values of an existing font and adopts the handle (the font deletes it later).
  void SetHandle(HFONT Value);
  bool HandleAllocated() const { return FHandle != nullptr; }
  // The LOGFONT Handle is made from.
  LOGFONTA LogFont() const;

  void Assign(TPersistent* Source) override;

 private:
  void FreeHandle() const;
  void Change();

  int32_t FPixelsPerInch = ScreenLogPixels;
  mutable HFONT FHandle = nullptr;
};
