#include "platform/x11/UrlOpener.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>

extern char** environ;

bool LaunchDesktopOpener(const char* address) {
  if (!address || !*address) return false;
  // The shell backgrounds the opener so that nothing is left to reap; the address is an
  // argument, never part of the command text.
  static const char kScript[] =
      "command -v xdg-open >/dev/null 2>&1 || exit 127\n"
      "xdg-open \"$1\" >/dev/null 2>&1 </dev/null &\n";
  char* argv[] = {(char*)"sh",           (char*)"-c",    (char*)kScript,
                  (char*)"orvanta-open", (char*)address, nullptr};
  pid_t pid;
  if (posix_spawn(&pid, "/bin/sh", nullptr, nullptr, argv, environ) != 0) return false;
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return false;
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
