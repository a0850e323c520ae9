#pragma once
// The capture library as its callers write it: a capture window per connected driver, driven by
// window messages (WM_CAP_...), with the records and callbacks those messages carry.
//
// The records keep their documented sizes (driver capabilities 44 bytes, status 76 bytes,
// sequence parameters 96 bytes) because callers pass those sizes in wParam; the handles inside
// them were 32 bits wide and stay so here (this library never hands out real handles there).
//
// Every message answers FALSE (0) when it cannot be carried out: no driver connected, a stream
// running where the message needs the driver, a record size too small. A message sent to a
// destroyed capture window answers 0 as well, because the window system does.

#include "platform/capture/fourcc.h"
#include "platform/gdi/bitmap.h"
#include "platform/rtl/wintypes.h"

// ---- messages ---------------------------------------------------------------------------------

constexpr UINT WM_CAP_START = 0x0400;  // WM_USER

constexpr UINT WM_CAP_GET_CAPSTREAMPTR = WM_CAP_START + 1;
constexpr UINT WM_CAP_SET_CALLBACK_ERRORA = WM_CAP_START + 2;
constexpr UINT WM_CAP_SET_CALLBACK_STATUSA = WM_CAP_START + 3;
constexpr UINT WM_CAP_SET_CALLBACK_ERROR = WM_CAP_SET_CALLBACK_ERRORA;
constexpr UINT WM_CAP_SET_CALLBACK_STATUS = WM_CAP_SET_CALLBACK_STATUSA;
constexpr UINT WM_CAP_SET_CALLBACK_YIELD = WM_CAP_START + 4;
constexpr UINT WM_CAP_SET_CALLBACK_FRAME = WM_CAP_START + 5;
constexpr UINT WM_CAP_SET_CALLBACK_VIDEOSTREAM = WM_CAP_START + 6;
constexpr UINT WM_CAP_SET_CALLBACK_WAVESTREAM = WM_CAP_START + 7;
constexpr UINT WM_CAP_GET_USER_DATA = WM_CAP_START + 8;
constexpr UINT WM_CAP_SET_USER_DATA = WM_CAP_START + 9;
constexpr UINT WM_CAP_DRIVER_CONNECT = WM_CAP_START + 10;
constexpr UINT WM_CAP_DRIVER_DISCONNECT = WM_CAP_START + 11;
constexpr UINT WM_CAP_DRIVER_GET_NAMEA = WM_CAP_START + 12;
constexpr UINT WM_CAP_DRIVER_GET_VERSIONA = WM_CAP_START + 13;
constexpr UINT WM_CAP_DRIVER_GET_NAME = WM_CAP_DRIVER_GET_NAMEA;
constexpr UINT WM_CAP_DRIVER_GET_VERSION = WM_CAP_DRIVER_GET_VERSIONA;
constexpr UINT WM_CAP_DRIVER_GET_CAPS = WM_CAP_START + 14;
constexpr UINT WM_CAP_FILE_SET_CAPTURE_FILEA = WM_CAP_START + 20;
constexpr UINT WM_CAP_FILE_GET_CAPTURE_FILEA = WM_CAP_START + 21;
constexpr UINT WM_CAP_FILE_SET_CAPTURE_FILE = WM_CAP_FILE_SET_CAPTURE_FILEA;
constexpr UINT WM_CAP_FILE_GET_CAPTURE_FILE = WM_CAP_FILE_GET_CAPTURE_FILEA;
constexpr UINT WM_CAP_DLG_VIDEOFORMAT = WM_CAP_START + 41;
constexpr UINT WM_CAP_DLG_VIDEOSOURCE = WM_CAP_START + 42;
constexpr UINT WM_CAP_DLG_VIDEODISPLAY = WM_CAP_START + 43;
constexpr UINT WM_CAP_GET_VIDEOFORMAT = WM_CAP_START + 44;
constexpr UINT WM_CAP_SET_VIDEOFORMAT = WM_CAP_START + 45;
constexpr UINT WM_CAP_DLG_VIDEOCOMPRESSION = WM_CAP_START + 46;
constexpr UINT WM_CAP_SET_PREVIEW = WM_CAP_START + 50;
constexpr UINT WM_CAP_SET_OVERLAY = WM_CAP_START + 51;
constexpr UINT WM_CAP_SET_PREVIEWRATE = WM_CAP_START + 52;
constexpr UINT WM_CAP_SET_SCALE = WM_CAP_START + 53;
constexpr UINT WM_CAP_GET_STATUS = WM_CAP_START + 54;
constexpr UINT WM_CAP_SET_SCROLL = WM_CAP_START + 55;
constexpr UINT WM_CAP_GRAB_FRAME = WM_CAP_START + 60;
constexpr UINT WM_CAP_GRAB_FRAME_NOSTOP = WM_CAP_START + 61;
constexpr UINT WM_CAP_SEQUENCE = WM_CAP_START + 62;
constexpr UINT WM_CAP_SEQUENCE_NOFILE = WM_CAP_START + 63;
constexpr UINT WM_CAP_SET_SEQUENCE_SETUP = WM_CAP_START + 64;
constexpr UINT WM_CAP_GET_SEQUENCE_SETUP = WM_CAP_START + 65;
constexpr UINT WM_CAP_STOP = WM_CAP_START + 68;
constexpr UINT WM_CAP_ABORT = WM_CAP_START + 69;
constexpr UINT WM_CAP_PAL_AUTOCREATE = WM_CAP_START + 83;
constexpr UINT WM_CAP_END = WM_CAP_PAL_AUTOCREATE + 2;

