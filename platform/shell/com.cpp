#include "platform/shell/com.h"

namespace {

struct TThreadState {
  int Count = 0;
  DWORD Model = 0;
};

thread_local TThreadState ThisThread;

}  // namespace

HRESULT CoInitializeEx(LPVOID, DWORD CoInit) {
  const DWORD Model = CoInit & COINIT_APARTMENTTHREADED;
  if (ThisThread.Count > 0) {
    if (ThisThread.Model != Model) return RPC_E_CHANGED_MODE;
    ++ThisThread.Count;
    return S_FALSE;
  }
  ThisThread.Count = 1;
  ThisThread.Model = Model;
  return S_OK;
}

void CoUninitialize() {
  if (ThisThread.Count > 0) --ThisThread.Count;
}

int CoInitializeCount() {
  return ThisThread.Count;
}
