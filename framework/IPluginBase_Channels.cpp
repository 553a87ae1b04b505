// Channel configuration, connections, host buffers and block processing.

#include <cstdio>
#include <cstring>

#include "framework/IPluginBase.h"
#include "framework/Log.h"

namespace {
// One past the last channel of the range idx..idx+n-1 within count channels; summed in
// 64 bits so that a huge n cannot wrap below the start.
int RangeEnd(int idx, int n, int count) {
  const long long last = (long long)idx + n;
  return last < count ? (int)last : count;
}
}  // namespace

void IPluginBase::ParseChannelIO(const char* channelIOStr) {
  int maxIn = 0, maxOut = 0;
  for (const char* p = channelIOStr; p;) {
    int nIn = 0, nOut = 0;
    sscanf(p, "%d-%d", &nIn, &nOut);
    // A negative count is no channel count; it would size the channel lists negatively.
    if (nIn < 0) nIn = 0;
    if (nOut < 0) nOut = 0;
    mChannelIO.Add(new ChannelIO(nIn, nOut));
    if (nIn > maxIn) maxIn = nIn;
    if (nOut > maxOut) maxOut = nOut;
    p = strchr(p, ' ');
    if (p) ++p;
  }

  mInData.Resize(maxIn);
  mOutData.Resize(maxOut);
  for (int i = 0; i < maxIn; ++i) {
    InChannel* ch = mInChannels.Add(new InChannel);
    ch->mSrc = mInData.Get() + i;
    *ch->mSrc = nullptr;
  }
  for (int i = 0; i < maxOut; ++i) {
    OutChannel* ch = mOutChannels.Add(new OutChannel);
    ch->mDest = mOutData.Get() + i;
    *ch->mDest = nullptr;
  }
}

bool IPluginBase::GetChannelIO(int idx, int* pNIn, int* pNOut) const {
  ChannelIO* io = mChannelIO.Get(idx);
  if (!io) return false;
  if (pNIn) *pNIn = io->mIn;
  if (pNOut) *pNOut = io->mOut;
  return true;
}

bool IPluginBase::LegalIO(int nIn, int nOut) const {
  bool legal = false;
  for (int i = 0; i < mChannelIO.GetSize() && !legal; ++i) {
    ChannelIO* io = mChannelIO.Get(i);
    legal = (nIn < 0 || nIn == io->mIn) && (nOut < 0 || nOut == io->mOut);
  }
  Trace("LegalIO", __LINE__, "%d:%d:%s", nIn, nOut, legal ? "legal" : "illegal");
  return legal;
}

void IPluginBase::LimitToStereoIO() {
  if (NInChannels() > 2) SetInputChannelConnections(2, NInChannels() - 2, false);
  if (NOutChannels() > 2) SetOutputChannelConnections(2, NOutChannels() - 2, true);
}

bool IPluginBase::IsInChannelConnected(int chIdx) const {
  InChannel* ch = mInChannels.Get(chIdx);
  return ch && ch->mConnected;
}

bool IPluginBase::IsOutChannelConnected(int chIdx) const {
  OutChannel* ch = mOutChannels.Get(chIdx);
  return ch && ch->mConnected;
}

void IPluginBase::SetInputChannelConnections(int idx, int n, bool connected) {
  const int end = RangeEnd(idx, n, NInChannels());
  for (int i = idx < 0 ? 0 : idx; i < end; ++i) {
    InChannel* ch = mInChannels.Get(i);
    ch->mConnected = connected;
    if (connected) continue;
    // A missing input reads silence from scratch memory, which may still hold the last
    // block converted while the input was connected.
    UTL_TypedBuf<double>& scratch = ch->mScratchBuf;
    if (scratch.GetSize() > 0) memset(scratch.Get(), 0, (size_t)scratch.GetSize() * sizeof(double));
    *ch->mSrc = scratch.Get();
  }
}

void IPluginBase::SetOutputChannelConnections(int idx, int n, bool connected) {
  const int end = RangeEnd(idx, n, NOutChannels());
  for (int i = idx < 0 ? 0 : idx; i < end; ++i) {
    OutChannel* ch = mOutChannels.Get(i);
    ch->mConnected = connected;
    // A missing output is written into scratch memory and dropped.
    if (!connected) *ch->mDest = ch->mScratchBuf.Get();
  }
}

void IPluginBase::SetInputLabel(int idx, const char* label) {
  if (InChannel* ch = mInChannels.Get(idx)) ch->mLabel.Set(label);
}

