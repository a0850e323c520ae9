// TBitmap: row order and pixel formats, monochrome conversions, transparency and masks, size
// changes, bitmap files, dormant images, and copying without allocating.

#include "platform/gdi/bitmap.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "alloc_counter.h"
#include "forms_fixture.h"
#include "platform/classes/resources.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/gdiobj.h"
#include "platform/gdi/palette.h"
#include "platform/gdi/shapes.h"

namespace {

const TColor PureColors[] = {clBlack, clWhite, clRed, clLime, clBlue, clYellow, clFuchsia, clAqua};

// A 24-bit bitmap with one column per pure colour and two rows.
std::unique_ptr<TBitmap> ColorStrip() {
  auto Bitmap = MakeBitmap(8, 2, pf24bit, clWhite);
  for (int X = 0; X < 8; ++X)
    for (int Y = 0; Y < 2; ++Y) Bitmap->Canvas()->SetPixels(X, Y, PureColors[X]);
  return Bitmap;
}

// The colours of a bitmap read back through a 24-bit copy (so 5-6-5 images read right too).
TColor ColorAt(TBitmap& Bitmap, int X, int Y) {
  TBitmap Copy;
  Copy.Assign(&Bitmap);
  Copy.SetPixelFormat(pf24bit);
  const auto* Row = static_cast<const uint8_t*>(Copy.ScanLine(Y));
  return TColor(Row[3 * X + 2] | (Row[3 * X + 1] << 8) | (Row[3 * X] << 16));
}

int BitsPerPixel(TBitmap& Bitmap) {
  BITMAP Info{};
  GetObject(Bitmap.Handle(), sizeof(Info), &Info);
  return Info.bmBitsPixel;
}

std::vector<uint8_t> SavedBytes(TBitmap& Bitmap) {
  TMemoryStream Stream;
  Bitmap.SaveToStream(Stream);
  const auto* Data = static_cast<const uint8_t*>(Stream.Memory());
  return std::vector<uint8_t>(Data, Data + Stream.Size());
}

void LoadBytes(TBitmap& Bitmap, const std::vector<uint8_t>& Bytes) {
  TMemoryStream Stream;
  Stream.WriteBuffer(Bytes.data(), int32_t(Bytes.size()));
  Stream.SetPosition(0);
  Bitmap.LoadFromStream(Stream);
}

uint32_t Le32(const std::vector<uint8_t>& B, size_t At) {
  return uint32_t(B[At]) | (uint32_t(B[At + 1]) << 8) | (uint32_t(B[At + 2]) << 16) |
         (uint32_t(B[At + 3]) << 24);
}

}  // namespace

TEST(Bitmap, ScanLineZeroIsTheTopRowOfABottomUpSection) {
  auto Bitmap = MakeBitmap(3, 4, pf24bit, clWhite);
  EXPECT_EQ(Bitmap->RowBytes(), 12);  // 9 bytes padded to 4
  auto* Top = static_cast<uint8_t*>(Bitmap->ScanLine(0));
  auto* Next = static_cast<uint8_t*>(Bitmap->ScanLine(1));
  EXPECT_EQ(Top - Next, 12);  // memory runs from the bottom row up
  DIBSECTION Section{};
  ASSERT_EQ(GetObject(Bitmap->Handle(), sizeof(Section), &Section), int(sizeof(Section)));
  EXPECT_EQ(static_cast<uint8_t*>(Bitmap->ScanLine(3)), Section.dsBm.bmBits);
  EXPECT_GT(Section.dsBmih.biHeight, 0);
  Top[0] = 0x11, Top[1] = 0x22, Top[2] = 0x33;  // blue, green, red
  EXPECT_EQ(PixelOf(*Bitmap, 0, 0), TColor(0x00112233));
  EXPECT_EQ(PixelOf(*Bitmap, 0, 3), clWhite);
  EXPECT_THROW(Bitmap->ScanLine(4), EInvalidGraphicOperation);
  EXPECT_THROW(Bitmap->ScanLine(-1), EInvalidGraphicOperation);
}

