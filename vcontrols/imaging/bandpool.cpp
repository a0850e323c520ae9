// The effects' worker pool. Each worker has its own slot holding the number of the last job
// posted to it, so a job wakes exactly the workers it asks for. Bands are claimed from one word
// that holds the job's number, its band count and the next band: a worker that wakes late, after
// its job is over, finds another job's number there and claims nothing, so the caller waits only
// for bands in progress, never for a worker that is still waking. A worker reads the job's
// function only after it has claimed one of its bands, and the caller cannot finish the job
// before that band is done. A worker that has just finished spins briefly before it sleeps (for
// about a millisecond while the caller holds the pool): the effects of one frame follow each
// other closely, and a spinning worker joins the next effect without a wake-up through the
// kernel.
//
// Waking a sleeping thread is a system call of some microseconds (tens in a virtual machine), so
// the caller does not wake every worker itself: it wakes the first, and each worker that takes a
// job wakes the two after it in slot order (a binary tree), so the wake-ups run in parallel and
// the caller starts its own bands after one call. A worker nobody woke (its waker had already
// seen a newer job for fewer workers) keeps its posted number and sleeps on; nothing waits for it.

#include "vcontrols/imaging/bandpool.h"

#include <sched.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <thread>
#include <vector>

namespace {

// Hard limits: no more threads than this, and with the automatic setting, no band of fewer
// bytes than this (waking a thread costs a few microseconds; a band should be worth it).
constexpr int32_t MaximumThreads = 64;
constexpr int64_t AutomaticBandBytes = 96 * 1024;
// Bands a job is cut into per thread, at most, and the smallest band worth a claim of its own
// beyond one per thread.
constexpr int32_t BandsPerThread = 2;
constexpr int64_t MinimumBandBytes = 256 * 1024;
// Pause instructions a worker spins through before it sleeps (some tens of microseconds), and
// while the caller holds the pool (about a millisecond, yielding every YieldRounds: longer than
// the caller's own work between two steps of a frame's chain, short enough that a long step
// done on the caller alone keeps few processors busy waiting; the wake-up after it costs a few
// per cent of such a step).
constexpr int32_t SpinRounds = 1 << 12;
constexpr int32_t HeldSpinRounds = 1 << 15;
constexpr int32_t YieldRounds = 1 << 6;

inline void Relax() {
#if defined(__x86_64__) || defined(__i386__)
  __builtin_ia32_pause();
#else
  std::this_thread::yield();
#endif
}

int32_t SettingFromEnvironment() {
  const char* value = std::getenv("KORCAM_EFFECT_THREADS");
  if (!value || !*value) return 0;
  char* end = nullptr;
  const long count = std::strtol(value, &end, 10);
  if (*end != '\0' || count < 0) return 0;
  return int32_t(std::min<long>(count, MaximumThreads));
}

std::atomic<int32_t>& Setting() {
  static std::atomic<int32_t> setting{SettingFromEnvironment()};
  return setting;
}

// The processors this process may run on (a pinned benchmark or a CI runner limited to a few
// cores sees those only).
int32_t ProcessorCount() {
  static const int32_t count = [] {
    cpu_set_t set;
    if (sched_getaffinity(0, sizeof(set), &set) == 0) return std::max(1, CPU_COUNT(&set));
    return int32_t(std::max(1u, std::thread::hardware_concurrency()));
  }();
  return std::min(count, MaximumThreads);
}

}  // namespace

int32_t vcEffectThreads() {
  return Setting().load(std::memory_order_relaxed);
}

int32_t vcSetEffectThreads(int32_t Count) {
  return Setting().exchange(std::clamp(Count, 0, MaximumThreads), std::memory_order_relaxed);
}

namespace {

// A band that throws has no one to report to: end the program at the throw rather than unwind
// through a worker or leave the other bands running on a half-finished picture.
void RunBand(void (*Function)(const void*, int32_t), const void* Context, int32_t Band) noexcept {
  Function(Context, Band);
}

// The claim word: job number in the high 32 bits, band count in the next 16, next band in the
// low 16.
constexpr uint64_t ClaimWord(uint32_t Job, int32_t Count, int32_t Next) {
  return uint64_t(Job) << 32 | uint64_t(uint32_t(Count)) << 16 | uint64_t(uint32_t(Next));
}

}  // namespace

