// Program (FXP) and bank (FXB) files, and the text dumps of presets.

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "framework/Base64.h"
#include "framework/IPluginBase.h"

namespace {
constexpr int kFXPHeaderSize = 56;
constexpr int kFXBHeaderSize = 156;
constexpr int kFXBReservedSize = 124;

constexpr int kCcnK = FourCC("CcnK");
constexpr int kFPCh = FourCC("FPCh");
constexpr int kFxCk = FourCC("FxCk");
constexpr int kFBCh = FourCC("FBCh");
constexpr int kFxBk = FourCC("FxBk");

unsigned SwapBytes(unsigned v) {
  return (v >> 24) | ((v >> 8) & 0xff00u) | ((v << 8) & 0xff0000u) | (v << 24);
}

void PutBigEndian(ByteChunk* pChunk, int value) {
  unsigned v = SwapBytes((unsigned)value);
  pChunk->Put(&v);
}

void PutBigEndianFloat(ByteChunk* pChunk, float value) {
  unsigned v;
  memcpy(&v, &value, sizeof(v));
  v = SwapBytes(v);
  pChunk->Put(&v);
}

int GetBigEndian(const ByteChunk* pChunk, int* pValue, int pos) {
  unsigned v = 0;
  pos = pChunk->Get(&v, pos);
  if (pos >= 0) *pValue = (int)SwapBytes(v);
  return pos;
}

int GetBigEndianFloat(const ByteChunk* pChunk, float* pValue, int pos) {
  unsigned v = 0;
  pos = pChunk->Get(&v, pos);
  if (pos >= 0) {
    v = SwapBytes(v);
    memcpy(pValue, &v, sizeof(v));
  }
  return pos;
}

// Values from files are untrusted: keep parameters inside their range.
void ApplyNormalized(IParam* param, float value) {
  if (std::isnan(value)) return;
  double n = value < 0.0f ? 0.0 : (value > 1.0f ? 1.0 : (double)value);
  param->SetNormalized(n);
}

// The 56-byte header shared by every program record.
struct ProgramHeader {
  int mChunkMagic = 0, mByteSize = 0, mFxMagic = 0, mFormatVersion = 0;
  int mUniqueID = 0, mVersion = 0, mNParams = 0;
  char mName[IPluginBase::kFXPNameSize + 1] = "";
};

// Reads the header at pos; returns the position after it, or -1 when the data is short
// (the name then stays empty).
int ReadProgramHeader(const ByteChunk* pChunk, ProgramHeader* pHeader, int pos) {
  int* fields[] = {&pHeader->mChunkMagic,    &pHeader->mByteSize, &pHeader->mFxMagic,
                   &pHeader->mFormatVersion, &pHeader->mUniqueID, &pHeader->mVersion,
                   &pHeader->mNParams};
  for (int* field : fields) pos = GetBigEndian(pChunk, field, pos);
  pos = pChunk->GetBytes(pHeader->mName, IPluginBase::kFXPNameSize, pos);
  if (pos < 0) pHeader->mName[0] = '\0';
  pHeader->mName[IPluginBase::kFXPNameSize] = '\0';
  return pos;
}

// Skips a chunk length and, when present, the framework version header after it.
int SkipChunkPrefix(ByteChunk* pChunk, int pos) {
  int length = 0;
  pos = pChunk->Get(&length, pos);
  IPluginBase::GetFrameworkVerFromChunk(pChunk, &pos);
  return pos;
}

FILE* OpenForWriting(const char* path, const char* mode) {
  if (!path || !path[0]) return nullptr;
  return fopen(path, mode);
}

// Writes the whole text and reports whether it all reached the file.
bool WriteAndClose(FILE* fp, const char* text, size_t length) {
  bool ok = fwrite(text, 1, length, fp) == length;
  return (fclose(fp) == 0) && ok;
}

void AppendBlobLine(UTL_String* pText, const char* name, const ByteChunk& chunk) {
  UTL_String blob;
  Base64Encode(chunk.GetBytes(), chunk.Size(), &blob);
  pText->Append("MakePresetFromBlob(\"");
  pText->Append(name);
  pText->Append("\", \"");
  pText->Append(blob.Get());
  pText->AppendFormatted(32, "\", %i);\n", chunk.Size());
}
}  // namespace

