// The image-effect options of both tables: each option's setting and neutral value, the master
// switches, truncation of the editors' values, the blend picture and its dialog, and what the
// live master re-applies at start-up.

#include <gtest/gtest.h>

#include <functional>

#include "platform/forms/filedialogs.h"
#include "platform/rtl/fileutils.h"
#include "tests/app/picturetest.h"

namespace {

// One of the two tables, with the names of its editors.
struct TTable {
  const char* Name;
  bool ImagePage;
  TkvDataInspector* Inspector() const {
    return ImagePage ? FormGhost->InspectorImageEffects : FormGhost->InspectorOptions;
  }
  TvcBitmapOptions* Options() const {
    return (ImagePage ? FormGhost->vcImagerAlbumImage : FormGhost->ImageMain)->BitmapOptions();
  }
  TkvInspectorItem* Row(const std::string& Key) const {
    return ImagePage ? FormGhost->FindImageOption(Key) : FormGhost->FindOption(Key);
  }
  // The spin editor of that name in the live table, or its twin on the Image page.
  TkvDBSpinEdit* Editor(const char* Live, const char* Image) const {
    return static_cast<TkvDBSpinEdit*>(FormGhost->FindComponent(ImagePage ? Image : Live));
  }
  TvcColorCombo* Combo(const char* Live, const char* Image) const {
    return static_cast<TvcColorCombo*>(FormGhost->FindComponent(ImagePage ? Image : Live));
  }
  void RunMaster() const {
    if (ImagePage)
      FormGhost->InspectorImageEffectsItems0Items16ItemChanged(nullptr, nullptr, "");
    else
      FormGhost->InspectorOptionsItems10Items16ItemChanged(nullptr, nullptr, "");
  }
};

const TTable Tables[] = {{"live picture", false}, {"Image page", true}};

std::string Text(int32_t Value) {
  return std::to_string(Value);
}

class ImageEffects : public TPictureTest {
 protected:
  void SetUp() override {
    TPictureTest::SetUp();
    Start();
  }
  void TearDown() override {
    SetFileDialogScript(nullptr);
    TPictureTest::TearDown();
  }
  bool Logged(const std::string& Message) const {
    return ReadText("korcam.log").find(Message) != std::string::npos;
  }
};

// Each option writes its value while its row and the master are checked, and its neutral value
// otherwise; both tables, each on its own image control.
TEST_F(ImageEffects, EveryOptionWritesItsSettingOrItsNeutralValue) {
  struct TCase {
    const char* Name;
    const char* GroupKey;  // nullptr: the colours, which have no row of their own to check
    std::function<void(const TTable&)> SetEditors;
    std::function<std::string(TvcBitmapOptions*)> Read;
    std::string On, Neutral;
  };
  auto Flag = [](bool (TvcBitmapOptions::*Get)() const) {
    return [Get](TvcBitmapOptions* Options) { return std::string((Options->*Get)() ? "on" : "off"); };
  };
  auto Number = [](int32_t (TvcBitmapOptions::*Get)() const) {
    return [Get](TvcBitmapOptions* Options) { return Text((Options->*Get)()); };
  };
  auto Nothing = [](const TTable&) {};
  const TCase Cases[] = {
      {"Embossed", "Image Effects Embossed", Nothing, Flag(&TvcBitmapOptions::Embossed), "on", "off"},
      {"Horizontally Flipped", "Image Effects Horizontally Flipped", Nothing,
       Flag(&TvcBitmapOptions::HorizontallyFlipped), "on", "off"},
      {"Vertically Flipped", "Image Effects Vertically Flipped", Nothing,
       Flag(&TvcBitmapOptions::VerticallyFlipped), "on", "off"},
      {"Gray Scale", "Image Effects Gray Scale", Nothing, Flag(&TvcBitmapOptions::GrayScale), "on", "off"},
      {"Inverted", "Image Effects Inverted", Nothing, Flag(&TvcBitmapOptions::Inverted), "on", "off"},
      {"Rotation", "Image Effects Rotation",
       [](const TTable& T) {
         T.Editor("kvDBSpinEditRotationAngle", "kvDBSpinEditImageRotationAngle")->SetValue(15);
         T.Editor("kvDBSpinEditRotationCenterX", "kvDBSpinEditImageRotationCenterX")->SetValue(3);
         T.Editor("kvDBSpinEditRotationCenterY", "kvDBSpinEditImageRotationCenterY")->SetValue(4);
       },
       [](TvcBitmapOptions* O) {
         return Text(O->Rotation()->Angle()) + " " + Text(O->Rotation()->CenterX()) + " " +
                Text(O->Rotation()->CenterY());
       },
       "15 3 4", "0 -1 -1"},
      {"Contrast", "Image Effects Contrast",
       [](const TTable& T) {
         T.Editor("kvDBSpinEditImageEffectsContrast", "kvDBSpinEditImageImageEffectsContrast")
             ->SetValue(-120);
       },
       Number(&TvcBitmapOptions::Contrast), "-120", "0"},
      {"Lightness", "Image Effects Lightness",
       [](const TTable& T) {
         T.Editor("kvDBSpinEditImageEffectsLightness", "kvDBSpinEditImageImageEffectsLightness")
             ->SetValue(60);
       },
       Number(&TvcBitmapOptions::Lightness), "60", "0"},
      {"Saturation: neutral is -1, not 0", "Image Effects Saturation",
       [](const TTable& T) {
         T.Editor("kvDBSpinEditImageEffectsSaturation", "kvDBSpinEditImageImageEffectsSaturation")
             ->SetValue(500);
       },
       Number(&TvcBitmapOptions::Saturation), "500", "-1"},
      {"Sharpen", "Image Effects Sharpen",
       [](const TTable& T) {
         T.Editor("kvDBSpinEditImageEffectsSharpen", "kvDBSpinEditImageImageEffectsSharpen")->SetValue(2);
       },
       Number(&TvcBitmapOptions::Sharpen), "2", "0"},
      {"Sponge", "Image Effects Sponge",
       [](const TTable& T) {
         T.Editor("kvDBSpinEditImageEffectsSponge", "kvDBSpinEditImageImageEffectsSponge")->SetValue(3);
       },
       Number(&TvcBitmapOptions::Sponge), "3", "0"},
      {"Gaussian Blur", "Image Effects Gaussian Blur",
       [](const TTable& T) {
         T.Editor("kvDBSpinEditImageEffectsGaussianBlur", "kvDBSpinEditImageImageEffectsGaussianBlur")
             ->SetValue(2);
       },
       Number(&TvcBitmapOptions::GaussianBlur), "2", "0"},
      {"Wave", "Image Effects Wave",
       [](const TTable& T) {
         T.Editor("kvDBSpinEditWaveRatio", "kvDBSpinImageEditWaveRatio")->SetValue(5);
         T.Editor("kvDBSpinEditWaveXDiv", "kvDBSpinImageEditWaveXDiv")->SetValue(20);
         T.Editor("kvDBSpinEditWaveYDiv", "kvDBSpinImageEditWaveYDiv")->SetValue(15);
         T.Row("Wave Wrap")->SetChecked(true);
       },
       [](TvcBitmapOptions* O) {
         return Text(O->Wave()->Ratio()) + " " + (O->Wave()->Wrap() ? "wrap" : "no wrap") + " " +
                Text(O->Wave()->XDiv()) + " " + Text(O->Wave()->YDiv());
       },
       "5 wrap 20 15", "0 no wrap 0 0"},
      {"Alpha Blend", "Image Effects Alpha Blend",
       [this](const TTable& T) {
         WriteBmpFile(Path("blend.bmp"), 6, 4, [](int, int) { return 0xFF8000u; });
         T.Row("Alpha Blend Bitmap")->SetEditText(Path("blend.bmp"));
         T.Row("Alpha Blend Transparent")->SetChecked(true);
         T.Editor("kvDBSpinEditAlphaBlend", "kvDBSpinEditImageAlphaBlend")->SetValue(40);
       },
       [](TvcBitmapOptions* O) {
         return Text(O->AlphaBlend()->Amount()) + " " + Text(O->AlphaBlend()->Bitmap()->Width()) + " " +
                (O->AlphaBlend()->Transparent() ? "transparent" : "opaque");
       },
       "40 6 transparent", "0 0 opaque"},
      {"Color", nullptr,
       [](const TTable& T) {
         T.Combo("vcColorComboImageEffects", "vcColorComboImageImageEffects")->SetSelectedColor(clAqua);
       },
       [](TvcBitmapOptions* O) { return Text(O->Color()); }, Text(clAqua), Text(clNone)},
      {"Tint Color", nullptr,
       [](const TTable& T) {
         T.Combo("vcColorComboImageEffectsTint", "vcColorComboImageImageEffectsTint")
             ->SetSelectedColor(clRed);
       },
       [](TvcBitmapOptions* O) { return Text(O->TintColor()); }, Text(clRed), Text(clNone)},
  };
  for (const TTable& Table : Tables) {
    const TTable& Other = Tables[Table.ImagePage ? 0 : 1];
    for (const TCase& Case : Cases) {
      SCOPED_TRACE(std::string(Table.Name) + ": " + Case.Name);
      const std::string OtherBefore = Case.Read(Other.Options());
      // Row and master checked.
      Table.Row("Enable Image Effects")->SetChecked(true);
      if (Case.GroupKey) Table.Row(Case.GroupKey)->SetChecked(true);
      Case.SetEditors(Table);
      Table.RunMaster();
      EXPECT_EQ(Case.Read(Table.Options()), Case.On);
      EXPECT_EQ(Case.Read(Other.Options()), OtherBefore) << "the other table's control is left alone";
      // The master off: neutral whatever the row holds.
      Table.Row("Enable Image Effects")->SetChecked(false);
      Table.RunMaster();
      EXPECT_EQ(Case.Read(Table.Options()), Case.Neutral);
      // The master on again, the row off.
      if (!Case.GroupKey) continue;
      Table.Row("Enable Image Effects")->SetChecked(true);
      Table.RunMaster();
      EXPECT_EQ(Case.Read(Table.Options()), Case.On);
      Table.Row(Case.GroupKey)->SetChecked(false);
      Table.RunMaster();
      EXPECT_EQ(Case.Read(Table.Options()), Case.Neutral);
    }
    Table.Row("Enable Image Effects")->SetChecked(false);
    Table.RunMaster();
  }
  EXPECT_FALSE(Logged("failed"));
}

TEST_F(ImageEffects, MastersShowTheirStateOnTheirActions) {
  for (const TTable& Table : Tables) {
    SCOPED_TRACE(Table.Name);
    TAction* Action = Table.ImagePage ? DataModule1->ActionImageEffects : DataModule1->ActionEffects;
    for (bool On : {true, false}) {
      Table.Row("Enable Image Effects")->SetChecked(On);
      Table.RunMaster();
      EXPECT_EQ(Action->Checked(), On);
    }
  }
}

// The effects act on the picture: with the master off the picture shows none of them.
TEST_F(ImageEffects, MasterSwitchesThePictureItself) {
  auto Picture =
      MakeFrame(6, 4, [](int X, int Y) { return uint32_t(X * 40) << 16 | uint32_t(Y * 60) << 8 | 0x20; });
  TPicture Source;
  Source.SetGraphic(Picture.get());
  TvcImager* Image = FormGhost->vcImagerAlbumImage;
  Image->SetPicture(&Source);
  Image->RefreshEffects();
  TvcBitmap* Work = Image->WorkBitmap();
  ASSERT_FALSE(Work->Empty());
  auto Pixel = [&](int X, int Y) {
    const uint8_t* P = Work->RowStart(Y) + X * 3;
    return uint32_t(P[2]) << 16 | uint32_t(P[1]) << 8 | P[0];
  };
  const TTable& Page = Tables[1];
  const uint32_t Plain = Pixel(0, 0);
  Page.Row("Image Effects Inverted")->SetChecked(true);
  FormGhost->InspectorImageEffectsItems0Items9ItemChanged(nullptr, nullptr, "True");
  EXPECT_EQ(Pixel(0, 0), Plain) << "the master is off";
  Page.Row("Enable Image Effects")->SetChecked(true);
  Page.RunMaster();
  EXPECT_EQ(Pixel(0, 0), Plain ^ 0xFFFFFFu);
  Page.Row("Enable Image Effects")->SetChecked(false);
  Page.RunMaster();
  EXPECT_EQ(Pixel(0, 0), Plain);
}

// A change re-applies its own effect only, with the master as it is.
TEST_F(ImageEffects, AnEditorReappliesItsOwnEffectOnly) {
  const TTable& Live = Tables[0];
  Live.Row("Enable Image Effects")->SetChecked(true);
  Live.Row("Image Effects Rotation")->SetChecked(true);
  Live.RunMaster();
  EXPECT_EQ(Live.Options()->Rotation()->Angle(), 10);
  Live.Options()->SetContrast(33);  // a marker the rotation's handler must not touch
  FormGhost->kvDBSpinEditRotationAngle->SetValue(15);
  EXPECT_EQ(Live.Options()->Rotation()->Angle(), 15);
  EXPECT_EQ(Live.Options()->Contrast(), 33);
}

TEST_F(ImageEffects, EditorValuesAreTruncatedTowardZero) {
  const TTable& Live = Tables[0];
  Live.Row("Enable Image Effects")->SetChecked(true);
  Live.Row("Image Effects Rotation")->SetChecked(true);
  struct TCase {
    const char* Typed;
    int32_t Angle;
  };
  const TCase Cases[] = {{"12.7", 12}, {"-0.5", 0}, {"-2.9", -2}, {"45", 45}};
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Typed);
    FormGhost->kvDBSpinEditRotationAngle->SetText(Case.Typed);
    FormGhost->InspectorOptionsItems10Items3Items0ItemChanged(nullptr, nullptr, Case.Typed);
    EXPECT_EQ(Live.Options()->Rotation()->Angle(), Case.Angle);
  }
}

