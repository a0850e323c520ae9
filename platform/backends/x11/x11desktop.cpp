// The X11 back end's desktop services: the class library's clipboard and tray icon, realised on
// the X selections and the system-tray protocol. Both go through the back end's public functions,
// which answer only on its own thread and only while the display lives, so a store called after
// the display was lost fails quietly instead of touching a broken connection.

#include "platform/backends/x11/x11desktop.h"

#include "platform/backends/x11/x11clipboard.h"
#include "platform/backends/x11/x11tray.h"
#include "platform/user/desktopservices.h"

#include "platform/backends/x11/x11parts.h"
#include "platform/backends/x11/x11trayicons.h"

namespace X11Impl {

namespace {

class TX11ClipboardStore : public TClipboardStore {
 public:
  void SetText(const std::string& Text) override { X11SetSelectionText(TX11Selection::Clipboard, Text); }

  void SetPicture(int Width, int Height, const std::vector<uint32_t>& Pixels) override {
    if (Width <= 0 || Height <= 0 || Pixels.size() < size_t(Width) * size_t(Height)) return;
    TBgraImage Image;
    Image.Resize(Width, Height);
    for (int Y = 0; Y < Height; ++Y) {
      uint8_t* Row = Image.Row(Y);
      for (int X = 0; X < Width; ++X) {
        uint32_t Pixel = Pixels[size_t(Y) * size_t(Width) + size_t(X)];
        Row[X * 4 + 0] = uint8_t(Pixel);
        Row[X * 4 + 1] = uint8_t(Pixel >> 8);
        Row[X * 4 + 2] = uint8_t(Pixel >> 16);
        Row[X * 4 + 3] = 255;
      }
    }
    X11SetSelectionImage(TX11Selection::Clipboard, Image);
  }

  void Clear() override { X11ClearSelection(TX11Selection::Clipboard); }
  bool HasText() override { return X11SelectionHasText(TX11Selection::Clipboard); }
  bool HasPicture() override { return X11SelectionHasImage(TX11Selection::Clipboard); }
  std::optional<std::string> Text() override { return X11GetSelectionText(TX11Selection::Clipboard); }

  // The clipboard's bitmaps have no alpha: a picture's colours are taken as they are.
  bool Picture(int& Width, int& Height, std::vector<uint32_t>& Pixels) override {
    std::optional<TBgraImage> Image = X11GetSelectionImage(TX11Selection::Clipboard);
    if (!Image || Image->Empty()) return false;
    Width = Image->Width;
    Height = Image->Height;
    Pixels.assign(size_t(Width) * size_t(Height), 0);
    for (int Y = 0; Y < Height; ++Y) {
      const uint8_t* Row = Image->Row(Y);
      for (int X = 0; X < Width; ++X)
        Pixels[size_t(Y) * size_t(Width) + size_t(X)] =
            uint32_t(Row[X * 4]) | uint32_t(Row[X * 4 + 1]) << 8 | uint32_t(Row[X * 4 + 2]) << 16;
    }
    return true;
  }
};

// Copies the members Flags names into Icon.
void Apply(const TNotifyIconData& Data, TX11TrayIcon& Icon) {
  Icon.Window = Data.Wnd;
  Icon.Id = Data.ID;
  if (Data.Flags & NIF_MESSAGE) Icon.CallbackMessage = Data.CallbackMessage;
  if (Data.Flags & NIF_TIP) Icon.Tip = Data.Tip;
  if (Data.Flags & NIF_ICON) {
    bool Complete = Data.IconWidth > 0 && Data.IconHeight > 0 &&
                    Data.IconPixels.size() >= size_t(Data.IconWidth) * size_t(Data.IconHeight);
    Icon.Width = Complete ? Data.IconWidth : 0;
    Icon.Height = Complete ? Data.IconHeight : 0;
    Icon.Pixels = Complete ? Data.IconPixels : std::vector<uint32_t>();
    Icon.Pixels.resize(size_t(Icon.Width) * size_t(Icon.Height));
  }
}

class TX11NotifyArea : public TNotifyArea {
 public:
  bool Exists() override { return X11TrayExists(); }

  bool Add(const TNotifyIconData& Data) override {
    TX11TrayIcon Icon;
    Apply(Data, Icon);
    return X11TrayAddIcon(Icon);
  }

  bool Modify(const TNotifyIconData& Data) override {
    const TX11Parts* Parts = RunningParts();
    if (!Parts) return false;
    const TX11TrayIcon* Current = Parts->Tray->IconOf(Data.Wnd, Data.ID);
    if (!Current) return false;
    TX11TrayIcon Icon = *Current;
    Apply(Data, Icon);
    return X11TrayModifyIcon(Icon);
  }

  bool Delete(HWND Wnd, UINT ID) override { return X11TrayRemoveIcon(Wnd, ID); }
};

}  // namespace

TX11Desktop::TX11Desktop()
    : FClipboard(std::make_unique<TX11ClipboardStore>()), FTray(std::make_unique<TX11NotifyArea>()) {
  SetClipboardStore(FClipboard.get());
  SetNotifyArea(FTray.get());
}

TX11Desktop::~TX11Desktop() {
  if (GetClipboardStore() == FClipboard.get()) SetClipboardStore(nullptr);
  if (GetNotifyArea() == FTray.get()) SetNotifyArea(nullptr);
}

}  // namespace X11Impl