void IPluginBase::PutProgramHeader(ByteChunk* pChunk, int magic, int byteSize, const char* name) {
  PutBigEndian(pChunk, kCcnK);
  PutBigEndian(pChunk, byteSize);
  PutBigEndian(pChunk, magic);
  PutBigEndian(pChunk, 1);
  PutBigEndian(pChunk, mUniqueID);
  PutBigEndian(pChunk, GetEffectVersion(true));
  PutBigEndian(pChunk, NParams());
  // Longer names are cut so the field always keeps a terminator.
  char field[kFXPNameSize] = {};
  if (name) strncpy(field, name, kFXPNameSize - 1);
  pChunk->PutBytes(field, kFXPNameSize);
}

bool IPluginBase::ReadFileIntoChunk(UTL_String* pPath, ByteChunk* pChunk) {
  if (!pPath || !pPath->Get()[0]) return false;
  FILE* fp = fopen(pPath->Get(), "rb");
  if (!fp) return false;
  // The chunk is sized from the file once, and doubled should the file hold more (or have no
  // size, as a pipe): growing it by its granularity per read would copy the file over and over.
  long fileSize = -1;
  if (fseek(fp, 0, SEEK_END) == 0) fileSize = ftell(fp);
  if (fileSize < 0 || fseek(fp, 0, SEEK_SET) != 0) fileSize = 0;
  const int start = pChunk->Size();
  long long room = (long long)start + fileSize + 1;  // one spare byte shows the end was reached
  int have = start;
  bool ok = true;
  for (;;) {
    room = std::min<long long>(room, INT_MAX);
    if (have == room || pChunk->Resize((int)room) != room) {
      ok = false;  // larger than a chunk can hold, or out of memory
      break;
    }
    const size_t n = fread(pChunk->GetBytes() + have, 1, (size_t)(room - have), fp);
    have += (int)n;
    if (n == 0) break;
    if (have == room) room *= 2;
  }
  if (ferror(fp)) ok = false;
  fclose(fp);
  pChunk->Resize(ok ? have : start);
  return ok;
}

bool IPluginBase::WriteChunkToFile(UTL_String* pPath, ByteChunk* pChunk) {
  FILE* fp = OpenForWriting(pPath ? pPath->Get() : nullptr, "wb");
  if (!fp) return false;
  return WriteAndClose(fp, reinterpret_cast<const char*>(pChunk->GetBytes()),
                       (size_t)pChunk->Size());
}

bool IPluginBase::SaveProgramAsFXP(UTL_String* pPath) {
  if (!pPath || !pPath->Get()[0]) return false;
  ByteChunk file;
  IPreset* current = mPresets.Get(mCurrentPresetIdx);
  const char* name = current ? current->mName : "";

  if (DoesStateChunks()) {
    ByteChunk state;
    InitChunkWithFrameworkVer(&state);
    SerializeState(&state);
    PutProgramHeader(&file, kFPCh, state.Size() + 60, name);
    int length = state.Size();
    PutBigEndian(&file, length);
    file.PutChunk(&state);
  } else {
    PutProgramHeader(&file, kFxCk, 0, name);
    for (int i = 0; i < NParams(); ++i)
      PutBigEndianFloat(&file, (float)GetParam(i)->GetNormalized());
  }
  return WriteChunkToFile(pPath, &file);
}

