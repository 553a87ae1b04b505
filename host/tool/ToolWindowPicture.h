#pragma once
// A window as the display shows it, written as a PNG file: the editor of any unit pictured
// through the unit's own view, as a host would show it.

#include <string>

// Whether the display shows the window yet (a new window is mapped a moment after it is made).
bool WindowIsShown(unsigned long window);

// Writes the window's pixels (pixel-doubled at scale 2) through the safe file writer. False
// with *error naming the cause: no display, a window not shown, an unwritable path.
bool WriteWindowPng(unsigned long window, const std::string& path, int scale, std::string* error);
