#pragma once
// Text as the text drawing takes it: prefix processing, line feeds, and UTF-8 decoding.
// Internal to the emulation.

#include <cstdint>

namespace gdi {

// Copies a text into out (GDI_TEXT_BUFFER_SIZE bytes): len bytes, or up to the terminator
// when len is negative, but never past a NUL nor beyond the buffer (cut at a character
// boundary). Carriage returns are dropped; without DT_NOPREFIX an '&' is dropped and the
// byte after it taken literally; with DT_SINGLELINE a line feed becomes a space. Returns the
// byte count; multiLine tells whether a line feed remains.
int PrepareText(const char* text, int len, unsigned flags, char* out, bool* multiLine);

// Decodes one character at text (n bytes available) into code; returns the bytes used
// (at least 1 when n > 0). A byte that starts no valid UTF-8 sequence stands for itself.
int DecodeUtf8(const char* text, int n, uint32_t* code);

// The measured box of a text: width = largest floor(line width + 0.5); height = the sum of
// floor(line extent + 1.5) over the lines, plus 1 when not 0.
struct TextExtent {
  int width, height;
};
TextExtent MeasureExtent(const double* lineWidths, int lineCount, double lineExtent);

}  // namespace gdi
