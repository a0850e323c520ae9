#include "platform/forms/inputbox.h"

#include <algorithm>
#include <memory>

#include "platform/forms/buttons.h"
#include "platform/forms/dialogtext.h"
#include "platform/forms/edit.h"
#include "platform/forms/form.h"
#include "platform/forms/graphiccontrol.h"
#include "platform/gdi/text.h"

namespace {

// Frees the dialog on every way out, exceptions included.
struct TFormGuard {
  TForm* Form;
  ~TFormGuard() {
    if (Form) Form->Free();
  }
};

}  // namespace

bool InputQuery(const std::string& Caption, const std::string& Prompt, std::string& Value) {
  TForm* Form = NewForm<TForm>(nullptr);
  TFormGuard Guard{Form};
  Form->SetBorderStyle(bsDialog);
  Form->SetCaption(Caption);
  Form->SetPosition(poScreenCenter);

  // The prompt above the edit.
  auto* Label = new TDialogText(Form, DT_LEFT | DT_SINGLELINE | DT_VCENTER);
  Label->SetParent(Form);
  Label->SetCaption(Prompt);
  // The dialog is as wide as its prompt needs, and never narrower than the two buttons.
  RECT Needed{0, 0, 0, 0};
  {
    HDC DC = Form->Canvas()->Handle();
    DrawTextA(DC, Prompt.c_str(), int(Prompt.size()), &Needed, DT_CALCRECT | DT_SINGLELINE);
  }
  const int Margin = 8;
  const int Width = std::max<int>(Needed.right - Needed.left + 2 * Margin, 240);
  const int TextHeight = std::max<int>(Needed.bottom - Needed.top, 13);
  Label->SetBounds(Margin, Margin, Width - 2 * Margin, TextHeight);

  auto* Edit = new TEdit(Form);
  Edit->SetParent(Form);
  Edit->SetBounds(Margin, Margin + TextHeight + 4, Width - 2 * Margin, 21);
  Edit->SetText(Value);
  Edit->SelectAll();

  const int ButtonTop = Edit->Top() + Edit->Height() + 12;
  auto* Ok = new TButton(Form);
  Ok->SetParent(Form);
  Ok->SetCaption("OK");
  Ok->SetModalResult(mrOk);
  Ok->SetDefault(true);
  Ok->SetBounds(Width / 2 - 79, ButtonTop, 75, 25);
  auto* Cancel = new TButton(Form);
  Cancel->SetParent(Form);
  Cancel->SetCaption("Cancel");
  Cancel->SetModalResult(mrCancel);
  Cancel->SetCancel(true);
  Cancel->SetBounds(Width / 2 + 4, ButtonTop, 75, 25);

  Form->SetClientWidth(Width);
  Form->SetClientHeight(ButtonTop + 25 + Margin);
  Form->SetActiveControl(Edit);
  if (Form->ShowModal() != mrOk) return false;
  Value = Edit->Text();
  return true;
}

std::string InputBox(const std::string& Caption, const std::string& Prompt, const std::string& Default) {
  std::string Value = Default;
  InputQuery(Caption, Prompt, Value);
  return Value;
}
