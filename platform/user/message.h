#pragma once
// Message queues: one per thread, created on the thread's first call.
//
// What a thread's GetMessage or PeekMessage returns, in priority order:
//   1. sent messages from other threads are processed first (their window procedure runs inside
//      the retrieval call, which then goes on looking);
//   2. posted messages, oldest first;
//   3. WM_QUIT, once PostQuitMessage was called and no posted message is left;
//   4. input (keys, mouse), turned into messages at retrieval: the hooks run, the keyboard state
//      changes, WM_MOUSEACTIVATE and WM_SETCURSOR are sent;
//   5. WM_PAINT for a window with something to paint (parents before children);
//   6. WM_TIMER for a timer whose time has come (at most one pending per timer).
// GetMessage blocks on the clock service until one of these exists, so a manual clock drives
// timers in tests.

#include <string>

#include "platform/user/winuser.h"

DWORD GetCurrentThreadId();

LRESULT DefWindowProcA(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam);
inline LRESULT DefWindowProc(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam) {
  return DefWindowProcA(Window, Message, WParam, LParam);
}
LRESULT CallWindowProcA(WNDPROC Proc, HWND Window, UINT Message, WPARAM WParam, LPARAM LParam);
inline LRESULT CallWindowProc(WNDPROC Proc, HWND Window, UINT Message, WPARAM WParam,
                              LPARAM LParam) {
  return CallWindowProcA(Proc, Window, Message, WParam, LParam);
}

// Calls the window procedure and returns its result. For a window of another thread the message
// waits until that thread retrieves messages; meanwhile this thread keeps processing messages
// sent to it, so two threads sending to each other cannot deadlock. Returns 0 for an invalid
// window, and when the send is released (BlockThreadSends, ReleaseSentMessages).
LRESULT SendMessageA(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam);
inline LRESULT SendMessage(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam) {
  return SendMessageA(Window, Message, WParam, LParam);
}
// As SendMessage; FALSE when the window is invalid, the send was released or the timeout (clock
// milliseconds, only for another thread's window) passed. Result gets the procedure's result.
LRESULT SendMessageTimeoutA(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam, UINT Flags,
                            UINT Timeout, DWORD_PTR* Result);
inline LRESULT SendMessageTimeout(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam,
                                  UINT Flags, UINT Timeout, DWORD_PTR* Result) {
  return SendMessageTimeoutA(Window, Message, WParam, LParam, Flags, Timeout, Result);
}

// Releasing cross-thread sends, so that a thread stopping another one cannot deadlock with it.
//
// The capture thread hands each frame to the user-interface thread with SendMessage and waits.
// When the user-interface thread stops the capture it waits for the capture thread to end, while
// the capture thread may be waiting for it: a deadlock. The stopping thread breaks it with
// BlockThreadSends(CaptureThread, TRUE) before it waits: every send of that thread now waiting is
// released (its SendMessage returns 0 at once; a send not yet taken up never reaches the window
// procedure; one being processed goes on running, but its sender no longer waits for it and its
// result is dropped), and every later cross-thread send of that thread returns 0 at once without
// being delivered, until BlockThreadSends(CaptureThread, FALSE). Because the block stays in
// force, there is no window between "the capture thread looked at its stop flag" and "it sent"
// in which a send could slip through and deadlock. Sends within one thread are never affected.
// Returns the number of sends released; any thread may call it. An unknown thread id is
// remembered, so a block may come before the thread's first send.
UINT BlockThreadSends(DWORD SenderThreadId, BOOL Block);
// One-shot form: releases the cross-thread sends now waiting for Window (any window when null)
// from SenderThreadId (any thread when 0). Later sends are not affected.
UINT ReleaseSentMessages(HWND Window, DWORD SenderThreadId);

// TRUE while this thread processes a message sent by another thread.
BOOL InSendMessage();
DWORD InSendMessageEx(LPVOID Reserved);
// Lets the sender of the cross-thread message being processed go on with Result.
BOOL ReplyMessage(LRESULT Result);
// TRUE while the innermost window procedure call on this thread came from DispatchMessage (a
// posted message, input, WM_PAINT or WM_TIMER) and not from a send: message logs tell posted
// from sent messages with it.
BOOL InDispatchedMessage();

