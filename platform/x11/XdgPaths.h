#pragma once
// Desktop-environment folders, from the XDG base-directory and user-dirs conventions.
// The environment is passed in so that the rules do not depend on the process's.

#include "framework/UTL_String.h"

namespace viewrules {

// Reads an environment variable; null when unset.
using EnvLookup = const char* (*)(const char* name);

// The user's desktop: $XDG_DESKTOP_DIR when set, else XDG_DESKTOP_DIR of the user-dirs
// file text (with "$HOME" expanded), else $HOME/Desktop. False when no home is known.
bool DesktopFolder(EnvLookup env, const char* userDirsText, UTL_String* path);

// Application data: for the user $XDG_DATA_HOME or $HOME/.local/share; for the system
// the first entry of $XDG_DATA_DIRS or /usr/local/share.
bool AppDataFolder(EnvLookup env, bool system, UTL_String* path);

// $HOME/Music: a folder every account may write to.
bool MusicFolder(EnvLookup env, UTL_String* path);

// Where user-dirs.dirs lives: $XDG_CONFIG_HOME or $HOME/.config.
bool UserDirsFile(EnvLookup env, UTL_String* path);

}  // namespace viewrules
