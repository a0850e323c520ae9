#pragma once
// Other programs' side of the X selections, for tests: an owner that answers on a thread of its
// own (in pieces when its content is big), and a reader that takes a selection step by step.

#include <poll.h>

#include <algorithm>
#include <atomic>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "tests/platform/backends/x11/x11fixture.h"

namespace X11Test {

// Another program that owns a selection, answering requests on a thread of its own (ours blocks
// in the request meanwhile). Content above PieceSize goes in INCR pieces, as big clipboards do;
// an owner that Understates announces them as a single byte, whatever follows.
class TOtherOwner {
 public:
  TOtherOwner(const std::string& DisplayName, const char* Selection, std::map<std::string, std::string> Content,
              size_t PieceSize = 65536, bool Understates = false)
      : FContent(std::move(Content)), FPieceSize(PieceSize), FUnderstates(Understates) {
    FDisplay = XOpenDisplay(DisplayName.c_str());
    FSelection = XInternAtom(FDisplay, Selection, False);
    FWindow = XCreateSimpleWindow(FDisplay, DefaultRootWindow(FDisplay), 0, 0, 1, 1, 0, 0, 0);
    XSetSelectionOwner(FDisplay, FSelection, FWindow, CurrentTime);
    XSync(FDisplay, False);
    FThread = std::thread([this] { Serve(); });
  }
  ~TOtherOwner() {
    FStop = true;
    FThread.join();
    XDestroyWindow(FDisplay, FWindow);
    XCloseDisplay(FDisplay);
  }

 private:
  struct TTransfer {
    ::Window Requestor;
    Atom Property;
    Atom Type;
    std::string Data;
    size_t Sent = 0;
    bool Done = false;
  };

  void Serve() {
    while (!FStop) {
      pollfd Watch{XConnectionNumber(FDisplay), POLLIN, 0};
      poll(&Watch, 1, 10);
      while (XPending(FDisplay) > 0) {
        XEvent Event;
        XNextEvent(FDisplay, &Event);
        if (Event.type == SelectionRequest) Answer(Event.xselectionrequest);
        if (Event.type == PropertyNotify && Event.xproperty.state == PropertyDelete) NextPiece(Event.xproperty);
      }
    }
  }

  void Answer(const XSelectionRequestEvent& Request) {
    XEvent Reply{};
    Reply.xselection.type = SelectionNotify;
    Reply.xselection.requestor = Request.requestor;
    Reply.xselection.selection = Request.selection;
    Reply.xselection.target = Request.target;
    Reply.xselection.time = Request.time;
    char* Name = XGetAtomName(FDisplay, Request.target);
    std::string Target = Name;
    XFree(Name);
    if (Target == "TARGETS") {
      std::vector<long> Atoms;
      for (const auto& Entry : FContent) Atoms.push_back(long(XInternAtom(FDisplay, Entry.first.c_str(), False)));
      XChangeProperty(FDisplay, Request.requestor, Request.property, XA_ATOM, 32, PropModeReplace,
                      reinterpret_cast<unsigned char*>(Atoms.data()), int(Atoms.size()));
      Reply.xselection.property = Request.property;
    } else if (FContent.count(Target)) {
      const std::string& Data = FContent[Target];
      Reply.xselection.property = Request.property;
      if (Data.size() > FPieceSize) {
        XSelectInput(FDisplay, Request.requestor, PropertyChangeMask);
        long Size = FUnderstates ? 1 : long(Data.size());
        XChangeProperty(FDisplay, Request.requestor, Request.property, XInternAtom(FDisplay, "INCR", False), 32,
                        PropModeReplace, reinterpret_cast<unsigned char*>(&Size), 1);
        FTransfers.push_back(TTransfer{Request.requestor, Request.property, Request.target, Data});
      } else {
        XChangeProperty(FDisplay, Request.requestor, Request.property, Request.target, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(Data.data()), int(Data.size()));
      }
    }
    XSendEvent(FDisplay, Request.requestor, False, NoEventMask, &Reply);
    XFlush(FDisplay);
  }

