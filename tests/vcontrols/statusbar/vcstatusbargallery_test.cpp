// Every panel style on two status bars, rendered headless and kept as a PNG to be looked at;
// each panel's part shows its colour, and the texts drawn are the ones each style gives.

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "platform/forms/edit.h"
#include "platform/forms/imagelist.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/formatsettings.h"
#include "platform/rtl/systemnames.h"
#include "platform/user/user.h"
#include "tests/vcontrols/text/vctexttest.h"
#include "vcontrols/statusbar/vcstatusbar.h"

using namespace VcTest;

namespace {

class StatusBarGalleryTest : public TVcFormTest {};

TEST_F(StatusBarGalleryTest, EveryPanelStyle) {
  TFormatSettings Settings = FormatSettings();
  Settings.ShortDateFormat = "yyyy-mm-dd";
  Settings.ShortTimeFormat = "hh:nn";
  TScopedFormatSettings Scoped(Settings);
  FClock->SetNow(EncodeDateTime(2026, 12, 11, 9, 30, 0, 0));
  Form->SetBounds(0, 0, 760, 90);
  Form->SetColor(clBtnFace);
  Application->SetHint("Saves a picture now");

  auto* Images = new TImageList(Form);
  Images->SetSize(16, 16);
  TBitmap Icon;
  Icon.SetSize(16, 16);
  Icon.Canvas()->Brush()->SetColor(clFuchsia);
  Icon.Canvas()->FillRect(RECT{0, 0, 16, 16});
  Icon.Canvas()->Brush()->SetColor(TColor(0x2080F0));
  Icon.Canvas()->Ellipse(1, 1, 15, 15);
  Images->AddMasked(&Icon, clFuchsia);

  auto* Edit = new TEdit(Form);
  Edit->SetParent(Form);
  Edit->SetText("placed");

  struct TStyleRow {
    TvcStatusPanelStyle Style;
    const char* Width;
    const char* Text;
  };
  const TStyleRow Top[] = {
      {psTextOnly, "120", "  Picture saved"}, {psControl, "110", "Edit"}, {psCapsLock, "50", ""},
      {psNumLock, "50", ""},                  {psScrollLock, "55", ""},  {psOverWrite, "75", ""},
      {psGlyph, "100", "Motion"},             {psHint, "100%", ""},
  };
  const TStyleRow Bottom[] = {
      {psDateTime, "130", ""},     {psDate, "90", ""},          {psTime, "60", ""},
      {psRichEditStatus, "110", ""}, {psHintContainerOnly, "140", ""}, {psUserName, "110", ""},
      {psComputerName, "100%", ""},
  };
  std::map<std::string, std::string> Drawn;
  auto Fill = [&](TvcStatusBar* Bar, const TStyleRow* Rows, size_t Count) {
    for (size_t Index = 0; Index < Count; ++Index) {
      TvcStatusPanel* Panel = Bar->Panels()->Add();
      Panel->SetWidth(Rows[Index].Width);
      Panel->SetText(Rows[Index].Text);
      Panel->SetStyle(Rows[Index].Style);
      Panel->SetColor(Index % 2 ? TColor(0xFBDDB5) : clBtnFace);
      const std::string Name = EnumInfoOf<TvcStatusPanelStyle>().Name(Rows[Index].Style);
      Panel->OnDrawText =
          TvcDrawTextEvent([&Drawn, Name](TvcStatusPanel*, std::string& Text, bool&) { Drawn[Name] = Text; });
      if (Rows[Index].Style == psControl) {
        Panel->SetComponent(Edit);
        Panel->SetMargin(1);
      }
    }
  };
  auto* Upper = new TvcStatusBar(Form);
  Upper->SetParent(Form);
  Upper->SetAlign(alTop);
  Upper->SetHeight(24);
  Upper->SetImages(Images);
  Fill(Upper, Top, std::size(Top));
  auto* Lower = new TvcStatusBar(Form);
  Lower->SetParent(Form);
  Fill(Lower, Bottom, std::size(Bottom));
  Lower->Panels()->Items(1)->SetBevel(pbRaised);
  Lower->Panels()->Items(2)->SetBevel(pbNone);
  Lower->Panels()->Items(2)->TextOptions()->SetAlignment(taCenter);

  Form->Show();
  Pump();
  Keys({VK_NUMLOCK});
  Advance(200);
  SaveFormPng(Form, "status_bar", 2);

  char Name[257];
  DWORD Size = sizeof Name;
  ASSERT_TRUE(GetUserNameA(Name, &Size));
  const std::string User(Name, Size - 1);
  EXPECT_EQ(Drawn["psTextOnly"], "  Picture saved");
  EXPECT_EQ(Drawn["psCapsLock"], "Caps");
  EXPECT_EQ(Drawn["psOverWrite"], "Overwrite");
  EXPECT_EQ(Drawn["psHint"], "Saves a picture now");
  EXPECT_EQ(Drawn["psDateTime"], "2026-12-11 09:30");
  EXPECT_EQ(Drawn["psDate"], "2026-12-11");
  EXPECT_EQ(Drawn["psTime"], "09:30");
  EXPECT_EQ(Drawn["psUserName"], User);
  EXPECT_EQ(Drawn.count("psHintContainerOnly"), 0u) << "the mouse is outside the form";
  EXPECT_EQ(Edit->Parent(), Upper);
  EXPECT_TRUE(GetKeyState(VK_NUMLOCK) & 1);
  // Every part shows its panel's colour.
  for (TvcStatusBar* Bar : {Upper, Lower})
    for (int Index = 0; Index < Bar->Panels()->Count(); ++Index) {
      SCOPED_TRACE(Index);
      const RECT Part = Bar->Panels()->Items(Index)->GetRect();
      const uint32_t Expected = Index % 2 ? 0xB5DDFBu : 0xD4D0C8u;
      if (Bar->Panels()->Items(Index)->Style() != psControl) {
        EXPECT_EQ(ScreenColor(Bar, Part.left + 2, Part.bottom - 3), Expected);
      }
    }
}

}  // namespace
