#pragma once
// The tree-view window of the common controls (window class "SysTreeView32"), drawn by us: a
// hierarchy of items, each with a text, a normal and a selected image, a state image, an
// overlay, an application value and state bits; items show when every ancestor is expanded. It
// answers the TVM_ messages (insert, delete, get and set items, expand and collapse, select,
// hit test, item rectangles, sorting with or without a callback, label editing, drag image),
// scrolls, and tells its parent what happens through WM_NOTIFY (TVN_ and NM_ codes): selection
// changes (which the parent may refuse), expansion (likewise), deletion of each item, the start
// of a drag, the start and end of label editing, and the requests for callback texts and images
// (TVN_GETDISPINFO) of items inserted with LPSTR_TEXTCALLBACK or I_IMAGECALLBACK. Items are
// painted through custom draw (commonnotify.h): a parent that answers CDRF_SKIPDEFAULT draws
// them itself.
//
// Geometry (the window chooses it; every number below is what the hit test, the item
// rectangles and the painting agree on):
// - Rows are all ItemHeight pixels high: the font's height + 3, at least the height of either
//   image list, rounded up to an even number (TVS_NONEVENHEIGHT keeps it odd); TVM_SETITEMHEIGHT
//   fixes another height (-1 returns to the computed one). Row r of the shown items lies at
//   y = (r - first visible row) * ItemHeight.
// - Indent defaults to 19 pixels; TVM_SETINDENT takes at least 5. An item of level L (roots
//   are level 0) starts at x = (L + R) * Indent - horizontal scroll, where R is 1 when
//   TVS_LINESATROOT is set together with TVS_HASLINES or TVS_HASBUTTONS, else 0. The column of
//   Indent pixels left of that start holds the item's line joint and expand button.
// - From the item's start: its state image (when the state list exists and the item's state
//   image index is above 0: the state list's width), then its normal image (when the normal list
//   exists: the list's width plus a 1-pixel gap), then the text rectangle: the text's width + 4
//   (2 pixels of padding on each side).
// - TVM_GETITEMRECT with text only answers the text rectangle, otherwise the whole row from
//   x = 0 to the client width. Either is the row's full height. FALSE for an item not shown.
// - Hit test: above, below, left of or right of the client area gives TVHT_ABOVE, _BELOW,
//   _TOLEFT, _TORIGHT (combined, with no item); on a row: left of the button column
//   TVHT_ONITEMINDENT; in the button column TVHT_ONITEMBUTTON when the item has children and
//   buttons are shown for it (TVS_HASBUTTONS, and TVS_LINESATROOT or a level above 0), else
//   TVHT_ONITEMINDENT; then TVHT_ONITEMSTATEICON, TVHT_ONITEMICON, TVHT_ONITEMLABEL over the
//   state image, the image and the text rectangle, and TVHT_ONITEMRIGHT right of the text
//   (with TVS_FULLROWSELECT a click there selects as one on the label does); past the last item
//   TVHT_NOWHERE.
// - The expand button is a 9 x 9 box centred on x = start - Indent / 2 - 1 and the row's middle;
//   lines are dotted, through the same x.
//
// Behaviour a user relies on: a left click on a button expands or collapses; on an item it
// selects (after a drag detection: moving the pointer 4 pixels with the button held starts a
// drag, TVN_BEGINDRAG, unless TVS_DISABLEDRAGDROP); a click on the selected item's label with
// TVS_EDITLABELS starts editing after the double-click time; a double click toggles expansion.
// A right press is followed to its release, which the window takes: then NM_RCLICK, or
// TVN_BEGINRDRAG when the pointer moved 4 pixels on an item (unless TVS_DISABLEDRAGDROP). With
// TVS_CHECKBOXES new items get state image 1 and a click on the state image or the space
// bar steps it between 1 and 2. Keys: arrows, Home, End, Page Up and Down move the selection;
// Left collapses or goes to the parent, Right expands or goes to the first child; the keypad's
// plus, minus and star expand, collapse and expand everything below; F2 edits; typed characters
// select the next item whose text starts with them (characters typed within a second add up).
// TVS_SINGLEEXPAND expands the newly selected item and collapses the one left; TVS_TRACKSELECT
// marks the item under the pointer hot.
//
// Deleting an item deletes its subtree; TVN_DELETEITEM comes for every item, children before
// their parent. Deleting the selected item moves the selection to the next sibling, else the
// previous one, else the parent (deleting everything leaves no selection and tells nothing).
// An item's child count (TVIF_CHILDREN) follows its children (1 once it has one, 0 when the last
// goes) unless it was set to I_CHILDRENCALLBACK; setting it shows a button without children.

