#include "app/errorlog.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "platform/rtl/atomicfile.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/fileutils.h"
#include "platform/rtl/sysutils.h"

std::string ErrorLogEntry(TDateTime Time, const std::string& Message) {
  return FormatDateTime("mm/dd/yyyy hh:nn:ss.zzz", Time) + "  " + Message;
}

std::string ErrorLogPath(const std::string& LogFileText, const std::string& ProgramFolder) {
  const std::string Name = Trim(LogFileText);
  return ExtractFileName(Name) == Name ? ProgramFolder + Name : Name;
}

namespace {

bool WriteAll(int File, const std::string& Text) {
  size_t Done = 0;
  while (Done < Text.size()) {
    const ssize_t Written = ::write(File, Text.data() + Done, Text.size() - Done);
    if (Written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    Done += size_t(Written);
  }
  return true;
}

}  // namespace

bool AppendErrorLogEntry(const std::string& Path, const std::string& Entry, bool ControlSize, int64_t MaxBytes) {
  const std::string Line = Entry + "\r\n";
  const int File = ::open(Path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (File < 0) return false;
  const off_t Size = ::lseek(File, 0, SEEK_END);
  if (Size < 0) {
    ::close(File);
    return false;
  }
  if (ControlSize && MaxBytes < int64_t(Size) + int64_t(Entry.size())) {
    ::close(File);
    std::string Old;
    if (ReadFileContent(Path, Old) != TFileReadResult::Read) return false;
    std::string Kept;
    if (int64_t(Old.size()) > ErrorLogTrimStep) {
      const size_t LineFeed = Old.find('\n', size_t(ErrorLogTrimStep));
      if (LineFeed != std::string::npos) Kept = Old.substr(LineFeed + 1);
    }
    return WriteFileAtomically(Path, Kept + Line);
  }
  const bool Written = WriteAll(File, Line);
  return ::close(File) == 0 && Written;
}
