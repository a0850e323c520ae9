// The capture device of the main window: the driver list, connecting the chosen driver (or, on
// the first start, the first that answers), the frame buffer that every frame is copied or
// decompressed into, the frame callbacks, streaming capture, and the video size the driver
// delivers.
//
// Everything goes through the hidden capture window and its messages. The preview grabs one
// frame per tick on the user-interface thread; the frame callback runs inside that grab. During
// streaming capture (a movie, or the stream behind the video-source dialog) the capture library
// calls the video-stream callback on its own thread for every frame: the callback sends the frame
// to the main window and waits until the user-interface thread has composed it and written the
// composed picture back into it, so the recorded movie carries the stamps. When the
// user-interface thread stops the stream meanwhile, the capture library releases the waiting send,
// so the two threads never wait for each other.

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>

#include "app/datamodule1.h"
#include "app/formghost.h"
#include "app/optiontext.h"
#include "platform/forms/application.h"
#include "platform/forms/bitmap.h"
#include "platform/forms/picture.h"
#include "platform/forms/screen.h"
#include "platform/rtl/clock.h"
#include "platform/rtl/scopeexit.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/sysutils.h"
#include "platform/shell/modules.h"
#include "platform/user/user.h"

namespace {

// Where a streamed frame goes (the main window) and the thread it is composed on; set while the
// callbacks are installed. The capture thread reads them.
std::atomic<HWND> GStreamTarget{nullptr};
std::atomic<DWORD> GUserInterfaceThread{0};

bool OnUserInterfaceThread() {
  return GetCurrentThreadId() == GUserInterfaceThread.load();
}

LRESULT FrameCallback(HWND Window, LPVIDEOHDR Header) {
  if (FormGhost) {
    FormGhost->OnCaptureFrame(Window, Header);
    Application->ProcessMessages();
  }
  return TRUE;
}

LRESULT VideoStreamCallback(HWND Window, LPVIDEOHDR Header) {
  if (OnUserInterfaceThread()) {
    // A stream without the background thread calls back inside the request that started it.
    if (FormGhost) {
      FormGhost->OnCaptureVideoStream(Window, Header);
      Application->ProcessMessages();
    }
  } else if (HWND Target = GStreamTarget.load()) {
    // Answers once the frame is composed and written back, or at once when the stream is stopped
    // meanwhile. Pending window messages are never processed on this thread.
    SendMessageA(Target, WM_CAPTURE_STREAM_FRAME, reinterpret_cast<WPARAM>(Window),
                 reinterpret_cast<LPARAM>(Header));
  }
  return TRUE;
}

LRESULT ErrorCallback(HWND Window, int Id, LPCSTR Text) {
  if (OnUserInterfaceThread() && FormGhost) {
    FormGhost->OnCaptureError(Window, Id, Text);
    Application->ProcessMessages();
  }
  return TRUE;
}

LRESULT StatusCallback(HWND Window, int Id, LPCSTR Text) {
  if (OnUserInterfaceThread() && FormGhost) {
    FormGhost->OnCaptureStatus(Window, Id, Text);
    Application->ProcessMessages();
  }
  return TRUE;
}

LRESULT SendToWindow(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam) {
  if (!Window || !IsWindow(Window)) return 0;
  return SendMessageA(Window, Message, WParam, LParam);
}

template <class TCallback>
LPARAM CallbackParameter(TCallback Callback) {
  return reinterpret_cast<LPARAM>(Callback);
}

// The bytes of one frame of the capture format: its image size, or for an uncompressed format
// that leaves it 0, what its rows take.
size_t CaptureImageSize(const std::vector<uint8_t>& Format) {
  if (Format.size() < sizeof(BITMAPINFOHEADER)) return 0;
  BITMAPINFOHEADER Header;
  std::memcpy(&Header, Format.data(), sizeof Header);
  if (Header.biSizeImage != 0 || Header.biCompression != BI_RGB) return Header.biSizeImage;
  return size_t(DibRowStride(Header.biBitCount * Header.biWidth)) * size_t(std::abs(Header.biHeight));
}

BITMAPINFOHEADER CaptureHeader(const std::vector<uint8_t>& Format) {
  BITMAPINFOHEADER Header{};
  if (Format.size() >= sizeof Header) std::memcpy(&Header, Format.data(), sizeof Header);
  return Header;
}

size_t PixelArea(TMemoryStream& Buffer) {
  const int64_t Headers = BitmapFileHeaderSize + int64_t(sizeof(BITMAPINFOHEADER));
  return Buffer.Size() > Headers ? size_t(Buffer.Size() - Headers) : 0;
}

// Steps shared by both frame callbacks: the frame into the frame buffer (decompressed or
// copied), the frame bitmap loaded from it, and a composition. False when the frame was dropped.
bool TakeFrame(TFormGhost& Form, const VIDEOHDR& Frame) {
  if (Form.FFrameBits) {
    int32_t Kind = Form.FFrameKind;
    if (Kind == FrameKindDecompress) {
      if (!Form.FDecompressing) return false;
      auto* Input = reinterpret_cast<LPBITMAPINFOHEADER>(Form.FCaptureFormat.data());
      if (ICDecompressBegin(Form.FDecompressor.Get(), Input, &Form.FDecompressFormat) == ICERR_OK) {
        const DWORD Result = ICDecompress(Form.FDecompressor.Get(), 0, Input, Frame.lpData,
                                          &Form.FDecompressFormat, Form.FFrameBits);
        ICDecompressEnd(Form.FDecompressor.Get());
        if (Result != DWORD(ICERR_OK)) return false;
      } else {
        Kind = FrameKindCopy;
      }
    }
    if (Kind == FrameKindCopy) {
      const size_t Bytes = std::min({CaptureImageSize(Form.FCaptureFormat), PixelArea(*Form.FFrameBuffer),
                                     size_t(Frame.dwBufferLength)});
      if (Frame.lpData) std::memcpy(Form.FFrameBits, Frame.lpData, Bytes);
    } else if (Kind != FrameKindDecompress) {
      return false;
    }
  }
  // Before the first frame buffer was built there is no frame to show.
  if (Form.FFrameBuffer->Size() == 0) return false;
  Form.FFrameBuffer->SetPosition(0);
  Form.FFrameBitmap->LoadFromStream(*Form.FFrameBuffer);
  Form.RefreshMainImage(false);
  return true;
}

// Whether the composed picture has exactly the rows of a frame of the capture format, so that
// writing it back gives the driver a frame of its own layout. A compressed or top-down format,
// or a picture of another size or depth, is not written back.
bool ComposedMatchesCaptureFormat(TFormGhost& Form) {
  const BITMAPINFOHEADER Format = CaptureHeader(Form.FCaptureFormat);
  if (Format.biCompression != BI_RGB || Format.biHeight <= 0) return false;
  TGraphic* Graphic = Form.FComposedPicture->Graphic();
  auto* Composed = dynamic_cast<TBitmap*>(Graphic);
  if (!Composed || Composed->Empty()) return false;
  const int32_t Bits = Composed->PixelFormat() == pf24bit ? 24 : Composed->PixelFormat() == pf32bit ? 32 : 0;
  return Composed->Width() == Format.biWidth && Composed->Height() == Format.biHeight &&
         Bits == Format.biBitCount;
}

bool Streaming(TFormGhost& Form) {
  CAPSTATUS Status{};
  return Form.SendCaptureMessage(WM_CAP_GET_STATUS, sizeof Status, reinterpret_cast<LPARAM>(&Status)) &&
         Status.fCapturingNow;
}

}  // namespace

