#include "platform/forms/imagelistapi.h"

#include <algorithm>
#include <map>
#include <memory>
#include <vector>

#include "platform/forms/pixelrows.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/blt.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/gdiobj.h"
#include "platform/gdi/surface.h"
#include "platform/gdi/sysmetrics.h"

namespace {

constexpr int OverlayCount = 15;

// The images as plain colours, image after image, each Cy rows of Cx pixels, with one mask byte
// per pixel (1: transparent).
struct TImageListData {
  int Cx = 0;
  int Cy = 0;
  UINT Flags = 0;
  COLORREF Bk = CLR_NONE;
  int Count = 0;
  std::vector<uint32_t> Pixels;
  std::vector<uint8_t> Mask;
  int Overlays[OverlayCount + 1];
  // A 32-bit section the size of the last drawing, kept for the next one.
  HBITMAP Scratch = nullptr;
  int ScratchWidth = 0;
  int ScratchHeight = 0;
  uint32_t* ScratchBits = nullptr;

  TImageListData() { std::fill(std::begin(Overlays), std::end(Overlays), -1); }
  ~TImageListData() {
    if (Scratch) DeleteObject(Scratch);
  }
  size_t ImagePixels() const { return size_t(Cx) * size_t(Cy); }
  bool Masked() const { return (Flags & ILC_MASK) != 0; }
  uint32_t* Image(int Index) { return Pixels.data() + size_t(Index) * ImagePixels(); }
  uint8_t* ImageMask(int Index) { return Mask.data() + size_t(Index) * ImagePixels(); }
  void Resize(int NewCount) {
    Count = NewCount;
    Pixels.resize(size_t(NewCount) * ImagePixels(), 0);
    Mask.resize(size_t(NewCount) * ImagePixels(), 0);
  }
};

std::map<uintptr_t, std::unique_ptr<TImageListData>>& Lists() {
  static std::map<uintptr_t, std::unique_ptr<TImageListData>> Table;
  return Table;
}

TImageListData* Find(HIMAGELIST List) {
  auto& Table = Lists();
  const auto It = Table.find(reinterpret_cast<uintptr_t>(List));
  return It == Table.end() ? nullptr : It->second.get();
}

HIMAGELIST Register(std::unique_ptr<TImageListData> Data) {
  static uintptr_t Next = 0x10;
  Next += 0x10;
  Lists()[Next] = std::move(Data);
  return reinterpret_cast<HIMAGELIST>(Next);
}

constexpr uint32_t RgbOf(COLORREF Color) {
  return gdi::ColorRefToRgb(Color & 0xFFFFFF);
}

// The whole bitmap as colours, top row first.
bool ReadBitmap(HBITMAP Bitmap, std::vector<uint32_t>& Colors, int& Width, int& Height) {
  const TBitmapObject* Object = GdiGetBitmap(Bitmap);
  if (!Object) return false;
  Width = Object->Surface().Width;
  Height = Object->Surface().Height;
  Colors.resize(size_t(Width) * size_t(Height));
  for (int Y = 0; Y < Height; ++Y)
    ReadColors(Object, Y, Width, Colors.data() + size_t(Y) * size_t(Width), 0, 0xFFFFFF);
  return true;
}

// Cuts the bitmap into images and stores them at First, First + 1, ... (growing the list).
// MaskOf answers whether a pixel of the source is transparent.
template <class TMaskOf>
int StoreImages(TImageListData& Data, const std::vector<uint32_t>& Colors, int Width, int Height, int First,
                int Limit, TMaskOf MaskOf) {
  int Images = Width / Data.Cx;
  if (Images <= 0) return -1;
  if (Limit > 0) Images = std::min(Images, Limit);
  if (First + Images > Data.Count) Data.Resize(First + Images);
  for (int K = 0; K < Images; ++K) {
    uint32_t* Image = Data.Image(First + K);
    uint8_t* Mask = Data.ImageMask(First + K);
    for (int Y = 0; Y < Data.Cy; ++Y)
      for (int X = 0; X < Data.Cx; ++X) {
        const size_t To = size_t(Y) * size_t(Data.Cx) + size_t(X);
        if (Y >= Height) {
          Image[To] = 0;
          Mask[To] = 0;
          continue;
        }
        const size_t From = size_t(Y) * size_t(Width) + size_t(K * Data.Cx + X);
        const bool Transparent = MaskOf(From);
        Image[To] = Colors[From];
        Mask[To] = Data.Masked() && Transparent ? 1 : 0;
      }
  }
  return First;
}

int AddOrReplace(TImageListData& Data, int First, int Limit, HBITMAP Image, HBITMAP Mask) {
  std::vector<uint32_t> Colors, MaskColors;
  int Width = 0, Height = 0, MaskWidth = 0, MaskHeight = 0;
  if (!ReadBitmap(Image, Colors, Width, Height)) return -1;
  const bool HaveMask = Mask && ReadBitmap(Mask, MaskColors, MaskWidth, MaskHeight);
  return StoreImages(Data, Colors, Width, Height, First, Limit, [&](size_t From) {
    if (!HaveMask) return false;
    const int X = int(From % size_t(Width)), Y = int(From / size_t(Width));
    return X < MaskWidth && Y < MaskHeight && MaskColors[size_t(Y) * size_t(MaskWidth) + size_t(X)] != 0;
  });
}

// Mixes Quarters quarters of Over into Base, channel by channel.
uint32_t Mix(uint32_t Base, uint32_t Over, uint32_t Quarters) {
  uint32_t Result = 0;
  for (int Shift = 0; Shift < 24; Shift += 8) {
    const uint32_t A = (Base >> Shift) & 0xFF, B = (Over >> Shift) & 0xFF;
    Result |= ((A * (4 - Quarters) + B * Quarters + 2) / 4) << Shift;
  }
  return Result;
}

}  // namespace

