// The input dialog answered with keys: typing over the selected start value, OK by Enter or by
// the button, Cancel by Escape.

#include "platform/forms/inputbox.h"

#include <gtest/gtest.h>

#include "platform/user/input.h"
#include "tests/platform/forms/controltest.h"
#include "tests/platform/forms/widgets/widgettest.h"

namespace FormsTest {
namespace {

class InputBoxTest : public TFormsTest {};

TEST_F(InputBoxTest, AnsweredWithKeys) {
  struct TCase {
    const char* Name;
    std::function<void()> Keys;
    bool Answer;
    const char* Value;
  };
  const TCase Cases[] = {
      {"Enter keeps the start value", [] { InjectKeyStroke(VK_RETURN); }, true, "1999"},
      {"typing replaces it", [] {
         InjectText(U"2024");
         InjectKeyStroke(VK_RETURN);
       }, true, "2024"},
      {"Escape cancels", [] {
         InjectText(U"2024");
         InjectKeyStroke(VK_ESCAPE);
       }, false, "1999"},
      {"Tab to OK and Space", [] {
         InjectKeyStroke(VK_END);
         InjectText(U"5");
         InjectKeyStroke(VK_TAB);
         InjectKeyStroke(VK_SPACE);
       }, true, "19995"},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    std::string Value = "1999";
    bool Answer = false;
    {
      TIdleScript Script(FClock.Get(), {Case.Keys}, [] { InjectKeyStroke(VK_ESCAPE); });
      Answer = InputQuery("Year", "Enter the year:", Value);
    }
    EXPECT_EQ(Answer, Case.Answer);
    EXPECT_EQ(Value, Case.Value);
  }
  TIdleScript Script(FClock.Get(), {[] { InjectKeyStroke(VK_ESCAPE); }}, [] {});
  EXPECT_EQ(InputBox("Year", "Enter the year:", "2001"), "2001");
}

}  // namespace
}  // namespace FormsTest