TEST(Bitmap, PixelFormatsConvertAndKeepTheColoursTheyCanHold) {
  struct TCase {
    const char* Name;
    TPixelFormat Format;
    int Bits;
    int Kept;  // how many of the pure colours survive (the first ones)
  };
  const TCase Cases[] = {
      {"1 bit: black and white", pf1bit, 1, 2},
      {"4 bit: the 16 colours", pf4bit, 4, 8},
      {"8 bit: halftone", pf8bit, 8, 8},
      {"15 bit", pf15bit, 16, 8},
      {"16 bit (5-6-5)", pf16bit, 16, 8},
      {"24 bit", pf24bit, 24, 8},
      {"32 bit", pf32bit, 32, 8},
      {"device", pfDevice, 32, 8},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    auto Bitmap = ColorStrip();
    Bitmap->SetPixelFormat(Case.Format);
    EXPECT_EQ(Bitmap->PixelFormat(), Case.Format);
    EXPECT_EQ(Bitmap->HandleType(), Case.Format == pfDevice ? bmDDB : bmDIB);
    EXPECT_EQ(BitsPerPixel(*Bitmap), Case.Bits);
    EXPECT_EQ(Bitmap->Width(), 8);
    for (int X = 0; X < Case.Kept; ++X) EXPECT_EQ(ColorAt(*Bitmap, X, 1), PureColors[X]) << "column " << X;
    // Back to 24 bits keeps whatever the format held.
    Bitmap->SetPixelFormat(pf24bit);
    for (int X = 0; X < Case.Kept; ++X) EXPECT_EQ(ColorAt(*Bitmap, X, 0), PureColors[X]) << "column " << X;
  }
  // Red is nearer black than white.
  auto Bitmap = ColorStrip();
  Bitmap->SetPixelFormat(pf1bit);
  EXPECT_EQ(ColorAt(*Bitmap, 2, 0), clBlack);
  // The 5-6-5 layout is what its rows hold.
  auto Wide = MakeBitmap(1, 1, pf24bit, TColor(0x00FF8040));  // blue 0xFF, green 0x80, red 0x40
  Wide->SetPixelFormat(pf16bit);
  const auto* Row = static_cast<const uint8_t*>(Wide->ScanLine(0));
  EXPECT_EQ(Row[0] | (Row[1] << 8), (0x40 >> 3) << 11 | (0x80 >> 2) << 5 | (0xFF >> 3));
  EXPECT_THROW(Wide->SetPixelFormat(pfCustom), EInvalidGraphic);
}

TEST(Bitmap, MonochromeFollowsTheCanvasColours) {
  auto Bitmap = ColorStrip();
  Bitmap->Canvas()->Brush()->SetColor(clRed);
  Bitmap->SetMonochrome(true);  // the brush colour becomes white, everything else black
  EXPECT_TRUE(Bitmap->Monochrome());
  EXPECT_EQ(Bitmap->HandleType(), bmDDB);
  EXPECT_EQ(BitsPerPixel(*Bitmap), 1);
  for (int X = 0; X < 8; ++X) EXPECT_EQ(ColorAt(*Bitmap, X, 0), X == 2 ? clWhite : clBlack) << "column " << X;

  // Back to colour: 0 bits take the font colour, 1 bits the brush colour.
  Bitmap->Canvas()->Font()->SetColor(clNavy);
  Bitmap->Canvas()->Brush()->SetColor(clYellow);
  Bitmap->SetMonochrome(false);
  EXPECT_FALSE(Bitmap->Monochrome());
  EXPECT_EQ(ColorAt(*Bitmap, 2, 0), clYellow);
  EXPECT_EQ(ColorAt(*Bitmap, 0, 0), clNavy);
  EXPECT_EQ(ColorAt(*Bitmap, 1, 1), clNavy);

  // Without a canvas the reference is white.
  auto Plain = std::make_unique<TBitmap>();
  Plain->SetMonochrome(true);
  Plain->SetSize(2, 1);
  EXPECT_EQ(BitsPerPixel(*Plain), 1);
  EXPECT_EQ(ColorAt(*Plain, 1, 0), clWhite);  // a new image is white
}

