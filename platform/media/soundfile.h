#pragma once
// Sound files decoded whole into 16-bit stereo samples at the output rate, ready to play. The
// usual sound containers FFmpeg reads are taken (WAV, MP3, Ogg, FLAC, AIFF, Sun audio, CAF, MP4
// audio, Matroska), single-threaded; the rate and channel conversion is SDL's. Sounds longer
// than MaxSoundSeconds are cut there: the program plays short notices, and a long file must not
// fill the memory.
//
// A sound file is whatever the user picked, so what it claims is checked before anything is
// allocated for it: a RIFF file's chunks must lie inside the file (FFmpeg would allocate what a
// metadata chunk claims), and the sample rate and channel count must lie within
// MinSoundFileRate..MaxSoundFileRate and 1..MaxSoundFileChannels (SDL's converter sizes its
// buffers from them). A file that fails is Unreadable, as one that holds no sound.

#include <cstdint>
#include <string>
#include <vector>

constexpr int SoundRate = 48000;
constexpr int SoundChannels = 2;
constexpr int MaxSoundSeconds = 600;
constexpr int MinSoundFileRate = 1000;
constexpr int MaxSoundFileRate = 384000;
constexpr int MaxSoundFileChannels = 64;

struct TSoundData {
  std::vector<int16_t> Samples;  // interleaved left, right
  size_t Frames() const { return Samples.size() / SoundChannels; }
  uint32_t LengthMilliseconds() const { return uint32_t(uint64_t(Frames()) * 1000 / SoundRate); }
};

enum class TSoundLoad { Loaded, Missing, Unreadable };

TSoundLoad LoadSoundFile(const std::string& Path, TSoundData& Sound);
