#pragma once
// Popup menu item titles: the item text, optionally numbered.

#include "framework/UTL_String.h"

namespace viewrules {

// prefix 0: the text alone; 1, 2, 3: the 1-based position formatted "%1d: ", "%02d: "
// or "%03d: " in front. Other prefix values number nothing.
void MenuItemTitle(int prefix, int position, const char* text, UTL_String* title);

}  // namespace viewrules
