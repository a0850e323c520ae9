#pragma once
// The window of the file and folder dialogs, a view of a TFileDialogSession:
//
//   Look in: [ /home/user/Снимки              ] [Up] [New Folder]
//   +-------------------------------------------+  +-----------+
//   | [] Holidays                                |  |  picture  |   (picture dialogs:
//   | [] 2026                                    |  |  preview  |    the selected file's
//   |  = photo1.jpg                              |  +-----------+    picture and size)
//   +-------------------------------------------+    640 x 480
//   File name:     [ photo1.jpg               ]  [ Open ]
//   Files of type: [ JPEG Image File (*.jpg) v]  [Cancel]
//
// The folder field takes a typed path (Enter goes there); the list opens a folder with a double
// click or Enter and goes up with Backspace; the name field takes a name, a path or a pattern;
// the type box changes with the arrow keys or from its drop-down. A dialog whose options allow
// it can be resized, and its parts follow. The controls carry names (FolderEdit, UpButton,
// NewFolderButton, FileList, FileNameEdit, FilterBox, OkButton, CancelButton, Preview) so that
// tests can find them.

#include "platform/forms/filedialogsession.h"

// Shows the dialog modally over the active window until the session is accepted or the user
// cancels.
void ShowFileDialogWindow(TFileDialogSession& Session);
