#include "platform/media/mci.h"

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "platform/media/audiooutput.h"
#include "platform/media/soundfile.h"
#include "platform/user/message.h"

namespace {

void Notify(DWORD_PTR Window, WPARAM Result, MCIDEVICEID Device) {
  if (Window != 0) PostMessageA(reinterpret_cast<HWND>(Window), MM_MCINOTIFY, Result, LPARAM(Device));
}

// One open sound: its samples, and the play in progress with the thread that waits for its end
// to post the notification.
class TMciSound {
 public:
  TMciSound(MCIDEVICEID Id, TSoundData Sound) : FId(Id), FSound(std::move(Sound)) {}
  ~TMciSound() { Stop(); }

  MCIERROR Play(DWORD Flags, const MCI_PLAY_PARMS* Parameters) {
    const uint32_t Length = FSound.LengthMilliseconds();
    uint32_t From = 0, To = Length;
    if ((Flags & MCI_FROM) && Parameters) From = Parameters->dwFrom;
    if ((Flags & MCI_TO) && Parameters) To = Parameters->dwTo;
    if (From > Length || To > Length || From > To) return MCIERR_OUTOFRANGE;
    // A new play ends the one running; its notification, if any, reports it aborted.
    Stop();
    const size_t First = size_t(uint64_t(From) * SoundRate / 1000) * SoundChannels;
    const size_t End = To == Length ? FSound.Samples.size() : size_t(uint64_t(To) * SoundRate / 1000) * SoundChannels;
    const DWORD_PTR Window = (Flags & MCI_NOTIFY) && Parameters ? Parameters->dwCallback : 0;
    FOutput = std::make_unique<TAudioOutput>(FSound.Samples.data() + First, End - First);
    if (!FOutput->Start()) {
      // No sound output: nothing to wait for.
      FOutput.reset();
      Notify(Window, MCI_NOTIFY_SUCCESSFUL, FId);
      return 0;
    }
    if (Flags & MCI_WAIT) {
      const bool Ended = FOutput->WaitForEnd();
      FOutput.reset();
      Notify(Window, Ended ? MCI_NOTIFY_SUCCESSFUL : MCI_NOTIFY_ABORTED, FId);
      return 0;
    }
    FWaiter = std::thread([Output = FOutput.get(), Window, Id = FId] {
      Notify(Window, Output->WaitForEnd() ? MCI_NOTIFY_SUCCESSFUL : MCI_NOTIFY_ABORTED, Id);
    });
    return 0;
  }

  void Stop() {
    if (FOutput) FOutput->Stop();
    if (FWaiter.joinable()) FWaiter.join();
    FOutput.reset();
  }

 private:
  MCIDEVICEID FId;
  TSoundData FSound;
  std::unique_ptr<TAudioOutput> FOutput;
  std::thread FWaiter;
};

struct TDevices {
  std::mutex Mutex;
  std::map<MCIDEVICEID, std::unique_ptr<TMciSound>> Open;
  MCIDEVICEID Next = 1;
};

TDevices& Devices() {
  // The audio system must outlive the sounds, which close at exit: it comes into being first.
  KeepAudioSystemAlive();
  static TDevices Instance;
  return Instance;
}

MCIERROR OpenSound(DWORD Flags, MCI_OPEN_PARMSA* Parameters) {
  if (!Parameters) return MCIERR_NULL_PARAMETER_BLOCK;
  if (!(Flags & MCI_OPEN_ELEMENT) || (Flags & MCI_OPEN_ELEMENT_ID)) return MCIERR_UNSUPPORTED_FUNCTION;
  if (!Parameters->lpstrElementName || !*Parameters->lpstrElementName) return MCIERR_MISSING_PARAMETER;
  TSoundData Sound;
  switch (LoadSoundFile(Parameters->lpstrElementName, Sound)) {
    case TSoundLoad::Missing: return MCIERR_FILE_NOT_FOUND;
    case TSoundLoad::Unreadable: return MCIERR_INVALID_FILE;
    case TSoundLoad::Loaded: break;
  }
  TDevices& Table = Devices();
  std::lock_guard Lock(Table.Mutex);
  const MCIDEVICEID Id = Table.Next++;
  if (Table.Next == MCI_ALL_DEVICE_ID) Table.Next = 1;
  Table.Open[Id] = std::make_unique<TMciSound>(Id, std::move(Sound));
  Parameters->wDeviceID = Id;
  return 0;
}

MCIERROR CloseSound(MCIDEVICEID Device) {
  std::map<MCIDEVICEID, std::unique_ptr<TMciSound>> Closed;
  {
    TDevices& Table = Devices();
    std::lock_guard Lock(Table.Mutex);
    if (Device == MCI_ALL_DEVICE_ID) {
      Closed.swap(Table.Open);
    } else {
      const auto Found = Table.Open.find(Device);
      if (Found == Table.Open.end()) return MCIERR_INVALID_DEVICE_ID;
      Closed.insert(Table.Open.extract(Found));
    }
  }
  // The sounds stop (and their waiters end) outside the lock.
  return 0;
}

}  // namespace

MCIERROR mciSendCommandA(MCIDEVICEID Device, UINT Message, DWORD_PTR Flags, DWORD_PTR Parameters) {
  const DWORD Options = DWORD(Flags);
  const DWORD_PTR Callback = Parameters ? reinterpret_cast<const MCI_GENERIC_PARMS*>(Parameters)->dwCallback : 0;
  MCIERROR Result = 0;
  switch (Message) {
    case MCI_OPEN: {
      auto* Open = reinterpret_cast<MCI_OPEN_PARMSA*>(Parameters);
      Result = OpenSound(Options, Open);
      if (Result == 0 && (Options & MCI_NOTIFY)) Notify(Callback, MCI_NOTIFY_SUCCESSFUL, Open->wDeviceID);
      return Result;
    }
    case MCI_CLOSE:
      Result = CloseSound(Device);
      break;
    case MCI_PLAY:
    case MCI_STOP: {
      TMciSound* Sound = nullptr;
      {
        TDevices& Table = Devices();
        std::lock_guard Lock(Table.Mutex);
        const auto Found = Table.Open.find(Device);
        if (Found == Table.Open.end()) return MCIERR_INVALID_DEVICE_ID;
        Sound = Found->second.get();
      }
      // A device is driven from one thread (the program's); only close removes it.
      if (Message == MCI_PLAY) return Sound->Play(Options, reinterpret_cast<const MCI_PLAY_PARMS*>(Parameters));
      Sound->Stop();
      break;
    }
    default: return MCIERR_UNRECOGNIZED_COMMAND;
  }
  if (Result == 0 && (Options & MCI_NOTIFY)) Notify(Callback, MCI_NOTIFY_SUCCESSFUL, Device);
  return Result;
}
