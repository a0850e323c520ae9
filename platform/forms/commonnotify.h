#pragma once
// What every common-controls window shares with its parent: the header of a WM_NOTIFY, the
// notification codes common to all of them (NM_), and the custom-draw protocol, through which a
// parent paints the items of a control itself.
//
// Custom draw: at the start of a paint the control sends NM_CUSTOMDRAW with CDDS_PREPAINT; the
// answer's CDRF_NOTIFYITEMDRAW asks for one CDDS_ITEMPREPAINT per item painted, and
// CDRF_NOTIFYPOSTPAINT for a CDDS_POSTPAINT after the last one. An item notification answered
// with CDRF_SKIPDEFAULT leaves the item to the parent; CDRF_NOTIFYPOSTPAINT there asks for its
// CDDS_ITEMPOSTPAINT. The DC in the notification is the one being painted, set up with the
// control's font; the parent may draw on it but must leave its selections as it found them.

#include "platform/user/winuser.h"

// The header every WM_NOTIFY carries.
struct NMHDR {
  HWND hwndFrom;
  UINT_PTR idFrom;
  UINT code;
};
using LPNMHDR = NMHDR*;

// Notification codes of every common control (negative numbers, as UINT).
constexpr UINT NM_FIRST = 0;
constexpr UINT NM_OUTOFMEMORY = NM_FIRST - 1;
constexpr UINT NM_CLICK = NM_FIRST - 2;
constexpr UINT NM_DBLCLK = NM_FIRST - 3;
constexpr UINT NM_RETURN = NM_FIRST - 4;
constexpr UINT NM_RCLICK = NM_FIRST - 5;
constexpr UINT NM_RDBLCLK = NM_FIRST - 6;
constexpr UINT NM_SETFOCUS = NM_FIRST - 7;
constexpr UINT NM_KILLFOCUS = NM_FIRST - 8;
constexpr UINT NM_CUSTOMDRAW = NM_FIRST - 12;

// Drawing stages.
constexpr DWORD CDDS_PREPAINT = 0x00000001;
constexpr DWORD CDDS_POSTPAINT = 0x00000002;
constexpr DWORD CDDS_PREERASE = 0x00000003;
constexpr DWORD CDDS_POSTERASE = 0x00000004;
constexpr DWORD CDDS_ITEM = 0x00010000;
constexpr DWORD CDDS_ITEMPREPAINT = CDDS_ITEM | CDDS_PREPAINT;
constexpr DWORD CDDS_ITEMPOSTPAINT = CDDS_ITEM | CDDS_POSTPAINT;

// Answers.
constexpr LRESULT CDRF_DODEFAULT = 0x00000000;
constexpr LRESULT CDRF_NEWFONT = 0x00000002;
constexpr LRESULT CDRF_SKIPDEFAULT = 0x00000004;
constexpr LRESULT CDRF_NOTIFYPOSTPAINT = 0x00000010;
constexpr LRESULT CDRF_NOTIFYITEMDRAW = 0x00000020;
constexpr LRESULT CDRF_NOTIFYSUBITEMDRAW = 0x00000020;
constexpr LRESULT CDRF_NOTIFYPOSTERASE = 0x00000040;

// Item states of an item notification.
constexpr UINT CDIS_SELECTED = 0x0001;
constexpr UINT CDIS_GRAYED = 0x0002;
constexpr UINT CDIS_DISABLED = 0x0004;
constexpr UINT CDIS_CHECKED = 0x0008;
constexpr UINT CDIS_FOCUS = 0x0010;
constexpr UINT CDIS_DEFAULT = 0x0020;
constexpr UINT CDIS_HOT = 0x0040;
constexpr UINT CDIS_MARKED = 0x0080;
constexpr UINT CDIS_INDETERMINATE = 0x0100;

struct NMCUSTOMDRAW {
  NMHDR hdr;
  DWORD dwDrawStage;
  HDC hdc;
  RECT rc;
  DWORD_PTR dwItemSpec;  // the item (a tree view: its HTREEITEM)
  UINT uItemState;       // CDIS_ flags
  LPARAM lItemlParam;    // the item's application value
};
using LPNMCUSTOMDRAW = NMCUSTOMDRAW*;