TEST_F(ImageEffects, BlendPictureFromItsFile) {
  const TTable& Live = Tables[0];
  Live.Row("Enable Image Effects")->SetChecked(true);
  Live.Row("Image Effects Alpha Blend")->SetChecked(true);
  TvcAlphaBlend* Blend = Live.Options()->AlphaBlend();
  struct TCase {
    const char* Name;
    std::string File;
    bool Loaded;
    bool Logged;
  };
  WriteBmpFile(Path("blend.bmp"), 5, 3, [](int, int) { return 0x00FF00u; });
  WriteText("broken.bmp", "BM not a picture");
  const TCase Cases[] = {
      {"no file named", "", false, false},
      {"a file that is not there", Path("gone.bmp"), false, false},
      {"a bitmap file", Path("blend.bmp"), true, false},
      {"a damaged file", Path("broken.bmp"), false, true},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    ::unlink(Path("korcam.log").c_str());
    Live.Row("Image Effects Alpha Blend")->SetChecked(false);
    Live.RunMaster();  // empties the blend picture
    Live.Row("Image Effects Alpha Blend")->SetChecked(true);
    Live.Row("Alpha Blend Bitmap")->SetEditText(Case.File);
    Live.Row("Alpha Blend Transparent")->SetChecked(true);
    FormGhost->kvDBSpinEditAlphaBlend->SetValue(60);
    FormGhost->InspectorOptionsItems10Items4Items0ItemChanged(nullptr, nullptr, "60");
    EXPECT_EQ(Blend->Amount(), 60) << "the amount is written in any case";
    EXPECT_TRUE(Blend->Transparent());
    EXPECT_EQ(!Blend->Bitmap()->Empty(), Case.Loaded);
    EXPECT_EQ(Logged("Load alpha blend bitmap failed"), Case.Logged);
  }
}