void IPluginBase::SetOutputLabel(int idx, const char* label) {
  if (OutChannel* ch = mOutChannels.Get(idx)) ch->mLabel.Set(label);
}

const char* IPluginBase::GetInputLabel(int idx) const {
  InChannel* ch = mInChannels.Get(idx);
  return ch ? ch->mLabel.Get() : "";
}

const char* IPluginBase::GetOutputLabel(int idx) const {
  OutChannel* ch = mOutChannels.Get(idx);
  return ch ? ch->mLabel.Get() : "";
}

namespace {
// Replaces the label at idx, or inserts it at the end when the list is shorter.
void SetBusLabel(UTL_PtrList<UTL_String>* pLabels, int idx, const char* label) {
  pLabels->Delete(idx, true);
  int n = pLabels->GetSize();
  pLabels->Insert(idx < n ? idx : n, new UTL_String(label));
}
}  // namespace

void IPluginBase::SetInputBusLabel(int idx, const char* label) {
  if (idx < 0 || idx > 1) return;
  SetBusLabel(&mInputBusLabels, idx, label);
}

void IPluginBase::SetOutputBusLabel(int idx, const char* label) {
  if (idx < 0) return;
  SetBusLabel(&mOutputBusLabels, idx, label);
}

const char* IPluginBase::GetInputBusLabel(int idx) const {
  UTL_String* label = mInputBusLabels.Get(idx);
  return label ? label->Get() : nullptr;
}

const char* IPluginBase::GetOutputBusLabel(int idx) const {
  UTL_String* label = mOutputBusLabels.Get(idx);
  return label ? label->Get() : nullptr;
}

void IPluginBase::AttachInputBuffers(int idx, int n, double** ppData, int) {
  if (!ppData) return;
  const int end = RangeEnd(idx, n, NInChannels());
  for (int i = idx < 0 ? 0 : idx; i < end; ++i) {
    InChannel* ch = mInChannels.Get(i);
    if (ch->mConnected) *ch->mSrc = *ppData++;
  }
}

void IPluginBase::AttachInputBuffers(int idx, int n, float** ppData, int nFrames) {
  if (!ppData) return;
  const int end = RangeEnd(idx, n, NInChannels());
  for (int i = idx < 0 ? 0 : idx; i < end; ++i) {
    InChannel* ch = mInChannels.Get(i);
    if (!ch->mConnected) continue;
    double* scratch = ch->mScratchBuf.Get();
    if (nFrames > 0) {
      const float* src = *ppData++;
      // The scratch buffer holds one block; never convert past it.
      int frames = nFrames < ch->mScratchBuf.GetSize() ? nFrames : ch->mScratchBuf.GetSize();
      if (src)
        for (int s = 0; s < frames; ++s) scratch[s] = (double)src[s];
    }
    *ch->mSrc = scratch;
  }
}

void IPluginBase::AttachOutputBuffers(int idx, int n, double** ppData) {
  if (!ppData) return;
  const int end = RangeEnd(idx, n, NOutChannels());
  for (int i = idx < 0 ? 0 : idx; i < end; ++i) {
    OutChannel* ch = mOutChannels.Get(i);
    if (!ch->mConnected) continue;
    *ch->mDest = *ppData++;
    // A 64-bit output must not be converted into an earlier 32-bit host array.
    ch->mFDest = nullptr;
  }
}

void IPluginBase::AttachOutputBuffers(int idx, int n, float** ppData) {
  if (!ppData) return;
  const int end = RangeEnd(idx, n, NOutChannels());
  for (int i = idx < 0 ? 0 : idx; i < end; ++i) {
    OutChannel* ch = mOutChannels.Get(i);
    if (!ch->mConnected) continue;
    *ch->mDest = ch->mScratchBuf.Get();
    ch->mFDest = *ppData++;
  }
}

int IPluginBase::SafeFrames(int nFrames) const {
  if (nFrames <= 0) return 0;
  for (int i = 0; i < NInChannels(); ++i) {
    const InChannel* ch = mInChannels.Get(i);
    const double* slot = *ch->mSrc;
    if (!slot) return 0;
    if (slot == ch->mScratchBuf.Get() && nFrames > ch->mScratchBuf.GetSize())
      nFrames = ch->mScratchBuf.GetSize();
  }
  for (int i = 0; i < NOutChannels(); ++i) {
    const OutChannel* ch = mOutChannels.Get(i);
    const double* slot = *ch->mDest;
    if (!slot) return 0;
    if (slot == ch->mScratchBuf.Get() && nFrames > ch->mScratchBuf.GetSize())
      nFrames = ch->mScratchBuf.GetSize();
  }
  return nFrames;
}

