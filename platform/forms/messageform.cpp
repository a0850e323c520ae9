#include "platform/forms/messageform.h"

#include <algorithm>
#include <string>
#include <vector>

#include "platform/forms/application.h"
#include "platform/forms/buttons.h"
#include "platform/forms/dialogtext.h"
#include "platform/forms/form.h"
#include "platform/forms/graphiccontrol.h"
#include "platform/forms/screen.h"
#include "platform/gdi/brush.h"
#include "platform/gdi/font.h"
#include "platform/gdi/pen.h"
#include "platform/gdi/shapes.h"
#include "platform/gdi/text.h"
#include "platform/user/user.h"

namespace {

// The text of a message: wrapped at blanks, over-long words (paths) broken between characters,
// "&" shown as it is.
constexpr UINT MessageTextFormat = DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX | DT_EXPANDTABS;

class TMessageIcon : public TGraphicControl {
  KORCAM_CLASS(TMessageIcon, TGraphicControl)

 public:
  explicit TMessageIcon(TComponent* AOwner) : TGraphicControl(AOwner) {}
  TMessageIconKind Kind = TMessageIconKind::None;

 protected:
  void Paint() override { DrawMessageIcon(Canvas()->Handle(), Kind, 0, 0, std::min(Width(), Height())); }
};
KORCAM_REGISTER_CLASS(TMessageIcon)

struct TButtonSpec {
  std::string Caption;
  int Answer;
};

class TMessageForm : public TForm {
  KORCAM_CLASS(TMessageForm, TForm)

 public:
  TMessageForm(TComponent* AOwner, HWND OwnerWindow) : TForm(AOwner, 0), FOwnerWindow(OwnerWindow) {}
  // What Escape and the close box answer; mrNone: they do nothing.
  int EscapeAnswer = mrNone;

  void Dispatch(TMessage& Message) override {
    if (Message.Msg == WM_CLOSE) {
      if (EscapeAnswer != mrNone) SetModalResult(EscapeAnswer);
      Message.Result = 0;
      return;
    }
    TForm::Dispatch(Message);
  }

 protected:
  void CreateParams(TCreateParams& Params) override {
    TForm::CreateParams(Params);
    // Owned by the window it speaks for: the desktop keeps it above that window.
    if (FOwnerWindow && IsWindow(FOwnerWindow)) Params.WndParent = FOwnerWindow;
  }

 private:
  HWND FOwnerWindow;
};
KORCAM_REGISTER_CLASS(TMessageForm)

struct TFormGuard {
  TForm* Form;
  ~TFormGuard() {
    if (Form) Form->Free();
  }
};

int ScreenPixels(int Value) {
  const int PixelsPerInch = Screen ? Screen->PixelsPerInch() : 96;
  return (Value * PixelsPerInch + 48) / 96;
}

TMessageIconKind IconOf(const TMessageBoxRequest& Request) {
  if (Request.IsDialog) {
    switch (Request.DlgType) {
      case mtWarning: return TMessageIconKind::Warning;
      case mtError: return TMessageIconKind::Error;
      case mtInformation: return TMessageIconKind::Information;
      case mtConfirmation: return TMessageIconKind::Question;
      default: return TMessageIconKind::None;
    }
  }
  switch (Request.Type & MB_ICONMASK) {
    case MB_ICONHAND: return TMessageIconKind::Error;
    case MB_ICONQUESTION: return TMessageIconKind::Question;
    case MB_ICONEXCLAMATION: return TMessageIconKind::Warning;
    case MB_ICONASTERISK: return TMessageIconKind::Information;
    default: return TMessageIconKind::None;
  }
}

// The buttons in their order, which one is the default and what Escape answers.
std::vector<TButtonSpec> ButtonsOf(const TMessageBoxRequest& Request, int& Default, int& Escape) {
  std::vector<TButtonSpec> Buttons;
  if (Request.IsDialog) {
    static const struct {
      TMsgDlgBtn Button;
      const char* Caption;
      int Result;
    } Table[] = {{mbYes, "&Yes", mrYes},       {mbNo, "&No", mrNo},          {mbOK, "OK", mrOk},
                 {mbCancel, "Cancel", mrCancel}, {mbAbort, "&Abort", mrAbort}, {mbRetry, "&Retry", mrRetry},
                 {mbIgnore, "&Ignore", mrIgnore}, {mbAll, "&All", mrAll},     {mbNoToAll, "N&o to All", mrNoToAll},
                 {mbYesToAll, "Yes to &All", mrYesToAll}};
    // mbHelp has no help system behind it here, so it shows no button.
    for (const auto& Row : Table)
      if (Request.Buttons.Contains(Row.Button)) Buttons.push_back({Row.Caption, Row.Result});
    if (Buttons.empty()) Buttons.push_back({"OK", mrOk});
    Default = Request.DefaultAnswer;
    Escape = Request.Buttons.Contains(mbCancel) ? mrCancel
             : Request.Buttons.Contains(mbNo)   ? mrNo
             : Request.Buttons.Contains(mbOK) || Buttons.front().Answer == mrOk ? mrOk
                                                                                : mrNone;
  } else {
    switch (Request.Type & MB_TYPEMASK) {
      case MB_OKCANCEL: Buttons = {{"OK", IDOK}, {"Cancel", IDCANCEL}}; break;
      case MB_ABORTRETRYIGNORE: Buttons = {{"&Abort", IDABORT}, {"&Retry", IDRETRY}, {"&Ignore", IDIGNORE}}; break;
      case MB_YESNOCANCEL: Buttons = {{"&Yes", IDYES}, {"&No", IDNO}, {"Cancel", IDCANCEL}}; break;
      case MB_YESNO: Buttons = {{"&Yes", IDYES}, {"&No", IDNO}}; break;
      case MB_RETRYCANCEL: Buttons = {{"&Retry", IDRETRY}, {"Cancel", IDCANCEL}}; break;
      default: Buttons = {{"OK", IDOK}}; break;
    }
    Default = Request.DefaultAnswer;
    Escape = mrNone;
    for (const TButtonSpec& Button : Buttons)
      if (Button.Answer == IDCANCEL) Escape = IDCANCEL;
    if (Buttons.size() == 1) Escape = IDOK;
  }
  if (std::none_of(Buttons.begin(), Buttons.end(), [&](const TButtonSpec& B) { return B.Answer == Default; }))
    Default = Buttons.front().Answer;
  return Buttons;
}

// Where the box goes: centred on its owner window when that shows, else on the work area, and
// always inside the work area.
POINT PlaceOf(HWND Owner, int Width, int Height) {
  RECT Work{0, 0, 800, 600};
  if (Screen) Work = Screen->WorkAreaRect();
  RECT Around = Work;
  if (Owner && IsWindow(Owner) && IsWindowVisible(Owner) && !IsIconic(Owner)) GetWindowRect(Owner, &Around);
  int Left = (Around.left + Around.right - Width) / 2;
  int Top = (Around.top + Around.bottom - Height) / 2;
  Left = std::max<int>(Work.left, std::min<int>(Left, Work.right - Width));
  Top = std::max<int>(Work.top, std::min<int>(Top, Work.bottom - Height));
  return POINT{Left, Top};
}

}  // namespace

