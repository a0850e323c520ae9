#include "platform/forms/hintwindow.h"

#include "platform/forms/screen.h"
#include "platform/gdi/gdi.h"
#include "platform/gdi/text.h"
#include "platform/gdi/textlayout.h"
#include "platform/user/user.h"

KORCAM_REGISTER_CLASS(THintWindow)

THintWindow::THintWindow(TComponent* AOwner) : TCustomControl(AOwner) {
  FColor = clInfoBk;
  FBrush->SetColor(clInfoBk);
  FParentColor = false;
  FParentFont = false;
  if (Screen) Canvas()->SetFont(Screen->HintFont());
  Canvas()->Brush()->SetStyle(bsClear);
  FVisible = false;
}

void THintWindow::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  Params.Style = WS_POPUP | WS_BORDER;
  Params.WindowClass.style |= CS_SAVEBITS;
  Params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
  Params.WndParent = nullptr;
}

void THintWindow::Paint() {
  RECT R = ClientRect();
  R.left += 2;
  R.top += 2;
  Canvas()->Font()->SetColor(Screen ? Screen->HintFont()->Color() : clInfoText);
  const std::string Text = Caption();
  DrawTextA(Canvas()->Handle(), Text.c_str(), -1, &R, DT_LEFT | DT_NOPREFIX | DT_WORDBREAK);
}

RECT THintWindow::CalcHintRect(int MaxWidth, const std::string& AHint, void*) {
  RECT R{0, 0, MaxWidth, 0};
  DrawTextA(Canvas()->Handle(), AHint.c_str(), -1, &R, DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
  R.right += 6;
  R.bottom += 2;
  return R;
}

void THintWindow::ActivateHint(RECT Rect, const std::string& AHint) {
  SetCaption(AHint);
  const int W = Rect.right - Rect.left, H = Rect.bottom - Rect.top;
  const int ScreenWidth = GetSystemMetrics(SM_CXSCREEN), ScreenHeight = GetSystemMetrics(SM_CYSCREEN);
  if (Rect.top + H > ScreenHeight) Rect.top = ScreenHeight - H;
  if (Rect.left + W > ScreenWidth) Rect.left = ScreenWidth - W;
  if (Rect.left < 0) Rect.left = 0;
  if (Rect.top < 0) Rect.top = 0;
  SetBounds(Rect.left, Rect.top, W, H);
  SetWindowPos(Handle(), HWND_TOPMOST, Rect.left, Rect.top, W, H, SWP_NOACTIVATE | SWP_SHOWWINDOW);
  Invalidate();
}

void THintWindow::ActivateHintData(RECT Rect, const std::string& AHint, void*) {
  ActivateHint(Rect, AHint);
}

bool THintWindow::IsHintMsg(const MSG& Msg) const {
  switch (Msg.message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
    case WM_ACTIVATE:
    case WM_MOUSEWHEEL:
      return true;
    default:
      return false;
  }
}

void THintWindow::ReleaseHandle() {
  DestroyHandle();
}

bool THintWindow::Active() const {
  return FHandle && IsWindowVisible(FHandle);
}

void THintWindow::Dispatch(TMessage& Message) {
  if (Message.Msg == WM_NCHITTEST) {
    Message.Result = HTTRANSPARENT;
    return;
  }
  TCustomControl::Dispatch(Message);
}
