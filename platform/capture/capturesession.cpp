#include "platform/capture/capturesession.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <future>

#include "platform/capture/aviwriter.h"
#include "platform/capture/capturedialog.h"
#include "platform/capture/trace.h"
#include "platform/rtl/clock.h"
#include "platform/rtl/fileutils.h"

namespace {

// The capture library's documented starting values of the sequence parameters: 15 frames a
// second, no time limit, Escape and both mouse buttons abort, capture on the caller's thread.
CAPTUREPARMS DefaultParameters() {
  CAPTUREPARMS Parameters{};
  Parameters.dwRequestMicroSecPerFrame = 66667;
  Parameters.wPercentDropForError = 10;
  Parameters.dwIndexSize = 34952;
  Parameters.wNumVideoRequested = 10;
  Parameters.vKeyAbort = 0x1B;  // VK_ESCAPE
  Parameters.fAbortLeftMouse = TRUE;
  Parameters.fAbortRightMouse = TRUE;
  Parameters.wStepCaptureAverageFrames = 3;
  Parameters.AVStreamMaster = AVSTREAMMASTER_AUDIO;
  return Parameters;
}

}  // namespace

TCaptureSession::TCaptureSession(HWND Window, TCaptureThreadRelease* Release)
    : FWindow(Window), FRelease(Release), FParameters(DefaultParameters()) {}

TCaptureSession::~TCaptureSession() { Disconnect(); }

// ---- callbacks --------------------------------------------------------------------------------
// The program's callbacks are plain functions; one that throws must not take the capture thread
// (or this library's frames) with it.

void TCaptureSession::ReportError(int Id, const std::string& Text) {
  KORCAM_CAPTURE_TRACE(Capture, "error " + std::to_string(Id) + ": " + Text);
  if (CAPERRORCALLBACKA Callback = FErrorCallback.load()) {
    try {
      Callback(FWindow, Id, Text.c_str());
    } catch (...) {
      KORCAM_CAPTURE_TRACE(Capture, "the error callback threw");
    }
  }
}

void TCaptureSession::ReportStatus(int Id, const char* Text) {
  if (CAPSTATUSCALLBACKA Callback = FStatusCallback.load()) {
    try {
      Callback(FWindow, Id, Text);
    } catch (...) {
      KORCAM_CAPTURE_TRACE(Capture, "the status callback threw");
    }
  }
}

void TCaptureSession::CallVideo(CAPVIDEOCALLBACK Callback, VIDEOHDR& Header) {
  if (!Callback) return;
  try {
    Callback(FWindow, &Header);
  } catch (...) {
    KORCAM_CAPTURE_TRACE(Capture, "a frame callback threw");
  }
}

// ---- driver -----------------------------------------------------------------------------------

bool TCaptureSession::Connect(int Index) {
  Disconnect();
  if (Index < 0) return false;
  std::vector<TCaptureDriverEntry> Drivers = EnumerateCaptureDrivers();
  if (size_t(Index) >= Drivers.size() || !Drivers[size_t(Index)].Open) return false;
  std::string Error;
  std::unique_ptr<TCaptureDriver> Driver = Drivers[size_t(Index)].Open(Error);
  if (!Driver) {
    ReportError(CAPERR_NO_DEVICE, Error.empty() ? "No such device" : Error);
    return false;
  }
  FDriver = std::move(Driver);
  FDriverIndex = Index;
  FDriverName = Drivers[size_t(Index)].Name;
  FDriverVersion = Drivers[size_t(Index)].Version;
  FConnectTick = Clock().TickCount();
  FFramesCaptured = 0;
  FFramesDropped = 0;
  FElapsed = 0;
  AdoptDriverFormat();
  KORCAM_CAPTURE_TRACE(Capture, "connected " + FDriverName + " " + FDriverVersion);
  return true;
}

bool TCaptureSession::Disconnect() {
  Stop();
  if (!FDriver) return false;
  FDriver.reset();
  FDriverIndex = -1;
  FDriverName.clear();
  FDriverVersion.clear();
  FFormat = {};
  FBuffer.clear();
  FBuffer.shrink_to_fit();
  return true;
}

void TCaptureSession::AdoptDriverFormat() {
  FFormat = FDriver->Format();
  DWORD Size = FFormat.biSizeImage;
  if (Size == 0) Size = VideoImageSize(FFormat.biCompression, FFormat.biWidth, FFormat.biHeight, FFormat.biBitCount);
  FBuffer.assign(Size, 0);
}

bool TCaptureSession::GetDriverCaps(void* Caps, size_t Size) const {
  if (!FDriver || !Caps || Size == 0 || !FDriver->AnswersCapabilities()) return false;
  CAPDRIVERCAPS Filled{};
  Filled.wDeviceIndex = UINT(FDriverIndex);
  Filled.fHasDlgVideoSource = FDriver->HasDialog(TCaptureDialog::Source);
  Filled.fHasDlgVideoFormat = FDriver->HasDialog(TCaptureDialog::Format);
  Filled.fHasDlgVideoDisplay = FDriver->HasDialog(TCaptureDialog::Display);
  Filled.fCaptureInitialized = TRUE;
  std::memcpy(Caps, &Filled, std::min(Size, sizeof Filled));
  return true;
}