#include <cstdint>

#include "platform/forms/commonnotify.h"
#include "platform/rtl/wintypes.h"
#include "platform/user/winuser.h"

inline constexpr const char* WC_TREEVIEWA = "SysTreeView32";
inline constexpr const char* WC_TREEVIEW = WC_TREEVIEWA;

// The handle of an item: valid from its insertion until its TVN_DELETEITEM has been answered.
// Every message checks the handles it is given and answers 0 or FALSE for a stale one.
struct TTreeViewItem;
using HTREEITEM = TTreeViewItem*;

inline const HTREEITEM TVI_ROOT = reinterpret_cast<HTREEITEM>(-intptr_t(0x10000));
inline const HTREEITEM TVI_FIRST = reinterpret_cast<HTREEITEM>(-intptr_t(0x0FFFF));
inline const HTREEITEM TVI_LAST = reinterpret_cast<HTREEITEM>(-intptr_t(0x0FFFE));
inline const HTREEITEM TVI_SORT = reinterpret_cast<HTREEITEM>(-intptr_t(0x0FFFD));

// The text and image values of items whose parent answers TVN_GETDISPINFO for them.
inline const LPSTR LPSTR_TEXTCALLBACKA = reinterpret_cast<LPSTR>(intptr_t(-1));
inline const LPSTR LPSTR_TEXTCALLBACK = LPSTR_TEXTCALLBACKA;
constexpr int I_IMAGECALLBACK = -1;
constexpr int I_IMAGENONE = -2;
constexpr int I_CHILDRENCALLBACK = -1;

// Styles.
constexpr DWORD TVS_HASBUTTONS = 0x0001;
constexpr DWORD TVS_HASLINES = 0x0002;
constexpr DWORD TVS_LINESATROOT = 0x0004;
constexpr DWORD TVS_EDITLABELS = 0x0008;
constexpr DWORD TVS_DISABLEDRAGDROP = 0x0010;
constexpr DWORD TVS_SHOWSELALWAYS = 0x0020;
constexpr DWORD TVS_RTLREADING = 0x0040;
constexpr DWORD TVS_NOTOOLTIPS = 0x0080;
constexpr DWORD TVS_CHECKBOXES = 0x0100;
constexpr DWORD TVS_TRACKSELECT = 0x0200;
constexpr DWORD TVS_SINGLEEXPAND = 0x0400;
constexpr DWORD TVS_INFOTIP = 0x0800;
constexpr DWORD TVS_FULLROWSELECT = 0x1000;
constexpr DWORD TVS_NOSCROLL = 0x2000;
constexpr DWORD TVS_NONEVENHEIGHT = 0x4000;

// TVITEM masks.
constexpr UINT TVIF_TEXT = 0x0001;
constexpr UINT TVIF_IMAGE = 0x0002;
constexpr UINT TVIF_PARAM = 0x0004;
constexpr UINT TVIF_STATE = 0x0008;
constexpr UINT TVIF_HANDLE = 0x0010;
constexpr UINT TVIF_SELECTEDIMAGE = 0x0020;
constexpr UINT TVIF_CHILDREN = 0x0040;
constexpr UINT TVIF_INTEGRAL = 0x0080;
constexpr UINT TVIF_DI_SETITEM = 0x1000;

// Item states. The state image index lives in bits 12..15, the overlay index in bits 8..11.
constexpr UINT TVIS_FOCUSED = 0x0001;
constexpr UINT TVIS_SELECTED = 0x0002;
constexpr UINT TVIS_CUT = 0x0004;
constexpr UINT TVIS_DROPHILITED = 0x0008;
constexpr UINT TVIS_BOLD = 0x0010;
constexpr UINT TVIS_EXPANDED = 0x0020;
constexpr UINT TVIS_EXPANDEDONCE = 0x0040;
constexpr UINT TVIS_EXPANDPARTIAL = 0x0080;
constexpr UINT TVIS_OVERLAYMASK = 0x0F00;
constexpr UINT TVIS_STATEIMAGEMASK = 0xF000;
constexpr UINT TVIS_USERMASK = 0xF000;
constexpr UINT INDEXTOSTATEIMAGEMASK(UINT Index) { return Index << 12; }
constexpr UINT STATEIMAGEMASKTOINDEX(UINT State) { return (State & TVIS_STATEIMAGEMASK) >> 12; }

