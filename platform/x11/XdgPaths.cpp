#include "platform/x11/XdgPaths.h"

#include <cstring>

namespace viewrules {

static const char* NonEmpty(EnvLookup env, const char* name) {
  const char* v = env ? env(name) : nullptr;
  return v && *v ? v : nullptr;
}

static bool HomeRelative(EnvLookup env, const char* tail, UTL_String* path) {
  const char* home = NonEmpty(env, "HOME");
  if (!home) return false;
  path->Set(home);
  path->Append(tail);
  return true;
}

// Finds XDG_DESKTOP_DIR="..." in the user-dirs text (shell syntax, one assignment a line).
static bool DesktopFromUserDirs(EnvLookup env, const char* text, UTL_String* path) {
  static const char kKey[] = "XDG_DESKTOP_DIR=\"";
  for (const char* line = text; line && *line;) {
    const char* end = std::strchr(line, '\n');
    size_t len = end ? (size_t)(end - line) : std::strlen(line);
    if (len > sizeof(kKey) - 1 && std::strncmp(line, kKey, sizeof(kKey) - 1) == 0) {
      const char* value = line + sizeof(kKey) - 1;
      const char* close = (const char*)std::memchr(value, '"', len - (sizeof(kKey) - 1));
      if (!close || close == value) return false;
      UTL_String v;
      v.Set(value, (int)(close - value));
      if (std::strncmp(v.Get(), "$HOME", 5) == 0) return HomeRelative(env, v.Get() + 5, path);
      if (v.Get()[0] != '/') return false;
      path->Set(v.Get());
      return true;
    }
    line = end ? end + 1 : nullptr;
  }
  return false;
}

bool DesktopFolder(EnvLookup env, const char* userDirsText, UTL_String* path) {
  if (const char* dir = NonEmpty(env, "XDG_DESKTOP_DIR")) {
    path->Set(dir);
    return true;
  }
  if (DesktopFromUserDirs(env, userDirsText, path)) return true;
  return HomeRelative(env, "/Desktop", path);
}

bool AppDataFolder(EnvLookup env, bool system, UTL_String* path) {
  if (system) {
    const char* dirs = NonEmpty(env, "XDG_DATA_DIRS");
    if (!dirs || dirs[0] == ':') {
      path->Set("/usr/local/share");
      return true;
    }
    const char* colon = std::strchr(dirs, ':');
    path->Set(dirs, colon ? (int)(colon - dirs) : 0);
    return true;
  }
  if (const char* dir = NonEmpty(env, "XDG_DATA_HOME")) {
    path->Set(dir);
    return true;
  }
  return HomeRelative(env, "/.local/share", path);
}

bool MusicFolder(EnvLookup env, UTL_String* path) { return HomeRelative(env, "/Music", path); }

bool UserDirsFile(EnvLookup env, UTL_String* path) {
  if (const char* dir = NonEmpty(env, "XDG_CONFIG_HOME")) {
    path->Set(dir);
    path->Append("/user-dirs.dirs");
    return true;
  }
  return HomeRelative(env, "/.config/user-dirs.dirs", path);
}

}  // namespace viewrules