TEST(Bitmap, TransparentColorIsTheBottomLeftPixelUnlessFixed) {
  TBitmap Empty;
  EXPECT_EQ(Empty.TransparentColor(), clDefault);
  auto Bitmap = MakeBitmap(3, 3, pf24bit, clWhite);
  Bitmap->Canvas()->SetPixels(0, 2, clTeal);
  Bitmap->Canvas()->SetPixels(0, 0, clRed);
  EXPECT_EQ(Bitmap->TransparentMode(), tmAuto);
  EXPECT_EQ(Bitmap->TransparentColor(), clTeal);
  Bitmap->SetTransparentColor(clRed);
  EXPECT_EQ(Bitmap->TransparentMode(), tmFixed);
  EXPECT_EQ(Bitmap->TransparentColor(), clRed);
  Bitmap->SetTransparentMode(tmAuto);
  EXPECT_EQ(Bitmap->TransparentColor(), clTeal);
  Bitmap->SetTransparentMode(tmFixed);  // the current corner colour is kept as the fixed one
  Bitmap->Canvas()->SetPixels(0, 2, clBlue);
  EXPECT_EQ(Bitmap->TransparentColor(), clTeal);
}

TEST(Bitmap, MaskIsWhiteWhereTheTransparentColourIs) {
  auto Bitmap = MakeBitmap(3, 2, pf24bit, clFuchsia);
  Bitmap->Canvas()->SetPixels(1, 0, clGreen);
  const HBITMAP Mask = Bitmap->MaskHandle();
  BITMAP Info{};
  ASSERT_NE(GetObject(Mask, sizeof(Info), &Info), 0);
  EXPECT_EQ(Info.bmBitsPixel, 1);
  const HDC DC = CreateCompatibleDC(nullptr);
  const HGDIOBJ Old = SelectObject(DC, Mask);
  EXPECT_EQ(GetPixel(DC, 0, 0), COLORREF(0xFFFFFF));
  EXPECT_EQ(GetPixel(DC, 1, 0), COLORREF(0x000000));
  SelectObject(DC, Old);
  DeleteDC(DC);
  EXPECT_EQ(Bitmap->MaskHandle(), Mask);     // kept
  Bitmap->Canvas()->SetPixels(2, 1, clRed);  // a change drops it
  const HBITMAP Released = Bitmap->ReleaseMaskHandle();
  EXPECT_NE(Released, Mask);
  DeleteObject(Released);
}

TEST(Bitmap, ResizingKeepsTheTopLeftAndFillsWithTheBrush) {
  auto Bitmap = MakeBitmap(2, 2, pf24bit, clRed);
  Bitmap->Canvas()->Brush()->SetColor(clBlue);
  Bitmap->SetSize(3, 3);
  EXPECT_EQ(ColorAt(*Bitmap, 1, 1), clRed);
  EXPECT_EQ(ColorAt(*Bitmap, 2, 0), clBlue);
  EXPECT_EQ(ColorAt(*Bitmap, 0, 2), clBlue);
  Bitmap->SetWidth(1);
  EXPECT_EQ(Bitmap->Width(), 1);
  EXPECT_EQ(ColorAt(*Bitmap, 0, 0), clRed);
  Bitmap->SetHeight(0);  // no pixels: empty, but the width is kept
  EXPECT_TRUE(Bitmap->Empty());
  EXPECT_EQ(Bitmap->Width(), 1);
  EXPECT_EQ(Bitmap->PixelFormat(), pf24bit);
  TBitmap Fresh;  // no canvas yet: white
  Fresh.SetSize(1, 1);
  EXPECT_EQ(ColorAt(Fresh, 0, 0), clWhite);
  EXPECT_EQ(Fresh.PixelFormat(), pfDevice);
}

TEST(Bitmap, DeviceDependentImagesBecomeSectionsForScanLine) {
  auto Bitmap = MakeBitmap(2, 2, pfDevice, clLime);
  EXPECT_EQ(Bitmap->HandleType(), bmDDB);
  BITMAP Info{};
  GetObject(Bitmap->Handle(), sizeof(Info), &Info);
  EXPECT_EQ(Info.bmBits, nullptr);
  auto* Row = static_cast<uint8_t*>(Bitmap->ScanLine(1));
  EXPECT_EQ(Bitmap->HandleType(), bmDIB);
  EXPECT_EQ(Bitmap->PixelFormat(), pf32bit);
  EXPECT_EQ(Row[1], 0xFF);  // green
  Bitmap->SetHandleType(bmDDB);
  EXPECT_EQ(Bitmap->PixelFormat(), pfDevice);
  EXPECT_EQ(ColorAt(*Bitmap, 0, 0), clLime);
}