HIMAGELIST ImageList_Create(int Cx, int Cy, UINT Flags, int Initial, int Grow) {
  if (Cx <= 0 || Cy <= 0 || Cx > 4096 || Cy > 4096) return nullptr;
  auto Data = std::make_unique<TImageListData>();
  Data->Cx = Cx;
  Data->Cy = Cy;
  Data->Flags = Flags;
  return Register(std::move(Data));
}

BOOL ImageList_Destroy(HIMAGELIST List) {
  return Lists().erase(reinterpret_cast<uintptr_t>(List)) ? TRUE : FALSE;
}

HIMAGELIST ImageList_Duplicate(HIMAGELIST List) {
  TImageListData* Data = Find(List);
  if (!Data) return nullptr;
  auto Copy = std::make_unique<TImageListData>();
  Copy->Cx = Data->Cx;
  Copy->Cy = Data->Cy;
  Copy->Flags = Data->Flags;
  Copy->Bk = Data->Bk;
  Copy->Count = Data->Count;
  Copy->Pixels = Data->Pixels;
  Copy->Mask = Data->Mask;
  std::copy(std::begin(Data->Overlays), std::end(Data->Overlays), std::begin(Copy->Overlays));
  return Register(std::move(Copy));
}

int ImageList_GetImageCount(HIMAGELIST List) {
  TImageListData* Data = Find(List);
  return Data ? Data->Count : 0;
}

BOOL ImageList_SetImageCount(HIMAGELIST List, UINT Count) {
  TImageListData* Data = Find(List);
  if (!Data || Count > 65536) return FALSE;
  Data->Resize(int(Count));
  return TRUE;
}

BOOL ImageList_GetIconSize(HIMAGELIST List, int* Cx, int* Cy) {
  TImageListData* Data = Find(List);
  if (!Data || !Cx || !Cy) return FALSE;
  *Cx = Data->Cx;
  *Cy = Data->Cy;
  return TRUE;
}

BOOL ImageList_SetIconSize(HIMAGELIST List, int Cx, int Cy) {
  TImageListData* Data = Find(List);
  if (!Data || Cx <= 0 || Cy <= 0 || Cx > 4096 || Cy > 4096) return FALSE;
  Data->Cx = Cx;
  Data->Cy = Cy;
  Data->Resize(0);
  return TRUE;
}

COLORREF ImageList_SetBkColor(HIMAGELIST List, COLORREF Color) {
  TImageListData* Data = Find(List);
  if (!Data) return CLR_NONE;
  const COLORREF Old = Data->Bk;
  Data->Bk = Color;
  return Old;
}

COLORREF ImageList_GetBkColor(HIMAGELIST List) {
  TImageListData* Data = Find(List);
  return Data ? Data->Bk : CLR_NONE;
}

int ImageList_Add(HIMAGELIST List, HBITMAP Image, HBITMAP Mask) {
  TImageListData* Data = Find(List);
  if (!Data) return -1;
  return AddOrReplace(*Data, Data->Count, 0, Image, Mask);
}