bool IPluginBase::SaveBankAsFXB(UTL_String* pPath) {
  if (!pPath || !pPath->Get()[0]) return false;
  ByteChunk file;
  char reserved[kFXBReservedSize] = {};

  auto putBankHeader = [&](int magic, int byteSize) {
    PutBigEndian(&file, kCcnK);
    PutBigEndian(&file, byteSize);
    PutBigEndian(&file, magic);
    PutBigEndian(&file, 2);
    PutBigEndian(&file, mUniqueID);
    PutBigEndian(&file, GetEffectVersion(true));
    PutBigEndian(&file, NPresets());
    PutBigEndian(&file, mCurrentPresetIdx);
    file.PutBytes(reserved, kFXBReservedSize);
  };

  if (DoesStateChunks()) {
    ByteChunk bank;
    InitChunkWithFrameworkVer(&bank);
    SerializePresets(&bank);
    putBankHeader(kFBCh, bank.Size() + 160);
    PutBigEndian(&file, bank.Size());
    file.PutChunk(&bank);
  } else {
    putBankHeader(kFxBk, 0);
    for (int p = 0; p < NPresets(); ++p) {
      IPreset* preset = mPresets.Get(p);
      PutProgramHeader(&file, kFxCk, 0, preset->mName);
      for (int i = 0; i < NParams(); ++i) {
        double value = 0.0;
        preset->mChunk.Get(&value, i * (int)sizeof(double));
        PutBigEndianFloat(&file, (float)GetParam(i)->GetNormalized(value));
      }
    }
  }
  return WriteChunkToFile(pPath, &file);
}

bool IPluginBase::LoadProgramFromFXP(UTL_String* pPath, PresetFileFault* pFault) {
  PresetFileFault unused;
  PresetFileFault& fault = pFault ? *pFault : unused;
  fault = PresetFileFault::kUnreadable;
  ByteChunk file;
  if (!ReadFileIntoChunk(pPath, &file)) return false;

  ProgramHeader header;
  int pos = ReadProgramHeader(&file, &header, 0);
  fault = PresetFileFault::kForeign;
  int magic = 0;
  if (GetBigEndian(&file, &magic, 0) < 0 || magic != kCcnK) return false;
  // A file too short for its header holds no program; loading it would report success for nothing.
  fault = PresetFileFault::kTruncated;
  if (pos < 0) return false;
  fault = PresetFileFault::kForeign;
  if (header.mFormatVersion != 1 || header.mUniqueID != mUniqueID) return false;

  if (header.mFxMagic == kFPCh && DoesStateChunks()) {
    pos = SkipChunkPrefix(&file, pos);
    // A truncated state is refused before it touches any parameter.
    fault = PresetFileFault::kTruncated;
    if (pos < 0) return false;
    UnserializeState(&file, pos);
  } else if (header.mFxMagic == kFxCk) {
    // A program of fewer parameters (an older version's) sets those it has and keeps the rest;
    // one holding fewer values than its own header counts was cut short.
    const int promised = std::min(NParams(), header.mNParams);
    fault = PresetFileFault::kTruncated;
    if (promised > 0 && (file.Size() - pos) / 4 < promised) return false;
    for (int i = 0; i < NParams() && pos >= 0; ++i) {
      float value = 0.0f;
      pos = GetBigEndianFloat(&file, &value, pos);
      if (pos >= 0) ApplyNormalized(GetParam(i), value);
    }
  } else {
    return false;
  }

  ModifyCurrentPreset(header.mName);
  RestorePreset(mCurrentPresetIdx);
  InformHostOfProgramChange();
  fault = PresetFileFault::kNone;
  return true;
}

