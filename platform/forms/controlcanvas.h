#pragma once
// TControlCanvas: the canvas of a control. Outside painting it makes its own device context on
// first use: the window's client DC for a windowed control, and for a windowless control its
// parent's DC with the origin moved to the control and clipped to it. The DC is given back when
// the control's window goes away and whenever FreeDeviceContexts runs (the application does
// that when it is idle), so a canvas never holds on to a stale view. While painting, the
// control binds the paint DC instead (SetHandle) and unbinds it afterwards.

#include "platform/forms/canvas.h"

class TControl;

class TControlCanvas : public TCanvas {
  KORCAM_CLASS(TControlCanvas, TCanvas)

 public:
  TControlCanvas() = default;
  ~TControlCanvas() override;

  TControl* Control() const { return FControl; }
  // Binds a DC (a paint DC while the control paints) or, with nullptr, unbinds it.
  void SetHandle(HDC Value);
  void SetControl(TControl* Value);
  // Gives the DC made by CreateHandle back (a bound paint DC is only detached).
  void FreeHandle();
  // Sets ETO_RTLREADING in TextFlags for controls that read right to left.
  void UpdateTextFlags();
  // The window whose DC CreateHandle took (nullptr when none is held).
  HWND WindowHandle() const { return FWindowHandle; }

 protected:
  void CreateHandle() override;

 private:
  TControl* FControl = nullptr;
  HDC FDeviceContext = nullptr;
  HDC FBound = nullptr;
  HWND FWindowHandle = nullptr;
};

// Gives back every DC that control canvases made for themselves.
void FreeDeviceContexts();
// Gives back the DCs that canvases made on Window (the window is going away).
void FreeDeviceContext(HWND Window);