TEST_F(ImageEffects, BlendPictureDialogs) {
  ForceDirectories(Path("My Pictures"));
  WriteBmpFile(Path("My Pictures/blend.bmp"), 5, 3, [](int, int) { return 0x0000FFu; });
  const std::string Before = GetCurrentDir();
  TFileDialogSetup Seen;
  std::string Answer;
  SetFileDialogScript([&](TFileDialogSession& Session) {
    Seen = Session.Setup();
    if (Answer.empty()) return;
    Session.SetFileName(Answer);
    Session.Accept();
  });
  for (const TTable& Table : Tables) {
    SCOPED_TRACE(Table.Name);
    TkvDBComboDlg* Editor =
        Table.ImagePage ? FormGhost->kvDBComboDlgImageAlphaBlend : FormGhost->kvDBComboDlgAlphaBlend;
    auto Open = [&] {
      if (Table.ImagePage)
        FormGhost->kvDBComboDlgImageAlphaBlendCustomDlg(nullptr);
      else
        FormGhost->kvDBComboDlgAlphaBlendCustomDlg(nullptr);
    };
    // Cancelled: nothing changes.
    Answer.clear();
    Open();
    EXPECT_EQ(Seen.InitialDir, Folder + "My Pictures");
    EXPECT_EQ(Seen.Title, "Select picture");
    EXPECT_EQ(
        Seen.Filter,
        "All supported files|*.bmp;*.jpg;*.ico;|Bitmaps (*.bmp)|*.bmp|Jpeg(*.jpg)|*.jpg|Icon(*.ico)|*.ico");
    EXPECT_EQ(Table.Row("Alpha Blend Bitmap")->EditText(), "");
    EXPECT_EQ(Editor->Text(), "");
    EXPECT_EQ(GetCurrentDir(), Before);
    // Chosen while the group is unchecked: the name is kept, the blend picture stays empty.
    Answer = Path("My Pictures/blend.bmp");
    Open();
    EXPECT_EQ(Table.Row("Alpha Blend Bitmap")->EditText(), Answer);
    EXPECT_EQ(Editor->Text(), Answer);
    EXPECT_TRUE(Table.Options()->AlphaBlend()->Bitmap()->Empty());
    EXPECT_EQ(GetCurrentDir(), Before);
    // With the group and the master checked, the same choice loads it.
    Table.Row("Enable Image Effects")->SetChecked(true);
    Table.Row("Image Effects Alpha Blend")->SetChecked(true);
    Open();
    EXPECT_EQ(Table.Options()->AlphaBlend()->Bitmap()->Width(), 5);
  }
  // Only the live table's editor refuses typing.
  char32_t Key = U'q';
  FormGhost->kvDBComboDlgAlphaBlendKeyPress(nullptr, Key);
  EXPECT_EQ(Key, 0u);
}

