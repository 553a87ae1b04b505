// Buses, input connections, stream formats and the render call.

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "au/IPluginAU.h"

namespace {

// An AudioBufferList with room for one buffer per host channel of the widest bus; lives on
// the stack so that pulling inputs allocates nothing.
struct PullBufferList {
  union {
    AudioBufferList list;
    unsigned char bytes[offsetof(AudioBufferList, mBuffers) +
                        IPluginAU::kMaxBusChannels * sizeof(AudioBuffer)];
  };
};

}  // namespace

const char* AUInputTypeStr(IPluginAU::EAUInputType type) {
  switch (type) {
    case IPluginAU::eDirectFastProc:
      return "DirectFastProc";
    case IPluginAU::eDirectNoFastProc:
      return "DirectNoFastProc";
    case IPluginAU::eRenderCallback:
      return "RenderCallback";
    default:
      return "NotConnected";
  }
}

void MakeDefaultASBD(AudioStreamBasicDescription* pASBD, double sampleRate, int nChannels,
                     bool interleaved) {
  std::memset(pASBD, 0, sizeof(AudioStreamBasicDescription));
  pASBD->mSampleRate = sampleRate;
  pASBD->mFormatID = kAudioFormatLinearPCM;
  pASBD->mFormatFlags = kAudioFormatFlagIsFloat | kAudioFormatFlagIsPacked;
  pASBD->mFramesPerPacket = 1;
  pASBD->mChannelsPerFrame = (UInt32)nChannels;
  pASBD->mBitsPerChannel = 32;
  pASBD->mReserved = 0;
  const UInt32 sampleBytes = sizeof(AudioSampleType);
  if (interleaved) {
    pASBD->mBytesPerPacket = pASBD->mBytesPerFrame = (UInt32)nChannels * sampleBytes;
  } else {
    pASBD->mFormatFlags |= kAudioFormatFlagIsNonInterleaved;
    pASBD->mBytesPerPacket = pASBD->mBytesPerFrame = sampleBytes;
  }
}

void IPluginAU::MakeBuses(int plugScChans) {
  const int nIn = NInChannels();
  const int nOut = NOutChannels();
  auto addBus = [](UTL_PtrList<BusChannels>& buses, int first, int count) {
    BusChannels* pBus = new BusChannels;
    pBus->mFirstPlugChannel = first;
    pBus->mPlugChannelCount = count;
    buses.Add(pBus);
  };
  if (plugScChans > 0 && nIn > 0) {
    addBus(mInputBuses, 0, nIn - plugScChans);
    addBus(mInputBuses, nIn - plugScChans, plugScChans);
    SetInputBusLabel(0, "main input");
    SetInputBusLabel(1, "aux input");
  } else if (nIn > 0) {
    addBus(mInputBuses, 0, nIn);
    SetInputBusLabel(0, "input");
    SetInputBusLabel(1, "aux input");
  }
  for (int i = 0; i < mInputBuses.GetSize(); ++i) {
    mInputConnections.Add(new InputConnection());
  }
  if (IsInst()) {
    const int nBuses = (nOut + 1) / 2;
    for (int i = 0; i < nBuses; ++i) {
      addBus(mOutputBuses, 2 * i, std::min(nOut - 2 * i, 2));
      char label[32];
      snprintf(label, sizeof(label), "output %i", i + 1);
      SetOutputBusLabel(i, label);
    }
  } else {
    addBus(mOutputBuses, 0, nOut);
    SetOutputBusLabel(0, "output");
  }
  AssessInputConnections();
  SetBlockSize(kDefaultBlockSize);
}

int IPluginAU::NHostChannelsConnected(UTL_PtrList<BusChannels>* pBuses, int excludeIdx) {
  bool any = false;
  int n = 0;
  for (int i = 0; i < pBuses->GetSize(); ++i) {
    const int count = pBuses->Get(i)->mHostChannelCount;
    if (i != excludeIdx && count >= 0) {
      n += count;
      any = true;
    }
  }
  return any ? n : -1;
}

bool IPluginAU::CheckLegalIO(AudioUnitScope scope, int busIdx, int nChannels) {
  int nIn, nOut;
  if (scope == kAudioUnitScope_Input) {
    nIn = std::max(NHostChannelsConnected(&mInputBuses, busIdx), 0) + nChannels;
    nOut = mInitialized ? NHostChannelsConnected(&mOutputBuses) : -1;
  } else {
    nIn = mInitialized ? NHostChannelsConnected(&mInputBuses) : -1;
    nOut = std::max(NHostChannelsConnected(&mOutputBuses, busIdx), 0) + nChannels;
  }
  return LegalIO(nIn, nOut);
}

