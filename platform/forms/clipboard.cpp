#include "platform/forms/clipboard.h"

#include <algorithm>

#include "platform/forms/bitmap.h"
#include "platform/forms/canvas.h"
#include "platform/forms/graphic.h"
#include "platform/forms/picture.h"

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
  if (--FOpenCount == 0 && FClearedInOpen) ++FSequence;
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

void TClipboard::EndChange() { Close(); }

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
  if (auto* Bitmap = dynamic_cast<TBitmap*>(Dest)) {
    if (FBitmap)
      Bitmap->Assign(FBitmap.get());
    else
      Bitmap->SetSize(0, 0);
    return;
  }
  if (auto* Picture = dynamic_cast<TPicture*>(Dest)) {
    Picture->SetGraphic(FBitmap.get());
    return;
  }
  TPersistent::AssignTo(Dest);
}
