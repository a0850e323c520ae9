#include "platform/rtl/fileutils.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <filesystem>

#include "platform/rtl/datetime.h"

namespace {

bool StatPath(const std::string& Path, struct stat& Info) {
  return !Path.empty() && ::stat(Path.c_str(), &Info) == 0;
}

// The byte offset just past the last "/", 0 without one.
size_t NameStart(const std::string& FileName) {
  const size_t Slash = FileName.rfind(PathDelim);
  return Slash == std::string::npos ? 0 : Slash + 1;
}

}  // namespace

bool FileExists(const std::string& FileName) {
  struct stat Info;
  return StatPath(FileName, Info) && !S_ISDIR(Info.st_mode);
}

bool DirectoryExists(const std::string& Directory) {
  struct stat Info;
  return StatPath(Directory, Info) && S_ISDIR(Info.st_mode);
}

bool CreateDir(const std::string& Dir) { return !Dir.empty() && ::mkdir(Dir.c_str(), 0777) == 0; }

bool ForceDirectories(const std::string& Dir) {
  if (Dir.empty()) throw EInOutError("Unable to create directory");
  const std::string Path = ExcludeTrailingPathDelimiter(Dir);
  if (Path.empty() || DirectoryExists(Path)) return true;
  const std::string Parent = ExtractFileDir(Path);
  // Stop at the root or at a relative name without a folder part.
  if (!Parent.empty() && Parent != Path && !ForceDirectories(Parent)) return false;
  return CreateDir(Path) || DirectoryExists(Path);
}

bool RemoveDir(const std::string& Dir) { return !Dir.empty() && ::rmdir(Dir.c_str()) == 0; }

bool DeleteFile(const std::string& FileName) {
  struct stat Info;
  if (FileName.empty() || ::lstat(FileName.c_str(), &Info) != 0 || S_ISDIR(Info.st_mode)) return false;
  return ::unlink(FileName.c_str()) == 0;
}

bool RenameFile(const std::string& OldName, const std::string& NewName) {
  if (OldName.empty() || NewName.empty()) return false;
  if (::renameat2(AT_FDCWD, OldName.c_str(), AT_FDCWD, NewName.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
  // A file system without the no-replace flag: check first.
  struct stat Info;
  if (::lstat(NewName.c_str(), &Info) == 0) return false;
  return ::rename(OldName.c_str(), NewName.c_str()) == 0;
}

int64_t FileSize(const std::string& FileName) {
  struct stat Info;
  if (!StatPath(FileName, Info) || S_ISDIR(Info.st_mode)) return -1;
  return static_cast<int64_t>(Info.st_size);
}

TDateTime FileDateTime(const std::string& FileName) {
  struct stat Info;
  if (!StatPath(FileName, Info)) return -1;
  struct tm Local;
  const time_t Seconds = Info.st_mtim.tv_sec;
  if (::localtime_r(&Seconds, &Local) == nullptr) return -1;
  TDateTime Value;
  if (!TryEncodeDateTime(Local.tm_year + 1900, Local.tm_mon + 1, Local.tm_mday, Local.tm_hour, Local.tm_min,
                         std::min(Local.tm_sec, 59), static_cast<int>(Info.st_mtim.tv_nsec / 1000000), Value))
    return -1;
  return Value;
}

std::string ExtractFilePath(const std::string& FileName) { return FileName.substr(0, NameStart(FileName)); }

std::string ExtractFileDir(const std::string& FileName) {
  const size_t Start = NameStart(FileName);
  if (Start == 0) return std::string();
  // The root keeps its "/".
  if (Start == 1) return "/";
  return FileName.substr(0, Start - 1);
}

std::string ExtractFileName(const std::string& FileName) { return FileName.substr(NameStart(FileName)); }

std::string ExtractFileExt(const std::string& FileName) {
  const size_t Start = NameStart(FileName);
  const size_t Dot = FileName.rfind('.');
  if (Dot == std::string::npos || Dot < Start) return std::string();
  return FileName.substr(Dot);
}

std::string ChangeFileExt(const std::string& FileName, const std::string& Extension) {
  const size_t Start = NameStart(FileName);
  const size_t Dot = FileName.rfind('.');
  const size_t End = (Dot == std::string::npos || Dot < Start) ? FileName.size() : Dot;
  return FileName.substr(0, End) + Extension;
}

std::string IncludeTrailingPathDelimiter(const std::string& Path) {
  return !Path.empty() && Path.back() == PathDelim ? Path : Path + PathDelim;
}

std::string ExcludeTrailingPathDelimiter(const std::string& Path) {
  // One delimiter goes, as in the class library; the root keeps its own.
  if (Path.size() > 1 && Path.back() == PathDelim) return Path.substr(0, Path.size() - 1);
  return Path;
}

bool IsPathDelimiter(const std::string& S, int Index) {
  return Index >= 1 && static_cast<size_t>(Index) <= S.size() && S[Index - 1] == PathDelim;
}

std::string ExpandFileName(const std::string& FileName) {
  if (FileName.empty()) return std::string();
  std::error_code Error;
  const std::filesystem::path Absolute = std::filesystem::absolute(FileName, Error);
  if (Error) return FileName;
  std::string Result = Absolute.lexically_normal().string();
  // A name that ends with "/" (or "/." and "/..") names a folder; keep that shape, but never
  // leave a "/" after a file name that did not have one.
  if (Result.size() > 1 && Result.back() == PathDelim && FileName.back() != PathDelim) Result.pop_back();
  return Result;
}

std::string GetCurrentDir() {
  std::error_code Error;
  const std::filesystem::path Current = std::filesystem::current_path(Error);
  return Error ? std::string() : Current.string();
}

bool SetCurrentDir(const std::string& Dir) { return !Dir.empty() && ::chdir(Dir.c_str()) == 0; }
