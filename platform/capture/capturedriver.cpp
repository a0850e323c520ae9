#include "platform/capture/capturedriver.h"

#include "platform/capture/syntheticcamera.h"
#include "platform/capture/v4l2camera.h"

namespace {

TCaptureDriverList& InstalledList() {
  static TCaptureDriverList Instance;
  return Instance;
}

}  // namespace

void InstallCaptureDriverList(TCaptureDriverList List) {
  InstalledList() = std::move(List);
}

std::vector<TCaptureDriverEntry> EnumerateCaptureDrivers() {
  if (const TCaptureDriverList& List = InstalledList()) return List();
  std::vector<TCaptureDriverEntry> Drivers;
  TV4L2System& System = V4L2System();
  for (const TV4L2CameraInfo& Camera : FindV4L2Cameras(System)) {
    TCaptureDriverEntry Entry;
    Entry.Name = Camera.Card;
    Entry.Version = V4L2VersionText(Camera);
    Entry.Open = [&System, Path = Camera.Path](std::string& Error) -> std::unique_ptr<TCaptureDriver> {
      return TV4L2Camera::Connect(System, Path, Error);
    };
    Drivers.push_back(std::move(Entry));
  }
  const TSyntheticCameraSettings& Settings = SyntheticCameraSettings();
  if (Settings.Present) {
    TCaptureDriverEntry Entry;
    Entry.Name = SyntheticCameraName;
    Entry.Version = SyntheticCameraVersion;
    Entry.Open = [Settings](std::string&) -> std::unique_ptr<TCaptureDriver> {
      return std::make_unique<TSyntheticCamera>(Settings);
    };
    Drivers.push_back(std::move(Entry));
  }
  return Drivers;
}
