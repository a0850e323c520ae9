#pragma once
// Diagnostics of the capture library: off unless KORCAM_TRACE names the channel ("capture",
// "v4l2", "avi"; "all" for every channel). Lines go to standard error.

#include <string>

enum class TCaptureTraceChannel { Capture, V4L2, Avi };

bool CaptureTraceEnabled(TCaptureTraceChannel Channel);
void CaptureTrace(TCaptureTraceChannel Channel, const std::string& Text);

#define KORCAM_CAPTURE_TRACE(Channel, Text)                                         \
  do {                                                                              \
    if (CaptureTraceEnabled(TCaptureTraceChannel::Channel))                          \
      CaptureTrace(TCaptureTraceChannel::Channel, Text);                             \
  } while (false)
