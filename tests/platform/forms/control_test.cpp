// Controls: the notifications they send and receive, their windows (made on demand, made again
// with their state), parents and owners, and the mouse.

#include <gtest/gtest.h>

#include "platform/gdi/gdi.h"
#include "tests/platform/forms/controltest.h"

namespace FormsTest {
namespace {

class ControlTest : public TFormsTest {
 protected:
  // A shown form with a panel holding a box and a shape; all logged.
  void MakeForm() {
    Form = new TForm(nullptr, 0);
    Form->SetName("Form");
    Form->SetBounds(10, 10, 300, 200);
    Panel = new TTestPanel(Form);
    Panel->SetName("Panel");
    Panel->SetBounds(10, 10, 200, 120);
    Panel->SetParent(Form);
    Box = new TTestBox(Form);
    Box->SetName("Box");
    Box->SetBounds(5, 5, 80, 20);
    Box->SetParent(Panel);
    Shape = new TTestShape(Form);
    Shape->SetName("Shape");
    Shape->SetBounds(100, 40, 30, 30);
    Shape->SetParent(Panel);
  }
  void TearDown() override {
    if (Form) Form->Free();
    TFormsTest::TearDown();
  }
  TForm* Form = nullptr;
  TTestPanel* Panel = nullptr;
  TTestBox* Box = nullptr;
  TTestShape* Shape = nullptr;
};

TEST_F(ControlTest, ShowAndResizeMessageSequences) {
  TForm* Shown = NewForm<TForm>(nullptr);
  Shown->SetBounds(10, 10, 200, 150);
  auto* First = new TTestBox(Shown);
  First->SetParent(Shown);
  Log.Attach(Shown, "Form");
  Log.Attach(First, "Box");
  Log.Ignored = {WM_GETTEXT,    WM_GETTEXTLENGTH, WM_NCHITTEST,    WM_SETCURSOR,
                 WM_GETDLGCODE, CM_HITTEST,       WM_GETMINMAXINFO};
  // Form.Show on a new form with one focusable child: the windows are made (the form's first),
  // the child is shown before the form, the form is activated and the focus goes to the child;
  // painting comes later, from the queue, parent before child.
  static const TExpectedControlMessage Show[] = {
      {"Form", CM_VISIBLECHANGED},
      {"Form", WM_NCCREATE},
      {"Form", WM_NCCALCSIZE},
      {"Form", WM_CREATE},
      {"Form", WM_SIZE},
      {"Form", WM_MOVE},
      {"Box", WM_NCCREATE},
      {"Box", WM_NCCALCSIZE},
      {"Box", WM_CREATE},
      {"Box", WM_SIZE},
      {"Box", WM_MOVE},
      {"Form", WM_PARENTNOTIFY, Optional},
      {"Box", WM_WINDOWPOSCHANGING, Optional},  // placed in z-order among its siblings
      {"Box", WM_WINDOWPOSCHANGED, Optional},
      {"Box", CM_SHOWINGCHANGED},
      {"Box", WM_WINDOWPOSCHANGING},
      {"Box", WM_WINDOWPOSCHANGED},
      {"Form", CM_SHOWINGCHANGED},
      {"Form", WM_SHOWWINDOW},
      {"Form", WM_WINDOWPOSCHANGING},
      {"Form", WM_ACTIVATEAPP, Optional},
      {"Form", WM_NCACTIVATE},
      {"Form", WM_ACTIVATE, WParam, WA_ACTIVE},
      {"Box", WM_SETFOCUS},
      {"Form", CM_ACTIVATE},
      {"Box", CM_ENTER},
      {"Form", CM_FOCUSCHANGED},
      {"Box", CM_FOCUSCHANGED},
      {"Form", WM_WINDOWPOSCHANGED},
      {"Form", WM_WINDOWPOSCHANGING, Optional},  // brought to the front
      {"Form", WM_WINDOWPOSCHANGED, Optional},
      {"Form", Separator},
      {"Form", WM_PAINT},
      {"Form", WM_NCPAINT, Optional},
      {"Form", WM_ERASEBKGND},
      {"Box", WM_PAINT},
      {"Box", WM_ERASEBKGND, Optional},
  };
  Shown->Show();
  Shown->Perform(Separator, 0, 0);
  Pump();
  ExpectControlMessages(Log, Show, "Form.Show, new form with a box");

  // Form.SetBounds with a new width: the size arrives at once, the painting later.
  Log.Clear();
  static const TExpectedControlMessage Resize[] = {
      {"Form", WM_WINDOWPOSCHANGING},
      {"Form", WM_NCCALCSIZE},
      {"Form", WM_WINDOWPOSCHANGED},
      {"Form", WM_SIZE},
      {"Form", Separator},
      {"Form", WM_PAINT},
      {"Form", WM_NCPAINT, Optional},
      {"Form", WM_ERASEBKGND},
      {"Box", WM_PAINT, Optional},
      {"Box", WM_ERASEBKGND, Optional},
  };
  Shown->SetBounds(10, 10, 250, 150);
  Shown->Perform(Separator, 0, 0);
  Pump();
  ExpectControlMessages(Log, Resize, "Form.SetBounds, wider");
  Shown->Free();
}

TEST_F(ControlTest, ParentNotificationsFollowTheParent) {
  MakeForm();
  for (auto [Control, Name] :
       {std::pair<TControl*, const char*>{Panel, "Panel"}, {Box, "Box"}, {Shape, "Shape"}})
    Log.Attach(Control, Name);
  Log.Only = {CM_COLORCHANGED,      CM_PARENTCOLORCHANGED, CM_FONTCHANGED,
              CM_PARENTFONTCHANGED, CM_ENABLEDCHANGED,     CM_TEXTCHANGED,
              WM_SETTEXT,           CM_VISIBLECHANGED,     CM_SHOWINGCHANGED};
  Box->SetParentColor(true);
  Shape->SetParentColor(true);
  Log.Clear();

  // Panel.Color := clRed: the panel hears of its own change, then tells its children, in order.
  static const TExpectedControlMessage SetColor[] = {
      {"Panel", CM_COLORCHANGED},     {"Shape", CM_PARENTCOLORCHANGED}, {"Shape", CM_COLORCHANGED},
      {"Box", CM_PARENTCOLORCHANGED}, {"Box", CM_COLORCHANGED},
  };
  Panel->SetColor(clRed);
  ExpectControlMessages(Log, SetColor, "Panel.Color := clRed");
  EXPECT_EQ(Box->Color(), clRed);
  EXPECT_TRUE(Box->ParentColor());

  // A child with its own colour stops following.
  Box->SetColor(clYellow);
  EXPECT_FALSE(Box->ParentColor());
  Panel->SetColor(clBlue);
  EXPECT_EQ(Box->Color(), clYellow);
  EXPECT_EQ(Shape->Color(), clBlue);
  Box->SetParentColor(true);
  EXPECT_EQ(Box->Color(), clBlue);

  // Fonts the same way; Font.Size on the parent reaches the child.
  Log.Clear();
  Panel->Font()->SetSize(14);
  static const TExpectedControlMessage SetFont[] = {
      {"Panel", CM_FONTCHANGED},     {"Shape", CM_PARENTFONTCHANGED}, {"Shape", CM_FONTCHANGED},
      {"Box", CM_PARENTFONTCHANGED}, {"Box", CM_FONTCHANGED},
  };
  ExpectControlMessages(Log, SetFont, "Panel.Font.Size := 14");
  EXPECT_EQ(Box->Font()->Size(), 14);
  EXPECT_TRUE(Box->ParentFont());

  // Text: WM_SETTEXT then CM_TEXTCHANGED; the same text again sends nothing.
  Log.Clear();
  Box->SetText("abc");
  Box->SetText("abc");
  static const TExpectedControlMessage SetText[] = {{"Box", WM_SETTEXT}, {"Box", CM_TEXTCHANGED}};
  ExpectControlMessages(Log, SetText, "Box.Text := 'abc' twice");

  // Enabled and Visible.
  Log.Clear();
  Panel->SetEnabled(false);
  Panel->SetEnabled(false);
  static const TExpectedControlMessage Disable[] = {{"Panel", CM_ENABLEDCHANGED}};
  ExpectControlMessages(Log, Disable, "Panel.Enabled := False twice");
  EXPECT_FALSE(IsWindowEnabled(Panel->Handle()));
}

TEST_F(ControlTest, InsertAndRemoveNotifyTheParent) {
  MakeForm();
  auto* Extra = new TTestShape(Form);
  Log.Attach(Panel, "Panel");
  Log.Attach(Extra, "Extra");
  Log.Only = {CM_CONTROLLISTCHANGE, CM_CONTROLCHANGE,         CM_PARENTCOLORCHANGED,
              CM_PARENTFONTCHANGED, CM_PARENTSHOWHINTCHANGED, CM_PARENTBIDIMODECHANGED};
  static const TExpectedControlMessage Insert[] = {
      {"Panel", CM_CONTROLLISTCHANGE, WParam | LParam, WPARAM(Extra), 1},
      {"Extra", CM_PARENTCOLORCHANGED},
      {"Extra", CM_PARENTFONTCHANGED},
      {"Extra", CM_PARENTSHOWHINTCHANGED},
      {"Extra", CM_PARENTBIDIMODECHANGED},
      {"Panel", CM_CONTROLCHANGE, WParam | LParam, WPARAM(Extra), 1},
  };
  Extra->SetParent(Panel);
  ExpectControlMessages(Log, Insert, "Extra.Parent := Panel");
  EXPECT_EQ(Panel->ControlCount(), 3);

  Log.Clear();
  static const TExpectedControlMessage Remove[] = {
      {"Panel", CM_CONTROLCHANGE, WParam | LParam, WPARAM(Extra), 0},
      {"Panel", CM_CONTROLLISTCHANGE, WParam | LParam, WPARAM(Extra), 0},
  };
  Extra->SetParent(nullptr);
  ExpectControlMessages(Log, Remove, "Extra.Parent := nil");
  EXPECT_EQ(Panel->ControlCount(), 2);
  // Freeing a control takes it out of its parent the same way.
  Extra->SetParent(Panel);
  Extra->Free();
  EXPECT_EQ(Panel->ControlCount(), 2);
  EXPECT_THROW(Panel->SetParent(static_cast<TWinControl*>(Panel)), EInvalidOperation);
}

TEST_F(ControlTest, WindowsAreMadeWhenShowingAndMadeAgainWithTheirState) {
  MakeForm();
  // Nothing is showing yet: no windows.
  EXPECT_FALSE(Form->HandleAllocated());
  EXPECT_FALSE(Box->HandleAllocated());
  Box->SetText("kept");
  Form->Show();
  Pump();
  ASSERT_TRUE(Box->HandleAllocated());
  EXPECT_TRUE(Box->Showing());
  EXPECT_TRUE(IsWindowVisible(Box->HandleIfAllocated()));
  EXPECT_EQ(GetWindowTextString(Box->HandleIfAllocated()), "kept");
  // Children are stacked as they were added: the later one on top.
  EXPECT_EQ(GetParent(Box->HandleIfAllocated()), Panel->HandleIfAllocated());

  Box->SetFocus();
  Box->SetEnabled(false);
  Box->SetEnabled(true);
  Box->SetFocus();
  ASSERT_TRUE(Box->Focused());
  HWND OldPanel = Panel->HandleIfAllocated();
  HWND OldBox = Box->HandleIfAllocated();
  // Re-creating the panel makes both windows again, with text, bounds, parent and focus.
  Panel->RecreateWnd();
  Pump();
  ASSERT_TRUE(Panel->HandleAllocated());
  ASSERT_TRUE(Box->HandleAllocated());
  EXPECT_NE(Panel->HandleIfAllocated(), OldPanel);
  EXPECT_NE(Box->HandleIfAllocated(), OldBox);
  EXPECT_FALSE(IsWindow(OldBox));
  EXPECT_EQ(GetWindowTextString(Box->HandleIfAllocated()), "kept");
  EXPECT_EQ(GetParent(Box->HandleIfAllocated()), Panel->HandleIfAllocated());
  RECT R{};
  GetWindowRect(Box->HandleIfAllocated(), &R);
  MapWindowPoints(nullptr, Panel->HandleIfAllocated(), reinterpret_cast<POINT*>(&R), 2);
  EXPECT_EQ(R, Rect(5, 5, 85, 25));
  EXPECT_TRUE(IsWindowVisible(Box->HandleIfAllocated()));
  EXPECT_TRUE(Box->Focused());
  EXPECT_EQ(Screen->ActiveControl(), Box);

  // A disabled control's window is made disabled.
  Box->SetEnabled(false);
  Box->RecreateWnd();
  EXPECT_FALSE(IsWindowEnabled(Box->Handle()));
}

TEST_F(ControlTest, ChildWithoutParentWindowRefusesAHandle) {
  auto* Orphan = new TTestPanel(nullptr);
  Orphan->SetName("Orphan");
  EXPECT_THROW(Orphan->Handle(), EInvalidOperation);
  // With a window of another component to live in, it works.
  TForm* Host = new TForm(nullptr, 0);
  Orphan->SetParentWindow(Host->Handle());
  EXPECT_TRUE(Orphan->HandleAllocated());
  EXPECT_EQ(GetParent(Orphan->HandleIfAllocated()), Host->HandleIfAllocated());
  Orphan->Free();
  Host->Free();
}

TEST_F(ControlTest, DestroyingAParentDetachesItsChildren) {
  // Children owned elsewhere outlive the parent: they lose parent and window, nothing more.
  TForm* Owner = new TForm(nullptr, 0);
  TForm* Host = new TForm(nullptr, 0);
  Host->Show();
  auto* Inner = new TTestPanel(Owner);
  Inner->SetParent(Host);
  auto* Leaf = new TTestShape(Owner);
  Leaf->SetParent(Inner);
  Pump();
  HWND InnerWindow = Inner->HandleIfAllocated();
  ASSERT_TRUE(InnerWindow);
  Host->Free();
  EXPECT_EQ(Inner->Parent(), nullptr);
  EXPECT_FALSE(Inner->HandleAllocated());
  EXPECT_FALSE(IsWindow(InnerWindow));
  EXPECT_EQ(Leaf->Parent(), Inner);
  // ...and can move to a new parent.
  TForm* Other = new TForm(nullptr, 0);
  Inner->SetParent(Other);
  Other->Show();
  Pump();
  EXPECT_TRUE(Inner->HandleAllocated());
  Owner->Free();
  EXPECT_EQ(Other->ControlCount(), 0);
  Other->Free();
}

TEST_F(ControlTest, MouseReachesWindowlessControlsInTheirOwnCoordinates) {
  MakeForm();
  Form->Show();
  Pump();
  struct TEvent {
    std::string What;
    int X, Y;
  };
  std::vector<TEvent> Events;
  Shape->OnMouseDown = TMouseEvent([&](TObject*, TMouseButton, TShiftState, int X, int Y) {
    Events.push_back({"down", X, Y});
  });
  Shape->OnMouseUp = TMouseEvent([&](TObject*, TMouseButton, TShiftState, int X, int Y) {
    Events.push_back({"up", X, Y});
  });
  Shape->OnClick = TNotifyEvent([&](TObject*) { Events.push_back({"click", 0, 0}); });
  Shape->OnDblClick = TNotifyEvent([&](TObject*) { Events.push_back({"dblclick", 0, 0}); });

  POINT P = Shape->ClientToScreen(POINT{3, 4});
  InjectMouseClick(VK_LBUTTON, P.x, P.y);
  Pump();
  ASSERT_EQ(Events.size(), 3u);
  EXPECT_EQ(Events[0].What, "down");
  EXPECT_EQ(Events[0].X, 3);
  EXPECT_EQ(Events[0].Y, 4);
  EXPECT_EQ(Events[1].What, "click");
  EXPECT_EQ(Events[2].What, "up");

  // Pressed inside, released outside: the control keeps the mouse (capture), no click.
  Events.clear();
  FClock->Advance(1000);  // well past the double-click time
  InjectMouseButton(VK_LBUTTON, true, P.x, P.y);
  Pump();
  EXPECT_EQ(GetCaptureControl(), Shape);
  POINT Outside = Shape->ClientToScreen(POINT{50, 50});
  InjectMouseButton(VK_LBUTTON, false, Outside.x, Outside.y);
  Pump();
  ASSERT_EQ(Events.size(), 2u);
  EXPECT_EQ(Events[1].What, "up");
  EXPECT_EQ(Events[1].X, 50);
  EXPECT_EQ(GetCaptureControl(), nullptr);

  // A second click within the double-click time is a double click.
  Events.clear();
  FClock->Advance(1000);
  InjectMouseClick(VK_LBUTTON, P.x, P.y);
  FClock->Advance(50);
  InjectMouseClick(VK_LBUTTON, P.x, P.y);
  Pump();
  std::vector<std::string> Names;
  for (auto& Event : Events) Names.push_back(Event.What);
  EXPECT_EQ(Names, (std::vector<std::string>{"down", "click", "up", "dblclick", "down", "up"}));
}

TEST_F(ControlTest, MouseEnterAndLeaveFollowTheControlUnderTheMouse) {
  MakeForm();
  Form->Show();
  Pump();
  for (auto [Control, Name] :
       {std::pair<TControl*, const char*>{Panel, "Panel"}, {Box, "Box"}, {Shape, "Shape"}})
    Log.Attach(Control, Name);
  Log.Only = {CM_MOUSEENTER, CM_MOUSELEAVE};
  auto MoveTo = [&](TControl* Control, int X, int Y) {
    POINT P = Control->ClientToScreen(POINT{X, Y});
    InjectMouseMove(P.x, P.y);
    Pump();
  };
  MoveTo(Panel, 150, 100);  // the panel itself
  MoveTo(Shape, 5, 5);      // onto the windowless child
  MoveTo(Shape, 6, 6);      // within it: nothing new
  MoveTo(Box, 5, 5);        // onto the windowed child
  MoveTo(Panel, 150, 100);  // back to the panel
  static const TExpectedControlMessage Expected[] = {
      {"Panel", CM_MOUSEENTER}, {"Panel", CM_MOUSELEAVE}, {"Shape", CM_MOUSEENTER}, {"Shape", CM_MOUSELEAVE},
      {"Box", CM_MOUSEENTER},   {"Box", CM_MOUSELEAVE},   {"Panel", CM_MOUSEENTER},
  };
  ExpectControlMessages(Log, Expected, "mouse moves panel, shape, shape, box, panel");
  EXPECT_EQ(Application->MouseControl(), Panel);
  // Leaving every window: the idle check notices.
  InjectMouseMove(790, 590);
  Pump();
  Application->Idle();
  EXPECT_EQ(Application->MouseControl(), nullptr);
}

TEST_F(ControlTest, UnhandledWheelGoesToTheParent) {
  MakeForm();
  Form->Show();
  Pump();
  Box->SetFocus();
  std::vector<std::string> Seen;
  bool PanelHandles = true;
  Box->OnMouseWheel = TMouseWheelEvent([&](TObject*, TShiftState, int Delta, POINT, bool&) {
    Seen.push_back("box " + std::to_string(Delta));
  });
  Panel->OnMouseWheelDown = TMouseWheelUpDownEvent([&](TObject*, TShiftState, POINT, bool& Handled) {
    Seen.push_back("panel down");
    Handled = PanelHandles;
  });
  Form->OnMouseWheel =
      TMouseWheelEvent([&](TObject*, TShiftState, int, POINT, bool&) { Seen.push_back("form"); });
  POINT P = Box->ClientToScreen(POINT{2, 2});
  InjectMouseWheel(-WHEEL_DELTA, P.x, P.y);
  Pump();
  EXPECT_EQ(Seen, (std::vector<std::string>{"box -120", "panel down"}));
  Seen.clear();
  PanelHandles = false;
  InjectMouseWheel(-WHEEL_DELTA, P.x, P.y);
  Pump();
  EXPECT_EQ(Seen, (std::vector<std::string>{"box -120", "panel down", "form"}));
}

TEST_F(ControlTest, PublishedPropertiesAreSetByName) {
  MakeForm();
  SetOrdProp(Panel, "Align", alTop);
  EXPECT_EQ(Panel->Align(), alTop);
  SetStrProp(Box, "Hint", "short|long");
  EXPECT_EQ(TControl::GetShortHint(Box->Hint()), "short");
  EXPECT_EQ(TControl::GetLongHint(Box->Hint()), "long");
  SetOrdProp(Box, "TabOrder", 0);
  EXPECT_EQ(Box->TabOrder(), 0);
  SetOrdProp(Form, "BorderStyle", bsNone);
  EXPECT_EQ(Form->BorderStyle(), bsNone);
  // Colour is written only while the control does not follow its parent.
  const TPropertyInfo* Color = GetPropInfo(Box, "Color");
  ASSERT_TRUE(Color);
  Box->SetColor(clRed);
  EXPECT_TRUE(Color->IsStored(*Box));
  Box->SetParentColor(true);
  EXPECT_FALSE(Color->IsStored(*Box));
  Box->SetCursor(crHandPoint);
  EXPECT_EQ(GetOrdProp(Box, "Cursor"), crHandPoint);
}

}  // namespace
}  // namespace FormsTest
