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

// The buffer's memory, filled with zeros.
template <class T>
T* Zeroed(UTL_TypedBuf<T>& buf) {
  if (buf.GetSize() > 0) memset(buf.Get(), 0, (size_t)buf.GetSize() * sizeof(T));
  return buf.Get();
}

// Resizes scratch memory to n zeros. Resizing may move it; a slot that pointed at it (or was
// never set) must follow, or the processor would use freed memory.
template <class T>
void ResizeScratch(UTL_TypedBuf<T>& scratch, T** slot, int n) {
  const bool onScratch = !*slot || *slot == scratch.Get();
  scratch.Resize(n);
  if (scratch.GetSize() != n) return;  // out of memory: keep the old one
  Zeroed(scratch);
  if (onScratch) *slot = scratch.Get();
}

// nFrames cut to what one channel's memory can take: 0 while its slot is unset, the scratch
// size while the slot points at scratch memory.
template <class T>
int FitFrames(int nFrames, const T* slot, const UTL_TypedBuf<T>& scratch) {
  if (!slot) return 0;
  if (slot == scratch.Get() && nFrames > scratch.GetSize()) return scratch.GetSize();
  return nFrames;
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
  mFloatInData.Resize(maxIn);
  mFloatOutData.Resize(maxOut);
  for (int i = 0; i < maxIn; ++i) {
    InChannel* ch = mInChannels.Add(new InChannel);
    ch->mSrc = mInData.Get() + i;
    *ch->mSrc = nullptr;
    ch->mFloatSrc = mFloatInData.Get() + i;
    *ch->mFloatSrc = nullptr;
  }
  for (int i = 0; i < maxOut; ++i) {
    OutChannel* ch = mOutChannels.Add(new OutChannel);
    ch->mDest = mOutData.Get() + i;
    *ch->mDest = nullptr;
    ch->mFloatDest = mFloatOutData.Get() + i;
    *ch->mFloatDest = nullptr;
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
    InChannel* ch = mInChannels.GetList()[i];
    ch->mConnected = connected;
    if (connected) continue;
    // A missing input reads silence from scratch memory, which may still hold the last
    // block converted while the input was connected.
    *ch->mSrc = Zeroed(ch->mScratchBuf);
    *ch->mFloatSrc = Zeroed(ch->mFloatScratch);
  }
}

void IPluginBase::SetOutputChannelConnections(int idx, int n, bool connected) {
  const int end = RangeEnd(idx, n, NOutChannels());
  for (int i = idx < 0 ? 0 : idx; i < end; ++i) {
    OutChannel* ch = mOutChannels.GetList()[i];
    ch->mConnected = connected;
    // A missing output is written into scratch memory and dropped.
    if (connected) continue;
    *ch->mDest = ch->mScratchBuf.Get();
    *ch->mFloatDest = ch->mFloatScratch.Get();
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
    InChannel* ch = mInChannels.GetList()[i];
    if (ch->mConnected) *ch->mSrc = *ppData++;
  }
}

void IPluginBase::AttachInputBuffers(int idx, int n, float** ppData, int nFrames) {
  if (!ppData) return;
  const int end = RangeEnd(idx, n, NInChannels());
  for (int i = idx < 0 ? 0 : idx; i < end; ++i) {
    InChannel* ch = mInChannels.GetList()[i];
    if (!ch->mConnected) continue;
    if (mDoesSingleReplacing) {
      // The processor reads the host's array itself; without one it reads silence.
      float* src = nFrames > 0 ? *ppData++ : nullptr;
      *ch->mFloatSrc = src ? src : ch->mFloatScratch.Get();
      continue;
    }
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
    OutChannel* ch = mOutChannels.GetList()[i];
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
    OutChannel* ch = mOutChannels.GetList()[i];
    if (!ch->mConnected) continue;
    ch->mFDest = *ppData++;
    if (mDoesSingleReplacing) {
      *ch->mFloatDest = ch->mFDest ? ch->mFDest : ch->mFloatScratch.Get();
    } else {
      *ch->mDest = ch->mScratchBuf.Get();
    }
  }
}

int IPluginBase::SafeFrames(int nFrames) const {
  InChannel* const* ins = mInChannels.GetList();
  OutChannel* const* outs = mOutChannels.GetList();
  for (int i = 0, n = NInChannels(); i < n; ++i)
    nFrames = FitFrames(nFrames, *ins[i]->mSrc, ins[i]->mScratchBuf);
  for (int i = 0, n = NOutChannels(); i < n; ++i)
    nFrames = FitFrames(nFrames, *outs[i]->mDest, outs[i]->mScratchBuf);
  return nFrames > 0 ? nFrames : 0;
}

