#pragma once
// TBrush: the fill of shapes and rectangles. A brush with a Bitmap paints that bitmap's pattern
// whatever its Style; otherwise Style chooses solid, hatched or clear (no fill; text drawn with a
// clear brush leaves the background alone).

#include "platform/forms/graphics.h"
#include "platform/forms/graphicsobject.h"

class TBitmap;

class TBrush : public TGraphicsObject {
  KORCAM_CLASS(TBrush, TGraphicsObject)

 public:
  TBrush() = default;
  ~TBrush() override;

  // Setting a colour on a clear brush makes it solid again, as code that sets a colour expects
  // to see it.
  PROPERTY(TColor, Color, clWhite)
  PROPERTY(TBrushStyle, Style, bsSolid)

  // The pattern bitmap (not owned; the caller keeps it alive while the brush uses it).
  TBitmap* Bitmap() const { return FBitmap; }
  void SetBitmap(TBitmap* Value);

  // The HBRUSH of the current values, made on first use and owned by the brush. A pattern brush
  // copies the bitmap's pixels when it is made.
  HBRUSH Handle() const;
  void SetHandle(HBRUSH Value);
  bool HandleAllocated() const { return FHandle != nullptr; }

  void Assign(TPersistent* Source) override;

 private:
  void FreeHandle() const;
  TBitmap* FBitmap = nullptr;
  mutable HBRUSH FHandle = nullptr;
  mutable HBITMAP FPatternSource = nullptr;  // the bitmap handle the pattern was made from
};
