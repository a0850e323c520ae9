// The watermark: a picture file the user chooses, loaded into 24-bit rows of a width that is a
// multiple of 4 and blended into every composed frame at its placement, with the picture's own
// alpha (a PNG that has one) or with one fixed opacity.
//
// JPEG and bitmap files load through the class library; PNG, GIF, TIFF and icon files through
// the picture library, which the program binds only for them. A PNG's alpha map is kept beside
// its pixels. The picture library draws a picture over opaque black, which multiplies each
// colour by its alpha; a PNG with alpha keeps its straight colours instead, since the blend
// applies the alpha itself (drawn over black it would come out darkened twice, with dark fringes
// on every soft edge). When the width is squeezed to a multiple of 4, the alpha map is squeezed
// by the same drawing, so it stays on its pixels.
//
// The blend runs inside the composition and never processes pending messages: a watermark load
// (from the file dialog) can therefore never free the rows a blend is reading.

#include <algorithm>
#include <cmath>
#include <limits>
#include <new>

#include "app/datamodule1.h"
#include "app/formghost.h"
#include "platform/forms/bitmap.h"
#include "platform/forms/canvas.h"
#include "platform/forms/jpegimage.h"
#include "platform/forms/messagebox.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/gdiplus.h"
#include "platform/rtl/fileutils.h"
#include "platform/rtl/scopeexit.h"
#include "platform/rtl/sysutils.h"
#include "platform/shell/modules.h"
#include "platform/shell/shellapi.h"
#include "platform/user/paint.h"
#include "platform/user/winuser.h"

