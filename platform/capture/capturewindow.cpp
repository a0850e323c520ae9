// The capture window: an ordinary window of our window system whose procedure turns each
// WM_CAP_ message into a call of its TCaptureSession, and the driver descriptions.
//
// The capture thread of a stream hands frames to the program through the program's callbacks,
// which send them to the user-interface thread and wait. When that thread stops the stream, it
// blocks the capture thread's cross-thread sends before waiting for it, so a hand-off in flight
// returns at once and the two threads never wait for each other.

#include <algorithm>
#include <cstring>
#include <mutex>

#include "platform/capture/capture.h"
#include "platform/capture/capturedriver.h"
#include "platform/capture/capturesession.h"
#include "platform/user/user.h"

namespace {

constexpr const char* CaptureWindowClass = "KorcamCaptureWindow";
constexpr int SessionSlot = 0;  // the window's extra bytes hold its session

class TSendRelease : public TCaptureThreadRelease {
 public:
  uint32_t Register() override { return GetCurrentThreadId(); }
  void Block(uint32_t Id, bool Value) override {
    if (Id != 0) BlockThreadSends(Id, Value ? TRUE : FALSE);
  }
};

TSendRelease& SendRelease() {
  static TSendRelease Instance;
  return Instance;
}

TCaptureSession* SessionOf(HWND Window) {
  return reinterpret_cast<TCaptureSession*>(GetWindowLongPtrA(Window, SessionSlot));
}

// Copies Text into a caller's buffer of Size bytes, cut to fit, zero-terminated.
BOOL CopyText(const std::string& Text, LPARAM Buffer, WPARAM Size) {
  if (Buffer == 0 || Size == 0) return FALSE;
  const size_t Copied = std::min<size_t>(Text.size(), Size - 1);
  std::memcpy(reinterpret_cast<char*>(Buffer), Text.data(), Copied);
  reinterpret_cast<char*>(Buffer)[Copied] = '\0';
  return TRUE;
}

LRESULT Dispatch(TCaptureSession& Session, UINT Message, WPARAM WParam, LPARAM LParam) {
  void* Record = reinterpret_cast<void*>(LParam);
  switch (Message) {
    case WM_CAP_DRIVER_CONNECT: return Session.Connect(int(intptr_t(WParam)));
    case WM_CAP_DRIVER_DISCONNECT: return Session.Disconnect();
    case WM_CAP_DRIVER_GET_NAMEA:
      return Session.Connected() ? CopyText(Session.DriverName(), LParam, WParam) : FALSE;
    case WM_CAP_DRIVER_GET_VERSIONA:
      return Session.Connected() ? CopyText(Session.DriverVersion(), LParam, WParam) : FALSE;
    case WM_CAP_DRIVER_GET_CAPS: return Session.GetDriverCaps(Record, WParam);
    case WM_CAP_PAL_AUTOCREATE: return Session.Connected();  // no driver of ours uses palettes
    case WM_CAP_SET_VIDEOFORMAT: return Session.SetVideoFormat(Record, WParam);
    case WM_CAP_GET_VIDEOFORMAT: return Session.GetVideoFormat(Record, WParam);
    case WM_CAP_GET_STATUS: return Session.GetStatus(Record, WParam);
    case WM_CAP_GRAB_FRAME:
    case WM_CAP_GRAB_FRAME_NOSTOP: return Session.GrabFrame();
    case WM_CAP_SET_CALLBACK_FRAME:
      Session.SetFrameCallback(reinterpret_cast<CAPVIDEOCALLBACK>(LParam));
      return TRUE;
    case WM_CAP_SET_CALLBACK_VIDEOSTREAM:
      Session.SetVideoStreamCallback(reinterpret_cast<CAPVIDEOCALLBACK>(LParam));
      return TRUE;
    case WM_CAP_SET_CALLBACK_ERRORA:
      Session.SetErrorCallback(reinterpret_cast<CAPERRORCALLBACKA>(LParam));
      return TRUE;
    case WM_CAP_SET_CALLBACK_STATUSA:
      Session.SetStatusCallback(reinterpret_cast<CAPSTATUSCALLBACKA>(LParam));
      return TRUE;
    case WM_CAP_DLG_VIDEOFORMAT: return Session.ShowDialog(TCaptureDialog::Format);
    case WM_CAP_DLG_VIDEOSOURCE: return Session.ShowDialog(TCaptureDialog::Source);
    case WM_CAP_DLG_VIDEODISPLAY: return Session.ShowDialog(TCaptureDialog::Display);
    case WM_CAP_DLG_VIDEOCOMPRESSION: return Session.ShowDialog(TCaptureDialog::Compression);
    case WM_CAP_GET_SEQUENCE_SETUP: return Session.GetSequenceSetup(Record, WParam);
    case WM_CAP_SET_SEQUENCE_SETUP: return Session.SetSequenceSetup(Record, WParam);
    case WM_CAP_SEQUENCE: return Session.StartSequence(true);
    case WM_CAP_SEQUENCE_NOFILE: return Session.StartSequence(false);
    case WM_CAP_STOP: return Session.Stop();
    case WM_CAP_ABORT: return Session.Abort();
    case WM_CAP_FILE_SET_CAPTURE_FILEA: return Session.SetCaptureFile(reinterpret_cast<LPCSTR>(LParam));
    case WM_CAP_FILE_GET_CAPTURE_FILEA: return CopyText(Session.CaptureFile(), LParam, WParam);
    case WM_CAP_SET_PREVIEW:
      Session.SetPreview(WParam != 0);
      return Session.Connected();
    case WM_CAP_SET_PREVIEWRATE:
    case WM_CAP_SET_SCALE: return Session.Connected();
    case WM_CAP_SET_OVERLAY: return FALSE;  // no driver of ours draws into the window itself
    case WM_CAP_GET_USER_DATA: return Session.UserData();
    case WM_CAP_SET_USER_DATA:
      Session.SetUserData(LParam);
      return TRUE;
    default: return FALSE;
  }
}

LRESULT CaptureWindowProc(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam) {
  if (Message == WM_NCCREATE) {
    SetWindowLongPtrA(Window, SessionSlot, reinterpret_cast<LONG_PTR>(new TCaptureSession(Window, &SendRelease())));
    return DefWindowProcA(Window, Message, WParam, LParam);
  }
  TCaptureSession* Session = SessionOf(Window);
  if (Message == WM_DESTROY && Session) {
    // A stream ends (and its file is completed) before the window goes.
    Session->Disconnect();
  } else if (Message == WM_NCDESTROY) {
    SetWindowLongPtrA(Window, SessionSlot, 0);
    delete Session;
  } else if (Session && Message >= WM_CAP_START && Message <= WM_CAP_END) {
    return Dispatch(*Session, Message, WParam, LParam);
  }
  return DefWindowProcA(Window, Message, WParam, LParam);
}

void RegisterCaptureWindowClass() {
  static std::once_flag Registered;
  std::call_once(Registered, [] {
    WNDCLASSA Class{};
    Class.lpfnWndProc = CaptureWindowProc;
    Class.cbWndExtra = sizeof(LONG_PTR);
    Class.lpszClassName = CaptureWindowClass;
    RegisterClassA(&Class);
  });
}

}  // namespace

BOOL capGetDriverDescriptionA(UINT DriverIndex, LPSTR Name, INT NameSize, LPSTR Version, INT VersionSize) {
  const std::vector<TCaptureDriverEntry> Drivers = EnumerateCaptureDrivers();
  if (DriverIndex >= Drivers.size() || !Drivers[DriverIndex].Open) return FALSE;
  if (Name && NameSize > 0) CopyText(Drivers[DriverIndex].Name, LPARAM(Name), WPARAM(NameSize));
  if (Version && VersionSize > 0) CopyText(Drivers[DriverIndex].Version, LPARAM(Version), WPARAM(VersionSize));
  return TRUE;
}

HWND capCreateCaptureWindowA(LPCSTR WindowName, DWORD Style, int X, int Y, int Width, int Height, HWND Parent,
                             int Id) {
  RegisterCaptureWindowClass();
  return CreateWindowExA(0, CaptureWindowClass, WindowName ? WindowName : "", Style, X, Y, Width, Height, Parent,
                         reinterpret_cast<HMENU>(intptr_t(Id)), nullptr, nullptr);
}
