// Invalidation and painting: the paint protocol's messages, the order windows paint in, and the
// pixels windows leave in their top-level window's backing store (clipping of children and
// siblings, window regions, scrolling).

#include <map>

#include "platform/gdi/brush.h"
#include "platform/gdi/shapes.h"
#include "tests/platform/user/messagelog.h"

using namespace UserTest;

namespace {

constexpr COLORREF Red = RGB(255, 0, 0);
constexpr COLORREF Green = RGB(0, 255, 0);
constexpr COLORREF Blue = RGB(0, 0, 255);
constexpr COLORREF Grey = RGB(128, 128, 128);

// Each window fills what it is asked to paint with its own colour.
class PaintTest : public TUserTest {
 protected:
  void SetUp() override {
    TUserTest::SetUp();
    Log.Responder = [this](HWND Window, UINT Message, WPARAM, LPARAM) -> std::optional<LRESULT> {
      if (Message != WM_PAINT || !Colors.count(Window)) return std::nullopt;
      PAINTSTRUCT Paint;
      HDC DC = BeginPaint(Window, &Paint);
      HBRUSH Brush = CreateSolidBrush(Colors[Window]);
      RECT Client{};
      GetClientRect(Window, &Client);
      FillRect(DC, &Client, Brush);
      DeleteObject(Brush);
      LastPaint[Window] = Paint.rcPaint;
      EndPaint(Window, &Paint);
      return 0;
    };
  }
  HWND Make(DWORD Style, int X, int Y, int Width, int Height, HWND Parent, COLORREF Color, DWORD ExStyle = 0) {
    HWND Window = CreateTestWindow(ExStyle, Style, X, Y, Width, Height, Parent);
    Colors[Window] = Color;
    return Window;
  }
  // The colour at a point of a window (window coordinates) as its top-level store holds it.
  COLORREF At(HWND Window, int X, int Y) {
    std::vector<uint32_t> Pixels;
    int Width = 0, Height = 0;
    if (!CopyWindowPixels(Window, Pixels, Width, Height) || X >= Width || Y >= Height) return CLR_INVALID;
    uint32_t Pixel = Pixels[size_t(Y) * size_t(Width) + size_t(X)];
    return RGB(BYTE(Pixel >> 16), BYTE(Pixel >> 8), BYTE(Pixel));
  }
  std::vector<HWND> Painted() const {
    std::vector<HWND> Result;
    for (const TLoggedMessage& Entry : Log.Entries())
      if (Entry.Message == WM_PAINT) Result.push_back(Entry.Window);
    return Result;
  }
  std::map<HWND, COLORREF> Colors;
  std::map<HWND, RECT> LastPaint;
};

// InvalidateRect(erase) on a visible window, then the queue: WM_PAINT, whose BeginPaint erases.
constexpr TExpectedMessage InvalidateErase[] = {
    {SeparatorMessage, Sent},
    {WM_PAINT, Posted},
    {WM_ERASEBKGND, Sent},
};

TEST_F(PaintTest, UpdateRegionProtocol) {
  HWND Window = Make(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr, Red);
  Drain();
  RECT Update{};
  EXPECT_FALSE(GetUpdateRect(Window, &Update, FALSE));

  Log.Clear();
  RECT Part{10, 10, 30, 20};
  InvalidateRect(Window, &Part, TRUE);
  RECT Other{50, 50, 60, 70};
  InvalidateRect(Window, &Other, FALSE);
  EXPECT_TRUE(GetUpdateRect(Window, &Update, FALSE));
  EXPECT_EQ(Update, (RECT{10, 10, 60, 70}));
  SendSeparatorAndDrain(Window);
  ExpectSequence(Log, InvalidateErase, "InvalidateRect with erase");
  EXPECT_EQ(LastPaint[Window], (RECT{10, 10, 60, 70}));
  EXPECT_FALSE(GetUpdateRect(Window, &Update, FALSE));

  // Validated parts are not painted; an empty update region makes no WM_PAINT.
  InvalidateRect(Window, &Part, FALSE);
  ValidateRect(Window, nullptr);
  Log.Clear();
  Drain();
  EXPECT_TRUE(Painted().empty());
  // A hidden window collects nothing.
  ShowWindow(Window, SW_HIDE);
  Drain();
  InvalidateRect(Window, nullptr, TRUE);
  EXPECT_FALSE(GetUpdateRect(Window, &Update, FALSE));

  // A procedure that never paints is validated after WM_PAINT, so the queue does not spin.
  HWND Lazy = CreateTestWindow(0, WS_POPUP | WS_VISIBLE, 0, 0, 10, 10);
  Log.Responder = [](HWND, UINT Message, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (Message == WM_PAINT) return 0;
    return std::nullopt;
  };
  Drain();
  EXPECT_FALSE(GetUpdateRect(Lazy, &Update, FALSE));
}

TEST_F(PaintTest, ParentsPaintBeforeChildrenAndTransparentWindowsLast) {
  HWND Form = Make(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr, Grey);
  HWND Lower = Make(WS_CHILD | WS_VISIBLE, 10, 10, 50, 50, Form, Red);
  HWND Upper = Make(WS_CHILD | WS_VISIBLE, 20, 20, 50, 50, Form, Green, WS_EX_TRANSPARENT);
  Log.Clear();
  Drain();
  // The transparent window is on top but waits for the sibling below it.
  EXPECT_EQ(Painted(), (std::vector<HWND>{Form, Lower, Upper}));

  // Invalidating a parent without WS_CLIPCHILDREN takes the children it covers along; with it,
  // only the transparent ones, which show the parent.
  struct TCase {
    const char* Name;
    DWORD ParentStyle;
    std::vector<HWND> Expected;
  };
  const TCase Cases[] = {
      {"without clip-children", 0, {Form, Lower, Upper}},
      {"with clip-children", WS_CLIPCHILDREN, {Form, Upper}},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    SetWindowLong(Form, GWL_STYLE, (GetWindowLong(Form, GWL_STYLE) & ~WS_CLIPCHILDREN) | Case.ParentStyle);
    Log.Clear();
    InvalidateRect(Form, nullptr, TRUE);
    Drain();
    EXPECT_EQ(Painted(), Case.Expected);
  }

  // UpdateWindow paints at once, with sent WM_PAINT messages.
  InvalidateRect(Form, nullptr, TRUE);
  InvalidateRect(Lower, nullptr, TRUE);
  Log.Clear();
  UpdateWindow(Form);
  ASSERT_EQ(Painted(), (std::vector<HWND>{Form, Lower, Upper}));
  for (const TLoggedMessage& Entry : Log.Entries()) {
    if (Entry.Message == WM_PAINT) {
      EXPECT_TRUE(Entry.Flags & Sent);
    }
  }
}

TEST_F(PaintTest, ChildrenAndSiblingsAreClippedAsTheirStylesSay) {
  struct TCase {
    const char* Name;
    DWORD ParentClip;   // WS_CLIPCHILDREN or 0
    DWORD SiblingClip;  // WS_CLIPSIBLINGS or 0, for the lower sibling
    COLORREF InOverlap; // at a point both siblings cover (siblings paint top first)
    COLORREF InLower;   // inside the lower sibling only, after the parent alone repaints
  };
  const TCase Cases[] = {
      {"no clipping: the lower sibling and the parent paint over", 0, 0, Red, Grey},
      {"clip-siblings keeps the upper sibling", 0, WS_CLIPSIBLINGS, Green, Grey},
      {"clip-children keeps the children", WS_CLIPCHILDREN, WS_CLIPSIBLINGS, Green, Red},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    HWND Form = Make(WS_POPUP | WS_VISIBLE | Case.ParentClip, 0, 0, 100, 100, nullptr, Grey);
    HWND Lower = Make(WS_CHILD | WS_VISIBLE | Case.SiblingClip, 10, 10, 50, 50, Form, Red);
    HWND Upper = Make(WS_CHILD | WS_VISIBLE, 30, 30, 50, 50, Form, Green);
    Drain();
    EXPECT_EQ(At(Form, 40, 40), Case.InOverlap);
    EXPECT_EQ(At(Form, 75, 75), Green);
    EXPECT_EQ(At(Form, 15, 15), Red);
    EXPECT_EQ(At(Form, 90, 5), Grey);
    RedrawWindow(Lower, nullptr, nullptr, RDW_INVALIDATE | RDW_NOCHILDREN);
    Drain();
    EXPECT_EQ(At(Form, 40, 40), Case.InOverlap);
    // The parent alone, with the children left as they are.
    RedrawWindow(Form, nullptr, nullptr, RDW_INVALIDATE | RDW_NOCHILDREN);
    Drain();
    EXPECT_EQ(At(Form, 15, 15), Case.InLower);
    DestroyWindow(Form);
    (void)Upper;
  }
}

TEST_F(PaintTest, TransparentChildrenShowTheirParent) {
  // The transparent child paints only a 2 x 2 green mark in its corner; the rest of its area
  // shows the parent, even with clip-children, and it paints again whenever the parent does.
  HWND Form = Make(WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 100, 100, nullptr, Grey);
  HWND Label = CreateTestWindow(WS_EX_TRANSPARENT, WS_CHILD | WS_VISIBLE, 20, 20, 40, 40, Form);
  auto Painter = Log.Responder;
  Log.Responder = [&](HWND Window, UINT Message, WPARAM WParam, LPARAM LParam) -> std::optional<LRESULT> {
    if (Window != Label || Message != WM_PAINT) return Painter(Window, Message, WParam, LParam);
    PAINTSTRUCT Paint;
    HDC DC = BeginPaint(Window, &Paint);
    RECT Mark{0, 0, 2, 2};
    HBRUSH Brush = CreateSolidBrush(Green);
    FillRect(DC, &Mark, Brush);
    DeleteObject(Brush);
    EndPaint(Window, &Paint);
    return 0;
  };
  Drain();
  EXPECT_EQ(At(Form, 20, 20), Green);
  EXPECT_EQ(At(Form, 30, 30), Grey);
  Colors[Form] = Blue;
  Log.Clear();
  InvalidateRect(Form, nullptr, TRUE);
  Drain();
  EXPECT_EQ(Painted(), (std::vector<HWND>{Form, Label}));
  EXPECT_EQ(At(Form, 20, 20), Green);
  EXPECT_EQ(At(Form, 30, 30), Blue);
}

TEST_F(PaintTest, WindowRegionsRestrictPainting) {
  HWND Form = Make(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr, Grey);
  HWND Round = Make(WS_CHILD | WS_VISIBLE, 20, 20, 40, 40, Form, Blue);
  SetWindowRgn(Round, CreateEllipticRgn(0, 0, 40, 40), TRUE);
  Drain();
  EXPECT_EQ(At(Form, 40, 40), Blue);  // the middle
  EXPECT_EQ(At(Form, 21, 21), Grey);  // the corner, outside the ellipse
  // Removing the region lets it paint its whole rectangle.
  SetWindowRgn(Round, nullptr, TRUE);
  Drain();
  EXPECT_EQ(At(Form, 21, 21), Blue);
}

TEST_F(PaintTest, FramesArePaintedByTheDefaultProcedure) {
  HWND Form = Make(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr, Grey);
  HWND Bordered = Make(WS_CHILD | WS_VISIBLE | WS_BORDER, 10, 10, 30, 30, Form, Red);
  HWND Edged = Make(WS_CHILD | WS_VISIBLE, 50, 10, 30, 30, Form, Green, WS_EX_CLIENTEDGE);
  Drain();
  EXPECT_EQ(At(Bordered, 0, 0), GetSysColor(COLOR_WINDOWFRAME));
  EXPECT_EQ(At(Bordered, 1, 1), Red);
  EXPECT_EQ(At(Edged, 0, 0), GetSysColor(COLOR_3DSHADOW));   // sunken: dark outer top-left
  EXPECT_EQ(At(Edged, 29, 29), GetSysColor(COLOR_3DHILIGHT));
  EXPECT_EQ(At(Edged, 2, 2), Green);
  // The parent does not clip its children: repainting it paints over their frames, and the
  // children paint them again.
  InvalidateRect(Form, nullptr, FALSE);
  Drain();
  EXPECT_EQ(At(Bordered, 0, 0), GetSysColor(COLOR_WINDOWFRAME));
  EXPECT_EQ(At(Edged, 0, 0), GetSysColor(COLOR_3DSHADOW));
  EXPECT_EQ(At(Edged, 29, 29), GetSysColor(COLOR_3DHILIGHT));
}

TEST_F(PaintTest, ScrollingMovesPixelsAndInvalidatesTheRest) {
  HWND Form = Make(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr, Grey);
  Drain();
  // Paint stripes by hand: rows 0..9 red, 10..19 green, the rest grey.
  HDC DC = GetDC(Form);
  RECT Top{0, 0, 100, 10}, Second{0, 10, 100, 20};
  HBRUSH RedBrush = CreateSolidBrush(Red), GreenBrush = CreateSolidBrush(Green);
  FillRect(DC, &Top, RedBrush);
  FillRect(DC, &Second, GreenBrush);
  DeleteObject(RedBrush);
  DeleteObject(GreenBrush);
  ReleaseDC(Form, DC);
  EXPECT_EQ(At(Form, 5, 15), Green);
  TakeDirtyRegion(Form);

  // Scroll the rows 0..49 down by 10 within themselves.
  RECT Area{0, 0, 100, 50};
  RECT Invalid{};
  HRGN Update = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(ScrollWindowEx(Form, 0, 10, &Area, &Area, Update, &Invalid, SW_INVALIDATE), SIMPLEREGION);
  EXPECT_EQ(Invalid, (RECT{0, 0, 100, 10}));
  EXPECT_TRUE(PtInRegion(Update, 5, 5));
  EXPECT_FALSE(PtInRegion(Update, 5, 15));
  DeleteObject(Update);
  EXPECT_EQ(At(Form, 5, 15), Red);
  EXPECT_EQ(At(Form, 5, 25), Green);
  EXPECT_TRUE(TakeDirtyRegion(Form).Contains(5, 25));
  RECT Pending{};
  EXPECT_TRUE(GetUpdateRect(Form, &Pending, FALSE));
  EXPECT_EQ(Pending, (RECT{0, 0, 100, 10}));
  Log.Clear();
  Drain();
  EXPECT_EQ(At(Form, 5, 5), Grey);   // repainted strip
  EXPECT_EQ(At(Form, 5, 15), Red);   // moved pixels stay
  EXPECT_EQ(LastPaint[Form], (RECT{0, 0, 100, 10}));

  // ScrollWindow of the whole client area moves the children along.
  HWND Child = Make(WS_CHILD | WS_VISIBLE, 10, 60, 20, 20, Form, Blue);
  Drain();
  ScrollWindow(Form, 0, -30, nullptr, nullptr);
  Drain();
  RECT ChildRect{};
  GetWindowRect(Child, &ChildRect);
  EXPECT_EQ(ChildRect.top, 30);
  EXPECT_EQ(At(Form, 15, 35), Blue);
}

TEST_F(PaintTest, MovingAChildRepaintsWhatItUncovered) {
  HWND Form = Make(WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 100, 100, nullptr, Grey);
  HWND Child = Make(WS_CHILD | WS_VISIBLE, 0, 0, 20, 20, Form, Red);
  Drain();
  EXPECT_EQ(At(Form, 5, 5), Red);
  MoveWindow(Child, 50, 50, 20, 20, TRUE);
  Log.Clear();
  Drain();
  EXPECT_EQ(At(Form, 5, 5), Grey);
  EXPECT_EQ(At(Form, 55, 55), Red);
  EXPECT_EQ(LastPaint[Form], (RECT{0, 0, 20, 20}));
  // The backing store follows a resized top-level window.
  MoveWindow(Form, 0, 0, 150, 120, TRUE);
  Drain();
  EXPECT_EQ(At(Form, 140, 110), Grey);
  TPixelSurface Surface = GetWindowSurface(Form);
  EXPECT_EQ(Surface.Width, 150);
  EXPECT_EQ(Surface.Height, 120);
}

}  // namespace