// ---- records ----------------------------------------------------------------------------------

struct CAPDRIVERCAPS {
  UINT wDeviceIndex;
  BOOL fHasOverlay;
  BOOL fHasDlgVideoSource;
  BOOL fHasDlgVideoFormat;
  BOOL fHasDlgVideoDisplay;
  BOOL fCaptureInitialized;
  BOOL fDriverSuppliesPalettes;
  DWORD hVideoIn;
  DWORD hVideoOut;
  DWORD hVideoExtIn;
  DWORD hVideoExtOut;
};
using LPCAPDRIVERCAPS = CAPDRIVERCAPS*;
static_assert(sizeof(CAPDRIVERCAPS) == 44);

struct CAPSTATUS {
  UINT uiImageWidth;
  UINT uiImageHeight;
  BOOL fLiveWindow;
  BOOL fOverlayWindow;
  BOOL fScale;
  POINT ptScroll;
  BOOL fUsingDefaultPalette;
  BOOL fAudioHardware;
  BOOL fCapFileExists;
  DWORD dwCurrentVideoFrame;
  DWORD dwCurrentVideoFramesDropped;
  DWORD dwCurrentWaveSamples;
  DWORD dwCurrentTimeElapsedMS;
  DWORD hPalCurrent;
  BOOL fCapturingNow;
  DWORD dwReturn;
  UINT wNumVideoAllocated;
  UINT wNumAudioAllocated;
};
using LPCAPSTATUS = CAPSTATUS*;
static_assert(sizeof(CAPSTATUS) == 76);

struct CAPTUREPARMS {
  DWORD dwRequestMicroSecPerFrame;
  BOOL fMakeUserHitOKToCapture;
  UINT wPercentDropForError;
  BOOL fYield;
  DWORD dwIndexSize;
  UINT wChunkGranularity;
  BOOL fUsingDOSMemory;
  UINT wNumVideoRequested;
  BOOL fCaptureAudio;
  UINT wNumAudioRequested;
  UINT vKeyAbort;
  BOOL fAbortLeftMouse;
  BOOL fAbortRightMouse;
  BOOL fLimitEnabled;
  UINT wTimeLimit;
  BOOL fMCIControl;
  BOOL fStepMCIDevice;
  DWORD dwMCIStartTime;
  DWORD dwMCIStopTime;
  BOOL fStepCaptureAt2x;
  UINT wStepCaptureAverageFrames;
  DWORD dwAudioBufferSize;
  BOOL fDisableWriteCache;
  UINT AVStreamMaster;
};
using LPCAPTUREPARMS = CAPTUREPARMS*;
static_assert(sizeof(CAPTUREPARMS) == 96);