TEST(Bitmap, FilesRoundTripInTheirOwnLayout) {
  const TPixelFormat Formats[] = {pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit};
  for (TPixelFormat Format : Formats) {
    SCOPED_TRACE(EnumInfoOf<TPixelFormat>().Name(Format));
    auto Bitmap = ColorStrip();
    Bitmap->SetSize(5, 3);  // an odd width pads every row
    Bitmap->SetPixelFormat(Format);
    const std::vector<uint8_t> Bytes = SavedBytes(*Bitmap);
    TBitmap Loaded;
    LoadBytes(Loaded, Bytes);
    EXPECT_EQ(Loaded.PixelFormat(), Format);
    EXPECT_EQ(Loaded.Width(), 5);
    EXPECT_EQ(Loaded.Height(), 3);
    for (int Y = 0; Y < 3; ++Y)
      EXPECT_EQ(std::memcmp(Loaded.ScanLine(Y), Bitmap->ScanLine(Y), size_t(Bitmap->RowBytes())), 0)
          << "row " << Y;
    EXPECT_EQ(SavedBytes(Loaded), Bytes);
  }
}

TEST(Bitmap, WritesTheStandardTwentyFourBitLayout) {
  auto Bitmap = MakeBitmap(3, 2, pf24bit, clWhite);
  Bitmap->Canvas()->SetPixels(0, 0, TColor(0x00030201));  // top-left: red 1, green 2, blue 3
  const std::vector<uint8_t> Bytes = SavedBytes(*Bitmap);
  ASSERT_EQ(Bytes.size(), 54u + 2 * 12);
  EXPECT_EQ(Bytes[0], 'B');
  EXPECT_EQ(Bytes[1], 'M');
  EXPECT_EQ(Le32(Bytes, 2), 78u);   // file size
  EXPECT_EQ(Le32(Bytes, 10), 54u);  // pixels at 54
  EXPECT_EQ(Le32(Bytes, 14), 40u);  // info header
  EXPECT_EQ(Le32(Bytes, 22), 2u);   // positive height: bottom-up
  EXPECT_EQ(Le32(Bytes, 34), 24u);  // image size
  EXPECT_EQ(Le32(Bytes, 46), 0u);   // no colour count
  // The top row is stored last: blue, green, red.
  EXPECT_EQ(Bytes[54 + 12], 3);
  EXPECT_EQ(Bytes[54 + 13], 2);
  EXPECT_EQ(Bytes[54 + 14], 1);
}

