#pragma once
// The pseudo-random source of the sponge effect: a counter-based generator (a Weyl sequence
// through a 64-bit mixer) with an exactly uniform bounded draw. One draw depends on the last
// only through an addition, so the sponge's three draws a pixel overlap in the processor. The sequence is
// ours to choose; what callers rely on is that Below(k) is uniform over 0 ... k - 1 and that Below(0) is 0.

#include <cstdint>

class TvcRandom {
 public:
  explicit TvcRandom(uint64_t Seed = 0) { SetSeed(Seed); }

  void SetSeed(uint64_t Seed) { FState = Seed; }

  uint32_t Next() {
    FState += 0x9E3779B97F4A7C15ull;
    uint64_t z = FState;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return uint32_t((z ^ (z >> 31)) >> 32);
  }

  // 0 ... Range - 1, each equally likely; 0 without a draw for a range of 0 or less. The
  // multiply-and-shift mapping rejects the few low words that would favour some results.
  int32_t Below(int32_t Range) {
    if (Range <= 0) return 0;
    const uint32_t range = uint32_t(Range);
    uint64_t product = uint64_t(Next()) * range;
    if (uint32_t(product) < range) {
      const uint32_t threshold = (0u - range) % range;
      while (uint32_t(product) < threshold) product = uint64_t(Next()) * range;
    }
    return int32_t(product >> 32);
  }

 private:
  uint64_t FState = 0;
};

// The generator the bitmaps' sponge effect draws from, shared by the whole program (one
// user-interface thread runs the effects).
TvcRandom& vcSharedRandom();
