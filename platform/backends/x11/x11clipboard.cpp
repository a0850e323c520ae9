// The X selections: answering other programs' requests for our content, and asking for theirs.

#include "platform/backends/x11/x11clipboard.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <exception>

#include "platform/gdi/imagefile/imagefile.h"
#include "platform/gdi/imagefile/pngfile.h"
#include "platform/rtl/clock.h"
#include "platform/rtl/unicode.h"

#include "platform/backends/x11/x11parts.h"
#include "platform/backends/x11/x11selections.h"

namespace X11Impl {

namespace {

constexpr unsigned ReplyTimeout = 2000;
// A requestor that has not asked for the next piece for this long has given up.
constexpr uint64_t StalledTransfer = 10000;
// What another program may hand us through a selection. Bigger content is refused, however it
// comes: in one reply or in pieces, of which an owner could send without end.
constexpr size_t DefaultIncomingLimit = size_t(128) << 20;
// A transfer in pieces ends within this time, however slowly its owner sends them.
constexpr uint64_t IncomingTransferTime = 30000;
// Pictures taken from other programs: at most 32 million pixels (an 8K screen's worth), so a
// small compressed file cannot unpack into gigabytes.
constexpr TImageLimits PastedPictureLimits{16384, 16384, int64_t(1) << 25};

std::string Utf8ToLatin1(const std::string& Text) {
  std::string Result;
  size_t Index = 0;
  while (Index < Text.size()) {
    char32_t Code = Utf8Decode(Text, Index);
    Result.push_back(Code < 256 ? char(Code) : '?');
  }
  return Result;
}

std::string Latin1ToUtf8(const std::vector<uint8_t>& Bytes) {
  std::string Result;
  for (uint8_t Byte : Bytes) Utf8Append(Result, char32_t(Byte));
  return Result;
}

struct TNotifyMatch {
  ::Window Requestor;
  Atom Selection;
};

bool IsSelectionNotify(const XEvent& Event, const void* Context) {
  const TNotifyMatch* Match = static_cast<const TNotifyMatch*>(Context);
  return Event.type == SelectionNotify && Event.xselection.requestor == Match->Requestor &&
         Event.xselection.selection == Match->Selection;
}

struct TPieceMatch {
  ::Window Requestor;
  Atom Property;
};

bool IsNewPiece(const XEvent& Event, const void* Context) {
  const TPieceMatch* Match = static_cast<const TPieceMatch*>(Context);
  return Event.type == PropertyNotify && Event.xproperty.window == Match->Requestor &&
         Event.xproperty.atom == Match->Property && Event.xproperty.state == PropertyNewValue;
}

}  // namespace

TX11Selections::TX11Selections(TX11Connection& Connection) : FConnection(Connection) {}

TX11Selections::~TX11Selections() = default;

TX11Selections::TContent* TX11Selections::ContentOf(Atom Selection) {
  if (Selection == FConnection.Atoms().Clipboard) return &FClipboard;
  if (Selection == XA_PRIMARY) return &FPrimary;
  return nullptr;
}

bool TX11Selections::Own(Atom Selection, TContent Content) {
  TContent* Slot = ContentOf(Selection);
  if (!Slot || FConnection.Lost()) return false;
  Display* Server = FConnection.Get();
  Time Now = FConnection.ServerTime();
  XSetSelectionOwner(Server, Selection, FConnection.HelperWindow(), Now);
  if (XGetSelectionOwner(Server, Selection) != FConnection.HelperWindow()) {
    // The server ignores a claim older than the current owner's: another program took the
    // selection after our last event (a copy made by the program, not by a key). Claim it with
    // the server's time now.
    Now = FConnection.FreshServerTime();
    XSetSelectionOwner(Server, Selection, FConnection.HelperWindow(), Now);
  }
  if (XGetSelectionOwner(Server, Selection) != FConnection.HelperWindow()) {
    *Slot = TContent{};
    return false;
  }
  Content.Owned = true;
  Content.Since = Now;
  *Slot = std::move(Content);
  return true;
}

bool TX11Selections::SetText(Atom Selection, const std::string& Text) {
  TContent Content;
  Content.HasText = true;
  Content.Text = Text;
  return Own(Selection, std::move(Content));
}

bool TX11Selections::SetImage(Atom Selection, const TBgraImage& Image) {
  if (Image.Empty()) return false;
  TContent Content;
  Content.HasImage = true;
  Content.Image = Image;
  return Own(Selection, std::move(Content));
}

void TX11Selections::Clear(Atom Selection) {
  TContent* Slot = ContentOf(Selection);
  if (!Slot || !Slot->Owned) return;
  if (!FConnection.Lost()) XSetSelectionOwner(FConnection.Get(), Selection, 0, FConnection.ServerTime());
  *Slot = TContent{};
}

std::vector<Atom> TX11Selections::OfferedTargets(const TContent& Content) const {
  const TAtoms& Atoms = FConnection.Atoms();
  std::vector<Atom> Targets{Atoms.Targets, Atoms.Timestamp};
  if (Content.HasText) {
    Targets.insert(Targets.end(), {Atoms.Utf8String, Atoms.TextPlainUtf8, Atoms.Text, Atom(XA_STRING), Atoms.TextPlain});
  }
  if (Content.HasImage) Targets.push_back(Atoms.ImagePng);
  return Targets;
}

bool TX11Selections::HandleEvent(XEvent& Event) {
  if (Event.type == PropertyNotify || Event.type == DestroyNotify) {
    // Only what concerns a transfer is taken; the rest stays for the window's other listeners
    // (a requestor may be any window, even the root).
    ::Window Target = Event.type == PropertyNotify ? Event.xproperty.window : Event.xdestroywindow.window;
    bool Taken = false;
    for (size_t Index = 0; Index < FOutgoing.size();) {
      TOutgoing& Transfer = FOutgoing[Index];
      if (Transfer.Requestor != Target) {
        ++Index;
        continue;
      }
      if (Event.type == DestroyNotify) {
        // The requestor went away: nobody reads the rest.
        FOutgoing.erase(FOutgoing.begin() + ptrdiff_t(Index));
        continue;
      }
      if (Event.xproperty.atom != Transfer.Property) {
        ++Index;
        continue;
      }
      // Deleting the property asks for the next piece; our own writes notify too and are ignored.
      Taken = true;
      if (Event.xproperty.state == PropertyDelete && SendPiece(Transfer)) {
        EndTransfer(Index);
        continue;
      }
      ++Index;
    }
    DropStalled();
    if (Taken) return true;
  }
  if (Event.type == SelectionRequest) {
    if (Event.xselectionrequest.owner != FConnection.HelperWindow()) return false;
    Answer(Event.xselectionrequest);
    return true;
  }
  if (Event.type == SelectionClear) {
    if (Event.xselectionclear.window != FConnection.HelperWindow()) return false;
    // Another program took the selection over: our copy is no longer what it holds.
    TContent* Slot = ContentOf(Event.xselectionclear.selection);
    if (Slot && Slot->Owned && Event.xselectionclear.time >= Slot->Since) *Slot = TContent{};
    return true;
  }
  return false;
}

void TX11Selections::Answer(const XSelectionRequestEvent& Request) {
  Display* Server = FConnection.Get();
  const TAtoms& Atoms = FConnection.Atoms();
  XEvent Notice{};
  Notice.xselection.type = SelectionNotify;
  Notice.xselection.requestor = Request.requestor;
  Notice.xselection.selection = Request.selection;
  Notice.xselection.target = Request.target;
  Notice.xselection.time = Request.time;
  Notice.xselection.property = 0;
  // Old clients name no property: the target's name is used then.
  Atom Property = Request.property ? Request.property : Request.target;
  TContent* Content = ContentOf(Request.selection);
  bool Answered = false;
  if (Content && Content->Owned && (Request.time == CurrentTime || Request.time >= Content->Since)) {
    Atom Target = Request.target;
    auto Put = [&](Atom Type, const void* Data, size_t Bytes) {
      Reply(Request.requestor, Property, Type, std::string(static_cast<const char*>(Data), Bytes));
      Answered = true;
    };
    if (Target == Atoms.Targets) {
      std::vector<Atom> Offered = OfferedTargets(*Content);
      std::vector<long> Items(Offered.begin(), Offered.end());
      XChangeProperty(Server, Request.requestor, Property, XA_ATOM, 32, PropModeReplace,
                      reinterpret_cast<unsigned char*>(Items.data()), int(Items.size()));
      Answered = true;
    } else if (Target == Atoms.Timestamp) {
      long Since = long(Content->Since);
      XChangeProperty(Server, Request.requestor, Property, XA_INTEGER, 32, PropModeReplace,
                      reinterpret_cast<unsigned char*>(&Since), 1);
      Answered = true;
    } else if (Content->HasText && (Target == Atoms.Utf8String || Target == Atoms.Text)) {
      Put(Atoms.Utf8String, Content->Text.data(), Content->Text.size());
    } else if (Content->HasText && Target == Atoms.TextPlainUtf8) {
      Put(Atoms.TextPlainUtf8, Content->Text.data(), Content->Text.size());
    } else if (Content->HasText && (Target == XA_STRING || Target == Atoms.TextPlain)) {
      std::string Latin = Utf8ToLatin1(Content->Text);
      Put(Target, Latin.data(), Latin.size());
    } else if (Content->HasImage && Target == Atoms.ImagePng) {
      if (Content->Png.empty()) {
        try {
          TPixelView View = Content->Image.View();
          if (!Content->Image.HasAlpha) View.Format = TPixelLayout::Bgrx32;
          Content->Png = EncodePng(View);
        } catch (const std::exception&) {
          Content->Png.clear();
        }
      }
      if (!Content->Png.empty()) Put(Atoms.ImagePng, Content->Png.data(), Content->Png.size());
    }
  }
  if (Answered) Notice.xselection.property = Property;
  XSendEvent(Server, Request.requestor, False, NoEventMask, &Notice);
}

size_t TX11Selections::IncomingLimit() const { return FIncomingLimit ? FIncomingLimit : DefaultIncomingLimit; }

size_t TX11Selections::PieceBytes() const {
  if (FPieceBytes) return FPieceBytes;
  // The biggest property one request can carry, less room for the request's own fields.
  Display* Server = FConnection.Get();
  long MaxRequest = XExtendedMaxRequestSize(Server);
  if (MaxRequest == 0) MaxRequest = XMaxRequestSize(Server);
  return size_t(MaxRequest) * 4 - 1024;
}

void TX11Selections::Reply(::Window Requestor, Atom Property, Atom Type, std::string Data) {
  Display* Server = FConnection.Get();
  if (Data.size() <= PieceBytes()) {
    XChangeProperty(Server, Requestor, Property, Type, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(Data.data()), int(Data.size()));
    return;
  }
  // A second request into the same property replaces the transfer that ran there.
  for (size_t Index = 0; Index < FOutgoing.size(); ++Index)
    if (FOutgoing[Index].Requestor == Requestor && FOutgoing[Index].Property == Property) {
      FOutgoing.erase(FOutgoing.begin() + ptrdiff_t(Index));
      break;
    }
  DropStalled();
  // Watch the requestor's properties before announcing the transfer, so that its first deletion
  // (which starts the transfer) cannot come before we listen; its end drops the transfer. What
  // we listened to on that window before comes back when the last transfer to it ends.
  long PreviousMask = -1;
  for (const TOutgoing& Other : FOutgoing)
    if (Other.Requestor == Requestor) PreviousMask = Other.PreviousMask;
  if (PreviousMask < 0) {
    XWindowAttributes Attributes{};
    TErrorTrap Trap(Server);
    PreviousMask = XGetWindowAttributes(Server, Requestor, &Attributes) ? Attributes.your_event_mask : NoEventMask;
    Trap.Sync();
  }
  XSelectInput(Server, Requestor, PreviousMask | PropertyChangeMask | StructureNotifyMask);
  // The announcement carries a lower bound of the size.
  long Size = long(std::min<size_t>(Data.size(), LONG_MAX));
  XChangeProperty(Server, Requestor, Property, FConnection.Atoms().Incr, 32, PropModeReplace,
                  reinterpret_cast<unsigned char*>(&Size), 1);
  TOutgoing Transfer;
  Transfer.Requestor = Requestor;
  Transfer.Property = Property;
  Transfer.Type = Type;
  Transfer.PreviousMask = PreviousMask;
  Transfer.Data = std::move(Data);
  Transfer.LastProgress = Clock().TickCount();
  FOutgoing.push_back(std::move(Transfer));
}

bool TX11Selections::SendPiece(TOutgoing& Transfer) {
  size_t Count = std::min(PieceBytes(), Transfer.Data.size() - Transfer.Sent);
  XChangeProperty(FConnection.Get(), Transfer.Requestor, Transfer.Property, Transfer.Type, 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(Transfer.Data.data() + Transfer.Sent), int(Count));
  Transfer.Sent += Count;
  Transfer.LastProgress = Clock().TickCount();
  // The empty piece after the last one ends the transfer.
  return Count == 0;
}

void TX11Selections::EndTransfer(size_t Index) {
  ::Window Requestor = FOutgoing[Index].Requestor;
  long PreviousMask = FOutgoing[Index].PreviousMask;
  FOutgoing.erase(FOutgoing.begin() + ptrdiff_t(Index));
  for (const TOutgoing& Other : FOutgoing)
    if (Other.Requestor == Requestor) return;
  // The requestor may be gone by now: errors of untrapped requests are dropped.
  if (!FConnection.Lost()) XSelectInput(FConnection.Get(), Requestor, PreviousMask);
}

void TX11Selections::DropStalled() {
  uint64_t Now = Clock().TickCount();
  for (size_t Index = 0; Index < FOutgoing.size();) {
    if (Now - FOutgoing[Index].LastProgress > StalledTransfer)
      EndTransfer(Index);
    else
      ++Index;
  }
}

bool TX11Selections::ReadTransfer(TReceived& Result, bool& Incremental) {
  Display* Server = FConnection.Get();
  const Atom Property = FConnection.Atoms().Transfer;
  Atom Type = 0;
  int Format = 0;
  unsigned long Count = 0, After = 0;
  unsigned char* Data = nullptr;
  Incremental = false;
  // Asked for one unit more than may come: what is left after that is too much.
  const size_t Limit = IncomingLimit();
  const size_t Held = Result.Bytes.size() + Result.Items.size() * 4;
  const long Room = long((Limit - std::min(Held, Limit)) / 4 + 1);
  if (XGetWindowProperty(Server, FConnection.HelperWindow(), Property, 0, Room, True, AnyPropertyType, &Type,
                         &Format, &Count, &After, &Data) != Success)
    return false;
  if (Type == FConnection.Atoms().Incr) {
    // The owner sends the content in pieces, each after we delete the previous one (deleting
    // the INCR property just now started it). The announcement names at least the size.
    Incremental = true;
    if (Format == 32 && Count >= 1 && Data && size_t(reinterpret_cast<const long*>(Data)[0]) > Limit)
      Result.TooLarge = true;
    if (Data) XFree(Data);
    return !Result.TooLarge;
  }
  const size_t Bytes = size_t(Count) * size_t(Format == 32 ? 4 : Format / 8);
  if (After > 0 || Held + Bytes > Limit) {
    // Not deleted by the read when something is left: the owner must not take that as a request
    // for more.
    XDeleteProperty(Server, FConnection.HelperWindow(), Property);
    if (Data) XFree(Data);
    Result.TooLarge = true;
    return false;
  }
  Result.Type = Type;
  Result.Format = Format;
  if (Data) {
    if (Format == 32) {
      const long* Items = reinterpret_cast<const long*>(Data);
      for (unsigned long I = 0; I < Count; ++I) Result.Items.push_back(static_cast<unsigned long>(Items[I]));
    } else {
      Result.Bytes.insert(Result.Bytes.end(), Data, Data + Bytes);
    }
    XFree(Data);
  }
  return Type != 0;
}

bool TX11Selections::Convert(Atom Selection, Atom Target, TReceived& Result) {
  if (FConnection.Lost()) return false;
  Display* Server = FConnection.Get();
  ::Window Helper = FConnection.HelperWindow();
  Atom Property = FConnection.Atoms().Transfer;
  XDeleteProperty(Server, Helper, Property);
  XConvertSelection(Server, Selection, Target, Property, Helper, FConnection.ServerTime());
  TNotifyMatch Match{Helper, Selection};
  XEvent Event;
  if (!FConnection.WaitForEvent(IsSelectionNotify, &Match, Event, ReplyTimeout)) return false;
  if (Event.xselection.property == 0) return false;
  bool Incremental = false;
  if (!ReadTransfer(Result, Incremental)) return false;
  if (!Incremental) return true;
  TPieceMatch Piece{Helper, Property};
  const uint64_t Deadline = Clock().TickCount() + IncomingTransferTime;
  for (;;) {
    const uint64_t Now = Clock().TickCount();
    if (Now >= Deadline) return false;
    if (!FConnection.WaitForEvent(IsNewPiece, &Piece, Event, unsigned(std::min<uint64_t>(ReplyTimeout, Deadline - Now))))
      return false;
    // The piece is read behind what came so far, so the limit counts all of it.
    TReceived Part;
    Part.Bytes.swap(Result.Bytes);
    Part.Items.swap(Result.Items);
    const size_t Before = Part.Bytes.size() + Part.Items.size();
    bool Again = false;
    const bool Read = ReadTransfer(Part, Again);
    Result.Bytes.swap(Part.Bytes);
    Result.Items.swap(Part.Items);
    if (Part.TooLarge) {
      Result.TooLarge = true;
      return false;
    }
    // A notice of the INCR property itself may still be queued: no piece there yet.
    if (!Read) continue;
    // An empty piece ends the transfer.
    if (Result.Bytes.size() + Result.Items.size() == Before) return Result.Type != 0;
    Result.Type = Part.Type;
    Result.Format = Part.Format;
  }
}

std::vector<Atom> TX11Selections::Targets(Atom Selection) {
  std::vector<Atom> Result;
  TContent* Ours = ContentOf(Selection);
  if (Ours && Ours->Owned) return OfferedTargets(*Ours);
  if (FConnection.Lost() || !XGetSelectionOwner(FConnection.Get(), Selection)) return Result;
  TReceived Received;
  if (Convert(Selection, FConnection.Atoms().Targets, Received) && Received.Format == 32)
    for (unsigned long Item : Received.Items) Result.push_back(Atom(Item));
  return Result;
}

std::optional<std::string> TX11Selections::GetText(Atom Selection) {
  TContent* Ours = ContentOf(Selection);
  if (Ours && Ours->Owned) {
    if (Ours->HasText) return Ours->Text;
    return std::nullopt;
  }
  if (FConnection.Lost() || !XGetSelectionOwner(FConnection.Get(), Selection)) return std::nullopt;
  const TAtoms& Atoms = FConnection.Atoms();
  for (Atom Target : {Atoms.Utf8String, Atoms.TextPlainUtf8, Atom(XA_STRING)}) {
    TReceived Received;
    const bool Converted = Convert(Selection, Target, Received);
    if (Received.TooLarge) throw EInvalidOperation("The text on the clipboard is too large to paste");
    if (!Converted || Received.Format != 8) continue;
    if (Received.Type == XA_STRING) return Latin1ToUtf8(Received.Bytes);
    std::string Text(Received.Bytes.begin(), Received.Bytes.end());
    // Some owners end their text with a zero byte.
    while (!Text.empty() && Text.back() == '\0') Text.pop_back();
    return Text;
  }
  return std::nullopt;
}

std::optional<TBgraImage> TX11Selections::GetImage(Atom Selection) {
  TContent* Ours = ContentOf(Selection);
  if (Ours && Ours->Owned) {
    if (Ours->HasImage) return Ours->Image;
    return std::nullopt;
  }
  std::vector<Atom> Offered = Targets(Selection);
  Display* Server = FConnection.Get();
  // In order of preference: lossless with alpha first. A picture too large in one format is too
  // large in every other.
  for (const char* Name : {"image/png", "image/bmp", "image/x-bmp", "image/jpeg", "image/gif", "image/tiff"}) {
    Atom Target = XInternAtom(Server, Name, False);
    if (std::find(Offered.begin(), Offered.end(), Target) == Offered.end()) continue;
    TReceived Received;
    const bool Converted = Convert(Selection, Target, Received);
    if (Received.TooLarge) throw EGraphicTooLarge("The picture on the clipboard is too large to paste");
    if (!Converted || Received.Bytes.empty()) continue;
    try {
      return DecodeImage(Received.Bytes, TImageFileFormat::Unknown, PastedPictureLimits);
    } catch (const EGraphicTooLarge&) {
      throw EGraphicTooLarge("The picture on the clipboard is too large to paste");
    } catch (const std::exception&) {
      continue;
    }
  }
  return std::nullopt;
}

}  // namespace X11Impl

