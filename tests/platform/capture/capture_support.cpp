#include "tests/platform/capture/capture_support.h"

#include <chrono>
#include <cstdlib>
#include <thread>

namespace CaptureTest {

std::vector<std::pair<int, int>> ProbePoints(int Width, int Height) {
  std::vector<std::pair<int, int>> Points;
  const int BarRow = Height / 3;
  for (int Bar = 0; Bar < 8; ++Bar) Points.emplace_back((2 * Bar + 1) * Width / 16, BarRow);
  const int RampRow = Height * 5 / 6;
  for (int Step = 1; Step < 8; ++Step) Points.emplace_back(Step * Width / 8, RampRow);
  return Points;
}

std::vector<uint8_t> StillScene(int Width, int Height) {
  std::vector<uint8_t> Bgr;
  RenderSyntheticScene(0, false, Width, Height, Bgr);
  return Bgr;
}

void ExpectDibNear(const uint8_t* Bits, int Width, int Height, int BitCount, bool BottomUp,
                   const std::vector<uint8_t>& Bgr, int Tolerance) {
  const int Bytes = BitCount / 8;
  const int Stride = ((Width * BitCount + 31) / 32) * 4;
  int Reported = 0;
  for (const auto& [X, Y] : ProbePoints(Width, Height)) {
    const uint8_t* Actual = Bits + size_t(BottomUp ? Height - 1 - Y : Y) * Stride + size_t(X) * Bytes;
    const uint8_t* Expected = Bgr.data() + (size_t(Y) * Width + X) * 3;
    for (int Channel = 0; Channel < 3; ++Channel) {
      if (std::abs(int(Actual[Channel]) - int(Expected[Channel])) > Tolerance && Reported++ < 5)
        ADD_FAILURE() << "pixel (" << X << ", " << Y << ") channel " << Channel << ": "
                      << int(Actual[Channel]) << ", expected " << int(Expected[Channel])
                      << " +- " << Tolerance;
    }
  }
}

bool WaitUntil(const std::function<bool()>& Ready) {
  for (int Attempt = 0; Attempt < 10000; ++Attempt) {
    if (Ready()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return Ready();
}

bool DriveStream(TManualClock& Clock, const std::function<bool()>& Capturing,
                 const std::function<int()>& Progress, uint64_t Step, int MaxSteps) {
  for (int Steps = 0; Steps < MaxSteps; ++Steps) {
    if (!WaitUntil([&] { return !Capturing() || Clock.WaiterCount() > 0; })) return false;
    if (!Capturing()) return true;
    const int Before = Progress();
    Clock.Advance(Step);
    if (!WaitUntil([&] { return !Capturing() || Progress() != Before; })) return false;
  }
  return false;
}

}  // namespace CaptureTest
