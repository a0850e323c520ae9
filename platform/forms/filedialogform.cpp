#include "platform/forms/filedialogform.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "platform/forms/buttons.h"
#include "platform/forms/dialogtext.h"
#include "platform/forms/edit.h"
#include "platform/forms/form.h"
#include "platform/forms/graphiccontrol.h"
#include "platform/forms/inputbox.h"
#include "platform/forms/listbox.h"
#include "platform/forms/menus.h"
#include "platform/forms/picture.h"
#include "platform/forms/screen.h"
#include "platform/gdi/brush.h"
#include "platform/gdi/drawedge.h"
#include "platform/gdi/pen.h"
#include "platform/gdi/shapes.h"
#include "platform/gdi/text.h"
#include "platform/user/user.h"

namespace {

int ScreenPixels(int Value) {
  const int PixelsPerInch = Screen ? Screen->PixelsPerInch() : 96;
  return (Value * PixelsPerInch + 48) / 96;
}

// The folder and file glyphs of the list, 16 units square.
void DrawEntryGlyph(HDC DC, int Left, int Top, int Size, bool Folder) {
  auto X = [&](int Unit) { return Left + (Unit * Size + 8) / 16; };
  auto Y = [&](int Unit) { return Top + (Unit * Size + 8) / 16; };
  const int Saved = SaveDC(DC);
  HBRUSH Fill = CreateSolidBrush(Folder ? RGB(236, 190, 70) : RGB(255, 255, 255));
  HPEN Edge = CreatePen(PS_SOLID, 1, Folder ? RGB(150, 110, 20) : RGB(110, 110, 110));
  SelectObject(DC, Fill);
  SelectObject(DC, Edge);
  if (Folder) {
    const POINT Shape[] = {{X(1), Y(3)}, {X(6), Y(3)}, {X(7), Y(5)}, {X(15), Y(5)}, {X(15), Y(14)}, {X(1), Y(14)}};
    Polygon(DC, Shape, 6);
  } else {
    const POINT Page[] = {{X(3), Y(1)}, {X(10), Y(1)}, {X(13), Y(4)}, {X(13), Y(15)}, {X(3), Y(15)}};
    Polygon(DC, Page, 5);
    MoveToEx(DC, X(10), Y(1), nullptr);
    LineTo(DC, X(10), Y(4));
    LineTo(DC, X(13), Y(4));
  }
  RestoreDC(DC, Saved);
  DeleteObject(Fill);
  DeleteObject(Edge);
}

// The list of folders and files, each with its glyph.
class TFileList : public TCustomListBox {
  KORCAM_CLASS(TFileList, TCustomListBox)

 public:
  explicit TFileList(TComponent* AOwner) : TCustomListBox(AOwner) {
    SetStyle(lbOwnerDrawFixed);
    SetItemHeight(ScreenPixels(18));
  }
  std::vector<bool> Folders;
  std::function<void()> OnBack;

 protected:
  void DrawItem(int Index, RECT Rect, TOwnerDrawState State) override {
    TCanvas* C = Canvas();
    const bool Selected = State.Contains(odSelected);
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(Selected ? clHighlight : Color());
    C->Font()->SetColor(Selected ? clHighlightText : Font()->Color());
    C->FillRect(Rect);
    const int Glyph = ScreenPixels(16);
    const bool Folder = Index >= 0 && size_t(Index) < Folders.size() && Folders[size_t(Index)];
    DrawEntryGlyph(C->Handle(), Rect.left + ScreenPixels(2), Rect.top + (Rect.bottom - Rect.top - Glyph) / 2, Glyph, Folder);
    const std::string Text = Items()->Strings(Index);
    RECT TextRect{Rect.left + Glyph + ScreenPixels(6), Rect.top, Rect.right, Rect.bottom};
    C->Brush()->SetStyle(bsClear);
    DrawTextA(C->Handle(), Text.c_str(), int(Text.size()), &TextRect,
              DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    if (State.Contains(odFocused)) DrawFocusRect(C->Handle(), &Rect);
  }
  void KeyDown(WORD& Key, TShiftState Shift) override {
    if (Key == VK_BACK && OnBack) {
      Key = 0;
      OnBack();
      return;
    }
    TCustomListBox::KeyDown(Key, Shift);
  }
};
KORCAM_REGISTER_CLASS(TFileList)

// The "Files of type" box: a drop-down list of the filters. The arrow keys step through them;
// a click, Alt+Down or F4 drops the list.
class TFilterBox : public TCustomControl {
  KORCAM_CLASS(TFilterBox, TCustomControl)

