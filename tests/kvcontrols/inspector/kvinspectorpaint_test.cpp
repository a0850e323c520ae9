// Painting of an options table read from a form text, as the program builds its own: group rows,
// check boxes, pick lists and a hosted edit. The picture is written as PNG for looking at it
// ($KORCAM_TEST_IMAGES or /tmp/korcam-forms-images/inspector_options.png); the checks pin the
// pixels that the painting rules fix.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>

#include "kvcontrols/editors/kvinspector.h"
#include "platform/classes/formreader.h"
#include "platform/db/datasource.h"
#include "platform/db/field.h"
#include "platform/db/memorydataset.h"
#include "platform/forms/imagelist.h"
#include "platform/forms/edit.h"
#include "platform/gdi/colors.h"
#include "tests/platform/forms/controltest.h"
#include "tests/platform/forms/forms_fixture.h"

namespace FormsTest {
namespace {

// A check-box row of the table text.
std::string CheckRow(const std::string& Caption, const std::string& Value) {
  return "        item\n          Caption = '" + Caption + "'\n          EditText = '" + Value +
         "'\n          TagString = '" + Caption + "'\n          PickList.Items.Strings = (\n            'True'\n"
         "            'False')\n          PickList.DisplayAsCheckbox = True\n          WordWrap = False\n        end\n";
}

std::string TextRow(const std::string& Caption, const std::string& Value) {
  return "        item\n          Caption = '" + Caption + "'\n          EditText = '" + Value +
         "'\n          TagString = '" + Caption + "'\n          WordWrap = False\n        end\n";
}

std::string Group(const std::string& Caption, bool Expanded, const std::string& Children) {
  return "    item\n      Caption = '" + Caption + "'\n      TagString = '" + Caption +
         "'\n      DisableDefaultEditor = True\n      Expanded = " + (Expanded ? "True" : "False") +
         "\n      Tag = -1\n      WordWrap = False\n      Items = <\n" + Children + "      >\n    end\n";
}

std::string OptionsFormText() {
  std::string Video = TextRow("Preview Rate", "15") + CheckRow("Enable Preview", "True") +
                      CheckRow("Mirror", "False") +
                      "        item\n          Caption = 'Size'\n          EditText = '320 x 240'\n"
                      "          TagString = 'Size'\n          PickList.Items.Strings = (\n"
                      "            '160 x 120'\n            '320 x 240')\n          WordWrap = False\n        end\n" +
                      "        item\n          Caption = 'Picture &FileName'\n          TagString = 'FileName'\n          EditText = 'snap&shot'\n"
                      "          CustomControl = EditName\n          WordWrap = False\n        end\n";
  std::string Pictures;
  for (int Index = 0; Index < 8; ++Index)
    Pictures += Index % 2 ? CheckRow("Picture option " + std::to_string(Index), Index % 4 == 1 ? "True" : "true")
                          : TextRow("Picture value " + std::to_string(Index), std::to_string(Index * 10));
  std::string Hidden;
  for (int Index = 0; Index < 6; ++Index) Hidden += TextRow("FTP value " + std::to_string(Index), "x");
  return "object OptionsForm: TForm\n"
         "  Left = 0\n  Top = 0\n  Width = 300\n  Height = 560\n"
         "  object EditName: TEdit\n    Left = 0\n    Top = 0\n    Width = 80\n    Height = 20\n"
         "    Text = 'snapshot&1'\n  end\n"
         "  object InspectorOptions: TkvDataInspector\n"
         "    Left = 0\n    Top = 0\n    Width = 280\n    Height = 520\n"
         "    BorderStyle = bsNone\n    DefaultRowHeight = 20\n    CaptionWidth = 139\n    CaptionIndent = 19\n"
         "    LineStyleCaption = ovDottedLine\n    LineStyleData = ovDottedLine\n"
         "    Options = [ovColumnResize, ovRowResize, ovEnterToTab, ovHighlightActiveRow, ovCenterCaptionVert, "
         "ovShowTreeLines]\n"
         "    Items = <\n" +
         Group("Video Device", true, Video) + Group("Pictures", true, Pictures) + Group("FTP", false, Hidden) +
         "    item\n      Caption = 'Show Hints'\n      EditText = 'True'\n      TagString = 'Show Hints'\n"
         "      PickList.Items.Strings = (\n        'True'\n        'False')\n"
         "      PickList.DisplayAsCheckbox = True\n      WordWrap = False\n    end>\n"
         "  end\n"
         "end\n";
}

class InspectorPaintTest : public TFormsTest {
 protected:
  void SetUp() override {
    TFormsTest::SetUp();
    Form = new TForm(nullptr, 0);
    ReadComponentText(Form, OptionsFormText());
    Inspector = dynamic_cast<TkvDataInspector*>(Form->FindComponent("InspectorOptions"));
    ASSERT_NE(Inspector, nullptr);
    Inspector->SetParent(Form);
    Form->Show();
    Pump();
  }
  void TearDown() override {
    Form->Free();
    TFormsTest::TearDown();
  }
  TColor At(int X, int Y) { return PixelAt(Inspector, X, Y); }
  RECT RowRect(const std::string& Key) {
    TkvInspectorItem* Item = Inspector->FindItemByTagString(Key);
    EXPECT_NE(Item, nullptr) << Key;
    return Inspector->CellRect(1, Inspector->RowOfItem(Item));
  }
  TkvInspectorItem* Find(const std::string& Key) {
    TkvInspectorItem* Item = Inspector->FindItemByTagString(Key);
    EXPECT_NE(Item, nullptr) << Key;
    return Item;
  }
  // The check box of a value cell, as the painting places it (17 x 13, 3 pixels in), shrunk to
  // the inside where only a check mark is dark.
  static RECT CheckInside(const RECT& Cell) {
    const int Cy = Cell.top + (Cell.bottom - Cell.top) / 2;
    return RECT{Cell.left + 6, Cy - 4, Cell.left + 17, Cy + 3};
  }
  // Whether a group's tree button shows a plus (collapsed) or a minus, read from its pixels.
  void ExpectTreeButton(TkvInspectorItem* Group) {
    SCOPED_TRACE(Group->Caption());
    const POINT P = Group->ButtonPoint();
    const RECT Row = Inspector->CellRect(0, Inspector->RowOfItem(Group));
    EXPECT_TRUE(P.y >= Row.top && P.y < Row.bottom) << "the button sits in the group's own row";
    EXPECT_EQ(At(P.x - 5, P.y), 0x000000) << "left side of the box";
    EXPECT_EQ(At(P.x - 3, P.y), 0x000000) << "the minus stroke";
    EXPECT_EQ(At(P.x - 1, P.y - 2) == 0x000000, !Group->Expanded()) << "the plus stroke";
  }
  // Dark pixels (a check mark, a stroke) inside a rectangle.
  int DarkPixels(const RECT& R) {
    int Count = 0;
    for (int Y = R.top; Y < R.bottom; ++Y)
      for (int X = R.left; X < R.right; ++X) {
        const TColor C = At(X, Y);
        if ((C & 0xFF) < 0x40 && ((C >> 8) & 0xFF) < 0x40 && ((C >> 16) & 0xFF) < 0x40) ++Count;
      }
    return Count;
  }