// Start-up runs the live master, which re-applies the stored effects and every live option that
// acts at once; in gamer view also its translucency.
TEST_F(ImageEffects, StartUpReappliesTheStoredEffects) {
  Stop();
  WriteText("korcam.ini",
            "[Image]\r\nEnable Image Effects=True\r\nImage Effects Gray Scale=True\r\n"
            "[Options]\r\nEnable Image Effects=True\r\nImage Effects Inverted=True\r\nImage Effects "
            "Lightness=True\r\n"
            "Lightness Value=-40\r\nGamer View Enable=True\r\nTranslucent Gamer=True\r\nEnable picture "
            "stamp=True\r\n");
  Start();
  EXPECT_TRUE(FormGhost->ImageMain->BitmapOptions()->Inverted());
  EXPECT_EQ(FormGhost->ImageMain->BitmapOptions()->Lightness(), -40);
  EXPECT_FALSE(FormGhost->ImageMain->BitmapOptions()->GrayScale()) << "an Image page setting";
  EXPECT_TRUE(FormGhost->vcImagerAlbumImage->BitmapOptions()->GrayScale());
  EXPECT_FALSE(FormGhost->vcImagerAlbumImage->BitmapOptions()->Inverted());
  EXPECT_TRUE(DataModule1->ActionEffects->Checked());
  EXPECT_TRUE(DataModule1->ActionImageEffects->Checked());
  EXPECT_TRUE(DataModule1->ActionMark->Checked());
  EXPECT_TRUE(FormGhost->AlphaBlend()) << "gamer view's translucency";
}

}  // namespace
