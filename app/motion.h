#pragma once
// The arithmetic of motion detection and the motion movies, apart from the windows that use it:
// the byte comparison of two frames, the measure it gives, the timer intervals of the options,
// and the numbered movie files.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class TBitmap;

// The number of byte positions at which A and B hold the same byte, over Size bytes of each.
// Every byte counts alone: blue, green and red bytes and the padding of the rows alike.
size_t CountEqualBytes(const uint8_t* A, const uint8_t* B, size_t Size);

// The share of unchanged bytes as the detection weighs it: 100 * Equal / (Size + Equal), in single
// precision. 0 when every byte changed, 50 when none did (an empty frame changed nothing).
float MotionMeasure(size_t Equal, size_t Size);

// Reads Bitmap as bottom-up 24-bit rows into Rows (resized to fit; its memory is reused from one
// call to the next) and answers the number of bytes. 0, with Rows untouched, for an empty
// bitmap or one the device layer cannot read.
size_t ReadMotionRows(TBitmap& Bitmap, std::vector<uint8_t>& Rows);

// The same rows without a copy where they lie that way already: a 24-bit DIB section (what a
// frame of a 24-bit camera is) holds its rows bottom-up, so the answer points into the bitmap,
// valid until it changes. Any other bitmap is read into Scratch. Size gets the number of bytes;
// nullptr for a bitmap that cannot be read.
const uint8_t* MotionRows(TBitmap& Bitmap, std::vector<uint8_t>& Scratch, size_t& Size);

// A timer interval of Count units of UnitMilliseconds each (an editor's value), truncated toward
// zero. Values at or below zero give 0; values past what a timer can wait are held at its longest
// wait instead of wrapping round to a short one.
uint32_t OptionInterval(double Count, uint32_t UnitMilliseconds);
// The motion timer's wait: the starting delay in minutes, at least 1 ms, so that a delay of 0
// responds at once.
uint32_t StartingDelayInterval(double Minutes);
// The motion indication's time: the movie length in seconds. A length of 0 ends it at once (1 ms),
// since a timer of interval 0 would never fire and the motion would stay shown for good.
uint32_t MotionIndicationInterval(double Seconds);

// "video01.avi" .. "video99.avi": the movie of that number in Folder (which ends with "/").
std::string MovieFileName(const std::string& Folder, int Number);
constexpr int MovieFileCount = 99;

// Makes room for a new video01.avi in Folder: video99.avi is deleted and every other numbered
// movie moves up by one, the newest last. Failures (a file that cannot be deleted or moved) are
// not reported; the files stay as they are then.
void RotateMovieFiles(const std::string& Folder);