// ---- format -----------------------------------------------------------------------------------

bool TCaptureSession::SetVideoFormat(const void* Format, size_t Size) {
  JoinFinishedStream();
  if (!FDriver || FCapturing || !Format || Size < sizeof(BITMAPINFOHEADER)) return false;
  BITMAPINFOHEADER Wanted;
  std::memcpy(&Wanted, Format, sizeof Wanted);
  const bool Taken = FDriver->SetFormat(Wanted);
  // A refusal may still have moved the driver (a camera settles on what it can), so the format
  // is read back either way.
  AdoptDriverFormat();
  return Taken;
}

DWORD TCaptureSession::GetVideoFormat(void* Format, size_t Size) const {
  if (!FDriver) return 0;
  constexpr DWORD Whole = sizeof(BITMAPINFOHEADER);
  if (!Format) return Whole;
  const DWORD Copied = DWORD(std::min<size_t>(Size, Whole));
  std::memcpy(Format, &FFormat, Copied);
  return Copied;
}

// ---- frames -----------------------------------------------------------------------------------

bool TCaptureSession::GrabFrame() {
  JoinFinishedStream();
  if (!FDriver || FCapturing || FBuffer.empty()) return false;
  const TCaptureResult Result = FDriver->Capture(FBuffer.data(), FBuffer.size());
  if (Result.Outcome != TCaptureOutcome::Frame) {
    ReportError(Result.Outcome == TCaptureOutcome::Gone ? CAPERR_NO_DEVICE : CAPERR_FRAME_FAILED,
                FDriver->LastError());
    return false;
  }
  FHeader = {};
  FHeader.lpData = FBuffer.data();
  FHeader.dwBufferLength = DWORD(FBuffer.size());
  FHeader.dwBytesUsed = DWORD(Result.BytesUsed);
  FHeader.dwTimeCaptured = DWORD(Clock().TickCount() - FConnectTick);
  FHeader.dwFlags = VHDR_DONE | VHDR_KEYFRAME;
  CallVideo(FFrameCallback.load(), FHeader);
  return true;
}

bool TCaptureSession::GetStatus(void* Status, size_t Size) {
  JoinFinishedStream();
  if (!FDriver || !Status || Size == 0) return false;
  CAPSTATUS Filled{};
  Filled.uiImageWidth = UINT(FFormat.biWidth);
  Filled.uiImageHeight = UINT(std::abs(FFormat.biHeight));
  Filled.fLiveWindow = FPreview;
  Filled.fCapFileExists = !FCaptureFile.empty() && FileExists(FCaptureFile);
  Filled.dwCurrentVideoFrame = FFramesCaptured;
  Filled.dwCurrentVideoFramesDropped = FFramesDropped;
  Filled.fCapturingNow = FCapturing;
  Filled.dwCurrentTimeElapsedMS =
      Filled.fCapturingNow ? DWORD(Clock().TickCount() - FStreamStart.load()) : FElapsed.load();
  Filled.wNumVideoAllocated = 1;
  std::memcpy(Status, &Filled, std::min(Size, sizeof Filled));
  return true;
}

// ---- streams ----------------------------------------------------------------------------------

bool TCaptureSession::GetSequenceSetup(void* Parameters, size_t Size) const {
  if (!Parameters || Size == 0) return false;
  std::memcpy(Parameters, &FParameters, std::min(Size, sizeof FParameters));
  return true;
}

bool TCaptureSession::SetSequenceSetup(const void* Parameters, size_t Size) {
  if (!Parameters || Size == 0) return false;
  CAPTUREPARMS Taken = FParameters;
  std::memcpy(&Taken, Parameters, std::min(Size, sizeof Taken));
  if (Taken.dwRequestMicroSecPerFrame == 0) return false;
  FParameters = Taken;
  return true;
}

bool TCaptureSession::SetCaptureFile(const char* Name) {
  if (!Name || !*Name) return false;
  FCaptureFile = Name;
  return true;
}

void TCaptureSession::JoinFinishedStream() {
  if (FThread.joinable() && !FCapturing) FThread.join();
}

