// Presents of backing-store parts (XShm or XPutImage) and window shapes.

#include <sys/ipc.h>
#include <sys/shm.h>

#include <algorithm>
#include <bit>
#include <cstring>

#include "platform/backends/x11/x11present.h"

#include <X11/extensions/shape.h>

namespace X11Impl {

namespace {

unsigned long Channel(uint32_t Value, unsigned long Mask) {
  if (!Mask) return 0;
  int Shift = std::countr_zero(Mask);
  int Bits = std::popcount(Mask);
  unsigned long Scaled = Bits <= 8 ? (Value >> (8 - Bits)) : (static_cast<unsigned long>(Value) << (Bits - 8));
  return (Scaled << Shift) & Mask;
}

unsigned long ToVisual(const TX11Connection::TPixelLayout& Layout, uint32_t Rgb) {
  return Channel((Rgb >> 16) & 0xFF, Layout.RedMask) | Channel((Rgb >> 8) & 0xFF, Layout.GreenMask) |
         Channel(Rgb & 0xFF, Layout.BlueMask);
}

// Rect clipped to the window and to what the store covers.
RECT ClipToSource(const RECT& Rect, const TPixelSurface& Source, POINT Origin, int Width, int Height) {
  RECT Result{std::max<LONG>({Rect.left, 0, -Origin.x}), std::max<LONG>({Rect.top, 0, -Origin.y}),
              std::min<LONG>({Rect.right, Width, Source.Width - Origin.x}),
              std::min<LONG>({Rect.bottom, Height, Source.Height - Origin.y})};
  if (Result.right < Result.left) Result.right = Result.left;
  if (Result.bottom < Result.top) Result.bottom = Result.top;
  return Result;
}

const uint32_t* SourceRow(const TPixelSurface& Source, POINT Origin, int X, int Y) {
  return reinterpret_cast<const uint32_t*>(Source.Row(Y + Origin.y)) + (X + Origin.x);
}

}  // namespace

TX11ImageBuffer::TX11ImageBuffer(TX11Connection& Connection, bool UseSharedMemory)
    : FConnection(Connection), FUseShared(UseSharedMemory && Connection.HasShm()) {}

TX11ImageBuffer::~TX11ImageBuffer() { ReleaseShared(); }

void TX11ImageBuffer::ReleaseShared() {
  if (!FShared) return;
  if (FAttached && !FConnection.Lost()) XShmDetach(FConnection.Get(), &FSegment);
  // The segment is ours to free, not Xlib's.
  FShared->data = nullptr;
  XDestroyImage(FShared);
  FShared = nullptr;
  if (FSegment.shmaddr && FSegment.shmaddr != reinterpret_cast<char*>(-1)) shmdt(FSegment.shmaddr);
  FSegment = XShmSegmentInfo{};
  FAttached = false;
}

bool TX11ImageBuffer::EnsureShared(int Width, int Height) {
  if (FShared && FShared->width == Width && FShared->height == Height) return true;
  ReleaseShared();
  Display* Target = FConnection.Get();
  FShared = XShmCreateImage(Target, FConnection.XVisual(), unsigned(FConnection.Depth()), ZPixmap,
                            nullptr, &FSegment, unsigned(Width), unsigned(Height));
  if (!FShared) {
    FUseShared = false;
    return false;
  }
  size_t Bytes = size_t(FShared->bytes_per_line) * size_t(Height);
  FSegment.shmid = shmget(IPC_PRIVATE, Bytes, IPC_CREAT | 0600);
  if (FSegment.shmid < 0) {
    ReleaseShared();
    FUseShared = false;
    return false;
  }
  FSegment.shmaddr = static_cast<char*>(shmat(FSegment.shmid, nullptr, 0));
  if (FSegment.shmaddr == reinterpret_cast<char*>(-1)) {
    shmctl(FSegment.shmid, IPC_RMID, nullptr);
    FSegment.shmaddr = nullptr;
    ReleaseShared();
    FUseShared = false;
    return false;
  }
  FShared->data = FSegment.shmaddr;
  FSegment.readOnly = False;
  int Error;
  {
    TErrorTrap Trap(Target);
    XShmAttach(Target, &FSegment);
    Error = Trap.Sync();
  }
  // Attached or not, the segment goes away with its last user.
  shmctl(FSegment.shmid, IPC_RMID, nullptr);
  if (Error) {
    // A server that cannot reach our memory (another machine, a container): plain images from
    // now on.
    ReleaseShared();
    FUseShared = false;
    return false;
  }
  FAttached = true;
  return true;
}

void TX11ImageBuffer::PutPlain(::Window Target, GC Context, const TPixelSurface& Source, POINT Origin,
                               const RECT& Rect) {
  Display* Server = FConnection.Get();
  int W = Rect.right - Rect.left, H = Rect.bottom - Rect.top;
  const TX11Connection::TPixelLayout& Layout = FConnection.PixelLayout();
  if (Layout.Direct) {
    // The store's own rows, sent as they are.
    XImage* Image = XCreateImage(Server, FConnection.XVisual(), unsigned(FConnection.Depth()), ZPixmap, 0,
                                 reinterpret_cast<char*>(Source.Top), unsigned(Source.Width),
                                 unsigned(Source.Height), 32, int(Source.Stride));
    if (!Image) return;
    XPutImage(Server, Target, Context, Image, Rect.left + Origin.x, Rect.top + Origin.y, Rect.left, Rect.top,
              unsigned(W), unsigned(H));
    Image->data = nullptr;
    XDestroyImage(Image);
    return;
  }
  XImage* Image = XCreateImage(Server, FConnection.XVisual(), unsigned(FConnection.Depth()), ZPixmap, 0,
                               nullptr, unsigned(W), unsigned(H), 32, 0);
  if (!Image) return;
  FRows.assign((size_t(Image->bytes_per_line) * size_t(H) + 3) / 4, 0);
  Image->data = reinterpret_cast<char*>(FRows.data());
  for (int Y = 0; Y < H; ++Y) {
    const uint32_t* Row = SourceRow(Source, Origin, Rect.left, Rect.top + Y);
    for (int X = 0; X < W; ++X) XPutPixel(Image, X, Y, ToVisual(Layout, Row[X] & 0xFFFFFF));
  }
  XPutImage(Server, Target, Context, Image, 0, 0, Rect.left, Rect.top, unsigned(W), unsigned(H));
  Image->data = nullptr;
  XDestroyImage(Image);
}

bool TX11ImageBuffer::Put(::Window Target, GC Context, const TPixelSurface& Source, POINT Origin, int Width,
                          int Height, const TRegion& Area) {
  if (!Source.IsValid() || Source.BitCount != 32 || Width <= 0 || Height <= 0 || FConnection.Lost()) return false;
  std::vector<RECT> Rects = Area.Rects();
  if (Rects.empty()) return false;
  bool Shared = FUseShared && EnsureShared(Width, Height);
  const TX11Connection::TPixelLayout& Layout = FConnection.PixelLayout();
  for (const RECT& Wanted : Rects) {
    RECT Rect = ClipToSource(Wanted, Source, Origin, Width, Height);
    int W = Rect.right - Rect.left, H = Rect.bottom - Rect.top;
    if (W <= 0 || H <= 0) continue;
    if (!Shared) {
      PutPlain(Target, Context, Source, Origin, Rect);
      continue;
    }
    for (int Y = Rect.top; Y < Rect.bottom; ++Y) {
      const uint32_t* Row = SourceRow(Source, Origin, Rect.left, Y);
      if (Layout.Direct) {
        std::memcpy(FShared->data + size_t(Y) * size_t(FShared->bytes_per_line) + size_t(Rect.left) * 4, Row,
                    size_t(W) * 4);
      } else {
        for (int X = 0; X < W; ++X) XPutPixel(FShared, Rect.left + X, Y, ToVisual(Layout, Row[X] & 0xFFFFFF));
      }
    }
    XShmPutImage(FConnection.Get(), Target, Context, FShared, Rect.left, Rect.top, Rect.left, Rect.top,
                 unsigned(W), unsigned(H), False);
  }
  return Shared;
}

TRegion RegionWithoutColor(const TPixelSurface& Source, POINT Origin, int Width, int Height, uint32_t Key) {
  std::vector<RECT> Rects;
  if (!Source.IsValid() || Source.BitCount != 32) return TRegion(0, 0, Width, Height);
  RECT Area = ClipToSource(RECT{0, 0, Width, Height}, Source, Origin, Width, Height);
  // Runs of each row; a row with the same runs as the one above extends those rectangles.
  std::vector<std::pair<int, int>> Previous, Runs;
  size_t PreviousStart = 0;
  for (int Y = Area.top; Y < Area.bottom; ++Y) {
    Runs.clear();
    const uint32_t* Row = SourceRow(Source, Origin, 0, Y);
    int X = Area.left;
    while (X < Area.right) {
      while (X < Area.right && (Row[X] & 0xFFFFFF) == Key) ++X;
      int Start = X;
      while (X < Area.right && (Row[X] & 0xFFFFFF) != Key) ++X;
      if (X > Start) Runs.emplace_back(Start, X);
    }
    if (Y > Area.top && Runs == Previous) {
      for (size_t I = PreviousStart; I < Rects.size(); ++I) Rects[I].bottom = Y + 1;
      continue;
    }
    PreviousStart = Rects.size();
    for (const auto& Run : Runs) Rects.push_back(RECT{Run.first, Y, Run.second, Y + 1});
    Previous = Runs;
  }
  return TRegion::FromRects(Rects.data(), Rects.size());
}

void SetWindowShape(TX11Connection& Connection, ::Window Target, const TRegion* Shape) {
  if (!Connection.HasShape() || Connection.Lost()) return;
  if (!Shape) {
    XShapeCombineMask(Connection.Get(), Target, ShapeBounding, 0, 0, 0, ShapeSet);
    return;
  }
  std::vector<RECT> Rects = Shape->Rects();
  std::vector<XRectangle> Boxes;
  Boxes.reserve(Rects.size());
  for (const RECT& Rect : Rects)
    Boxes.push_back(XRectangle{short(Rect.left), short(Rect.top), static_cast<unsigned short>(Rect.right - Rect.left),
                               static_cast<unsigned short>(Rect.bottom - Rect.top)});
  // The region's rectangles come in bands, top to bottom and left to right.
  XShapeCombineRectangles(Connection.Get(), Target, ShapeBounding, 0, 0, Boxes.data(), int(Boxes.size()), ShapeSet,
                          YXBanded);
}

}  // namespace X11Impl