constexpr UINT AVSTREAMMASTER_AUDIO = 0;
constexpr UINT AVSTREAMMASTER_NONE = 1;

// One frame handed to the frame and video-stream callbacks. lpData points at the frame in the
// capture format (the whole format's image size is available, dwBytesUsed of it are the frame);
// a video-stream callback may rewrite those bytes, and what it leaves is what gets recorded.
struct VIDEOHDR {
  LPBYTE lpData;
  DWORD dwBufferLength;
  DWORD dwBytesUsed;
  DWORD dwTimeCaptured;  // milliseconds since the start of the stream (0 for a grabbed frame)
  DWORD_PTR dwUser;
  DWORD dwFlags;
  DWORD_PTR dwReserved[4];
};
using LPVIDEOHDR = VIDEOHDR*;

constexpr DWORD VHDR_DONE = 0x00000001;
constexpr DWORD VHDR_PREPARED = 0x00000002;
constexpr DWORD VHDR_INQUEUE = 0x00000004;
constexpr DWORD VHDR_KEYFRAME = 0x00000008;

// ---- callbacks --------------------------------------------------------------------------------

// The frame callback runs inside WM_CAP_GRAB_FRAME(_NOSTOP) on the thread that sent it. The
// video-stream callback runs for every streamed frame before it is written, on the capture
// thread when the sequence parameters ask for yield (on the sending thread otherwise). The
// status and error callbacks run on whichever thread meets the event: the capture thread for the
// begin and end of a stream and its errors, the sender's thread for errors of a request. The
// library ignores what they return.
using CAPVIDEOCALLBACK = LRESULT (*)(HWND Window, LPVIDEOHDR Header);
using CAPSTATUSCALLBACKA = LRESULT (*)(HWND Window, int Id, LPCSTR Text);
using CAPERRORCALLBACKA = LRESULT (*)(HWND Window, int Id, LPCSTR Text);
using CAPSTATUSCALLBACK = CAPSTATUSCALLBACKA;
using CAPERRORCALLBACK = CAPERRORCALLBACKA;

// Status ids: a stream begins and ends. A status or error id of 0 means "nothing to report".
constexpr int IDS_CAP_BEGIN = 300;
constexpr int IDS_CAP_END = 301;

// Error ids of this library (the error callback's Id; the text says the same in words).
constexpr int CAPERR_NO_DEVICE = 1;        // the device went away ("No such device")
constexpr int CAPERR_FRAME_FAILED = 2;     // the driver delivered no frame in time
constexpr int CAPERR_FILE_FAILED = 3;      // the capture file cannot be written
constexpr int CAPERR_NO_CAPTURE_FILE = 4;  // WM_CAP_SEQUENCE without a capture file name

// ---- functions --------------------------------------------------------------------------------

// Name and version of the driver at Index (0, 1, ...: the V4L2 cameras found, then the
// synthetic camera), each cut to its buffer's size with a terminating zero. FALSE, buffers
// untouched, for an index without a driver.
BOOL capGetDriverDescriptionA(UINT DriverIndex, LPSTR Name, INT NameSize, LPSTR Version,
                              INT VersionSize);
inline BOOL capGetDriverDescription(UINT DriverIndex, LPSTR Name, INT NameSize, LPSTR Version,
                                    INT VersionSize) {
  return capGetDriverDescriptionA(DriverIndex, Name, NameSize, Version, VersionSize);
}

// A capture window: an ordinary window of the calling thread (a child of Parent when the style
// says WS_CHILD), answering the WM_CAP_ messages. Destroying it stops any stream and disconnects
// its driver. Null when the window cannot be created.
HWND capCreateCaptureWindowA(LPCSTR WindowName, DWORD Style, int X, int Y, int Width, int Height,
                             HWND Parent, int Id);
inline HWND capCreateCaptureWindow(LPCSTR WindowName, DWORD Style, int X, int Y, int Width,
                                   int Height, HWND Parent, int Id) {
  return capCreateCaptureWindowA(WindowName, Style, X, Y, Width, Height, Parent, Id);
}
