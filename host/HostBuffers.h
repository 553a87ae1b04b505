#pragma once
// A non-interleaved AudioBufferList with one buffer per channel, owning its sample memory (or
// handing the unit null data pointers to fill in, as some hosts do).

#include <CoreAudio/CoreAudioTypes.h>

#include <vector>

class HostBuffers {
 public:
  HostBuffers(UInt32 channels, UInt32 frames, bool withMemory = true);

  AudioBufferList* List() { return reinterpret_cast<AudioBufferList*>(mList.data()); }
  UInt32 Channels() const { return mChannels; }
  UInt32 Frames() const { return mFrames; }
  // The channel's data as the list currently points to it (after a render, possibly the
  // unit's own memory).
  float* Channel(UInt32 ch) { return static_cast<float*>(List()->mBuffers[ch].mData); }
  // Points every buffer back at this object's memory (or null) and restores the byte sizes.
  void Reset();

 private:
  UInt32 mChannels, mFrames;
  bool mWithMemory;
  std::vector<unsigned char> mList;
  std::vector<float> mSamples;
};
