// Keys and typed text: keysyms to virtual keys, the input method, injection into the model.

#include <clocale>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "platform/rtl/unicode.h"
#include "platform/user/input.h"

#include "platform/backends/x11/x11keyboard.h"

#include <X11/XKBlib.h>
#include <X11/keysym.h>

namespace X11Impl {

namespace {

struct TKeysymEntry {
  KeySym Symbol;
  int VirtualKey;
};

// Keys that are not letters or digits, by their first-level keysym (the US layout's punctuation
// gives the OEM keys their usual meaning).
constexpr TKeysymEntry KeysymTable[] = {
    {XK_BackSpace, VK_BACK},       {XK_Tab, VK_TAB},
    {XK_ISO_Left_Tab, VK_TAB},     {XK_Clear, VK_CLEAR},
    {XK_Return, VK_RETURN},        {XK_Pause, VK_PAUSE},
    {XK_Break, VK_CANCEL},         {XK_Scroll_Lock, VK_SCROLL},
    {XK_Sys_Req, VK_SNAPSHOT},     {XK_Print, VK_SNAPSHOT},
    {XK_Escape, VK_ESCAPE},        {XK_Delete, VK_DELETE},
    {XK_Home, VK_HOME},            {XK_Left, VK_LEFT},
    {XK_Up, VK_UP},                {XK_Right, VK_RIGHT},
    {XK_Down, VK_DOWN},            {XK_Page_Up, VK_PRIOR},
    {XK_Page_Down, VK_NEXT},       {XK_End, VK_END},
    {XK_Begin, VK_CLEAR},          {XK_Select, VK_SELECT},
    {XK_Execute, VK_EXECUTE},      {XK_Insert, VK_INSERT},
    {XK_Menu, VK_APPS},            {XK_Help, VK_HELP},
    {XK_Cancel, VK_CANCEL},        {XK_Num_Lock, VK_NUMLOCK},
    {XK_Caps_Lock, VK_CAPITAL},    {XK_Shift_L, VK_LSHIFT},
    {XK_Shift_R, VK_RSHIFT},       {XK_Control_L, VK_LCONTROL},
    {XK_Control_R, VK_RCONTROL},   {XK_Alt_L, VK_LMENU},
    {XK_Alt_R, VK_RMENU},          {XK_Meta_L, VK_LMENU},
    {XK_Meta_R, VK_RMENU},         {XK_Super_L, VK_LWIN},
    {XK_Super_R, VK_RWIN},         {XK_space, VK_SPACE},
    {XK_KP_Space, VK_SPACE},       {XK_KP_Tab, VK_TAB},
    {XK_KP_Enter, VK_RETURN},      {XK_KP_Home, VK_HOME},
    {XK_KP_Left, VK_LEFT},         {XK_KP_Up, VK_UP},
    {XK_KP_Right, VK_RIGHT},       {XK_KP_Down, VK_DOWN},
    {XK_KP_Page_Up, VK_PRIOR},     {XK_KP_Page_Down, VK_NEXT},
    {XK_KP_End, VK_END},           {XK_KP_Begin, VK_CLEAR},
    {XK_KP_Insert, VK_INSERT},     {XK_KP_Delete, VK_DELETE},
    {XK_KP_Multiply, VK_MULTIPLY}, {XK_KP_Add, VK_ADD},
    {XK_KP_Separator, VK_SEPARATOR}, {XK_KP_Subtract, VK_SUBTRACT},
    {XK_KP_Decimal, VK_DECIMAL},   {XK_KP_Divide, VK_DIVIDE},
    {XK_semicolon, VK_OEM_1},      {XK_colon, VK_OEM_1},
    {XK_equal, VK_OEM_PLUS},       {XK_plus, VK_OEM_PLUS},
    {XK_comma, VK_OEM_COMMA},      {XK_minus, VK_OEM_MINUS},
    {XK_period, VK_OEM_PERIOD},    {XK_slash, VK_OEM_2},
    {XK_grave, VK_OEM_3},          {XK_asciitilde, VK_OEM_3},
    {XK_bracketleft, VK_OEM_4},    {XK_backslash, VK_OEM_5},
    {XK_bracketright, VK_OEM_6},   {XK_apostrophe, VK_OEM_7},
    {XK_less, VK_OEM_102},         {XK_greater, VK_OEM_102},
};

bool IsKeypadKeysym(KeySym Symbol) { return Symbol >= XK_KP_Space && Symbol <= XK_KP_Equal; }

bool IsPositionalKey(int VirtualKey) {
  return (VirtualKey >= '0' && VirtualKey <= '9') || (VirtualKey >= 'A' && VirtualKey <= 'Z') ||
         (VirtualKey >= VK_OEM_1 && VirtualKey <= VK_OEM_3) ||
         (VirtualKey >= VK_OEM_4 && VirtualKey <= VK_OEM_7) || VirtualKey == VK_OEM_102;
}

// Text the core lookup typed (Latin-1 bytes), or the keysym's own character.
std::string LatinToUtf8(const char* Bytes, int Count, KeySym Symbol) {
  std::string Text;
  // Keysyms 0x01000000 + U name a Unicode character directly.
  if (Symbol >= 0x01000100 && Symbol <= 0x0110FFFF) {
    Utf8Append(Text, char32_t(Symbol - 0x01000000));
    return Text;
  }
  for (int I = 0; I < Count; ++I) Utf8Append(Text, char32_t(static_cast<unsigned char>(Bytes[I])));
  return Text;
}

}  // namespace

int VirtualKeyOfKeysym(KeySym Symbol) {
  if (Symbol >= XK_a && Symbol <= XK_z) return int('A' + (Symbol - XK_a));
  if (Symbol >= XK_A && Symbol <= XK_Z) return int('A' + (Symbol - XK_A));
  if (Symbol >= XK_0 && Symbol <= XK_9) return int('0' + (Symbol - XK_0));
  if (Symbol >= XK_KP_0 && Symbol <= XK_KP_9) return int(VK_NUMPAD0 + (Symbol - XK_KP_0));
  if (Symbol >= XK_F1 && Symbol <= XK_F24) return int(VK_F1 + (Symbol - XK_F1));
  for (const TKeysymEntry& Entry : KeysymTable)
    if (Entry.Symbol == Symbol) return Entry.VirtualKey;
  return 0;
}

TX11Keyboard::TX11Keyboard(TX11Connection& Connection) : FConnection(Connection) {
  Display* Target = FConnection.Get();
  // Repeats arrive as presses alone (no release in between), so the model sees a held key.
  Bool Supported = False;
  XkbSetDetectableAutoRepeat(Target, True, &Supported);

  // The input method converts with the character set of the locale it is opened in. The program
  // keeps the C locale for itself, so the method is opened in a UTF-8 one and the program's locale
  // put back at once; the method keeps what it was opened with.
  const char* Current = std::setlocale(LC_CTYPE, nullptr);
  std::string Saved = Current ? Current : "C";
  bool Switched = false;
  if (!std::strstr(Saved.c_str(), "UTF-8") && !std::strstr(Saved.c_str(), "utf8")) {
    for (const char* Name : {"C.UTF-8", "C.utf8", "en_US.UTF-8"}) {
      if (std::setlocale(LC_CTYPE, Name)) {
        Switched = true;
        break;
      }
    }
  }
  if (XSupportsLocale()) {
    XSetLocaleModifiers("");
    FMethod = XOpenIM(Target, nullptr, nullptr, nullptr);
    if (!FMethod) {
      // An input-method server named in XMODIFIERS that does not answer: use the built-in one.
      XSetLocaleModifiers("@im=none");
      FMethod = XOpenIM(Target, nullptr, nullptr, nullptr);
    }
  }
  if (FMethod) {
    FContext = XCreateIC(FMethod, XNInputStyle, XIMPreeditNothing | XIMStatusNothing, XNClientWindow,
                         FConnection.HelperWindow(), nullptr);
  }
  if (Switched) std::setlocale(LC_CTYPE, Saved.c_str());
}

TX11Keyboard::~TX11Keyboard() {
  // Also on a broken connection: Xlib frees its records either way.
  if (FContext) XDestroyIC(FContext);
  if (FMethod) XCloseIM(FMethod);
}

bool TX11Keyboard::Filter(XEvent& Event) { return XFilterEvent(&Event, 0) == True; }

void TX11Keyboard::SetFocusWindow(::Window Focus) {
  if (!FContext) return;
  if (Focus) {
    XSetICValues(FContext, XNFocusWindow, Focus, nullptr);
    XSetICFocus(FContext);
  } else {
    XUnsetICFocus(FContext);
  }
}

std::string TX11Keyboard::LookupText(XKeyEvent& Event, KeySym& Resolved) {
  Resolved = NoSymbol;
  if (FContext) {
    char Buffer[64];
    int Result = 0;
    int Count = Xutf8LookupString(FContext, &Event, Buffer, int(sizeof Buffer), &Resolved, &Result);
    if (Result == XBufferOverflow) {
      std::vector<char> Larger(size_t(Count) + 1);
      Count = Xutf8LookupString(FContext, &Event, Larger.data(), Count, &Resolved, &Result);
      if (Result == XLookupChars || Result == XLookupBoth) {
        if (Result == XLookupChars) Resolved = NoSymbol;
        return std::string(Larger.data(), size_t(Count));
      }
      return std::string();
    }
    if (Result != XLookupKeySym && Result != XLookupBoth) Resolved = NoSymbol;
    if (Result == XLookupChars || Result == XLookupBoth) return std::string(Buffer, size_t(Count));
    return std::string();
  }
  char Buffer[32];
  int Count = XLookupString(&Event, Buffer, int(sizeof Buffer), &Resolved, nullptr);
  return LatinToUtf8(Buffer, Count, Resolved);
}

int TX11Keyboard::VirtualKeyOf(XKeyEvent& Event, KeySym Resolved) {
  KeySym Base = XLookupKeysym(&Event, 0);
  if (IsKeypadKeysym(Base)) {
    // Num Lock decides between digits and movement: the level the modifiers chose counts.
    KeySym Level = Resolved;
    if (Level == NoSymbol) XLookupString(&Event, nullptr, 0, &Level, nullptr);
    if (int Key = VirtualKeyOfKeysym(Level)) return Key;
  }
  if (int Key = VirtualKeyOfKeysym(Base)) return Key;
  // A key of a non-Latin layout (a Cyrillic letter) is known by its place on the keyboard, as
  // the program's shortcuts expect: evdev key codes are PC scan codes plus 8.
  if (Event.keycode >= 9 && Event.keycode < 8 + 0x3A) {
    int Key = int(MapVirtualKeyA(Event.keycode - 8, MAPVK_VSC_TO_VK));
    if (IsPositionalKey(Key)) return Key;
  }
  return 0;
}

void TX11Keyboard::HandleKey(XKeyEvent& Event) {
  if (Event.type == KeyRelease) {
    KeySym Resolved = NoSymbol;
    XLookupString(&Event, nullptr, 0, &Resolved, nullptr);
    if (int Key = VirtualKeyOf(Event, Resolved)) InjectKey(Key, false, std::u32string());
    return;
  }
  KeySym Resolved = NoSymbol;
  std::string Text = LookupText(Event, Resolved);
  std::u32string Characters = Utf8ToUtf32(Text);
  // An input method's commit may come with key code 0: text without a key.
  int Key = Event.keycode ? VirtualKeyOf(Event, Resolved) : 0;
  // The Delete key types nothing on the platform the program knows (X gives it DEL).
  if (Key == VK_DELETE) Characters.clear();
  if (Key) {
    InjectKey(Key, true, Characters);
  } else if (!Characters.empty()) {
    InjectText(Characters);
  }
}

}  // namespace X11Impl
