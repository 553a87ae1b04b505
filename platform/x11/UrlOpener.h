#pragma once
// Hands an address to the desktop's opener (xdg-open) without waiting for it.

// Starts `xdg-open address` in the background. False when no opener could be started
// (xdg-open missing, or no process could be made).
bool LaunchDesktopOpener(const char* address);
