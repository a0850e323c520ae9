#pragma once
// The pseudo-random source of the sponge effect: a counter-based generator (a Weyl sequence
// through a 64-bit mixer) with an exactly uniform bounded draw. The sequence is ours to choose;
// what callers rely on is that Below(k) is uniform over 0 ... k - 1 and that Below(0) is 0.
//
// Each word is a function of the state and of its position alone (Word), so a caller that needs
// many words can compute them in blocks, in any order or on several threads, draw from them with
// BelowFrom (the same rule Below follows), and then move the generator past the words it used
// (Skip): the draws are the same as one Below after the other.

#include <cstdint>

class TvcRandom {
 public:
  static constexpr uint64_t Increment = 0x9E3779B97F4A7C15ull;

  explicit TvcRandom(uint64_t Seed = 0) { SetSeed(Seed); }

  void SetSeed(uint64_t Seed) { FState = Seed; }
  uint64_t State() const { return FState; }
  void Skip(uint64_t Words) { FState += Words * Increment; }

  // The word that the draw Index words from now gives (Index 0: the next word).
  static uint32_t Word(uint64_t State, uint64_t Index) { return Mix(State + (Index + 1) * Increment); }
  static uint32_t Mix(uint64_t Value) {
    uint64_t z = Value;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return uint32_t((z ^ (z >> 31)) >> 32);
  }

  uint32_t Next() {
    FState += Increment;
    return Mix(FState);
  }
  uint32_t operator()() { return Next(); }

  // 0 ... Range - 1, each equally likely; 0 without a draw for a range of 0 or less.
  int32_t Below(int32_t Range) { return BelowFrom(Range, *this); }

  // The bounded draw on the words Words() gives: the multiply-and-shift mapping, which rejects
  // the few low words that would favour some results (the next word is drawn instead).
  template <class TWords>
  static int32_t BelowFrom(int32_t Range, TWords& Words) {
    if (Range <= 0) return 0;
    const uint32_t range = uint32_t(Range);
    uint64_t product = uint64_t(Words()) * range;
    if (uint32_t(product) < range) {
      const uint32_t threshold = (0u - range) % range;
      while (uint32_t(product) < threshold) product = uint64_t(Words()) * range;
    }
    return int32_t(product >> 32);
  }

 private:
  uint64_t FState = 0;
};

// The generator the bitmaps' sponge effect draws from, shared by the whole program (one
// user-interface thread runs the effects).
TvcRandom& vcSharedRandom();
