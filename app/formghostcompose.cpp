// The composition of the live picture: the captured frame (or, with no device, the still picture
// fitted to the video panel), the watermark, the text stamp and the time stamp, handed to the live
// image, whose effect pipeline turns it into the composed picture that saved pictures and
// recorded movies carry. Also the stamp options that compose at once and the rescale that keeps
// the stamps in place when the video size changes.
//
// A composition processes window messages several times while it runs (a connected device keeps
// the window answering); FRendering keeps it from being entered again meanwhile.

#include <cmath>
#include <string>

#include "app/charsets.h"
#include "app/formghost.h"
#include "platform/forms/application.h"
#include "platform/forms/bitmap.h"
#include "platform/forms/canvas.h"
#include "platform/forms/picture.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/scopeexit.h"
#include "platform/rtl/sysutils.h"

namespace {

// The offset of a GMT editor in days: whole hours, truncated toward zero.
double GmtDays(TkvDBSpinEdit* Editor) {
  return std::trunc(Editor->Value()) / 24.0;
}

// What a stamp says: its first part when its own switch is on, its second part when the other
// switch is on, both (two blanks between them) with both switches.
std::string StampText(bool First, const std::string& FirstText, bool Second, const std::string& SecondText) {
  if (First && Second) return FirstText + "  " + SecondText;
  if (First) return FirstText;
  if (Second) return SecondText;
  return std::string();
}

// Draws Text at (X, Y) in Color, over a copy one pixel right and down in Shadow unless Shadow is
// clNone. The brush is clear: the text has no background.
void DrawStamp(TCanvas* Canvas, int X, int Y, const std::string& Text, TColor Color, TColor Shadow) {
  if (Shadow != clNone) {
    Canvas->Font()->SetColor(Shadow);
    Canvas->TextOut(X + 1, Y + 1, Text);
  }
  Canvas->Font()->SetColor(Color);
  Canvas->TextOut(X, Y, Text);
}

}  // namespace

