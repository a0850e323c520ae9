#include "platform/forms/colordialogform.h"

#include <algorithm>
#include <functional>
#include <string>

#include "platform/forms/buttons.h"
#include "platform/forms/edit.h"
#include "platform/forms/form.h"
#include "platform/forms/graphiccontrol.h"
#include "platform/forms/messagebox.h"
#include "platform/forms/screen.h"
#include "platform/gdi/drawedge.h"
#include "platform/gdi/rect.h"
#include "platform/gdi/text.h"
#include "platform/gdi/textlayout.h"
#include "platform/user/user.h"

namespace {

int ScreenPixels(int Value) {
  const int PixelsPerInch = Screen ? Screen->PixelsPerInch() : 96;
  return (Value * PixelsPerInch + 48) / 96;
}

class TColorDialogLabel : public TGraphicControl {
  KORCAM_CLASS(TColorDialogLabel, TGraphicControl)

 public:
  explicit TColorDialogLabel(TComponent* AOwner) : TGraphicControl(AOwner) {}

 protected:
  void Paint() override {
    TCanvas* C = Canvas();
    C->SetFont(Font());
    C->Brush()->SetStyle(bsClear);
    RECT R = ClientRect();
    const std::string Text = Caption();
    DrawTextA(C->Handle(), Text.c_str(), int(Text.size()), &R, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
  }
};
KORCAM_REGISTER_CLASS(TColorDialogLabel)

// A grid of colour swatches: each in a sunken well, the chosen one framed in black (and with a
// focus rectangle while the grid has the focus). A click or an arrow key chooses a swatch.
class TColorSwatchGrid : public TCustomControl {
  KORCAM_CLASS(TColorSwatchGrid, TCustomControl)

 public:
  explicit TColorSwatchGrid(TComponent* AOwner) : TCustomControl(AOwner) { SetTabStop(true); }

  int Columns = 8;
  int Rows = 1;
  int Selected = -1;
  std::function<TColor(int)> ColorAt;
  std::function<void(int)> OnPick;

  RECT CellRect(int Index) const {
    const int W = ClientWidth() / Columns, H = ClientHeight() / Rows;
    const int Column = Index % Columns, Row = Index / Columns;
    return RECT{Column * W, Row * H, Column * W + W, Row * H + H};
  }

  void Dispatch(TMessage& Message) override {
    switch (Message.Msg) {
      case WM_GETDLGCODE:
        Message.Result = DLGC_WANTARROWS;
        return;
      case WM_SETFOCUS:
      case WM_KILLFOCUS:
        TCustomControl::Dispatch(Message);
        Invalidate();
        return;
      default:
        TCustomControl::Dispatch(Message);
    }
  }

 protected:
  void Paint() override {
    TCanvas* C = Canvas();
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(clBtnFace);
    C->FillRect(ClientRect());
    const bool HasFocus = Focused();
    for (int Index = 0; Index < Columns * Rows; ++Index) {
      RECT Cell = CellRect(Index);
      InflateRect(&Cell, -ScreenPixels(2), -ScreenPixels(2));
      if (Index == Selected) {
        C->Brush()->SetColor(clBlack);
        C->FrameRect(Cell);
        if (HasFocus) {
          RECT Focus = Cell;
          InflateRect(&Focus, 2, 2);
          C->DrawFocusRect(Focus);
        }
      }
      RECT Well = Cell;
      InflateRect(&Well, -1, -1);
      DrawEdge(C->Handle(), &Well, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
      C->Brush()->SetColor(ColorAt ? ColorAt(Index) : clWhite);
      C->FillRect(Well);
    }
  }
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override {
    TCustomControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft) return;
    if (CanFocus()) SetFocus();
    for (int Index = 0; Index < Columns * Rows; ++Index) {
      const RECT Cell = CellRect(Index);
      if (PtInRect(&Cell, POINT{X, Y})) {
        Pick(Index);
        return;
      }
    }
  }
  void KeyDown(WORD& Key, TShiftState Shift) override {
    const int Current = std::max(Selected, 0);
    int Next = -1;
    switch (Key) {
      case VK_LEFT: Next = Current % Columns > 0 ? Current - 1 : Current; break;
      case VK_RIGHT: Next = Current % Columns < Columns - 1 ? Current + 1 : Current; break;
      case VK_UP: Next = Current >= Columns ? Current - Columns : Current; break;
      case VK_DOWN: Next = Current + Columns < Columns * Rows ? Current + Columns : Current; break;
      default: break;
    }
    if (Next >= 0) {
      Key = 0;
      Pick(Next);
    }
    TCustomControl::KeyDown(Key, Shift);
  }