// ---- messages ----------------------------------------------------------------------------------

LRESULT TFormGhost::SendCaptureMessage(UINT Message, WPARAM WParam, LPARAM LParam) {
  return SendToWindow(FCaptureWindow, Message, WParam, LParam);
}

void TFormGhost::WaitWhileCapturing() {
  // The user-interface thread sleeps between messages instead of spinning; a thread timer wakes
  // it now and then to ask again, since the end of a stream sends it nothing.
  UINT_PTR Wake = 0;
  while (SendCaptureMessage(WM_CAP_GET_STATUS, sizeof FCaptureStatus,
                            reinterpret_cast<LPARAM>(&FCaptureStatus)) &&
         FCaptureStatus.fCapturingNow) {
    Application->ProcessMessages();
    if (!Wake) Wake = SetTimer(nullptr, 0, 50, nullptr);
    if (!Streaming(*this)) break;
    WaitMessage();
  }
  if (Wake) KillTimer(nullptr, Wake);
}

// ---- the driver list ---------------------------------------------------------------------------

void TFormGhost::ListCaptureDrivers() {
  // The list holds "no driver" from the form; every driver that answers is appended with the
  // index it answered at, so an entry connects its own driver also when indices have gaps.
  FDriverIndices.assign(size_t(kvDBComboBoxSelectDriver->Items()->Count()), -1);
  for (UINT Index = 0; Index <= 9; ++Index) {
    char Name[80] = {};
    char Version[80] = {};
    if (!capGetDriverDescriptionA(Index, Name, sizeof Name, Version, sizeof Version)) continue;
    kvDBComboBoxSelectDriver->Items()->Add(std::string(Name) + " " + Version);
    FDriverIndices.push_back(int32_t(Index));
  }
}

