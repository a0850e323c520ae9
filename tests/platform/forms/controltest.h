#pragma once
// Shared by the control tests: a fixture with a manual clock, a fixed screen, a fresh
// application object, scripted message boxes and counted beeps; a log that records the messages
// chosen controls receive (through their WindowProc, as a host would hook them); and small test
// controls that record their painting and events.

#include <gtest/gtest.h>

#include <deque>
#include <initializer_list>
#include <set>
#include <string>
#include <vector>

#include "platform/forms/application.h"
#include "platform/forms/customcontrol.h"
#include "platform/forms/form.h"
#include "platform/forms/graphiccontrol.h"
#include "platform/forms/messagebox.h"
#include "platform/forms/screen.h"
#include "platform/rtl/clock.h"
#include "platform/user/user.h"

namespace FormsTest {

// ---- the message log of controls ----------------------------------------------------------------

enum TControlMessageFlags : unsigned {
  Optional = 0x01,  // may be missing
  WParam = 0x02,    // compare wParam
  LParam = 0x04,    // compare lParam
};

struct TExpectedControlMessage {
  const char* Control;
  UINT Message;
  unsigned Flags = 0;
  WPARAM WParamValue = 0;
  LPARAM LParamValue = 0;
};

struct TLoggedControlMessage {
  std::string Control;
  UINT Message;
  WPARAM WParamValue;
  LPARAM LParamValue;
};

class TControlLog {
 public:
  // Records what Control receives, under Name, then passes it on.
  void Attach(TControl* Control, const std::string& Name);
  void Clear() { FEntries.clear(); }
  const std::vector<TLoggedControlMessage>& Entries() const { return FEntries; }
  // Only these messages are recorded (all when empty), minus the ignored ones.
  std::set<UINT> Only;
  std::set<UINT> Ignored;
  // Names of the logged messages, "Edit1 CM_ENTER", for quick checks.
  std::vector<std::string> Names() const;

 private:
  std::vector<TLoggedControlMessage> FEntries;
};

const char* ControlMessageName(UINT Message);

void ExpectControlMessagesAt(const TControlLog& Log, const TExpectedControlMessage* Expected, size_t Count,
                             const char* Context, const char* File, int Line);

#define ExpectControlMessages(Log, Expected, Context) \
  ::FormsTest::ExpectControlMessagesAt((Log), (Expected), std::size(Expected), (Context), __FILE__, __LINE__)

// A message no one else uses: performed right after an action, its place in the log shows what
// happened synchronously (before it) and what came from the queue (after it).
constexpr UINT Separator = WM_APP + 0x3FE;

// ---- the fixture -------------------------------------------------------------------------------

class TFormsTest : public ::testing::Test {
 protected:
  // Out of line: the members' construction is compiled once, not in every test.
  TFormsTest();
  ~TFormsTest() override;
  void SetUp() override;
  void TearDown() override;

  // Handles every queued message the way the program's loop does.
  void Pump() { Application->ProcessMessages(); }
  // Each key pressed and released as a user would, with its messages handled before the next.
  void Keys(std::initializer_list<int> VirtualKeys) {
    for (int Key : VirtualKeys) {
      InjectKeyStroke(Key);
      Pump();
    }
  }
  // Advances the manual clock in steps, handling messages after each.
  void Advance(uint64_t Milliseconds, uint64_t Step = 10);

  TScopedManualClock FClock;
  TApplication* FSavedApplication = nullptr;
  std::vector<TMessageBoxRequest> Boxes;
  std::deque<int> Answers;  // scripted answers, in order; the default button once they run out
  int Beeps = 0;
  TControlLog Log;
};

// ---- test controls -----------------------------------------------------------------------------

// A windowed control that fills itself with its colour and records its paints.
class TTestPanel : public TCustomControl {
  KORCAM_CLASS(TTestPanel, TCustomControl)

 public:
  explicit TTestPanel(TComponent* AOwner);
  int PaintCount = 0;
  bool Transparent = false;
  void SetTransparent(bool Value);
  bool WantArrows = false;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void Paint() override;
  void Dispatch(TMessage& Message) override;
};

// A focusable windowed control (like an edit) that records keys.
class TTestBox : public TCustomControl {
  KORCAM_CLASS(TTestBox, TCustomControl)

 public:
  explicit TTestBox(TComponent* AOwner);
  std::u32string Typed;

 protected:
  void Paint() override;
  void KeyPress(char32_t& Key) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
};

// A windowless control that fills its rectangle with its colour.
class TTestShape : public TGraphicControl {
  KORCAM_CLASS(TTestShape, TGraphicControl)

 public:
  explicit TTestShape(TComponent* AOwner);
  int PaintCount = 0;
  bool FillBackground = true;
  TColor InnerColor = clNone;  // a centred square of this colour, when set
  bool CopyPainted = false;    // csPaintCopy was set during the last paint

 protected:
  void Paint() override;
};

// The pixel colour (0x00RRGGBB as TColor BGR) of a window's store at a client point.
TColor PixelAt(TWinControl* Control, int X, int Y);

}  // namespace FormsTest
