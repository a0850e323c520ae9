#pragma once
// Image lists of the common controls: rows of same-sized images with optional masks, known by
// an HIMAGELIST handle and drawn in one of several styles.
//
// Masks are monochrome: a set bit is a transparent pixel. Drawing (ImageList_DrawEx):
// - ILD_MASK draws the mask itself (through the destination DC's text and background colours
//   on a colour target; the bits as they are on a monochrome one);
// - otherwise the image is drawn. On a list with masks it is transparent (the destination shows
//   where the mask is set) when the style has ILD_TRANSPARENT or the background colour is
//   CLR_NONE; any other background colour fills the masked pixels. CLR_DEFAULT means the list's
//   own background colour (ImageList_SetBkColor). A list without masks draws its images opaque.
// - ILD_BLEND50 (ILD_SELECTED) and ILD_BLEND25 (ILD_FOCUS) mix the image's pixels 50 or 25 per
//   cent with the foreground colour: CLR_DEFAULT is the highlight colour, CLR_NONE the
//   destination itself.
// - INDEXTOOVERLAYMASK(n) in the style draws overlay image n (ImageList_SetOverlayImage) over the
//   image, transparently.
// Handles are never reused; every call checks its handle and answers 0, -1 or FALSE for a stale
// one, as the API does. Image lists belong to the user-interface thread.

#include "platform/rtl/wintypes.h"

constexpr UINT ILC_MASK = 0x0001;
constexpr UINT ILC_COLOR = 0x0000;
constexpr UINT ILC_COLORDDB = 0x00FE;
constexpr UINT ILC_COLOR4 = 0x0004;
constexpr UINT ILC_COLOR8 = 0x0008;
constexpr UINT ILC_COLOR16 = 0x0010;
constexpr UINT ILC_COLOR24 = 0x0018;
constexpr UINT ILC_COLOR32 = 0x0020;

constexpr UINT ILD_NORMAL = 0x0000;
constexpr UINT ILD_TRANSPARENT = 0x0001;
constexpr UINT ILD_BLEND25 = 0x0002;
constexpr UINT ILD_BLEND50 = 0x0004;
constexpr UINT ILD_MASK = 0x0010;
constexpr UINT ILD_IMAGE = 0x0020;
constexpr UINT ILD_OVERLAYMASK = 0x0F00;
constexpr UINT ILD_FOCUS = ILD_BLEND25;
constexpr UINT ILD_SELECTED = ILD_BLEND50;
constexpr UINT ILD_BLEND = ILD_BLEND50;

constexpr COLORREF CLR_NONE = 0xFFFFFFFF;
constexpr COLORREF CLR_DEFAULT = 0xFF000000;

constexpr UINT INDEXTOOVERLAYMASK(UINT Index) {
  return Index << 8;
}

// Cx x Cy images; Flags ILC_MASK gives each image a mask. Initial and Grow are accepted (storage
// grows as needed).
HIMAGELIST ImageList_Create(int Cx, int Cy, UINT Flags, int Initial, int Grow);
BOOL ImageList_Destroy(HIMAGELIST List);
// A new list with the same size, flags, colours, images and overlays.
HIMAGELIST ImageList_Duplicate(HIMAGELIST List);
int ImageList_GetImageCount(HIMAGELIST List);
// Grows (with black, opaque images) or shrinks the list.
BOOL ImageList_SetImageCount(HIMAGELIST List, UINT Count);
BOOL ImageList_GetIconSize(HIMAGELIST List, int* Cx, int* Cy);
// Sets the image size; every image is removed.
BOOL ImageList_SetIconSize(HIMAGELIST List, int Cx, int Cy);
COLORREF ImageList_SetBkColor(HIMAGELIST List, COLORREF Color);
COLORREF ImageList_GetBkColor(HIMAGELIST List);

// Adds the images of a bitmap cut into Cx-wide pieces (its width / Cx of them, the top Cy rows);
// Mask (a monochrome bitmap of the same layout, or nullptr for no transparency) gives their
// masks. Answers the index of the first image added, -1 on failure.
int ImageList_Add(HIMAGELIST List, HBITMAP Image, HBITMAP Mask);
// The same with a mask of the pixels of colour Mask (CLR_DEFAULT: the colour of the bitmap's
// top-left pixel); those pixels of the images become black.
int ImageList_AddMasked(HIMAGELIST List, HBITMAP Image, COLORREF Mask);
BOOL ImageList_Replace(HIMAGELIST List, int Index, HBITMAP Image, HBITMAP Mask);
// Removes image Index, or every image for -1.
BOOL ImageList_Remove(HIMAGELIST List, int Index);
inline BOOL ImageList_RemoveAll(HIMAGELIST List) {
  return ImageList_Remove(List, -1);
}
// Moves image Source to position Destination (the others shift).
BOOL ImageList_Move(HIMAGELIST List, int Destination, int Source);
// Makes image Image overlay number Overlay (1..15).
BOOL ImageList_SetOverlayImage(HIMAGELIST List, int Image, int Overlay);

// Draws image Index with its top-left corner at (X, Y); Dx and Dy (0: the image's size) limit
// the part drawn from the image's top-left corner.
BOOL ImageList_DrawEx(HIMAGELIST List, int Index, HDC DC, int X, int Y, int Dx, int Dy, COLORREF Bk,
                      COLORREF Fg, UINT Style);
inline BOOL ImageList_Draw(HIMAGELIST List, int Index, HDC DC, int X, int Y, UINT Style) {
  return ImageList_DrawEx(List, Index, DC, X, Y, 0, 0, CLR_DEFAULT, CLR_DEFAULT, Style);
}
