#pragma once
// The one way this host writes a file: whatever fails, the path shows the old file or the
// complete new one, never a part.
//
// - A regular file (or none) at the path is written as a new file beside it, created
//   exclusively under a unique name, and renamed over it once complete; a replaced file keeps
//   its permission bits. Any number of writers may race for one path: the last rename wins.
// - A symbolic link is written through: its final target is replaced that way, the link stays.
// - A device, FIFO or other non-regular file is written straight into (/dev/null, a pipe).
// Failures name the path and the cause the system gave ("Permission denied").

#include <string>

class SafeFileWriter {
 public:
  SafeFileWriter() = default;
  ~SafeFileWriter();  // abandons what was not committed
  SafeFileWriter(const SafeFileWriter&) = delete;
  SafeFileWriter& operator=(const SafeFileWriter&) = delete;

  // Prepares the file to be written. False with "PATH: cannot be written (CAUSE)".
  bool Open(const std::string& path, std::string* error);
  // The descriptor to write to (readable and seekable unless the target is not a regular file).
  int Descriptor() const { return mFd; }
  bool Write(const void* bytes, size_t size, std::string* error);
  // Starts the disk writing what has been written so far, without waiting for it: the commit
  // then has less left to wait for, and a long file keeps the disk busy while its writer works.
  void StartWriteback();
  // Puts the written file in place. False with a message, leaving the old file untouched.
  bool Commit(std::string* error);
  // Removes the unfinished file; the target stays as it was.
  void Abandon();

 private:
  bool Fail(const std::string& cause, std::string* error);

  std::string mPath, mTarget, mTemporary;  // mTemporary is empty when writing straight in
  int mFd = -1;
};

// The whole content in one go, through a SafeFileWriter.
bool WriteFileSafely(const std::string& path, const void* bytes, size_t size, std::string* error);
