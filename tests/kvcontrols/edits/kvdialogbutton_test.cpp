// The OK, Cancel and Help buttons of the library's dialogs: button class, size at two screen
// densities (integer arithmetic), captions, modal results and the glyph button's font.

#include <gtest/gtest.h>

#include "kvcontrols/editors/kvintl.h"
#include "platform/forms/buttons.h"
#include "platform/forms/form.h"
#include "tests/platform/forms/controltest.h"

namespace FormsTest {
namespace {

class DialogButtonTest : public TFormsTest {
 protected:
  void SetUp() override {
    TFormsTest::SetUp();
    Form = new TForm(nullptr, 0);
    SavedBitmapped = kvGlobalIntl->OKCancelBitmapped();
  }
  void TearDown() override {
    Form->Free();
    kvGlobalIntl->SetOKCancelBitmapped(SavedBitmapped);
    kvGlobalIntl->SetDialogFontStyle(TFontStyles{});
    Screen->SetPixelsPerInch(96);
    TFormsTest::TearDown();
  }
  TForm* Form = nullptr;
  bool SavedBitmapped = true;
};

TEST_F(DialogButtonTest, SizeByKindAndDensity) {
  struct TCase {
    const char* Name;
    bool Bitmapped;
    int PixelsPerInch;
    int Width, Height;
  };
  const TCase Cases[] = {
      {"plain, 96 dpi", false, 96, 77, 24},
      {"plain, 120 dpi: 96.25 and 30 truncated", false, 120, 96, 30},
      {"glyph, 96 dpi: taller for the glyph", true, 96, 77, 27},
      {"glyph, 120 dpi: 33.75 truncated", true, 120, 96, 33},
      {"plain, 144 dpi", false, 144, 115, 36},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    kvGlobalIntl->SetOKCancelBitmapped(Case.Bitmapped);
    Screen->SetPixelsPerInch(Case.PixelsPerInch);
    TButton* Button = kvCreateDialogButton(Form, bkOK);
    EXPECT_EQ(Button->InheritsFrom("TBitBtn"), Case.Bitmapped);
    EXPECT_EQ(Button->Width(), Case.Width);
    EXPECT_EQ(Button->Height(), Case.Height);
    EXPECT_EQ(Button->Owner(), Form);
    EXPECT_EQ(Button->Parent(), Form);
    EXPECT_FALSE(Button->Visible()) << "the dialog shows it once placed";
  }
}

TEST_F(DialogButtonTest, CaptionsResultsAndFont) {
  struct TCase {
    const char* Name;
    TBitBtnKind Kind;
    const char* Caption;
    TModalResult Result;
    bool Cancel;
  };
  const TCase Cases[] = {
      {"OK", bkOK, "&OK", mrOk, false},
      {"Cancel closes on Escape", bkCancel, "Cancel", mrCancel, true},
      {"Help", bkHelp, "Help", mrNone, false},
  };
  kvGlobalIntl->SetDialogFontStyle(TFontStyles{fsBold});
  for (bool Bitmapped : {false, true}) {
    kvGlobalIntl->SetOKCancelBitmapped(Bitmapped);
    for (const TCase& Case : Cases) {
      SCOPED_TRACE(std::string(Case.Name) + (Bitmapped ? ", glyph" : ", plain"));
      TButton* Button = kvCreateDialogButton(Form, Case.Kind);
      EXPECT_EQ(Button->Caption(), Case.Caption);
      EXPECT_EQ(Button->ModalResult(), Case.Result);
      EXPECT_EQ(Button->Cancel(), Case.Cancel);
      if (auto* Glyph = dynamic_cast<TBitBtn*>(Button)) {
        EXPECT_EQ(Glyph->Kind(), Case.Kind);
        EXPECT_EQ(Glyph->Margin(), 2);
        EXPECT_EQ(Glyph->Spacing(), -1);
        EXPECT_EQ(Glyph->NumGlyphs(), 2);
        EXPECT_EQ(Glyph->Font()->Height(), -11);
        EXPECT_EQ(Glyph->Font()->Style(), TFontStyles{fsBold}) << "the library's dialog font style";
      }
    }
  }
}

TEST_F(DialogButtonTest, DialogFontStyleGoesToTheGlobalSettings) {
  TkvIntl Local(nullptr);
  Local.SetDialogFontStyle(TFontStyles{fsItalic, fsUnderline});
  Local.CopyToGlobal();
  EXPECT_EQ(kvGlobalIntl->DialogFontStyle(), (TFontStyles{fsItalic, fsUnderline}));
}

}  // namespace
}  // namespace FormsTest
