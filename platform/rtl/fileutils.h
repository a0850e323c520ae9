#pragma once
// File and folder routines of the runtime library. Paths are UTF-8 with "/" separators; a folder
// path returned by ExtractFilePath or IncludeTrailingPathDelimiter ends with "/". The routines
// answer with false rather than raising, as the class library's do, except ForceDirectories on an
// empty name.

#include <cstdint>
#include <string>

#include "platform/rtl/datetime_type.h"
#include "platform/rtl/exceptions.h"

inline constexpr char PathDelim = '/';

// True for an existing file that is not a folder (links are followed).
bool FileExists(const std::string& FileName);
bool DirectoryExists(const std::string& Directory);
// Creates one folder; false when it exists already or its parent folder is missing.
bool CreateDir(const std::string& Dir);
// Creates the folder and every missing parent; true when the folder exists afterwards. An empty
// name raises EInOutError "Unable to create directory".
bool ForceDirectories(const std::string& Dir);
bool RemoveDir(const std::string& Dir);  // an empty folder only
// Deletes a file (never a folder); false when it does not exist.
bool DeleteFile(const std::string& FileName);
// Renames or moves a file or folder; false when NewName exists already, as the window system's
// rename refuses to replace (write-beside-then-replace code uses std::filesystem::rename).
bool RenameFile(const std::string& OldName, const std::string& NewName);
// The size in bytes, -1 when the file does not exist or is a folder.
int64_t FileSize(const std::string& FileName);
// The modification time as a TDateTime in local time, -1 when there is no such file.
TDateTime FileDateTime(const std::string& FileName);

// "/a/b/c.txt": ExtractFilePath "/a/b/", ExtractFileDir "/a/b", ExtractFileName "c.txt",
// ExtractFileExt ".txt" (the last dot of the name part, with the dot; "" without one).
std::string ExtractFilePath(const std::string& FileName);
std::string ExtractFileDir(const std::string& FileName);
std::string ExtractFileName(const std::string& FileName);
std::string ExtractFileExt(const std::string& FileName);
// Replaces (or adds, or with "" removes) the extension of the name part.
std::string ChangeFileExt(const std::string& FileName, const std::string& Extension);
std::string IncludeTrailingPathDelimiter(const std::string& Path);
std::string ExcludeTrailingPathDelimiter(const std::string& Path);
bool IsPathDelimiter(const std::string& S, int Index);  // 1-based, as the class library counts
// An absolute path against the current folder, with "." and ".." parts resolved (links are not).
std::string ExpandFileName(const std::string& FileName);

// The process's current folder, without a trailing "/" (except for the root).
std::string GetCurrentDir();
bool SetCurrentDir(const std::string& Dir);
