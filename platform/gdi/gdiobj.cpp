#include "platform/gdi/gdiobj.h"

#include <array>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "platform/gdi/brush.h"
#include "platform/gdi/palette.h"
#include "platform/gdi/pen.h"

class TGdiObjectTable {
 public:
  HGDIOBJ Add(std::unique_ptr<TGdiObject> Object, bool Stock = false) {
    if (!Object) return nullptr;
    std::lock_guard<std::mutex> lock(FLock);
    // Handles step by 4 from a base well above null and are never reused.
    FNext += 4;
    auto handle = reinterpret_cast<HGDIOBJ>(FNext);
    Object->FHandle = handle;
    Object->FStock = Stock;
    FObjects.emplace(FNext, std::move(Object));
    return handle;
  }

  TGdiObject* Get(HGDIOBJ Handle, DWORD Kind) {
    if (!Handle) return nullptr;
    std::lock_guard<std::mutex> lock(FLock);
    auto found = FObjects.find(reinterpret_cast<uintptr_t>(Handle));
    if (found == FObjects.end()) return nullptr;
    if (Kind != 0 && found->second->Kind() != Kind) return nullptr;
    return found->second.get();
  }

  // Takes the object out of the table; the caller destroys it outside the lock.
  std::unique_ptr<TGdiObject> Remove(HGDIOBJ Handle) {
    std::lock_guard<std::mutex> lock(FLock);
    auto found = FObjects.find(reinterpret_cast<uintptr_t>(Handle));
    if (found == FObjects.end()) return nullptr;
    std::unique_ptr<TGdiObject> object = std::move(found->second);
    FObjects.erase(found);
    return object;
  }

  HGDIOBJ Stock(int Index) {
    if (Index < 0 || Index > STOCK_LAST) return nullptr;
    {
      std::lock_guard<std::mutex> lock(FLock);
      if (FStock[Index]) return FStock[Index];
    }
    std::unique_ptr<TGdiObject> object = CreateStock(Index);
    if (!object) return nullptr;
    HGDIOBJ handle = Add(std::move(object), true);
    std::lock_guard<std::mutex> lock(FLock);
    // Another thread may have won the race; keep the first and let ours stay as an extra stock
    // object (never deleted, freed with the table).
    if (!FStock[Index]) FStock[Index] = handle;
    return FStock[Index];
  }

  void RegisterStock(int Index, std::function<std::unique_ptr<TGdiObject>()> Creator) {
    if (Index < 0 || Index > STOCK_LAST) return;
    std::lock_guard<std::mutex> lock(FLock);
    FStockCreators[Index] = std::move(Creator);
  }

  int Count(DWORD Kind) {
    std::lock_guard<std::mutex> lock(FLock);
    int count = 0;
    for (const auto& entry : FObjects)
      if (Kind == 0 || entry.second->Kind() == Kind) ++count;
    return count;
  }

 private:
  std::unique_ptr<TGdiObject> CreateStock(int Index) {
    {
      std::function<std::unique_ptr<TGdiObject>()> creator;
      {
        std::lock_guard<std::mutex> lock(FLock);
        creator = FStockCreators[Index];
      }
      if (creator) return creator();
    }
    switch (Index) {
      case WHITE_BRUSH:
        return TBrushObject::Solid(RGB(255, 255, 255));
      case LTGRAY_BRUSH:
        return TBrushObject::Solid(RGB(192, 192, 192));
      case GRAY_BRUSH:
        return TBrushObject::Solid(RGB(128, 128, 128));
      case DKGRAY_BRUSH:
        return TBrushObject::Solid(RGB(64, 64, 64));
      case BLACK_BRUSH:
        return TBrushObject::Solid(RGB(0, 0, 0));
      case NULL_BRUSH:
        return TBrushObject::Null();
      case DC_BRUSH:
        return TBrushObject::DCBrush();
      case WHITE_PEN:
        return TPenObject::Solid(RGB(255, 255, 255));
      case BLACK_PEN:
        return TPenObject::Solid(RGB(0, 0, 0));
      case NULL_PEN:
        return TPenObject::Null();
      case DC_PEN:
        return TPenObject::DCPen();
      case DEFAULT_PALETTE:
        return TPaletteObject::DefaultPalette();
      default:
        return nullptr;
    }
  }

  std::mutex FLock;
  std::unordered_map<uintptr_t, std::unique_ptr<TGdiObject>> FObjects;
  uintptr_t FNext = 0x10000;
  std::array<HGDIOBJ, STOCK_LAST + 1> FStock{};
  std::array<std::function<std::unique_ptr<TGdiObject>()>, STOCK_LAST + 1> FStockCreators;
};

// Never destroyed: other libraries' static objects (font caches, window classes) may free
// their handles during exit, after this file's statics would be gone. What it holds stays
// reachable, so leak checking is satisfied.
static TGdiObjectTable& Table() {
  static TGdiObjectTable* table = new TGdiObjectTable;
  return *table;
}

HGDIOBJ GdiAddObject(std::unique_ptr<TGdiObject> Object) {
  return Table().Add(std::move(Object));
}

HGDIOBJ GdiAddStockObject(std::unique_ptr<TGdiObject> Object) {
  return Table().Add(std::move(Object), true);
}

TGdiObject* GdiGetObject(HGDIOBJ Handle, DWORD Kind) {
  return Table().Get(Handle, Kind);
}

bool GdiDestroyObject(HGDIOBJ Handle) {
  std::unique_ptr<TGdiObject> removed = Table().Remove(Handle);
  return removed != nullptr;
}

void GdiObjectSelected(TGdiObject* Object) {
  if (Object) ++Object->FSelectCount;
}

void GdiObjectDeselected(TGdiObject* Object) {
  if (!Object) return;
  if (Object->FSelectCount > 0) --Object->FSelectCount;
  if (Object->FSelectCount == 0 && Object->FDeletePending) {
    std::unique_ptr<TGdiObject> removed = Table().Remove(Object->FHandle);
    removed.reset();
  }
}

void GdiRegisterStockObject(int Index, std::function<std::unique_ptr<TGdiObject>()> Creator) {
  Table().RegisterStock(Index, std::move(Creator));
}

void GdiMarkDeletePending(TGdiObject* Object) {
  Object->FDeletePending = true;
}

DWORD GetObjectType(HGDIOBJ Handle) {
  TGdiObject* object = GdiGetObject(Handle);
  return object ? object->Kind() : 0;
}

BOOL DeleteObject(HGDIOBJ Handle) {
  TGdiObject* object = GdiGetObject(Handle);
  if (!object) return FALSE;
  // Contexts go through DeleteDC.
  if (object->Kind() == OBJ_DC || object->Kind() == OBJ_MEMDC) return FALSE;
  if (object->IsStock()) return TRUE;
  if (object->SelectCount() > 0) {
    // Still selected somewhere: freed on the last deselect.
    GdiMarkDeletePending(object);
    return TRUE;
  }
  std::unique_ptr<TGdiObject> removed = Table().Remove(Handle);
  return removed ? TRUE : FALSE;
}

HGDIOBJ GetStockObject(int Index) {
  return Table().Stock(Index);
}

int GetObject(HGDIOBJ Handle, int Size, void* Buffer) {
  TGdiObject* object = GdiGetObject(Handle);
  if (!object) return 0;
  if (Buffer && Size <= 0) return 0;
  return object->GetObjectInfo(Size, Buffer);
}

int GetObjectA(HGDIOBJ Handle, int Size, void* Buffer) {
  return GetObject(Handle, Size, Buffer);
}

int GdiObjectCount(DWORD Kind) {
  return Table().Count(Kind);
}