struct TvcBandPool::TWorkers {
  // One cache line per slot: a posted worker and its neighbours do not share a line.
  struct alignas(64) TSlot {
    std::atomic<uint32_t> Job{0};
  };

  TWorkers() : Slots(MaximumThreads) {}

  ~TWorkers() {
    Stopping.store(true, std::memory_order_relaxed);
    for (size_t i = 0; i < Threads.size(); ++i) {
      Slots[i].Job.fetch_add(1, std::memory_order_release);
      Slots[i].Job.notify_one();
    }
    for (std::thread& thread : Threads) thread.join();
  }

  // Starts workers until there are Wanted of them, within the slots (or until starting one fails:
  // then the pool makes do with those it has, and the caller runs the rest of each job itself).
  int32_t Ensure(int32_t Wanted) {
    Wanted = std::min(Wanted, int32_t(Slots.size()));
    while (int32_t(Threads.size()) < Wanted && !StartFailed) {
      const size_t index = Threads.size();
      try {
        Threads.emplace_back([this, index] { Work(int32_t(index)); });
      } catch (...) {
        StartFailed = true;
      }
    }
    return std::min(Wanted, int32_t(Threads.size()));
  }

  // Claims and runs bands of job Job until none is left; then counts them off at once.
  void RunBands(uint32_t Job) {
    int32_t done = 0;
    uint64_t claim = Claim.load(std::memory_order_acquire);
    for (;;) {
      const int32_t count = int32_t((claim >> 16) & 0xFFFF), next = int32_t(claim & 0xFFFF);
      if (uint32_t(claim >> 32) != Job || next >= count) break;
      if (!Claim.compare_exchange_weak(claim, claim + 1, std::memory_order_acq_rel,
                                       std::memory_order_acquire))
        continue;
      RunBand(Function, Context, next);
      ++done;
      claim = Claim.load(std::memory_order_acquire);
    }
    // The last bands counted off tell the caller (which may be asleep in Finish).
    if (done > 0 && Remaining.fetch_sub(done, std::memory_order_acq_rel) == done) Remaining.notify_one();
  }

  // Waits until the slot holds a number other than Seen: spinning first, then asleep.
  uint32_t WaitForJob(TSlot& Slot, uint32_t Seen) {
    uint32_t job = Slot.Job.load(std::memory_order_acquire);
    for (int32_t round = 0; job == Seen; ++round) {
      if (round >= SpinRounds) {
        if (round >= HeldSpinRounds || Holds.load(std::memory_order_relaxed) == 0) break;
        // Held: now and then let another thread have the processor. On an idle machine this
        // returns at once; on a busy one the caller (whose work between jobs is what the worker
        // waits for) and other programs are not kept from running by workers that only wait.
        if (round % YieldRounds == 0) std::this_thread::yield();
      }
      Relax();
      job = Slot.Job.load(std::memory_order_acquire);
    }
    while (job == Seen) {
      Slot.Job.wait(Seen, std::memory_order_acquire);
      job = Slot.Job.load(std::memory_order_acquire);
    }
    return job;
  }

  // Wakes the workers of slots First and First + 1 when the last post reached them (a worker
  // that spins costs nothing here).
  void WakePair(int32_t First) {
    const int32_t posted = Posted.load(std::memory_order_relaxed);
    for (int32_t index = First; index < First + 2 && index < posted; ++index)
      Slots[size_t(index)].Job.notify_one();
  }

  void Work(int32_t Index) {
    TSlot& slot = Slots[size_t(Index)];
    uint32_t seen = 0;
    for (;;) {
      seen = WaitForJob(slot, seen);
      if (Stopping.load(std::memory_order_relaxed)) return;
      WakePair(2 * Index + 1);
      RunBands(seen);
    }
  }

  // Posts job Job to the first Count workers and wakes them (through the tree).
  void Post(uint32_t Job, int32_t Count) {
    Posted.store(Count, std::memory_order_relaxed);
    for (int32_t i = 0; i < Count; ++i) Slots[size_t(i)].Job.store(Job, std::memory_order_release);
    Slots[0].Job.notify_one();
  }