TEST(Bitmap, ReadsOtherFileLayouts) {
  // A top-down 8-bit file with a three-colour table.
  std::vector<uint8_t> TopDown = {
      'B',  'M',  0,    0, 0, 0, 0, 0, 0, 0, 66,   0, 0, 0,    40, 0, 0,    0, 2, 0, 0, 0, 0xFE,
      0xFF, 0xFF, 0xFF, 1, 0, 8, 0, 0, 0, 0, 0,    0, 0, 0,    0,  0, 0,    0, 0, 0, 0, 0, 0,
      3,    0,    0,    0, 0, 0, 0, 0, 0, 0, 0xFF, 0, 0, 0xFF, 0,  0, 0xFF, 0, 0, 0,  // red, green, blue
      0,    1,    0,    0, 2, 2, 0, 0};  // rows: red green / blue blue
  TBitmap Bitmap;
  LoadBytes(Bitmap, TopDown);
  EXPECT_EQ(Bitmap.PixelFormat(), pf8bit);
  EXPECT_EQ(ColorAt(Bitmap, 0, 0), clRed);
  EXPECT_EQ(ColorAt(Bitmap, 1, 0), clLime);
  EXPECT_EQ(ColorAt(Bitmap, 0, 1), clBlue);

  // Run-length encoded: read through the general reader into 24 bits.
  std::vector<uint8_t> Rle = {
      'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 62, 0, 0, 0, 40, 0, 0,    0,    4,    0, 0,
      0,   1,   0, 0, 0, 1, 0, 8, 0, 1, 0,  0, 0, 0, 0,  0, 0,    0,    0,    0, 0,
      0,   0,   0, 0, 2, 0, 0, 0, 0, 0, 0,  0, 0, 0, 0,  0, 0xFF, 0xFF, 0xFF, 0,  // black, white
      4,   1,   0, 1};  // four whites, end of picture
  LoadBytes(Bitmap, Rle);
  EXPECT_EQ(Bitmap.Width(), 4);
  EXPECT_EQ(Bitmap.PixelFormat(), pf24bit);
  EXPECT_EQ(ColorAt(Bitmap, 3, 0), clWhite);

  // Faults leave the picture as it was.
  const std::vector<uint8_t> Faults[] = {
      {'B', 'M', 1, 2},                                          // truncated header
      {'X', 'Y', 0, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0},           // not a bitmap
      std::vector<uint8_t>(TopDown.begin(), TopDown.end() - 3),  // rows cut short
  };
  for (const auto& Fault : Faults) {
    EXPECT_THROW(LoadBytes(Bitmap, Fault), EInvalidGraphic);
    EXPECT_EQ(Bitmap.Width(), 4);
  }
}

TEST(Bitmap, DormantImagesComeBack) {
  auto Bitmap = ColorStrip();
  Bitmap->SetPixelFormat(pf8bit);
  const std::vector<uint8_t> Before = SavedBytes(*Bitmap);
  const int Bitmaps = GdiObjectCount(OBJ_BITMAP);
  Bitmap->Dormant();
  EXPECT_FALSE(Bitmap->HandleAllocated());
  EXPECT_FALSE(Bitmap->Empty());
  EXPECT_EQ(Bitmap->Width(), 8);
  EXPECT_EQ(Bitmap->PixelFormat(), pf8bit);
  EXPECT_EQ(GdiObjectCount(OBJ_BITMAP), Bitmaps - 1);
  EXPECT_EQ(PixelOf(*Bitmap, 4, 1), clBlue);  // the canvas brings it back
  EXPECT_TRUE(Bitmap->HandleAllocated());
  EXPECT_EQ(SavedBytes(*Bitmap), Before);
  Bitmap->FreeImage();
}

TEST(Bitmap, HandlesCanBeAdoptedAndReleased) {
  auto Bitmap = MakeBitmap(4, 3, pf24bit, clRed);
  const HBITMAP Handle = Bitmap->ReleaseHandle();
  EXPECT_TRUE(Bitmap->Empty());
  EXPECT_EQ(GetObjectType(Handle), OBJ_BITMAP);
  TBitmap Other;
  int Changes = 0;
  Other.OnChange = TNotifyEvent([&](TObject*) { ++Changes; });
  Other.SetHandle(Handle);
  EXPECT_EQ(Changes, 1);
  EXPECT_EQ(Other.Width(), 4);
  EXPECT_EQ(Other.Height(), 3);
  EXPECT_EQ(Other.PixelFormat(), pf24bit);
  EXPECT_EQ(PixelOf(Other, 3, 2), clRed);
}

TEST(Bitmap, PaletteOfAnIndexedImage) {
  auto Bitmap = ColorStrip();
  EXPECT_EQ(Bitmap->Palette(), nullptr);
  Bitmap->SetPixelFormat(pf4bit);
  const HPALETTE Palette = Bitmap->Palette();
  ASSERT_NE(Palette, nullptr);
  PALETTEENTRY Entries[16]{};
  EXPECT_EQ(GetPaletteEntries(Palette, 0, 16, Entries), 16u);
  EXPECT_EQ(Entries[9].peRed, 0xFF);  // the standard table's bright red
  EXPECT_EQ(Entries[9].peGreen, 0);
}

