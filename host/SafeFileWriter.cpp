#include "host/SafeFileWriter.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>

namespace {

std::string FolderOf(const std::string& path) {
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Follows symbolic links to the path that finally names a file (or nothing yet), as open()
// would, so that the file can be replaced there and the links left standing. False with errno
// set when a link cannot be read or the chain does not end.
bool ResolveLinks(const std::string& path, std::string* target) {
  *target = path;
  for (int hops = 0; hops <= 40; ++hops) {
    struct stat status;
    if (lstat(target->c_str(), &status) != 0) return errno == ENOENT;
    if (!S_ISLNK(status.st_mode)) return true;
    char link[PATH_MAX];
    const ssize_t length = readlink(target->c_str(), link, sizeof(link) - 1);
    if (length < 0) return false;
    link[length] = '\0';
    *target = link[0] == '/' ? std::string(link) : FolderOf(*target) + "/" + link;
  }
  errno = ELOOP;
  return false;
}

// A name of our own beside the target: hidden, and unique across processes and threads.
std::string TemporaryName(const std::string& target) {
  static std::atomic<unsigned> serial{0};
  static thread_local std::mt19937 random{std::random_device{}()};
  // Long names are cut so the temporary still fits the folder's name limit.
  const std::string name = NameOf(target).substr(0, 160);
  char suffix[64];
  snprintf(suffix, sizeof(suffix), ".%d-%u-%08x.part", static_cast<int>(getpid()), serial++,
           static_cast<unsigned>(random()));
  return FolderOf(target) + "/." + name + suffix;
}

}  // namespace

SafeFileWriter::~SafeFileWriter() { Abandon(); }

bool SafeFileWriter::Fail(const std::string& cause, std::string* error) {
  Abandon();
  *error = mPath + ": cannot be written (" + cause + ")";
  return false;
}

bool SafeFileWriter::Open(const std::string& path, std::string* error) {
  Abandon();
  mPath = path;
  if (path.empty()) return Fail("no file name", error);
  struct stat existing;
  // A device or pipe is the destination itself; replacing it would break whoever uses it. It
  // is opened by the name given: /dev/stdout's link leads to no name a pipe could be found by.
  if (stat(path.c_str(), &existing) == 0 && !S_ISREG(existing.st_mode) &&
      !S_ISDIR(existing.st_mode)) {
    mFd = open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
    return mFd >= 0 || Fail(strerror(errno), error);
  }
  if (!ResolveLinks(path, &mTarget)) return Fail(strerror(errno), error);
  const bool exists = stat(mTarget.c_str(), &existing) == 0;
  if (exists && S_ISDIR(existing.st_mode)) return Fail(strerror(EISDIR), error);
  if (exists && !S_ISREG(existing.st_mode)) {
    mFd = open(mTarget.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
    return mFd >= 0 || Fail(strerror(errno), error);
  }
  for (int attempt = 0; attempt < 100 && mFd < 0; ++attempt) {
    mTemporary = TemporaryName(mTarget);
    // O_EXCL: a fresh file of our own, never one that stands there (a link included). 0666
    // lets the umask decide for a new file, as for any file a program creates.
    mFd = open(mTemporary.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (mFd < 0 && errno != EEXIST) {
      const int cause = errno;
      mTemporary.clear();
      return Fail(strerror(cause), error);
    }
  }
  if (mFd < 0) {
    mTemporary.clear();
    return Fail(strerror(EEXIST), error);
  }
  if (exists) {
    // The replacement keeps the owner (where we may set it) and the permission bits.
    if (existing.st_uid != geteuid() || existing.st_gid != getegid())
      (void)!fchown(mFd, existing.st_uid, existing.st_gid);
    if (fchmod(mFd, existing.st_mode & 07777) != 0) return Fail(strerror(errno), error);
  }
  return true;
}

bool SafeFileWriter::Write(const void* bytes, size_t size, std::string* error) {
  const char* at = static_cast<const char*>(bytes);
  while (size > 0) {
    const ssize_t written = write(mFd, at, size);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return Fail(written < 0 ? strerror(errno) : "nothing written", error);
    at += written;
    size -= static_cast<size_t>(written);
  }
  return true;
}

void SafeFileWriter::StartWriteback() {
  // Only a new file is synced at the commit; a device or pipe has nothing to start.
  if (mFd >= 0 && !mTemporary.empty()) sync_file_range(mFd, 0, 0, SYNC_FILE_RANGE_WRITE);
}

bool SafeFileWriter::Commit(std::string* error) {
  if (mFd < 0) return Fail("not open", error);
  // A full disk may only show when the data reaches it, so sync before the rename.
  const bool synced = mTemporary.empty() || fsync(mFd) == 0;
  const int syncCause = errno;
  const int closed = close(mFd);
  mFd = -1;
  if (!synced) return Fail(strerror(syncCause), error);
  if (closed != 0) return Fail(strerror(errno), error);
  if (!mTemporary.empty() && rename(mTemporary.c_str(), mTarget.c_str()) != 0)
    return Fail(strerror(errno), error);
  mTemporary.clear();
  return true;
}

void SafeFileWriter::Abandon() {
  if (mFd >= 0) close(mFd);
  mFd = -1;
  if (!mTemporary.empty()) unlink(mTemporary.c_str());
  mTemporary.clear();
}

bool WriteFileSafely(const std::string& path, const void* bytes, size_t size, std::string* error) {
  SafeFileWriter writer;
  return writer.Open(path, error) && writer.Write(bytes, size, error) && writer.Commit(error);
}
