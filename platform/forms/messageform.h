#pragma once
// The window of a message box, on whichever back end shows the program's windows: the caption,
// an icon for the kind of message, the text wrapped to a width that suits the screen, and the
// buttons the request asks for, centred below. The default button has the focus, so Enter
// answers it; Escape and the window's close box answer the box's cancel button when it has one
// (OK in an OK-only box) and do nothing in a box that must be answered (Yes/No, Abort/Retry/
// Ignore). The box sits over its owner window, or in the middle of the screen without one.

#include "platform/forms/messagebox.h"

// Shows the box modally and answers: the ID of the button (MessageBox requests) or its modal
// result (MessageDlg requests).
int ShowMessageWindow(const TMessageBoxRequest& Request);

// The icon a message box shows.
enum class TMessageIconKind { None, Error, Warning, Information, Question };
// Draws the icon into the square at Left, Top of Size pixels.
void DrawMessageIcon(HDC DC, TMessageIconKind Kind, int Left, int Top, int Size);