namespace {

const char* const PictureLibraryName = "gdiplus.dll";
// Where a user without the picture library finds it: the packages of the picture formats it
// reads.
const char* const PictureLibraryPage = "https://packages.debian.org/search?keywords=libpng";
const char* const PictureLibraryMessage =
    "PNG, GIF, TIF and ICO pictures need the system's picture library, which is not installed.\n\n"
    "Press OK to open the page where you can download and install it.";

// A spin editor's value truncated toward zero, kept within the range of 64-bit arithmetic (the
// placement editors have no bounds, and a typed value may be anything).
int64_t TruncatedValue(double Value) {
  if (std::isnan(Value)) return 0;
  constexpr double Limit = double(int64_t(1) << 40);
  return int64_t(std::trunc(std::clamp(Value, -Limit, Limit)));
}

void RaiseOnStatus(GpStatus Status, const std::string& FileName) {
  if (Status != Ok)
    throw EInvalidGraphic("The picture \"" + FileName + "\" cannot be read (picture library status " +
                          IntToStr(Status) + ")");
}

// Makes Bitmap a 24-bit picture of Width x Height.
void MakeBitmap(TBitmap& Bitmap, int32_t Width, int32_t Height) {
  Bitmap.Assign(nullptr);
  Bitmap.SetPixelFormat(pf24bit);
  Bitmap.SetSize(Width, Height);
}

// Squeezes a picture horizontally to its width rounded down to a multiple of 4 (by up to three
// columns): it is drawn on its own canvas stretched into the narrower rectangle, then cut there.
void SqueezeToMultipleOf4(TBitmap& Bitmap) {
  const int32_t Width4 = Bitmap.Width() / 4 * 4;
  if (Width4 == Bitmap.Width()) return;
  if (Width4 > 0) Bitmap.Canvas()->StretchDraw(RECT{0, 0, Width4, Bitmap.Height()}, &Bitmap);
  Bitmap.SetWidth(Width4);
}

// What the picture library read: the picture drawn over opaque black into Target and, for a PNG
// that has alpha, its straight colours and the alpha of every pixel (top row first, the
// picture's full width).
struct TLibraryPicture {
  bool HasAlpha = false;
  std::vector<uint8_t> Alpha;
};

TLibraryPicture LoadThroughPictureLibrary(const std::string& FileName, bool Png, TBitmap& Target) {
  TLibraryPicture Result;
  GdiplusStartupInput Input;
  ULONG_PTR Token = 0;
  RaiseOnStatus(GdiplusStartup(&Token, &Input, nullptr), FileName);
  TScopeExit Shutdown([Token] { GdiplusShutdown(Token); });

  GpBitmap* Picture = nullptr;
  RaiseOnStatus(GdipCreateBitmapFromFile(FileName.c_str(), &Picture), FileName);
  TScopeExit Dispose([Picture] { GdipDisposeImage(AsImage(Picture)); });
  UINT Width = 0, Height = 0, Flags = 0;
  RaiseOnStatus(GdipGetImageWidth(AsImage(Picture), &Width), FileName);
  RaiseOnStatus(GdipGetImageHeight(AsImage(Picture), &Height), FileName);

  MakeBitmap(Target, int32_t(Width), int32_t(Height));
  GpGraphics* Graphics = nullptr;
  RaiseOnStatus(GdipCreateFromHDC(Target.Canvas()->Handle(), &Graphics), FileName);
  {
    TScopeExit Delete([Graphics] { GdipDeleteGraphics(Graphics); });
    RaiseOnStatus(GdipGraphicsClear(Graphics, 0xFF000000), FileName);
    RaiseOnStatus(GdipDrawImageI(Graphics, AsImage(Picture), 0, 0), FileName);
  }
  if (!Png) return Result;

  RaiseOnStatus(GdipGetImageFlags(AsImage(Picture), &Flags), FileName);
  Result.HasAlpha = (Flags & ImageFlagsHasAlpha) != 0;
  if (!Result.HasAlpha) return Result;
  Result.Alpha.resize(size_t(Width) * size_t(Height));
  ARGB Last = 0xFF000000;  // a pixel that cannot be read takes the last one read
  for (UINT Row = 0; Row < Height; ++Row) {
    auto* Pixels = static_cast<uint8_t*>(Target.ScanLine(int32_t(Row)));
    for (UINT Column = 0; Column < Width; ++Column) {
      ARGB Color = 0;
      if (GdipBitmapGetPixel(Picture, INT(Column), INT(Row), &Color) == Ok) Last = Color;
      Result.Alpha[size_t(Row) * Width + Column] = uint8_t(Last >> 24);
      uint8_t* Pixel = Pixels + size_t(Column) * 3;
      Pixel[0] = uint8_t(Last);
      Pixel[1] = uint8_t(Last >> 8);
      Pixel[2] = uint8_t(Last >> 16);
    }
  }
  return Result;
}

// The alpha map squeezed as the picture is, bottom row first: the alpha bytes go through a grey
// bitmap of the picture's size and the same squeeze.
std::vector<uint8_t> SqueezedAlpha(const std::vector<uint8_t>& TopDown, int32_t Width, int32_t Height) {
  TBitmap Grey;
  MakeBitmap(Grey, Width, Height);
  for (int32_t Row = 0; Row < Height; ++Row) {
    auto* Pixels = static_cast<uint8_t*>(Grey.ScanLine(Row));
    const uint8_t* Alpha = TopDown.data() + size_t(Row) * size_t(Width);
    for (int32_t Column = 0; Column < Width; ++Column)
      Pixels[Column * 3] = Pixels[Column * 3 + 1] = Pixels[Column * 3 + 2] = Alpha[Column];
  }
  SqueezeToMultipleOf4(Grey);
  const int32_t Width4 = Grey.Width();
  std::vector<uint8_t> BottomUp(size_t(Width4) * size_t(Height));
  for (int32_t Row = 0; Row < Height && Width4 > 0; ++Row) {
    const auto* Pixels = static_cast<const uint8_t*>(Grey.ScanLine(Row));
    uint8_t* Alpha = BottomUp.data() + size_t(Height - 1 - Row) * size_t(Width4);
    for (int32_t Column = 0; Column < Width4; ++Column) Alpha[Column] = Pixels[Column * 3];
  }
  return BottomUp;
}

// The bitmap's pixels as bottom-up 24-bit rows, read through the device layer.
std::vector<uint8_t> BottomUpRows(TBitmap& Bitmap) {
  const int32_t Width = Bitmap.Width(), Height = Bitmap.Height();
  if (Width <= 0 || Height <= 0) return {};
  BITMAPINFO Info{};
  auto Describe = [&] {
    Info.bmiHeader = BITMAPINFOHEADER{};
    Info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    Info.bmiHeader.biWidth = Width;
    Info.bmiHeader.biHeight = Height;
    Info.bmiHeader.biPlanes = 1;
    Info.bmiHeader.biBitCount = 24;
    Info.bmiHeader.biCompression = BI_RGB;
  };
  HDC Screen = GetDC(nullptr);
  TScopeExit Release([Screen] { ReleaseDC(nullptr, Screen); });
  Describe();
  GetDIBits(Screen, Bitmap.Handle(), 0, UINT(Height), nullptr, &Info, DIB_RGB_COLORS);
  size_t Size = Info.bmiHeader.biSizeImage;
  if (Size == 0) Size = size_t((Width * 24 + 31) / 32) * 4 * size_t(Height);
  std::vector<uint8_t> Rows(Size);
  Describe();
  if (GetDIBits(Screen, Bitmap.Handle(), 0, UINT(Height), Rows.data(), &Info, DIB_RGB_COLORS) != Height)
    throw EInvalidGraphic("The watermark's pixels cannot be read");
  return Rows;
}

}  // namespace

