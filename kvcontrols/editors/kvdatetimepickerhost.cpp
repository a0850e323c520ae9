// The picker inside a grid or the option inspector: the keys that belong to the host (leaving
// the cell, moving between rows, the grid's own commands) are handed over before the picker
// edits anything, and the rest pass the parent's OnKeyDown event.

#include "kvcontrols/editors/kvdatetimepicker.h"
#include "kvcontrols/editors/kvhelpers.h"
#include "platform/forms/screen.h"
#include "platform/rtl/unicode.h"
#include "platform/user/user.h"

namespace {

// The data grid's option "always show the editor": bit 1 of its Options set (after dgEditing).
constexpr int64_t AlwaysShowEditorBit = int64_t(1) << 1;

// Reaches a host's protected KeyDown, which the inspector wants called directly.
struct TKeyDownAccess : TWinControl {
  using TWinControl::KeyDown;
};

void CallKeyDown(TWinControl* Control, WORD& Key, TShiftState Shift) {
  (Control->*(&TKeyDownAccess::KeyDown))(Key, Shift);
}

}  // namespace

bool TkvDBCustomDateTimePicker::HandToHost(WORD& Key, TShiftState Shift, bool AltHeld) {
  TWinControl* Host = Parent();
  if (!Host || !kvInheritsFromClassName(&Host->ClassType(), "TCustomGrid")) return false;
  const bool InInspector = kvInheritsFromClassName(&Host->ClassType(), "TkvDataInspector");
  const bool Dropped = GetDroppedDown();
  const bool Ctrl = Shift.Contains(ssCtrl);
  const bool AlwaysShowEditor = kvInheritsFromClassName(&Host->ClassType(), "TkvDBGrid") && !Dropped &&
                                (kvGetOrdPropByName(Host, "Options") & AlwaysShowEditorBit) != 0;
  const int Length = int(Utf8Length(Text()));
  const bool WholeText = SelStart() == 0 && SelLength() == Length;
  const bool AtStart = SelStart() == 0;
  const bool AtEnd = SelStart() + SelLength() == Length;

  auto ToGrid = [&] {
    if (Host->Visible()) Host->SetFocus();
    if (Host->Focused()) Host->Perform(WM_KEYDOWN, Key, 0);
    Key = 0;
    return true;
  };
  auto ToInspector = [&] {
    CallKeyDown(Host, Key, Shift);
    Key = 0;
    return true;
  };
  switch (Key) {
    case VK_ESCAPE:
      if (!Modified()) return ToGrid();
      break;
    case VK_PRIOR:
    case VK_NEXT:
      if (!Dropped && !AltHeld) return ToGrid();
      break;
    case VK_END:
      if (AlwaysShowEditor && (Ctrl || (AtEnd && WholeText))) return ToGrid();
      break;
    case VK_HOME:
      if (AlwaysShowEditor && (Ctrl || (AtStart && WholeText))) return ToGrid();
      break;
    case VK_LEFT:
      if (InInspector) {
        if (!Dropped && (Ctrl || AtStart)) return ToInspector();
      } else if (AlwaysShowEditor && (Ctrl || AtStart)) {
        return ToGrid();
      }
      break;
    case VK_RIGHT:
      if (InInspector) {
        if (!Dropped && (Ctrl || AtEnd)) return ToInspector();
      } else if (AlwaysShowEditor && (Ctrl || AtEnd)) {
        return ToGrid();
      }
      break;
    case VK_UP:
    case VK_DOWN:
      if (Ctrl || WholeText) return ToGrid();
      break;
    case VK_INSERT:
      if (!Shift.Contains(ssShift)) return ToGrid();
      break;
    case VK_DELETE:
      if (Ctrl) return ToGrid();
      break;
    case VK_F2:
      if (Host->OnKeyDown) Host->OnKeyDown(Host, Key, Shift);
      if (Key == VK_F2) {
        if (UsesEditPaintWhenFocused()) SetSelLength(0);
        FCurrentField = 1;
        SelectCurrentField();
      }
      // F2 ends here: the picker has nothing more to do with it.
      Key = 0;
      return true;
    default:
      break;
  }
  if ((Key == VK_END || Key == VK_HOME || Key == VK_LEFT || Key == VK_RIGHT) && !CanEdit()) return ToGrid();
  const bool Active = Screen && Screen->ActiveControl() == this;
  if (Host->OnKeyDown && !((Key == VK_RETURN || Key == VK_TAB) && !Active)) {
    Host->OnKeyDown(Host, Key, Shift);
    if (Key == 0) return true;
  }
  return false;
}
