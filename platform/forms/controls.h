#pragma once
// The shared vocabulary of the class library's controls: the message record every handler gets,
// the library's own notifications (CM_) and reflected messages (CN_), alignment and anchors,
// shift states and mouse buttons, control styles and states, cursors, the parameters a windowed
// control is created with, and the event types of controls.
//
// Message handling follows one shape in every control class: WndProc sees every message first
// (mouse routing, focus bookkeeping), then Dispatch hands it to the class's handler through a
// switch, and a message no class handles reaches DefaultHandler (the window's default procedure
// for a windowed control). A handler that wants "the inherited behaviour" calls
// inherited::Dispatch(Message) for the same message:
//
//   void TMyPanel::Dispatch(TMessage& Message) {
//     switch (Message.Msg) {
//       case WM_ERASEBKGND: WMEraseBkgnd(Message); return;
//       case CM_MOUSEENTER: CMMouseEnter(Message); return;
//     }
//     inherited::Dispatch(Message);
//   }

#include <cstdint>
#include <functional>
#include <string>

#include "platform/classes/component.h"
#include "platform/classes/events.h"
#include "platform/classes/object.h"
#include "platform/classes/typinfo.h"
#include "platform/gdi/colors.h"
#include "platform/user/winuser.h"

// ---- the message record ----------------------------------------------------------------------

struct TMessage {
  UINT Msg = 0;
  WPARAM WParam = 0;
  LPARAM LParam = 0;
  LRESULT Result = 0;

  // Views of the parameters as the common messages carry them.
  HDC DC() const { return reinterpret_cast<HDC>(WParam); }  // WM_PAINT, WM_ERASEBKGND
  int XPos() const { return GET_X_LPARAM(LParam); }         // mouse messages
  int YPos() const { return GET_Y_LPARAM(LParam); }
  POINT Pos() const { return POINT{XPos(), YPos()}; }
  WORD Keys() const { return LOWORD(WParam); }    // MK_ flags of mouse messages
  WORD CharCode() const { return WORD(WParam); }  // key messages
  void SetCharCode(WORD Value) { WParam = Value; }
  LPARAM KeyData() const { return LParam; }
};

using TWndMethod = std::function<void(TMessage&)>;

inline LPARAM PointToLParam(POINT P) {
  return MAKELPARAM(WORD(int16_t(P.x)), WORD(int16_t(P.y)));
}

// ---- the class library's notifications ---------------------------------------------------------

