#include "tests/platform/forms/window/piecesform.h"

#include <fstream>
#include <sstream>

#include "platform/classes/resources.h"
#include "platform/forms/bitmap.h"
#include "platform/forms/canvas.h"
#include "platform/gdi/gdi.h"
#include "platform/gdi/text.h"
#include "tests/sourcepath.h"

KORCAM_REGISTER_CLASS(TPiecesPanel)
KORCAM_REGISTER_CLASS(TPiecesForm)

TPiecesPanel::TPiecesPanel(TComponent* AOwner) : TCustomControl(AOwner) {
  FControlStyle = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csOpaque,
                                csDoubleClicks};
}

void TPiecesPanel::Paint() {
  TCanvas* C = Canvas();
  const RECT R = ClientRect();
  C->Brush()->SetStyle(bsSolid);
  C->Brush()->SetColor(Color());
  C->FillRect(R);
  C->SetFont(Font());
  HDC DC = C->Handle();
  SetBkMode(DC, TRANSPARENT);
  SetTextColor(DC, COLORREF(ColorToRGB(clGrayText)));
  RECT Text{R.left + 6, R.top, R.right - 6, R.bottom - 6};
  const std::string Caption = this->Caption();
  DrawTextA(DC, Caption.c_str(), int(Caption.size()), &Text, DT_LEFT | DT_BOTTOM | DT_SINGLELINE);
}

void TPiecesPanel::Dispatch(TMessage& Message) {
  TCustomControl::Dispatch(Message);
  if (Message.Msg == CM_TEXTCHANGED) Invalidate();
}

void TPiecesForm::FormCreate(TObject*) {
  FieldsBoundAtCreate = ImageList1 && ActionManager1 && ActionCapture && ActionMovie && ActionSeparatorToHide &&
                        ActionButtons && ActionViewAlbum && ActionList && ActionReport && ActionExit &&
                        PopupMenuTray && TrayIcon && PageControl1 && TabSheetWebCam && TabSheetAlbum &&
                        TabSheetImage && PanelOptions && Splitter1 && Splitter2 && ActionToolBar2 &&
                        ActionToolBar3 && TrackBarAlbum;
  if (!ImageList1) return;
  // The tool bars' glyphs: a red dot (capture), a film strip (movie), a star (effects), a house
  // (home) and four small squares (view).
  for (int Index = 0; Index < 5; ++Index) {
    TBitmap Glyph;
    Glyph.SetSize(16, 16);
    TCanvas* C = Glyph.Canvas();
    C->Brush()->SetColor(clFuchsia);
    C->FillRect(RECT{0, 0, 16, 16});
    C->Pen()->SetColor(clBlack);
    switch (Index) {
      case 0:
        C->Brush()->SetColor(clRed);
        C->Ellipse(2, 2, 14, 14);
        break;
      case 1:
        C->Brush()->SetColor(clGray);
        C->Rectangle(1, 3, 15, 13);
        C->Brush()->SetColor(clWhite);
        for (int X = 3; X < 14; X += 4) C->FillRect(RECT{X, 4, X + 2, 6});
        break;
      case 2:
        C->Brush()->SetColor(clYellow);
        C->Polygon({POINT{8, 1}, POINT{10, 6}, POINT{15, 6}, POINT{11, 9}, POINT{13, 14}, POINT{8, 11},
                    POINT{3, 14}, POINT{5, 9}, POINT{1, 6}, POINT{6, 6}});
        break;
      case 3:
        C->Brush()->SetColor(clMaroon);
        C->Polygon({POINT{8, 1}, POINT{15, 8}, POINT{1, 8}});
        C->Brush()->SetColor(clOlive);
        C->Rectangle(3, 8, 13, 15);
        break;
      default:
        C->Brush()->SetColor(clNavy);
        for (int Y = 2; Y < 14; Y += 7)
          for (int X = 2; X < 14; X += 7) C->Rectangle(X, Y, X + 5, Y + 5);
        break;
    }
    ImageList1->AddMasked(&Glyph, clFuchsia);
  }
}

void TPiecesForm::ActionExecute(TObject* Sender) {
  auto* Action = dynamic_cast<TCustomAction*>(Sender);
  Log += "ActionExecute " + (Action ? Action->Caption() : std::string("?")) + ";";
}

void TPiecesForm::Open1Click(TObject*) { Log += "Open1Click;"; }
void TPiecesForm::Close1Click(TObject*) { Log += "Close1Click;"; }
void TPiecesForm::PopupMenuTrayPopup(TObject*) { Log += "PopupMenuTrayPopup;"; }
void TPiecesForm::TrayIconMinimize(TObject*) { Log += "TrayIconMinimize;"; }
void TPiecesForm::TrayIconRestore(TObject*) { Log += "TrayIconRestore;"; }
void TPiecesForm::Splitter1Moved(TObject*) { Log += "Splitter1Moved;"; }
void TPiecesForm::TrackBarAlbumChange(TObject*) { Log += "TrackBarAlbumChange " + std::to_string(TrackBarAlbum->Position()) + ";"; }

void TFreePiecesForm::operator()(TPiecesForm* Form) const {
  Form->Free();
}

void RegisterPiecesForm() {
  static std::string Text;
  if (Text.empty()) {
    std::ifstream In(SourcePath("tests/fixtures/forms/pieces.form"), std::ios::binary);
    std::stringstream Buffer;
    Buffer << In.rdbuf();
    Text = Buffer.str();
    RegisterResourceData("forms/piecesform.form",
                         std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(Text.data()), Text.size()));
  }
}

TPiecesFormHolder MakePiecesForm() {
  RegisterPiecesForm();
  return TPiecesFormHolder(NewForm<TPiecesForm>(nullptr));
}

bool TRecordingTray::Exists() {
  return Present;
}

bool TRecordingTray::Add(const TNotifyIconData& Data) {
  if (!Present) return false;
  Log.push_back("add " + Data.Tip);
  Icons[{Data.Wnd, Data.ID}] = Data;
  return true;
}

bool TRecordingTray::Modify(const TNotifyIconData& Data) {
  auto Where = Icons.find({Data.Wnd, Data.ID});
  if (!Present || Where == Icons.end()) return false;
  Log.push_back("modify " + Data.Tip);
  Where->second = Data;
  return true;
}

bool TRecordingTray::Delete(HWND Wnd, UINT ID) {
  Log.push_back("delete");
  return Icons.erase({Wnd, ID}) > 0;
}
