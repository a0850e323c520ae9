// The drag-and-drop engine (dragdrop.h): the loop that follows the pointer, the targets asked
// on the way, and the small window that carries the drag image.

#include "platform/forms/dragdrop.h"

#include <cstdlib>

#include "platform/forms/hintwindow.h"
#include "platform/forms/imagelistapi.h"
#include "platform/forms/wincontrol.h"
#include "platform/gdi/gdi.h"
#include "platform/rtl/scopeexit.h"
#include "platform/user/user.h"

namespace {

// The drag image beside the pointer: a top-most window that hits pass through.
class TDragImageWindow : public THintWindow {
 public:
  TDragImageWindow(HIMAGELIST List) : THintWindow(nullptr), FList(List) {}

 protected:
  void CreateParams(TCreateParams& Params) override {
    THintWindow::CreateParams(Params);
    Params.Style = WS_POPUP;
  }
  void Paint() override {
    RECT Client = ClientRect();
    Canvas()->Brush()->SetStyle(bsSolid);
    Canvas()->Brush()->SetColor(clWindow);
    Canvas()->FillRect(Client);
    ImageList_Draw(FList, 0, Canvas()->Handle(), 0, 0, ILD_TRANSPARENT);
  }

 private:
  HIMAGELIST FList;
};

TDragObject* Current = nullptr;
bool EndRequested = false;
bool DropRequested = false;

// The control under a screen point that takes part in dragging, and the point in its client
// coordinates.
TControl* ClientAt(POINT Screen, POINT& Local) {
  HWND Window = WindowFromPoint(Screen);
  TWinControl* Windowed = nullptr;
  for (HWND Walk = Window; Walk && !Windowed; Walk = GetParent(Walk)) Windowed = TWinControl::FindControl(Walk);
  if (!Windowed) return nullptr;
  TControl* Control = Windowed;
  POINT Point = Windowed->ScreenToClient(Screen);
  if (TControl* Child = Windowed->ControlAtPos(Point, false); Child && dynamic_cast<TDragClient*>(Child)) {
    Control = Child;
    Point = Child->ScreenToClient(Screen);
  }
  // Up the parents to one that takes part.
  while (Control && !dynamic_cast<TDragClient*>(Control)) {
    Control = Control->Parent();
    if (Control) Point = Control->ScreenToClient(Screen);
  }
  Local = Point;
  return Control;
}

}  // namespace

bool IsDragging(const TControl* Control) { return Current && Current->Source == Control; }

void EndDrag(bool Drop) {
  if (!Current) return;
  EndRequested = true;
  DropRequested = Drop;
}

