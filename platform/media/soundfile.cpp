#include "platform/media/soundfile.h"

#include <SDL.h>

#include <algorithm>
#include <filesystem>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/avutil.h>
#include <libavutil/log.h>
}

namespace {

// One sample of any of FFmpeg's sample formats as a float in -1 .. 1.
float SampleAt(const AVFrame& Frame, int Channel, int Index) {
  const AVSampleFormat Format = AVSampleFormat(Frame.format);
  const int Channels = Frame.ch_layout.nb_channels;
  const bool Planar = av_sample_fmt_is_planar(Format);
  const uint8_t* Plane = Frame.extended_data[Planar ? Channel : 0];
  const int Position = Planar ? Index : Index * Channels + Channel;
  switch (av_get_packed_sample_fmt(Format)) {
    case AV_SAMPLE_FMT_U8: return (float(Plane[Position]) - 128.0f) / 128.0f;
    case AV_SAMPLE_FMT_S16: return float(reinterpret_cast<const int16_t*>(Plane)[Position]) / 32768.0f;
    case AV_SAMPLE_FMT_S32: return float(double(reinterpret_cast<const int32_t*>(Plane)[Position]) / 2147483648.0);
    case AV_SAMPLE_FMT_S64:
      return float(double(reinterpret_cast<const int64_t*>(Plane)[Position]) / 9223372036854775808.0);
    case AV_SAMPLE_FMT_FLT: return reinterpret_cast<const float*>(Plane)[Position];
    case AV_SAMPLE_FMT_DBL: return float(reinterpret_cast<const double*>(Plane)[Position]);
    default: return 0.0f;
  }
}

struct TDecoding {
  AVFormatContext* Input = nullptr;
  AVCodecContext* Codec = nullptr;
  AVPacket* Packet = nullptr;
  AVFrame* Frame = nullptr;
  SDL_AudioStream* Converter = nullptr;
  int ConverterChannels = 0, ConverterRate = 0;
  uint64_t InputFrames = 0;
  std::vector<float> Interleaved;
  ~TDecoding() {
    if (Converter) SDL_FreeAudioStream(Converter);
    av_frame_free(&Frame);
    av_packet_free(&Packet);
    avcodec_free_context(&Codec);
    if (Input) avformat_close_input(&Input);
  }
};

// Drains what the converter has ready into the sound, up to the length limit.
void Collect(TDecoding& Decoding, TSoundData& Sound) {
  const size_t Limit = size_t(MaxSoundSeconds) * SoundRate * SoundChannels;
  for (;;) {
    const int Available = SDL_AudioStreamAvailable(Decoding.Converter);
    if (Available <= 0) return;
    const size_t Old = Sound.Samples.size();
    Sound.Samples.resize(Old + size_t(Available) / sizeof(int16_t));
    const int Got = SDL_AudioStreamGet(Decoding.Converter, Sound.Samples.data() + Old, Available);
    Sound.Samples.resize(Old + (Got > 0 ? size_t(Got) / sizeof(int16_t) : 0));
    if (Got <= 0) return;
    if (Sound.Samples.size() >= Limit) {
      Sound.Samples.resize(Limit);
      return;
    }
  }
}

bool Convert(TDecoding& Decoding, const AVFrame& Frame, TSoundData& Sound) {
  const int Channels = Frame.ch_layout.nb_channels;
  if (Channels <= 0 || Frame.sample_rate <= 0 || Frame.nb_samples <= 0) return true;
  if (!Decoding.Converter) {
    Decoding.Converter = SDL_NewAudioStream(AUDIO_F32SYS, Uint8(std::min(Channels, 8)), Frame.sample_rate,
                                            AUDIO_S16SYS, SoundChannels, SoundRate);
    if (!Decoding.Converter) return false;
    Decoding.ConverterChannels = std::min(Channels, 8);
    Decoding.ConverterRate = Frame.sample_rate;
  }
  // A stream that changes its layout midway keeps the first one; the odd frames are skipped.
  if (Frame.sample_rate != Decoding.ConverterRate || std::min(Channels, 8) != Decoding.ConverterChannels) return true;
  const int Used = Decoding.ConverterChannels;
  Decoding.Interleaved.resize(size_t(Frame.nb_samples) * Used);
  for (int Index = 0; Index < Frame.nb_samples; ++Index)
    for (int Channel = 0; Channel < Used; ++Channel)
      Decoding.Interleaved[size_t(Index) * Used + Channel] = SampleAt(Frame, Channel, Index);
  if (SDL_AudioStreamPut(Decoding.Converter, Decoding.Interleaved.data(),
                         int(Decoding.Interleaved.size() * sizeof(float))) != 0)
    return false;
  Decoding.InputFrames += uint64_t(Frame.nb_samples);
  Collect(Decoding, Sound);
  return true;
}

}  // namespace

