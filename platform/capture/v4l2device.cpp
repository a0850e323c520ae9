#include "platform/capture/v4l2device.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <filesystem>

namespace {

class TKernelDevice : public TV4L2Device {
 public:
  TKernelDevice(int Descriptor, int WakeDescriptor) : FDescriptor(Descriptor), FWake(WakeDescriptor) {}
  ~TKernelDevice() override {
    ::close(FDescriptor);
    ::close(FWake);
  }

  int Ioctl(unsigned long Request, void* Argument) override {
    for (;;) {
      if (::ioctl(FDescriptor, Request, Argument) == 0) return 0;
      if (errno != EINTR) return errno;
    }
  }

  void* Map(size_t Length, int64_t Offset) override {
    void* Address = ::mmap(nullptr, Length, PROT_READ | PROT_WRITE, MAP_SHARED, FDescriptor, off_t(Offset));
    return Address == MAP_FAILED ? nullptr : Address;
  }

  void Unmap(void* Address, size_t Length) override { ::munmap(Address, Length); }

  int WaitForFrame(int TimeoutMilliseconds) override {
    pollfd Descriptors[2] = {{FDescriptor, POLLIN, 0}, {FWake, POLLIN, 0}};
    for (;;) {
      const int Result = ::poll(Descriptors, 2, TimeoutMilliseconds);
      if (Result < 0) {
        if (errno == EINTR) continue;
        return -errno;
      }
      if (Result == 0) return 0;
      if (Descriptors[1].revents & POLLIN) {
        uint64_t Count = 0;
        [[maybe_unused]] const ssize_t Read = ::read(FWake, &Count, sizeof Count);
        return 0;
      }
      // An unplugged camera hangs up; an error without a frame is a failed device too.
      if (Descriptors[0].revents & (POLLHUP | POLLNVAL)) return -ENODEV;
      if (Descriptors[0].revents & POLLIN) return 1;
      if (Descriptors[0].revents & POLLERR) return -EIO;
      return 0;
    }
  }

  void Wake() override {
    const uint64_t One = 1;
    [[maybe_unused]] const ssize_t Written = ::write(FWake, &One, sizeof One);
  }

 private:
  int FDescriptor;
  int FWake;
};

class TKernelSystem : public TV4L2System {
 public:
  std::vector<std::string> Nodes() override {
    std::vector<std::pair<long, std::string>> Found;
    std::error_code Error;
    for (const auto& Entry : std::filesystem::directory_iterator("/dev", Error)) {
      const std::string Name = Entry.path().filename().string();
      if (Name.rfind("video", 0) != 0 || Name.size() == 5) continue;
      if (!std::all_of(Name.begin() + 5, Name.end(), [](char C) { return C >= '0' && C <= '9'; }))
        continue;
      Found.emplace_back(std::strtol(Name.c_str() + 5, nullptr, 10), Entry.path().string());
    }
    std::sort(Found.begin(), Found.end());
    std::vector<std::string> Nodes;
    for (auto& [Number, Path] : Found) Nodes.push_back(std::move(Path));
    return Nodes;
  }

  std::unique_ptr<TV4L2Device> Open(const std::string& Path, int& Error) override {
    const int Descriptor = ::open(Path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (Descriptor < 0) {
      Error = errno;
      return nullptr;
    }
    const int Wake = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (Wake < 0) {
      Error = errno;
      ::close(Descriptor);
      return nullptr;
    }
    Error = 0;
    return std::make_unique<TKernelDevice>(Descriptor, Wake);
  }
};

std::atomic<TV4L2System*> Installed{nullptr};

}  // namespace

TV4L2System& V4L2System() {
  if (TV4L2System* System = Installed.load()) return *System;
  static TKernelSystem Kernel;
  return Kernel;
}

void InstallV4L2System(TV4L2System* System) { Installed.store(System); }
