#include "platform/rtl/atomicfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <filesystem>
#include <system_error>

namespace {

std::atomic<TAtomicWriteFault> PendingFault{TAtomicWriteFault::None};
std::atomic<bool> FaultLasts{false};
std::atomic<bool> SyncEnabled{true};

bool TakeFault(TAtomicWriteFault Step) {
  if (FaultLasts) return PendingFault == Step;
  TAtomicWriteFault Expected = Step;
  return PendingFault.compare_exchange_strong(Expected, TAtomicWriteFault::None);
}

std::string Reason(int Error) {
  return std::error_code(Error, std::generic_category()).message();
}

bool WriteAll(int Handle, std::string_view Content) {
  size_t Done = 0;
  while (Done < Content.size()) {
    ssize_t Put = ::write(Handle, Content.data() + Done, Content.size() - Done);
    if (Put < 0 && errno == EINTR) continue;
    if (Put <= 0) {
      if (Put == 0) errno = EIO;
      return false;
    }
    Done += static_cast<size_t>(Put);
  }
  return true;
}

}  // namespace

TFileReadResult ReadFileContent(const std::string& Path, std::string& Content) {
  Content.clear();
  int Handle = ::open(Path.c_str(), O_RDONLY | O_CLOEXEC);
  if (Handle < 0)
    return errno == ENOENT || errno == ENOTDIR ? TFileReadResult::Missing : TFileReadResult::Failed;
  struct stat Info {};
  if (fstat(Handle, &Info) != 0 || S_ISDIR(Info.st_mode)) {
    ::close(Handle);
    return TFileReadResult::Failed;
  }
  if (Info.st_size > 0) Content.reserve(static_cast<size_t>(Info.st_size));
  char Chunk[65536];
  for (;;) {
    ssize_t Got = ::read(Handle, Chunk, sizeof Chunk);
    if (Got < 0 && errno == EINTR) continue;
    if (Got < 0) {
      ::close(Handle);
      Content.clear();
      return TFileReadResult::Failed;
    }
    if (Got == 0) break;
    Content.append(Chunk, static_cast<size_t>(Got));
  }
  ::close(Handle);
  return TFileReadResult::Read;
}

void SetAtomicWriteFault(TAtomicWriteFault Fault, TAtomicWriteFaultDuration Duration) {
  FaultLasts = Duration == TAtomicWriteFaultDuration::UntilCleared;
  PendingFault = Fault;
}

void SetAtomicWriteSync(bool Enabled) {
  SyncEnabled = Enabled;
}

bool WriteFileAtomically(const std::string& Path, std::string_view Content, std::string* Error) {
  namespace fs = std::filesystem;
  auto Fail = [&](const std::string& What) {
    if (Error) *Error = What;
    return false;
  };
  if (Path.empty()) return Fail("no file name");

  // Replace what a link points at, not the link.
  fs::path Target(Path);
  std::error_code Code;
  if (fs::is_symlink(Target, Code)) {
    fs::path Resolved = fs::weakly_canonical(Target, Code);
    if (!Code) Target = Resolved;
  }
  fs::path Folder = Target.parent_path();
  if (Folder.empty()) Folder = ".";

  struct stat Existing {};
  bool Exists = ::stat(Target.c_str(), &Existing) == 0;
  if (Exists && !S_ISREG(Existing.st_mode)) return Fail(Target.string() + ": not a regular file");

  // A name of our own beside the target; O_EXCL keeps us off anybody else's file.
  static std::atomic<unsigned> Counter{0};
  std::string TempName;
  int Handle = -1;
  for (int Attempt = 0; Attempt < 100 && Handle < 0; ++Attempt) {
    TempName = (Folder / ("." + Target.filename().string() + ".tmp-" + std::to_string(::getpid()) + "-" +
                          std::to_string(Counter++)))
                   .string();
    Handle = ::open(TempName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, Exists ? 0600 : 0666);
    if (Handle < 0 && errno != EEXIST) return Fail(TempName + ": " + Reason(errno));
  }
  if (Handle < 0) return Fail(TempName + ": no free temporary name");

  auto Abandon = [&](const std::string& What) {
    if (Handle >= 0) ::close(Handle);
    ::unlink(TempName.c_str());
    return Fail(What);
  };
  if (Exists) {
    // Keep the old file's permissions (and, when allowed, its owner).
    (void)::fchmod(Handle, Existing.st_mode & 07777);
    if (Existing.st_uid != ::geteuid() || Existing.st_gid != ::getegid())
      (void)::fchown(Handle, Existing.st_uid, Existing.st_gid);
  }
  if (TakeFault(TAtomicWriteFault::Write)) {
    (void)WriteAll(Handle, Content.substr(0, Content.size() / 2));
    return Abandon(TempName + ": " + Reason(ENOSPC));
  }
  if (!WriteAll(Handle, Content)) return Abandon(TempName + ": " + Reason(errno));
  if (TakeFault(TAtomicWriteFault::Sync)) return Abandon(TempName + ": " + Reason(EIO));
  if (SyncEnabled && ::fsync(Handle) != 0) return Abandon(TempName + ": " + Reason(errno));
  int Closed = ::close(Handle);
  Handle = -1;
  if (Closed != 0) return Abandon(TempName + ": " + Reason(errno));
  if (TakeFault(TAtomicWriteFault::Rename)) return Abandon(Target.string() + ": " + Reason(EACCES));
  if (::rename(TempName.c_str(), Target.c_str()) != 0) return Abandon(Target.string() + ": " + Reason(errno));

  // Make the new name itself durable.
  int FolderHandle = SyncEnabled ? ::open(Folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC) : -1;
  if (FolderHandle >= 0) {
    (void)::fsync(FolderHandle);
    ::close(FolderHandle);
  }
  return true;
}