// Messages.
constexpr UINT TV_FIRST = 0x1100;
constexpr UINT TVM_INSERTITEMA = TV_FIRST + 0;
constexpr UINT TVM_DELETEITEM = TV_FIRST + 1;
constexpr UINT TVM_EXPAND = TV_FIRST + 2;
constexpr UINT TVM_GETITEMRECT = TV_FIRST + 4;
constexpr UINT TVM_GETCOUNT = TV_FIRST + 5;
constexpr UINT TVM_GETINDENT = TV_FIRST + 6;
constexpr UINT TVM_SETINDENT = TV_FIRST + 7;
constexpr UINT TVM_GETIMAGELIST = TV_FIRST + 8;
constexpr UINT TVM_SETIMAGELIST = TV_FIRST + 9;
constexpr UINT TVM_GETNEXTITEM = TV_FIRST + 10;
constexpr UINT TVM_SELECTITEM = TV_FIRST + 11;
constexpr UINT TVM_GETITEMA = TV_FIRST + 12;
constexpr UINT TVM_SETITEMA = TV_FIRST + 13;
constexpr UINT TVM_EDITLABELA = TV_FIRST + 14;
constexpr UINT TVM_GETEDITCONTROL = TV_FIRST + 15;
constexpr UINT TVM_GETVISIBLECOUNT = TV_FIRST + 16;
constexpr UINT TVM_HITTEST = TV_FIRST + 17;
constexpr UINT TVM_CREATEDRAGIMAGE = TV_FIRST + 18;
constexpr UINT TVM_SORTCHILDREN = TV_FIRST + 19;
constexpr UINT TVM_ENSUREVISIBLE = TV_FIRST + 20;
constexpr UINT TVM_SORTCHILDRENCB = TV_FIRST + 21;
constexpr UINT TVM_ENDEDITLABELNOW = TV_FIRST + 22;
constexpr UINT TVM_SETITEMHEIGHT = TV_FIRST + 27;
constexpr UINT TVM_GETITEMHEIGHT = TV_FIRST + 28;
constexpr UINT TVM_SETBKCOLOR = TV_FIRST + 29;
constexpr UINT TVM_SETTEXTCOLOR = TV_FIRST + 30;
constexpr UINT TVM_GETBKCOLOR = TV_FIRST + 31;
constexpr UINT TVM_GETTEXTCOLOR = TV_FIRST + 32;
constexpr UINT TVM_GETITEMSTATE = TV_FIRST + 39;
constexpr UINT TVM_SETLINECOLOR = TV_FIRST + 40;
constexpr UINT TVM_GETLINECOLOR = TV_FIRST + 41;
constexpr UINT TVM_INSERTITEM = TVM_INSERTITEMA;
constexpr UINT TVM_GETITEM = TVM_GETITEMA;
constexpr UINT TVM_SETITEM = TVM_SETITEMA;
constexpr UINT TVM_EDITLABEL = TVM_EDITLABELA;

// TVM_EXPAND actions.
constexpr UINT TVE_COLLAPSE = 0x0001;
constexpr UINT TVE_EXPAND = 0x0002;
constexpr UINT TVE_TOGGLE = 0x0003;
constexpr UINT TVE_EXPANDPARTIAL = 0x4000;
constexpr UINT TVE_COLLAPSERESET = 0x8000;

// TVM_GETNEXTITEM and TVM_SELECTITEM relations.
constexpr UINT TVGN_ROOT = 0x0000;
constexpr UINT TVGN_NEXT = 0x0001;
constexpr UINT TVGN_PREVIOUS = 0x0002;
constexpr UINT TVGN_PARENT = 0x0003;
constexpr UINT TVGN_CHILD = 0x0004;
constexpr UINT TVGN_FIRSTVISIBLE = 0x0005;
constexpr UINT TVGN_NEXTVISIBLE = 0x0006;
constexpr UINT TVGN_PREVIOUSVISIBLE = 0x0007;
constexpr UINT TVGN_DROPHILITE = 0x0008;
constexpr UINT TVGN_CARET = 0x0009;
constexpr UINT TVGN_LASTVISIBLE = 0x000A;

