// The keyboard: the US layout the headless back end types with, the keyboard state, key input
// and its translation into characters.

#include <cstring>

#include "platform/rtl/clock.h"
#include "platform/user/input.h"
#include "platform/user/internal.h"
#include "platform/user/message.h"
#include "platform/user/queueinput.h"

using namespace UserImpl;

namespace {

struct TKeyEntry {
  int VirtualKey;
  BYTE ScanCode;
  bool Extended;
  char Normal;
  char Shifted;
};

// Scan codes of the PC keyboard (set 1) and the characters of the US layout.
constexpr TKeyEntry Layout[] = {
    {VK_ESCAPE, 0x01, false, 27, 27},     {'1', 0x02, false, '1', '!'},
    {'2', 0x03, false, '2', '@'},         {'3', 0x04, false, '3', '#'},
    {'4', 0x05, false, '4', '$'},         {'5', 0x06, false, '5', '%'},
    {'6', 0x07, false, '6', '^'},         {'7', 0x08, false, '7', '&'},
    {'8', 0x09, false, '8', '*'},         {'9', 0x0A, false, '9', '('},
    {'0', 0x0B, false, '0', ')'},         {VK_OEM_MINUS, 0x0C, false, '-', '_'},
    {VK_OEM_PLUS, 0x0D, false, '=', '+'}, {VK_BACK, 0x0E, false, 8, 8},
    {VK_TAB, 0x0F, false, 9, 9},          {'Q', 0x10, false, 'q', 'Q'},
    {'W', 0x11, false, 'w', 'W'},         {'E', 0x12, false, 'e', 'E'},
    {'R', 0x13, false, 'r', 'R'},         {'T', 0x14, false, 't', 'T'},
    {'Y', 0x15, false, 'y', 'Y'},         {'U', 0x16, false, 'u', 'U'},
    {'I', 0x17, false, 'i', 'I'},         {'O', 0x18, false, 'o', 'O'},
    {'P', 0x19, false, 'p', 'P'},         {VK_OEM_4, 0x1A, false, '[', '{'},
    {VK_OEM_6, 0x1B, false, ']', '}'},    {VK_RETURN, 0x1C, false, 13, 13},
    {VK_CONTROL, 0x1D, false, 0, 0},      {VK_LCONTROL, 0x1D, false, 0, 0},
    {VK_RCONTROL, 0x1D, true, 0, 0},      {'A', 0x1E, false, 'a', 'A'},
    {'S', 0x1F, false, 's', 'S'},         {'D', 0x20, false, 'd', 'D'},
    {'F', 0x21, false, 'f', 'F'},         {'G', 0x22, false, 'g', 'G'},
    {'H', 0x23, false, 'h', 'H'},         {'J', 0x24, false, 'j', 'J'},
    {'K', 0x25, false, 'k', 'K'},         {'L', 0x26, false, 'l', 'L'},
    {VK_OEM_1, 0x27, false, ';', ':'},    {VK_OEM_7, 0x28, false, '\'', '"'},
    {VK_OEM_3, 0x29, false, '`', '~'},    {VK_SHIFT, 0x2A, false, 0, 0},
    {VK_LSHIFT, 0x2A, false, 0, 0},       {VK_OEM_5, 0x2B, false, '\\', '|'},
    {'Z', 0x2C, false, 'z', 'Z'},         {'X', 0x2D, false, 'x', 'X'},
    {'C', 0x2E, false, 'c', 'C'},         {'V', 0x2F, false, 'v', 'V'},
    {'B', 0x30, false, 'b', 'B'},         {'N', 0x31, false, 'n', 'N'},
    {'M', 0x32, false, 'm', 'M'},         {VK_OEM_COMMA, 0x33, false, ',', '<'},
    {VK_OEM_PERIOD, 0x34, false, '.', '>'}, {VK_OEM_2, 0x35, false, '/', '?'},
    {VK_RSHIFT, 0x36, false, 0, 0},       {VK_MULTIPLY, 0x37, false, '*', '*'},
    {VK_MENU, 0x38, false, 0, 0},         {VK_LMENU, 0x38, false, 0, 0},
    {VK_RMENU, 0x38, true, 0, 0},         {VK_SPACE, 0x39, false, ' ', ' '},
    {VK_CAPITAL, 0x3A, false, 0, 0},      {VK_F1, 0x3B, false, 0, 0},
    {VK_F2, 0x3C, false, 0, 0},           {VK_F3, 0x3D, false, 0, 0},
    {VK_F4, 0x3E, false, 0, 0},           {VK_F5, 0x3F, false, 0, 0},
    {VK_F6, 0x40, false, 0, 0},           {VK_F7, 0x41, false, 0, 0},
    {VK_F8, 0x42, false, 0, 0},           {VK_F9, 0x43, false, 0, 0},
    {VK_F10, 0x44, false, 0, 0},          {VK_NUMLOCK, 0x45, false, 0, 0},
    {VK_SCROLL, 0x46, false, 0, 0},       {VK_NUMPAD7, 0x47, false, '7', '7'},
    {VK_NUMPAD8, 0x48, false, '8', '8'},  {VK_NUMPAD9, 0x49, false, '9', '9'},
    {VK_SUBTRACT, 0x4A, false, '-', '-'}, {VK_NUMPAD4, 0x4B, false, '4', '4'},
    {VK_NUMPAD5, 0x4C, false, '5', '5'},  {VK_NUMPAD6, 0x4D, false, '6', '6'},
    {VK_ADD, 0x4E, false, '+', '+'},      {VK_NUMPAD1, 0x4F, false, '1', '1'},
    {VK_NUMPAD2, 0x50, false, '2', '2'},  {VK_NUMPAD3, 0x51, false, '3', '3'},
    {VK_NUMPAD0, 0x52, false, '0', '0'},  {VK_DECIMAL, 0x53, false, '.', '.'},
    {VK_OEM_102, 0x56, false, '\\', '|'}, {VK_F11, 0x57, false, 0, 0},
    {VK_F12, 0x58, false, 0, 0},          {VK_DIVIDE, 0x35, true, '/', '/'},
    {VK_HOME, 0x47, true, 0, 0},          {VK_UP, 0x48, true, 0, 0},
    {VK_PRIOR, 0x49, true, 0, 0},         {VK_LEFT, 0x4B, true, 0, 0},
    {VK_RIGHT, 0x4D, true, 0, 0},         {VK_END, 0x4F, true, 0, 0},
    {VK_DOWN, 0x50, true, 0, 0},          {VK_NEXT, 0x51, true, 0, 0},
    {VK_INSERT, 0x52, true, 0, 0},        {VK_DELETE, 0x53, true, 0, 0},
    {VK_LWIN, 0x5B, true, 0, 0},          {VK_RWIN, 0x5C, true, 0, 0},
    {VK_APPS, 0x5D, true, 0, 0},
};

const TKeyEntry* FindKey(int VirtualKey) {
  for (const TKeyEntry& Entry : Layout)
    if (Entry.VirtualKey == VirtualKey) return &Entry;
  return nullptr;
}

// The side-neutral key the messages carry for a left or right modifier.
int GenericKey(int VirtualKey) {
  switch (VirtualKey) {
    case VK_LSHIFT:
    case VK_RSHIFT: return VK_SHIFT;
    case VK_LCONTROL:
    case VK_RCONTROL: return VK_CONTROL;
    case VK_LMENU:
    case VK_RMENU: return VK_MENU;
    default: return VirtualKey;
  }
}

// The left-hand variant that a side-neutral modifier press also sets.
int SidedKey(int VirtualKey) {
  switch (VirtualKey) {
    case VK_SHIFT: return VK_LSHIFT;
    case VK_CONTROL: return VK_LCONTROL;
    case VK_MENU: return VK_LMENU;
    default: return 0;
  }
}

void ApplyKey(BYTE* State, int VirtualKey, bool Down) {
  auto One = [&](int Key) {
    if (Key <= 0 || Key > 255) return;
    if (Down) {
      if (!(State[Key] & 0x80)) State[Key] ^= 0x01;
      State[Key] |= 0x80;
    } else {
      State[Key] &= BYTE(~0x80);
    }
  };
  One(VirtualKey);
  int Generic = GenericKey(VirtualKey);
  if (Generic != VirtualKey) One(Generic);
  One(SidedKey(VirtualKey));
}

// The characters a key types with the given keyboard state, as the US layout gives them.
std::u32string LayoutText(int VirtualKey, const BYTE* State) {
  bool Shift = State[VK_SHIFT] & 0x80;
  bool Control = State[VK_CONTROL] & 0x80;
  bool Alt = State[VK_MENU] & 0x80;
  bool Caps = State[VK_CAPITAL] & 0x01;
  if (Control && Alt) return {};
  const TKeyEntry* Entry = FindKey(VirtualKey);
  if (!Entry || !Entry->Normal) return {};
  if (VirtualKey >= VK_NUMPAD0 && VirtualKey <= VK_DECIMAL && VirtualKey != VK_MULTIPLY &&
      VirtualKey != VK_ADD && VirtualKey != VK_SUBTRACT && !(State[VK_NUMLOCK] & 0x01))
    return {};
  if (Control) {
    if (VirtualKey >= 'A' && VirtualKey <= 'Z') return std::u32string(1, char32_t(VirtualKey - 'A' + 1));
    switch (VirtualKey) {
      case VK_OEM_4: return U"\x1B";
      case VK_OEM_5: return U"\x1C";
      case VK_OEM_6: return U"\x1D";
      case VK_BACK: return U"\x7F";
      case VK_RETURN: return U"\n";
      case VK_ESCAPE: return U"\x1B";
      case VK_SPACE: return U" ";
      default: return {};
    }
  }
  char Character = Shift ? Entry->Shifted : Entry->Normal;
  if (VirtualKey >= 'A' && VirtualKey <= 'Z' && Caps) Character = Shift ? Entry->Normal : Entry->Shifted;
  return std::u32string(1, char32_t(static_cast<unsigned char>(Character)));
}

}  // namespace

