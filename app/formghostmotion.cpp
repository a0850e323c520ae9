// Motion detection on the main window: the check that ends every composition of a connected
// device while "Enable motion detection" is on, the arming of the motion timers, the motion
// button and its option row, and the e-mail hook of the motion response.
//
// The check runs on one composition in three and compares the raw captured frame (before stamps,
// watermark and effects) byte for byte with the frame the previous check kept. The frame of a
// 24-bit camera is compared where it lies and then copied into the snapshot; others are read into
// a buffer first, which then changes places with the snapshot. Either way the snapshot's memory
// is reused, so in steady state a check allocates nothing.
// The response itself runs from the data module's motion timer (datamodule1motion.cpp).

#include <string>
#include <utility>

#include "app/datamodule1.h"
#include "app/formghost.h"
#include "app/motion.h"
#include "platform/forms/bitmap.h"
#include "platform/media/mci.h"
#include "platform/user/winuser.h"

namespace {

// A motion was seen: the response waits out the starting delay, and the indication starts again.
// The motion timer keeps a countdown that runs already, unless the delay was changed meanwhile:
// setting the interval it has changes nothing, setting another one starts it again.
void ArmMotionTimers(TFormGhost& Form, TDataModule1& Module) {
  Module.TimerMotion->SetInterval(StartingDelayInterval(Form.kvDBSpinEditStartingDelay->Value()));
  Module.TimerMotion->SetEnabled(true);
  Module.TimerMovie->SetEnabled(false);
  Module.TimerMovie->SetInterval(MotionIndicationInterval(Form.kvDBSpinEditMotionValue->Value()));
  Module.TimerMovie->SetEnabled(true);
}

}  // namespace

// ---- the check ---------------------------------------------------------------------------------

void TFormGhost::CheckMotion() {
  // The cycle moves on only while the check is on; the first composition after start-up checks,
  // then every third one.
  FMotionCycle = FMotionCycle < 2 ? FMotionCycle + 1 : 0;
  if (FMotionCycle != 1 || !FFrameBitmap) return;
  size_t Size = 0;
  const uint8_t* Rows = MotionRows(*FFrameBitmap, FMotionFrame, Size);
  if (!Rows) return;
  // A snapshot of another size (the capture size changed) is not compared: it is replaced.
  if (!FMotionSnapshot.empty() && size_t(FMotionSnapshotSize) == Size && DetectMotion(Rows, FMotionSnapshot.data()) &&
      DataModule1)
    ArmMotionTimers(*this, *DataModule1);
  // This frame is the next check's snapshot; its memory is reused while the size stays.
  if (Rows == FMotionFrame.data())
    std::swap(FMotionSnapshot, FMotionFrame);
  else
    FMotionSnapshot.assign(Rows, Rows + Size);
  FMotionSnapshotSize = int32_t(Size);
}

bool TFormGhost::DetectMotion(const uint8_t* Current, const uint8_t* Snapshot) {
  const size_t Size = FMotionSnapshotSize > 0 ? size_t(FMotionSnapshotSize) : 0;
  const float Measure = MotionMeasure(CountEqualBytes(Current, Snapshot, Size), Size);
  // The measure tops out at 50 (no byte changed): a sensitivity above 50 sees motion every time.
  if (!(kvDBSpinEditMotionSensibility->Value() > double(Measure))) return false;
  vcShapeBtnMotion->SetColor(clYellow);
  return true;
}

// ---- the motion button and its option row --------------------------------------------------------

// "Enable motion detection". Switched off, a motion sound that still plays stops.
void TFormGhost::InspectorOptionsItems9Items0ItemChanged(TkvDataInspector*, TkvInspectorItem*, const std::string&) {
  const bool Enabled = FindOption("Enable motion detection")->IsChecked();
  if (vcShapeBtnMotion->Enabled()) {
    if (Enabled) {
      vcShapeBtnMotion->SetColor(clLime);
    } else {
      vcShapeBtnMotion->SetColor(clMoneyGreen);
      if (FSoundDevice != 0) {
        MCI_GENERIC_PARMS Close{};
        mciSendCommandA(FSoundDevice, MCI_CLOSE, MCI_WAIT, DWORD_PTR(&Close));
        FSoundDevice = 0;
      }
    }
  } else {
    // No device: the button is grey whatever the option says.
    vcShapeBtnMotion->SetColor(TColor(0xDDDDDD));
  }
  vcShapeBtnMotion->SetDown(Enabled);
}

// The motion button (Ctrl+D) switches detection and, after start-up, opens its option group.
void TFormGhost::vcShapeBtnMotionClick(TObject*) {
  FindOption("Enable motion detection")->SetChecked(vcShapeBtnMotion->Down());
  InspectorOptionsItems9Items0ItemChanged(nullptr, nullptr, "");
  if (FCreated) {
    // Every other group closes and "Motion detection" opens near the top of the table.
    vcImageBtnExpand->SetTag(1);
    vcImageBtnExpandClick(nullptr);
    TkvInspectorItem* Group = FindOption("Motion detection");
    Group->SetExpanded(true);
    InspectorOptions->LockRedraw();
    for (int32_t Line = 0; Line < Group->Index() - 1; ++Line) InspectorOptions->Perform(WM_VSCROLL, SB_LINEDOWN, 0);
    InspectorOptions->UnlockRedraw(false);
    InspectorOptions->Repaint();
  }
  InspectorOptions->Repaint();
}

// ---- the e-mail hook ---------------------------------------------------------------------------

void TFormGhost::SendEmail(const std::string&, const std::string&, const std::string&, const std::string&,
                           const std::string&, bool) {
  // This edition sends no mail; the motion response still calls the hook with what a message of
  // it would say, and the e-mail options are kept in the settings file.
}