// TVM_SETIMAGELIST / TVM_GETIMAGELIST.
constexpr WPARAM TVSIL_NORMAL = 0;
constexpr WPARAM TVSIL_STATE = 2;

// Hit-test results.
constexpr UINT TVHT_NOWHERE = 0x0001;
constexpr UINT TVHT_ONITEMICON = 0x0002;
constexpr UINT TVHT_ONITEMLABEL = 0x0004;
constexpr UINT TVHT_ONITEMINDENT = 0x0008;
constexpr UINT TVHT_ONITEMBUTTON = 0x0010;
constexpr UINT TVHT_ONITEMRIGHT = 0x0020;
constexpr UINT TVHT_ONITEMSTATEICON = 0x0040;
constexpr UINT TVHT_ONITEM = TVHT_ONITEMICON | TVHT_ONITEMLABEL | TVHT_ONITEMSTATEICON;
constexpr UINT TVHT_ABOVE = 0x0100;
constexpr UINT TVHT_BELOW = 0x0200;
constexpr UINT TVHT_TORIGHT = 0x0400;
constexpr UINT TVHT_TOLEFT = 0x0800;

// How a selection change came about (NMTREEVIEW.action).
constexpr UINT TVC_UNKNOWN = 0x0000;
constexpr UINT TVC_BYMOUSE = 0x0001;
constexpr UINT TVC_BYKEYBOARD = 0x0002;

// Notifications (WM_NOTIFY codes). The window sends the ANSI (UTF-8) ones; a parent that knows
// the wide codes of other tree views answers both.
constexpr UINT TVN_FIRST = UINT(0) - 400;
constexpr UINT TVN_SELCHANGINGA = TVN_FIRST - 1;
constexpr UINT TVN_SELCHANGEDA = TVN_FIRST - 2;
constexpr UINT TVN_GETDISPINFOA = TVN_FIRST - 3;
constexpr UINT TVN_SETDISPINFOA = TVN_FIRST - 4;
constexpr UINT TVN_ITEMEXPANDINGA = TVN_FIRST - 5;
constexpr UINT TVN_ITEMEXPANDEDA = TVN_FIRST - 6;
constexpr UINT TVN_BEGINDRAGA = TVN_FIRST - 7;
constexpr UINT TVN_BEGINRDRAGA = TVN_FIRST - 8;
constexpr UINT TVN_DELETEITEMA = TVN_FIRST - 9;
constexpr UINT TVN_BEGINLABELEDITA = TVN_FIRST - 10;
constexpr UINT TVN_ENDLABELEDITA = TVN_FIRST - 11;
constexpr UINT TVN_KEYDOWN = TVN_FIRST - 12;
constexpr UINT TVN_SELCHANGINGW = TVN_FIRST - 50;
constexpr UINT TVN_SELCHANGEDW = TVN_FIRST - 51;
constexpr UINT TVN_GETDISPINFOW = TVN_FIRST - 52;
constexpr UINT TVN_SETDISPINFOW = TVN_FIRST - 53;
constexpr UINT TVN_ITEMEXPANDINGW = TVN_FIRST - 54;
constexpr UINT TVN_ITEMEXPANDEDW = TVN_FIRST - 55;
constexpr UINT TVN_BEGINDRAGW = TVN_FIRST - 56;
constexpr UINT TVN_BEGINRDRAGW = TVN_FIRST - 57;
constexpr UINT TVN_DELETEITEMW = TVN_FIRST - 58;
constexpr UINT TVN_BEGINLABELEDITW = TVN_FIRST - 59;
constexpr UINT TVN_ENDLABELEDITW = TVN_FIRST - 60;
constexpr UINT TVN_SELCHANGING = TVN_SELCHANGINGA;
constexpr UINT TVN_SELCHANGED = TVN_SELCHANGEDA;
constexpr UINT TVN_GETDISPINFO = TVN_GETDISPINFOA;
constexpr UINT TVN_SETDISPINFO = TVN_SETDISPINFOA;
constexpr UINT TVN_ITEMEXPANDING = TVN_ITEMEXPANDINGA;
constexpr UINT TVN_ITEMEXPANDED = TVN_ITEMEXPANDEDA;
constexpr UINT TVN_BEGINDRAG = TVN_BEGINDRAGA;
constexpr UINT TVN_BEGINRDRAG = TVN_BEGINRDRAGA;
constexpr UINT TVN_DELETEITEM = TVN_DELETEITEMA;
constexpr UINT TVN_BEGINLABELEDIT = TVN_BEGINLABELEDITA;
constexpr UINT TVN_ENDLABELEDIT = TVN_ENDLABELEDITA;

