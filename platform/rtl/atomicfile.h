#pragma once
// Whole-file reading and crash-safe replacing, for the files the program must never leave
// half-written (the settings file, the registry store).

#include <string>
#include <string_view>

enum class TFileReadResult { Read, Missing, Failed };

// Reads the whole file into Content. Missing: there is no such file (Content is emptied); Failed:
// it exists but cannot be read (a folder, no permission, an I/O error).
TFileReadResult ReadFileContent(const std::string& Path, std::string& Content);

// Replaces the file at Path with Content so that every reader, and the disk after a crash, sees
// either the old file or the new one: the content goes to a new file beside it, is flushed to
// the disk and is then renamed over the old name. An existing file's permissions are kept; a
// symbolic link is followed and the file it points at is replaced. Returns false on any failure,
// leaving the old file as it was and no temporary file behind; Error (when given) gets the reason.
bool WriteFileAtomically(const std::string& Path, std::string_view Content, std::string* Error = nullptr);

// For fuzzers and benchmarks on scratch files: skip the flushes to the disk (on by default).
void SetAtomicWriteSync(bool Enabled);

// For tests: makes the next WriteFileAtomically fail at the given step, the way a full disk or a
// vanished folder would: once, or every write until the fault is set back to None (a disk that
// stays full, so a writer that tries again fails again).
enum class TAtomicWriteFault { None, Write, Sync, Rename };
enum class TAtomicWriteFaultDuration { Once, UntilCleared };
void SetAtomicWriteFault(TAtomicWriteFault Fault, TAtomicWriteFaultDuration Duration = TAtomicWriteFaultDuration::Once);