// FALSE for an invalid window. A null window posts to the calling thread.
BOOL PostMessageA(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam);
inline BOOL PostMessage(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam) {
  return PostMessageA(Window, Message, WParam, LParam);
}
BOOL PostThreadMessageA(DWORD ThreadId, UINT Message, WPARAM WParam, LPARAM LParam);
inline BOOL PostThreadMessage(DWORD ThreadId, UINT Message, WPARAM WParam, LPARAM LParam) {
  return PostThreadMessageA(ThreadId, Message, WParam, LParam);
}
void PostQuitMessage(int ExitCode);

// Filter: a window (its children included; (HWND)-1 for thread messages only) and a message
// range (0, 0 for all). GetMessage returns 0 for WM_QUIT, -1 for an invalid filter window.
BOOL GetMessageA(LPMSG Message, HWND Window, UINT FilterMin, UINT FilterMax);
inline BOOL GetMessage(LPMSG Message, HWND Window, UINT FilterMin, UINT FilterMax) {
  return GetMessageA(Message, Window, FilterMin, FilterMax);
}
BOOL PeekMessageA(LPMSG Message, HWND Window, UINT FilterMin, UINT FilterMax, UINT RemoveFlags);
inline BOOL PeekMessage(LPMSG Message, HWND Window, UINT FilterMin, UINT FilterMax,
                        UINT RemoveFlags) {
  return PeekMessageA(Message, Window, FilterMin, FilterMax, RemoveFlags);
}
// Blocks until the queue has something to retrieve.
BOOL WaitMessage();
// QS_ bits of what is waiting (high word: everything; low word: the same, not yet looked at).
DWORD GetQueueStatus(UINT Flags);
BOOL GetInputState();
// WM_KEYDOWN / WM_SYSKEYDOWN post WM_CHAR / WM_SYSCHAR carrying a char32_t in wParam: the text
// the key arrived with, or the keyboard layout's character for the key and the shift state.
BOOL TranslateMessage(const MSG* Message);
// Calls the window procedure of Message->hwnd (or the timer procedure of a WM_TIMER whose lParam
// holds one). A WM_PAINT handler that did not paint has its window validated afterwards, so a
// careless handler cannot keep the queue busy forever.
LRESULT DispatchMessageA(const MSG* Message);
inline LRESULT DispatchMessage(const MSG* Message) { return DispatchMessageA(Message); }
// Time (clock ticks) and screen cursor position of the last message retrieved.
LONG GetMessageTime();
DWORD GetMessagePos();

// Same name, same number: from 0xC000 up, names compared ignoring ASCII case.
UINT RegisterWindowMessageA(LPCSTR Name);
inline UINT RegisterWindowMessage(LPCSTR Name) { return RegisterWindowMessageA(Name); }

// ---- timers ----------------------------------------------------------------------------------

// With a window (of the calling thread): (Window, Id) names the timer; setting it again restarts
// it with the new interval. Without a window the id is chosen here (Id is used only to restart
// an existing thread timer) and the WM_TIMER messages have a null window. Intervals below
// USER_TIMER_MINIMUM are raised to it. Returns the id, 0 on failure.
UINT_PTR SetTimer(HWND Window, UINT_PTR Id, UINT Elapse, TIMERPROC Proc);
BOOL KillTimer(HWND Window, UINT_PTR Id);

// ---- hooks -----------------------------------------------------------------------------------

// WH_KEYBOARD (wParam: the virtual key; lParam: the key message's lParam) and WH_MOUSE (wParam:
// the message; lParam: MOUSEHOOKSTRUCT*), called when an input message is retrieved, newest hook
// first; a non-zero result discards the message. ThreadId 0 hooks every thread. A hook may
// unhook itself or another while it runs. Other kinds are refused (null). A thread's hooks go
// when the thread ends.
HHOOK SetWindowsHookExA(int Kind, HOOKPROC Proc, HINSTANCE Module, DWORD ThreadId);
inline HHOOK SetWindowsHookEx(int Kind, HOOKPROC Proc, HINSTANCE Module, DWORD ThreadId) {
  return SetWindowsHookExA(Kind, Proc, Module, ThreadId);
}
BOOL UnhookWindowsHookEx(HHOOK Hook);
// Calls the next hook of the chain now running (Hook may be null, as the platform ignores it);
// 0 at the end of the chain.
LRESULT CallNextHookEx(HHOOK Hook, int Code, WPARAM WParam, LPARAM LParam);
