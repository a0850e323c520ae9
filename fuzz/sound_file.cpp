// Arbitrary bytes as a sound file the user picked for the capture or motion sound: it loads or
// is refused, quickly, and nothing crashes, leaks or allocates without bound. A sound that loads
// is whole 16-bit stereo frames within the length limit.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/media/soundfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  const int Descriptor = memfd_create("sound_file", MFD_CLOEXEC);
  if (Descriptor < 0) return 0;
  for (size_t Written = 0; Written < Size;) {
    const ssize_t Result = write(Descriptor, Data + Written, Size - Written);
    if (Result <= 0) {
      close(Descriptor);
      return 0;
    }
    Written += size_t(Result);
  }
  TSoundData Sound;
  const TSoundLoad Result = LoadSoundFile("/proc/self/fd/" + std::to_string(Descriptor), Sound);
  if (Result != TSoundLoad::Loaded && !Sound.Samples.empty()) std::abort();
  if (Sound.Samples.size() % SoundChannels != 0 ||
      Sound.Frames() > size_t(MaxSoundSeconds) * SoundRate)
    std::abort();
  close(Descriptor);
  return 0;
}