bool IPluginAU::CheckLegalIO() {
  const int nIn = NHostChannelsConnected(&mInputBuses);
  const int nOut = NHostChannelsConnected(&mOutputBuses);
  return (nIn == 0 && nOut == 0) || LegalIO(nIn, nOut);
}

void IPluginAU::AssessInputConnections() {
  UTL_MutexLock lock(&mMutex);
  // A new source is pulled at the next render, whatever its sample time.
  mLastPullSampleTime = -1.0;
  SetInputChannelConnections(0, NInChannels(), false);
  for (int i = 0; i < mInputBuses.GetSize(); ++i) {
    BusChannels* pBus = mInputBuses.Get(i);
    InputConnection* pConn = mInputConnections.Get(i);
    if (pConn->mUpstreamRenderProc && pConn->mUpstreamObject) {
      pConn->mInputType = eDirectFastProc;
    } else if (pConn->mUpstreamUnit) {
      pConn->mInputType = eDirectNoFastProc;
    } else if (pConn->mRenderCallback.inputProc) {
      pConn->mInputType = eRenderCallback;
    } else {
      pConn->mInputType = eNotConnected;
    }
    pBus->mIsConnected = pConn->mInputType != eNotConnected;
    if (pBus->mIsConnected) {
      if (pBus->mHostChannelCount < 0) {
        Trace("AssumeChannels", __LINE__, "%d", pBus->mPlugChannelCount);
        pBus->mHostChannelCount = pBus->mPlugChannelCount;
      }
      SetInputChannelConnections(pBus->mFirstPlugChannel, pBus->mHostChannelCount, true);
      SetInputChannelConnections(pBus->mFirstPlugChannel + pBus->mHostChannelCount,
                                 std::max(pBus->mPlugChannelCount - pBus->mHostChannelCount, 0),
                                 false);
    }
    Trace("AssessInputConnections", __LINE__, "%d:%s:%d:%d:%d", i,
          AUInputTypeStr(pConn->mInputType), pBus->mFirstPlugChannel, pBus->mPlugChannelCount,
          pBus->mHostChannelCount);
  }
}

IPluginAU::BusChannels* IPluginAU::GetBus(AudioUnitScope scope, AudioUnitElement element) {
  switch (scope) {
    case kAudioUnitScope_Global:
    case kAudioUnitScope_Output:
      return mOutputBuses.Get((int)std::min<AudioUnitElement>(element, 0x7fffffff));
    case kAudioUnitScope_Input:
      return mInputBuses.Get((int)std::min<AudioUnitElement>(element, 0x7fffffff));
    default:
      return nullptr;
  }
}

ComponentResult IPluginAU::GetStreamFormat(AudioUnitScope scope, AudioUnitElement element,
                                           AudioStreamBasicDescription* pASBD) {
  const BusChannels* pBus = GetBus(scope, element);
  if (!pBus) return kAudioUnitErr_InvalidProperty;
  const int nChannels =
      pBus->mHostChannelCount < 0 ? pBus->mPlugChannelCount : pBus->mHostChannelCount;
  if (pASBD) MakeDefaultASBD(pASBD, GetSampleRate(), nChannels, false);
  return noErr;
}

ComponentResult IPluginAU::SetStreamFormat(AudioUnitScope scope, AudioUnitElement element,
                                           const AudioStreamBasicDescription* pASBD) {
  BusChannels* pBus = GetBus(scope, element);
  if (!pBus) return kAudioUnitErr_InvalidProperty;
  if (!pASBD) return kAudioUnitErr_InvalidPropertyValue;
  pBus->mHostChannelCount = 0;
  // A channel count beyond the pull list or the int range is refused, not wrapped.
  const UInt32 nChannels = pASBD->mChannelsPerFrame;
  const int n = nChannels <= (UInt32)kMaxBusChannels ? (int)nChannels : -1;
  const bool connectionOK = n > 0 && CheckLegalIO(scope, (int)element, n);
  const bool linearPCM = pASBD->mFormatID == kAudioFormatLinearPCM;
  const bool canonical =
      (pASBD->mFormatFlags & (kAudioFormatFlagIsFloat | kAudioFormatFlagIsPacked)) != 0;
  Trace("SetProperty", __LINE__, "%d:%d:%s:%s:%s", (int)element, (int)nChannels,
        linearPCM ? "linearPCM" : "notLinearPCM",
        canonical ? "canonicalFormat" : "notCanonicalFormat",
        connectionOK ? "connectionOK" : "connectionNotOK");
  const bool accepted = connectionOK && linearPCM && canonical;
  if (accepted) {
    pBus->mHostChannelCount = n;
    if (pASBD->mSampleRate > 0.0 && pASBD->mSampleRate != GetSampleRate()) {
      SetSampleRate(pASBD->mSampleRate);
      PrepareIfInitialized();
    }
  }
  AssessInputConnections();
  return accepted ? (ComponentResult)noErr : kAudioUnitErr_InvalidProperty;
}

