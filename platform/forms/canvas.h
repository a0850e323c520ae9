#pragma once
// TCanvas: drawing with a font, a pen and a brush on a device context.
//
// The canvas selects its font, pen and brush into the DC lazily, only when a drawing call needs
// them (RequiredState), and deselects one as soon as it changes, so a change is seen by the next
// call and no handle stays selected after it is freed. Reading Handle selects all three, because
// code that takes the handle for its own GDI calls expects the canvas's objects in it. A solid
// brush makes the background mode OPAQUE with the brush colour as background; any other brush
// makes it TRANSPARENT, which is how a clear brush gives transparent text.
//
// OnChanging fires before and OnChange after every drawing call. A canvas for a bitmap or a
// control makes its DC on demand (CreateHandle) and may drop it between uses; PenPos survives.

#include <initializer_list>
#include <mutex>
#include <span>
#include <string>

#include "platform/classes/events.h"
#include "platform/classes/persistent.h"
#include "platform/forms/brush.h"
#include "platform/forms/font.h"
#include "platform/forms/graphics.h"
#include "platform/forms/pen.h"

class TGraphic;

KORCAM_ENUM(TCanvasStateItem, csHandleValid, csFontValid, csPenValid, csBrushValid)
using TCanvasState = TSet<TCanvasStateItem>;
constexpr TCanvasState csAllValid{csHandleValid, csFontValid, csPenValid, csBrushValid};

class TCanvas : public TPersistent {
  KORCAM_CLASS(TCanvas, TPersistent)

 public:
  TCanvas();
  ~TCanvas() override;

  OWNED_PROPERTY(TBrush, Brush)
  PLAIN_PROPERTY(TCopyMode, CopyMode, cmSrcCopy)
  OWNED_PROPERTY(TFont, Font)
  OWNED_PROPERTY(TPen, Pen)

 public:
  // The DC with font, pen and brush selected; made on demand by descendants. Raises
  // EInvalidOperation "Canvas does not allow drawing" when there is none.
  HDC Handle();
  // Attaches a DC the caller owns (nullptr detaches it, deselecting the canvas's objects).
  void SetHandle(HDC Value);
  bool HandleAllocated() const { return FHandle != nullptr; }

  POINT PenPos();
  void SetPenPos(POINT Value);
  // The clip box of the DC, in logical coordinates.
  RECT ClipRect();
  TColor Pixels(int X, int Y);
  void SetPixels(int X, int Y, TColor Value);
  // ExtTextOut options every text output adds (ETO_RTLREADING, for one).
  int32_t TextFlags() const { return FTextFlags; }
  void SetTextFlags(int32_t Value) { FTextFlags = Value; }
  TCanvasState State() const { return FState; }

  void MoveTo(int X, int Y);
  // A line from PenPos up to, not including, (X, Y); PenPos moves there.
  void LineTo(int X, int Y);
  void Rectangle(int X1, int Y1, int X2, int Y2);
  void Rectangle(const RECT& R) { Rectangle(R.left, R.top, R.right, R.bottom); }
  void RoundRect(int X1, int Y1, int X2, int Y2, int X3, int Y3);
  void Ellipse(int X1, int Y1, int X2, int Y2);
  void Ellipse(const RECT& R) { Ellipse(R.left, R.top, R.right, R.bottom); }
  void Polygon(std::span<const POINT> Points);
  void Polygon(std::initializer_list<POINT> Points) {
    Polygon(std::span<const POINT>(Points.begin(), Points.size()));
  }
  void Polyline(std::span<const POINT> Points);
  void Polyline(std::initializer_list<POINT> Points) {
    Polyline(std::span<const POINT>(Points.begin(), Points.size()));
  }
  void FillRect(const RECT& R);
  void FrameRect(const RECT& R);
  void DrawFocusRect(const RECT& R);

  // Text with its cell's top-left corner at (X, Y); PenPos moves to the end of the text.
  void TextOut(int X, int Y, const std::string& Text);
  // Text at (X, Y) clipped to R; R is filled with the brush first unless the brush is clear.
  void TextRect(const RECT& R, int X, int Y, const std::string& Text);
  SIZE TextExtent(const std::string& Text);
  int TextWidth(const std::string& Text) { return TextExtent(Text).cx; }
  int TextHeight(const std::string& Text) { return TextExtent(Text).cy; }

  // Draws Graphic at its own size with its top-left corner at (X, Y); an empty graphic draws
  // nothing.
  void Draw(int X, int Y, TGraphic* Graphic);
  // Draws Graphic scaled into R.
  void StretchDraw(const RECT& R, TGraphic* Graphic);
  // Copies Source's rectangle of Canvas into Dest of this canvas with CopyMode, stretching.
  void CopyRect(const RECT& Dest, TCanvas* Canvas, const RECT& Source);

  // Serialises drawing from several threads; counts nest.
  void Lock();
  bool TryLock();
  void Unlock();
  int LockCount() const { return FLockCount; }

  // Deselects font, pen and brush (the next drawing call selects them again).
  void Refresh();

  TNotifyEvent OnChange;
  TNotifyEvent OnChanging;

  // Selects into the DC what State lacks of Required (making the DC first if needed).
  void RequiredState(TCanvasState Required);

 protected:
  // Called when a DC is needed and there is none; descendants make one and SetHandle it.
  virtual void CreateHandle() {}
  virtual void Changing();
  virtual void Changed();
  void DeselectHandles();

 private:
  void FontChanged(TObject* Sender);
  void PenChanged(TObject* Sender);
  void BrushChanged(TObject* Sender);
  void SelectFont();
  void SelectPen();
  void SelectBrush();

  friend class TGraphic;

  HDC FHandle = nullptr;
  TCanvasState FState;
  POINT FPenPos{0, 0};
  int32_t FTextFlags = 0;
  std::recursive_mutex FLock;
  int FLockCount = 0;
};
