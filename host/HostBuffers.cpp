#include "host/HostBuffers.h"

#include <cstddef>

HostBuffers::HostBuffers(UInt32 channels, UInt32 frames, bool withMemory)
    : mChannels(channels),
      mFrames(frames),
      mWithMemory(withMemory),
      mList(offsetof(AudioBufferList, mBuffers) + sizeof(AudioBuffer) * (channels ? channels : 1)),
      mSamples(withMemory ? size_t(channels) * frames : 0) {
  Reset();
}

void HostBuffers::Reset() {
  AudioBufferList* list = List();
  list->mNumberBuffers = mChannels;
  for (UInt32 ch = 0; ch < mChannels; ++ch) {
    list->mBuffers[ch].mNumberChannels = 1;
    list->mBuffers[ch].mDataByteSize = mFrames * sizeof(float);
    list->mBuffers[ch].mData = mWithMemory ? mSamples.data() + size_t(ch) * mFrames : nullptr;
  }
}