constexpr UINT CM_BASE = 0xB000;
constexpr UINT CM_ACTIVATE = CM_BASE + 0;
constexpr UINT CM_DEACTIVATE = CM_BASE + 1;
constexpr UINT CM_GOTFOCUS = CM_BASE + 2;
constexpr UINT CM_LOSTFOCUS = CM_BASE + 3;
constexpr UINT CM_CANCELMODE = CM_BASE + 4;
constexpr UINT CM_DIALOGKEY = CM_BASE + 5;
constexpr UINT CM_DIALOGCHAR = CM_BASE + 6;
constexpr UINT CM_FOCUSCHANGED = CM_BASE + 7;
constexpr UINT CM_PARENTFONTCHANGED = CM_BASE + 8;
constexpr UINT CM_PARENTCOLORCHANGED = CM_BASE + 9;
constexpr UINT CM_HITTEST = CM_BASE + 10;
constexpr UINT CM_VISIBLECHANGED = CM_BASE + 11;
constexpr UINT CM_ENABLEDCHANGED = CM_BASE + 12;
constexpr UINT CM_COLORCHANGED = CM_BASE + 13;
constexpr UINT CM_FONTCHANGED = CM_BASE + 14;
constexpr UINT CM_CURSORCHANGED = CM_BASE + 15;
constexpr UINT CM_CTL3DCHANGED = CM_BASE + 16;
constexpr UINT CM_PARENTCTL3DCHANGED = CM_BASE + 17;
constexpr UINT CM_TEXTCHANGED = CM_BASE + 18;
constexpr UINT CM_MOUSEENTER = CM_BASE + 19;
constexpr UINT CM_MOUSELEAVE = CM_BASE + 20;
constexpr UINT CM_MENUCHANGED = CM_BASE + 21;
constexpr UINT CM_APPKEYDOWN = CM_BASE + 22;
constexpr UINT CM_APPSYSCOMMAND = CM_BASE + 23;
constexpr UINT CM_BUTTONPRESSED = CM_BASE + 24;
constexpr UINT CM_SHOWINGCHANGED = CM_BASE + 25;
constexpr UINT CM_ENTER = CM_BASE + 26;
constexpr UINT CM_EXIT = CM_BASE + 27;
constexpr UINT CM_DESIGNHITTEST = CM_BASE + 28;
constexpr UINT CM_ICONCHANGED = CM_BASE + 29;
constexpr UINT CM_WANTSPECIALKEY = CM_BASE + 30;
constexpr UINT CM_INVOKEHELP = CM_BASE + 31;
constexpr UINT CM_WINDOWHOOK = CM_BASE + 32;
constexpr UINT CM_RELEASE = CM_BASE + 33;
constexpr UINT CM_SHOWHINTCHANGED = CM_BASE + 34;
constexpr UINT CM_PARENTSHOWHINTCHANGED = CM_BASE + 35;
constexpr UINT CM_SYSCOLORCHANGE = CM_BASE + 36;
constexpr UINT CM_WININICHANGE = CM_BASE + 37;
constexpr UINT CM_FONTCHANGE = CM_BASE + 38;
constexpr UINT CM_TIMECHANGE = CM_BASE + 39;
constexpr UINT CM_TABSTOPCHANGED = CM_BASE + 40;
constexpr UINT CM_UIACTIVATE = CM_BASE + 41;
constexpr UINT CM_UIDEACTIVATE = CM_BASE + 42;
constexpr UINT CM_DOCWINDOWACTIVATE = CM_BASE + 43;
constexpr UINT CM_CONTROLLISTCHANGE = CM_BASE + 44;
constexpr UINT CM_GETDATALINK = CM_BASE + 45;
constexpr UINT CM_CHILDKEY = CM_BASE + 46;
constexpr UINT CM_DRAG = CM_BASE + 47;
constexpr UINT CM_HINTSHOW = CM_BASE + 48;
constexpr UINT CM_DIALOGHANDLE = CM_BASE + 49;
constexpr UINT CM_ISTOOLCONTROL = CM_BASE + 50;
constexpr UINT CM_RECREATEWND = CM_BASE + 51;
constexpr UINT CM_INVALIDATE = CM_BASE + 52;
constexpr UINT CM_SYSFONTCHANGED = CM_BASE + 53;
constexpr UINT CM_CONTROLCHANGE = CM_BASE + 54;
constexpr UINT CM_CHANGED = CM_BASE + 55;
constexpr UINT CM_DOCKCLIENT = CM_BASE + 56;
constexpr UINT CM_UNDOCKCLIENT = CM_BASE + 57;
constexpr UINT CM_FLOAT = CM_BASE + 58;
constexpr UINT CM_BORDERCHANGED = CM_BASE + 59;
constexpr UINT CM_BIDIMODECHANGED = CM_BASE + 60;
constexpr UINT CM_PARENTBIDIMODECHANGED = CM_BASE + 61;
constexpr UINT CM_ALLCHILDRENFLIPPED = CM_BASE + 62;
constexpr UINT CM_ACTIONUPDATE = CM_BASE + 63;
constexpr UINT CM_ACTIONEXECUTE = CM_BASE + 64;
constexpr UINT CM_HINTSHOWPAUSE = CM_BASE + 65;
constexpr UINT CM_DOCKNOTIFICATION = CM_BASE + 66;
constexpr UINT CM_MOUSEWHEEL = CM_BASE + 67;