// ---- connecting --------------------------------------------------------------------------------

namespace {

// The driver index behind an entry of the driver list: -1 for "no driver", -2 for no entry (a
// driver chosen once and no longer installed), which no driver answers.
int32_t DriverIndexOfEntry(const TFormGhost& Form, int32_t Entry) {
  if (Entry < 0 || size_t(Entry) >= Form.FDriverIndices.size()) return -2;
  return Form.FDriverIndices[size_t(Entry)];
}

void ShowDriverDialogs(TDataModule1& Module, bool Visible) {
  for (TAction* Action : {Module.ActionFormatSetup, Module.ActionSourceSetup, Module.ActionVideoOutput,
                          Module.ActionVideoCompression})
    Action->SetVisible(Visible);
}

}  // namespace

void TFormGhost::OpenVideoDeviceGroup() {
  vcImageBtnExpand->SetTag(1);
  vcImageBtnExpandClick(nullptr);
  TkvInspectorItem* Group = FindOption("Video Device");
  Group->SetExpanded(true);
  InspectorOptions->LockRedraw();
  for (int32_t Line = 0; Line < Group->Index() - 1; ++Line)
    InspectorOptions->Perform(WM_VSCROLL, SB_LINEDOWN, 0);
  InspectorOptions->UnlockRedraw(false);
}

