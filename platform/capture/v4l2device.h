#pragma once
// The kernel side of a V4L2 camera, as thin as the driver needs it: open a node, ioctl, map and
// unmap buffers, wait for a frame. The driver talks to cameras only through these two
// interfaces, so tests stand a fake device in for the kernel.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TV4L2Device {
 public:
  virtual ~TV4L2Device() = default;
  // 0, or the errno value of the failure (an interrupted call is repeated inside).
  virtual int Ioctl(unsigned long Request, void* Argument) = 0;
  // A buffer's memory (offset and length from VIDIOC_QUERYBUF); null on failure.
  virtual void* Map(size_t Length, int64_t Offset) = 0;
  virtual void Unmap(void* Address, size_t Length) = 0;
  // Waits until a filled buffer can be dequeued: 1 when one can, 0 after the timeout or a Wake,
  // minus the errno value when the device failed (-ENODEV: it is gone).
  virtual int WaitForFrame(int TimeoutMilliseconds) = 0;
  // Ends a WaitForFrame of another thread early.
  virtual void Wake() = 0;
};

class TV4L2System {
 public:
  virtual ~TV4L2System() = default;
  // The device nodes that may be cameras, in number order (/dev/video0, /dev/video1, ...).
  virtual std::vector<std::string> Nodes() = 0;
  // Opens a node for reading and writing; null with Error set to the errno value.
  virtual std::unique_ptr<TV4L2Device> Open(const std::string& Path, int& Error) = 0;
};

// The system the capture drivers use: the kernel, unless a test installed another one.
TV4L2System& V4L2System();
// Installs a system (null: the kernel again). The caller keeps ownership.
void InstallV4L2System(TV4L2System* System);