// Messages a parent reflects back to the child control they concern (and the key pre-pass the
// application runs before a key message is dispatched).
constexpr UINT CN_BASE = 0xBC00;
constexpr UINT CN_CHARTOITEM = CN_BASE + WM_CHARTOITEM;
constexpr UINT CN_COMMAND = CN_BASE + WM_COMMAND;
constexpr UINT CN_COMPAREITEM = CN_BASE + WM_COMPAREITEM;
constexpr UINT CN_CTLCOLORBTN = CN_BASE + WM_CTLCOLORBTN;
constexpr UINT CN_CTLCOLORDLG = CN_BASE + WM_CTLCOLORDLG;
constexpr UINT CN_CTLCOLOREDIT = CN_BASE + WM_CTLCOLOREDIT;
constexpr UINT CN_CTLCOLORLISTBOX = CN_BASE + WM_CTLCOLORLISTBOX;
constexpr UINT CN_CTLCOLORMSGBOX = CN_BASE + WM_CTLCOLORMSGBOX;
constexpr UINT CN_CTLCOLORSCROLLBAR = CN_BASE + WM_CTLCOLORSCROLLBAR;
constexpr UINT CN_CTLCOLORSTATIC = CN_BASE + WM_CTLCOLORSTATIC;
constexpr UINT CN_DELETEITEM = CN_BASE + WM_DELETEITEM;
constexpr UINT CN_DRAWITEM = CN_BASE + WM_DRAWITEM;
constexpr UINT CN_HSCROLL = CN_BASE + WM_HSCROLL;
constexpr UINT CN_MEASUREITEM = CN_BASE + WM_MEASUREITEM;
constexpr UINT CN_PARENTNOTIFY = CN_BASE + WM_PARENTNOTIFY;
constexpr UINT CN_VKEYTOITEM = CN_BASE + WM_VKEYTOITEM;
constexpr UINT CN_VSCROLL = CN_BASE + WM_VSCROLL;
constexpr UINT CN_KEYDOWN = CN_BASE + WM_KEYDOWN;
constexpr UINT CN_KEYUP = CN_BASE + WM_KEYUP;
constexpr UINT CN_CHAR = CN_BASE + WM_CHAR;
constexpr UINT CN_SYSKEYDOWN = CN_BASE + WM_SYSKEYDOWN;
constexpr UINT CN_SYSCHAR = CN_BASE + WM_SYSCHAR;
constexpr UINT CN_NOTIFY = CN_BASE + WM_NOTIFY;

// ---- enumerations and sets -------------------------------------------------------------------

KORCAM_ENUM(TAlign, alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom)
using TAlignSet = TSet<TAlign>;
KORCAM_ENUM(TAnchorKind, akLeft, akTop, akRight, akBottom)
using TAnchors = TSet<TAnchorKind>;
KORCAM_ENUM(TShiftStateItem, ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble)
using TShiftState = TSet<TShiftStateItem>;
KORCAM_ENUM(TMouseButton, mbLeft, mbRight, mbMiddle)
KORCAM_ENUM(TBiDiMode, bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly)

// What a control class can do; set by its constructor.
KORCAM_ENUM(TControlStyleItem, csAcceptsControls, csCaptureMouse, csDesignInteractive, csClickEvents,
            csFramed, csSetCaption, csOpaque, csDoubleClicks, csFixedWidth, csFixedHeight, csNoDesignVisible,
            csReplicatable, csNoStdEvents, csDisplayDragImage, csReflector, csActionClient, csMenuEvents)
using TControlStyle = TSet<TControlStyleItem>;
// What a control is doing now. csPaintCopy: the control is painting a copy of itself into
// someone else's device context (a grid cell, PaintTo), not its own window.
KORCAM_ENUM(TControlStateItem, csLButtonDown, csClicked, csPalette, csReadingState, csAlignmentNeeded,
            csFocusing, csCreating, csPaintCopy, csCustomPaint, csDestroyingHandle, csDocking)
using TControlState = TSet<TControlStateItem>;

// One list of border styles serves controls (bsNone, bsSingle) and forms (all of them).
KORCAM_ENUM(TFormBorderStyle, bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin)
using TBorderStyle = TFormBorderStyle;

using TBorderWidth = int32_t;
using TCaption = std::string;
using TTabOrder = int16_t;

// ---- cursors ---------------------------------------------------------------------------------

using TCursor = int16_t;
constexpr TCursor crDefault = 0;
constexpr TCursor crNone = -1;
constexpr TCursor crArrow = -2;
constexpr TCursor crCross = -3;
constexpr TCursor crIBeam = -4;
constexpr TCursor crSize = -22;
constexpr TCursor crSizeNESW = -6;
constexpr TCursor crSizeNS = -7;
constexpr TCursor crSizeNWSE = -8;
constexpr TCursor crSizeWE = -9;
constexpr TCursor crUpArrow = -10;
constexpr TCursor crHourGlass = -11;
constexpr TCursor crDrag = -12;
constexpr TCursor crNoDrop = -13;
constexpr TCursor crHSplit = -14;
constexpr TCursor crVSplit = -15;
constexpr TCursor crMultiDrag = -16;
constexpr TCursor crSQLWait = -17;
constexpr TCursor crNo = -18;
constexpr TCursor crAppStart = -19;
constexpr TCursor crHelp = -20;
constexpr TCursor crHandPoint = -21;
constexpr TCursor crSizeAll = -22;

// The window system's cursor for a class-library cursor (null for crNone).
HCURSOR CursorHandle(TCursor Cursor);
bool CursorToIdent(int32_t Cursor, std::string& Ident);
bool IdentToCursor(const std::string& Ident, int32_t& Cursor);

