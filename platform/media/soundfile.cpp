#include "platform/media/soundfile.h"

#include <SDL.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string_view>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/avutil.h>
#include <libavutil/log.h>
}

namespace {

// The containers a sound notice comes in. Every other demuxer of FFmpeg stays out of reach of a
// file the user picked, however its first bytes look.
constexpr const char* SoundContainers = "wav,w64,mp3,ogg,flac,aiff,au,caf,mov,matroska,aac";
// What the demuxer may read and hold to learn a file's streams: a sound file's first megabyte
// and two seconds tell it all.
constexpr const char* ProbeBytes = "1048576";
constexpr const char* ProbeMicroseconds = "2000000";
// SDL's converter sizes its work buffers from the input it is given: a decoded frame goes in
// slices of at most this many sample frames.
constexpr int ConverterSlice = 4096;
// A WAV file has a handful of chunks; one made of thousands is nobody's sound.
constexpr int MaxRiffChunks = 1024;

bool PlausibleFormat(int Rate, int Channels) {
  return Rate >= MinSoundFileRate && Rate <= MaxSoundFileRate && Channels >= 1 && Channels <= MaxSoundFileChannels;
}

class TReadOnlyFile {
 public:
  explicit TReadOnlyFile(const std::string& Path) : FDescriptor(::open(Path.c_str(), O_RDONLY | O_CLOEXEC)) {}
  ~TReadOnlyFile() {
    if (FDescriptor >= 0) ::close(FDescriptor);
  }
  TReadOnlyFile(const TReadOnlyFile&) = delete;
  TReadOnlyFile& operator=(const TReadOnlyFile&) = delete;

  bool IsOpen() const { return FDescriptor >= 0; }
  uint64_t Size() const {
    struct stat Info {};
    return fstat(FDescriptor, &Info) == 0 && Info.st_size > 0 ? uint64_t(Info.st_size) : 0;
  }
  bool ReadAt(uint64_t Offset, uint8_t* Buffer, size_t Count) const {
    while (Count > 0) {
      const ssize_t Got = ::pread(FDescriptor, Buffer, Count, off_t(Offset));
      if (Got < 0 && errno == EINTR) continue;
      if (Got <= 0) return false;
      Buffer += Got;
      Offset += uint64_t(Got);
      Count -= size_t(Got);
    }
    return true;
  }

 private:
  int FDescriptor;
};

uint32_t Little32(const uint8_t* Bytes) {
  return uint32_t(Bytes[0]) | uint32_t(Bytes[1]) << 8 | uint32_t(Bytes[2]) << 16 | uint32_t(Bytes[3]) << 24;
}

// FFmpeg's WAV reader believes the length a metadata chunk (an INFO list, a broadcast extension)
// names and allocates it before it finds the file too short, so a file of a few hundred bytes
// could ask for gigabytes. In a RIFF file every chunk but the samples must therefore lie inside
// the file; the samples may run past its end (a recording cut short plays what it holds). Files
// of other containers pass.
bool RiffChunksFit(const std::string& Path) {
  TReadOnlyFile File(Path);
  if (!File.IsOpen()) return true;  // the demuxer will not open it either
  const uint64_t Size = File.Size();
  uint8_t Header[12];
  if (Size < sizeof Header || !File.ReadAt(0, Header, sizeof Header)) return true;
  const std::string_view Kind(reinterpret_cast<const char*>(Header), 4);
  if ((Kind != "RIFF" && Kind != "RF64" && Kind != "BW64") || std::memcmp(Header + 8, "WAVE", 4) != 0) return true;
  uint64_t Offset = sizeof Header;
  for (int Chunk = 0; Offset + 8 <= Size; ++Chunk) {
    if (Chunk == MaxRiffChunks) return false;
    uint8_t ChunkHeader[8];
    if (!File.ReadAt(Offset, ChunkHeader, sizeof ChunkHeader)) return false;
    const uint64_t Length = Little32(ChunkHeader + 4);
    const uint64_t End = Offset + 8 + Length;
    if (std::memcmp(ChunkHeader, "data", 4) == 0) {
      // Samples that run past the end (or whose length is kept elsewhere, as in RF64) end the
      // walk: nothing after them can be found.
      if (End > Size || Length == 0xFFFFFFFFu) return true;
    } else if (End > Size) {
      return false;
    }
    Offset = End + (Length & 1);
  }
  return true;
}

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
  if (Frame.nb_samples <= 0) return true;
  // The decoder may report another format than the container claimed (a stream that changes
  // midway): the same bounds hold for what reaches the converter.
  if (!PlausibleFormat(Frame.sample_rate, Channels)) return false;
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
  for (int First = 0; First < Frame.nb_samples; First += ConverterSlice) {
    const int Count = std::min(ConverterSlice, Frame.nb_samples - First);
    Decoding.Interleaved.resize(size_t(Count) * Used);
    for (int Index = 0; Index < Count; ++Index)
      for (int Channel = 0; Channel < Used; ++Channel)
        Decoding.Interleaved[size_t(Index) * Used + Channel] = SampleAt(Frame, Channel, First + Index);
    if (SDL_AudioStreamPut(Decoding.Converter, Decoding.Interleaved.data(),
                           int(Decoding.Interleaved.size() * sizeof(float))) != 0)
      return false;
    Decoding.InputFrames += uint64_t(Count);
    Collect(Decoding, Sound);
  }
  return true;
}

}  // namespace

TSoundLoad LoadSoundFile(const std::string& Path, TSoundData& Sound) {
  Sound.Samples.clear();
  std::error_code Error;
  if (!std::filesystem::is_regular_file(Path, Error)) return TSoundLoad::Missing;
  av_log_set_level(AV_LOG_QUIET);
  if (!RiffChunksFit(Path)) return TSoundLoad::Unreadable;
  TDecoding Decoding;
  AVDictionary* Options = nullptr;
  av_dict_set(&Options, "format_whitelist", SoundContainers, 0);
  av_dict_set(&Options, "probesize", ProbeBytes, 0);
  av_dict_set(&Options, "analyzeduration", ProbeMicroseconds, 0);
  const int Opened = avformat_open_input(&Decoding.Input, Path.c_str(), nullptr, &Options);
  av_dict_free(&Options);
  if (Opened < 0) {
    Decoding.Input = nullptr;
    return TSoundLoad::Unreadable;
  }
  if (avformat_find_stream_info(Decoding.Input, nullptr) < 0) return TSoundLoad::Unreadable;
  const AVCodec* Codec = nullptr;
  const int Stream = av_find_best_stream(Decoding.Input, AVMEDIA_TYPE_AUDIO, -1, -1, &Codec, 0);
  if (Stream < 0 || !Codec) return TSoundLoad::Unreadable;
  const AVCodecParameters* Claimed = Decoding.Input->streams[Stream]->codecpar;
  if (!PlausibleFormat(Claimed->sample_rate, Claimed->ch_layout.nb_channels)) return TSoundLoad::Unreadable;
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
      if (!Converted) {
        Sound.Samples.clear();
        return TSoundLoad::Unreadable;
      }
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
