#pragma once
// One sound playing on the machine's audio output through SDL2 (PulseAudio, PipeWire or ALSA;
// SDL's dummy driver in tests, which consumes samples at the real rate). Each playing sound has
// a device of its own, opened when it starts and closed when it ends, so nothing is mixed here.
//
// SDL pulls the samples on its own thread; the caller's samples must stay alive and unchanged
// until the output is destroyed. Stop, Finished and WaitForEnd may be called from any thread.

#include <condition_variable>
#include <cstdint>
#include <mutex>

class TAudioOutput {
 public:
  // Samples: interleaved 16-bit stereo at SoundRate.
  TAudioOutput(const int16_t* Samples, size_t Count) : FSamples(Samples), FCount(Count) {}
  ~TAudioOutput();
  TAudioOutput(const TAudioOutput&) = delete;
  TAudioOutput& operator=(const TAudioOutput&) = delete;

  // Starts playing. False when the machine has no sound output (the first time writes one
  // warning to standard error); nothing plays then.
  bool Start();
  // Blocks until every sample went to the device (true) or Stop was called (false).
  bool WaitForEnd();
  void Stop();

  // Whether SDL's audio can be used at all (initialised on first use, for the whole process).
  static bool Available();

 private:
  static void Fill(void* User, uint8_t* Stream, int Length) noexcept;

  const int16_t* FSamples;
  size_t FCount;
  size_t FPosition = 0;
  uint32_t FDevice = 0;
  std::mutex FMutex;
  std::condition_variable FChanged;
  bool FDone = false;
  bool FStopped = false;
};

// Brings SDL's audio down at exit, after everything that plays; media objects with a static
// life call it before they come into being so it outlives them.
void KeepAudioSystemAlive();