// ---- modal results ---------------------------------------------------------------------------

using TModalResult = int32_t;
constexpr TModalResult mrNone = 0;
constexpr TModalResult mrOk = 1;  // IDOK
constexpr TModalResult mrCancel = 2;
constexpr TModalResult mrAbort = 3;
constexpr TModalResult mrRetry = 4;
constexpr TModalResult mrIgnore = 5;
constexpr TModalResult mrYes = 6;
constexpr TModalResult mrNo = 7;
constexpr TModalResult mrAll = 8;
constexpr TModalResult mrNoToAll = 9;
constexpr TModalResult mrYesToAll = 10;

// ---- the parameters of a window --------------------------------------------------------------

struct TCreateParams {
  std::string Caption;
  DWORD Style = 0;
  DWORD ExStyle = 0;
  int X = 0;
  int Y = 0;
  int Width = 0;
  int Height = 0;
  HWND WndParent = nullptr;
  void* Param = nullptr;
  WNDCLASSA WindowClass{};
  // The window class registered for the control: by default its class name ("TvcPanel").
  std::string WinClassName;
};

// ---- shift states ----------------------------------------------------------------------------

// The shift state of a key message (its lParam) and of the keyboard now.
TShiftState KeyDataToShiftState(LPARAM KeyData);
// The shift state of a mouse message (its MK_ flags), Alt from the keyboard.
TShiftState KeysToShiftState(WORD Keys);
TShiftState KeyboardStateToShiftState();

// ---- events ----------------------------------------------------------------------------------

using TMouseEvent = TEvent<TObject*, TMouseButton, TShiftState, int, int>;
using TMouseMoveEvent = TEvent<TObject*, TShiftState, int, int>;
// Key := 0 consumes the key.
using TKeyEvent = TEvent<TObject*, WORD&, TShiftState>;
// Key := 0 discards the character.
using TKeyPressEvent = TEvent<TObject*, char32_t&>;
using TMouseWheelEvent = TEvent<TObject*, TShiftState, int, POINT, bool&>;
using TMouseWheelUpDownEvent = TEvent<TObject*, TShiftState, POINT, bool&>;

// ---- helpers for declaring published properties of controls ------------------------------------

// Publishes an accessor pair an ancestor declared (the class library's "published property
// Caption;" in a descendant): the row names Class::Name / Class::SetName.
#define PUBLISH_PROPERTY(Class, Type, Name, ...)                                            \
  KORCAM_PROPERTY_ROW(Name, [] {                                                            \
    auto Info = korcam_detail::MakeProperty(#Name, #Type, &Class::Name, &Class::Set##Name); \
    korcam_detail::SetDefault<Type>(Info, korcam_detail::Init<Type>(__VA_ARGS__));          \
    return Info;                                                                            \
  }())

// The same for a property without default (always written).
#define PUBLISH_NODEFAULT(Class, Type, Name) \
  KORCAM_PROPERTY_ROW(Name, korcam_detail::MakeProperty(#Name, #Type, &Class::Name, &Class::Set##Name))

// A property whose field this class declares, written only when StoredExpression (on the
// instance `Self`) is true: Color is not written while ParentColor is on.
#define STORED_PROPERTY(Type, Name, StoredExpression, ...)                                          \
 protected:                                                                                         \
  Type F##Name = korcam_detail::Init<Type>(__VA_ARGS__);                                            \
                                                                                                    \
 public:                                                                                            \
  korcam_detail::TGetterType<Type> Name() const {                                                   \
    return F##Name;                                                                                 \
  }                                                                                                 \
  void Set##Name(korcam_detail::TSetterType<Type> Value);                                           \
  KORCAM_PROPERTY_ROW(Name, [] {                                                                    \
    auto Info = korcam_detail::MakeProperty(#Name, #Type, &ThisClass::Name, &ThisClass::Set##Name); \
    korcam_detail::SetDefault<Type>(Info, korcam_detail::Init<Type>(__VA_ARGS__));                  \
    Info.Stored = [](const TObject& Object) {                                                       \
      const ThisClass& Self = static_cast<const ThisClass&>(Object);                                \
      return (StoredExpression) && PropertyDiffersFromDefault(Self, #Name);                         \
    };                                                                                              \
    return Info;                                                                                    \
  }())                                                                                              \
 public:

// Used by STORED_PROPERTY: the property differs from its default on this instance.
bool PropertyDiffersFromDefault(const TObject& Instance, const char* PropertyName);