TEST(Bitmap, AssignCopiesEverything) {
  auto Source = ColorStrip();
  Source->SetPixelFormat(pf8bit);
  Source->SetTransparent(true);
  Source->SetTransparentColor(clBlue);
  TBitmap Copy;
  int Changes = 0;
  Copy.OnChange = TNotifyEvent([&](TObject*) { ++Changes; });
  Copy.Assign(Source.get());
  EXPECT_EQ(Changes, 1);
  EXPECT_EQ(Copy.PixelFormat(), pf8bit);
  EXPECT_TRUE(Copy.Transparent());
  EXPECT_EQ(Copy.TransparentColor(), clBlue);
  EXPECT_EQ(SavedBytes(Copy), SavedBytes(*Source));
  EXPECT_NE(Copy.Handle(), Source->Handle());
  // The copy is independent.
  Source->Canvas()->SetPixels(0, 0, clWhite);
  EXPECT_EQ(ColorAt(Copy, 0, 0), clBlack);

  Copy.Assign(nullptr);
  EXPECT_TRUE(Copy.Empty());
  EXPECT_EQ(Copy.Width(), 0);
  TPen Pen;
  EXPECT_THROW(Copy.Assign(&Pen), EConvertError);
}

TEST(Bitmap, SameSizeAssignReusesTheSection) {
  // A frame per tick: 640 x 480 at 24 bits, assigned over and over.
  auto Frame = MakeBitmap(640, 480, pf24bit, clGray);
  TBitmap Target;
  Target.Assign(Frame.get());
  Target.Canvas()->Pixels(0, 0);  // the target's canvas is in use as well
  const HBITMAP Handle = Target.Handle();
  void* Bits = Target.ScanLine(479);
  const int Objects = GdiObjectCount();
  GLargeAllocation = 640 * 3;  // anything as large as a row
  { std::vector<uint8_t> Probe(640 * 3); }
  ASSERT_EQ(GLargeAllocations, 1);  // the counter sees such allocations
  GLargeAllocations = 0;
  for (int Tick = 0; Tick < 30; ++Tick) {
    static_cast<uint8_t*>(Frame->ScanLine(Tick))[0] = uint8_t(Tick);
    Target.Assign(Frame.get());
  }
  GLargeAllocation = SIZE_MAX;
  EXPECT_EQ(GLargeAllocations, 0);
  EXPECT_EQ(Target.Handle(), Handle);
  EXPECT_EQ(Target.ScanLine(479), Bits);
  EXPECT_EQ(GdiObjectCount(), Objects);
  EXPECT_EQ(static_cast<uint8_t*>(Target.ScanLine(29))[0], 29);
}

TEST(Bitmap, LoadsNamedResources) {
  auto Glyph = MakeBitmap(2, 2, pf24bit, clPurple);
  const std::vector<uint8_t> Bytes = SavedBytes(*Glyph);
  RegisterResourceData("glyphs/kvtestglyph.bmp", Bytes);
  TBitmap Bitmap;
  Bitmap.LoadFromResourceName(nullptr, "KVTESTGLYPH");
  EXPECT_EQ(ColorAt(Bitmap, 1, 1), clPurple);
  EXPECT_THROW(Bitmap.LoadFromResourceName(nullptr, "KVNOSUCHGLYPH"), EResNotFound);
}

TEST(Bitmap, DrawsOntoItsOwnCanvas) {
  // Squeezing a picture into fewer columns of itself, as the watermark code does before it
  // trims the width: the result must equal a squeeze from a separate copy.
  auto Source = MakeRamp(10, 3);
  TBitmap Copy;
  Copy.Assign(Source.get());
  auto Expected = MakeBitmap(10, 3, pf24bit, clWhite);
  Expected->Assign(Source.get());
  Expected->Canvas()->StretchDraw(Rect(0, 0, 8, 3), &Copy);
  Source->Canvas()->StretchDraw(Rect(0, 0, 8, 3), Source.get());
  Source->SetWidth(8);
  Expected->SetWidth(8);
  EXPECT_EQ(MaxChannelDifference(*Source, *Expected), 0);
  // Drawn 1:1 onto itself nothing changes.
  TBitmap Self;
  Self.Assign(Source.get());
  Source->Canvas()->StretchDraw(Rect(0, 0, 8, 3), Source.get());
  EXPECT_EQ(MaxChannelDifference(*Source, Self), 0);
}