void TFormGhost::ConnectCaptureDriver() {
  if (FConnecting) return;
  FConnecting = true;
  // Every way out of a connect ends it, so a connect that fails half way does not keep every
  // later one from running.
  TScopeExit Done([this] {
    Screen->SetCursor(crDefault);
    FConnecting = false;
  });
  Application->ProcessMessages();
  Screen->SetCursor(crHourGlass);
  TDataModule1* Module = DataModule1;

  DisconnectCaptureDriver();

  if (!FCaptureLibrary) FCaptureLibrary = LoadLibraryA("avicap32.dll");
  if (!FCaptureLibrary) {
    Screen->SetCursor(crDefault);
    Application->MessageBox("Can't find system file avicap32.dll", "Error", MB_OK);
    return;
  }

  const int32_t Entry = kvDBComboBoxSelectDriver->ItemIndex();
  if (Entry == 0) {
    // "no driver": the still picture.
    RefreshMainImage(true);
    ShowDriverDialogs(*Module, false);
    return;
  }

  Module->ActionVideoCompression->SetVisible(true);
  FCaptureWindow = capCreateCaptureWindowA("Korvane Window", WS_CHILD, 0, 0, FVideoWidth, FVideoHeight,
                                           vcPanel1->Handle(), 0);

  bool Connected = false;
  if (FindOption("Select driver")->EditText().empty()) {
    // First start: no driver was ever chosen. The WebCam page opens on the video device group,
    // and the first driver that connects is chosen.
    vcButtonGroupTitlevcShapeBtnWebCam->SetDown(true);
    vcButtonGroupTitlevcShapeBtnWebCamClick(nullptr);
    vcOutlookBar1vcShapeBtnWebcam->SetDown(true);
    OpenVideoDeviceGroup();
    for (int32_t Candidate = 1; Candidate < kvDBComboBoxSelectDriver->Items()->Count(); ++Candidate) {
      const int32_t Index = DriverIndexOfEntry(*this, Candidate);
      if (!SendCaptureMessage(WM_CAP_DRIVER_CONNECT, WPARAM(Index), 0)) continue;
      kvDBComboBoxSelectDriver->SetReadOnly(false);
      kvDBComboBoxSelectDriver->SetItemIndex(Candidate);
      kvDBComboBoxSelectDriver->SetReadOnly(true);
      FindOption("Select driver")->SetEditText(kvDBComboBoxSelectDriver->Items()->Strings(Candidate));
      Connected = true;
      break;
    }
  } else {
    Connected =
        SendCaptureMessage(WM_CAP_DRIVER_CONNECT, WPARAM(intptr_t(DriverIndexOfEntry(*this, Entry))), 0) != 0;
  }

  if (!Connected) {
    if (FCaptureWindow) DestroyWindow(FCaptureWindow);
    FCaptureWindow = nullptr;
    RefreshMainImage(true);
    Module->ActionVideoOptions->SetEnabled(false);
    ShowDriverDialogs(*Module, false);
    return;
  }

  FConnected = true;
  Module->ActionVideoOptions->SetEnabled(true);
  // A driver that does not tell its capabilities stays connected without a preview.
  if (!SendCaptureMessage(WM_CAP_DRIVER_GET_CAPS, sizeof FDriverCaps, reinterpret_cast<LPARAM>(&FDriverCaps)))
    return;
  if (FDriverCaps.fDriverSuppliesPalettes) SendCaptureMessage(WM_CAP_PAL_AUTOCREATE, 100, 240);
  Module->ActionSourceSetup->SetVisible(FDriverCaps.fHasDlgVideoSource != FALSE);
  Module->ActionFormatSetup->SetVisible(FDriverCaps.fHasDlgVideoFormat != FALSE);
  Module->ActionVideoOutput->SetVisible(FDriverCaps.fHasDlgVideoDisplay != FALSE);

  // 24-bit rows of the preview size; a driver that refuses keeps its own format, which the frame
  // buffer then follows.
  FillBitmapInfoHeader(FFrameHeader, FVideoWidth, FVideoHeight, 24);
  SendCaptureMessage(WM_CAP_SET_VIDEOFORMAT, sizeof FFrameHeader, reinterpret_cast<LPARAM>(&FFrameHeader));
  PrepareFrameBuffer();
  ApplyCaptureSize();

  InstallCaptureCallbacks(FCaptureWindow);
  Module->TimerPreview->SetEnabled(true);
  Module->ActionLastSavedExecute(nullptr);
  Module->ActionMovie->SetEnabled(true);
  vcShapeBtnMotion->SetEnabled(true);
  vcShapeBtnMotion->SetColor(clMoneyGreen);
  FindOption("Motion detection")->SetVisible(true);
  InspectorOptions->Refresh();
}