namespace UserImpl {

BYTE KeyScanCode(int VirtualKey) {
  const TKeyEntry* Entry = FindKey(VirtualKey);
  return Entry ? Entry->ScanCode : 0;
}

bool KeyIsExtended(int VirtualKey) {
  const TKeyEntry* Entry = FindKey(VirtualKey);
  return Entry && Entry->Extended;
}

void ApplyKeyToState(BYTE* State, int VirtualKey, bool Down) { ApplyKey(State, VirtualKey, Down); }

int GenericVirtualKey(int VirtualKey) { return GenericKey(VirtualKey); }

}  // namespace UserImpl

// ---- keyboard state --------------------------------------------------------------------------

SHORT GetKeyState(int VirtualKey) {
  if (VirtualKey <= 0 || VirtualKey > 255) return 0;
  TMessageQueue& Queue = CurrentQueue();
  TGuard Lock(Mutex());
  BYTE Value = Queue.KeyState[VirtualKey];
  return SHORT(((Value & 0x80) ? 0xFF80 : 0) | (Value & 0x01));
}

SHORT GetAsyncKeyState(int VirtualKey) {
  if (VirtualKey <= 0 || VirtualKey > 255) return 0;
  TGuard Lock(Mutex());
  BYTE Value = InputLocked().AsyncKeys[VirtualKey];
  return SHORT((Value & 0x80) ? 0x8000 : 0);
}

