// Thread hooks. A chain per kind, newest first; each hook decides whether to pass the event on
// with CallNextHookEx. Removing a hook while the chain runs (a hook may unhook itself) only marks
// it: the chain keeps its order until no hook call is in progress.

#include <algorithm>

#include "platform/user/internal.h"
#include "platform/user/message.h"
#include "platform/user/queueinput.h"

using namespace UserImpl;

namespace {

struct THookTable {
  std::vector<std::unique_ptr<THook>> Hooks;  // oldest first
  uintptr_t NextHandle = 0x20010;
  int CallDepth = 0;
};

THookTable& Hooks() {
  static THookTable Instance;
  return Instance;
}

bool AppliesLocked(const THook& Hook, int Kind, DWORD Thread) {
  return !Hook.Removed && Hook.Kind == Kind && (Hook.ThreadId == 0 || Hook.ThreadId == Thread);
}

void PurgeLocked() {
  THookTable& Table = Hooks();
  if (Table.CallDepth > 0) return;
  auto& List = Table.Hooks;
  List.erase(std::remove_if(List.begin(), List.end(), [](auto& H) { return H->Removed; }),
             List.end());
}

// The hook calls in progress on this thread, innermost last: the position in the list and the
// kind, so CallNextHookEx knows where the chain goes on (the handle it gets may be null).
struct TActiveCall {
  int Index;
  int Kind;
};
thread_local std::vector<TActiveCall> ActiveCalls;

// Calls the hook at Index (or the next applicable one below it); 0 past the end of the chain.
LRESULT CallFrom(int Index, int Kind, int Code, WPARAM WParam, LPARAM LParam) {
  HOOKPROC Proc = nullptr;
  int Found = -1;
  DWORD Thread = CurrentThreadId();
  {
    TGuard Lock(Mutex());
    auto& List = Hooks().Hooks;
    for (int I = std::min(Index, int(List.size()) - 1); I >= 0; --I) {
      if (AppliesLocked(*List[size_t(I)], Kind, Thread)) {
        Proc = List[size_t(I)]->Proc;
        Found = I;
        break;
      }
    }
    if (!Proc) return 0;
    ++Hooks().CallDepth;
  }
  ActiveCalls.push_back(TActiveCall{Found, Kind});
  struct TDepth {
    ~TDepth() {
      ActiveCalls.pop_back();
      TGuard Lock(Mutex());
      --Hooks().CallDepth;
      PurgeLocked();
    }
  } Depth;
  return Proc(Code, WParam, LParam);
}

}  // namespace

namespace UserImpl {

void ForgetThreadHooksLocked(DWORD ThreadId) {
  for (auto& Hook : Hooks().Hooks)
    if (Hook->ThreadId == ThreadId) Hook->Removed = true;
  PurgeLocked();
}

LRESULT CallHooks(int Kind, int Code, WPARAM WParam, LPARAM LParam) {
  int Top;
  {
    TGuard Lock(Mutex());
    Top = int(Hooks().Hooks.size()) - 1;
  }
  if (Top < 0) return 0;
  return CallFrom(Top, Kind, Code, WParam, LParam);
}

}  // namespace UserImpl

HHOOK SetWindowsHookExA(int Kind, HOOKPROC Proc, HINSTANCE Module, DWORD ThreadId) {
  if (!Proc) return nullptr;
  // Only the kinds the queue calls; anything else would be installed and never run.
  if (Kind != WH_KEYBOARD && Kind != WH_MOUSE) return nullptr;
  TGuard Lock(Mutex());
  auto Hook = std::make_unique<THook>();
  Hook->Handle = reinterpret_cast<HHOOK>(Hooks().NextHandle);
  Hooks().NextHandle += 4;
  Hook->Kind = Kind;
  Hook->Proc = Proc;
  Hook->ThreadId = ThreadId;
  HHOOK Handle = Hook->Handle;
  Hooks().Hooks.push_back(std::move(Hook));
  return Handle;
}

BOOL UnhookWindowsHookEx(HHOOK Handle) {
  TGuard Lock(Mutex());
  for (auto& Hook : Hooks().Hooks) {
    if (Hook->Handle == Handle && !Hook->Removed) {
      Hook->Removed = true;
      PurgeLocked();
      return TRUE;
    }
  }
  return FALSE;
}

LRESULT CallNextHookEx(HHOOK Handle, int Code, WPARAM WParam, LPARAM LParam) {
  int Index = -1, Kind = 0;
  if (!ActiveCalls.empty()) {
    Index = ActiveCalls.back().Index;
    Kind = ActiveCalls.back().Kind;
  } else {
    TGuard Lock(Mutex());
    auto& List = Hooks().Hooks;
    for (size_t I = 0; I < List.size(); ++I) {
      if (List[I]->Handle == Handle) {
        Index = int(I);
        Kind = List[I]->Kind;
        break;
      }
    }
  }
  if (Index <= 0) return 0;
  return CallFrom(Index - 1, Kind, Code, WParam, LParam);
}