  void NextPiece(const XPropertyEvent& Event) {
    for (TTransfer& Transfer : FTransfers) {
      if (Transfer.Done || Transfer.Requestor != Event.window || Transfer.Property != Event.atom) continue;
      size_t Count = std::min(FPieceSize, Transfer.Data.size() - Transfer.Sent);
      XChangeProperty(FDisplay, Transfer.Requestor, Transfer.Property, Transfer.Type, 8, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(Transfer.Data.data() + Transfer.Sent), int(Count));
      Transfer.Sent += Count;
      // The empty piece after the last one ends the transfer.
      if (Count == 0) Transfer.Done = true;
      XFlush(FDisplay);
    }
  }

  Display* FDisplay = nullptr;
  Atom FSelection = 0;
  ::Window FWindow = 0;
  std::map<std::string, std::string> FContent;
  size_t FPieceSize;
  bool FUnderstates;
  std::vector<TTransfer> FTransfers;
  std::atomic<bool> FStop{false};
  std::thread FThread;
};

// Another program reading a selection that may come in pieces, one step at a time, so that
// several readers can run at once while our message loop answers them.
class TPieceReader {
 public:
  // The requestor is a window of its own, or the one given (which it leaves alone at the end).
  TPieceReader(TOtherClient& Other, const char* Selection, const char* Target, ::Window Requestor = 0)
      : FOther(Other), FBorrowed(Requestor != 0) {
    Display* Server = FOther.Get();
    FWindow = Requestor ? Requestor : XCreateSimpleWindow(Server, FOther.Root(), 0, 0, 1, 1, 0, 0, 0);
    // Listening before asking: the pieces are announced as property changes.
    XSelectInput(Server, FWindow, PropertyChangeMask);
    FProperty = FOther.Intern("TEST_PIECES");
    XConvertSelection(Server, FOther.Intern(Selection), FOther.Intern(Target), FProperty, FWindow, CurrentTime);
    XFlush(Server);
  }
  ~TPieceReader() { GoAway(); }
  // The requestor window goes, as when the other program quits in the middle.
  void GoAway() {
    if (!FWindow) return;
    if (!FBorrowed) XDestroyWindow(FOther.Get(), FWindow);
    XSync(FOther.Get(), False);
    FWindow = 0;
  }

  // Takes what has arrived; true once the content is complete or refused.
  bool Poll() {
    Display* Server = FOther.Get();
    XEvent Event;
    if (!FNotified) {
      if (!XCheckTypedWindowEvent(Server, FWindow, SelectionNotify, &Event)) return false;
      FNotified = true;
      if (!Event.xselection.property) return Finished = true;
      std::string Type;
      std::string Bytes = Take(&Type);
      if (Type != "INCR") {
        Data = Bytes;
        TypeName = Type;
        return Finished = true;
      }
      // Taking the announcement (reading it with delete) started the transfer.
      Incremental = true;
      return false;
    }
    while (!Finished && XCheckTypedWindowEvent(Server, FWindow, PropertyNotify, &Event)) {
      if (Event.xproperty.atom != FProperty || Event.xproperty.state != PropertyNewValue) continue;
      std::string Type;
      std::string Piece = Take(&Type);
      // The notice of the announcement itself comes first: the property is gone by now.
      if (Type.empty()) continue;
      TypeName = Type;
      if (Piece.empty()) {
        Finished = true;
      } else {
        Data += Piece;
        ++Pieces;
      }
    }
    return Finished;
  }

  std::string Data;
  std::string TypeName;
  bool Incremental = false;
  bool Finished = false;
  int Pieces = 0;

 private:
  std::string Take(std::string* Type) {
    Atom Actual = 0;
    int Format = 0;
    unsigned long Count = 0, After = 0;
    unsigned char* Bytes = nullptr;
    std::string Result;
    XGetWindowProperty(FOther.Get(), FWindow, FProperty, 0, 1 << 24, True, AnyPropertyType, &Actual, &Format,
                       &Count, &After, &Bytes);
    if (Bytes) {
      if (Format == 8) Result.assign(reinterpret_cast<char*>(Bytes), Count);
      XFree(Bytes);
    }
    if (Actual) {
      char* Name = XGetAtomName(FOther.Get(), Actual);
      *Type = Name;
      XFree(Name);
    }
    return Result;
  }

  TOtherClient& FOther;
  ::Window FWindow = 0;
  Atom FProperty = 0;
  bool FNotified = false;
  bool FBorrowed = false;
};

}  // namespace X11Test