int IPluginBase::SafeFloatFrames(int nFrames) const {
  InChannel* const* ins = mInChannels.GetList();
  OutChannel* const* outs = mOutChannels.GetList();
  for (int i = 0, n = NInChannels(); i < n; ++i)
    nFrames = FitFrames(nFrames, *ins[i]->mFloatSrc, ins[i]->mFloatScratch);
  for (int i = 0, n = NOutChannels(); i < n; ++i)
    nFrames = FitFrames(nFrames, *outs[i]->mFloatDest, outs[i]->mFloatScratch);
  return nFrames > 0 ? nFrames : 0;
}

void IPluginBase::ConvertOutputs(int nFrames, bool accumulate) {
  for (int i = 0; i < NOutChannels(); ++i) {
    OutChannel* ch = mOutChannels.GetList()[i];
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
  if (mDoesSingleReplacing) {
    nFrames = SafeFloatFrames(nFrames);
    if (nFrames > 0) ProcessSingleReplacing(mFloatInData.Get(), mFloatOutData.Get(), nFrames);
    return;
  }
  nFrames = SafeFrames(nFrames);
  if (nFrames <= 0) return;
  ProcessDoubleReplacing(mInData.Get(), mOutData.Get(), nFrames);
  ConvertOutputs(nFrames, false);
}

void IPluginBase::ProcessBuffersAccumulating(float, int nFrames) {
  if (mDoesSingleReplacing) {
    AccumulateSingle(nFrames);
    return;
  }
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
  if (mDoesSingleReplacing) {
    nFrames = SafeFloatFrames(nFrames);
    if (nFrames > 0)
      IPluginBase::ProcessSingleReplacing(mFloatInData.Get(), mFloatOutData.Get(), nFrames);
    return;
  }
  nFrames = SafeFrames(nFrames);
  if (nFrames <= 0) return;
  PassThroughBuffers(0.0, nFrames);
  ConvertOutputs(nFrames, false);
}

void IPluginBase::AccumulateSingle(int nFrames) {
  // Processed into scratch memory, then added to what the host's arrays hold.
  for (int i = 0; i < NOutChannels(); ++i) {
    OutChannel* ch = mOutChannels.GetList()[i];
    if (ch->mConnected && ch->mFDest) *ch->mFloatDest = ch->mFloatScratch.Get();
  }
  nFrames = SafeFloatFrames(nFrames);
  if (nFrames > 0) ProcessSingleReplacing(mFloatInData.Get(), mFloatOutData.Get(), nFrames);
  for (int i = 0; i < NOutChannels(); ++i) {
    OutChannel* ch = mOutChannels.GetList()[i];
    if (!ch->mConnected || !ch->mFDest) continue;
    const float* src = ch->mFloatScratch.Get();
    for (int s = 0; s < nFrames; ++s) ch->mFDest[s] += src[s];
    *ch->mFloatDest = ch->mFDest;
  }
}

void IPluginBase::ZeroScratchBuffers() {
  for (int i = 0; i < NInChannels(); ++i) {
    Zeroed(mInChannels.GetList()[i]->mScratchBuf);
    Zeroed(mInChannels.GetList()[i]->mFloatScratch);
  }
  for (int i = 0; i < NOutChannels(); ++i) {
    Zeroed(mOutChannels.GetList()[i]->mScratchBuf);
    Zeroed(mOutChannels.GetList()[i]->mFloatScratch);
  }
}

void IPluginBase::SetBlockSize(int blockSize) {
  if (blockSize < 0 || blockSize == mBlockSize) return;
  for (int i = 0; i < NInChannels(); ++i) {
    InChannel* ch = mInChannels.GetList()[i];
    ResizeScratch(ch->mScratchBuf, ch->mSrc, blockSize);
    ResizeScratch(ch->mFloatScratch, ch->mFloatSrc, blockSize);
  }
  for (int i = 0; i < NOutChannels(); ++i) {
    OutChannel* ch = mOutChannels.GetList()[i];
    ResizeScratch(ch->mScratchBuf, ch->mDest, blockSize);
    ResizeScratch(ch->mFloatScratch, ch->mFloatDest, blockSize);
  }
  mBlockSize = blockSize;
}