ComponentResult IPluginAU::MakeConnection(AudioUnitScope scope,
                                          const AudioUnitConnection* pConnection) {
  if (scope != kAudioUnitScope_Global && scope != kAudioUnitScope_Input)
    return kAudioUnitErr_InvalidProperty;
  if (!pConnection) return kAudioUnitErr_InvalidPropertyValue;
  const AudioUnitElement busIdx = pConnection->destInputNumber;
  if (busIdx >= (AudioUnitElement)mInputBuses.GetSize()) return kAudioUnitErr_InvalidProperty;
  InputConnection* pConn = mInputConnections.Get((int)busIdx);
  std::memset(pConn, 0, sizeof(InputConnection));
  AudioUnit source = pConnection->sourceAudioUnit;
  if (!source) {
    AssessInputConnections();
    return noErr;
  }
  AudioStreamBasicDescription format;
  UInt32 size = sizeof(format);
  ComponentResult r =
      AudioUnitGetProperty(source, kAudioUnitProperty_StreamFormat, kAudioUnitScope_Output,
                           pConnection->sourceOutputNumber, &format, &size);
  if (r == noErr) {
    r = SetProperty(kAudioUnitProperty_StreamFormat, kAudioUnitScope_Input, busIdx, &size, &format);
  }
  if (r == noErr) {
    pConn->mUpstreamUnit = source;
    pConn->mUpstreamBus = (int)pConnection->sourceOutputNumber;
    AudioUnitRenderProc proc = nullptr;
    size = sizeof(proc);
    if (AudioUnitGetProperty(source, kAudioUnitProperty_FastDispatch, kAudioUnitScope_Global,
                             kAudioUnitRenderSelect, &proc, &size) == noErr &&
        proc) {
      pConn->mUpstreamRenderProc = proc;
      pConn->mUpstreamObject = GetComponentInstanceStorage(source);
    }
  }
  AssessInputConnections();
  return r == noErr ? (ComponentResult)noErr : kAudioUnitErr_InvalidProperty;
}

ComponentResult IPluginAU::SetRenderCallback(AudioUnitScope scope, AudioUnitElement element,
                                             const AURenderCallbackStruct* pCallback) {
  if (scope != kAudioUnitScope_Input || element >= (AudioUnitElement)mInputBuses.GetSize())
    return kAudioUnitErr_InvalidProperty;
  if (!pCallback) return kAudioUnitErr_InvalidPropertyValue;
  InputConnection* pConn = mInputConnections.Get((int)element);
  std::memset(pConn, 0, sizeof(InputConnection));
  if (pCallback->inputProc) pConn->mRenderCallback = *pCallback;
  AssessInputConnections();
  return noErr;
}

void IPluginAU::SetBlockSize(int blockSize) {
  if (blockSize < 0) return;
  const long long inSize = (long long)blockSize * NInChannels();
  const long long outSize = (long long)blockSize * NOutChannels();
  const int oldInSize = mInputScratch.GetSize();
  const int oldOutSize = mOutputScratch.GetSize();
  // Render trusts the block size to fit the scratch buffers: without the memory for both,
  // everything stays as it was.
  auto resize = [](UTL_TypedBuf<float>& buf, long long n) {
    return n <= 0x7fffffff && (buf.Resize((int)n) || n == 0);
  };
  if (!resize(mInputScratch, inSize) || !resize(mOutputScratch, outSize)) {
    mInputScratch.Resize(oldInSize);
    mOutputScratch.Resize(oldOutSize);
    return;
  }
  if (inSize > 0) std::memset(mInputScratch.Get(), 0, (size_t)inSize * sizeof(float));
  if (outSize > 0) std::memset(mOutputScratch.Get(), 0, (size_t)outSize * sizeof(float));
  IPluginBase::SetBlockSize(blockSize);
}