void DrawMessageIcon(HDC DC, TMessageIconKind Kind, int Left, int Top, int Size) {
  if (Kind == TMessageIconKind::None || Size <= 0) return;
  // Shapes on a 32-unit grid, scaled to Size.
  auto X = [&](int Unit) { return Left + (Unit * Size + 16) / 32; };
  auto Y = [&](int Unit) { return Top + (Unit * Size + 16) / 32; };
  const int SavedState = SaveDC(DC);
  COLORREF Fill = RGB(36, 98, 196), Edge = RGB(20, 60, 140), Mark = RGB(255, 255, 255);
  if (Kind == TMessageIconKind::Error) {
    Fill = RGB(212, 44, 44);
    Edge = RGB(150, 20, 20);
  } else if (Kind == TMessageIconKind::Warning) {
    Fill = RGB(250, 204, 40);
    Edge = RGB(150, 110, 0);
    Mark = RGB(0, 0, 0);
  }
  HBRUSH Brush = CreateSolidBrush(Fill);
  HPEN Outline = CreatePen(PS_SOLID, 1, Edge);
  SelectObject(DC, Brush);
  SelectObject(DC, Outline);
  if (Kind == TMessageIconKind::Warning) {
    const POINT Triangle[] = {{X(16), Y(1)}, {X(31), Y(29)}, {X(1), Y(29)}};
    Polygon(DC, Triangle, 3);
  } else {
    Ellipse(DC, X(1), Y(1), X(31), Y(31));
  }
  if (Kind == TMessageIconKind::Error) {
    HPEN Cross = CreatePen(PS_SOLID, std::max(2, Size / 8), Mark);
    SelectObject(DC, Cross);
    MoveToEx(DC, X(11), Y(11), nullptr);
    LineTo(DC, X(21), Y(21));
    MoveToEx(DC, X(21), Y(11), nullptr);
    LineTo(DC, X(11), Y(21));
    SelectObject(DC, Outline);
    DeleteObject(Cross);
  } else {
    // The mark is a letter of a bold face, centred in the shape.
    const char* Letter = Kind == TMessageIconKind::Warning ? "!" : Kind == TMessageIconKind::Question ? "?" : "i";
    HFONT Font = CreateFontA(-(Size * 11) / 16, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "DejaVu Sans");
    SelectObject(DC, Font);
    SetBkMode(DC, TRANSPARENT);
    SetTextColor(DC, Mark);
    RECT Box{X(1), Y(Kind == TMessageIconKind::Warning ? 7 : 1), X(31), Y(Kind == TMessageIconKind::Warning ? 30 : 31)};
    DrawTextA(DC, Letter, 1, &Box, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    RestoreDC(DC, SavedState);
    DeleteObject(Font);
    DeleteObject(Brush);
    DeleteObject(Outline);
    return;
  }
  RestoreDC(DC, SavedState);
  DeleteObject(Brush);
  DeleteObject(Outline);
}

int ShowMessageWindow(const TMessageBoxRequest& Request) {
  int Default = mrNone, Escape = mrNone;
  const std::vector<TButtonSpec> Buttons = ButtonsOf(Request, Default, Escape);
  HWND Owner = Request.Owner;
  if (!Owner) Owner = GetActiveWindow();

  auto* Form = new TMessageForm(nullptr, Owner);
  TFormGuard Guard{Form};
  Form->SetBorderStyle(bsDialog);
  Form->SetCaption(Request.Caption);
  Form->EscapeAnswer = Escape;

  const int Margin = ScreenPixels(12), Gap = ScreenPixels(12), ButtonGap = ScreenPixels(6);
  const TMessageIconKind IconKind = IconOf(Request);
  const int IconSize = IconKind == TMessageIconKind::None ? 0 : ScreenPixels(32);
  RECT Work{0, 0, 800, 600};
  if (Screen) Work = Screen->WorkAreaRect();
  const int WorkWidth = std::max<int>(Work.right - Work.left, 320);
  const int WorkHeight = std::max<int>(Work.bottom - Work.top, 240);

  // The text's size at a width of five eighths of the screen at most.
  HDC DC = Form->Canvas()->Handle();
  const int MaxTextWidth = std::max(ScreenPixels(120), WorkWidth * 5 / 8 - IconSize - Gap - 2 * Margin);
  RECT TextBox{0, 0, MaxTextWidth, 0};
  DrawTextA(DC, Request.Text.c_str(), int(Request.Text.size()), &TextBox, MessageTextFormat | DT_CALCRECT);
  int TextWidth = std::min<int>(TextBox.right - TextBox.left, MaxTextWidth);
  int TextHeight = TextBox.bottom - TextBox.top;

  // Buttons of one width, wide enough for the longest caption.
  int ButtonWidth = ScreenPixels(75);
  const int ButtonHeight = ScreenPixels(23);
  for (const TButtonSpec& Spec : Buttons) {
    RECT Box{0, 0, 0, 0};
    DrawTextA(DC, Spec.Caption.c_str(), int(Spec.Caption.size()), &Box, DT_SINGLELINE | DT_CALCRECT);
    ButtonWidth = std::max<int>(ButtonWidth, Box.right - Box.left + ScreenPixels(16));
  }
  const int Count = int(Buttons.size());
  const int RowWidth = Count * ButtonWidth + (Count - 1) * ButtonGap;

  const int TextLeft = Margin + (IconSize ? IconSize + Gap : 0);
  const int ClientWidth = std::max(TextLeft + TextWidth + Margin, RowWidth + 2 * Margin);
  // A text taller than the screen allows is cut off rather than pushing the buttons away.
  const int MaxTextHeight = WorkHeight - ScreenPixels(60) - 2 * Margin - ButtonHeight - ScreenPixels(14);
  TextHeight = std::max(0, std::min(TextHeight, MaxTextHeight));
  const int BlockHeight = std::max(TextHeight, IconSize);
  const int ClientHeight = Margin + BlockHeight + ScreenPixels(14) + ButtonHeight + Margin;

  if (IconSize) {
    auto* Icon = new TMessageIcon(Form);
    Icon->Kind = IconKind;
    Icon->SetParent(Form);
    Icon->SetBounds(Margin, Margin, IconSize, IconSize);
  }
  auto* Text = new TDialogText(Form, MessageTextFormat);
  Text->SetParent(Form);
  Text->SetCaption(Request.Text);
  // A short text sits level with the middle of the icon.
  Text->SetBounds(TextLeft, Margin + (BlockHeight - TextHeight) / 2, TextWidth + 1, TextHeight);

  const int ButtonTop = Margin + BlockHeight + ScreenPixels(14);
  int ButtonLeft = (ClientWidth - RowWidth) / 2;
  TButton* Focused = nullptr;
  for (const TButtonSpec& Spec : Buttons) {
    auto* Button = new TButton(Form);
    Button->SetParent(Form);
    Button->SetCaption(Spec.Caption);
    Button->SetModalResult(Spec.Answer);
    Button->SetBounds(ButtonLeft, ButtonTop, ButtonWidth, ButtonHeight);
    if (Spec.Answer == Default) {
      Button->SetDefault(true);
      Focused = Button;
    }
    if (Spec.Answer == Escape) Button->SetCancel(true);
    ButtonLeft += ButtonWidth + ButtonGap;
  }
  Form->SetClientWidth(ClientWidth);
  Form->SetClientHeight(ClientHeight);
  const POINT Place = PlaceOf(Owner, Form->Width(), Form->Height());
  Form->SetBounds(Place.x, Place.y, Form->Width(), Form->Height());
  if (Focused) Form->SetActiveControl(Focused);
  const int Answer = Form->ShowModal();
  // Leaving the loop any other way (the application ending) answers what Escape would, else
  // the default button.
  for (const TButtonSpec& Spec : Buttons)
    if (Spec.Answer == Answer) return Answer;
  return Escape != mrNone ? Escape : Default;
}
