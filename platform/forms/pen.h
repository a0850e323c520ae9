#pragma once
// TPen: the outline of shapes and the stroke of lines. Mode is the mix mode the canvas sets when
// it selects the pen; the other values make the HPEN.

#include "platform/forms/graphics.h"
#include "platform/forms/graphicsobject.h"

class TPen : public TGraphicsObject {
  KORCAM_CLASS(TPen, TGraphicsObject)

 public:
  TPen() = default;
  ~TPen() override;

  PROPERTY(TColor, Color, clBlack)
  PROPERTY(TPenMode, Mode, pmCopy)
  PROPERTY(TPenStyle, Style, psSolid)
  PROPERTY(int32_t, Width, 1)

  // The HPEN of Color, Style and Width, made on first use and owned by the pen.
  HPEN Handle() const;
  // Takes the values of an existing pen and adopts the handle.
  void SetHandle(HPEN Value);
  bool HandleAllocated() const { return FHandle != nullptr; }

  void Assign(TPersistent* Source) override;

 private:
  void FreeHandle() const;
  mutable HPEN FHandle = nullptr;
};
