#pragma once
// Packed versions: major in bits 16-31, minor in bits 8-15, revision in bits 0-7.

// Splits a packed version into its three numbers.
void GetVersionParts(int version, int* pMajor, int* pMinor, int* pRevision);
// major * 10000 + minor * 100 + revision.
int GetDecimalVersion(int version);
// Writes "v%d.%d.%d"; the buffer must hold kVersionStrSize bytes.
void GetVersionStr(int version, char* out);

constexpr int kVersionStrSize = 16;
