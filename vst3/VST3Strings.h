#pragma once
// Texts between the framework (UTF-8) and VST3's fixed 16-bit string fields (UTF-16).

#include "vst3/VST3Base.h"

namespace vst3 {

// Writes text into a field of capacity units, always terminated; cut where it does not fit.
void CopyToUtf16(const char* text, char16_t* out, int capacity);
// Copies a terminated UTF-16 text, read at most maxUnits far, as UTF-8 into out (size bytes,
// always terminated).
void CopyToUtf8(const char16_t* text, int maxUnits, char* out, int size);
// A plain 8-bit field, always terminated.
void CopyField(const char* text, char* out, int size);

}  // namespace vst3
