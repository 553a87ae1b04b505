#include "framework/IBlockRenderer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "framework/ScopedFlushDenormals.h"

namespace {
// Longest crossfade kept, whatever the sample rate claims.
constexpr double kMaxFadeFrames = 1 << 20;

template <class T>
bool Sized(UTL_TypedBuf<T>& buf, long long count) {
  return count <= 0x7fffffff && (buf.Resize((int)count) || count == 0) &&
         buf.GetSize() == (int)count;
}
}  // namespace

template <>
IBlockRenderer::Scratch<float>& IBlockRenderer::ScratchFor<float>() {
  return mFloat;
}
template <>
IBlockRenderer::Scratch<double>& IBlockRenderer::ScratchFor<double>() {
  return mDouble;
}

IBlockRenderer::IBlockRenderer(IPluginBase* pPlug) : mPlug(pPlug) {}

bool IBlockRenderer::Prepare(double sampleRate, int maxBlockFrames) {
  mMaxFrames = 0;
  if (!mPlug || maxBlockFrames < 1 || !(sampleRate > 0.0)) return false;
  const int nIn = mPlug->NInChannels(), nOut = mPlug->NOutChannels();
  const int fade =
      (int)std::lround(std::clamp(sampleRate * kBypassFadeSeconds, 1.0, kMaxFadeFrames));
  // A piece mixes at most its own length of the fade, so the dry copy needs no more.
  const long long dry = (long long)nIn * std::min(fade, maxBlockFrames);
  mWide = !mPlug->DoesSingleReplacing();
  const long long wideIn = mWide ? (long long)nIn * maxBlockFrames : 0;
  const long long wideOut = mWide ? (long long)nOut * maxBlockFrames : 0;
  auto scratch = [&](auto& s) {
    return Sized(s.mIn, nIn) && Sized(s.mOut, nOut) && Sized(s.mSilence, maxBlockFrames) &&
           Sized(s.mSink, maxBlockFrames) && Sized(s.mDry, dry);
  };
  const bool ok = scratch(mFloat) && scratch(mDouble) && Sized(mWideIn, wideIn) &&
                  Sized(mWideOut, wideOut) && Sized(mWideInPtrs, mWide ? nIn : 0) &&
                  Sized(mWideOutPtrs, mWide ? nOut : 0) && Sized(mPendingHooks, mPlug->NParams());
  mPlug->PrepareToProcess(sampleRate, maxBlockFrames);
  if (!ok) return false;

  std::memset(mFloat.mSilence.Get(), 0, sizeof(float) * (size_t)maxBlockFrames);
  std::memset(mDouble.mSilence.Get(), 0, sizeof(double) * (size_t)maxBlockFrames);
  for (int c = 0; c < nIn && mWide; ++c)
    mWideInPtrs.Get()[c] = mWideIn.Get() + (size_t)c * maxBlockFrames;
  for (int c = 0; c < nOut && mWide; ++c)
    mWideOutPtrs.Get()[c] = mWideOut.Get() + (size_t)c * maxBlockFrames;
  if (mPlug->NParams() > 0) std::memset(mPendingHooks.Get(), 0, (size_t)mPlug->NParams());
  mAnyPending = false;
  const bool wasBypassed = mFadePos == 0;
  mFadeFrames = fade;
  mFadePos = wasBypassed ? 0 : fade;
  mMaxFrames = maxBlockFrames;
  return true;
}

void IBlockRenderer::Activate(bool bypassed) {
  mSamplePos = 0;
  mFadePos = bypassed ? 0 : mFadeFrames;
}

void IBlockRenderer::Render(float* const* inputs, float* const* outputs, int nFrames,
                            const IParamEvent* pEvents, int nEvents, bool bypassed) {
  RenderBlock(inputs, outputs, nFrames, pEvents, nEvents, bypassed);
}

void IBlockRenderer::Render(double* const* inputs, double* const* outputs, int nFrames,
                            const IParamEvent* pEvents, int nEvents, bool bypassed) {
  RenderBlock(inputs, outputs, nFrames, pEvents, nEvents, bypassed);
}

template <class T>
void IBlockRenderer::RenderBlock(T* const* inputs, T* const* outputs, int nFrames,
                                 const IParamEvent* pEvents, int nEvents, bool bypassed) {
  nFrames = std::max(nFrames, 0);
  mBypassed = bypassed;
  if (!mMaxFrames) {
    // Unprepared, or prepared without memory: the host still hears something defined.
    Split(0, pEvents, nEvents, [](int, int) {});
    for (int c = 0; outputs && c < mPlug->NOutChannels(); ++c)
      if (outputs[c]) std::memset(outputs[c], 0, sizeof(T) * (size_t)nFrames);
    return;
  }
  Split(nFrames, pEvents, nEvents,
        [&](int start, int n) { RenderPiece(inputs, outputs, start, n); });
}