  TForm* Form = nullptr;
  TkvDataInspector* Inspector = nullptr;
};

TEST_F(InspectorPaintTest, OptionsTableFromAFormText) {
  // Video Device and its 5 rows, Pictures and its 8, the collapsed FTP group, Show Hints.
  EXPECT_EQ(Inspector->RowCount(), 17);
  EXPECT_EQ(Inspector->FindItemByTagString("FTP value 3")->Level(), 1);
  SavePng(*Inspector->PaintBitmap(), "inspector_options", 2);

  const TColor Shadow = ColorToRGB(clBtnShadow);
  const TColor Highlight = ColorToRGB(clBtnHighlight);
  const TColor Face = ColorToRGB(clBtnFace);

  // The caption/value split: a black line at the value column's left - 1, a highlight line
  // right of it, on every row down to the last.
  const RECT Rate = RowRect("Preview Rate");
  const int MidRate = (Rate.top + Rate.bottom) / 2;
  EXPECT_EQ(Inspector->ColWidths(0), 139);
  EXPECT_EQ(At(138, MidRate), 0x000000);
  EXPECT_EQ(At(139, MidRate), Highlight);

  // Dotted row lines one pixel above each row, every second pixel in the dotted colour, in both
  // columns; none right below the highlighted current row (the first), which has its frame.
  ASSERT_EQ(Inspector->Row(), 0);
  const RECT Mirror = RowRect("Mirror");
  int CaptionDots = 0, ValueDots = 0, UnderCurrent = 0;
  for (int X = 40; X < 80; ++X) CaptionDots += At(X, Mirror.top - 1) == Shadow;
  for (int X = 160; X < 200; ++X) ValueDots += At(X, Mirror.top - 1) == Shadow;
  for (int X = 40; X < 80; ++X) UnderCurrent += At(X, Rate.top - 1) == Shadow;
  EXPECT_EQ(CaptionDots, 20);
  EXPECT_EQ(ValueDots, 20);
  EXPECT_EQ(UnderCurrent, 0);

  // Check boxes: a 17 x 13 box 3 pixels into the value cell, with a mark only for the value
  // that equals pick-list entry 0 exactly ("true" is unchecked).
  const RECT Checked = RowRect("Picture option 1");  // "True"
  const RECT Lower = RowRect("Picture option 3");    // "true"
  auto Box = [](const RECT& Cell) {
    const int Cy = Cell.top + (Cell.bottom - Cell.top) / 2;
    return RECT{Cell.left + 3, Cy - 7, Cell.left + 20, Cy + 6};
  };
  const RECT CheckedBox = Box(Checked), LowerBox = Box(Lower);
  int Frame = 0;
  for (int X = CheckedBox.left; X < CheckedBox.right; ++X) Frame += At(X, CheckedBox.top + 6) != Face;
  EXPECT_GE(Frame, 2) << "the box frame crosses the middle row";
  EXPECT_EQ(At(CheckedBox.left - 1, CheckedBox.top + 6), Face) << "nothing left of the box";
  EXPECT_EQ(At(CheckedBox.right, CheckedBox.top + 6), Face) << "nothing right of the box";
  const RECT CheckedInside{CheckedBox.left + 3, CheckedBox.top + 3, CheckedBox.right - 3, CheckedBox.bottom - 3};
  const RECT LowerInside{LowerBox.left + 3, LowerBox.top + 3, LowerBox.right - 3, LowerBox.bottom - 3};
  EXPECT_GT(DarkPixels(CheckedInside), 5);
  EXPECT_EQ(DarkPixels(LowerInside), 0);

  // Tree buttons: a 9 x 9 box with a minus for an expanded group, a plus for a collapsed one.
  TkvInspectorItem* Video = Inspector->FindItemByTagString("Video Device");
  TkvInspectorItem* Ftp = Inspector->FindItemByTagString("FTP");
  for (TkvInspectorItem* Group : {Video, Ftp}) {
    SCOPED_TRACE(Group->Caption());
    const POINT P = Group->ButtonPoint();
    EXPECT_EQ(P.x, 19 / 2 + 1);
    EXPECT_EQ(At(P.x - 5, P.y), 0x000000) << "left side of the box";
    EXPECT_EQ(At(P.x + 3, P.y - 4), 0x000000) << "right side of the box";
    EXPECT_EQ(At(P.x - 3, P.y), 0x000000) << "the minus stroke";
    EXPECT_EQ(At(P.x - 1, P.y - 2) == 0x000000, !Group->Expanded()) << "the plus stroke";
  }

  // Tree lines: a child that has a next sibling gets a black line, with a white one beside it,
  // at its parent's button x - 1, through its whole row.
  const RECT RateCaption = Inspector->CellRect(0, Inspector->RowOfItem(Inspector->FindItemByTagString("Preview Rate")));
  const int LineX = Video->ButtonPoint().x - 1;
  EXPECT_EQ(At(LineX, RateCaption.top + 3), 0x000000);
  EXPECT_EQ(At(LineX + 1, RateCaption.top + 3), 0xFFFFFF);

  // The hosted edit is painted into its row as an image: its window colour fills the cell,
  // although the edit itself is hidden.
  const RECT Name = RowRect("FileName");
  auto* Edit = dynamic_cast<TCustomEdit*>(Form->FindComponent("EditName"));
  ASSERT_NE(Edit, nullptr);
  EXPECT_FALSE(Edit->Visible());
  EXPECT_EQ(Edit->Parent(), Inspector);
  EXPECT_EQ(At(Name.right - 5, (Name.top + Name.bottom) / 2), ColorToRGB(clWindow));
  EXPECT_EQ(At(Rate.right - 5, MidRate), Face) << "a plain value row shows the table colour";
}

TEST_F(InspectorPaintTest, OwnerDrawingReplacesTheValueCell) {
  // With DefaultDrawing cleared nothing else is drawn in the value cell, not even the check box.
  Inspector->OnDrawDataCell = TkvInspectorDrawDataCellEvent(
      [](TkvDataInspector*, TkvInspectorItem* Item, bool, RECT, bool& DefaultDrawing) {
        if (Item->TagString() == "Picture option 1") DefaultDrawing = false;
      });
  Inspector->Invalidate();
  Pump();
  const RECT Cell = Inspector->CellRect(1, Inspector->RowOfItem(Inspector->FindItemByTagString("Picture option 1")));
  EXPECT_EQ(DarkPixels(RECT{Cell.left + 2, Cell.top + 1, Cell.left + 24, Cell.bottom - 2}), 0);
}

}  // namespace
}  // namespace FormsTest