// ---- loading ---------------------------------------------------------------------------------

void TFormGhost::LoadWatermark() {
  const std::string Name = Trim(FindOption("Picture file")->EditText());
  if (Name.empty()) return;  // the picture loaded before stays in use

  FWatermarkNotReady = true;
  FWatermarkHasAlpha = false;
  FWatermarkPixels.clear();
  FWatermarkAlpha.clear();
  // Whatever happens below, the transparency row follows the outcome.
  TScopeExit ShowTransparency([this] { InspectorOptionsItems4Items2ItemChanged(nullptr, nullptr, ""); });

  const std::string Extension = UpperCase(ExtractFileExt(Name));
  const bool Png = Extension == ".PNG";
  const bool ThroughLibrary = Png || Extension == ".GIF" || Extension == ".TIF" || Extension == ".ICO";
  HMODULE Library = nullptr;
  if (ThroughLibrary) {
    Library = LoadLibraryA(PictureLibraryName);
    if (!Library) {
      if (MessageBoxA(Handle(), PictureLibraryMessage, "WebCam", MB_OKCANCEL) != IDCANCEL)
        ShellExecuteA(Handle(), "open", PictureLibraryPage, nullptr, nullptr, SW_SHOWNORMAL);
      return;  // not ready: nothing is blended
    }
  }
  TScopeExit FreeLibraryAtEnd([Library] {
    if (Library) FreeLibrary(Library);
  });
  if (!FileExists(Name)) return;

  // A load that fails is logged and drops the watermark until a later load succeeds.
  auto DropWatermark = [this] {
    WriteLog("Load watermark file failed");
    FWatermarkBitmap->Assign(nullptr);
    FWatermarkPixels.clear();
    FWatermarkAlpha.clear();
    FWatermarkHasAlpha = false;
    FWatermarkNotReady = false;
  };

  try {
    if (Extension == ".JPG") {
      TJPEGImage Jpeg;
      Jpeg.LoadFromFile(Name);
      FWatermarkBitmap->Assign(&Jpeg);
    } else if (ThroughLibrary) {
      auto Loaded = std::make_unique<TBitmap>();
      TLibraryPicture Picture = LoadThroughPictureLibrary(Name, Png, *Loaded);
      FWatermarkBitmap = std::move(Loaded);
      if (Picture.HasAlpha) {
        FWatermarkAlpha = SqueezedAlpha(Picture.Alpha, FWatermarkBitmap->Width(), FWatermarkBitmap->Height());
        FWatermarkHasAlpha = true;
      }
    } else {
      FWatermarkBitmap->LoadFromFile(Name);
    }
    SqueezeToMultipleOf4(*FWatermarkBitmap);
    FWatermarkPixels = BottomUpRows(*FWatermarkBitmap);
    FWatermarkNotReady = false;
  } catch (const Exception&) {
    DropWatermark();
  } catch (const std::bad_alloc&) {
    DropWatermark();  // a picture too large for the memory left
  }
}

// ---- blending ----------------------------------------------------------------------------------

