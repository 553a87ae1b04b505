#pragma once
// A preset slot: a name and the saved state in the layout SerializeState produces.

#include "framework/ByteChunk.h"
#include "framework/UTL_PtrList.h"

struct IPreset {
  // Name capacity, terminator included; longer names are cut to kMaxNameLength - 1 bytes.
  static constexpr int kMaxNameLength = 256;

  bool mInitialized = false;
  char mName[kMaxNameLength] = "empty";
  ByteChunk mChunk;

  // Copies name, cut to the capacity; null reads as "".
  void SetName(const char* name);
};

// First slot not yet in use, or null.
IPreset* GetNextUninitializedPreset(UTL_PtrList<IPreset>* pPresets);
// "user preset N", N being one more than the slots whose name contains "user preset".
// out must hold IPreset::kMaxNameLength bytes.
void MakeDefaultUserPresetName(UTL_PtrList<IPreset>* pPresets, char* out);