void BeginDrag(TControl* Source, bool Immediate, int Threshold, const POINT* From) {
  auto* Client = dynamic_cast<TDragClient*>(Source);
  auto* Windowed = dynamic_cast<TWinControl*>(Source);
  if (!Windowed && Source) Windowed = Source->Parent();
  if (!Client || !Windowed || Current) return;
  HWND Window = Windowed->Handle();
  if (Threshold < 0) Threshold = GetSystemMetrics(SM_CXDRAG);
  POINT Start{};
  if (From) Start = *From;
  else GetCursorPos(&Start);
  SetCapture(Window);
  const TScopeExit Release([Window] {
    if (GetCapture() == Window) ReleaseCapture();
  });

  TDragObject Drag;
  Drag.Source = Source;
  Drag.Position = Start;
  bool Started = false;
  TDragImageWindow* Image = nullptr;
  POINT HotSpot{};
  const auto Life = Source->LifeToken();
  const TScopeExit Finish([&] {
    if (Image) Image->Free();
    if (Current == &Drag) Current = nullptr;
    EndRequested = DropRequested = false;
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
  });

  auto StartDrag = [&] {
    Started = true;
    Current = &Drag;
    Client->DragStarting(Drag);
    if (!Life->Alive) return;
    if (HIMAGELIST List = Client->DragImage(HotSpot)) {
      int Width = 0, Height = 0;
      ImageList_GetIconSize(List, &Width, &Height);
      Image = new TDragImageWindow(List);
      Image->ActivateHint(RECT{Drag.Position.x - HotSpot.x, Drag.Position.y - HotSpot.y,
                               Drag.Position.x - HotSpot.x + Width, Drag.Position.y - HotSpot.y + Height},
                          std::string());
    }
  };
  auto Move = [&](POINT Screen) {
    Drag.Position = Screen;
    // The image sits under the pointer: it steps aside while the control there is found.
    if (Image) SetWindowPos(Image->Handle(), nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE |
                                                                      SWP_NOZORDER | SWP_NOACTIVATE);
    POINT Local{};
    TControl* Target = ClientAt(Screen, Local);
    if (Image)
      SetWindowPos(Image->Handle(), HWND_TOPMOST, Screen.x - HotSpot.x, Screen.y - HotSpot.y, 0, 0,
                   SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    if (Target != Drag.Target) {
      if (Drag.Target) {
        bool Ignored = false;
        const POINT Old = Drag.Target->ScreenToClient(Screen);
        dynamic_cast<TDragClient*>(Drag.Target)->DragOverTarget(Drag, Old.x, Old.y, dsDragLeave, Ignored);
        if (!Life->Alive) return;
      }
      Drag.Target = Target;
      Drag.Accepted = false;
      if (Target) dynamic_cast<TDragClient*>(Target)->DragOverTarget(Drag, Local.x, Local.y, dsDragEnter, Drag.Accepted);
    } else if (Target) {
      Drag.Accepted = false;
      dynamic_cast<TDragClient*>(Target)->DragOverTarget(Drag, Local.x, Local.y, dsDragMove, Drag.Accepted);
    }
    SetCursor(LoadCursorA(nullptr, Drag.Accepted ? IDC_ARROW : IDC_NO));
  };
  auto End = [&](bool Drop) {
    if (!Started) return;
    POINT Local{};
    TControl* Target = Drop && Drag.Target && Drag.Accepted ? Drag.Target : nullptr;
    if (Target) {
      Local = Target->ScreenToClient(Drag.Position);
      dynamic_cast<TDragClient*>(Target)->DragDropTarget(Drag, Local.x, Local.y);
    } else if (Drag.Target) {
      bool Ignored = false;
      const POINT Old = Drag.Target->ScreenToClient(Drag.Position);
      dynamic_cast<TDragClient*>(Drag.Target)->DragOverTarget(Drag, Old.x, Old.y, dsDragLeave, Ignored);
    }
    if (Life->Alive) Client->DragEnded(Drag, Target, Local.x, Local.y);
  };

  POINT Now{};
  GetCursorPos(&Now);
  // Immediate, or measured from an earlier point that the pointer has already left.
  if (Immediate || std::abs(Now.x - Start.x) >= Threshold || std::abs(Now.y - Start.y) >= Threshold) {
    StartDrag();
    if (!Life->Alive) return;
    Move(Now);
    if (!Life->Alive) return;
  }
  for (;;) {
    if (!Life->Alive) return;
    if (EndRequested) {
      End(DropRequested);
      return;
    }
    if (GetCapture() != Window) {
      End(false);
      return;
    }
    MSG Message{};
    if (!PeekMessageA(&Message, nullptr, 0, 0, PM_REMOVE)) {
      if (GetAsyncKeyState(VK_LBUTTON) >= 0) {
        End(true);
        return;
      }
      WaitMessage();
      continue;
    }
    if (Message.message == WM_QUIT) {
      PostQuitMessage(int(Message.wParam));
      End(false);
      return;
    }
    POINT Screen{};
    GetCursorPos(&Screen);
    const bool Far = std::abs(Screen.x - Start.x) >= Threshold || std::abs(Screen.y - Start.y) >= Threshold;
    switch (Message.message) {
      case WM_MOUSEMOVE:
        if (!Started && Far) {
          StartDrag();
          if (!Life->Alive) return;
        }
        if (Started) Move(Screen);
        break;
      case WM_LBUTTONUP:
        // Moves may have come together: a release far from the start is a drop there.
        if (!Started && Far) {
          StartDrag();
          if (!Life->Alive) return;
        }
        if (Started) {
          Move(Screen);
          if (!Life->Alive) return;
        }
        End(true);
        return;
      case WM_RBUTTONDOWN:
      case WM_KEYDOWN:
        if (Message.message == WM_RBUTTONDOWN || Message.wParam == VK_ESCAPE) {
          End(false);
          return;
        }
        break;
      default:
        if (Message.message >= WM_MOUSEFIRST && Message.message <= WM_MOUSELAST) break;
        TranslateMessage(&Message);
        DispatchMessageA(&Message);
        break;
    }
  }
}
