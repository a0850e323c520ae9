#include "platform/shell/shellctrls.h"

KORCAM_REGISTER_CLASS(TShellComboBox)
KORCAM_REGISTER_CLASS(TShellTreeView)
KORCAM_REGISTER_CLASS(TShellListView)

TShellComboBox::TShellComboBox(TComponent* AOwner) : TWinControl(AOwner) {
  SetBounds(0, 0, 145, 21);
}

TShellTreeView::TShellTreeView(TComponent* AOwner) : TWinControl(AOwner) {
  SetBounds(0, 0, 121, 97);
}

TShellListView::TShellListView(TComponent* AOwner) : TWinControl(AOwner) {
  SetBounds(0, 0, 250, 150);
}
