#include "framework/Log.h"

#include <cstdio>
#include <cstring>

void Trace(const char* /*funcName*/, int /*line*/, const char* /*format*/, ...) {}

const char* FormatTimeWithUTCOffset(const struct tm& local, const struct tm& utc) {
  static char sText[64];
  int offset = (local.tm_hour * 60 + local.tm_min) - (utc.tm_hour * 60 + utc.tm_min);
  int dayDiff = local.tm_yday - utc.tm_yday;
  // Across a year boundary the day of the year jumps by 364 or 365 the other way.
  if (dayDiff == 1) {
    offset += 1440;
  } else if (dayDiff == -1) {
    offset -= 1440;
  } else if (dayDiff >= 2) {
    offset -= 1440;
  } else if (dayDiff <= -2) {
    offset += 1440;
  }
  char date[32];
  strftime(date, sizeof(date), "%Y%m%d %H:%M ", &local);
  int magnitude = offset < 0 ? -offset : offset;
  snprintf(sText, sizeof(sText), "%s%c%02d%02d", date, offset < 0 ? '-' : '+', magnitude / 60,
           magnitude % 60);
  return sText;
}

const char* CurrentTime() {
  time_t now = time(nullptr);
  struct tm local, utc;
  localtime_r(&now, &local);
  gmtime_r(&now, &utc);
  return FormatTimeWithUTCOffset(local, utc);
}

void CompileTimestamp(const char* date, const char* time, UTL_String* out) {
  if (!out) return;
  // "Jan 27 2017" -> "Jan27", "12:34:56" -> "12:34".
  char month[4] = "", day[3] = "", clock[6] = "";
  if (date) {
    strncpy(month, date, 3);
    if (strnlen(date, 4) >= 4) strncpy(day, date + 4, 2);
  }
  if (time) strncpy(clock, time, 5);
  out->Set("[");
  out->Append(month);
  out->Append(day);
  out->Append(" ");
  out->Append(clock);
  out->Append("]");
}

const char* AppendTimestamp(const char* date, const char* time, const char* text) {
  static UTL_String sText;
  UTL_String stamp;
  CompileTimestamp(date, time, &stamp);
  sText.Set(text);
  sText.Append(" ");
  sText.Append(stamp.Get());
  return sText.Get();
}

const char* AUSelectStr(int) { return ""; }
const char* AUPropertyStr(int) { return ""; }
const char* AUScopeStr(int) { return ""; }
const char* VSTOpcodeStr(int) { return ""; }

bool IsWhitespace(char c) { return c == '\t' || c == '\n' || c == '\r' || c == ' '; }

void ToLower(char* out, const char* in) {
  if (!out) return;
  if (!in) {
    *out = '\0';
    return;
  }
  while (*in) {
    char c = *in++;
    *out++ = (c >= 'A' && c <= 'Z') ? (char)(c - 'A' + 'a') : c;
  }
  *out = '\0';
}
