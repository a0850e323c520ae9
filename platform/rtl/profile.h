#pragma once
// The profile (INI) file functions. The settings file and the class library's INI object go
// through these, with the rules of the window system's profile functions (see
// profiledocument.h for the file's syntax):
// - sections and keys match without regard to ASCII case; reading trims the blanks around a
//   value and drops one pair of quotes around it; a missing file, section or key gives the default;
// - a write replaces a key's value in place or adds the key at the end of its section; the file
//   and the section are created by the first write; a NULL key deletes the section, a NULL value
//   deletes the key;
// - text is kept byte for byte (UTF-8 included), and so is every line a write does not touch;
// - values have no length limit through the std::string forms (the C-buffer form cuts to the
//   caller's buffer);
// - a write replaces the file atomically (a temporary file beside it, flushed, then renamed): a
//   failed write leaves the old file in place and returns FALSE.
// A file name without a folder ("app.ini") lies in the program folder, the way the window
// system keeps such files in one fixed folder of its own rather than in the current folder.

#include <string>
#include <vector>

#include "platform/rtl/wintypes.h"

// Copies the value of KeyName in section AppName (or Default, without its trailing blanks) into
// ReturnedString, cut to Size - 1 bytes on a character boundary and terminated; returns the
// number of bytes copied. With AppName NULL it lists the section names, with KeyName NULL the
// keys of the section: each name followed by a NUL, the list by one more; when the buffer is too
// small the list is cut, ends with two NULs, and the result is Size - 2.
DWORD GetPrivateProfileStringA(LPCSTR AppName, LPCSTR KeyName, LPCSTR Default, LPSTR ReturnedString,
                               DWORD Size, LPCSTR FileName);
// Sets KeyName in section AppName to String. KeyName NULL deletes the section, String NULL the
// key (deleting what is not there succeeds); all three NULL writes out pending batched changes
// of the file (see TProfileBatch). Returns FALSE when the file cannot be written or a name or
// value cannot be stored (a line end in it, "=" in a key, "]" in a section name).
BOOL WritePrivateProfileStringA(LPCSTR AppName, LPCSTR KeyName, LPCSTR String, LPCSTR FileName);

// The value with no length limit.
std::string GetPrivateProfileStringA(const std::string& AppName, const std::string& KeyName,
                                     const std::string& Default, const std::string& FileName);
// Whether the key is present (its value may be empty).
bool ProfileKeyExists(const std::string& AppName, const std::string& KeyName, const std::string& FileName);
// Section names in file order; the keys of one section in file order.
std::vector<std::string> GetProfileSectionNames(const std::string& FileName);
std::vector<std::string> GetProfileKeyNames(const std::string& AppName, const std::string& FileName);
// The full path a profile file name stands for ("" for an empty name).
std::string ProfileFilePath(const std::string& FileName);

// Collects the writes to one file while it lives and writes the file once at its end (or at
// Commit), so saving hundreds of keys costs one file replacement instead of hundreds. Reads of
// the file in the meantime see the pending changes. Batches of the same file nest; the outermost
// one writes. Changes made to the file by other programs during a batch are overwritten. The
// profile functions are serialised by one lock, so a batch may live on any thread.
class TProfileBatch {
 public:
  explicit TProfileBatch(const std::string& FileName);
  // Writes the pending changes; a failure here is lost as a failed write would be (call Commit
  // first to learn it).
  ~TProfileBatch();
  TProfileBatch(const TProfileBatch&) = delete;
  TProfileBatch& operator=(const TProfileBatch&) = delete;

  // Writes the pending changes now; false when the file could not be written (the changes stay
  // pending for a later Commit).
  bool Commit();

 private:
  std::string FPath;
};
