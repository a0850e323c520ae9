#pragma once
// The graphics object handle table. Every pen, brush, font, bitmap, region, palette and device
// context lives here as a TGdiObject, owned by the table and known to callers only by its
// handle. Handles are never reused, so a stale handle finds nothing instead of a newer object.
// Each call validates its handles first and answers as the API does (0, FALSE, a null handle)
// when one is unknown or of the wrong kind.
//
// Deleting an object that is still selected into a device context only marks it: the object
// stays usable by that context and is freed when it is deselected (or the context is deleted),
// so a context never draws with freed memory.

#include <functional>
#include <memory>

#include "platform/rtl/wintypes.h"

// GetObjectType results, also the kind of each TGdiObject.
constexpr DWORD OBJ_PEN = 1;
constexpr DWORD OBJ_BRUSH = 2;
constexpr DWORD OBJ_DC = 3;
constexpr DWORD OBJ_METADC = 4;
constexpr DWORD OBJ_PAL = 5;
constexpr DWORD OBJ_FONT = 6;
constexpr DWORD OBJ_BITMAP = 7;
constexpr DWORD OBJ_REGION = 8;
constexpr DWORD OBJ_METAFILE = 9;
constexpr DWORD OBJ_MEMDC = 10;
constexpr DWORD OBJ_EXTPEN = 11;
constexpr DWORD OBJ_ENHMETADC = 12;
constexpr DWORD OBJ_ENHMETAFILE = 13;

// GetStockObject indexes.
constexpr int WHITE_BRUSH = 0;
constexpr int LTGRAY_BRUSH = 1;
constexpr int GRAY_BRUSH = 2;
constexpr int DKGRAY_BRUSH = 3;
constexpr int BLACK_BRUSH = 4;
constexpr int NULL_BRUSH = 5;
constexpr int HOLLOW_BRUSH = NULL_BRUSH;
constexpr int WHITE_PEN = 6;
constexpr int BLACK_PEN = 7;
constexpr int NULL_PEN = 8;
constexpr int OEM_FIXED_FONT = 10;
constexpr int ANSI_FIXED_FONT = 11;
constexpr int ANSI_VAR_FONT = 12;
constexpr int SYSTEM_FONT = 13;
constexpr int DEVICE_DEFAULT_FONT = 14;
constexpr int DEFAULT_PALETTE = 15;
constexpr int SYSTEM_FIXED_FONT = 16;
constexpr int DEFAULT_GUI_FONT = 17;
constexpr int DC_BRUSH = 18;
constexpr int DC_PEN = 19;
constexpr int STOCK_LAST = 19;

class TGdiObject {
 public:
  explicit TGdiObject(DWORD Kind) : FKind(Kind) {}
  virtual ~TGdiObject() = default;
  TGdiObject(const TGdiObject&) = delete;
  TGdiObject& operator=(const TGdiObject&) = delete;

  DWORD Kind() const { return FKind; }
  HGDIOBJ Handle() const { return FHandle; }
  bool IsStock() const { return FStock; }

  // GetObject for this kind: with a null Buffer, the size of the structure; otherwise copies at
  // most Size bytes of it into Buffer and answers the count copied (0 when Size is too small for
  // the kind's smallest form). The default answers 0 (no structure).
  virtual int GetObjectInfo(int Size, void* Buffer) const { return 0; }

  // Device contexts count their selections so deletion can be deferred (see the file comment).
  int SelectCount() const { return FSelectCount; }

 private:
  friend class TGdiObjectTable;
  friend void GdiObjectSelected(TGdiObject*);
  friend void GdiObjectDeselected(TGdiObject*);
  friend void GdiMarkDeletePending(TGdiObject*);
  DWORD FKind;
  HGDIOBJ FHandle = nullptr;
  bool FStock = false;
  bool FDeletePending = false;
  int FSelectCount = 0;
};

// Adds Object to the table and answers its new handle. The table owns it from now on.
HGDIOBJ GdiAddObject(std::unique_ptr<TGdiObject> Object);
// The same for an object DeleteObject must leave alone (stock objects of the library).
HGDIOBJ GdiAddStockObject(std::unique_ptr<TGdiObject> Object);
// Removes an object of any kind from the table and destroys it now (DeleteDC uses it).
bool GdiDestroyObject(HGDIOBJ Handle);
// The object behind Handle when it exists and (when Kind is not 0) has that kind; else null.
TGdiObject* GdiGetObject(HGDIOBJ Handle, DWORD Kind = 0);
template <class T>
T* GdiGetObjectAs(HGDIOBJ Handle, DWORD Kind) {
  return static_cast<T*>(GdiGetObject(Handle, Kind));
}
// Typed handle helpers for the kinds whose handle type is distinct.
template <class H>
H GdiHandleAs(HGDIOBJ Handle) {
  return static_cast<H>(Handle);
}

// A device context calls these when it selects and deselects an object; the last deselect of an
// object marked for deletion frees it.
void GdiObjectSelected(TGdiObject* Object);
void GdiObjectDeselected(TGdiObject* Object);
// Marks a selected object to be freed on its last deselect (DeleteObject uses it).
void GdiMarkDeletePending(TGdiObject* Object);

// The creator of a stock object that another part of the library supplies (the stock fonts come
// from the font code). Register before the first GetStockObject call, e.g. from a static
// initialiser; the creator runs once, on first use of the index.
void GdiRegisterStockObject(int Index, std::function<std::unique_ptr<TGdiObject>()> Creator);

DWORD GetObjectType(HGDIOBJ Handle);
// FALSE for an unknown handle; TRUE (and nothing happens) for a stock object.
BOOL DeleteObject(HGDIOBJ Handle);
HGDIOBJ GetStockObject(int Index);
int GetObject(HGDIOBJ Handle, int Size, void* Buffer);
int GetObjectA(HGDIOBJ Handle, int Size, void* Buffer);

// How many live objects of a kind the table holds (0 = all kinds, stock objects included); tests
// use it to check that an operation leaks no handles.
int GdiObjectCount(DWORD Kind = 0);
