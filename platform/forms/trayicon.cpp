#include "platform/forms/trayicon.h"

#include "platform/forms/form.h"
#include "platform/forms/menus.h"
#include "platform/user/desktopservices.h"
#include "platform/user/user.h"

KORCAM_REGISTER_CLASS(TTrayIcon)

namespace {

constexpr const char* WindowClassName = "TTrayIconWindow";

// The built-in picture: a small dark camera with a blue lens, 16 x 16, 0xAARRGGBB.
std::vector<uint32_t> DefaultPicture() {
  std::vector<uint32_t> Pixels(16 * 16, 0);
  for (int Y = 0; Y < 16; ++Y)
    for (int X = 0; X < 16; ++X) {
      uint32_t& P = Pixels[size_t(Y * 16 + X)];
      const bool Body = Y >= 4 && Y <= 13 && X >= 1 && X <= 14;
      const bool Top = Y >= 2 && Y < 4 && X >= 5 && X <= 10;
      if (Body || Top) P = 0xFF404850;
      const int DX = X * 2 - 15, DY = Y * 2 - 17;  // centre (7.5, 8.5)
      const int Distance = DX * DX + DY * DY;
      if (Distance <= 64) P = 0xFFD0D8E0;
      if (Distance <= 36) P = 0xFF2060C0;
      if (Distance <= 4) P = 0xFFFFFFFF;
    }
  return Pixels;
}

UINT TaskbarCreatedMessage() {
  static const UINT Message = RegisterWindowMessageA("TaskbarCreated");
  return Message;
}

}  // namespace

LRESULT TrayIconWindowProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam) {
  auto* Icon = reinterpret_cast<TTrayIcon*>(GetWindowLongPtrA(Window, GWLP_USERDATA));
  if (Icon) {
    try {
      if (Msg == TTrayIcon::CallbackMessage && WParam == TTrayIcon::IconId) {
        Icon->HandleMouse(UINT(LParam));
        return 0;
      }
      if (Msg == TaskbarCreatedMessage()) {
        // A tray started: the icon the program wants goes into it.
        Icon->FShown = false;
        Icon->Refresh();
        return 0;
      }
    } catch (...) {
      if (Application) Application->HandleException(Icon);
      return 0;
    }
  }
  return DefWindowProcA(Window, Msg, WParam, LParam);
}

TTrayIcon::TTrayIcon(TComponent* AOwner) : TComponent(AOwner), FIcon(std::make_unique<TIcon>()) {
  FIcon->OnChange = TNotifyEvent(this, &TTrayIcon::IconChanged);
  WNDCLASSA Class{};
  if (!GetClassInfoA(nullptr, WindowClassName, &Class)) {
    Class.lpfnWndProc = &TrayIconWindowProc;
    Class.lpszClassName = WindowClassName;
    RegisterClassA(&Class);
  }
  // A hidden top-level window: the tray's mouse messages and "TaskbarCreated" come to it.
  FWindow = CreateWindowExA(WS_EX_TOOLWINDOW, WindowClassName, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr,
                            nullptr);
  if (FWindow) SetWindowLongPtrA(FWindow, GWLP_USERDATA, LONG_PTR(this));
  FApplication = Application;
  if (FApplication) FApplication->AddMinimizeWatcher(this);
}

TTrayIcon::~TTrayIcon() {
  Teardown();
}

void TTrayIcon::BeforeDestruction() {
  Teardown();
  TComponent::BeforeDestruction();
}

void TTrayIcon::Teardown() {
  if (FApplication && FApplication == Application) FApplication->RemoveMinimizeWatcher(this);
  FApplication = nullptr;
  RemoveIcon();
  if (FWindow) {
    SetWindowLongPtrA(FWindow, GWLP_USERDATA, 0);
    if (IsWindow(FWindow)) DestroyWindow(FWindow);
  }
  FWindow = nullptr;
  if (FIcon) FIcon->OnChange = TNotifyEvent();
}

bool TTrayIcon::SystemTrayExists() {
  return NotifyAreaExists();
}

void TTrayIcon::SetVisible(bool Value) {
  if (FVisible == Value) return;
  FVisible = Value;
  Refresh();
}

void TTrayIcon::SetHint(const std::string& Value) {
  if (FHint == Value) return;
  FHint = Value;
  Refresh();
}