BOOL GetKeyboardState(BYTE* KeyState) {
  if (!KeyState) return FALSE;
  TMessageQueue& Queue = CurrentQueue();
  TGuard Lock(Mutex());
  std::memcpy(KeyState, Queue.KeyState, 256);
  return TRUE;
}

BOOL SetKeyboardState(const BYTE* KeyState) {
  if (!KeyState) return FALSE;
  TMessageQueue& Queue = CurrentQueue();
  TGuard Lock(Mutex());
  for (int I = 0; I < 256; ++I) Queue.KeyState[I] = KeyState[I] & 0x81;
  return TRUE;
}

UINT MapVirtualKeyA(UINT Code, UINT MapType) {
  switch (MapType) {
    case MAPVK_VK_TO_VSC: {
      const TKeyEntry* Entry = FindKey(int(Code));
      return Entry ? Entry->ScanCode : 0;
    }
    case MAPVK_VSC_TO_VK:
    case MAPVK_VSC_TO_VK_EX:
      for (const TKeyEntry& Entry : Layout)
        if (Entry.ScanCode == Code && !Entry.Extended) {
          if (MapType == MAPVK_VSC_TO_VK) return UINT(GenericKey(Entry.VirtualKey));
          return UINT(Entry.VirtualKey == VK_SHIFT ? VK_LSHIFT
                      : Entry.VirtualKey == VK_CONTROL ? VK_LCONTROL
                      : Entry.VirtualKey == VK_MENU ? VK_LMENU
                                                    : Entry.VirtualKey);
        }
      return 0;
    case MAPVK_VK_TO_CHAR: {
      if (Code >= 'A' && Code <= 'Z') return Code;
      const TKeyEntry* Entry = FindKey(int(Code));
      return Entry ? UINT(static_cast<unsigned char>(Entry->Normal)) : 0;
    }
    default: return 0;
  }
}

