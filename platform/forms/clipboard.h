#pragma once
// TClipboard: text and pictures passed between controls (and, with a display, other programs).
// Headless the clipboard is a store inside the process; the display back end hands the same
// content to the desktop's clipboard. Setting one format replaces what was there, unless the
// setting happens between Open and Close, which groups several formats into one content.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/classes/persistent.h"
#include "platform/rtl/wintypes.h"
#include "platform/user/desktopservices.h"

class TBitmap;

// Clipboard formats.
constexpr UINT CF_TEXT = 1;
constexpr UINT CF_BITMAP = 2;
constexpr UINT CF_DIB = 8;
constexpr UINT CF_UNICODETEXT = 13;

// Where the content goes beyond the process: the display back end's selections, installed as
// the desktop's clipboard store (TClipboardStore, SetClipboardStore, GetClipboardStore in
// desktopservices.h). While one is installed the clipboard writes through to it and reads from
// it; without one the clipboard keeps the content itself. Text or a picture that another program
// put there and that the store refuses for its size raises from AsText, Bitmap and AssignTo
// with a message for the user.

class TClipboard : public TPersistent {
  KORCAM_CLASS(TClipboard, TPersistent)

 public:
  TClipboard();
  ~TClipboard() override;

  void Open();
  void Close();
  void Clear();

  bool HasFormat(UINT Format) const;
  int FormatCount() const { return int(FFormats.size()); }
  UINT Formats(int Index) const { return FFormats.at(size_t(Index)); }

  // UTF-8 text; empty when there is no text.
  std::string AsText() const;
  void SetAsText(const std::string& Value);

  // A bitmap, or a picture or graphic (converted to a bitmap), becomes the clipboard's picture.
  void Assign(TPersistent* Source) override;
  // The picture (nullptr when there is none). The clipboard keeps it.
  TBitmap* Bitmap();
  // Changes every time the content changes (for back ends that mirror it).
  uint32_t SequenceNumber() const { return FSequence; }

 protected:
  // Into a TBitmap or a TPicture.
  void AssignTo(TPersistent* Dest) override;

 private:
  void BeginChange();
  void EndChange();
  void AddFormat(UINT Format);
  void PushToStore();

  int FOpenCount = 0;
  bool FClearedInOpen = false;
  std::vector<UINT> FFormats;
  std::string FText;
  std::unique_ptr<TBitmap> FBitmap;
  uint32_t FSequence = 0;
};

// The program's clipboard, made on first use.
TClipboard* Clipboard();
// Puts another clipboard in place (a back end's, or a test's); returns the old one, which the
// caller then owns (nullptr the first time).
TClipboard* SetClipboard(TClipboard* NewClipboard);
