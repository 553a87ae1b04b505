#pragma once
// Reading the text of the desktop's clipboard (the CLIPBOARD selection).

#include <X11/Xlib.h>

#include "framework/UTL_String.h"

class X11Connection;

// Asks the clipboard's owner for UTF-8 text, delivered to a property of requestor, and
// waits at most timeoutMs. False (text emptied) when there is no owner, no text or no
// answer in time.
bool ReadClipboardText(X11Connection* connection, Window requestor, UTL_String* text,
                       int timeoutMs = 500);