ComponentResult IPluginAU::PullInputs(AudioUnitRenderActionFlags* /*pFlags*/,
                                      const AudioTimeStamp* pTimestamp, UInt32 nFrames) {
  for (int i = 0; i < mInputBuses.GetSize(); ++i) {
    const BusChannels* pBus = mInputBuses.Get(i);
    if (!pBus->mIsConnected) continue;
    const InputConnection* pConn = mInputConnections.Get(i);
    const int nChannels = pBus->mHostChannelCount;
    // The pull list and the unit's input memory hold the bus's channels and no more.
    if (nChannels < 0 || nChannels > kMaxBusChannels ||
        pBus->mFirstPlugChannel + nChannels > NInChannels())
      return kAudioUnitErr_FormatNotSupported;
    PullBufferList pull;
    AudioBufferList* pList = &pull.list;
    pList->mNumberBuffers = (UInt32)nChannels;
    for (int j = 0; j < nChannels; ++j) {
      pList->mBuffers[j].mNumberChannels = 1;
      pList->mBuffers[j].mDataByteSize = nFrames * sizeof(AudioSampleType);
      pList->mBuffers[j].mData = nullptr;
    }
    AudioUnitRenderActionFlags flags = 0;
    ComponentResult r = noErr;
    switch (pConn->mInputType) {
      case eDirectFastProc:
        r = pConn->mUpstreamRenderProc(pConn->mUpstreamObject, &flags, pTimestamp,
                                       (UInt32)pConn->mUpstreamBus, nFrames, pList);
        break;
      case eDirectNoFastProc:
        r = AudioUnitRender(pConn->mUpstreamUnit, &flags, pTimestamp, (UInt32)pConn->mUpstreamBus,
                            nFrames, pList);
        break;
      case eRenderCallback: {
        // The callback fills the unit's own memory unless it hands back its own buffers.
        float* pScratch = mInputScratch.Get() + (size_t)pBus->mFirstPlugChannel * nFrames;
        for (int j = 0; j < nChannels; ++j)
          pList->mBuffers[j].mData = pScratch + (size_t)j * nFrames;
        r = pConn->mRenderCallback.inputProc(pConn->mRenderCallback.inputProcRefCon, &flags,
                                             pTimestamp, (UInt32)i, nFrames, pList);
        break;
      }
      default:
        break;
    }
    if (r != noErr) return r;
    // Whatever the source left in the list is what we process; a list it shrank or a buffer
    // it left without memory would be read out of bounds, so that counts as a failed pull.
    if (pList->mNumberBuffers < (UInt32)nChannels) return kAudioUnitErr_NoConnection;
    for (int j = 0; j < nChannels; ++j) {
      float* pData = static_cast<float*>(pList->mBuffers[j].mData);
      if (!pData || pList->mBuffers[j].mDataByteSize < nFrames * sizeof(AudioSampleType))
        return kAudioUnitErr_NoConnection;
      AttachInputBuffers(pBus->mFirstPlugChannel + j, 1, &pData, (int)nFrames);
      mSliceIn.Get()[pBus->mFirstPlugChannel + j] = pData;
    }
  }
  // A pull of no frames read nothing, so the time is not yet covered: a block that follows at
  // the same time must pull its input rather than process what an earlier time left.
  if (nFrames > 0) mLastPullSampleTime = pTimestamp->mSampleTime;
  return noErr;
}

