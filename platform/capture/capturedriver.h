#pragma once
// The drivers behind the capture windows. A driver list is built fresh whenever a caller asks
// (the V4L2 cameras found among /dev/video*, in node order, then the synthetic camera at the next
// index), so a camera plugged in between two starts is found, and the synthetic camera takes
// the first free index: a real camera, when there is one, comes first.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/capture/videoformat.h"

enum class TCaptureDialog { Format, Source, Display, Compression };

enum class TCaptureOutcome {
  Frame,    // a frame was delivered
  NoFrame,  // none in time (or interrupted): the caller drops this frame and goes on
  Gone,     // the device went away; no later frame will come
};

struct TCaptureResult {
  TCaptureOutcome Outcome = TCaptureOutcome::NoFrame;
  size_t BytesUsed = 0;
};

// A connected device. One capture window owns it; one thread at a time uses it (the window's
// thread, or the capture thread while a stream runs), except Interrupt, which any thread may call.
class TCaptureDriver {
 public:
  virtual ~TCaptureDriver() = default;

  // The format frames come in: a BITMAPINFOHEADER whose image size is the largest frame,
  // possibly followed by more bytes (none of our drivers add any).
  virtual const BITMAPINFOHEADER& Format() const = 0;

  // Asks for a format. True when the driver now delivers that code, possibly at another size
  // (Format() tells which); false leaves the previous format in force.
  virtual bool SetFormat(const BITMAPINFOHEADER& Wanted) = 0;

  virtual bool HasDialog(TCaptureDialog Dialog) const = 0;

  // Whether the driver answers the capabilities request. A driver that cannot (one left in a
  // bad state by its device) makes WM_CAP_DRIVER_GET_CAPS answer FALSE; ours always can.
  virtual bool AnswersCapabilities() const { return true; }

  // Writes the next frame into Buffer (Size >= the format's image size). Waits for the device
  // a bounded time, never forever.
  virtual TCaptureResult Capture(uint8_t* Buffer, size_t Size) = 0;

  // Makes a Capture waiting on the device return at once without a frame. Any thread.
  virtual void Interrupt() {}

  // Ends continuous delivery, if the driver keeps a stream running between captures.
  virtual void Pause() {}

  // Why the last call failed, for the error callback.
  virtual std::string LastError() const { return {}; }
};

struct TCaptureDriverEntry {
  std::string Name;
  std::string Version;
  // Connects the device; null with Error set when it cannot (a camera unplugged since the list
  // was made says "No such device"). An entry without Open is an index whose driver does not
  // answer: it has no description and cannot be connected.
  std::function<std::unique_ptr<TCaptureDriver>(std::string& Error)> Open;
};

std::vector<TCaptureDriverEntry> EnumerateCaptureDrivers();

// For tests: the list EnumerateCaptureDrivers answers instead of the devices found, which may
// leave gaps (entries without Open) between the drivers; an empty function brings back the
// devices. The caller keeps it installed only while no capture window uses the list.
using TCaptureDriverList = std::function<std::vector<TCaptureDriverEntry>()>;
void InstallCaptureDriverList(TCaptureDriverList List);