int ImageList_AddMasked(HIMAGELIST List, HBITMAP Image, COLORREF Mask) {
  TImageListData* Data = Find(List);
  if (!Data) return -1;
  std::vector<uint32_t> Colors;
  int Width = 0, Height = 0;
  if (!ReadBitmap(Image, Colors, Width, Height)) return -1;
  const uint32_t Key = Mask == CLR_DEFAULT ? Colors[0] : RgbOf(Mask);
  std::vector<uint8_t> Masked(Colors.size());
  for (size_t i = 0; i < Colors.size(); ++i) {
    Masked[i] = Colors[i] == Key;
    if (Masked[i]) Colors[i] = 0;  // masked pixels of the image become black
  }
  return StoreImages(*Data, Colors, Width, Height, Data->Count, 0,
                     [&](size_t From) { return Masked[From] != 0; });
}

BOOL ImageList_Replace(HIMAGELIST List, int Index, HBITMAP Image, HBITMAP Mask) {
  TImageListData* Data = Find(List);
  if (!Data || Index < 0 || Index >= Data->Count) return FALSE;
  return AddOrReplace(*Data, Index, 1, Image, Mask) >= 0 ? TRUE : FALSE;
}

BOOL ImageList_Remove(HIMAGELIST List, int Index) {
  TImageListData* Data = Find(List);
  if (!Data) return FALSE;
  if (Index == -1) {
    Data->Resize(0);
    return TRUE;
  }
  if (Index < 0 || Index >= Data->Count) return FALSE;
  const size_t Size = Data->ImagePixels();
  Data->Pixels.erase(Data->Pixels.begin() + ptrdiff_t(size_t(Index) * Size),
                     Data->Pixels.begin() + ptrdiff_t(size_t(Index + 1) * Size));
  Data->Mask.erase(Data->Mask.begin() + ptrdiff_t(size_t(Index) * Size),
                   Data->Mask.begin() + ptrdiff_t(size_t(Index + 1) * Size));
  --Data->Count;
  for (int& Overlay : Data->Overlays) {
    if (Overlay == Index)
      Overlay = -1;
    else if (Overlay > Index)
      --Overlay;
  }
  return TRUE;
}

BOOL ImageList_Move(HIMAGELIST List, int Destination, int Source) {
  TImageListData* Data = Find(List);
  if (!Data || Source < 0 || Source >= Data->Count || Destination < 0 || Destination >= Data->Count)
    return FALSE;
  const size_t Size = Data->ImagePixels();
  auto MoveBlock = [&](auto& Vector) {
    auto Begin = Vector.begin();
    if (Source < Destination)
      std::rotate(Begin + ptrdiff_t(size_t(Source) * Size), Begin + ptrdiff_t(size_t(Source + 1) * Size),
                  Begin + ptrdiff_t(size_t(Destination + 1) * Size));
    else if (Source > Destination)
      std::rotate(Begin + ptrdiff_t(size_t(Destination) * Size), Begin + ptrdiff_t(size_t(Source) * Size),
                  Begin + ptrdiff_t(size_t(Source + 1) * Size));
  };
  MoveBlock(Data->Pixels);
  MoveBlock(Data->Mask);
  return TRUE;
}

BOOL ImageList_SetOverlayImage(HIMAGELIST List, int Image, int Overlay) {
  TImageListData* Data = Find(List);
  if (!Data || Overlay < 1 || Overlay > OverlayCount || Image < -1 || Image >= Data->Count) return FALSE;
  Data->Overlays[Overlay] = Image;
  return TRUE;
}

