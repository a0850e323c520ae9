#pragma once
// The error-history log: a text file that grows by one line per failure the program catches,
// kept under a size limit by dropping its oldest 16 KB at a time.
//
// Each entry is the local time as "mm/dd/yyyy hh:nn:ss.zzz" (the locale's date and time
// separators in place of "/" and ":"), two blanks, the message byte for byte, and CR LF. The
// file is opened and closed for every entry and never held open between entries.

#include <cstdint>
#include <string>

#include "platform/rtl/datetime_type.h"

// The step by which a log over its limit is trimmed.
constexpr int64_t ErrorLogTrimStep = 16384;

// The entry for a message at a time, without its line end.
std::string ErrorLogEntry(TDateTime Time, const std::string& Message);

// The file a "Log File" text names: blanks and control characters around it dropped; a bare
// file name lies in the program folder, any other path is used as it stands (a relative one
// counts from the current folder).
std::string ErrorLogPath(const std::string& LogFileText, const std::string& ProgramFolder);

// Appends Entry and CR LF to the file at Path, creating it when it is missing. With ControlSize,
// when the old size plus the entry (its line end not counted) would pass MaxBytes, the old
// content first loses everything up to and including the first line feed at or after byte
// 16384; old content of 16384 bytes or less, or without such a line feed, goes whole. The entry
// itself is always written. A trimmed file is replaced as a whole (a failure leaves it as it
// was). False when the file cannot be written; the entry is then lost.
bool AppendErrorLogEntry(const std::string& Path, const std::string& Entry, bool ControlSize, int64_t MaxBytes);
