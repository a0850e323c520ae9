#pragma once
// The worker threads of the pixel effects. An effect whose output can be cut into bands that do
// not depend on each other (rows of a per-pixel effect, row pairs of a vertical flip, the row
// chains of a blur pass) hands the bands to its pool: the calling thread runs bands itself, the
// workers run the rest, and Run returns when every band is done.
//
// Contract: a pool belongs to one effect workspace and is used by one thread at a time (the
// thread that runs that bitmap's effects). Its threads start on the first job that wants them and
// stay until the pool is destroyed; a job allocates nothing. A band touches pixel rows and
// scratch memory only, never a control or a window, must not throw, and must give the same bytes
// whichever thread runs it: the picture is the same for any number of threads.

#include <cstdint>
#include <memory>

// How many threads the effects may use: 0 chooses by itself (one per processor, and only for
// pictures large enough to gain from it), 1 keeps everything on the calling thread, n uses n.
// The first value comes from the environment variable KORCAM_EFFECT_THREADS (tests and
// benchmarks fix the count with it); vcSetEffectThreads changes it for the whole program and
// returns the previous value.
int32_t vcEffectThreads();
int32_t vcSetEffectThreads(int32_t Count);

class TvcBandPool {
 public:
  TvcBandPool();
  ~TvcBandPool();
  TvcBandPool(const TvcBandPool&) = delete;
  TvcBandPool& operator=(const TvcBandPool&) = delete;

  // How many threads a job of Units independent units (rows, row pairs, row chains) of about
  // UnitBytes bytes each would use: never more than Units or the thread setting, and when the
  // setting is automatic, no thread for less than a size worth its wake-up.
  int32_t ThreadCount(int64_t Units, int64_t UnitBytes) const;
  // How many bands such a job is cut into: one when it runs on one thread, else one per thread and,
  // for larger jobs, up to a few per thread (within Units), so that a thread that is late (the
  // processor busy with something else) holds the others up by a small band only.
  int32_t BandCount(int64_t Units, int64_t UnitBytes) const;

  // Runs Task(Band) for Band = 0 ... Count - 1 and returns when all have run. Bands are handed
  // out in order, to whichever thread is free first.
  template <class TTask>
  void Run(int32_t Count, const TTask& Task) {
    Dispatch(Count, &Invoke<TTask>, &Task, false);
  }
  // The same, with band 0 always on the calling thread (a band that works on what the caller's
  // cache holds, while the others prepare something else).
  template <class TTask>
  void RunWithCallerFirst(int32_t Count, const TTask& Task) {
    Dispatch(Count, &Invoke<TTask>, &Task, true);
  }

  // Cuts Units units into bands and runs Range(First, End) for each band's units [First, End).
  template <class TRange>
  void RunRanges(int64_t Units, int64_t UnitBytes, const TRange& Range) {
    const int32_t count = BandCount(Units, UnitBytes);
    if (count <= 1) return Range(int32_t(0), int32_t(Units));
    Run(count, TRanges<TRange>{Range, int32_t(Units), count});
  }

  // Keeps the workers ready for a run of jobs that follow each other closely (the effects of one
  // frame). Hold wakes the workers that sleep, so that their wake-up overlaps what the caller
  // does before its next job; until the matching Release, a worker that has finished a job waits
  // for the next one spinning (about a millisecond at most, yielding now and then) rather than
  // asleep, so a job that follows closely pays no wake-up through the kernel. Holds nest; only
  // workers that earlier jobs started are woken (Hold starts none). Called by the thread that
  // runs the jobs.
  void Hold();
  void Release();

  // Threads started so far (for tests).
  int32_t WorkerCount() const;

 private:
  struct TWorkers;
  using TBandFunction = void (*)(const void* Context, int32_t Band);
  template <class TTask>
  static void Invoke(const void* Context, int32_t Band) {
    (*static_cast<const TTask*>(Context))(Band);
  }
  template <class TRange>
  struct TRanges {
    const TRange& Range;
    int32_t Units, Count;
    void operator()(int32_t Band) const;
  };
  void Dispatch(int32_t Count, TBandFunction Function, const void* Context, bool CallerFirst);

  std::unique_ptr<TWorkers> FWorkers;
};

// Holds a pool's workers ready for the life of the object (no pool: nothing).
class TvcBandHold {
 public:
  explicit TvcBandHold(TvcBandPool* Pool) : FPool(Pool) {
    if (FPool) FPool->Hold();
  }
  ~TvcBandHold() {
    if (FPool) FPool->Release();
  }
  TvcBandHold(const TvcBandHold&) = delete;
  TvcBandHold& operator=(const TvcBandHold&) = delete;

 private:
  TvcBandPool* FPool;
};

// The first unit of band Band when Units units are cut into Count bands of nearly equal size.
constexpr int32_t vcBandStart(int32_t Units, int32_t Count, int32_t Band) {
  return int32_t(int64_t(Units) * Band / Count);
}

template <class TRange>
void TvcBandPool::TRanges<TRange>::operator()(int32_t Band) const {
  Range(vcBandStart(Units, Count, Band), vcBandStart(Units, Count, Band + 1));
}