template <class T>
void IBlockRenderer::RenderPiece(T* const* inputs, T* const* outputs, int start, int nFrames) {
  const int target = mBypassed ? 0 : mFadeFrames;
  Scratch<T>& s = ScratchFor<T>();
  const int nIn = mPlug->NInChannels(), nOut = mPlug->NOutChannels();
  T** in = s.mIn.Get();
  T** out = s.mOut.Get();
  for (int c = 0; c < nIn; ++c) in[c] = inputs && inputs[c] ? inputs[c] + start : s.mSilence.Get();
  for (int c = 0; c < nOut; ++c)
    out[c] = outputs && outputs[c] ? outputs[c] + start : s.mSink.Get();
  mSamplePos += nFrames;
  if (target == mFadeFrames && mFadePos == mFadeFrames) {
    Process(in, out, nFrames);
    return;
  }

  // Bypassed or crossfading: the plug-in runs only where its output is heard, and the dry
  // input of the fading frames is kept before processing in place overwrites it.
  const int fading = std::min(nFrames, std::abs(target - mFadePos));
  const int dryStride = std::min(mFadeFrames, mMaxFrames);
  T* dry = s.mDry.Get();
  for (int c = 0; c < nIn; ++c)
    std::memcpy(dry + (size_t)c * dryStride, in[c], sizeof(T) * (size_t)fading);
  Process(in, out, target ? nFrames : fading);

  // A linear crossfade, one step per frame, from where the last piece left off.
  const int step = target > mFadePos ? 1 : -1;
  const T scale = (T)1 / (T)mFadeFrames;
  for (int c = 0; c < nOut; ++c) {
    T* o = out[c];
    const T* d = c < nIn ? dry + (size_t)c * dryStride : nullptr;
    int pos = mFadePos;
    for (int i = 0; i < fading; ++i) {
      pos += step;
      const T w = (T)pos * scale, x = d ? d[i] : (T)0;
      o[i] = w * o[i] + ((T)1 - w) * x;
    }
    if (!target && fading < nFrames) {
      const size_t rest = sizeof(T) * (size_t)(nFrames - fading);
      if (c < nIn) {
        std::memmove(o + fading, in[c] + fading, rest);
      } else {
        std::memset(o + fading, 0, rest);
      }
    }
  }
  mFadePos += step * fading;
}

template <>
void IBlockRenderer::Process(double** in, double** out, int nFrames) {
  if (nFrames <= 0) return;
  ScopedFlushDenormals flush;
  mPlug->ProcessDoubleReplacing(in, out, nFrames);
}

template <>
void IBlockRenderer::Process(float** in, float** out, int nFrames) {
  if (nFrames <= 0) return;
  ScopedFlushDenormals flush;
  if (!mWide) {
    mPlug->ProcessSingleReplacing(in, out, nFrames);
    return;
  }
  const int nIn = mPlug->NInChannels(), nOut = mPlug->NOutChannels();
  double** wideIn = mWideInPtrs.Get();
  double** wideOut = mWideOutPtrs.Get();
  for (int c = 0; c < nIn; ++c)
    for (int i = 0; i < nFrames; ++i) wideIn[c][i] = (double)in[c][i];
  mPlug->ProcessDoubleReplacing(wideIn, wideOut, nFrames);
  for (int c = 0; c < nOut; ++c)
    for (int i = 0; i < nFrames; ++i) out[c][i] = (float)wideOut[c][i];
}

void IBlockRenderer::ApplyEvents(const IParamEvent* pEvents, int nEvents) {
  if (nEvents <= 0 && !mAnyPending) return;
  const int nParams = mPlug->NParams();
  unsigned char* pending = mPendingHooks.Get();
  UTL_Mutex* pMutex = mPlug->GetMutex();
  const bool locked = pMutex->TryEnter();
  if (locked && mAnyPending) {
    mAnyPending = false;
    for (int i = 0; i < nParams; ++i) {
      if (!pending[i]) continue;
      pending[i] = 0;
      mPlug->OnParamChange(i);
    }
  }
  for (int i = 0; i < nEvents; ++i) {
    const IParamEvent& event = pEvents[i];
    if (event.mParamIdx == IParamEvent::kBypass) {
      if (!std::isnan(event.mValue)) mBypassed = event.mValue >= 0.5;
      continue;
    }
    IParam* pParam = mPlug->GetParam(event.mParamIdx);
    if (!pParam || std::isnan(event.mValue)) continue;
    pParam->Set(event.mValue);
    mPlug->NoteProcessingChange(event.mParamIdx);
    if (locked) {
      mPlug->OnParamChange(event.mParamIdx);
    } else if (event.mParamIdx < mPendingHooks.GetSize()) {
      pending[event.mParamIdx] = 1;
      mAnyPending = true;
    }
  }
  if (locked) pMutex->Leave();
}
