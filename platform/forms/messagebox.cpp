#include "platform/forms/messagebox.h"

#include <cstdio>

#include "platform/forms/application.h"
#include "platform/forms/messageform.h"
#include "platform/user/paint.h"
#include "platform/user/user.h"

namespace {

TMessageBoxSink& CurrentSink() {
  static TMessageBoxSink Sink;
  return Sink;
}

int DefaultBoxAnswer(UINT Type) {
  const int Default = int((Type & MB_DEFMASK) >> 8);
  auto Pick = [&](std::initializer_list<int> Buttons) {
    int Index = 0;
    for (int Button : Buttons)
      if (Index++ == Default) return Button;
    return *Buttons.begin();
  };
  switch (Type & MB_TYPEMASK) {
    case MB_OKCANCEL:
      return Pick({IDOK, IDCANCEL});
    case MB_ABORTRETRYIGNORE:
      return Pick({IDABORT, IDRETRY, IDIGNORE});
    case MB_YESNOCANCEL:
      return Pick({IDYES, IDNO, IDCANCEL});
    case MB_YESNO:
      return Pick({IDYES, IDNO});
    case MB_RETRYCANCEL:
      return Pick({IDRETRY, IDCANCEL});
    default:
      return IDOK;
  }
}

int DefaultDialogAnswer(TMsgDlgButtons Buttons) {
  // The first of these the dialog has is its default button.
  static const std::pair<TMsgDlgBtn, int> Order[] = {
      {mbOK, mrOk},       {mbYes, mrYes},      {mbYesToAll, mrYesToAll}, {mbRetry, mrRetry},
      {mbAll, mrAll},     {mbNo, mrNo},        {mbNoToAll, mrNoToAll},   {mbIgnore, mrIgnore},
      {mbAbort, mrAbort}, {mbCancel, mrCancel}};
  for (const auto& [Button, Result] : Order)
    if (Buttons.Contains(Button)) return Result;
  return mrNone;
}

int Ask(const TMessageBoxRequest& Request) {
  if (CurrentSink()) return CurrentSink()(Request);
  // A back end shows the program's windows (a display, or the headless screen that tests drive):
  // the user answers in a window of ours.
  if (GetWindowDriver() && Application) return ShowMessageWindow(Request);
  // Nobody could see a window: the question goes where a headless run can read it, and the
  // default button answers.
  std::fprintf(stderr, "[%s] %s\n", Request.Caption.c_str(), Request.Text.c_str());
  return Request.DefaultAnswer;
}

}  // namespace

TMessageBoxSink SetMessageBoxSink(TMessageBoxSink Sink) {
  TMessageBoxSink Previous = std::move(CurrentSink());
  CurrentSink() = std::move(Sink);
  return Previous;
}

int MessageBoxA(HWND Owner, LPCSTR Text, LPCSTR Caption, UINT Type) {
  TMessageBoxRequest Request;
  Request.Owner = Owner;
  Request.Text = Text ? Text : "";
  Request.Caption = Caption ? Caption : "Error";
  Request.Type = Type;
  Request.DefaultAnswer = DefaultBoxAnswer(Type);
  return Ask(Request);
}

int MessageDlg(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int) {
  static const char* const Captions[] = {"Warning", "Error", "Information", "Confirm", ""};
  TMessageBoxRequest Request;
  Request.IsDialog = true;
  Request.Text = Msg;
  Request.Caption =
      DlgType == mtCustom ? (Application ? Application->Title() : std::string()) : Captions[DlgType];
  Request.DlgType = DlgType;
  Request.Buttons = Buttons;
  Request.DefaultAnswer = DefaultDialogAnswer(Buttons);
  if (Application && Application->MainForm() && Application->MainForm()->HandleAllocated())
    Request.Owner = Application->MainForm()->HandleIfAllocated();
  return Ask(Request);
}

void ShowMessage(const std::string& Msg) {
  MessageDlg(Msg, mtCustom, {mbOK}, 0);
}