namespace FormsTest {
namespace {

TEST_F(InspectorPaintTest, ScrollCollapseAndExpandRepaint) {
  Inspector->SetHeight(200);  // ten rows of twenty pixels
  Pump();
  ASSERT_EQ(Inspector->RowCount(), 17);
  TkvInspectorItem* Pictures = Find("Pictures");
  TkvInspectorItem* Ftp = Find("FTP");
  TkvInspectorItem* Option1 = Find("Picture option 1");  // checked
  TkvInspectorItem* Option3 = Find("Picture option 3");  // unchecked ("true")

  // Three lines down: the rows, the points and the painted pixels all move up by three rows.
  for (int Line = 0; Line < 3; ++Line) SendMessage(Inspector->Handle(), WM_VSCROLL, SB_LINEDOWN, 0);
  Pump();
  EXPECT_EQ(Inspector->TopRow(), 3);
  EXPECT_EQ(Inspector->ItemAtPoint(150, 5), Find("Mirror"));
  EXPECT_EQ(Inspector->CellRect(1, Inspector->RowOfItem(Option1)).top, (8 - 3) * 20);
  EXPECT_GT(DarkPixels(CheckInside(RowRect("Picture option 1"))), 5);
  EXPECT_EQ(DarkPixels(CheckInside(RowRect("Picture option 3"))), 0);
  ExpectTreeButton(Pictures);

  // To the bottom: the last rows show, the first ones are gone.
  SendMessage(Inspector->Handle(), WM_VSCROLL, SB_BOTTOM, 0);
  Pump();
  EXPECT_EQ(Inspector->TopRow(), 17 - 10);
  EXPECT_EQ(Inspector->ItemAtRow(Inspector->TopRow()), Find("Picture value 0"));
  EXPECT_EQ(Inspector->ItemAtPoint(150, 9 * 20 + 5), Find("Show Hints"));
  EXPECT_GT(DarkPixels(CheckInside(RowRect("Show Hints"))), 5);
  SavePng(*Inspector->PaintBitmap(), "inspector_options_scrolled", 2);

  // Collapsing a group while scrolled: its rows go, the rest fits, and the table is whole again.
  Pictures->SetExpanded(false);
  Pump();
  EXPECT_EQ(Inspector->RowCount(), 9);
  EXPECT_EQ(Inspector->TopRow(), 0);
  EXPECT_EQ(Inspector->RowOfItem(Option1), -1);
  EXPECT_EQ(Inspector->RowOfItem(Ftp), Inspector->RowOfItem(Pictures) + 1);
  ExpectTreeButton(Pictures);
  ExpectTreeButton(Ftp);

  // Expanding the other group: its children take rows below it, with the tree line beside them.
  Ftp->SetExpanded(true);
  Pump();
  EXPECT_EQ(Inspector->RowCount(), 15);
  TkvInspectorItem* Ftp3 = Find("FTP value 3");
  EXPECT_EQ(Inspector->RowOfItem(Ftp3), Inspector->RowOfItem(Ftp) + 4);
  ExpectTreeButton(Ftp);
  const RECT Ftp0Caption = Inspector->CellRect(0, Inspector->RowOfItem(Find("FTP value 0")));
  EXPECT_EQ(At(Ftp->ButtonPoint().x - 1, Ftp0Caption.top + 3), 0x000000);
  SavePng(*Inspector->PaintBitmap(), "inspector_options_expanded", 2);

  // And back: both groups open, every row counted once.
  Pictures->SetExpanded(true);
  Pump();
  EXPECT_EQ(Inspector->RowCount(), 23);
  EXPECT_EQ(Inspector->RowOfItem(Option3), 10);
}

TEST_F(InspectorPaintTest, BoundTableFollowsItsRecordWithTheStateGlyph) {
  auto* Set = new TMemoryDataSet(Form);
  Set->FieldDefs()->Add("RATE", ftString, 10);
  Set->FieldDefs()->Add("MIRROR", ftString, 5);
  Set->Open();
  Set->AppendRecord({"15", "True"});
  Set->AppendRecord({"30", "False"});
  auto* Source = new TDataSource(Form);
  Source->SetDataSet(Set);
  TkvInspectorItem* Rate = Find("Preview Rate");
  TkvInspectorItem* Mirror = Find("Mirror");
  Inspector->SetDataSource(Source);
  Rate->SetDataField("RATE");
  Mirror->SetDataField("MIRROR");
  Inspector->IndicatorRow()->SetEnabled(true);
  ASSERT_EQ(Inspector->FixedRows(), 1);
  ASSERT_EQ(Inspector->IndicatorImages()->Count(), 3);

  // Glyph pixels against the screen over the current record's indicator cell: mismatches.
  auto Mismatches = [&](const char* Name) {
    TBitmap Glyph;
    Glyph.LoadFromResourceName(nullptr, Name);
    const RECT Cell = Inspector->CellRect(1, 0);
    const int X0 = std::max<int>(0, (Cell.left + Cell.right - Glyph.Width()) / 2);
    const int Y0 = (Cell.top + Cell.bottom - Glyph.Height()) / 2;
    int Count = 0;
    for (int Y = 0; Y < Glyph.Height(); ++Y)
      for (int X = 0; X < Glyph.Width(); ++X) {
        const bool Ink = PixelOf(Glyph, X, Y) == 0x000000;
        const TColor Screen = At(X0 + X, Y0 + Y);
        // Ink is black; white is the mask, where the row's colour shows through.
        Count += Ink ? Screen != 0x000000 : Screen != ColorToRGB(Inspector->IndicatorRow()->Color());
      }
    return Count;
  };

  struct TCase {
    const char* Name;
    std::function<void()> Action;
    const char* Rate;
    bool Checked;
    const char* Glyph;
  };
  const TCase Cases[] = {
      {"first record, browsing", [&] { Set->First(); }, "15", true, "KVINSPECTORARROW"},
      {"second record", [&] { Set->Next(); }, "30", false, "KVINSPECTORARROW"},
      {"editing it", [&] { Set->Edit(); }, "30", false, "KVINSPECTOREDIT"},
      {"back to browsing", [&] { Set->Cancel(); }, "30", false, "KVINSPECTORARROW"},
      {"inserting a record", [&] { Set->Append(); }, "", false, "KVINSPECTORINSERT"},
      {"insert cancelled", [&] { Set->Cancel(); }, "30", false, "KVINSPECTORARROW"},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    Case.Action();
    Inspector->Invalidate();
    Pump();
    EXPECT_EQ(Rate->CurrentValue(), Case.Rate);
    EXPECT_EQ(Mirror->IsChecked(), Case.Checked);
    EXPECT_EQ(DarkPixels(CheckInside(RowRect("Mirror"))) > 5, Case.Checked) << "the painted check box";
    EXPECT_EQ(Mismatches(Case.Glyph), 0) << Case.Glyph;
    for (const char* Other : {"KVINSPECTORARROW", "KVINSPECTOREDIT", "KVINSPECTORINSERT"}) {
      if (std::string(Other) != Case.Glyph) { EXPECT_GT(Mismatches(Other), 0) << Other; }
    }
  }
  SavePng(*Inspector->PaintBitmap(), "inspector_options_bound", 3);

  // An OnDrawIndicatorCell handler that draws itself suppresses the glyph.
  Inspector->OnDrawIndicatorCell =
      TkvInspectorDrawICellEvent([](TkvDataInspector*, int32_t, RECT, bool& DefaultDrawing) { DefaultDrawing = false; });
  Inspector->Invalidate();
  Pump();
  EXPECT_GT(Mismatches("KVINSPECTORARROW"), 10);
  Inspector->SetDataSource(nullptr);
}

}  // namespace
}  // namespace FormsTest