bool IPluginBase::LoadBankFromFXB(UTL_String* pPath, PresetFileFault* pFault) {
  PresetFileFault unused;
  PresetFileFault& fault = pFault ? *pFault : unused;
  fault = PresetFileFault::kUnreadable;
  ByteChunk file;
  if (!ReadFileIntoChunk(pPath, &file)) return false;

  int chunkMagic = 0, byteSize = 0, fxMagic = 0, formatVersion = 0, uniqueID = 0, version = 0;
  int nPrograms = 0, currentIdx = 0;
  int pos = 0;
  int* fields[] = {&chunkMagic, &byteSize, &fxMagic,   &formatVersion,
                   &uniqueID,   &version,  &nPrograms, &currentIdx};
  for (int* field : fields) pos = GetBigEndian(&file, field, pos);
  pos = pos < 0 || kFXBHeaderSize > file.Size() ? -1 : kFXBHeaderSize;
  fault = PresetFileFault::kForeign;
  if (chunkMagic != kCcnK || uniqueID != mUniqueID) return false;

  if (fxMagic == kFBCh && DoesStateChunks()) {
    pos = SkipChunkPrefix(&file, pos);
    fault = PresetFileFault::kTruncated;
    if (pos < 0) return false;
    UnserializePresets(&file, pos);
    InformHostOfProgramChange();
    fault = PresetFileFault::kNone;
    return true;
  }
  if (fxMagic != kFxBk) return false;

  // A bank counts its programs, and holds every program it counts.
  fault = PresetFileFault::kTruncated;
  if (pos < 0) return false;
  fault = PresetFileFault::kMalformed;
  if (nPrograms < 1) return false;
  const int recordSize = kFXPHeaderSize + 4 * NParams();
  fault = PresetFileFault::kTruncated;
  if ((file.Size() - pos) / recordSize < nPrograms) return false;
  // Programs beyond the slots have nowhere to go: they would overwrite the current preset.
  const int nToLoad = std::min(nPrograms, NPresets());

  // Check every record before changing anything, so a bad bank leaves the presets alone.
  fault = PresetFileFault::kMalformed;
  for (int p = 0, check = pos; p < nToLoad; ++p, check += recordSize) {
    ProgramHeader header;
    ReadProgramHeader(&file, &header, check);
    if (header.mChunkMagic != kCcnK || header.mFxMagic != kFxCk || header.mFormatVersion != 1 ||
        header.mNParams != NParams())
      return false;
  }

  for (int p = 0; p < nToLoad; ++p) {
    ProgramHeader header;
    pos = ReadProgramHeader(&file, &header, pos);
    RestorePreset(p);
    for (int i = 0; i < NParams(); ++i) {
      float value = 0.0f;
      pos = GetBigEndianFloat(&file, &value, pos);
      ApplyNormalized(GetParam(i), value);
    }
    ModifyCurrentPreset(header.mName);
  }
  RestorePreset(currentIdx);
  InformHostOfProgramChange();
  fault = PresetFileFault::kNone;
  return true;
}

bool IPluginBase::DumpPresetSrcCode(const char* path, const char** paramEnumNames) {
  if (!paramEnumNames) return false;
  UTL_String text;
  text.Append("  MakePresetFromNamedParams(\"name\", ");
  text.AppendFormatted(16, "%d", NParams());
  for (int i = 0; i < NParams(); ++i) {
    IParam* param = GetParam(i);
    char value[IParam::kDisplayTextSize];
    switch (param->Type()) {
      case IParam::kTypeBool:
        snprintf(value, sizeof(value), "%s", param->Value() >= 0.5 ? "true" : "false");
        break;
      case IParam::kTypeInt:
      case IParam::kTypeEnum:
        snprintf(value, sizeof(value), "%d", param->Int());
        break;
      default:
        snprintf(value, sizeof(value), "%.6f", param->Value());
        break;
    }
    text.Append(",\n    ");
    text.Append(paramEnumNames[i] ? paramEnumNames[i] : "");
    text.Append(", ");
    text.Append(value);
  }
  text.Append(");\n");
  FILE* fp = OpenForWriting(path, "w");
  return fp && WriteAndClose(fp, text.Get(), (size_t)text.GetLength());
}

bool IPluginBase::DumpPresetBlob(const char* path) {
  IPreset* preset = mPresets.Get(mCurrentPresetIdx);
  if (!preset) return false;
  UTL_String text;
  AppendBlobLine(&text, "name", preset->mChunk);
  FILE* fp = OpenForWriting(path, "w");
  return fp && WriteAndClose(fp, text.Get(), (size_t)text.GetLength());
}

bool IPluginBase::DumpBankBlob(const char* path) {
  UTL_String text;
  for (int i = 0; i < NPresets(); ++i) {
    IPreset* preset = mPresets.Get(i);
    AppendBlobLine(&text, preset->mName, preset->mChunk);
  }
  FILE* fp = OpenForWriting(path, "w");
  return fp && WriteAndClose(fp, text.Get(), (size_t)text.GetLength());
}