  // Waits until every band of the current job is done.
  void Finish() {
    int32_t remaining = Remaining.load(std::memory_order_acquire);
    for (int32_t round = 0; remaining != 0 && round < SpinRounds; ++round) {
      Relax();
      remaining = Remaining.load(std::memory_order_acquire);
    }
    while (remaining != 0) {
      Remaining.wait(remaining, std::memory_order_acquire);
      remaining = Remaining.load(std::memory_order_acquire);
    }
  }

  std::vector<TSlot> Slots;
  std::vector<std::thread> Threads;
  bool StartFailed = false;
  std::atomic<bool> Stopping{false};
  // Numbers the jobs; the same number is posted to the slots and stands in the claim word.
  uint32_t JobNumber = 0;
  // The job's band function: written before its job number is posted, read after a claim.
  TBandFunction Function = nullptr;
  const void* Context = nullptr;
  std::atomic<uint64_t> Claim{0};
  // Bands not yet done.
  std::atomic<int32_t> Remaining{0};
  // Workers the last post reached (the wake-up tree stops there), and the caller's holds.
  std::atomic<int32_t> Posted{0};
  std::atomic<int32_t> Holds{0};
};

TvcBandPool::TvcBandPool() = default;
TvcBandPool::~TvcBandPool() = default;

int32_t TvcBandPool::ThreadCount(int64_t Units, int64_t UnitBytes) const {
  if (Units <= 1) return 1;
  const int32_t setting = vcEffectThreads();
  int64_t count = setting > 0 ? setting : ProcessorCount();
  if (setting == 0) count = std::min(count, std::max<int64_t>(1, Units * UnitBytes / AutomaticBandBytes));
  return int32_t(std::min(count, Units));
}

int32_t TvcBandPool::BandCount(int64_t Units, int64_t UnitBytes) const {
  const int32_t threads = ThreadCount(Units, UnitBytes);
  if (threads <= 1) return 1;
  // A whole number of bands per thread: ten bands on eight threads would make two threads run
  // two bands each while the others wait, and a 1280 x 720 frame took as long as twelve bands.
  const int64_t perThread =
      std::clamp<int64_t>(Units * UnitBytes / (MinimumBandBytes * threads), 1, BandsPerThread);
  return int32_t(std::min(Units, perThread * threads));
}

void TvcBandPool::Hold() {
  if (!FWorkers) FWorkers = std::make_unique<TWorkers>();
  TWorkers& workers = *FWorkers;
  if (workers.Holds.fetch_add(1, std::memory_order_relaxed) > 0) return;
  // A number no band claims: a worker that sees it claims nothing, wakes its part of the tree
  // and waits, spinning, for the next job.
  workers.Post(++workers.JobNumber, int32_t(workers.Threads.size()));
}

void TvcBandPool::Release() {
  if (FWorkers) FWorkers->Holds.fetch_sub(1, std::memory_order_relaxed);
}

int32_t TvcBandPool::WorkerCount() const {
  return FWorkers ? int32_t(FWorkers->Threads.size()) : 0;
}

void TvcBandPool::Dispatch(int32_t Count, TBandFunction Function, const void* Context, bool CallerFirst) {
  if (Count <= 0) return;
  if (Count == 1) return RunBand(Function, Context, 0);
  Count = std::min(Count, 0xFFFF);
  // Never more threads than the setting allows, however many bands there are.
  const int32_t setting = vcEffectThreads();
  const int32_t threads = setting > 0 ? setting : ProcessorCount();
  if (threads <= 1) {
    for (int32_t band = 0; band < Count; ++band) RunBand(Function, Context, band);
    return;
  }
  if (!FWorkers) FWorkers = std::make_unique<TWorkers>();
  TWorkers& workers = *FWorkers;
  const int32_t helpers = workers.Ensure(std::min(Count, threads) - 1);
  if (helpers == 0) {
    for (int32_t band = 0; band < Count; ++band) RunBand(Function, Context, band);
    return;
  }
  const uint32_t job = ++workers.JobNumber;
  workers.Function = Function;
  workers.Context = Context;
  workers.Remaining.store(CallerFirst ? Count - 1 : Count, std::memory_order_relaxed);
  workers.Claim.store(ClaimWord(job, Count, CallerFirst ? 1 : 0), std::memory_order_release);
  workers.Post(job, helpers);
  if (CallerFirst) RunBand(Function, Context, 0);
  workers.RunBands(job);
  workers.Finish();
}