void TFormGhost::DisconnectCaptureDriver() {
  if (!FConnected) return;
  TDataModule1* Module = DataModule1;
  FConnected = false;
  Module->TimerPreview->SetEnabled(false);
  Module->ActionMovie->SetEnabled(false);
  vcShapeBtnMotion->SetEnabled(false);
  vcShapeBtnMotion->SetColor(TColor(0xDDDDDD));
  FindOption("Motion detection")->SetVisible(false);
  InspectorOptions->Refresh();
  ImageLastShot->SetVisible(false);
  ImageMain->SetVisible(true);
  Module->ActionVideoOptions->SetEnabled(false);
  SendCaptureMessage(WM_CAP_ABORT);
  RemoveCaptureCallbacks(FCaptureWindow);
  SendCaptureMessage(WM_CAP_DRIVER_DISCONNECT);
  if (FCaptureWindow) DestroyWindow(FCaptureWindow);
  FCaptureWindow = nullptr;
  // The driver lets its device go before another may take it.
  Sleep(400);
  if (FCaptureLibrary) FreeLibrary(FCaptureLibrary);
  FCaptureLibrary = nullptr;
}

void TFormGhost::kvDBComboBoxSelectDriverCloseUp(TObject*, bool) {
  ConnectCaptureDriver();
}

// ---- callbacks ---------------------------------------------------------------------------------

void TFormGhost::InstallCaptureCallbacks(HWND Window) {
  if (!Window) return;
  GStreamTarget = Handle();
  GUserInterfaceThread = GetCurrentThreadId();
  SendToWindow(Window, WM_CAP_SET_CALLBACK_FRAME, 0, CallbackParameter(&FrameCallback));
  SendToWindow(Window, WM_CAP_SET_CALLBACK_VIDEOSTREAM, 0, CallbackParameter(&VideoStreamCallback));
  SendToWindow(Window, WM_CAP_SET_CALLBACK_ERROR, 0, CallbackParameter(&ErrorCallback));
  SendToWindow(Window, WM_CAP_SET_CALLBACK_STATUS, 0, CallbackParameter(&StatusCallback));
}

void TFormGhost::RemoveCaptureCallbacks(HWND Window) {
  if (!Window) return;
  SendToWindow(Window, WM_CAP_SET_CALLBACK_FRAME, 0, 0);
  SendToWindow(Window, WM_CAP_SET_CALLBACK_VIDEOSTREAM, 0, 0);
  SendToWindow(Window, WM_CAP_SET_CALLBACK_ERROR, 0, 0);
  SendToWindow(Window, WM_CAP_SET_CALLBACK_STATUS, 0, 0);
  GStreamTarget = nullptr;
}

void TFormGhost::OnCaptureError(HWND, int, LPCSTR) {}

void TFormGhost::OnCaptureStatus(HWND, int, LPCSTR) {}

// ---- the frame buffer --------------------------------------------------------------------------

