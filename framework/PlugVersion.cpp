#include "framework/PlugVersion.h"

#include <cstdio>

void GetVersionParts(int version, int* pMajor, int* pMinor, int* pRevision) {
  unsigned v = (unsigned)version;
  if (pMajor) *pMajor = (int)((v >> 16) & 0xffff);
  if (pMinor) *pMinor = (int)((v >> 8) & 0xff);
  if (pRevision) *pRevision = (int)(v & 0xff);
}

int GetDecimalVersion(int version) {
  int major, minor, revision;
  GetVersionParts(version, &major, &minor, &revision);
  return major * 10000 + minor * 100 + revision;
}

void GetVersionStr(int version, char* out) {
  if (!out) return;
  int major, minor, revision;
  GetVersionParts(version, &major, &minor, &revision);
  snprintf(out, kVersionStrSize, "v%d.%d.%d", major, minor, revision);
}