SHORT VkKeyScanA(char Character) {
  for (const TKeyEntry& Entry : Layout) {
    if (Entry.VirtualKey >= VK_NUMPAD0 && Entry.VirtualKey <= VK_DIVIDE) continue;
    if (Entry.Normal == Character && Character) return SHORT(Entry.VirtualKey);
    if (Entry.Shifted == Character && Character) return SHORT(0x100 | Entry.VirtualKey);
  }
  if (Character >= 1 && Character <= 26) return SHORT(0x200 | ('A' + Character - 1));
  return -1;
}

// ---- key input -------------------------------------------------------------------------------

namespace {

void QueueKey(int VirtualKey, bool Down, std::optional<std::u32string> Text, BYTE ScanCode) {
  if (VirtualKey <= 0 || VirtualKey > 255) return;
  TGuard Lock(Mutex());
  TInputState& Input = InputLocked();
  ApplyKey(Input.AsyncKeys, VirtualKey, Down);
  TWindow* Target = FindLocked(Input.Focus);
  if (!Target) Target = FindLocked(Input.Active);
  if (!Target) return;
  TMessageQueue* Queue = QueueOfThreadLocked(Target->ThreadId);
  if (!Queue) return;
  TInputEvent Event;
  Event.Kind = TInputEvent::Key;
  Event.VirtualKey = VirtualKey;
  Event.Up = !Down;
  Event.ScanCode = ScanCode ? ScanCode : KeyScanCode(VirtualKey);
  Event.Extended = KeyIsExtended(VirtualKey);
  Event.HasText = Text.has_value();
  if (Text) Event.Text = *Text;
  Event.Time = GetTickCount();
  Queue->Input.push_back(std::move(Event));
  WakeQueueLocked(*Queue);
}

}  // namespace

void InjectKey(int VirtualKey, bool Down, std::optional<std::u32string> Text) {
  QueueKey(VirtualKey, Down, std::move(Text), 0);
}

void InjectKeyStroke(int VirtualKey, std::optional<std::u32string> Text) {
  InjectKey(VirtualKey, true, std::move(Text));
  InjectKey(VirtualKey, false);
}

void InjectText(const std::u32string& Text) {
  for (char32_t Character : Text) {
    InjectKey(VK_PACKET, true, std::u32string(1, Character));
    InjectKey(VK_PACKET, false, std::u32string());
  }
}

void keybd_event(BYTE VirtualKey, BYTE ScanCode, DWORD Flags, ULONG_PTR) {
  QueueKey(VirtualKey, !(Flags & KEYEVENTF_KEYUP), std::nullopt, ScanCode);
}

BOOL TranslateMessage(const MSG* Message) {
  if (!Message) return FALSE;
  UINT Kind = Message->message;
  if (Kind != WM_KEYDOWN && Kind != WM_SYSKEYDOWN) {
    return Kind == WM_KEYUP || Kind == WM_SYSKEYUP ? TRUE : FALSE;
  }
  std::u32string Text;
  {
    TMessageQueue& Queue = CurrentQueue();
    TGuard Lock(Mutex());
    const TLastKey& Last = Queue.LastKey;
    if (Last.Valid && Last.Window == Message->hwnd && Last.Message == Kind &&
        Last.WParam == Message->wParam && Last.LParam == Message->lParam && Last.HasText) {
      Text = Last.Text;
    } else {
      Text = LayoutText(int(Message->wParam), Queue.KeyState);
    }
  }
  UINT CharMessage = Kind == WM_SYSKEYDOWN ? WM_SYSCHAR : WM_CHAR;
  for (char32_t Character : Text)
    PostMessage(Message->hwnd, CharMessage, WPARAM(Character), Message->lParam);
  return TRUE;
}
