#pragma once
// Message boxes: the window API's MessageBox and the class library's MessageDlg. A test's sink
// answers when one is installed; otherwise, while a back end shows the program's windows, the box
// is a modal window of ours (messageform.h) that the user answers; with neither, the default
// button answers (the text goes to the standard error stream so a run without any window still
// shows what it would have asked).

#include <functional>
#include <string>

#include "platform/classes/typinfo.h"
#include "platform/forms/controls.h"

// MessageBox types (the low nibble), icons and default buttons.
constexpr UINT MB_OKCANCEL = 0x00000001;
constexpr UINT MB_ABORTRETRYIGNORE = 0x00000002;
constexpr UINT MB_YESNOCANCEL = 0x00000003;
constexpr UINT MB_YESNO = 0x00000004;
constexpr UINT MB_RETRYCANCEL = 0x00000005;
constexpr UINT MB_DEFBUTTON1 = 0x00000000;
constexpr UINT MB_DEFBUTTON2 = 0x00000100;
constexpr UINT MB_DEFBUTTON3 = 0x00000200;
constexpr UINT MB_APPLMODAL = 0x00000000;
constexpr UINT MB_SYSTEMMODAL = 0x00001000;
constexpr UINT MB_TASKMODAL = 0x00002000;
constexpr UINT MB_SETFOREGROUND = 0x00010000;
constexpr UINT MB_TOPMOST = 0x00040000;
constexpr UINT MB_TYPEMASK = 0x0000000F;
constexpr UINT MB_ICONMASK = 0x000000F0;
constexpr UINT MB_DEFMASK = 0x00000F00;

// MessageBox answers.
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDABORT = 3;
constexpr int IDRETRY = 4;
constexpr int IDIGNORE = 5;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

KORCAM_ENUM(TMsgDlgType, mtWarning, mtError, mtInformation, mtConfirmation, mtCustom)
KORCAM_ENUM(TMsgDlgBtn, mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll,
            mbHelp)
using TMsgDlgButtons = TSet<TMsgDlgBtn>;
inline const TMsgDlgButtons mbYesNoCancel{mbYes, mbNo, mbCancel};
inline const TMsgDlgButtons mbOKCancel{mbOK, mbCancel};
inline const TMsgDlgButtons mbAbortRetryIgnore{mbAbort, mbRetry, mbIgnore};

// What a sink is asked. MessageBox requests carry Type (MB_ flags); MessageDlg requests carry
// DlgType and Buttons, and are answered with a modal result (mrYes, ...).
struct TMessageBoxRequest {
  bool IsDialog = false;
  HWND Owner = nullptr;
  std::string Text;
  std::string Caption;
  UINT Type = MB_OK;
  TMsgDlgType DlgType = mtCustom;
  TMsgDlgButtons Buttons;
  // The answer without a user: the default button's.
  int DefaultAnswer = IDOK;
};
using TMessageBoxSink = std::function<int(const TMessageBoxRequest& Request)>;
// Installs a sink (an empty one restores the default) and returns the previous one.
TMessageBoxSink SetMessageBoxSink(TMessageBoxSink Sink);

int MessageBoxA(HWND Owner, LPCSTR Text, LPCSTR Caption, UINT Type);
inline int MessageBox(HWND Owner, LPCSTR Text, LPCSTR Caption, UINT Type) {
  return MessageBoxA(Owner, Text, Caption, Type);
}

// The class library's dialog: the caption is the type's ("Warning", "Error", "Information",
// "Confirm"; the application's title for mtCustom). Returns the modal result of the button.
int MessageDlg(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx);
// ShowMessage: an mtCustom dialog with an OK button.
void ShowMessage(const std::string& Msg);