 public:
  explicit TFilterBox(TComponent* AOwner) : TCustomControl(AOwner) { SetTabStop(true); }
  std::vector<std::string> Descriptions;
  int Index = 0;  // 0-based
  std::function<void(int)> OnPick;  // 0-based

  void Dispatch(TMessage& Message) override {
    switch (Message.Msg) {
      case WM_GETDLGCODE: Message.Result = DLGC_WANTARROWS; return;
      case WM_SETFOCUS:
      case WM_KILLFOCUS:
        TCustomControl::Dispatch(Message);
        Invalidate();
        return;
      default: TCustomControl::Dispatch(Message);
    }
  }

 protected:
  void Paint() override {
    TCanvas* C = Canvas();
    HDC DC = C->Handle();
    RECT R = ClientRect();
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(Enabled() ? clWindow : clBtnFace);
    C->FillRect(R);
    RECT Edge = R;
    DrawEdge(DC, &Edge, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    const int ButtonWidth = GetSystemMetrics(SM_CXVSCROLL);
    RECT Button{Edge.right - ButtonWidth, Edge.top, Edge.right, Edge.bottom};
    DrawFrameControl(DC, &Button, DFC_SCROLL, DFCS_SCROLLCOMBOBOX);
    RECT Text{Edge.left + ScreenPixels(2), Edge.top + 1, Button.left - 1, Edge.bottom - 1};
    const bool Focus = Focused();
    if (Focus) {
      C->Brush()->SetColor(clHighlight);
      C->FillRect(Text);
    }
    C->SetFont(Font());
    C->Font()->SetColor(Focus ? clHighlightText : Font()->Color());
    C->Brush()->SetStyle(bsClear);
    const std::string Caption = Index >= 0 && size_t(Index) < Descriptions.size() ? Descriptions[size_t(Index)] : "";
    RECT TextBox{Text.left + ScreenPixels(2), Text.top, Text.right, Text.bottom};
    // The canvas selects its new font when its handle is asked for again.
    DrawTextA(C->Handle(), Caption.c_str(), int(Caption.size()), &TextBox,
              DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    if (Focus) DrawFocusRect(C->Handle(), &Text);
  }
  void KeyDown(WORD& Key, TShiftState Shift) override {
    const bool Alt = Shift.Contains(ssAlt);
    if (Key == VK_F4 || (Alt && (Key == VK_DOWN || Key == VK_UP))) {
      Key = 0;
      DropDown();
    } else if (Key == VK_DOWN || Key == VK_RIGHT) {
      Key = 0;
      Pick(Index + 1);
    } else if (Key == VK_UP || Key == VK_LEFT) {
      Key = 0;
      Pick(Index - 1);
    } else if (Key == VK_HOME) {
      Key = 0;
      Pick(0);
    } else if (Key == VK_END) {
      Key = 0;
      Pick(int(Descriptions.size()) - 1);
    }
    TCustomControl::KeyDown(Key, Shift);
  }
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override {
    TCustomControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft) return;
    if (CanFocus()) SetFocus();
    DropDown();
  }

 private:
  void Pick(int Value) {
    if (Descriptions.empty()) return;
    Value = std::clamp(Value, 0, int(Descriptions.size()) - 1);
    if (Value == Index) return;
    Index = Value;
    Invalidate();
    if (OnPick) OnPick(Index);
  }
  void DropDown() {
    if (Descriptions.empty()) return;
    TPopupMenu Menu(nullptr);
    for (size_t Entry = 0; Entry < Descriptions.size(); ++Entry) {
      auto* Item = new TMenuItem(&Menu);
      // Descriptions hold "&" only as text.
      std::string Caption;
      for (char C : Descriptions[Entry]) Caption += C == '&' ? std::string("&&") : std::string(1, C);
      Item->SetCaption(Caption);
      Item->SetChecked(int(Entry) == Index);
      Menu.Items()->Add(Item);
    }
    const POINT Below = ClientToScreen(POINT{0, Height()});
    Menu.Popup(Below.x, Below.y);
    if (TMenuItem* Picked = Menu.PickedItem()) Pick(Picked->MenuIndex());
  }
};
KORCAM_REGISTER_CLASS(TFilterBox)

// The picture of the selected file, fitted into the box, with its size below.
class TPicturePreview : public TCustomControl {
  KORCAM_CLASS(TPicturePreview, TCustomControl)

