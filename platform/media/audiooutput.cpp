#include "platform/media/audiooutput.h"

#include <SDL.h>

#include <cstdio>
#include <cstring>

#include "platform/media/soundfile.h"

namespace {

// SDL's audio for the whole process: initialised on first use, shut down at exit.
class TAudioSystem {
 public:
  bool Initialise() {
    std::lock_guard Lock(FMutex);
    if (!FTried) {
      FTried = true;
      FReady = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
      if (!FReady) Warn(SDL_GetError());
    }
    return FReady;
  }
  ~TAudioSystem() {
    if (FReady) SDL_QuitSubSystem(SDL_INIT_AUDIO);
  }
  // One line on standard error the first time sound cannot be played; later failures are quiet.
  void Warn(const char* Reason) {
    if (FWarned) return;
    FWarned = true;
    std::fprintf(stderr, "korcam: no sound output, sounds are not played (%s)\n", Reason ? Reason : "");
  }

 private:
  std::mutex FMutex;
  bool FTried = false;
  bool FReady = false;
  bool FWarned = false;
};

TAudioSystem& AudioSystem() {
  static TAudioSystem Instance;
  return Instance;
}

}  // namespace

void KeepAudioSystemAlive() { AudioSystem(); }

bool TAudioOutput::Available() { return AudioSystem().Initialise(); }

void TAudioOutput::Fill(void* User, uint8_t* Stream, int Length) noexcept {
  auto* Output = static_cast<TAudioOutput*>(User);
  std::lock_guard Lock(Output->FMutex);
  const size_t Wanted = size_t(Length) / sizeof(int16_t);
  const size_t Left = Output->FStopped ? 0 : Output->FCount - Output->FPosition;
  const size_t Given = Wanted < Left ? Wanted : Left;
  std::memcpy(Stream, Output->FSamples + Output->FPosition, Given * sizeof(int16_t));
  std::memset(Stream + Given * sizeof(int16_t), 0, size_t(Length) - Given * sizeof(int16_t));
  Output->FPosition += Given;
  if (Output->FPosition >= Output->FCount && !Output->FDone) {
    Output->FDone = true;
    Output->FChanged.notify_all();
  }
}

bool TAudioOutput::Start() {
  if (!Available()) return false;
  if (FCount == 0) {
    std::lock_guard Lock(FMutex);
    FDone = true;
    return true;
  }
  SDL_AudioSpec Wanted{};
  Wanted.freq = SoundRate;
  Wanted.format = AUDIO_S16SYS;
  Wanted.channels = SoundChannels;
  Wanted.samples = 1024;
  Wanted.callback = Fill;
  Wanted.userdata = this;
  SDL_AudioSpec Have{};
  // SDL converts to whatever the hardware wants: the callback always gets the format asked for.
  FDevice = SDL_OpenAudioDevice(nullptr, 0, &Wanted, &Have, 0);
  if (FDevice == 0) {
    AudioSystem().Warn(SDL_GetError());
    return false;
  }
  SDL_PauseAudioDevice(FDevice, 0);
  return true;
}

bool TAudioOutput::WaitForEnd() {
  std::unique_lock Lock(FMutex);
  FChanged.wait(Lock, [this] { return FDone || FStopped; });
  return FDone && !FStopped;
}

void TAudioOutput::Stop() {
  std::lock_guard Lock(FMutex);
  FStopped = true;
  FChanged.notify_all();
}

TAudioOutput::~TAudioOutput() {
  Stop();
  // Closing waits for SDL's thread to leave the callback, which takes FMutex: never hold it here.
  if (FDevice != 0) SDL_CloseAudioDevice(FDevice);
}
