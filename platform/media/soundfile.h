#pragma once
// Sound files decoded whole into 16-bit stereo samples at the output rate, ready to play. Any
// audio FFmpeg reads is taken (WAV, MP3, Ogg, FLAC, ...), single-threaded; the rate and channel
// conversion is SDL's. Sounds longer than MaxSoundSeconds are cut there: the program plays
// short notices, and a long file must not fill the memory.

#include <cstdint>
#include <string>
#include <vector>

constexpr int SoundRate = 48000;
constexpr int SoundChannels = 2;
constexpr int MaxSoundSeconds = 600;

struct TSoundData {
  std::vector<int16_t> Samples;  // interleaved left, right
  size_t Frames() const { return Samples.size() / SoundChannels; }
  uint32_t LengthMilliseconds() const { return uint32_t(uint64_t(Frames()) * 1000 / SoundRate); }
};

enum class TSoundLoad { Loaded, Missing, Unreadable };

TSoundLoad LoadSoundFile(const std::string& Path, TSoundData& Sound);
