#pragma once
// CoInitializeEx and CoUninitialize: the program declares, per thread, that it uses the
// component object model, and in which threading model. Nothing here needs the model itself;
// the calls keep the bookkeeping callers rely on: the first initialisation of a thread answers
// S_OK, a further one in the same model S_FALSE (both must be undone by CoUninitialize), and
// one in the other model RPC_E_CHANGED_MODE (which must not be undone).

#include "platform/rtl/wintypes.h"

constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT RPC_E_CHANGED_MODE = HRESULT(0x80010106u);
constexpr DWORD COINIT_MULTITHREADED = 0x0;
constexpr DWORD COINIT_APARTMENTTHREADED = 0x2;

HRESULT CoInitializeEx(LPVOID Reserved, DWORD CoInit);
void CoUninitialize();
// How many initialisations the calling thread has not undone yet.
int CoInitializeCount();
