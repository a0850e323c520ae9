#pragma once
// The basic types of the window and graphics interfaces, declared the way their callers write
// them (BOOL, DWORD, RECT, HDC...). Handles of different kinds are distinct pointer types so a
// pen cannot be passed where a window is expected; HANDLE and HGDIOBJ stay untyped, as the
// generic "any object" parameters of DeleteObject, SelectObject and CloseHandle take any of
// them.

#include <cstddef>
#include <cstdint>

using BOOL = int32_t;
using BYTE = uint8_t;
using WORD = uint16_t;
using DWORD = uint32_t;
using UINT = uint32_t;
using INT = int32_t;
using LONG = int32_t;
using ULONG = uint32_t;
using SHORT = int16_t;
using USHORT = uint16_t;
using CHAR = char;
using UCHAR = uint8_t;
using WCHAR = char16_t;
using LONG_PTR = intptr_t;
using ULONG_PTR = uintptr_t;
using INT_PTR = intptr_t;
using UINT_PTR = uintptr_t;
using DWORD_PTR = uintptr_t;
using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;
using ATOM = uint16_t;
using COLORREF = uint32_t;
using LPVOID = void*;
using LPCVOID = const void*;
using LPSTR = char*;
using LPCSTR = const char*;
using LPBYTE = BYTE*;
using LPDWORD = DWORD*;
using LPINT = INT*;

constexpr BOOL FALSE = 0;
constexpr BOOL TRUE = 1;

#define KORCAM_DECLARE_HANDLE(Name) \
  struct Name##__;                  \
  using Name = Name##__*

using HANDLE = void*;
using HGDIOBJ = void*;
KORCAM_DECLARE_HANDLE(HDC);
KORCAM_DECLARE_HANDLE(HBITMAP);
KORCAM_DECLARE_HANDLE(HPEN);
KORCAM_DECLARE_HANDLE(HBRUSH);
KORCAM_DECLARE_HANDLE(HFONT);
KORCAM_DECLARE_HANDLE(HRGN);
KORCAM_DECLARE_HANDLE(HPALETTE);
KORCAM_DECLARE_HANDLE(HWND);
KORCAM_DECLARE_HANDLE(HINSTANCE);
KORCAM_DECLARE_HANDLE(HICON);
KORCAM_DECLARE_HANDLE(HMENU);
KORCAM_DECLARE_HANDLE(HHOOK);
KORCAM_DECLARE_HANDLE(HKEY);
KORCAM_DECLARE_HANDLE(HMONITOR);
KORCAM_DECLARE_HANDLE(HIMAGELIST);
using HCURSOR = HICON;
using HMODULE = HINSTANCE;

struct POINT {
  LONG x;
  LONG y;
};
using LPPOINT = POINT*;

struct POINTS {
  SHORT x;
  SHORT y;
};

struct SIZE {
  LONG cx;
  LONG cy;
};
using LPSIZE = SIZE*;

struct RECT {
  LONG left;
  LONG top;
  LONG right;
  LONG bottom;
};
using LPRECT = RECT*;
using LPCRECT = const RECT*;

inline bool operator==(const POINT& A, const POINT& B) { return A.x == B.x && A.y == B.y; }
inline bool operator==(const SIZE& A, const SIZE& B) { return A.cx == B.cx && A.cy == B.cy; }
inline bool operator==(const RECT& A, const RECT& B) {
  return A.left == B.left && A.top == B.top && A.right == B.right && A.bottom == B.bottom;
}

constexpr COLORREF RGB(BYTE R, BYTE G, BYTE B) {
  return COLORREF(R) | (COLORREF(G) << 8) | (COLORREF(B) << 16);
}
constexpr BYTE GetRValue(COLORREF Color) { return BYTE(Color & 0xFF); }
constexpr BYTE GetGValue(COLORREF Color) { return BYTE((Color >> 8) & 0xFF); }
constexpr BYTE GetBValue(COLORREF Color) { return BYTE((Color >> 16) & 0xFF); }
// A palette-index colour (0x01 in the top byte) and a palette-relative one (0x02).
constexpr COLORREF PALETTEINDEX(WORD Index) { return 0x01000000u | Index; }
constexpr COLORREF PALETTERGB(BYTE R, BYTE G, BYTE B) { return 0x02000000u | RGB(R, G, B); }
constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;

constexpr WORD LOWORD(DWORD_PTR Value) { return WORD(Value & 0xFFFF); }
constexpr WORD HIWORD(DWORD_PTR Value) { return WORD((Value >> 16) & 0xFFFF); }
constexpr BYTE LOBYTE(DWORD_PTR Value) { return BYTE(Value & 0xFF); }
constexpr BYTE HIBYTE(DWORD_PTR Value) { return BYTE((Value >> 8) & 0xFF); }
constexpr LONG MAKELONG(WORD Low, WORD High) { return LONG(DWORD(Low) | (DWORD(High) << 16)); }
constexpr WORD MAKEWORD(BYTE Low, BYTE High) { return WORD(Low | (WORD(High) << 8)); }
constexpr WPARAM MAKEWPARAM(WORD Low, WORD High) { return WPARAM(DWORD(MAKELONG(Low, High))); }
constexpr LPARAM MAKELPARAM(WORD Low, WORD High) { return LPARAM(MAKELONG(Low, High)); }
constexpr LRESULT MAKELRESULT(WORD Low, WORD High) { return LRESULT(MAKELONG(Low, High)); }
// Signed coordinates packed in an LPARAM (mouse messages).
constexpr int GET_X_LPARAM(LPARAM Value) { return int(SHORT(LOWORD(DWORD_PTR(Value)))); }
constexpr int GET_Y_LPARAM(LPARAM Value) { return int(SHORT(HIWORD(DWORD_PTR(Value)))); }

using HRESULT = int32_t;
using LONGLONG = int64_t;
using ULONGLONG = uint64_t;
using FLOAT = float;
using PVOID = void*;
using LPLONG = LONG*;
using LPWORD = WORD*;