bool TCaptureSession::StartSequence(bool ToFile) {
  JoinFinishedStream();
  if (!FDriver || FCapturing || FThread.joinable() || FBuffer.empty()) return false;
  std::unique_ptr<TAviWriter> Writer;
  if (ToFile) {
    if (FCaptureFile.empty()) {
      ReportError(CAPERR_NO_CAPTURE_FILE, "No capture file");
      return false;
    }
    Writer = std::make_unique<TAviWriter>();
    if (!Writer->Open(FCaptureFile, FFormat, FParameters.dwRequestMicroSecPerFrame)) {
      ReportError(CAPERR_FILE_FAILED, Writer->Error());
      return false;
    }
  }
  FCancel = false;
  FFramesCaptured = 0;
  FFramesDropped = 0;
  FElapsed = 0;
  FStreamStart = Clock().TickCount();
  FCapturing = true;
  const CAPTUREPARMS Parameters = FParameters;
  if (!Parameters.fYield) {
    FSynchronousThread = std::this_thread::get_id();
    RunStream(std::move(Writer), Parameters);
    FSynchronousThread = {};
    return true;
  }
  // The capture thread registers for release before this call returns, so a Stop that follows
  // at once already knows whom to release.
  std::promise<void> Registered;
  std::future<void> RegisteredFuture = Registered.get_future();
  FCaptureThreadId = 0;
  FThread = std::thread([this, &Registered, Parameters, Writer = std::move(Writer)]() mutable {
    if (FRelease) FCaptureThreadId = FRelease->Register();
    Registered.set_value();
    RunStream(std::move(Writer), Parameters);
  });
  RegisteredFuture.wait();
  return true;
}

void TCaptureSession::RunStream(std::unique_ptr<TAviWriter> Writer, CAPTUREPARMS Parameters) {
  ReportStatus(IDS_CAP_BEGIN, "Capture Start");
  const uint64_t Start = FStreamStart;
  const uint64_t Period = Parameters.dwRequestMicroSecPerFrame;  // microseconds, never 0
  const bool Limited = Parameters.fLimitEnabled != FALSE;
  const uint64_t Limit = uint64_t(Parameters.wTimeLimit) * 1000000;
  bool FileFailed = false;
  VIDEOHDR Header{};
  for (uint64_t Slot = 0; !FCancel;) {
    // Slot k is due k frame periods after the start. The limit holds the nearest whole number
    // of frames (a period of 66666 microseconds makes 30 frames in 2 seconds, not 31); a limit
    // of 0 ends before the first frame.
    const uint64_t SlotTime = Slot * Period;
    if (Limited && SlotTime + Period / 2 >= Limit) break;
    if (!Clock().WaitUntilTick(Start + SlotTime / 1000, FCancel)) break;
    const TCaptureResult Result = FDriver->Capture(FBuffer.data(), FBuffer.size());
    if (FCancel) break;
    if (Result.Outcome == TCaptureOutcome::Gone) {
      ReportError(CAPERR_NO_DEVICE, FDriver->LastError());
      break;
    }
    if (Result.Outcome == TCaptureOutcome::NoFrame) {
      ++FFramesDropped;
    } else {
      Header = {};
      Header.lpData = FBuffer.data();
      Header.dwBufferLength = DWORD(FBuffer.size());
      Header.dwBytesUsed = DWORD(Result.BytesUsed);
      Header.dwTimeCaptured = DWORD(SlotTime / 1000);
      Header.dwFlags = VHDR_DONE | VHDR_KEYFRAME;
      CallVideo(FVideoStreamCallback.load(), Header);
      // A frame whose hand-off was cut short by a stop was not composed: it stays out.
      if (FCancel) break;
      if (Writer && !Writer->Write(FBuffer.data(), FBuffer.size(), int64_t(Slot))) {
        ReportError(CAPERR_FILE_FAILED, Writer->Error());
        FileFailed = true;
        break;
      }
      ++FFramesCaptured;
    }
    // Slots whose time has passed while this one was handled are dropped, so the movie keeps
    // real time when the program is slower than the frame rate.
    ++Slot;
    const uint64_t Now = Clock().TickCount();
    const uint64_t Current = Now > Start ? (Now - Start) * 1000 / Period : 0;
    if (Current > Slot) {
      FFramesDropped += DWORD(Current - Slot);
      Slot = Current;
    }
  }
  FElapsed = DWORD(Clock().TickCount() - Start);
  if (Writer && !FileFailed && !Writer->Finish()) ReportError(CAPERR_FILE_FAILED, Writer->Error());
  Writer.reset();
  ReportStatus(IDS_CAP_END, "Capture End");
  FCapturing = false;
}

bool TCaptureSession::Stop() {
  if (FSynchronousThread == std::this_thread::get_id() || FThread.get_id() == std::this_thread::get_id()) {
    // Asked from a callback of the stream itself: it ends once the callback returns.
    FCancel = true;
    return true;
  }
  if (FThread.joinable()) {
    FCancel = true;
    Clock().WakeWaiters();
    if (FDriver) FDriver->Interrupt();
    const uint32_t Id = FCaptureThreadId;
    if (FRelease) FRelease->Block(Id, true);
    FThread.join();
    if (FRelease) FRelease->Block(Id, false);
  }
  return FDriver != nullptr;
}

bool TCaptureSession::ShowDialog(TCaptureDialog Dialog) {
  if (!FDriver || !FDriver->HasDialog(Dialog)) return false;
  return RunCaptureDialog(FWindow, Dialog, *FDriver);
}
