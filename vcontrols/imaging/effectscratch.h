#pragma once
// Working memory of the pixel effects, kept from one call to the next, and the worker threads
// that share an effect's rows. The live picture runs the same effects on frames of the same size
// many times a second; keeping the buffers (and the threads) means that after the first frame no
// effect allocates anything. A buffer only grows. Buffers that the bands of an effect use each
// for themselves are slices of one buffer, one slice per band.

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "vcontrols/imaging/bandpool.h"

class TvcEffectScratch {
 public:
  static constexpr int TableSlots = 6;

  // A temporary image of the given byte count (wave, rotation).
  uint8_t* Image(size_t Bytes) { return Grow(FImage, Bytes); }
  // One row of pixel bytes (emboss keeps the last row, sponge and the stretches a source row).
  uint8_t* Row(size_t Bytes) { return Grow(FRow, Bytes); }
  // Per-byte intermediate sums of one row (sharpen).
  int16_t* Sums(size_t Count) { return Grow(FSums, Count); }
  // Per-column or per-row integer tables (clamped neighbours, wave shifts, stretch steps).
  int32_t* Table(int Slot, size_t Count) { return Grow(FTables.at(size_t(Slot)), Count); }
  // What the random generator's words make a pixel do (sponge).
  uint32_t* Records(size_t Count) { return Grow(FRecords, Count); }
  // Per-column floating-point products (rotation).
  double* Products(int Slot, size_t Count) { return Grow(FProducts.at(size_t(Slot)), Count); }

  // The threads that run an effect's bands.
  TvcBandPool& Bands() { return FBands; }

  // Bytes held, for tests that check the buffers stop growing.
  size_t Capacity() const {
    size_t total = FImage.capacity() + FRow.capacity() + FSums.capacity() * sizeof(int16_t) +
                   FRecords.capacity() * sizeof(uint32_t);
    for (const auto& table : FTables) total += table.capacity() * sizeof(int32_t);
    for (const auto& products : FProducts) total += products.capacity() * sizeof(double);
    return total;
  }

 private:
  template <class T>
  static T* Grow(std::vector<T>& Buffer, size_t Count) {
    if (Buffer.size() < Count) Buffer.resize(Count);
    return Buffer.data();
  }

  std::vector<uint8_t> FImage;
  std::vector<uint8_t> FRow;
  std::vector<int16_t> FSums;
  std::vector<uint32_t> FRecords;
  std::array<std::vector<int32_t>, TableSlots> FTables;
  std::array<std::vector<double>, 2> FProducts;
  TvcBandPool FBands;
};