ComponentResult IPluginAU::RenderProc(void* pPlug, AudioUnitRenderActionFlags* /*pFlags*/,
                                      const AudioTimeStamp* pTimestamp, UInt32 outputBusIdx,
                                      UInt32 nFrames, AudioBufferList* pBufferList) {
  IPluginAU* _this = static_cast<IPluginAU*>(pPlug);
  if (!_this || !pTimestamp || !pBufferList) return kAudioUnitErr_InvalidPropertyValue;
  if (!(pTimestamp->mFlags & kAudioTimeStampSampleTimeValid) ||
      outputBusIdx >= (UInt32)_this->mOutputBuses.GetSize() ||
      nFrames > (UInt32)_this->GetBlockSize()) {
    return kAudioUnitErr_InvalidPropertyValue;
  }
  BusChannels* pOutBus = _this->mOutputBuses.Get((int)outputBusIdx);
  // Host buffers the bus has no channels for, or too small for the block, would be written
  // out of bounds.
  const UInt32 nBuffers = pBufferList->mNumberBuffers;
  if (nBuffers > (UInt32)pOutBus->mPlugChannelCount) return kAudioUnitErr_InvalidPropertyValue;
  for (UInt32 i = 0; i < nBuffers; ++i) {
    const AudioBuffer& buffer = pBufferList->mBuffers[i];
    if (buffer.mData && buffer.mDataByteSize < nFrames * sizeof(AudioSampleType))
      return kAudioUnitErr_InvalidPropertyValue;
  }

  // Notifiers added or removed by a notifier itself take effect with the next call.
  const int nNotifiers = _this->mRenderNotifiers.GetSize();
  for (int i = 0; i < nNotifiers && i < _this->mRenderNotifiers.GetSize(); ++i) {
    const AURenderCallbackStruct notifier = *_this->mRenderNotifiers.Get(i);
    AudioUnitRenderActionFlags flags = kAudioUnitRenderAction_PreRender;
    notifier.inputProc(notifier.inputProcRefCon, &flags, pTimestamp, outputBusIdx, nFrames,
                       pBufferList);
  }

  if (pTimestamp->mSampleTime != _this->mLastPullSampleTime) {
    ComponentResult r = _this->PullInputs(nullptr, pTimestamp, nFrames);
    if (r != noErr) return r;
  }

  const int first = pOutBus->mFirstPlugChannel;
  if (!pOutBus->mIsConnected || pOutBus->mHostChannelCount != (int)nBuffers) {
    const int nConnected = (int)std::min((UInt32)pOutBus->mHostChannelCount, nBuffers);
    _this->SetOutputChannelConnections(first, nConnected, true);
    _this->SetOutputChannelConnections(first + nConnected,
                                       std::max(pOutBus->mPlugChannelCount - nConnected, 0), false);
    pOutBus->mIsConnected = true;
  }

  float* pScratch = _this->mOutputScratch.Get() + (size_t)first * nFrames;
  for (UInt32 i = 0; i < nBuffers; ++i) {
    AudioBuffer& buffer = pBufferList->mBuffers[i];
    if (!buffer.mData) {
      buffer.mData = pScratch + (size_t)i * nFrames;
      buffer.mDataByteSize = nFrames * sizeof(AudioSampleType);
    }
    float* pData = static_cast<float*>(buffer.mData);
    _this->AttachOutputBuffers(first + (int)i, 1, &pData);
    if (first + (int)i < _this->mSliceOut.GetSize()) _this->mSliceOut.Get()[first + (int)i] = pData;
  }

  const int nOutBuses = _this->mOutputBuses.GetSize();
  int lastConnected = nOutBuses - 1;
  for (int i = 0; i < nOutBuses; ++i) {
    if (!_this->mOutputBuses.Get(i)->mIsConnected) {
      lastConnected = i - 1;
      break;
    }
  }
  if ((int)outputBusIdx == lastConnected) {
    const int nextChannel = 2 * ((int)outputBusIdx + 1);
    if ((int)outputBusIdx + 1 < nOutBuses)
      _this->SetOutputChannelConnections(nextChannel, 2 * nOutBuses - nextChannel, false);
    _this->ProcessSlice((int)nFrames);
  }

  for (int i = 0; i < nNotifiers && i < _this->mRenderNotifiers.GetSize(); ++i) {
    const AURenderCallbackStruct notifier = *_this->mRenderNotifiers.Get(i);
    AudioUnitRenderActionFlags flags = kAudioUnitRenderAction_PostRender;
    notifier.inputProc(notifier.inputProcRefCon, &flags, pTimestamp, outputBusIdx, nFrames,
                       pBufferList);
  }
  return noErr;
}

void IPluginAU::ProcessSlice(int nFrames) {
  const int nEvents = TakeScheduledEvents(nFrames);
  const int nIn = NInChannels(), nOut = NOutChannels();
  // Re-attaches the slice's arrays from frame start on, for n frames.
  auto attach = [&](int start, int n) {
    for (int c = 0; c < nIn; ++c) {
      float* p = mSliceIn.Get()[c] ? mSliceIn.Get()[c] + start : nullptr;
      AttachInputBuffers(c, 1, &p, n);
    }
    for (int c = 0; c < nOut; ++c) {
      float* p = mSliceOut.Get()[c] ? mSliceOut.Get()[c] + start : nullptr;
      AttachOutputBuffers(c, 1, &p);
    }
  };
  bool split = false;
  mRenderer.Split(nFrames, mBlockEvents.Get(), nEvents, [&](int start, int n) {
    if (start > 0 || n < nFrames) {
      attach(start, n);
      split = true;
    }
    // The host's own code (pulls, notifications) keeps its mode.
    ScopedFlushDenormals flush;
    if (IsBypassed()) {
      PassThroughBuffers(0.0f, n);
    } else {
      ProcessBuffers(0.0f, n);
    }
  });
  // A later render for the same time on another bus finds the slice attached whole again.
  if (split) attach(0, nFrames);
}
