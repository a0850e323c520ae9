#pragma once
// The state and work behind one capture window, apart from the window itself: the connected
// driver, its format and frame buffer, the callbacks, the sequence parameters and the stream.
// The capture window turns each WM_CAP_ message into one call here; tests drive it directly.
//
// Threads. Every call comes from the owner's thread (the capture window's). A stream started
// with yield on runs on a capture thread of its own, which paces frames by the clock service
// (Clock().WaitUntilTick), so a manual clock drives it in tests, and calls the video-stream
// callback for every frame before writing it. Stop, Abort, Disconnect and the destructor end a
// stream at once: they wake the pacing wait, interrupt the driver, and release the capture
// thread from a callback that waits for the owner's thread (through TCaptureThreadRelease), then
// wait for the capture thread to finish the file.

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/capture/capture.h"
#include "platform/capture/capturedriver.h"

class TAviWriter;

// How a stopping thread frees the capture thread from a hand-off that waits for the stopping
// thread. The window layer answers with the window system's blocking of cross-thread sends.
class TCaptureThreadRelease {
 public:
  virtual ~TCaptureThreadRelease() = default;
  // Runs on the capture thread before its first callback; the id Block gets later.
  virtual uint32_t Register() = 0;
  // Runs on the stopping thread: Block(Id, true) before it waits for the capture thread (every
  // hand-off of that thread, waiting or later, returns at once), Block(Id, false) after.
  virtual void Block(uint32_t Id, bool Value) = 0;
};

class TCaptureSession {
 public:
  explicit TCaptureSession(HWND Window = nullptr, TCaptureThreadRelease* Release = nullptr);
  ~TCaptureSession();
  TCaptureSession(const TCaptureSession&) = delete;
  TCaptureSession& operator=(const TCaptureSession&) = delete;

  // ---- driver ----
  // Disconnects, then connects the driver at Index of the driver list. False when there is no
  // such driver or it cannot be opened (the error callback hears why).
  bool Connect(int Index);
  // Ends any stream and lets the driver go; false when none was connected.
  bool Disconnect();
  bool Connected() const { return FDriver != nullptr; }
  TCaptureDriver* Driver() { return FDriver.get(); }
  const std::string& DriverName() const { return FDriverName; }
  const std::string& DriverVersion() const { return FDriverVersion; }
  // Copies the capabilities (at most Size bytes); false when not connected.
  bool GetDriverCaps(void* Caps, size_t Size) const;
  bool ShowDialog(TCaptureDialog Dialog);

  // ---- format ----
  // Asks the driver for the format in the BITMAPINFOHEADER at Format; false when the driver
  // refuses it, a stream runs, or nothing is connected.
  bool SetVideoFormat(const void* Format, size_t Size);
  // With Format null: the size of the whole format. Otherwise copies at most Size bytes of it and
  // answers how many. 0 when not connected.
  DWORD GetVideoFormat(void* Format, size_t Size) const;
  const BITMAPINFOHEADER& VideoFormat() const { return FFormat; }

  // ---- frames ----
  // Captures one frame and runs the frame callback with it on this thread; false when not
  // connected, while a stream runs, or when the driver delivers no frame.
  bool GrabFrame();
  bool GetStatus(void* Status, size_t Size);

  void SetFrameCallback(CAPVIDEOCALLBACK Callback) { FFrameCallback = Callback; }
  void SetVideoStreamCallback(CAPVIDEOCALLBACK Callback) { FVideoStreamCallback = Callback; }
  void SetErrorCallback(CAPERRORCALLBACKA Callback) { FErrorCallback = Callback; }
  void SetStatusCallback(CAPSTATUSCALLBACKA Callback) { FStatusCallback = Callback; }

  // ---- streams ----
  bool GetSequenceSetup(void* Parameters, size_t Size) const;
  // Takes at most Size bytes of a CAPTUREPARMS; false for a frame period of 0 microseconds.
  bool SetSequenceSetup(const void* Parameters, size_t Size);
  bool SetCaptureFile(const char* Name);
  const std::string& CaptureFile() const { return FCaptureFile; }
  // Starts a stream: into the capture file (an AVI, complete and renamed when the stream ends),
  // or without a file. With yield on it returns at once and the stream runs on the capture
  // thread; with yield off it returns when the stream is over. False when not connected, a
  // stream runs already, or the file cannot be created. A file that cannot be written on (a full
  // disk) ends the stream: the movie keeps the frames written before, every one the status
  // counts, and the error callback hears CAPERR_FILE_FAILED with why and how many frames.
  bool StartSequence(bool ToFile);
  // Ends a running stream; the frames captured so far stay in the file. True when connected.
  bool Stop();
  bool Abort() { return Stop(); }
  bool Capturing() const { return FCapturing.load(); }

  void SetPreview(bool Value) { FPreview = Value; }
  void SetUserData(LPARAM Value) { FUserData = Value; }
  LPARAM UserData() const { return FUserData; }

 private:
  void AdoptDriverFormat();
  void JoinFinishedStream();
  void RunStream(std::unique_ptr<TAviWriter> Writer, CAPTUREPARMS Parameters);
  void ReportError(int Id, const std::string& Text);
  void ReportStatus(int Id, const char* Text);
  void CallVideo(CAPVIDEOCALLBACK Callback, VIDEOHDR& Header);

  HWND FWindow;
  TCaptureThreadRelease* FRelease;
  std::unique_ptr<TCaptureDriver> FDriver;
  int FDriverIndex = -1;
  std::string FDriverName, FDriverVersion;
  BITMAPINFOHEADER FFormat{};
  std::vector<uint8_t> FBuffer;
  VIDEOHDR FHeader{};
  CAPTUREPARMS FParameters{};
  std::string FCaptureFile;
  bool FPreview = false;
  LPARAM FUserData = 0;
  uint64_t FConnectTick = 0;

  std::atomic<CAPVIDEOCALLBACK> FFrameCallback{nullptr};
  std::atomic<CAPVIDEOCALLBACK> FVideoStreamCallback{nullptr};
  std::atomic<CAPERRORCALLBACKA> FErrorCallback{nullptr};
  std::atomic<CAPSTATUSCALLBACKA> FStatusCallback{nullptr};

  std::thread FThread;
  std::thread::id FSynchronousThread;  // set while a stream runs on the owner's thread
  std::atomic<bool> FCapturing{false};
  std::atomic<bool> FCancel{false};
  std::atomic<uint32_t> FCaptureThreadId{0};
  std::atomic<uint64_t> FStreamStart{0};
  std::atomic<DWORD> FFramesCaptured{0};
  std::atomic<DWORD> FFramesDropped{0};
  std::atomic<DWORD> FElapsed{0};
};
