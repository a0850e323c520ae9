#include "platform/forms/screen.h"

#include <algorithm>

#include "platform/forms/datamodule.h"
#include "platform/forms/font.h"
#include "platform/forms/form.h"
#include "platform/gdi/gdi.h"
#include "platform/user/user.h"

KORCAM_REGISTER_CLASS(TScreen)

TScreen* Screen = new TScreen(nullptr);

TScreen::TScreen(TComponent* AOwner) : TComponent(AOwner) {
  FHintFont = std::make_unique<TFont>();
  FHintFont->SetColor(clInfoText);
}

TScreen::~TScreen() = default;

int32_t TScreen::Width() const {
  return GetSystemMetrics(SM_CXSCREEN);
}
int32_t TScreen::Height() const {
  return GetSystemMetrics(SM_CYSCREEN);
}
RECT TScreen::WorkAreaRect() const {
  return GetWorkArea();
}
int32_t TScreen::WorkAreaWidth() const {
  RECT R = GetWorkArea();
  return R.right - R.left;
}
int32_t TScreen::WorkAreaHeight() const {
  RECT R = GetWorkArea();
  return R.bottom - R.top;
}

void TScreen::AddForm(TCustomForm* Form) {
  if (std::find(FForms.begin(), FForms.end(), Form) == FForms.end()) FForms.push_back(Form);
}

void TScreen::RemoveForm(TCustomForm* Form) {
  FForms.erase(std::remove(FForms.begin(), FForms.end(), Form), FForms.end());
  if (FActiveForm == Form) {
    FActiveForm = nullptr;
    FActiveControl = nullptr;
    if (OnActiveFormChange) OnActiveFormChange(this);
  }
  if (FFocusedForm == Form) FFocusedForm = nullptr;
}

void TScreen::AddDataModule(TDataModule* DataModule) {
  if (std::find(FDataModules.begin(), FDataModules.end(), DataModule) == FDataModules.end())
    FDataModules.push_back(DataModule);
}

void TScreen::RemoveDataModule(TDataModule* DataModule) {
  FDataModules.erase(std::remove(FDataModules.begin(), FDataModules.end(), DataModule), FDataModules.end());
}

void TScreen::SetActive(TCustomForm* Form, TWinControl* Control) {
  const bool FormChanged = FActiveForm != Form;
  const bool ControlChanged = FActiveControl != Control;
  FActiveForm = Form;
  FActiveControl = Control;
  if (FormChanged && OnActiveFormChange) OnActiveFormChange(this);
  if (ControlChanged && OnActiveControlChange) OnActiveControlChange(this);
}

void TScreen::ControlGone(TControl* Control) {
  if (FActiveControl == Control) FActiveControl = nullptr;
}

void TScreen::SetCursor(TCursor Value) {
  if (FCursor == Value) return;
  FCursor = Value;
  if (Value == crDefault) {
    // Back to the controls' own cursors: the window under the mouse chooses again.
    POINT P{};
    GetCursorPos(&P);
    HWND Window = WindowFromPoint(P);
    if (Window && GetWindowThreadProcessId(Window, nullptr) == GetCurrentThreadId()) {
      LRESULT Hit = SendMessageA(Window, WM_NCHITTEST, 0, MAKELPARAM(WORD(P.x), WORD(P.y)));
      SendMessageA(Window, WM_SETCURSOR, WPARAM(Window), MAKELPARAM(WORD(Hit), WORD(WM_MOUSEMOVE)));
      return;
    }
  }
  ::SetCursor(CursorHandle(Value));
}

namespace {

int AddFontName(const LOGFONTA* LogFont, const TEXTMETRICA*, DWORD, LPARAM Data) {
  auto* List = reinterpret_cast<TStringList*>(Data);
  std::string Name = LogFont->lfFaceName;
  if (!Name.empty() && List->IndexOf(Name) < 0) List->Add(Name);
  return 1;
}

}  // namespace

TStrings* TScreen::Fonts() {
  if (!FFonts) {
    FFonts = std::make_unique<TStringList>();
    HDC DC = GetDC(nullptr);
    LOGFONTA Filter{};
    Filter.lfCharSet = DEFAULT_CHARSET;
    EnumFontFamiliesExA(DC, &Filter, AddFontName, LPARAM(FFonts.get()), 0);
    ReleaseDC(nullptr, DC);
    FFonts->SetSorted(true);
  }
  return FFonts.get();
}

void TScreen::ResetFonts() {
  FFonts.reset();
}