void TFormGhost::RefreshMainImage(bool Force) {
  // Nothing to compose before start-up has made the pictures or after they are gone.
  if (!FStillPicture || !FComposedPicture || !FFrameBitmap) return;
  // Motion detection compares frame after frame, so while it watches a connected device every
  // frame is composed, also in the tray.
  if (FConnected && FindOption("Enable motion detection")->IsChecked()) Force = true;
  if (FRendering || (FInTray && !Force)) {
    Application->ProcessMessages();
    return;
  }
  FRendering = true;
  TScopeExit Done([this] { FRendering = false; });

  try {
    // Times of both stamps, each with its own hours from GMT.
    const TDateTime Current = Now();
    const std::string TimeStampTime =
        FormatDateTime(kvDBComboBoxTimeFormat->Text(), Current + GmtDays(kvDBSpinEditGMTTime));
    const std::string TextStampTime =
        FormatDateTime(kvDBComboBoxTextFormat->Text(), Current + GmtDays(kvDBSpinEditGMTText));
    const std::string StampCaption = Trim(FindOption("Text/Text")->EditText());
    const std::string TimeCaption = Trim(FindOption("Text/Time")->EditText());

    // The working bitmap: the raw frame at its own size, or the still picture at the panel's size.
    if (!FWorkingBitmap) FWorkingBitmap = std::make_unique<TBitmap>();
    TBitmap* Working = FWorkingBitmap.get();
    if (FConnected) {
      Working->Assign(FFrameBitmap.get());
    } else {
      if (!FLastShotCopying) Working->Assign(FStillPicture->Graphic());
      const int32_t Width = vcPanel1->Width();
      const int32_t Height = vcPanel1->Height();
      if (Working->Width() != Width || Working->Height() != Height) {
        Working->SetPixelFormat(pf24bit);
        Working->SetSize(Width, Height);
        if (TGraphic* Still = FStillPicture->Graphic())
          Working->Canvas()->StretchDraw(RECT{0, 0, Width, Height}, Still);
      }
    }
    if (FConnected) Application->ProcessMessages();

    if (FindOption("Enable picture stamp")->IsChecked()) BlendWatermark(Working);
    if (FConnected) Application->ProcessMessages();

    TCanvas* Canvas = Working->Canvas();
    const bool GamerView = FindOption("Gamer View Enable")->IsChecked();

    // The text stamp.
    Canvas->Brush()->SetStyle(bsClear);
    // Without a selected font the canvas keeps the one it has.
    if (!vcFontComboText->SelectedFont().empty()) Canvas->Font()->SetName(vcFontComboText->SelectedFont());
    Canvas->Font()->SetSize(int32_t(kvDBSpinEditTextFontSize->Value()));
    Canvas->Font()->SetCharset(CharsetOfText(kvDBComboBoxCharSet->Text()));
    const bool TextText = FindOption("Enable text/text stamp")->IsChecked();
    const bool TextTime = FindOption("Enable text/time stamp")->IsChecked();
    if (!GamerView && (TextText || TextTime))
      DrawStamp(Canvas, int(kvDBSpinEditTextPlacementHorizontal->Value()),
                int(kvDBSpinEditTextPlacementVertical->Value()),
                StampText(TextText, StampCaption, TextTime, TextStampTime), vcColorComboText->SelectedColor(),
                vcColorComboShadowText->SelectedColor());

    // The time stamp, in the character set the text stamp chose.
    if (!vcFontComboTime->SelectedFont().empty()) Canvas->Font()->SetName(vcFontComboTime->SelectedFont());
    Canvas->Font()->SetSize(int32_t(kvDBSpinEditTimeFontSize->Value()));
    const bool TimeTime = FindOption("Enable time/time stamp")->IsChecked();
    const bool TimeText = FindOption("Enable time/text stamp")->IsChecked();
    if (!GamerView && (TimeTime || TimeText))
      DrawStamp(Canvas, int(kvDBSpinEditTimePlacementHorizontal->Value()),
                int(kvDBSpinEditTimePlacementVertical->Value()),
                StampText(TimeTime, TimeStampTime, TimeText, TimeCaption), vcColorComboTime->SelectedColor(),
                vcColorComboShadowTime->SelectedColor());

    // The hand-off. The live image's picture changes in place, which runs its effect pipeline;
    // its work bitmap, at the image's size, is then the composed picture. A save copying the
    // composed picture meanwhile keeps it as it is.
    if (!FLastShotCopying) {
      ImageMain->Picture()->Bitmap()->Assign(Working);
      if (!FJpegCopying) FComposedPicture->Bitmap()->Assign(ImageMain->WorkBitmap());
    }
    if (FConnected) Application->ProcessMessages();

    if (FConnected && FindOption("Enable motion detection")->IsChecked()) CheckMotion();
  } catch (const std::exception&) {
    WriteLog("Refreshing main image failed");
  }
  Application->ProcessMessages();
}

// ---- the stamp placements ----------------------------------------------------------------------

