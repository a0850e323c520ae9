#pragma once
// The multimedia command interface for sounds: open a sound file by its name (the file's content
// chooses how it is decoded: WAV, MP3, Ogg and whatever else FFmpeg reads; MIDI is not played),
// play it from the start or a range, stop it, close it. Playback runs on its own threads and
// never touches the caller's objects; the notification of a play is posted to the window given
// in its record when the sound ends (MCI_NOTIFY_SUCCESSFUL), is stopped or closed
// (MCI_NOTIFY_ABORTED).
//
// Without a sound device (no audio driver, no output) every command still succeeds: a play
// plays nothing, notifies at once, and the first such play writes one warning to standard error.
// Results are 0 or an MCIERR_ code; the program may ignore them.

#include "platform/rtl/wintypes.h"

using MCIERROR = DWORD;
using MCIDEVICEID = UINT;

// Commands.
constexpr UINT MCI_OPEN = 0x0803;
constexpr UINT MCI_CLOSE = 0x0804;
constexpr UINT MCI_PLAY = 0x0806;
constexpr UINT MCI_STOP = 0x0808;

// Flags of every command.
constexpr DWORD MCI_NOTIFY = 0x00000001;
constexpr DWORD MCI_WAIT = 0x00000002;
constexpr DWORD MCI_FROM = 0x00000004;
constexpr DWORD MCI_TO = 0x00000008;
// Flags of MCI_OPEN.
constexpr DWORD MCI_OPEN_SHAREABLE = 0x00000100;
constexpr DWORD MCI_OPEN_ELEMENT = 0x00000200;
constexpr DWORD MCI_OPEN_ALIAS = 0x00000400;
constexpr DWORD MCI_OPEN_ELEMENT_ID = 0x00000800;
constexpr DWORD MCI_OPEN_TYPE_ID = 0x00001000;
constexpr DWORD MCI_OPEN_TYPE = 0x00002000;

constexpr MCIDEVICEID MCI_ALL_DEVICE_ID = 0xFFFF;

// The notification message: wParam one of the MCI_NOTIFY_ results, lParam the device id.
constexpr UINT MM_MCINOTIFY = 0x03B9;
constexpr WPARAM MCI_NOTIFY_SUCCESSFUL = 0x0001;
constexpr WPARAM MCI_NOTIFY_SUPERSEDED = 0x0002;
constexpr WPARAM MCI_NOTIFY_ABORTED = 0x0004;
constexpr WPARAM MCI_NOTIFY_FAILURE = 0x0008;

constexpr MCIERROR MCIERR_BASE = 256;
constexpr MCIERROR MCIERR_INVALID_DEVICE_ID = MCIERR_BASE + 1;
constexpr MCIERROR MCIERR_UNRECOGNIZED_COMMAND = MCIERR_BASE + 5;
constexpr MCIERROR MCIERR_HARDWARE = MCIERR_BASE + 6;
constexpr MCIERROR MCIERR_OUT_OF_MEMORY = MCIERR_BASE + 8;
constexpr MCIERROR MCIERR_MISSING_PARAMETER = MCIERR_BASE + 17;
constexpr MCIERROR MCIERR_UNSUPPORTED_FUNCTION = MCIERR_BASE + 18;
constexpr MCIERROR MCIERR_FILE_NOT_FOUND = MCIERR_BASE + 19;
constexpr MCIERROR MCIERR_OUTOFRANGE = MCIERR_BASE + 26;
constexpr MCIERROR MCIERR_FLAGS_NOT_COMPATIBLE = MCIERR_BASE + 28;
constexpr MCIERROR MCIERR_INVALID_FILE = MCIERR_BASE + 40;
constexpr MCIERROR MCIERR_NULL_PARAMETER_BLOCK = MCIERR_BASE + 41;

struct MCI_GENERIC_PARMS {
  DWORD_PTR dwCallback;
};

struct MCI_OPEN_PARMSA {
  DWORD_PTR dwCallback;
  MCIDEVICEID wDeviceID;
  LPCSTR lpstrDeviceType;
  LPCSTR lpstrElementName;
  LPCSTR lpstrAlias;
};
using MCI_OPEN_PARMS = MCI_OPEN_PARMSA;

// Positions in milliseconds.
struct MCI_PLAY_PARMS {
  DWORD_PTR dwCallback;
  DWORD dwFrom;
  DWORD dwTo;
};

// MCI_OPEN (MCI_OPEN_PARMSA*: opens lpstrElementName, writes the new id to wDeviceID),
// MCI_PLAY (MCI_PLAY_PARMS*: from the start or dwFrom with MCI_FROM, to the end or dwTo with
// MCI_TO; returns at once unless MCI_WAIT), MCI_STOP and MCI_CLOSE (MCI_GENERIC_PARMS* or null;
// MCI_ALL_DEVICE_ID closes every device). With MCI_NOTIFY the window in dwCallback gets
// MM_MCINOTIFY when the command has finished.
MCIERROR mciSendCommandA(MCIDEVICEID Device, UINT Message, DWORD_PTR Flags, DWORD_PTR Parameters);
inline MCIERROR mciSendCommand(MCIDEVICEID Device, UINT Message, DWORD_PTR Flags, DWORD_PTR Parameters) {
  return mciSendCommandA(Device, Message, Flags, Parameters);
}