void TFormGhost::PrepareFrameBuffer() {
  if (!FConnected) return;
  FCaptureFormatSize = int32_t(SendCaptureMessage(WM_CAP_GET_VIDEOFORMAT));
  // A driver that reports no format leaves the frame buffer as it is.
  if (FCaptureFormatSize < int32_t(sizeof(BITMAPINFOHEADER))) return;
  FCaptureFormat.assign(size_t(FCaptureFormatSize), 0);
  SendCaptureMessage(WM_CAP_GET_VIDEOFORMAT, WPARAM(FCaptureFormatSize),
                     reinterpret_cast<LPARAM>(FCaptureFormat.data()));
  const BITMAPINFOHEADER Format = CaptureHeader(FCaptureFormat);
  const int32_t Width = Format.biWidth;
  const int32_t Height = std::abs(Format.biHeight);
  FDecompressing = false;

  const int32_t Kind = PixelFormatKind(Format.biCompression);
  // The decompressor of an earlier format goes; one is located for each format that needs it.
  FDecompressor = nullptr;
  if (Format.biCompression != BI_RGB) {
    auto* Input = reinterpret_cast<LPBITMAPINFOHEADER>(FCaptureFormat.data());
    FDecompressor.Adopt(ICLocate(ICTYPE_VIDEO, 0, Input, nullptr, ICMODE_DECOMPRESS));
    if (!FDecompressor) return;
    if (ICDecompressGetFormat(FDecompressor.Get(), Input, &FDecompressFormat) != ICERR_OK) return;
    if (Kind >= FrameKindYUY2) {
      // The frame header of the packed YUV codes says 32 bits: the decompressor is asked for
      // exactly that, so that the header and the rows it writes agree.
      BITMAPINFOHEADER Wanted;
      FillBitmapInfoHeader(Wanted, Width, Height, 32);
      if (ICDecompressQuery(FDecompressor.Get(), Input, &Wanted) == ICERR_OK) FDecompressFormat = Wanted;
    }
    FillBitmapInfoHeader(FFrameHeader, Width, Height, 24);
    FDecompressing = true;
  }

  FFrameKind = Kind;
  if (Kind == FrameKindCopy) {
    FFrameHeader = Format;
    FFrameHeader.biSize = sizeof(BITMAPINFOHEADER);
    // An uncompressed format may leave its image size 0; the rows still take their room.
    if (FFrameHeader.biSizeImage == 0 && Format.biCompression == BI_RGB)
      FFrameHeader.biSizeImage = DWORD(CaptureImageSize(FCaptureFormat));
  } else if (Kind >= FrameKindYUY2) {
    FillBitmapInfoHeader(FFrameHeader, Width, Height, 32);
    FFrameKind = FrameKindDecompress;
  }
  // The rows of the buffer are those the decompressor writes.
  if (FDecompressing && FDecompressFormat.biBitCount != FFrameHeader.biBitCount)
    FillBitmapInfoHeader(FFrameHeader, Width, Height, FDecompressFormat.biBitCount);

  const int64_t FileSize = int64_t(FFrameHeaderSize) + FFrameHeader.biSizeImage + BitmapFileHeaderSize;
  FFrameBuffer->SetSize(FileSize);
  auto* Image = static_cast<uint8_t*>(FFrameBuffer->Memory());
  WriteFrameBufferHeaders(Image, uint32_t(FileSize), FFrameHeader);
  FFrameBits = Image + BitmapFileHeaderSize + FFrameHeaderSize;
}

// ---- frames ------------------------------------------------------------------------------------

void TFormGhost::OnCaptureFrame(HWND Window, LPVIDEOHDR Header) {
  if (Window != FCaptureWindow || !Header) return;
  try {
    TakeFrame(*this, *Header);
  } catch (const std::exception&) {
    WriteLog("Frame Callback failed");
    PrepareFrameBuffer();
  }
}

void TFormGhost::OnCaptureVideoStream(HWND Window, LPVIDEOHDR Header) {
  if (Window != FCaptureWindow || !Header) return;
  // The record lives on the capture thread, which goes on without it once the stream is
  // stopped while this frame is being composed: it is read here, once.
  const VIDEOHDR Frame = *Header;
  try {
    if (!TakeFrame(*this, Frame)) return;
    // Composing processes window messages; a stream stopped meanwhile has let go of the frame.
    if (!Frame.lpData || !ComposedMatchesCaptureFormat(*this) || !Streaming(*this)) return;
    FFrameBuffer->SetPosition(0);
    FComposedPicture->Bitmap()->SaveToStream(*FFrameBuffer);
    FFrameBits = static_cast<uint8_t*>(FFrameBuffer->Memory()) + BitmapFileHeaderSize + FFrameHeaderSize;
    const size_t Bytes =
        std::min({CaptureImageSize(FCaptureFormat), PixelArea(*FFrameBuffer), size_t(Frame.dwBufferLength)});
    std::memcpy(Frame.lpData, FFrameBits, Bytes);
  } catch (const std::exception&) {
    WriteLog("Video Stream Callback failed");
    PrepareFrameBuffer();
  }
}