void TFormGhost::RescaleStampPlacements(int32_t OldWidth, int32_t OldHeight, int32_t NewWidth,
                                        int32_t NewHeight) {
  // A size of nothing (a driver that reports 0 x 0, or a settings file that says so) has no
  // proportions: the placements stay where they are along that side.
  const bool Horizontal = OldWidth > 0 && NewWidth > 0;
  const bool Vertical = OldHeight > 0 && NewHeight > 0;
  struct TPlacement {
    float& HorizontalValue;
    float& VerticalValue;
    const char* HorizontalKey;
    const char* VerticalKey;
    TkvDBSpinEdit* HorizontalEditor;
    TkvDBSpinEdit* VerticalEditor;
  };
  const TPlacement Placements[] = {
      {FTextPlacementHorizontal, FTextPlacementVertical, "Text horisontal placement",
       "Text vertical placement", kvDBSpinEditTextPlacementHorizontal, kvDBSpinEditTextPlacementVertical},
      {FTimePlacementHorizontal, FTimePlacementVertical, "Time horisontal placement",
       "Time vertical placement", kvDBSpinEditTimePlacementHorizontal, kvDBSpinEditTimePlacementVertical},
      {FPicturePlacementHorizontal, FPicturePlacementVertical, "Picture horisontal placement",
       "Picture vertical placement", kvDBSpinEditPicturePlacementHorizontal,
       kvDBSpinEditPicturePlacementVertical},
  };
  for (const TPlacement& Placement : Placements) {
    // The stored placements keep their fractions, so sizes that go back and forth do not drift.
    if (Horizontal) Placement.HorizontalValue = float(NewWidth) * Placement.HorizontalValue / float(OldWidth);
    if (Vertical) Placement.VerticalValue = float(NewHeight) * Placement.VerticalValue / float(OldHeight);
    const int32_t X = int32_t(Placement.HorizontalValue);
    const int32_t Y = int32_t(Placement.VerticalValue);
    FindOption(Placement.HorizontalKey)->SetEditText(IntToStr(X));
    FindOption(Placement.VerticalKey)->SetEditText(IntToStr(Y));
    Placement.HorizontalEditor->SetValue(X);
    Placement.VerticalEditor->SetValue(Y);
  }
}

namespace {

// A placement the user typed becomes the stored placement, so that the next video size change
// moves it from where the user put it. A change that only writes the stored placement back
// (the rescale does) leaves its fraction alone.
void FollowEditor(float& Placement, TkvDBSpinEdit* Editor) {
  const int32_t Value = int32_t(Editor->Value());
  if (Value != int32_t(Placement)) Placement = float(Value);
}

}  // namespace

void TFormGhost::kvDBSpinEditTextPlacementHorizontalChange(TObject*) {
  FollowEditor(FTextPlacementHorizontal, kvDBSpinEditTextPlacementHorizontal);
  RefreshMainImage(false);
}

void TFormGhost::kvDBSpinEditTextPlacementVerticalChange(TObject*) {
  FollowEditor(FTextPlacementVertical, kvDBSpinEditTextPlacementVertical);
  RefreshMainImage(false);
}

void TFormGhost::kvDBSpinEditTimePlacementHorizontalChange(TObject*) {
  FollowEditor(FTimePlacementHorizontal, kvDBSpinEditTimePlacementHorizontal);
  RefreshMainImage(false);
}

void TFormGhost::kvDBSpinEditTimePlacementVerticalChange(TObject*) {
  FollowEditor(FTimePlacementVertical, kvDBSpinEditTimePlacementVertical);
  RefreshMainImage(false);
}

void TFormGhost::kvDBSpinEditPicturePlacementHorizontalChange(TObject*) {
  FollowEditor(FPicturePlacementHorizontal, kvDBSpinEditPicturePlacementHorizontal);
  RefreshMainImage(false);
}

void TFormGhost::kvDBSpinEditPicturePlacementVerticalChange(TObject*) {
  FollowEditor(FPicturePlacementVertical, kvDBSpinEditPicturePlacementVertical);
  RefreshMainImage(false);
}

// ---- stamp options that compose at once --------------------------------------------------------

void TFormGhost::kvDBSpinEditTextFontSizeChange(TObject*) {
  RefreshMainImage(false);
}

void TFormGhost::kvDBSpinEditTimeFontSizeChange(TObject*) {
  RefreshMainImage(false);
}

// Change and key press of both format combos.
void TFormGhost::kvDBComboBoxTimeFormatChange(TObject*) {
  RefreshMainImage(false);
}

void TFormGhost::kvDBComboBoxTimeFormatKeyPress(TObject*, char32_t&) {
  RefreshMainImage(false);
}

// "Enable time/time stamp".
void TFormGhost::InspectorOptionsItems3Items0ItemChanged(TkvDataInspector*, TkvInspectorItem*,
                                                         const std::string&) {
  RefreshMainImage(false);
}
