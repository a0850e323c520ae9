#pragma once
// FFmpeg's C headers for this library's own files, in one place. FFmpeg never calls back into
// our code here except through callbacks that cannot throw.

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/avutil.h>
#include <libavutil/frame.h>
#include <libavutil/imgutils.h>
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

#include <string>

// FFmpeg's text for an error code, for trace lines.
inline std::string AvErrorText(int Code) {
  char Text[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(Code, Text, sizeof Text);
  return Text;
}
