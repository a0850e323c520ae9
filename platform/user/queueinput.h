#pragma once
// Internal: how the queue hands input to the input and scroll-bar code (library files only).

#include "platform/user/internal.h"

namespace UserImpl {

// Retrieval filters: a message range (0, 0 for all; a reversed range excludes its inside) and a
// window with its descendants ((HWND)-1: thread messages only).
bool MatchesRange(UINT Message, UINT Min, UINT Max);
bool MatchesWindowLocked(HWND Filter, HWND Target);

// Runs the oldest message another thread sent to this one. False when there was none.
bool ProcessIncomingSend(TMessageQueue& Queue);

// Whether the input event at the front of the queue passes a retrieval filter (its window is
// resolved the cheap way: focus, capture or the window under the point).
bool InputMatchesFilterLocked(TMessageQueue& Queue, const TInputEvent& Event, HWND Filter,
                              UINT Min, UINT Max);
// Turns an input event into its message: hit test, double clicks, hooks, WM_MOUSEACTIVATE and
// WM_SETCURSOR, the keyboard state. False when the event was discarded (a hook, an "eat" answer,
// a disabled window). Without Remove only the message is computed, with no side effects.
bool TakeInputMessage(TMessageQueue& Queue, const TInputEvent& Event, MSG& Message, bool Remove);

// Scroll-bar tracking (scrollbar.cpp): mouse input while a bar is pressed, and its auto-repeat.
void TrackScrollInput(TMessageQueue& Queue, const TInputEvent& Event);
void ScrollTrackRepeat(TMessageQueue& Queue);

// Keyboard layout facts (keyboard.cpp).
BYTE KeyScanCode(int VirtualKey);
bool KeyIsExtended(int VirtualKey);
// Updates a 256-byte key state for a press or release (toggle bit on each press; the generic and
// left-hand modifier entries follow).
void ApplyKeyToState(BYTE* State, int VirtualKey, bool Down);
int GenericVirtualKey(int VirtualKey);

// Calls the hook chain of Kind for the current thread; 0 when there is no hook.
LRESULT CallHooks(int Kind, int Code, WPARAM WParam, LPARAM LParam);

}  // namespace UserImpl
