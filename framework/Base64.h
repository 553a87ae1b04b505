#pragma once
// Standard Base64 (A-Z a-z 0-9 + /, '=' padding, no line breaks) for the text dumps.

#include "framework/UTL_String.h"

// Encodes size bytes into out; the text grows as needed, so any length fits.
bool Base64Encode(const unsigned char* data, int size, UTL_String* out);
// Decodes into out (outSize bytes, left as they are beyond the decoded data). Stops at the
// end of the text, at the first character outside the alphabet ('=' included) or when out
// is full. Returns the number of bytes written.
int Base64Decode(const char* text, unsigned char* out, int outSize);