void TTrayIcon::SetIcon(TIcon* Value) {
  FIcon->Assign(Value);
}

void TTrayIcon::IconChanged(TObject*) {
  Refresh();
}

void TTrayIcon::SetPopupMenu(TPopupMenu* Value) {
  if (FPopupMenu == Value) return;
  if (FPopupMenu) FPopupMenu->RemoveFreeNotification(this);
  FPopupMenu = Value;
  if (FPopupMenu) FPopupMenu->FreeNotification(this);
}

void TTrayIcon::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FPopupMenu) FPopupMenu = nullptr;
}

void TTrayIcon::Loaded() {
  TComponent::Loaded();
  Refresh();
}

void TTrayIcon::Update() {
  FShown = false;
  Refresh();
}

void TTrayIcon::Refresh() {
  if (ComponentState().Contains(csLoading) || ComponentState().Contains(csDestroying) || !FWindow) return;
  if (!FVisible) {
    RemoveIcon();
    return;
  }
  TNotifyIconData Data;
  Data.Wnd = FWindow;
  Data.ID = IconId;
  Data.Flags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  Data.CallbackMessage = CallbackMessage;
  Data.Tip = FHint;
  const imagecodec::TImage& Image = FIcon->Image();
  if (Image.Width > 0 && Image.Height > 0) {
    Data.IconWidth = Image.Width;
    Data.IconHeight = Image.Height;
    Data.IconPixels.resize(size_t(Image.Width) * size_t(Image.Height));
    for (size_t Index = 0; Index < Data.IconPixels.size(); ++Index) {
      const uint8_t* P = &Image.Pixels[Index * 4];
      Data.IconPixels[Index] = uint32_t(P[3]) << 24 | uint32_t(P[2]) << 16 | uint32_t(P[1]) << 8 | P[0];
    }
  } else {
    Data.IconWidth = 16;
    Data.IconHeight = 16;
    Data.IconPixels = DefaultPicture();
  }
  // Changing an icon the tray holds; adding it when it holds none (or another tray came).
  if (FShown && Shell_NotifyIcon(NIM_MODIFY, Data)) return;
  FShown = Shell_NotifyIcon(NIM_ADD, Data) != FALSE;
}

void TTrayIcon::RemoveIcon() {
  if (!FShown) return;
  TNotifyIconData Data;
  Data.Wnd = FWindow;
  Data.ID = IconId;
  Shell_NotifyIcon(NIM_DELETE, Data);
  FShown = false;
}

// ---- into the tray and out of it -----------------------------------------------------------------

void TTrayIcon::Minimize() {
  if (Application) Application->Minimize();
}

void TTrayIcon::Restore() {
  if (Application) Application->Restore();
}

void TTrayIcon::ApplicationMinimized() {
  TObjectProtector Protector(this);
  TCustomForm* Main = Application ? Application->MainForm() : nullptr;
  // Off the screen only into a tray that is there to bring it back from.
  if (Main && FHideOnMinimize && FShown) Main->Hide();
  if (Protector.Alive() && OnMinimize) OnMinimize(this);
}

void TTrayIcon::ApplicationRestored() {
  TObjectProtector Protector(this);
  if (TCustomForm* Main = Application ? Application->MainForm() : nullptr) {
    if (!Main->Visible()) Main->Show();
    Application->BringToFront();
  }
  if (Protector.Alive() && OnRestore) OnRestore(this);
}

// ---- the mouse over the icon ---------------------------------------------------------------------

void TTrayIcon::HandleMouse(UINT MouseMessage) {
  switch (MouseMessage) {
    case WM_LBUTTONDBLCLK:
      DoubleClicked();
      break;
    case WM_RBUTTONUP:
      PopupAtCursor();
      break;
    default:
      break;
  }
}

void TTrayIcon::DoubleClicked() {
  TMenuItem* Default = FPopupMenu ? FPopupMenu->Items()->DefaultItem() : nullptr;
  if (Default)
    Default->Click();
  else
    Restore();
}

void TTrayIcon::PopupAtCursor() {
  if (!FPopupMenu) return;
  POINT At{};
  GetCursorPos(&At);
  FPopupMenu->Popup(At.x, At.y);
}
