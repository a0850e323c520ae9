#include "platform/forms/controlcanvas.h"

#include <algorithm>
#include <vector>

#include "platform/forms/wincontrol.h"
#include "platform/gdi/gdi.h"
#include "platform/gdi/text.h"
#include "platform/user/user.h"

KORCAM_REGISTER_CLASS(TControlCanvas)

namespace {

// Canvases holding a DC they made themselves.
std::vector<TControlCanvas*>& CanvasList() {
  static std::vector<TControlCanvas*> List;
  return List;
}

}  // namespace

TControlCanvas::~TControlCanvas() {
  FreeHandle();
}

void TControlCanvas::SetControl(TControl* Value) {
  if (FControl == Value) return;
  FreeHandle();
  FControl = Value;
}

void TControlCanvas::SetHandle(HDC Value) {
  FBound = Value;
  TCanvas::SetHandle(Value);
}

void TControlCanvas::CreateHandle() {
  if (!FControl) return;
  if (!FDeviceContext) {
    if (auto* Windowed = dynamic_cast<TWinControl*>(FControl)) {
      FWindowHandle = Windowed->Handle();
      FDeviceContext = GetDC(FWindowHandle);
    } else {
      TWinControl* Parent = FControl->Parent();
      if (!Parent) throw EInvalidOperation("Control '" + FControl->Name() + "' has no parent window");
      FWindowHandle = Parent->Handle();
      FDeviceContext = GetDC(FWindowHandle);
      SetViewportOrgEx(FDeviceContext, FControl->Left(), FControl->Top(), nullptr);
      IntersectClipRect(FDeviceContext, 0, 0, FControl->Width(), FControl->Height());
    }
    if (!FDeviceContext) throw EOutOfResources("Out of system resources");
    CanvasList().push_back(this);
  }
  SetHandle(FDeviceContext);
  UpdateTextFlags();
}

void TControlCanvas::FreeHandle() {
  if (!FDeviceContext) return;
  if (FBound == FDeviceContext) SetHandle(nullptr);
  ReleaseDC(FWindowHandle, FDeviceContext);
  FDeviceContext = nullptr;
  FWindowHandle = nullptr;
  auto& List = CanvasList();
  List.erase(std::remove(List.begin(), List.end(), this), List.end());
}

void TControlCanvas::UpdateTextFlags() {
  if (!FControl) return;
  int32_t Flags = TextFlags() & ~int32_t(ETO_RTLREADING);
  if (FControl->UseRightToLeftReading()) Flags |= int32_t(ETO_RTLREADING);
  SetTextFlags(Flags);
}

void FreeDeviceContexts() {
  std::vector<TControlCanvas*> List = CanvasList();
  for (TControlCanvas* Canvas : List) Canvas->FreeHandle();
}

void FreeDeviceContext(HWND Window) {
  std::vector<TControlCanvas*> List = CanvasList();
  for (TControlCanvas* Canvas : List)
    if (Canvas->WindowHandle() == Window) Canvas->FreeHandle();
}
