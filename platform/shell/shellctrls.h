#pragma once
// The shell's folder controls: a folder box, a folder tree and a file list over the file system.
//
// FIXME: waits for the album page. Until then the three controls stand in as plain windowed
// controls holding what start-up and the real close read and write (the list's Sorted and view
// style, the tree's selected folder); they browse nothing yet.

#include <string>

#include "platform/forms/wincontrol.h"

KORCAM_ENUM(TViewStyle, vsIcon, vsSmallIcon, vsList, vsReport)

class TShellComboBox : public TWinControl {
  KORCAM_CLASS(TShellComboBox, TWinControl)

 public:
  explicit TShellComboBox(TComponent* AOwner);
  PLAIN_PROPERTY(std::string, Root, "rfDesktop")
};

class TShellTreeView : public TWinControl {
  KORCAM_CLASS(TShellTreeView, TWinControl)

 public:
  explicit TShellTreeView(TComponent* AOwner);
  PLAIN_PROPERTY(std::string, Root, "rfDesktop")

 public:
  // The full path of the selected folder; empty while none is selected.
  const std::string& Path() const { return FPath; }
  void SetPath(const std::string& Value) { FPath = Value; }

 private:
  std::string FPath;
};

class TShellListView : public TWinControl {
  KORCAM_CLASS(TShellListView, TWinControl)

 public:
  explicit TShellListView(TComponent* AOwner);
  PLAIN_PROPERTY(std::string, Root, "rfDesktop")
  PLAIN_PROPERTY(bool, Sorted, false)
  PLAIN_PROPERTY(TViewStyle, ViewStyle, vsIcon)
};
