#pragma once
// Rows of any bitmap of the device layer as plain colours, for the graphics classes' own pixel
// work (format conversions, masks, image lists). Unlike the device layer's transfers, these know
// the 5-6-5 layout of 16-bit sections with bit fields.

#include <cstdint>

#include "platform/gdi/bitmap.h"

// A 16-bit section whose green field is six bits wide.
bool Is565(const TBitmapObject* Object);
// Colours of Count pixels of row Y (0 = top) as 0x00RRGGBB. Monochrome device-dependent bits
// take Zero and One (0x00RRGGBB), as the text and background colours of a DC would give them.
void ReadColors(const TBitmapObject* Object, int32_t Y, int32_t Count, uint32_t* Colors, uint32_t Zero,
                uint32_t One);
// Writes colours (0x00RRGGBB) into row Y, overwriting Colors. A monochrome device-dependent
// target gets 1 where the colour is Background and 0 elsewhere, as a transfer from a DC with
// that background colour would give.
void WriteColors(TBitmapObject* Object, int32_t Y, int32_t Count, uint32_t* Colors, uint32_t Background);
// Copies the top-left Width x Height pixels of Source into Target through colours.
void CopyThroughColors(TBitmapObject* Source, TBitmapObject* Target, int32_t Width, int32_t Height,
                       COLORREF TextColor, COLORREF BkColor);