// ---- the public functions --------------------------------------------------------------------

using namespace X11Impl;

namespace {

Atom SelectionAtom(const TX11Parts& Parts, TX11Selection Selection) {
  return Selection == TX11Selection::Clipboard ? Parts.Connection->Atoms().Clipboard : Atom(XA_PRIMARY);
}

}  // namespace

bool X11SetSelectionText(TX11Selection Selection, const std::string& Text) {
  const TX11Parts* Parts = RunningParts();
  return Parts && Parts->Selections->SetText(SelectionAtom(*Parts, Selection), Text);
}

bool X11SetSelectionImage(TX11Selection Selection, const TBgraImage& Image) {
  const TX11Parts* Parts = RunningParts();
  return Parts && Parts->Selections->SetImage(SelectionAtom(*Parts, Selection), Image);
}

void X11ClearSelection(TX11Selection Selection) {
  if (const TX11Parts* Parts = RunningParts()) Parts->Selections->Clear(SelectionAtom(*Parts, Selection));
}

std::optional<std::string> X11GetSelectionText(TX11Selection Selection) {
  const TX11Parts* Parts = RunningParts();
  if (!Parts) return std::nullopt;
  return Parts->Selections->GetText(SelectionAtom(*Parts, Selection));
}

std::optional<TBgraImage> X11GetSelectionImage(TX11Selection Selection) {
  const TX11Parts* Parts = RunningParts();
  if (!Parts) return std::nullopt;
  return Parts->Selections->GetImage(SelectionAtom(*Parts, Selection));
}

std::vector<std::string> X11SelectionFormats(TX11Selection Selection) {
  std::vector<std::string> Names;
  const TX11Parts* Parts = RunningParts();
  if (!Parts) return Names;
  for (Atom Target : Parts->Selections->Targets(SelectionAtom(*Parts, Selection))) {
    if (char* Name = XGetAtomName(Parts->Connection->Get(), Target)) {
      Names.emplace_back(Name);
      XFree(Name);
    }
  }
  return Names;
}

bool X11SelectionHasText(TX11Selection Selection) {
  for (const std::string& Name : X11SelectionFormats(Selection))
    if (Name == "UTF8_STRING" || Name == "STRING" || Name == "text/plain;charset=utf-8") return true;
  return false;
}

bool X11SelectionHasImage(TX11Selection Selection) {
  for (const std::string& Name : X11SelectionFormats(Selection))
    if (Name.rfind("image/", 0) == 0) return true;
  return false;
}