TSoundLoad LoadSoundFile(const std::string& Path, TSoundData& Sound) {
  Sound.Samples.clear();
  std::error_code Error;
  if (!std::filesystem::is_regular_file(Path, Error)) return TSoundLoad::Missing;
  av_log_set_level(AV_LOG_QUIET);
  TDecoding Decoding;
  if (avformat_open_input(&Decoding.Input, Path.c_str(), nullptr, nullptr) < 0) {
    Decoding.Input = nullptr;
    return TSoundLoad::Unreadable;
  }
  if (avformat_find_stream_info(Decoding.Input, nullptr) < 0) return TSoundLoad::Unreadable;
  const AVCodec* Codec = nullptr;
  const int Stream = av_find_best_stream(Decoding.Input, AVMEDIA_TYPE_AUDIO, -1, -1, &Codec, 0);
  if (Stream < 0 || !Codec) return TSoundLoad::Unreadable;
  Decoding.Codec = avcodec_alloc_context3(Codec);
  Decoding.Packet = av_packet_alloc();
  Decoding.Frame = av_frame_alloc();
  if (!Decoding.Codec || !Decoding.Packet || !Decoding.Frame ||
      avcodec_parameters_to_context(Decoding.Codec, Decoding.Input->streams[Stream]->codecpar) < 0)
    return TSoundLoad::Unreadable;
  Decoding.Codec->thread_count = 1;
  if (avcodec_open2(Decoding.Codec, Codec, nullptr) < 0) return TSoundLoad::Unreadable;

  const size_t Limit = size_t(MaxSoundSeconds) * SoundRate * SoundChannels;
  bool Ending = false;
  while (!Ending && Sound.Samples.size() < Limit) {
    if (av_read_frame(Decoding.Input, Decoding.Packet) < 0) {
      Ending = true;
      avcodec_send_packet(Decoding.Codec, nullptr);  // drain what the decoder holds
    } else {
      const bool Ours = Decoding.Packet->stream_index == Stream;
      if (Ours) avcodec_send_packet(Decoding.Codec, Decoding.Packet);
      av_packet_unref(Decoding.Packet);
      if (!Ours) continue;
    }
    while (avcodec_receive_frame(Decoding.Codec, Decoding.Frame) >= 0) {
      const bool Converted = Convert(Decoding, *Decoding.Frame, Sound);
      av_frame_unref(Decoding.Frame);
      if (!Converted) return TSoundLoad::Unreadable;
    }
  }
  if (Decoding.Converter) {
    // SDL's resampler holds back the last few milliseconds even when flushed: a little silence
    // pushes them out, and the sound is then cut to its exact length.
    std::vector<float> Silence(size_t(Decoding.ConverterRate / 10 + 1) * Decoding.ConverterChannels, 0.0f);
    SDL_AudioStreamPut(Decoding.Converter, Silence.data(), int(Silence.size() * sizeof(float)));
    SDL_AudioStreamFlush(Decoding.Converter);
    Collect(Decoding, Sound);
    const uint64_t Frames = Decoding.InputFrames * SoundRate / uint64_t(Decoding.ConverterRate);
    Sound.Samples.resize(std::min<size_t>(Sound.Samples.size(), size_t(Frames) * SoundChannels));
  }
  if (Sound.Samples.size() > Limit) Sound.Samples.resize(Limit);
  return Decoding.Converter ? TSoundLoad::Loaded : TSoundLoad::Unreadable;
}