 public:
  explicit TPicturePreview(TComponent* AOwner) : TCustomControl(AOwner) {}

  void ShowFile(const std::string& Path) {
    if (Path == FPath) return;
    FPath = Path;
    FPicture.reset();
    if (!Path.empty()) {
      auto Loaded = std::make_unique<TPicture>();
      try {
        Loaded->LoadFromFile(Path);
        if (Loaded->Graphic() && Loaded->Width() > 0 && Loaded->Height() > 0) FPicture = std::move(Loaded);
      } catch (const std::exception&) {
        // Not a picture this program reads: the preview says so.
      }
    }
    Invalidate();
  }
  bool HasPicture() const { return FPicture != nullptr; }

 protected:
  void Paint() override {
    TCanvas* C = Canvas();
    RECT R = ClientRect();
    const int TextHeight = ScreenPixels(18);
    RECT Box{R.left, R.top, R.right, R.bottom - TextHeight};
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(clBtnFace);
    C->FillRect(R);
    RECT Edge = Box;
    DrawEdge(C->Handle(), &Edge, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    C->Brush()->SetColor(clWindow);
    C->FillRect(Edge);
    std::string Caption = "(None)";
    if (FPicture) {
      const int W = FPicture->Width(), H = FPicture->Height();
      Caption = std::to_string(W) + " x " + std::to_string(H);
      const int Room = std::max(1, int(Edge.right - Edge.left) - 4), RoomH = std::max(1, int(Edge.bottom - Edge.top) - 4);
      // Fitted, never enlarged, centred.
      int Fit = W, FitH = H;
      if (W > Room || H > RoomH) {
        if (int64_t(W) * RoomH > int64_t(H) * Room) {
          Fit = Room;
          FitH = std::max(1, int(int64_t(H) * Room / W));
        } else {
          FitH = RoomH;
          Fit = std::max(1, int(int64_t(W) * RoomH / H));
        }
      }
      const int Left = (Edge.left + Edge.right - Fit) / 2, Top = (Edge.top + Edge.bottom - FitH) / 2;
      C->StretchDraw(RECT{Left, Top, Left + Fit, Top + FitH}, FPicture->Graphic());
    }
    C->SetFont(Font());
    C->Brush()->SetStyle(bsClear);
    RECT Text{R.left, R.bottom - TextHeight, R.right, R.bottom};
    DrawTextA(C->Handle(), Caption.c_str(), int(Caption.size()), &Text,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  }

 private:
  std::string FPath;
  std::unique_ptr<TPicture> FPicture;
};
KORCAM_REGISTER_CLASS(TPicturePreview)

class TFileDialogForm : public TForm {
  KORCAM_CLASS(TFileDialogForm, TForm)

 public:
  TFileDialogForm(TFileDialogSession& Session, HWND OwnerWindow);
  ~TFileDialogForm() override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void Resize() override;

 private:
  TDialogText* AddLabel(const std::string& Caption);
  TButton* AddButton(const char* Name, const std::string& Caption);
  void Layout();
  void Sync();
  void OkClick(TObject* Sender);
  void UpClick(TObject* Sender);
  void NewFolderClick(TObject* Sender);
  void ListClick(TObject* Sender);
  void ListDblClick(TObject* Sender);
  void NameChange(TObject* Sender);

  TFileDialogSession& FSession;
  HWND FOwnerWindow;
  bool FSyncing = false;
  std::string FListedFolder;
  std::vector<TFileDialogEntry> FListed;
  TDialogText* FFolderLabel = nullptr;
  TEdit* FFolderEdit = nullptr;
  TButton* FUpButton = nullptr;
  TButton* FNewFolderButton = nullptr;
  TFileList* FList = nullptr;
  TPicturePreview* FPreview = nullptr;
  TDialogText* FNameLabel = nullptr;
  TEdit* FNameEdit = nullptr;
  TDialogText* FFilterLabel = nullptr;
  TFilterBox* FFilterBox = nullptr;
  TButton* FOkButton = nullptr;
  TButton* FCancelButton = nullptr;
};

TFileDialogForm::TFileDialogForm(TFileDialogSession& Session, HWND OwnerWindow)
    : TForm(nullptr, 0), FSession(Session), FOwnerWindow(OwnerWindow) {
  const TFileDialogKind Kind = Session.Kind();
  const bool Sizable = Kind == TFileDialogKind::Folder || Session.Setup().Options.Contains(ofEnableSizing);
  SetBorderStyle(Sizable ? bsSizeable : bsDialog);
  SetBorderIcons({biSystemMenu});
  SetCaption(Session.Title());

  FFolderLabel = AddLabel(Kind == TFileDialogKind::Save ? "Save in:" : "Look in:");
  FFolderEdit = new TEdit(this);
  FFolderEdit->SetName("FolderEdit");
  FFolderEdit->SetParent(this);
  FUpButton = AddButton("UpButton", "&Up");
  FUpButton->OnClick = TNotifyEvent(this, &TFileDialogForm::UpClick);
  FNewFolderButton = AddButton("NewFolderButton", "&New Folder");
  FNewFolderButton->OnClick = TNotifyEvent(this, &TFileDialogForm::NewFolderClick);

  FList = new TFileList(this);
  FList->SetName("FileList");
  FList->SetParent(this);
  FList->OnClick = TNotifyEvent(this, &TFileDialogForm::ListClick);
  FList->OnDblClick = TNotifyEvent(this, &TFileDialogForm::ListDblClick);
  FList->OnBack = [this] { FSession.Up(); };
  if (Session.Setup().Preview) {
    FPreview = new TPicturePreview(this);
    FPreview->SetName("Preview");
    FPreview->SetParent(this);
  }

  FNameLabel = AddLabel(Kind == TFileDialogKind::Folder ? "Folder:" : "File name:");
  FNameEdit = new TEdit(this);
  FNameEdit->SetName("FileNameEdit");
  FNameEdit->SetParent(this);
  FNameEdit->OnChange = TNotifyEvent(this, &TFileDialogForm::NameChange);
  FFilterLabel = AddLabel("Files of type:");
  FFilterBox = new TFilterBox(this);
  FFilterBox->SetName("FilterBox");
  FFilterBox->SetParent(this);
  for (const TFileFilter& Filter : Session.Filters()) FFilterBox->Descriptions.push_back(Filter.Description);
  FFilterBox->OnPick = [this](int Index) { FSession.SetFilterIndex(Index + 1); };
  const bool Filters = Kind != TFileDialogKind::Folder && !Session.Filters().empty();
  FFilterLabel->SetVisible(Filters);
  FFilterBox->SetVisible(Filters);

  FOkButton = AddButton("OkButton", Kind == TFileDialogKind::Open   ? "&Open"
                                    : Kind == TFileDialogKind::Save ? "&Save"
                                                                    : "OK");
  FOkButton->SetDefault(true);
  FOkButton->OnClick = TNotifyEvent(this, &TFileDialogForm::OkClick);
  FCancelButton = AddButton("CancelButton", "Cancel");
  FCancelButton->SetCancel(true);
  FCancelButton->SetModalResult(mrCancel);

  SetClientWidth(ScreenPixels(FPreview ? 720 : 540));
  SetClientHeight(ScreenPixels(340));
  Constraints()->SetMinWidth(ScreenPixels(FPreview ? 560 : 420));
  Constraints()->SetMinHeight(ScreenPixels(260));
  Session.OnChange = [this] { Sync(); };
  Sync();
  Layout();
  SetActiveControl(FNameEdit);
}

TFileDialogForm::~TFileDialogForm() { FSession.OnChange = nullptr; }

void TFileDialogForm::CreateParams(TCreateParams& Params) {
  TForm::CreateParams(Params);
  if (FOwnerWindow && IsWindow(FOwnerWindow)) Params.WndParent = FOwnerWindow;
}

void TFileDialogForm::Resize() {
  TForm::Resize();
  Layout();
}

TDialogText* TFileDialogForm::AddLabel(const std::string& Caption) {
  // A caption to the left of a field.
  auto* Label = new TDialogText(this, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
  Label->SetParent(this);
  Label->SetCaption(Caption);
  return Label;
}

TButton* TFileDialogForm::AddButton(const char* Name, const std::string& Caption) {
  auto* Button = new TButton(this);
  Button->SetName(Name);
  Button->SetParent(this);
  Button->SetCaption(Caption);
  return Button;
}

void TFileDialogForm::Layout() {
  if (!FList) return;
  const int W = ClientWidth(), H = ClientHeight();
  const int Margin = ScreenPixels(8), Gap = ScreenPixels(6), Row = ScreenPixels(23), LabelWidth = ScreenPixels(86);
  const int ButtonWidth = ScreenPixels(80);
  // Top row: the folder field with its two buttons.
  const int NewWidth = ScreenPixels(90), UpWidth = ScreenPixels(50);
  FFolderLabel->SetBounds(Margin, Margin, LabelWidth, Row);
  FNewFolderButton->SetBounds(W - Margin - NewWidth, Margin, NewWidth, Row);
  FUpButton->SetBounds(W - Margin - NewWidth - Gap - UpWidth, Margin, UpWidth, Row);
  const int FolderLeft = Margin + LabelWidth;
  FFolderEdit->SetBounds(FolderLeft, Margin, std::max(10, FUpButton->Left() - Gap - FolderLeft), Row);
  // The two bottom rows: name and OK, type and Cancel.
  const int Bottom = H - Margin;
  const int FilterTop = Bottom - Row, NameTop = FilterTop - Gap - Row;
  const int FieldLeft = Margin + LabelWidth, FieldWidth = std::max(10, W - Margin - ButtonWidth - Gap - FieldLeft);
  FNameLabel->SetBounds(Margin, NameTop, LabelWidth, Row);
  FNameEdit->SetBounds(FieldLeft, NameTop, FieldWidth, Row);
  FOkButton->SetBounds(W - Margin - ButtonWidth, NameTop, ButtonWidth, Row);
  FFilterLabel->SetBounds(Margin, FilterTop, LabelWidth, Row);
  FFilterBox->SetBounds(FieldLeft, FilterTop, FieldWidth, Row);
  FCancelButton->SetBounds(W - Margin - ButtonWidth, FilterTop, ButtonWidth, Row);
  // The list fills the middle; a picture dialog keeps a column for the preview.
  const int ListTop = Margin + Row + Gap, ListBottom = NameTop - Gap;
  int ListRight = W - Margin;
  if (FPreview) {
    const int PreviewWidth = ScreenPixels(180);
    FPreview->SetBounds(W - Margin - PreviewWidth, ListTop, PreviewWidth, std::max(10, ListBottom - ListTop));
    ListRight = FPreview->Left() - Gap;
  }
  FList->SetBounds(Margin, ListTop, std::max(10, ListRight - Margin), std::max(10, ListBottom - ListTop));
}

void TFileDialogForm::Sync() {
  FSyncing = true;
  if (FFolderEdit->Text() != FSession.Folder()) FFolderEdit->SetText(FSession.Folder());
  const std::vector<TFileDialogEntry>& Entries = FSession.Entries();
  const bool Same = FListedFolder == FSession.Folder() && FListed.size() == Entries.size() &&
                    std::equal(Entries.begin(), Entries.end(), FListed.begin(), [](const auto& A, const auto& B) {
                      return A.Name == B.Name && A.Folder == B.Folder;
                    });
  if (!Same) {
    FListedFolder = FSession.Folder();
    FListed = Entries;
    FList->Folders.clear();
    TStrings* Items = FList->Items();
    Items->BeginUpdate();
    Items->Clear();
    for (const TFileDialogEntry& Entry : Entries) {
      Items->Add(Entry.Name);
      FList->Folders.push_back(Entry.Folder);
    }
    Items->EndUpdate();
  }
  if (FList->ItemIndex() != FSession.Selected()) FList->SetItemIndex(FSession.Selected());
  if (FNameEdit->Text() != FSession.FileName()) FNameEdit->SetText(FSession.FileName());
  if (FSession.FilterIndex() > 0 && FFilterBox->Index != FSession.FilterIndex() - 1) {
    FFilterBox->Index = FSession.FilterIndex() - 1;
    FFilterBox->Invalidate();
  }
  if (FPreview) FPreview->ShowFile(FSession.PreviewFile());
  FSyncing = false;
}

void TFileDialogForm::OkClick(TObject*) {
  TWinControl* Active = ActiveControl();
  if (Active == FFolderEdit) {
    // Enter in the folder field goes there; a path that leads nowhere is put back.
    if (!FSession.ChangeFolder(FFolderEdit->Text())) FFolderEdit->SetText(FSession.Folder());
    FFolderEdit->SelectAll();
    return;
  }
  const int Selected = FSession.Selected();
  if (Active == FList && Selected >= 0 && FSession.Entries()[size_t(Selected)].Folder) {
    FSession.Activate(Selected);
    return;
  }
  FSession.SetFileName(FNameEdit->Text());
  if (FSession.Accept()) {
    SetModalResult(mrOk);
    return;
  }
  if (FNameEdit->CanFocus()) {
    FNameEdit->SetFocus();
    FNameEdit->SelectAll();
  }
}

void TFileDialogForm::UpClick(TObject*) { FSession.Up(); }

void TFileDialogForm::NewFolderClick(TObject*) {
  std::string Name = "New Folder";
  if (InputQuery("New Folder", "Name of the new folder:", Name)) FSession.NewFolder(Name);
  if (FList->CanFocus()) FList->SetFocus();
}

void TFileDialogForm::ListClick(TObject*) {
  if (!FSyncing) FSession.Select(FList->ItemIndex());
}

void TFileDialogForm::ListDblClick(TObject*) {
  if (FSession.Activate(FList->ItemIndex())) SetModalResult(mrOk);
}

void TFileDialogForm::NameChange(TObject*) {
  if (!FSyncing) FSession.SetFileName(FNameEdit->Text());
}

KORCAM_REGISTER_CLASS(TFileDialogForm)

struct TFormGuard {
  TForm* Form;
  ~TFormGuard() {
    if (Form) Form->Free();
  }
};

}  // namespace

void ShowFileDialogWindow(TFileDialogSession& Session) {
  HWND Owner = GetActiveWindow();
  auto* Form = new TFileDialogForm(Session, Owner);
  TFormGuard Guard{Form};
  // Over the window it was opened from, inside the work area.
  RECT Work{0, 0, 800, 600};
  if (Screen) Work = Screen->WorkAreaRect();
  RECT Around = Work;
  if (Owner && IsWindowVisible(Owner) && !IsIconic(Owner)) GetWindowRect(Owner, &Around);
  const int Width = Form->Width(), Height = Form->Height();
  int Left = (Around.left + Around.right - Width) / 2, Top = (Around.top + Around.bottom - Height) / 2;
  Left = std::max<int>(Work.left, std::min<int>(Left, Work.right - Width));
  Top = std::max<int>(Work.top, std::min<int>(Top, Work.bottom - Height));
  Form->SetBounds(Left, Top, Width, Height);
  if (Form->ShowModal() != mrOk || !Session.Accepted()) Session.Cancel();
}