BOOL ImageList_DrawEx(HIMAGELIST List, int Index, HDC DC, int X, int Y, int Dx, int Dy, COLORREF Bk,
                      COLORREF Fg, UINT Style) {
  TImageListData* Data = Find(List);
  if (!Data || Index < 0 || Index >= Data->Count || !GdiGetDC(DC)) return FALSE;
  const int Width = Dx > 0 ? std::min(Dx, Data->Cx) : Data->Cx;
  const int Height = Dy > 0 ? std::min(Dy, Data->Cy) : Data->Cy;
  const uint8_t* Mask = Data->ImageMask(Index);

  if ((Style & ILD_MASK) && !(Style & ILD_IMAGE)) {
    // The mask as a monochrome bitmap, transferred as any monochrome picture is.
    HBITMAP Bits = CreateBitmap(Width, Height, 1, 1, nullptr);
    if (!Bits) return FALSE;
    const TPixelSurface& Surface = GdiGetBitmap(Bits)->Surface();
    std::vector<uint32_t> Values(static_cast<size_t>(Width));
    for (int Line = 0; Line < Height; ++Line) {
      for (int Column = 0; Column < Width; ++Column)
        Values[size_t(Column)] = Mask[size_t(Line) * size_t(Data->Cx) + size_t(Column)];
      gdi::WriteRow(Surface, 0, Line, Width, Values.data());
    }
    HDC Source = CreateCompatibleDC(nullptr);
    HGDIOBJ Old = SelectObject(Source, Bits);
    BitBlt(DC, X, Y, Width, Height, Source, 0, 0, SRCCOPY);
    SelectObject(Source, Old);
    DeleteDC(Source);
    DeleteObject(Bits);
    return TRUE;
  }

  if (!Data->Scratch || Data->ScratchWidth != Width || Data->ScratchHeight != Height) {
    if (Data->Scratch) DeleteObject(Data->Scratch);
    BITMAPINFO Info{};
    Info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    Info.bmiHeader.biWidth = Width;
    Info.bmiHeader.biHeight = -Height;
    Info.bmiHeader.biPlanes = 1;
    Info.bmiHeader.biBitCount = 32;
    void* Bits = nullptr;
    Data->Scratch = CreateDIBSection(nullptr, &Info, DIB_RGB_COLORS, &Bits, nullptr, 0);
    Data->ScratchBits = static_cast<uint32_t*>(Bits);
    Data->ScratchWidth = Data->Scratch ? Width : 0;
    Data->ScratchHeight = Data->Scratch ? Height : 0;
    if (!Data->Scratch) return FALSE;
  }
  HDC Work = CreateCompatibleDC(nullptr);
  HGDIOBJ Old = SelectObject(Work, Data->Scratch);
  // What lies under the image: needed for transparency and for blending with the destination.
  BitBlt(Work, 0, 0, Width, Height, DC, X, Y, SRCCOPY);

  const COLORREF Background = Bk == CLR_DEFAULT ? Data->Bk : Bk;
  const bool Transparent = Data->Masked() && ((Style & ILD_TRANSPARENT) || Background == CLR_NONE);
  const uint32_t Fill = RgbOf(Background);
  const uint32_t Quarters = (Style & ILD_BLEND50) ? 2 : (Style & ILD_BLEND25) ? 1 : 0;
  const bool BlendWithDestination = Fg == CLR_NONE;
  const uint32_t Foreground = RgbOf(Fg == CLR_DEFAULT ? GetSysColor(COLOR_HIGHLIGHT) : Fg);
  const uint32_t* Image = Data->Image(Index);
  for (int Row = 0; Row < Height; ++Row) {
    uint32_t* Target = Data->ScratchBits + size_t(Row) * size_t(Width);
    for (int Column = 0; Column < Width; ++Column) {
      const size_t At = size_t(Row) * size_t(Data->Cx) + size_t(Column);
      const uint32_t Under = Target[Column] & 0xFFFFFF;
      if (Data->Masked() && Mask[At]) {
        Target[Column] = Transparent ? Under : Fill;
        continue;
      }
      uint32_t Color = Image[At];
      if (Quarters) Color = Mix(Color, BlendWithDestination ? Under : Foreground, Quarters);
      Target[Column] = Color;
    }
  }
  const int Overlay = int((Style & ILD_OVERLAYMASK) >> 8);
  if (Overlay >= 1 && Overlay <= OverlayCount && Data->Overlays[Overlay] >= 0 &&
      Data->Overlays[Overlay] < Data->Count) {
    const uint32_t* Over = Data->Image(Data->Overlays[Overlay]);
    const uint8_t* OverMask = Data->ImageMask(Data->Overlays[Overlay]);
    for (int Row = 0; Row < Height; ++Row)
      for (int Column = 0; Column < Width; ++Column) {
        const size_t At = size_t(Row) * size_t(Data->Cx) + size_t(Column);
        if (!Data->Masked() || !OverMask[At])
          Data->ScratchBits[size_t(Row) * size_t(Width) + size_t(Column)] = Over[At];
      }
  }
  BitBlt(DC, X, Y, Width, Height, Work, 0, 0, SRCCOPY);
  SelectObject(Work, Old);
  DeleteDC(Work);
  return TRUE;
}
