#pragma once
// Trace log and text helpers. Tracing is compiled out: Trace records nothing, but every
// call site passes its tag, line and format so it can be switched on without touching them.

#include <ctime>

#include "framework/UTL_String.h"

void Trace(const char* funcName, int line, const char* format, ...)
    __attribute__((format(printf, 3, 4)));

// "%Y%m%d %H:%M " plus the offset from UTC, e.g. "20260108 14:05 +0100". One static text.
const char* CurrentTime();
// The same text for given local and UTC broken-down times of one instant.
const char* FormatTimeWithUTCOffset(const struct tm& local, const struct tm& utc);

// "[Jan27 12:34]" from __DATE__ and __TIME__ style texts.
void CompileTimestamp(const char* date, const char* time, UTL_String* out);
// text + " " + the compile stamp. One static text.
const char* AppendTimestamp(const char* date, const char* time, const char* text);

const char* AUSelectStr(int select);
const char* AUPropertyStr(int propID);
const char* AUScopeStr(int scope);
const char* VSTOpcodeStr(int opCode);

bool IsWhitespace(char c);
// Lower-cases in into out (which must hold strlen(in) + 1 bytes).
void ToLower(char* out, const char* in);
