#pragma once
// The window of the colour dialog, a view of a TColorDialogSession:
//
//   Basic colors:                      Red:   [ 128 ]   +-------+
//   [][][][][][][][]                   Green: [  64 ]   |       |
//   [][][][][][][][]   (six rows)      Blue:  [   0 ]   +-------+
//   Custom colors:                     [Add to Custom Colors ]
//   [][][][][][][][]  (two rows)
//   [Define Custom Colors >>]
//   [  OK  ]  [Cancel]
//
// A click on a swatch (or the arrow keys in a swatch grid) chooses its colour; the channel fields
// take decimal values from 0 to 255 and show the colour as it is typed; OK refuses a field that
// holds anything else and says so. The right part shows once the dialog is fully open. The
// controls carry names (BasicColors, CustomColors, DefineButton, RedEdit, GreenEdit, BlueEdit,
// Preview, AddButton, OkButton, CancelButton) so that tests can find them.

#include "platform/forms/colordialogsession.h"

// Shows the dialog modally over the active window until the user confirms or cancels.
void ShowColorDialogWindow(TColorDialogSession& Session);
