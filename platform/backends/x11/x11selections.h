#pragma once
// Internal to the X11 back end: owning and reading the X selections (see x11clipboard.h for what
// the program sees). Text travels as UTF-8 (UTF8_STRING, text/plain;charset=utf-8), or Latin-1
// for the old STRING target; pictures as PNG files (image/png), read back from PNG, BMP, JPEG,
// GIF or TIFF, whichever the owner offers first.

#include <optional>
#include <string>
#include <vector>

#include "platform/gdi/imagefile/bgraimage.h"

#include "platform/backends/x11/x11connection.h"

namespace X11Impl {

class TX11Selections {
 public:
  explicit TX11Selections(TX11Connection& Connection);
  ~TX11Selections();
  TX11Selections(const TX11Selections&) = delete;
  TX11Selections& operator=(const TX11Selections&) = delete;

  bool SetText(Atom Selection, const std::string& Text);
  bool SetImage(Atom Selection, const TBgraImage& Image);
  void Clear(Atom Selection);
  std::optional<std::string> GetText(Atom Selection);
  std::optional<TBgraImage> GetImage(Atom Selection);
  std::vector<Atom> Targets(Atom Selection);

  // Requests for our content and the loss of a selection; false for other events.
  bool HandleEvent(XEvent& Event);

 private:
  struct TContent {
    bool Owned = false;
    Time Since = 0;
    bool HasText = false;
    std::string Text;
    bool HasImage = false;
    TBgraImage Image;
    std::vector<uint8_t> Png;  // encoded on the first request
  };
  // What a conversion request brought back.
  struct TReceived {
    Atom Type = 0;
    int Format = 0;
    std::vector<uint8_t> Bytes;        // format 8 and 16
    std::vector<unsigned long> Items;  // format 32
  };

  TContent* ContentOf(Atom Selection);
  bool Own(Atom Selection, TContent Content);
  std::vector<Atom> OfferedTargets(const TContent& Content) const;
  void Answer(const XSelectionRequestEvent& Request);
  bool Convert(Atom Selection, Atom Target, TReceived& Result);
  bool ReadTransfer(TReceived& Result, bool& Incremental);

  TX11Connection& FConnection;
  TContent FClipboard;
  TContent FPrimary;
};

}  // namespace X11Impl
