#pragma once
// Movies cut short -- by a full disk, a failing device, or a program that ended while it
// recorded -- hold frames that no index lists, under headers that count none of them. The repair
// keeps every whole frame: it cuts the file after the last one, writes the index of the frames
// before it and sets the headers' counts, so the movie plays as far as it was recorded. It knows
// the files this library's writer makes: one MJPEG video stream, AVI, with OpenDML parts past
// 1 GB (a cut in a later part is indexed as the writer would have indexed that part).

#include <cstdint>
#include <string>

class TMovieFile;

// Repairs the movie in File in place; a movie that is whole and indexed is left as it is.
// Frames gets the number of frames it holds afterwards. When the disk has no room for the index,
// frames are given up from the end until it fits. False, with Error saying why, when the file is
// no movie of this library's kind or cannot be written at all; it may then be cut already.
bool RepairMovieFile(TMovieFile& File, int64_t& Frames, std::string& Error);

// A movie left under TemporaryPath by a program that ended while it recorded (no writer holds
// its lock) is repaired and renamed to the first free name of "<stem> recovered.avi",
// "<stem> recovered 2.avi", ... beside FinalPath (the name the movie was meant to get), so the
// user finds it among the movies; one without a single frame is removed. Returns the name it now
// has, or "" when there was none, it is being recorded, or it could not be repaired (it then
// stays as it is).
std::string RecoverUnfinishedMovie(const std::string& TemporaryPath, const std::string& FinalPath);
