#include "platform/capture/trace.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

extern "C" {
#include <libavutil/log.h>
}

namespace {

const char* ChannelName(TCaptureTraceChannel Channel) {
  switch (Channel) {
    case TCaptureTraceChannel::Capture: return "capture";
    case TCaptureTraceChannel::V4L2: return "v4l2";
    case TCaptureTraceChannel::Avi: return "avi";
  }
  return "?";
}

struct TTraceSettings {
  bool Enabled[3] = {false, false, false};
  TTraceSettings() {
    const char* Value = std::getenv("KORCAM_TRACE");
    const bool All = Value && (std::strstr(Value, "all") != nullptr);
    for (int Index = 0; Index < 3; ++Index)
      Enabled[Index] =
          All || (Value && std::strstr(Value, ChannelName(TCaptureTraceChannel(Index))) != nullptr);
    // FFmpeg talks about every odd frame it meets on standard error; only a traced run wants it.
    if (!All) av_log_set_level(AV_LOG_QUIET);
  }
};

const TTraceSettings& Settings() {
  static const TTraceSettings Instance;
  return Instance;
}

// FFmpeg's own messages are silenced as soon as the library is loaded, before any file is read.
[[maybe_unused]] const bool SettingsReadAtStart = (Settings(), true);

}  // namespace

bool CaptureTraceEnabled(TCaptureTraceChannel Channel) { return Settings().Enabled[int(Channel)]; }

void CaptureTrace(TCaptureTraceChannel Channel, const std::string& Text) {
  std::fprintf(stderr, "[%s] %s\n", ChannelName(Channel), Text.c_str());
}
