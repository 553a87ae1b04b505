#pragma once
// The block machinery every sample-accurate wrapper shares: one host block of any length,
// split where parameter changes land and where it exceeds the prepared largest block, with
// the host's bypass switch crossfaded rather than cut. A wrapper owns one per instance and
// hands it the host's arrays and events; the plug-in sees only pieces it was prepared for.

#include "framework/IParamEvent.h"
#include "framework/IPluginBase.h"
#include "framework/UTL_TypedBuf.h"

class IBlockRenderer {
 public:
  // Bypassing and un-bypassing fade linearly over this time, so that neither clicks.
  static constexpr double kBypassFadeSeconds = 0.005;

  explicit IBlockRenderer(IPluginBase* pPlug);
  IBlockRenderer(const IBlockRenderer&) = delete;
  IBlockRenderer& operator=(const IBlockRenderer&) = delete;

  // [host] Scratch for the largest block and the bypass fade, then
  // pPlug->PrepareToProcess(sampleRate, maxBlockFrames). false, and nothing rendered until a
  // later Prepare succeeds, without memory or with a size below 1.
  bool Prepare(double sampleRate, int maxBlockFrames);
  // [host] At activation: sample position 0, the bypass state taken as given (no fade from
  // before).
  void Activate(bool bypassed);

  // [audio] One host block, in place allowed, any nFrames >= 0. Events sorted by offset are
  // applied at their frame (value stored, OnParamChange run) by splitting the block there; an
  // event out of order applies where it is met, nFrames == 0 applies them only. A NaN value or
  // an unknown index is skipped; the editor shows the others at its next drawing pass.
  // bypassed is the host's switch at the start of the block; IParamEvent::kBypass events move
  // it at their frames, each move starting a crossfade there. A null array (or a null channel in
  // it) reads as silence in and is dropped out. Unprepared, the outputs are silent.
  //
  // Allocates nothing and never waits: change hooks run with the plug-in mutex taken only by
  // trying, so they stay serialised with the host's and the editor's. While another thread
  // holds it the values are stored at once and their hooks run at the next split that gets it.
  void Render(float* const* inputs, float* const* outputs, int nFrames, const IParamEvent* pEvents,
              int nEvents, bool bypassed);
  void Render(double* const* inputs, double* const* outputs, int nFrames,
              const IParamEvent* pEvents, int nEvents, bool bypassed);

  // [audio] The splitting core alone, for a wrapper that moves the audio of a piece its own
  // way: applies the events at their frames as Render does and calls piece(start, nFrames)
  // for the frames between them, each piece at most the prepared block long (before Prepare,
  // split only at events).
  template <class PieceFn>
  void Split(int nFrames, const IParamEvent* pEvents, int nEvents, PieceFn&& piece);

  // [any] Frames rendered since activation.
  long long SamplePos() const { return mSamplePos; }

 private:
  template <class T>
  struct Scratch;
  template <class T>
  Scratch<T>& ScratchFor();
  template <class T>
  void RenderBlock(T* const* inputs, T* const* outputs, int nFrames, const IParamEvent* pEvents,
                   int nEvents, bool bypassed);
  // Frames start .. start + nFrames (at most the prepared block) through the plug-in.
  template <class T>
  void RenderPiece(T* const* inputs, T* const* outputs, int start, int nFrames);
  template <class T>
  void Process(T** in, T** out, int nFrames);
  void ApplyEvents(const IParamEvent* pEvents, int nEvents);

  // Per sample type: the channel arrays of one piece, silence for missing inputs and a sink for
  // missing outputs, and the dry input of the frames a crossfade is mixing.
  template <class T>
  struct Scratch {
    UTL_TypedBuf<T*> mIn, mOut;
    UTL_TypedBuf<T> mSilence, mSink, mDry;
  };
  Scratch<float> mFloat;
  Scratch<double> mDouble;
  // A float block for a plug-in that processes in 64 bits: converted in, processed, back.
  UTL_TypedBuf<double> mWideIn, mWideOut;
  UTL_TypedBuf<double*> mWideInPtrs, mWideOutPtrs;
  bool mWide = false;  // decided at Prepare from DoesSingleReplacing()
  // Parameters whose value is stored but whose change hook has yet to run.
  UTL_TypedBuf<unsigned char> mPendingHooks;
  bool mAnyPending = false;

  IPluginBase* mPlug;
  int mMaxFrames = 0;  // 0 until prepared
  // The crossfade's length in frames, and where it stands: mFadeFrames is fully processed,
  // 0 fully bypassed.
  int mFadeFrames = 1;
  int mFadePos = 1;
  long long mSamplePos = 0;
  // The host's switch where the block has got to.
  bool mBypassed = false;
};

template <class PieceFn>
void IBlockRenderer::Split(int nFrames, const IParamEvent* pEvents, int nEvents, PieceFn&& piece) {
  if (!pEvents || nEvents < 0) nEvents = 0;
  nFrames = nFrames > 0 ? nFrames : 0;
  const int maxPiece = mMaxFrames > 0 ? mMaxFrames : nFrames;
  int e = 0;
  for (int pos = 0;;) {
    const int first = e;
    while (e < nEvents && pEvents[e].mOffset <= pos) ++e;
    if (e > first || mAnyPending) ApplyEvents(pEvents + first, e - first);
    if (pos >= nFrames) break;
    int end = pos + (nFrames - pos < maxPiece ? nFrames - pos : maxPiece);
    if (e < nEvents && pEvents[e].mOffset < end) end = pEvents[e].mOffset;
    piece(pos, end - pos);
    pos = end;
  }
  ApplyEvents(pEvents + e, nEvents - e);  // past the end: they hold from the next block
}
