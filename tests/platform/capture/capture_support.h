#pragma once
// Shared pieces of the capture tests: the synthetic camera's still scene as the reference
// picture, pixel comparisons at points away from the scene's edges (where subsampled chroma and
// JPEG blocks blur), and scopes that give each test a known driver list.

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/capture/syntheticcamera.h"
#include "platform/rtl/clock.h"
#include "platform/capture/v4l2device.h"

namespace CaptureTest {

// Points of the still scene inside a flat area: the middle of each bar and stretches of the ramp.
std::vector<std::pair<int, int>> ProbePoints(int Width, int Height);

// The still scene, top-down B, G, R rows.
std::vector<uint8_t> StillScene(int Width, int Height);

// Compares a DIB (24 or 32 bits, bottom-up unless told otherwise) with top-down B, G, R rows at
// the probe points; every channel within Tolerance. Reports the first few differences.
void ExpectDibNear(const uint8_t* Bits, int Width, int Height, int BitCount, bool BottomUp,
                   const std::vector<uint8_t>& Bgr, int Tolerance);

// Waits (briefly, in real time) until Ready() holds; false after a few seconds. For a worker
// thread to reach a state (waiting on the manual clock, blocked in a callback) before the test
// goes on.
bool WaitUntil(const std::function<bool()>& Ready);

// Runs a stream paced by Clock (the installed manual clock) to its end: whenever the capture
// thread waits for its next frame, the clock moves on by Step milliseconds, and the next step
// waits until Progress (frames handled so far) has moved. Gives up (false) after MaxSteps.
bool DriveStream(TManualClock& Clock, const std::function<bool()>& Capturing,
                 const std::function<int()>& Progress, uint64_t Step, int MaxSteps = 10000);

// A V4L2 system with no device nodes: only the synthetic camera is listed.
class TNoCameras : public TV4L2System {
 public:
  std::vector<std::string> Nodes() override { return {}; }
  std::unique_ptr<TV4L2Device> Open(const std::string&, int& Error) override {
    Error = 2;
    return nullptr;
  }
};

// For the scope of a test: the given V4L2 system (none by default), the driver list the devices
// make and the synthetic camera's default settings, all restored afterwards.
class TCaptureScope {
 public:
  explicit TCaptureScope(TV4L2System* System = nullptr) {
    InstallV4L2System(System ? System : &FNone);
    InstallCaptureDriverList(nullptr);
    ResetSyntheticCameraSettings();
  }
  ~TCaptureScope() {
    InstallCaptureDriverList(nullptr);
    InstallV4L2System(nullptr);
    ResetSyntheticCameraSettings();
  }
  TCaptureScope(const TCaptureScope&) = delete;
  TCaptureScope& operator=(const TCaptureScope&) = delete;

 private:
  TNoCameras FNone;
};

}  // namespace CaptureTest
