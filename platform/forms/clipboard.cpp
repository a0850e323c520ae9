#include "platform/forms/clipboard.h"

#include <algorithm>

#include "platform/forms/bitmap.h"
#include "platform/forms/canvas.h"
#include "platform/forms/graphic.h"
#include "platform/forms/picture.h"

KORCAM_REGISTER_CLASS(TClipboard)

namespace {

TClipboard*& CurrentClipboard() {
  static TClipboard* Instance = nullptr;
  return Instance;
}

}  // namespace

TClipboard* Clipboard() {
  if (!CurrentClipboard()) CurrentClipboard() = new TClipboard();
  return CurrentClipboard();
}

TClipboard* SetClipboard(TClipboard* NewClipboard) {
  TClipboard* Old = CurrentClipboard();
  CurrentClipboard() = NewClipboard;
  return Old;
}

TClipboard::TClipboard() = default;
TClipboard::~TClipboard() = default;

void TClipboard::Open() {
  if (FOpenCount++ == 0) FClearedInOpen = false;
}

void TClipboard::Close() {
  if (FOpenCount == 0) return;
  if (--FOpenCount == 0 && FClearedInOpen) {
    ++FSequence;
    PushToStore();
  }
}

void TClipboard::PushToStore() {
  TClipboardStore* Store = GetClipboardStore();
  if (!Store) return;
  if (FFormats.empty()) {
    Store->Clear();
    return;
  }
  if (std::find(FFormats.begin(), FFormats.end(), CF_TEXT) != FFormats.end() && !FBitmap)
    Store->SetText(FText);
  if (FBitmap) {
    // The store takes 32-bit rows, top first.
    TBitmap Rows;
    Rows.Assign(FBitmap.get());
    Rows.SetPixelFormat(pf32bit);
    std::vector<uint32_t> Pixels(size_t(Rows.Width()) * size_t(Rows.Height()));
    for (int Y = 0; Y < Rows.Height(); ++Y) {
      const auto* Row = static_cast<const uint32_t*>(Rows.ScanLine(Y));
      for (int X = 0; X < Rows.Width(); ++X)
        Pixels[size_t(Y) * size_t(Rows.Width()) + size_t(X)] = Row[X] & 0xFFFFFF;
    }
    Store->SetPicture(Rows.Width(), Rows.Height(), Pixels);
  }
}

std::string TClipboard::AsText() const {
  if (TClipboardStore* Store = GetClipboardStore())
    if (std::optional<std::string> Text = Store->Text()) return *Text;
  return FText;
}

TBitmap* TClipboard::Bitmap() {
  TClipboardStore* Store = GetClipboardStore();
  int Width = 0, Height = 0;
  std::vector<uint32_t> Pixels;
  if (Store && Store->HasPicture() && Store->Picture(Width, Height, Pixels) && Width > 0 && Height > 0) {
    // What another program put there becomes our copy.
    auto Made = std::make_unique<TBitmap>();
    Made->SetPixelFormat(pf32bit);
    Made->SetSize(Width, Height);
    for (int Y = 0; Y < Height; ++Y) {
      auto* Row = static_cast<uint32_t*>(Made->ScanLine(Y));
      for (int X = 0; X < Width; ++X) Row[X] = Pixels[size_t(Y) * size_t(Width) + size_t(X)];
    }
    FBitmap = std::move(Made);
  }
  return FBitmap.get();
}

void TClipboard::BeginChange() {
  Open();
  // The first change inside one Open..Close replaces the old content; later ones add to it.
  if (!FClearedInOpen) {
    FFormats.clear();
    FText.clear();
    FBitmap.reset();
    FClearedInOpen = true;
  }
}

void TClipboard::EndChange() {
  Close();
}

void TClipboard::Clear() {
  Open();
  FFormats.clear();
  FText.clear();
  FBitmap.reset();
  FClearedInOpen = true;
  Close();
}

void TClipboard::AddFormat(UINT Format) {
  if (std::find(FFormats.begin(), FFormats.end(), Format) == FFormats.end()) FFormats.push_back(Format);
}

bool TClipboard::HasFormat(UINT Format) const {
  if (TClipboardStore* Store = GetClipboardStore()) {
    if (Format == CF_TEXT || Format == CF_UNICODETEXT) return Store->HasText();
    if (Format == CF_BITMAP || Format == CF_DIB) return Store->HasPicture();
  }
  // Text is offered in both text formats, a picture as a bitmap and as a DIB.
  for (UINT Have : FFormats) {
    if (Have == Format) return true;
    if (Have == CF_TEXT && Format == CF_UNICODETEXT) return true;
    if (Have == CF_BITMAP && Format == CF_DIB) return true;
  }
  return false;
}

void TClipboard::SetAsText(const std::string& Value) {
  BeginChange();
  FText = Value;
  AddFormat(CF_TEXT);
  EndChange();
}

void TClipboard::Assign(TPersistent* Source) {
  auto Copy = std::make_unique<TBitmap>();
  if (auto* Picture = dynamic_cast<TPicture*>(Source)) {
    if (!Picture->Graphic()) {
      Clear();
      return;
    }
    Source = Picture->Graphic();
  }
  if (auto* Graphic = dynamic_cast<TGraphic*>(Source)) {
    if (auto* Bitmap = dynamic_cast<TBitmap*>(Graphic)) {
      Copy->Assign(Bitmap);
    } else {
      Copy->SetSize(Graphic->Width(), Graphic->Height());
      Copy->Canvas()->Draw(0, 0, Graphic);
    }
    BeginChange();
    FBitmap = std::move(Copy);
    AddFormat(CF_BITMAP);
    EndChange();
    return;
  }
  TPersistent::Assign(Source);
}

void TClipboard::AssignTo(TPersistent* Dest) {
  TBitmap* Source = Bitmap();
  if (auto* Target = dynamic_cast<TBitmap*>(Dest)) {
    if (Source)
      Target->Assign(Source);
    else
      Target->SetSize(0, 0);
    return;
  }
  if (auto* Picture = dynamic_cast<TPicture*>(Dest)) {
    Picture->SetGraphic(Source);
    return;
  }
  TPersistent::AssignTo(Dest);
}