// ---- streaming ---------------------------------------------------------------------------------

void TFormGhost::SetupSequenceCapture(bool ToFile) {
  if (!FConnected) return;
  CAPTUREPARMS Parameters{};
  if (!SendCaptureMessage(WM_CAP_GET_SEQUENCE_SETUP, sizeof Parameters,
                          reinterpret_cast<LPARAM>(&Parameters)))
    return;
  // The editor keeps the rate at 1 frame a second or more; anything lower would ask for no frames.
  const double Rate = std::max(1.0, kvDBSpinEditFrameRate->Value());
  Parameters.dwRequestMicroSecPerFrame = DWORD(1000000.0 / Rate);
  Parameters.fYield = TRUE;
  Parameters.wPercentDropForError = 30;
  Parameters.fAbortLeftMouse = FALSE;
  Parameters.fAbortRightMouse = FALSE;
  Parameters.fLimitEnabled = ToFile ? TRUE : FALSE;
  if (ToFile) Parameters.wTimeLimit = UINT(std::clamp(kvDBSpinEditMotionValue->Value(), 0.0, 65535.0));
  Parameters.fMCIControl = FALSE;
  Parameters.fCaptureAudio = FindOption("Capture Audio")->IsChecked() ? TRUE : FALSE;
  Parameters.vKeyAbort = 0;
  if (!SendCaptureMessage(WM_CAP_SET_SEQUENCE_SETUP, sizeof Parameters,
                          reinterpret_cast<LPARAM>(&Parameters)))
    return;
  SendCaptureMessage(ToFile ? WM_CAP_SEQUENCE : WM_CAP_SEQUENCE_NOFILE);
}

// ---- the video size ----------------------------------------------------------------------------

void TFormGhost::ApplyCaptureSize() {
  const int32_t OldWidth = FVideoWidth;
  const int32_t OldHeight = FVideoHeight;
  if (SendCaptureMessage(WM_CAP_GET_STATUS, sizeof FCaptureStatus,
                         reinterpret_cast<LPARAM>(&FCaptureStatus))) {
    FVideoWidth = int32_t(FCaptureStatus.uiImageWidth);
    FVideoHeight = int32_t(FCaptureStatus.uiImageHeight);
    const char* Key =
        FindOption("Gamer View Enable")->IsChecked() ? "Video Window Size Gamer" : "Video Window Size";
    FindOption(Key)->SetEditText(IntToStr(FVideoWidth) + " x " + IntToStr(FVideoHeight));
    ArrangePanels();
  }
  RescaleStampPlacements(OldWidth, OldHeight, FVideoWidth, FVideoHeight);
  InspectorOptions->Refresh();
  RefreshMainImage(false);
}

// "Video Window Size": the size the user chose ("320 x 240").
void TFormGhost::InspectorOptionsItems0Items5ItemChanged(TkvDataInspector*, TkvInspectorItem*,
                                                         const std::string&) {
  const int32_t OldWidth = FVideoWidth;
  const int32_t OldHeight = FVideoHeight;
  // A text that holds no size (a hand-edited settings file) keeps the size.
  VideoSizeFromOptionText(FindOption("Video Window Size")->EditText(), FVideoWidth, FVideoHeight);
  RescaleStampPlacements(OldWidth, OldHeight, FVideoWidth, FVideoHeight);
  InspectorOptions->Refresh();
  if (!FSizeApplying) ArrangePanels();
  RefreshMainImage(false);
  if (FCreated && FindOption("Enable HTTP Server")->IsChecked()) {
    DataModule1->HTTPServer->SetActive(false);
    InspectorOptionsItems7Items0ItemChanged(nullptr, nullptr, "0");
  }
}