 private:
  void Pick(int Index) {
    Selected = Index;
    Invalidate();
    if (OnPick) OnPick(Index);
  }
};
KORCAM_REGISTER_CLASS(TColorSwatchGrid)

// The colour being chosen, in a sunken well.
class TColorPreview : public TGraphicControl {
  KORCAM_CLASS(TColorPreview, TGraphicControl)

 public:
  explicit TColorPreview(TComponent* AOwner) : TGraphicControl(AOwner) {}
  TColor Shown = clBlack;

 protected:
  void Paint() override {
    TCanvas* C = Canvas();
    RECT R = ClientRect();
    DrawEdge(C->Handle(), &R, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(Shown);
    C->FillRect(R);
  }
};
KORCAM_REGISTER_CLASS(TColorPreview)

class TColorDialogForm : public TForm {
  KORCAM_CLASS(TColorDialogForm, TForm)

 public:
  TColorDialogForm(TColorDialogSession& Session, HWND OwnerWindow);
  ~TColorDialogForm() override;

 protected:
  void CreateParams(TCreateParams& Params) override;

 private:
  TColorDialogLabel* AddLabel(const std::string& Caption, int Left, int Top, int Width);
  TButton* AddButton(const char* Name, const std::string& Caption);
  TEdit* AddChannel(const char* Name, const std::string& Caption, int Channel, int Top);
  void Layout();
  void Sync();
  void OkClick(TObject* Sender);
  void DefineClick(TObject* Sender);
  void AddClick(TObject* Sender);
  void ChannelChange(TObject* Sender);

