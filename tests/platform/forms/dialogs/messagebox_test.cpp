// Message boxes as windows on the headless screen: the buttons each kind of box asks for, the
// default button, Enter, Escape, the close box and the buttons' letters, answered by keys; the
// exception display; the box over its owner; and a picture of a wrapped text with its icon.

#include "platform/forms/messagebox.h"

#include <gtest/gtest.h>

#include "platform/forms/bitmap.h"
#include "platform/forms/buttons.h"
#include "platform/forms/canvas.h"
#include "platform/forms/messageform.h"
#include "platform/forms/screen.h"
#include "platform/user/input.h"
#include "tests/platform/forms/dialogs/dialogtest.h"
#include "tests/platform/forms/forms_fixture.h"

namespace FormsTest {
namespace {

class MessageBoxWindow : public TDialogTest {
 protected:
  // Runs Ask while Steps answer the box, one step per idle moment; fails when the box stays.
  int Answer(const std::function<int()>& Ask, std::vector<std::function<void()>> Steps) {
    TIdleScript Script(FClock.Get(), std::move(Steps), [this] {
      if (TCustomForm* Box = ActiveForm()) Box->SetModalResult(mrAbort);
    });
    return Ask();
  }
};

std::function<void()> Key(int VirtualKey) {
  return [VirtualKey] { InjectKeyStroke(VirtualKey); };
}
std::function<void()> Type(const char32_t* Text) {
  return [Text] { InjectText(Text); };
}

TEST_F(MessageBoxWindow, EachKindOfBoxAnswersItsKeys) {
  struct TCase {
    const char* Name;
    UINT Type;
    std::vector<std::function<void()>> Steps;
    int Expected;
  };
  const auto Close = [this] { PostMessageA(ActiveForm()->Handle(), WM_CLOSE, 0, 0); };
  const TCase Cases[] = {
      {"OK: Enter", MB_OK, {Key(VK_RETURN)}, IDOK},
      {"OK: Escape answers OK", MB_OK | MB_ICONINFORMATION, {Key(VK_ESCAPE)}, IDOK},
      {"OK/Cancel: Escape cancels", MB_OKCANCEL, {Key(VK_ESCAPE)}, IDCANCEL},
      {"OK/Cancel: the close box cancels", MB_OKCANCEL, {Close}, IDCANCEL},
      {"Yes/No, second default: Enter", MB_YESNO | MB_DEFBUTTON2 | MB_ICONQUESTION, {Key(VK_RETURN)}, IDNO},
      {"Yes/No: Escape and the close box do nothing, Y answers", MB_YESNO, {Key(VK_ESCAPE), Close, Type(U"y")},
       IDYES},
      {"Yes/No/Cancel: Tab moves to No", MB_YESNOCANCEL, {Key(VK_TAB), Key(VK_RETURN)}, IDNO},
      {"Abort/Retry/Ignore: Tab twice and Space", MB_ABORTRETRYIGNORE | MB_ICONERROR,
       {Key(VK_TAB), Key(VK_TAB), Key(VK_SPACE)}, IDIGNORE},
      {"Retry/Cancel: R", MB_RETRYCANCEL | MB_ICONWARNING, {Type(U"r")}, IDRETRY},
      {"a default past the last button is the first", MB_OKCANCEL | MB_DEFBUTTON3, {Key(VK_RETURN)}, IDOK},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    const int Result =
        Answer([&] { return MessageBoxA(nullptr, "Are you sure?", "Korvane WebCam", Case.Type); }, Case.Steps);
    EXPECT_EQ(Result, Case.Expected);
    EXPECT_EQ(ActiveForm(), nullptr);  // the box is gone
  }
}

TEST_F(MessageBoxWindow, MessageDlgOffersTheClassLibrarysButtons) {
  struct TCase {
    const char* Name;
    TMsgDlgType Type;
    TMsgDlgButtons Buttons;
    std::vector<std::function<void()>> Steps;
    int Expected;
    const char* Caption;
  };
  const TCase Cases[] = {
      {"Yes/No/Cancel: Escape is Cancel", mtConfirmation, mbYesNoCancel, {Key(VK_ESCAPE)}, mrCancel, "Confirm"},
      {"Yes/No: Escape is No", mtWarning, {mbYes, mbNo}, {Key(VK_ESCAPE)}, mrNo, "Warning"},
      {"Yes is the default", mtConfirmation, {mbYes, mbNo}, {Key(VK_RETURN)}, mrYes, "Confirm"},
      {"All by its letter", mtInformation, {mbYes, mbNo, mbAll}, {Type(U"a")}, mrAll, "Information"},
      {"no buttons asked: OK", mtError, {}, {Key(VK_RETURN)}, mrOk, "Error"},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    std::string Caption;
    auto Steps = Case.Steps;
    Steps.insert(Steps.begin(), [&] { Caption = ActiveForm() ? ActiveForm()->Caption() : std::string(); });
    EXPECT_EQ(Answer([&] { return MessageDlg("Replace the file?", Case.Type, Case.Buttons, 0); }, Steps),
              Case.Expected);
    EXPECT_EQ(Caption, Case.Caption);
  }
}

TEST_F(MessageBoxWindow, TheExceptionDisplayIsABox) {
  std::string Caption, Text;
  bool Stop = false;
  Answer(
      [&] {
        Application->ShowException(Exception("Cannot open file korcam.ini"));
        return 0;
      },
      {[&] {
         TCustomForm* Box = ActiveForm();
         ASSERT_NE(Box, nullptr);
         Caption = Box->Caption();
         Text = FindControl(Box, "TDialogText", "Cannot open file korcam.ini.") ? "found" : "missing";
         Stop = FindControl(Box, "TMessageIcon", "") != nullptr;
       },
       Key(VK_RETURN)});
  EXPECT_EQ(Caption, "Test");
  EXPECT_EQ(Text, "found");
  EXPECT_TRUE(Stop);
}

TEST_F(MessageBoxWindow, TheBoxSitsOverItsOwnerAndIsOwnedByIt) {
  TForm* Main = NewForm<TForm>(nullptr);
  Main->SetBounds(40, 30, 400, 300);
  Main->Show();
  Pump();
  HWND Owner = nullptr;
  RECT Box{};
  Answer([&] { return MessageBoxA(Main->Handle(), "Saved.", "WebCam", MB_OK); },
         {[&] {
            HWND Window = ActiveForm()->Handle();
            Owner = GetWindow(Window, GW_OWNER);
            GetWindowRect(Window, &Box);
            // The window it speaks for takes no input meanwhile.
            EXPECT_FALSE(IsWindowEnabled(Main->Handle()));
          },
          Key(VK_RETURN)});
  EXPECT_EQ(Owner, Main->Handle());
  EXPECT_NEAR((Box.left + Box.right) / 2, 240, 1);
  EXPECT_NEAR((Box.top + Box.bottom) / 2, 180, 1);
  EXPECT_TRUE(IsWindowEnabled(Main->Handle()));
  Main->Free();
}

TEST_F(MessageBoxWindow, ALongTextWrapsBesideItsIcon) {
  const std::string Text =
      "The picture folder \"/home/user/Снимки/webcam/2026\" cannot be written. Pictures taken by the timer are "
      "kept until the folder can be written again; check that the disk is not full and that the folder may be "
      "written by you. /home/user/a/very/long/path/without/any/blanks/that/must/break/between/its/characters.jpg";
  std::string Picture;
  RECT Frame{}, TextBounds{};
  TColor IconCentre = clNone;
  bool DefaultFocused = false;
  Answer([&] { return MessageBoxA(nullptr, Text.c_str(), "Korvane WebCam", MB_YESNOCANCEL | MB_ICONWARNING); },
         {[&] {
            TCustomForm* Box = ActiveForm();
            Picture = SaveScreenshot(Box->Handle(), "messagebox-warning");
            GetWindowRect(Box->Handle(), &Frame);
            TControl* Label = FindControl(Box, "TDialogText", Text);
            ASSERT_NE(Label, nullptr);
            TextBounds = Label->BoundsRect();
            TControl* Icon = FindControl(Box, "TMessageIcon", "");
            ASSERT_NE(Icon, nullptr);
            IconCentre = PixelAt(Box, Icon->Left() + 16, Icon->Top() + 26);
            auto* Yes = dynamic_cast<TButton*>(FindControl(Box, "TButton", "&Yes"));
            DefaultFocused = Yes && Yes->Focused();
          },
          Key(VK_ESCAPE)});
  SCOPED_TRACE(Picture);
  // No wider than five eighths of the 800-pixel screen, several lines high, and on the screen.
  EXPECT_LE(Frame.right - Frame.left, 500 + 40);
  EXPECT_GT(TextBounds.bottom - TextBounds.top, 4 * 13);
  EXPECT_GE(Frame.left, 0);
  EXPECT_LE(Frame.right, 800);
  EXPECT_EQ(IconCentre, TColor(RGB(250, 204, 40)));  // the warning's yellow below its mark
  EXPECT_TRUE(DefaultFocused);
}

TEST_F(MessageBoxWindow, EachKindHasItsIcon) {
  TBitmap Strip;
  Strip.SetPixelFormat(pf24bit);
  Strip.SetSize(5 * 40, 40);
  Strip.Canvas()->Brush()->SetColor(clWhite);
  Strip.Canvas()->FillRect(RECT{0, 0, 200, 40});
  const TMessageIconKind Kinds[] = {TMessageIconKind::Error, TMessageIconKind::Warning,
                                    TMessageIconKind::Information, TMessageIconKind::Question,
                                    TMessageIconKind::None};
  for (int Index = 0; Index < 5; ++Index) DrawMessageIcon(Strip.Canvas()->Handle(), Kinds[Index], Index * 40 + 4, 4, 32);
  SavePng(Strip, "messagebox-icons", 4);
  // The body of each shape, away from its mark; nothing at all for None.
  EXPECT_EQ(Strip.Canvas()->Pixels(4 + 5, 4 + 16), TColor(RGB(212, 44, 44)));
  EXPECT_EQ(Strip.Canvas()->Pixels(44 + 16, 4 + 27), TColor(RGB(250, 204, 40)));
  EXPECT_EQ(Strip.Canvas()->Pixels(84 + 5, 4 + 16), TColor(RGB(36, 98, 196)));
  EXPECT_EQ(Strip.Canvas()->Pixels(124 + 5, 4 + 16), TColor(RGB(36, 98, 196)));
  EXPECT_EQ(Strip.Canvas()->Pixels(164 + 16, 4 + 16), clWhite);
  // The marks: the cross of an error crosses the middle, the others' letters are in it.
  EXPECT_EQ(Strip.Canvas()->Pixels(4 + 16, 4 + 16), clWhite);
}

TEST_F(MessageBoxWindow, WithoutAnyWindowTheDefaultAnswers) {
  // No back end shows windows: nobody could answer, so the default button does, at once.
  Backend.reset();
  EXPECT_EQ(MessageBoxA(nullptr, "Overwrite?", "Korvane WebCam", MB_YESNO | MB_DEFBUTTON2), IDNO);
  EXPECT_EQ(MessageDlg("Overwrite?", mtConfirmation, mbOKCancel, 0), mrOk);
}

}  // namespace
}  // namespace FormsTest