void TFormGhost::BlendWatermark(TBitmap* Picture) {
  if (!Picture || !FWatermarkBitmap || FWatermarkNotReady || FWatermarkBitmap->Empty()) return;
  if (!FindOption("Enable picture stamp")->IsChecked()) return;
  const int32_t Width = Picture->Width(), Height = Picture->Height();
  const int32_t MarkWidth = FWatermarkBitmap->Width(), MarkHeight = FWatermarkBitmap->Height();
  if (Width <= 0 || Height <= 0) return;
  // Rows that do not match the picture's size (a load that failed half-way) are never read.
  if (FWatermarkPixels.size() < size_t(MarkWidth) * 3 * size_t(MarkHeight)) return;
  if (FWatermarkHasAlpha && FWatermarkAlpha.size() < size_t(MarkWidth) * size_t(MarkHeight)) return;

  const TWatermarkPicture Mark{FWatermarkPixels.data(), FWatermarkHasAlpha ? FWatermarkAlpha.data() : nullptr,
                               MarkWidth, MarkHeight};
  // The placement is the watermark's left edge and its top edge measured down from the frame's
  // top; the frame rows count from the bottom.
  const int64_t X0 = TruncatedValue(kvDBSpinEditPicturePlacementHorizontal->Value());
  const int64_t Y0 =
      TruncatedValue(double(Height) - double(MarkHeight) - kvDBSpinEditPicturePlacementVertical->Value());
  float Opacity = 1;
  if (FindOption("Enable picture transparency")->IsChecked())
    Opacity = std::clamp(float(kvDBSpinEditTransperarency->Value() * 0.01), 0.0f, 1.0f);

  if (!FWatermarkBlender) FWatermarkBlender = std::make_unique<TWatermarkBlender>();
  if (Picture->PixelFormat() == pf24bit) {
    // The frame's own rows, blended in place.
    auto* Bottom = static_cast<uint8_t*>(Picture->ScanLine(Height - 1));
    const ptrdiff_t Stride = Height > 1 ? static_cast<uint8_t*>(Picture->ScanLine(Height - 2)) - Bottom : 0;
    FWatermarkBlender->Blend(TWatermarkFrame{Bottom, Stride, Width, Height}, Mark, X0, Y0, Opacity);
    return;
  }
  // Another layout: through bottom-up 24-bit rows kept from one frame to the next.
  BITMAPINFO Info{};
  Info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  Info.bmiHeader.biWidth = Width;
  Info.bmiHeader.biHeight = Height;
  Info.bmiHeader.biPlanes = 1;
  Info.bmiHeader.biBitCount = 24;
  Info.bmiHeader.biCompression = BI_RGB;
  const size_t RowBytes = size_t((Width * 24 + 31) / 32) * 4;
  std::vector<uint8_t>& Rows = FWatermarkBlender->FrameScratch();
  if (Rows.size() < RowBytes * size_t(Height)) Rows.resize(RowBytes * size_t(Height));
  HDC Screen = GetDC(nullptr);
  TScopeExit Release([Screen] { ReleaseDC(nullptr, Screen); });
  if (GetDIBits(Screen, Picture->Handle(), 0, UINT(Height), Rows.data(), &Info, DIB_RGB_COLORS) != Height)
    return;  // unreadable: this frame goes without the watermark
  FWatermarkBlender->Blend(TWatermarkFrame{Rows.data(), ptrdiff_t(RowBytes), Width, Height}, Mark, X0, Y0,
                           Opacity);
  SetDIBits(Screen, Picture->Handle(), 0, UINT(Height), Rows.data(), &Info, DIB_RGB_COLORS);
}

// ---- the options of the "Watermark" group ------------------------------------------------------

// "Enable picture stamp": the watermark action shows the same state.
void TFormGhost::InspectorOptionsItems4Items0ItemChanged(TkvDataInspector*, TkvInspectorItem*,
                                                         const std::string&) {
  DataModule1->ActionMark->SetChecked(FindOption("Enable picture stamp")->IsChecked());
  RefreshMainImage(false);
}

// The fixed opacity is offered only where it applies: transparency enabled, and a picture
// without an alpha map of its own.
void TFormGhost::InspectorOptionsItems4Items2ItemChanged(TkvDataInspector*, TkvInspectorItem*,
                                                         const std::string&) {
  FindOption("Picture transperarency")
      ->SetVisible(FindOption("Enable picture transparency")->IsChecked() && !FWatermarkHasAlpha);
}

// "Enable picture transparency".
void TFormGhost::InspectorOptionsItems4Items3ItemChanged(TkvDataInspector* Sender, TkvInspectorItem* Item,
                                                         const std::string& NewValue) {
  InspectorOptionsItems4Items2ItemChanged(Sender, Item, NewValue);
}

void TFormGhost::kvDBSpinEditTransperarencyChange(TObject*) {
  RefreshMainImage(false);
}

void TFormGhost::kvDBComboDlgPictureStampCustomDlg(TObject*) {
  const std::string Folder = GetCurrentDir();
  TOpenPictureDialog* Dialog = DataModule1->OpenPictureDialogPictureStamp;
  Dialog->SetInitialDir(ProgramFolder());
  Dialog->SetFileName(kvDBComboDlgPictureStamp->Text());
  if (Dialog->Execute() && FileExists(Dialog->FileName())) {
    kvDBComboDlgPictureStamp->SetText(Dialog->FileName());
    FindOption("Picture file")->SetEditText(kvDBComboDlgPictureStamp->Text());
    LoadWatermark();
  }
  InspectorOptions->Refresh();
  SetCurrentDir(Folder);
}

// The file name is chosen through the dialog only.
void TFormGhost::kvDBComboDlgPictureStampKeyPress(TObject*, char32_t& Key) {
  Key = 0;
}