void IPluginBase::ConvertOutputs(int nFrames, bool accumulate) {
  for (int i = 0; i < NOutChannels(); ++i) {
    OutChannel* ch = mOutChannels.Get(i);
    float* dest = ch->mFDest;
    const double* src = *ch->mDest;
    if (!ch->mConnected || !dest || !src) continue;
    if (accumulate) {
      for (int s = 0; s < nFrames; ++s) dest[s] = dest[s] + (float)src[s];
    } else {
      for (int s = 0; s < nFrames; ++s) dest[s] = (float)src[s];
    }
  }
}

void IPluginBase::ProcessBuffers(double, int nFrames) {
  nFrames = SafeFrames(nFrames);
  if (nFrames > 0) ProcessDoubleReplacing(mInData.Get(), mOutData.Get(), nFrames);
}

void IPluginBase::ProcessBuffers(float, int nFrames) {
  nFrames = SafeFrames(nFrames);
  if (nFrames <= 0) return;
  ProcessDoubleReplacing(mInData.Get(), mOutData.Get(), nFrames);
  ConvertOutputs(nFrames, false);
}

void IPluginBase::ProcessBuffersAccumulating(float, int nFrames) {
  nFrames = SafeFrames(nFrames);
  if (nFrames <= 0) return;
  ProcessDoubleReplacing(mInData.Get(), mOutData.Get(), nFrames);
  ConvertOutputs(nFrames, true);
}

void IPluginBase::PassThroughBuffers(double, int nFrames) {
  nFrames = SafeFrames(nFrames);
  if (nFrames <= 0) return;
  double** in = mInData.Get();
  double** out = mOutData.Get();
  for (int i = 0; i < NOutChannels(); ++i) {
    if (i < NInChannels()) {
      if (in[i] != out[i]) memmove(out[i], in[i], (size_t)nFrames * sizeof(double));
    } else {
      memset(out[i], 0, (size_t)nFrames * sizeof(double));
    }
  }
}

void IPluginBase::PassThroughBuffers(float, int nFrames) {
  nFrames = SafeFrames(nFrames);
  if (nFrames <= 0) return;
  PassThroughBuffers(0.0, nFrames);
  ConvertOutputs(nFrames, false);
}

void IPluginBase::ZeroScratchBuffers() {
  for (int i = 0; i < NInChannels(); ++i) {
    UTL_TypedBuf<double>& buf = mInChannels.Get(i)->mScratchBuf;
    if (buf.GetSize() > 0) memset(buf.Get(), 0, (size_t)buf.GetSize() * sizeof(double));
  }
  for (int i = 0; i < NOutChannels(); ++i) {
    UTL_TypedBuf<double>& buf = mOutChannels.Get(i)->mScratchBuf;
    if (buf.GetSize() > 0) memset(buf.Get(), 0, (size_t)buf.GetSize() * sizeof(double));
  }
}

void IPluginBase::SetBlockSize(int blockSize) {
  if (blockSize < 0 || blockSize == mBlockSize) return;
  // Resizing may move a scratch buffer; slots that pointed at it (or were never set) must
  // follow, or the processor would use freed memory.
  for (int i = 0; i < NInChannels(); ++i) {
    InChannel* ch = mInChannels.Get(i);
    bool onScratch = !*ch->mSrc || *ch->mSrc == ch->mScratchBuf.Get();
    ch->mScratchBuf.Resize(blockSize);
    if (ch->mScratchBuf.GetSize() != blockSize) continue;  // out of memory: keep the old one
    if (blockSize > 0) memset(ch->mScratchBuf.Get(), 0, (size_t)blockSize * sizeof(double));
    if (onScratch) *ch->mSrc = ch->mScratchBuf.Get();
  }
  for (int i = 0; i < NOutChannels(); ++i) {
    OutChannel* ch = mOutChannels.Get(i);
    bool onScratch = !*ch->mDest || *ch->mDest == ch->mScratchBuf.Get();
    ch->mScratchBuf.Resize(blockSize);
    if (ch->mScratchBuf.GetSize() != blockSize) continue;  // out of memory: keep the old one
    if (blockSize > 0) memset(ch->mScratchBuf.Get(), 0, (size_t)blockSize * sizeof(double));
    if (onScratch) *ch->mDest = ch->mScratchBuf.Get();
  }
  mBlockSize = blockSize;
}
