#pragma once
// Painting helpers the library's controls share: image-list images drawn enabled or embossed,
// the embossed (disabled) rendition of a bitmap, the faces of the ellipsis and combo-box buttons,
// and the measurement of wrapped and multi-line texts.
//
// The embossed look is the classic one: the picture's shape painted once in the highlight
// colour one pixel down and right, then in the shadow colour at its place, through a monochrome
// copy of the shape and the raster operation that takes the brush where the copy's bit is set
// and leaves the target elsewhere.

#include <cstdint>
#include <string>

#include "platform/forms/bitmap.h"
#include "platform/forms/buttons.h"
#include "platform/forms/canvas.h"
#include "platform/forms/imagelist.h"

// Bit 7 of the glyph routines' flags: the face is drawn without its pressed look even while the
// button is down (a copy painted for a grid cell, for one).
constexpr uint8_t gfNoPressedLook = 0x80;

// Image Index of the list at (X, Y) in Style (ILD_ flags), with the list's background and blend
// colours; embossed from its mask when not Enabled. Nothing while the list has no handle.
void DrawImageListImage(TCustomImageList* ImageList, int32_t Index, TCanvas* Canvas, int32_t X, int32_t Y,
                        UINT Style, bool Enabled);
// The same, except that an enabled image at an odd X is drawn one pixel further left (the
// owner-drawn buttons' glyphs keep to even columns).
void DrawImageListImageEven(TCustomImageList* ImageList, int32_t Index, TCanvas* Canvas, int32_t X, int32_t Y,
                            UINT Style, bool Enabled);
// Target becomes Source's size, filled with clBtnFace, with the black pixels of Source embossed
// on it (of a monochrome Source, its 0 bits).
void MakeDisabledBitmap(TBitmap* Source, TBitmap* Target);

// A raised button face (unless Flat; without its middle filled when Transparent; flat while
// bsDown) with three black squares centred on it, one pixel lower and further right while bsDown.
void DrawEllipsisGlyph(TCanvas* Canvas, const RECT& Rect, TButtonState State, bool Flat, bool Transparent,
                       uint8_t Flags);
// The system's combo-box arrow button: inactive when not Enabled, pushed and flat while Down.
void DrawComboArrowGlyph(TCanvas* Canvas, const RECT& Rect, bool Down, bool Enabled, uint8_t Flags);

// The height of Text laid out by DrawTextEx with Format in a box Width pixels wide.
int32_t TextHeightWrapped(TCanvas* Canvas, UINT Format, int32_t Width, const std::string& Text);
// The size of Text cut into lines at CR LF: the widest line, and the lines' heights with
// LineSpacing between two lines. With a WrapWidth above 0 each line is measured wrapped into that
// width with Format; otherwise as one line of the canvas's font.
void MultiLineTextExtent(TCanvas* Canvas, const std::string& Text, int32_t LineSpacing, int32_t WrapWidth,
                         UINT Format, SIZE& Size);
