#pragma once
// Message-sequence testing: test windows record every message their procedure gets (and hooks
// record what they see) into one log; ExpectSequence compares the log with a table of expected
// messages and, on a mismatch, prints both lists with indices at the test's own line.

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/rtl/clock.h"
#include "platform/user/user.h"

namespace UserTest {

enum TMessageFlags : unsigned {
  Sent = 0x01,      // reached the procedure through a send
  Posted = 0x02,    // reached it through DispatchMessage (posted, input, paint, timer)
  Parent = 0x04,    // logged by a window marked as a parent
  DefProc = 0x08,   // arrived while the receiving window's procedure was inside DefWindowProc
  Hook = 0x10,      // seen by a hook (keyboard hooks log WM_KEYDOWN/WM_KEYUP with the key)
  Optional = 0x20,  // may be missing
  WParam = 0x40,    // compare wParam (under WParamMask)
  LParam = 0x80,    // compare lParam (under LParamMask)
};

struct TExpectedMessage {
  UINT Message;
  unsigned Flags;
  WPARAM WParamValue = 0;
  LPARAM LParamValue = 0;
  WPARAM WParamMask = ~WPARAM(0);
  LPARAM LParamMask = ~LPARAM(0);
};

struct TLoggedMessage {
  HWND Window;
  UINT Message;
  unsigned Flags;
  WPARAM WParamValue;
  LPARAM LParamValue;
};

// Answers a message instead of the default procedure when it returns a value.
using TResponder = std::function<std::optional<LRESULT>(HWND, UINT, WPARAM, LPARAM)>;

class TMessageLog {
 public:
  void Add(const TLoggedMessage& Entry) { FEntries.push_back(Entry); }
  void Clear() { FEntries.clear(); }
  const std::vector<TLoggedMessage>& Entries() const { return FEntries; }
  void MarkParent(HWND Window) { FParents.insert(Window); }
  bool IsParent(HWND Window) const { return FParents.count(Window) != 0; }
  // Messages left out of the log (noise a test does not look at).
  std::set<UINT> Ignored;
  TResponder Responder;

 private:
  std::vector<TLoggedMessage> FEntries;
  std::set<HWND> FParents;
};

// The log the test windows and hooks write to (one per test, set by the fixture).
TMessageLog*& CurrentLog();

// "KorcamTestWindow": every message is logged, then answered by the responder or DefWindowProc.
// Registered once.
const char* TestClassName();
HWND CreateTestWindow(DWORD ExStyle, DWORD Style, int X, int Y, int Width, int Height,
                      HWND Parent = nullptr, UINT_PTR Id = 0, const char* Text = "");
LRESULT LoggingProc(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam);

// A message no one else uses: sent after the action, its place shows what was synchronous.
constexpr UINT SeparatorMessage = WM_APP + 0x3FE;
// Sends the separator to Window, then dispatches whatever is queued (posted, input, paint, due
// timers), never waiting.
void SendSeparatorAndDrain(HWND Window);
// Dispatches what is queued, never waiting; Translate runs TranslateMessage first.
void Drain(bool Translate = false);

const char* MessageName(UINT Message);
std::string Describe(const TLoggedMessage& Entry);

void ExpectSequenceAt(const TMessageLog& Log, const TExpectedMessage* Expected, size_t Count,
                      const char* Context, const char* File, int Line);

// Every test of the window system starts with a manual clock and a clean log, and ends with
// every window destroyed, no hooks, no capture and a released keyboard.
class TUserTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  TScopedManualClock FClock;
  TMessageLog Log;
};

}  // namespace UserTest

#define ExpectSequence(Log, Expected, Context) \
  ::UserTest::ExpectSequenceAt((Log), (Expected), std::size(Expected), (Context), __FILE__, __LINE__)
