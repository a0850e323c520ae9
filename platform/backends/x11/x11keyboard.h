#pragma once
// Internal to the X11 back end: keys and typed text. A key press becomes the virtual key of the
// platform the program was written for (from the keysym of the key's first level, so Ctrl+C
// is VK 'C' whatever the Shift state; keys of non-Latin layouts fall back to the key's position)
// together with the text the input method typed (Xutf8LookupString), injected as one key event,
// so TranslateMessage makes WM_CHAR characters (char32_t) of exactly that text. Text without a key
// of its own (a composed character, an input method's commit) arrives as VK_PACKET characters.

#include <string>

#include "platform/backends/x11/x11connection.h"

namespace X11Impl {

// The virtual key of a keysym; 0 when it has none.
int VirtualKeyOfKeysym(KeySym Symbol);

class TX11Keyboard {
 public:
  explicit TX11Keyboard(TX11Connection& Connection);
  ~TX11Keyboard();
  TX11Keyboard(const TX11Keyboard&) = delete;
  TX11Keyboard& operator=(const TX11Keyboard&) = delete;

  // Gives the event to the input method first; true when the method took it (a compose
  // sequence in progress): the event is then not ours to handle.
  bool Filter(XEvent& Event);
  // The X window that has the keyboard focus now (0: none of ours).
  void SetFocusWindow(::Window Focus);
  // Injects a KeyPress or KeyRelease into the window model.
  void HandleKey(XKeyEvent& Event);

 private:
  // The virtual key of an event; Resolved is the keysym of the level that the modifiers chose.
  int VirtualKeyOf(XKeyEvent& Event, KeySym Resolved);
  std::string LookupText(XKeyEvent& Event, KeySym& Resolved);

  TX11Connection& FConnection;
  XIM FMethod = nullptr;
  XIC FContext = nullptr;
};

}  // namespace X11Impl
