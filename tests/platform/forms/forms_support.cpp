#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "forms_fixture.h"
#include "platform/forms/imagecodec.h"

KORCAM_REGISTER_CLASS(TGraphicsHolder)

TGraphicsHolder::TGraphicsHolder(TComponent* AOwner) : TComponent(AOwner) {
  FFont = std::make_unique<TFont>();
  FPicture = std::make_unique<TPicture>();
  FGlyph = std::make_unique<TBitmap>();
}

void TGraphicsHolder::SetFont(TFont* Value) {
  FFont->Assign(Value);
}
void TGraphicsHolder::SetPicture(TPicture* Value) {
  FPicture->Assign(Value);
}
void TGraphicsHolder::SetGlyph(TBitmap* Value) {
  FGlyph->Assign(Value);
}

std::unique_ptr<TBitmap> MakeBitmap(int Width, int Height, TPixelFormat Format, TColor Fill) {
  auto Bitmap = std::make_unique<TBitmap>();
  Bitmap->SetPixelFormat(Format);
  Bitmap->SetSize(Width, Height);
  Bitmap->Canvas()->Brush()->SetColor(Fill);
  Bitmap->Canvas()->FillRect(Rect(0, 0, Width, Height));
  return Bitmap;
}

TColor PixelOf(TBitmap& Bitmap, int X, int Y) {
  return Bitmap.Canvas()->Pixels(X, Y);
}

std::string ScratchPath(const std::string& Name) {
  // One folder per test process, removed when the process ends so runs do not pile up in /tmp.
  struct TScratchFolder {
    std::filesystem::path Path =
        std::filesystem::temp_directory_path() / ("korcam-forms-" + std::to_string(::getpid()));
    TScratchFolder() { std::filesystem::create_directories(Path); }
    ~TScratchFolder() {
      std::error_code Ignored;
      std::filesystem::remove_all(Path, Ignored);
    }
  };
  static const TScratchFolder Folder;
  return (Folder.Path / Name).string();
}

std::string SavePng(TBitmap& Bitmap, const std::string& Name, int Scale) {
  const char* Env = std::getenv("KORCAM_TEST_IMAGES");
  const std::filesystem::path Folder = Env && *Env ? Env : "/tmp/korcam-forms-images";
  std::filesystem::create_directories(Folder);
  const std::string Path = (Folder / (Name + ".png")).string();
  const int W = Bitmap.Width() * Scale, H = Bitmap.Height() * Scale;
  std::vector<uint8_t> Pixels(size_t(W) * size_t(H) * 4);
  for (int Y = 0; Y < H; ++Y)
    for (int X = 0; X < W; ++X) {
      const TColor C = PixelOf(Bitmap, X / Scale, Y / Scale);
      uint8_t* P = Pixels.data() + (size_t(Y) * size_t(W) + size_t(X)) * 4;
      P[0] = uint8_t(C >> 16), P[1] = uint8_t(C >> 8), P[2] = uint8_t(C), P[3] = 255;
    }
  imagecodec::SavePng(Path, Pixels.data(), ptrdiff_t(W) * 4, W, H, 4);
  return Path;
}

std::vector<uint8_t> MakeIconFile(int Width, int Height, const std::function<uint32_t(int, int)>& Argb) {
  std::vector<uint8_t> Bytes;
  auto Put16 = [&](uint32_t V) { Bytes.push_back(uint8_t(V)), Bytes.push_back(uint8_t(V >> 8)); };
  auto Put32 = [&](uint32_t V) { Put16(V & 0xFFFF), Put16(V >> 16); };
  const uint32_t MaskRow = ((uint32_t(Width) + 31) / 32) * 4;
  const uint32_t ImageBytes = 40 + uint32_t(Width * Height * 4) + MaskRow * uint32_t(Height);
  Put16(0), Put16(1), Put16(1);  // directory: icons, one entry
  Bytes.push_back(uint8_t(Width)), Bytes.push_back(uint8_t(Height)), Bytes.push_back(0), Bytes.push_back(0);
  Put16(1), Put16(32), Put32(ImageBytes), Put32(22);
  Put32(40), Put32(uint32_t(Width)), Put32(uint32_t(Height * 2)), Put16(1), Put16(32);
  for (int i = 0; i < 6; ++i) Put32(0);
  for (int Y = Height - 1; Y >= 0; --Y)
    for (int X = 0; X < Width; ++X) Put32(Argb(X, Y));
  Bytes.insert(Bytes.end(), size_t(MaskRow) * size_t(Height), 0);  // alpha decides
  return Bytes;
}

std::unique_ptr<TBitmap> MakeRamp(int Width, int Height) {
  auto Bitmap = MakeBitmap(Width, Height, pf24bit, clWhite);
  for (int Y = 0; Y < Height; ++Y) {
    auto* Row = static_cast<uint8_t*>(Bitmap->ScanLine(Y));
    for (int X = 0; X < Width; ++X) {
      Row[3 * X] = uint8_t(40 + X * 150 / Width);
      Row[3 * X + 1] = uint8_t(60 + Y * 120 / Height);
      Row[3 * X + 2] = uint8_t(200 - (X + Y) * 80 / (Width + Height));
    }
  }
  return Bitmap;
}

int MaxChannelDifference(TBitmap& A, TBitmap& B) {
  int Result = 0;
  for (int Y = 0; Y < A.Height(); ++Y) {
    const auto* RowA = static_cast<const uint8_t*>(A.ScanLine(Y));
    const auto* RowB = static_cast<const uint8_t*>(B.ScanLine(Y));
    for (int X = 0; X < A.Width() * 3; ++X) Result = std::max(Result, std::abs(int(RowA[X]) - int(RowB[X])));
  }
  return Result;
}