  TColorDialogSession& FSession;
  HWND FOwnerWindow;
  bool FSyncing = false;
  TColorSwatchGrid* FBasic = nullptr;
  TColorSwatchGrid* FCustom = nullptr;
  TButton* FDefineButton = nullptr;
  TButton* FOkButton = nullptr;
  TButton* FCancelButton = nullptr;
  TEdit* FChannels[3] = {};
  TColorDialogLabel* FChannelLabels[3] = {};
  TColorPreview* FPreview = nullptr;
  TButton* FAddButton = nullptr;
};

constexpr int LeftWidth = 212;
constexpr int RightWidth = 190;

TColorDialogForm::TColorDialogForm(TColorDialogSession& Session, HWND OwnerWindow)
    : TForm(nullptr, 0), FSession(Session), FOwnerWindow(OwnerWindow) {
  SetBorderStyle(bsDialog);
  SetBorderIcons({biSystemMenu});
  SetCaption(Session.Title());
  const int M = ScreenPixels(8);
  AddLabel("&Basic colors:", M, M, ScreenPixels(LeftWidth - 16));
  FBasic = new TColorSwatchGrid(this);
  FBasic->SetName("BasicColors");
  FBasic->SetParent(this);
  FBasic->Rows = 6;
  FBasic->ColorAt = [](int Index) { return TColorDialogSession::BasicColors()[size_t(Index)]; };
  FBasic->OnPick = [this](int Index) { FSession.SelectBasic(Index); };
  FBasic->SetBounds(M, M + ScreenPixels(18), ScreenPixels(LeftWidth - 16), ScreenPixels(6 * 22));
  const int CustomTop = FBasic->Top() + FBasic->Height() + ScreenPixels(6);
  AddLabel("&Custom colors:", M, CustomTop, ScreenPixels(LeftWidth - 16));
  FCustom = new TColorSwatchGrid(this);
  FCustom->SetName("CustomColors");
  FCustom->SetParent(this);
  FCustom->Rows = 2;
  FCustom->ColorAt = [this](int Index) { return FSession.CustomColors()[size_t(Index)]; };
  FCustom->OnPick = [this](int Index) { FSession.SelectCustom(Index); };
  FCustom->SetBounds(M, CustomTop + ScreenPixels(18), ScreenPixels(LeftWidth - 16), ScreenPixels(2 * 22));
  const int Row = ScreenPixels(23);
  FDefineButton = AddButton("DefineButton", "&Define Custom Colors >>");
  FDefineButton->SetBounds(M, FCustom->Top() + FCustom->Height() + ScreenPixels(8), ScreenPixels(LeftWidth - 16), Row);
  FDefineButton->OnClick = TNotifyEvent(this, &TColorDialogForm::DefineClick);
  FDefineButton->SetEnabled(!Session.Options().Contains(cdPreventFullOpen));
  const int ButtonTop = FDefineButton->Top() + Row + ScreenPixels(10);
  const int ButtonWidth = ScreenPixels(LeftWidth - 16 - 8) / 2;
  FOkButton = AddButton("OkButton", "OK");
  FOkButton->SetDefault(true);
  FOkButton->SetBounds(M, ButtonTop, ButtonWidth, Row);
  FOkButton->OnClick = TNotifyEvent(this, &TColorDialogForm::OkClick);
  FCancelButton = AddButton("CancelButton", "Cancel");
  FCancelButton->SetCancel(true);
  FCancelButton->SetModalResult(mrCancel);
  FCancelButton->SetBounds(M + ButtonWidth + ScreenPixels(8), ButtonTop, ButtonWidth, Row);

  const int RightLeft = ScreenPixels(LeftWidth);
  FChannels[0] = AddChannel("RedEdit", "&Red:", 0, M);
  FChannels[1] = AddChannel("GreenEdit", "&Green:", 1, M + Row + ScreenPixels(6));
  FChannels[2] = AddChannel("BlueEdit", "Bl&ue:", 2, M + 2 * (Row + ScreenPixels(6)));
  FPreview = new TColorPreview(this);
  FPreview->SetName("Preview");
  FPreview->SetParent(this);
  FPreview->SetBounds(RightLeft, M + 3 * (Row + ScreenPixels(6)), ScreenPixels(RightWidth - 8), ScreenPixels(64));
  FAddButton = AddButton("AddButton", "&Add to Custom Colors");
  FAddButton->SetBounds(RightLeft, FPreview->Top() + FPreview->Height() + ScreenPixels(8), ScreenPixels(RightWidth - 8),
                        Row);
  FAddButton->OnClick = TNotifyEvent(this, &TColorDialogForm::AddClick);

  SetClientHeight(ButtonTop + Row + M);
  Session.OnChange = [this] { Sync(); };
  Sync();
  Layout();
  SetActiveControl(FBasic);
}

TColorDialogForm::~TColorDialogForm() { FSession.OnChange = nullptr; }

void TColorDialogForm::CreateParams(TCreateParams& Params) {
  TForm::CreateParams(Params);
  if (FOwnerWindow && IsWindow(FOwnerWindow)) Params.WndParent = FOwnerWindow;
}

TColorDialogLabel* TColorDialogForm::AddLabel(const std::string& Caption, int Left, int Top, int Width) {
  auto* Label = new TColorDialogLabel(this);
  Label->SetParent(this);
  Label->SetCaption(Caption);
  Label->SetBounds(Left, Top, Width, ScreenPixels(18));
  return Label;
}

TButton* TColorDialogForm::AddButton(const char* Name, const std::string& Caption) {
  auto* Button = new TButton(this);
  Button->SetName(Name);
  Button->SetParent(this);
  Button->SetCaption(Caption);
  return Button;
}

TEdit* TColorDialogForm::AddChannel(const char* Name, const std::string& Caption, int Channel, int Top) {
  const int Left = ScreenPixels(LeftWidth), Row = ScreenPixels(23);
  FChannelLabels[Channel] = AddLabel(Caption, Left, Top, ScreenPixels(56));
  FChannelLabels[Channel]->SetHeight(Row);
  auto* Edit = new TEdit(this);
  Edit->SetName(Name);
  Edit->SetParent(this);
  Edit->SetMaxLength(3);
  Edit->SetBounds(Left + ScreenPixels(60), Top, ScreenPixels(60), Row);
  Edit->OnChange = TNotifyEvent(this, &TColorDialogForm::ChannelChange);
  return Edit;
}

void TColorDialogForm::Layout() {
  const bool Full = FSession.FullOpen();
  for (int Channel = 0; Channel < 3; ++Channel) {
    FChannels[Channel]->SetVisible(Full);
    FChannelLabels[Channel]->SetVisible(Full);
  }
  FPreview->SetVisible(Full);
  FAddButton->SetVisible(Full);
  FDefineButton->SetEnabled(!Full && !FSession.Options().Contains(cdPreventFullOpen));
  SetClientWidth(ScreenPixels(Full ? LeftWidth + RightWidth : LeftWidth));
}

void TColorDialogForm::Sync() {
  FSyncing = true;
  FBasic->Selected = FSession.SelectedBasic();
  FBasic->Invalidate();
  FCustom->Selected = FSession.SelectedCustom();
  FCustom->Invalidate();
  for (int Channel = 0; Channel < 3; ++Channel) {
    // A field being typed in keeps its text while it means the colour's value.
    const std::optional<uint8_t> Typed = ParseColorChannel(FChannels[Channel]->Text());
    if (!Typed || *Typed != FSession.Channel(Channel)) FChannels[Channel]->SetText(std::to_string(FSession.Channel(Channel)));
  }
  FPreview->Shown = FSession.Color();
  FPreview->Invalidate();
  if (FSession.FullOpen() != FChannels[0]->Visible()) Layout();
  FSyncing = false;
}

void TColorDialogForm::ChannelChange(TObject* Sender) {
  if (FSyncing) return;
  for (int Channel = 0; Channel < 3; ++Channel)
    if (Sender == FChannels[Channel]) FSession.SetChannelText(Channel, FChannels[Channel]->Text());
}

void TColorDialogForm::OkClick(TObject*) {
  if (FSession.FullOpen()) {
    for (TEdit* Field : FChannels) {
      if (ParseColorChannel(Field->Text())) continue;
      MessageBoxA(Handle(), "Enter a whole number from 0 to 255.", FSession.Title().c_str(), MB_OK | MB_ICONWARNING);
      if (Field->CanFocus()) {
        Field->SetFocus();
        Field->SelectAll();
      }
      return;
    }
  }
  FSession.Accept();
  SetModalResult(mrOk);
}

void TColorDialogForm::DefineClick(TObject*) {
  FSession.OpenFull();
  if (FChannels[0]->CanFocus()) FChannels[0]->SetFocus();
}

void TColorDialogForm::AddClick(TObject*) { FSession.AddToCustomColors(); }

KORCAM_REGISTER_CLASS(TColorDialogForm)

}  // namespace

void ShowColorDialogWindow(TColorDialogSession& Session) {
  HWND Owner = GetActiveWindow();
  auto* Form = new TColorDialogForm(Session, Owner);
  struct TFree {
    TForm* Form;
    ~TFree() { Form->Free(); }
  } Guard{Form};
  // Over the window it was opened from, inside the work area.
  RECT Work{0, 0, 800, 600};
  if (Screen) Work = Screen->WorkAreaRect();
  RECT Around = Work;
  if (Owner && IsWindowVisible(Owner) && !IsIconic(Owner)) GetWindowRect(Owner, &Around);
  // Room for the full dialog, so that opening it does not push it off the screen.
  const int Width = Form->Width() + (Session.FullOpen() ? 0 : ScreenPixels(RightWidth)), Height = Form->Height();
  int Left = (Around.left + Around.right - Width) / 2, Top = (Around.top + Around.bottom - Height) / 2;
  Left = std::max<int>(Work.left, std::min<int>(Left, Work.right - Width));
  Top = std::max<int>(Work.top, std::min<int>(Top, Work.bottom - Height));
  Form->SetBounds(Left, Top, Form->Width(), Height);
  if (Form->ShowModal() != mrOk || !Session.Accepted()) Session.Cancel();
}
