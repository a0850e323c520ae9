// Start-up: the first start without a settings file, the handlers that start-up runs, and the
// stored values that start-up converts (a hand-edited file must not end the program).

#include <gtest/gtest.h>

#include "app/datamodule1.h"
#include "app/formghost.h"
#include "platform/forms/screen.h"
#include "platform/user/winuser.h"
#include "tests/app/apptest.h"

namespace {

using StartUp = TAppTest;

TEST_F(StartUp, FirstStartWithoutSettingsFile) {
  Start();
  EXPECT_FALSE(Exists("korcam.ini"));
  // Centred on the screen ("FormLeft" and the others are "-1"), halves rounded toward zero.
  EXPECT_EQ(FormGhost->Left(), (Screen->Width() - FormGhost->Width()) / 2);
  EXPECT_EQ(FormGhost->Top(), (Screen->Height() - FormGhost->Height()) / 2);
  EXPECT_EQ(FormGhost->FVideoWidth, 320);
  EXPECT_EQ(FormGhost->FVideoHeight, 240);
  EXPECT_EQ(Option("Log File")->EditText(), "korcam.log");
  EXPECT_EQ(FormGhost->Caption(), "Korvane Webcam Lite 1.1");
  EXPECT_EQ(Application->Title(), "Korvane Webcam Lite");
  EXPECT_EQ(FormGhost->vcLabelVersionAbout->Caption(), "Korvane Webcam Lite 1.1");
  EXPECT_EQ(DataModule1->TrayIcon->Hint(), "Korvane Webcam Lite");
  // The edition's hidden groups are hidden, their values kept.
  for (const char* Key : {"FTP Upload", "HTTP Server", "Email Settings", "Dial-Up", "Send Photo Webcam"}) {
    SCOPED_TRACE(Key);
    EXPECT_FALSE(Option(Key)->Visible());
  }
  EXPECT_EQ(Option("FTPFileName")->EditText(), "kv.jpg");
  // The still picture is what the form gave the live image; the image itself starts empty.
  ASSERT_NE(FormGhost->FStillPicture, nullptr);
  EXPECT_FALSE(FormGhost->FStillPicture->Graphic() == nullptr);
  EXPECT_EQ(FormGhost->FFrameHeaderSize, 40);
  // The album's view tags are the list's styles, whatever the form held.
  EXPECT_EQ(DataModule1->ActionIcon->Tag(), 0);
  EXPECT_EQ(DataModule1->ActionSmallIcon->Tag(), 1);
  EXPECT_EQ(DataModule1->ActionList->Tag(), 2);
  EXPECT_EQ(DataModule1->ActionReport->Tag(), 3);
  EXPECT_TRUE(DataModule1->Timer1->Enabled());
  EXPECT_TRUE(FormGhost->FCreated);
  EXPECT_TRUE(FormGhost->Visible());
}

TEST_F(StartUp, StoredWindowBoundsAndLayoutAreApplied) {
  // The window is centred with the form's own size first; the stored bounds come after.
  Start();
  const int FormHeight = FormGhost->Height();
  Stop();
  WriteText("korcam.ini",
            "[Options]\nFormWidth=700\nFormHeight=500\nFormLeft=13\nFormTop=-1\nPanelWidth=640\nPanelHeight=480\n"
            // The live effects' master re-applies the video size at start-up: the size row agrees.
            "Video Window Size=640 x 480\n"
            "SplitterLeft=180\nPanelInspectorWidth=200\nDirectCurrNumber=17\nBtnHideTag=0\n");
  Start();
  EXPECT_EQ(FormGhost->Width(), 700);
  EXPECT_EQ(FormGhost->Height(), 500);
  EXPECT_EQ(FormGhost->Left(), 13);
  // "-1" keeps the centred value.
  EXPECT_EQ(FormGhost->Top(), (Screen->Height() - FormHeight) / 2);
  EXPECT_EQ(FormGhost->FVideoWidth, 640);
  EXPECT_EQ(FormGhost->FVideoHeight, 480);
  EXPECT_EQ(FormGhost->FSplitterLeft, 180);
  EXPECT_EQ(FormGhost->vcPanelInspector->Width(), 200);
  EXPECT_EQ(DataModule1->FDirectSaveNumber, 17);
  EXPECT_FALSE(FormGhost->vcImageBtnHide->Down());
  EXPECT_EQ(FormGhost->vcImageBtnHide->Hint(), "Hide Options F8");
  EXPECT_TRUE(FormGhost->vcImageBtnImageHide->Down());
  EXPECT_EQ(FormGhost->vcImageBtnImageHide->Hint(), "Restore Image Options F8");
}

// A hand-edited file may hold a text that does not convert: the value is logged and the option
// goes back to the form's own, and the program starts.
TEST_F(StartUp, ATextThatDoesNotConvertIsLoggedAndTheFormValueKept) {
  struct TCase {
    const char* Name;
    const char* Key;
    const char* Stored;
    const char* Kept;
    bool Logged;
  } Cases[] = {
      {"a layout value", "PanelWidth", "wide", "320", true},
      {"a counter", "DirectCurrNumber", "many", "1", true},
      // A spin editor's row never takes a text that is not a whole number: nothing to log.
      {"a placement with its spin editor", "Text horisontal placement", "left", "30", false},
      {"a schedule time", "Picture Schedule From", "nine o'clock", "9:00:00", true},
      {"a colour name", "Color Text Stamp", "Mauve", "Aqua", true},
      {"a view style out of range", "AlbumViewStyle", "9", "3", true},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    WriteText("korcam.log", "");
    WriteText("korcam.ini", std::string("[Options]\n") + Case.Key + "=" + Case.Stored + "\nText/Text=kept\n");
    Start();
    EXPECT_TRUE(FormGhost->FCreated);
    EXPECT_EQ(Option(Case.Key)->EditText(), Case.Kept);
    EXPECT_EQ(Option("Text/Text")->EditText(), "kept");
    const std::string Log = ReadText("korcam.log");
    EXPECT_EQ(Log.find(std::string("\"") + Case.Stored + "\" of \"" + Case.Key + "\"") != std::string::npos,
              Case.Logged)
        << Log;
    Stop();
  }
  EXPECT_EQ(FormGhost, nullptr);
}

// The colour combos can hold colours they do not list; such a colour is stored as its RGB text
// and must come back as that colour.
TEST_F(StartUp, ColoursComeBackByNameOrByTheirRgbText) {
  WriteText("korcam.ini",
            "[Image]\nImage Effects TintColor=RGB: 1, 2, 3\n"
            "[Options]\nColor Text Stamp=RGB: 86, 52, 18\nShadow Color Text Stamp=Navy\nColor Time Stamp=rgb:255,255,255\n");
  Start();
  EXPECT_EQ(FormGhost->vcColorComboText->SelectedColor(), TColor(86 | 52 << 8 | 18 << 16));
  EXPECT_EQ(FormGhost->vcColorComboShadowText->SelectedColor(), clNavy);
  EXPECT_EQ(FormGhost->vcColorComboTime->SelectedColor(), TColor(0xFFFFFF));
  EXPECT_EQ(FormGhost->vcColorComboShadowTime->SelectedColor(), clNone);
  EXPECT_EQ(FormGhost->vcColorComboImageImageEffectsTint->SelectedColor(), TColor(1 | 2 << 8 | 3 << 16));
  EXPECT_EQ(FormGhost->vcColorComboImageEffectsTint->SelectedColor(), clNone);
}

// The stamp fonts: the stored font is the one selected in its font combo, which is what the
// program reads; a font that is not installed selects none.
TEST_F(StartUp, StampFontsAreSelectedInTheFontCombos) {
  WriteText("korcam.ini", "[Options]\nFont Text Stamp=Liberation Serif\nFont Time Stamp=No Such Font\n");
  Start();
  EXPECT_EQ(FormGhost->vcFontComboText->SelectedFont(), "Liberation Serif");
  EXPECT_EQ(FormGhost->vcFontComboTime->SelectedFont(), "");
  Stop();
  // The default, Verdana, is one of the well-known names every machine here has a face for.
  WriteText("korcam.ini", "");
  Start();
  EXPECT_EQ(FormGhost->vcFontComboText->SelectedFont(), "Verdana");
  EXPECT_EQ(FormGhost->vcFontComboTime->SelectedFont(), "Verdana");
}

// The option handlers that start-up runs: character set, preview rate, always on top, hints.
TEST_F(StartUp, OptionsThatActAtOnce) {
  WriteText("korcam.ini",
            "[Options]\nCharset=Cyrillic\nPreview Rate=25\nAlways on top=True\nShow Hints=False\n");
  Start();
  EXPECT_EQ(FormGhost->kvDBComboBoxCharSet->ItemIndex(), FormGhost->kvDBComboBoxCharSet->Items()->IndexOf("Cyrillic"));
  EXPECT_EQ(FormGhost->Font()->Charset(), 204);
  EXPECT_TRUE(FormGhost->kvDBComboBoxCharSet->ReadOnly());
  EXPECT_EQ(DataModule1->TimerPreview->Interval(), 1000u / 25);
  EXPECT_NE(GetWindowLongA(FormGhost->Handle(), GWL_EXSTYLE) & LONG(WS_EX_TOPMOST), 0);
  EXPECT_EQ(FormGhost->InspectorOptions->Hint(), "");

  Option("Always on top")->SetChecked(false);
  FormGhost->InspectorOptionsItems1Items8ItemChanged(FormGhost->InspectorOptions, Option("Always on top"), "False");
  EXPECT_EQ(GetWindowLongA(FormGhost->Handle(), GWL_EXSTYLE) & LONG(WS_EX_TOPMOST), 0);
}

TEST_F(StartUp, DefaultPreviewRateAndCharset) {
  Start();
  // 15 frames a second: the 66 ms the timer is created with.
  EXPECT_EQ(DataModule1->TimerPreview->Interval(), 66u);
  EXPECT_EQ(FormGhost->kvDBComboBoxCharSet->Text(), "Western");
  EXPECT_EQ(FormGhost->Font()->Charset(), 0);
  EXPECT_EQ(FormGhost->kvDBComboBoxTimeFormat->Text(), "MM/dd HH:mm:ss am/pm");
  // The first start chose the first driver that answers: the synthetic camera of the tests.
  EXPECT_EQ(FormGhost->kvDBComboBoxSelectDriver->Text(), "Synthetic Camera 1.0");
}

TEST_F(StartUp, ATypedTimeFormatSurvivesThoughTheListLacksIt) {
  WriteText("korcam.ini", "[Options]\nTime Format=yyyy-mm-dd hh:nn\n");
  Start();
  EXPECT_EQ(FormGhost->kvDBComboBoxTimeFormat->ItemIndex(), -1);
  EXPECT_EQ(FormGhost->kvDBComboBoxTimeFormat->Text(), "yyyy-mm-dd hh:nn");
}

}  // namespace