struct TVITEMA {
  UINT mask;
  HTREEITEM hItem;
  UINT state;
  UINT stateMask;
  LPSTR pszText;  // UTF-8; LPSTR_TEXTCALLBACK for a callback text
  int cchTextMax;
  int iImage;
  int iSelectedImage;
  int cChildren;
  LPARAM lParam;
};
using TVITEM = TVITEMA;
using LPTVITEM = TVITEMA*;

struct TVINSERTSTRUCTA {
  HTREEITEM hParent;       // TVI_ROOT or nullptr: a root item
  HTREEITEM hInsertAfter;  // TVI_FIRST, TVI_LAST, TVI_SORT or a child of hParent
  TVITEMA item;
};
using TVINSERTSTRUCT = TVINSERTSTRUCTA;

struct TVHITTESTINFO {
  POINT pt;  // in: client coordinates
  UINT flags;  // out: TVHT_ flags
  HTREEITEM hItem;  // out
};
using LPTVHITTESTINFO = TVHITTESTINFO*;

// The comparison of TVM_SORTCHILDRENCB: the two items' application values and lParamSort;
// negative when the first goes first.
using PFNTVCOMPARE = int (*)(LPARAM Param1, LPARAM Param2, LPARAM ParamSort);

struct TVSORTCB {
  HTREEITEM hParent;
  PFNTVCOMPARE lpfnCompare;
  LPARAM lParam;
};
using LPTVSORTCB = TVSORTCB*;

struct NMTREEVIEWA {
  NMHDR hdr;
  UINT action;  // TVC_ for selection changes, TVE_ for expansion
  TVITEMA itemOld;
  TVITEMA itemNew;
  POINT ptDrag;  // client coordinates, for TVN_BEGINDRAG
};
using NMTREEVIEW = NMTREEVIEWA;
using LPNMTREEVIEW = NMTREEVIEWA*;

// TVN_GETDISPINFO (fill what item.mask asks: the text into pszText, at most cchTextMax bytes
// with the terminator; the image indexes; the child count), TVN_SETDISPINFO, and the two label
// editing notifications (TVN_ENDLABELEDIT: pszText is the edited text, nullptr when cancelled;
// answer TRUE to keep it).
struct NMTVDISPINFOA {
  NMHDR hdr;
  TVITEMA item;
};
using NMTVDISPINFO = NMTVDISPINFOA;
using TV_DISPINFO = NMTVDISPINFOA;

struct NMTVKEYDOWN {
  NMHDR hdr;
  WORD wVKey;
  UINT flags;
};

struct NMTVCUSTOMDRAW {
  NMCUSTOMDRAW nmcd;
  COLORREF clrText;
  COLORREF clrTextBk;
  int iLevel;
};
using LPNMTVCUSTOMDRAW = NMTVCUSTOMDRAW*;

// The window procedure of the class. A control that wraps the tree view makes it the default
// procedure of its own window class (the class library's subclassing); the state of the window
// lives beside it and goes with WM_NCDESTROY.
LRESULT TreeViewWindowProc(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam);
// Registers "SysTreeView32" once (the common controls' tree-view classes).
void InitTreeViewClass();

// A few of the common controls' helper macros, as functions.
HTREEITEM TreeView_InsertItem(HWND Window, const TVINSERTSTRUCTA* Insert);
BOOL TreeView_DeleteItem(HWND Window, HTREEITEM Item);
BOOL TreeView_Expand(HWND Window, HTREEITEM Item, UINT Code);
HTREEITEM TreeView_GetNextItem(HWND Window, HTREEITEM Item, UINT Code);
BOOL TreeView_SelectItem(HWND Window, HTREEITEM Item);
BOOL TreeView_GetItem(HWND Window, TVITEMA* Item);
BOOL TreeView_SetItem(HWND Window, const TVITEMA* Item);
BOOL TreeView_GetItemRect(HWND Window, HTREEITEM Item, RECT* Rect, BOOL TextOnly);
HTREEITEM TreeView_HitTest(HWND Window, TVHITTESTINFO* Info);
UINT TreeView_GetItemState(HWND Window, HTREEITEM Item, UINT Mask);
UINT TreeView_GetCount(HWND Window);
