#pragma once
// Internal to the X11 back end: owning and reading the X selections (see x11clipboard.h for what
// the program sees). Text travels as UTF-8 (UTF8_STRING, text/plain;charset=utf-8), or Latin-1
// for the old STRING target; pictures as PNG files (image/png), read back from PNG, BMP, JPEG,
// GIF or TIFF, whichever the owner offers first.
//
// Content bigger than the server's largest request cannot be written into a requestor's property
// at once; it goes out in pieces (INCR): the reply names the size, and each time the requestor
// deletes the property the next piece is written, until an empty piece ends the transfer.
// Several transfers may run at once; each follows its requestor's pace through the event pump,
// and one whose requestor goes away or stops reading is dropped.

#include <cstddef>
#include <cstdint>
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

  // Requests for our content, the loss of a selection and the progress of transfers in pieces;
  // false for other events.
  bool HandleEvent(XEvent& Event);

  // The size of the pieces of a transfer (0, the default: the server's largest request less a
  // margin for the request's own header). Content above it goes in pieces.
  void SetPieceBytes(size_t Bytes) { FPieceBytes = Bytes; }
  size_t PieceBytes() const;
  // Transfers in pieces still running.
  size_t OutgoingCount() const { return FOutgoing.size(); }
  // The most another program may hand us in one transfer (0, the default: 128 MB). More is
  // refused: getting then raises (see x11clipboard.h).
  void SetIncomingLimit(size_t Bytes) { FIncomingLimit = Bytes; }
  size_t IncomingLimit() const;

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
    bool TooLarge = false;             // refused: more than may come in (see x11clipboard.cpp)
  };

  // A transfer in pieces to one requestor's property.
  struct TOutgoing {
    ::Window Requestor = 0;
    Atom Property = 0;
    Atom Type = 0;
    long PreviousMask = 0;  // what we listened to on the requestor before
    std::string Data;
    size_t Sent = 0;
    uint64_t LastProgress = 0;  // tick of the last piece, to drop a requestor that stopped reading
  };

  TContent* ContentOf(Atom Selection);
  bool Own(Atom Selection, TContent Content);
  std::vector<Atom> OfferedTargets(const TContent& Content) const;
  void Answer(const XSelectionRequestEvent& Request);
  // Asks the owner for the selection as Target; false when nothing came (or too much: TooLarge).
  bool Convert(Atom Selection, Atom Target, TReceived& Result);
  // Takes the transfer property, appending to what Result holds.
  bool ReadTransfer(TReceived& Result, bool& Incremental);
  // Writes Data as the answer: at once, or as the start of a transfer in pieces.
  void Reply(::Window Requestor, Atom Property, Atom Type, std::string Data);
  // The next piece after the requestor deleted the last one; true when the transfer is over.
  bool SendPiece(TOutgoing& Transfer);
  void EndTransfer(size_t Index);
  void DropStalled();

  TX11Connection& FConnection;
  TContent FClipboard;
  TContent FPrimary;
  std::vector<TOutgoing> FOutgoing;
  size_t FPieceBytes = 0;
  size_t FIncomingLimit = 0;
};

}  // namespace X11Impl
