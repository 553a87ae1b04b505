#pragma once
// Stand-in for the framework's block renderer until it is shared by every wrapper: the same
// calls, with the block's events applied at its start and the bypass switched without a fade.

#include <algorithm>
#include <cstring>

#include "framework/Framework.h"

struct IParamEvent {
  int mOffset;
  int mParamIdx;
  double mValue;
};

class VST3BlockRenderer {
 public:
  static constexpr int kMaxChannels = 8;
  explicit VST3BlockRenderer(IPluginBase* pPlug) : mPlug(pPlug) {}

  bool Prepare(double sampleRate, int maxBlockFrames) {
    mPlug->SetSampleRate(sampleRate);
    mPlug->SetBlockSize(maxBlockFrames);
    mMaxFrames = maxBlockFrames;
    mPlug->SetInputChannelConnections(0, mPlug->NInChannels(), true);
    mPlug->SetOutputChannelConnections(0, mPlug->NOutChannels(), true);
    UTL_MutexLock lock(mPlug->GetMutex());
    mPlug->OnParamReset();
    return true;
  }
  void Activate(bool) { mSamplePos = 0; }
  long long SamplePos() const { return mSamplePos; }

  template <class T>
  void Render(T* const* inputs, T* const* outputs, int nFrames, const IParamEvent* pEvents,
              int nEvents, bool bypassed) {
    if (nEvents > 0 && mPlug->GetMutex()->TryEnter()) {
      for (int i = 0; i < nEvents; ++i) {
        if (IParam* p = mPlug->GetParam(pEvents[i].mParamIdx)) p->Set(pEvents[i].mValue);
        mPlug->OnParamChange(pEvents[i].mParamIdx);
      }
      mPlug->GetMutex()->Leave();
    }
    const int nIn = std::min(mPlug->NInChannels(), kMaxChannels);
    const int nOut = std::min(mPlug->NOutChannels(), kMaxChannels);
    if (!outputs || nFrames <= 0) return;
    for (int c = 0; c < nOut; ++c) {
      if (inputs && c < nIn && bypassed) {
        std::memmove(outputs[c], inputs[c], sizeof(T) * nFrames);
      } else if (!inputs || bypassed) {
        std::memset(outputs[c], 0, sizeof(T) * nFrames);
      }
    }
    if (bypassed || !inputs) return;
    T* in[kMaxChannels];
    T* out[kMaxChannels];
    for (int done = 0; done < nFrames;) {
      const int n = std::min(nFrames - done, std::max(1, mMaxFrames));
      for (int c = 0; c < nIn; ++c) in[c] = inputs[c] + done;
      for (int c = 0; c < nOut; ++c) out[c] = outputs[c] + done;
      mPlug->AttachInputBuffers(0, nIn, in, n);
      mPlug->AttachOutputBuffers(0, nOut, out);
      mPlug->ProcessBuffers((T)0, n);
      done += n;
    }
    mSamplePos += nFrames;
  }

 private:
  IPluginBase* mPlug;
  int mMaxFrames = 0;
  long long mSamplePos = 0;
};
