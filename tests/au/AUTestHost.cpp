#include "au/AUTestHost.h"

#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace autest {

const char* BundlePath() { return ORVANTA_BUNDLE_PATH; }

std::string PluginPath() {
  const HostComponent* bundle = OrvantaBundle();
  return bundle ? bundle->ExecutablePath() : std::string();
}

const HostComponent* OrvantaBundle(std::string* pError) {
  static HostError error;
  // Kept loaded for the life of the process, as hosts keep their plug-ins.
  static const HostComponent* bundle = HostComponent::Load(BundlePath(), &error).release();
  if (pError) *pError = error.message;
  return bundle;
}

std::string TempPath(const char* name) { return "/tmp/" + std::to_string(getpid()) + "-" + name; }

Component OrvantaComponent(std::string* pError) {
  const HostComponent* bundle = OrvantaBundle(pError);
  return bundle ? bundle->GetComponent() : nullptr;
}

ComponentRoutineUPP OrvantaEntry() {
  const HostComponent* bundle = OrvantaBundle();
  return bundle ? bundle->EntryRoutine() : nullptr;
}

Unit::Unit() {
  if (const HostComponent* bundle = OrvantaBundle()) mHost = HostUnit::Open(*bundle, nullptr);
}

Unit::~Unit() = default;

AudioStreamBasicDescription Format(UInt32 channels, double sampleRate) {
  return HostCanonicalFormat(channels, sampleRate);
}

OSStatus SetFormat(AudioUnit unit, AudioUnitScope scope, AudioUnitElement bus, UInt32 channels) {
  AudioStreamBasicDescription f = Format(channels);
  return AudioUnitSetProperty(unit, kAudioUnitProperty_StreamFormat, scope, bus, &f, sizeof(f));
}

OSStatus SetMaxFrames(AudioUnit unit, UInt32 frames) {
  return AudioUnitSetProperty(unit, kAudioUnitProperty_MaximumFramesPerSlice,
                              kAudioUnitScope_Global, 0, &frames, sizeof(frames));
}

OSStatus SetParam(AudioUnit unit, AudioUnitParameterID id, float value) {
  return AudioUnitSetParameter(unit, id, kAudioUnitScope_Global, 0, value, 0);
}

float GetParam(AudioUnit unit, AudioUnitParameterID id) {
  AudioUnitParameterValue value = -12345.0f;
  AudioUnitGetParameter(unit, id, kAudioUnitScope_Global, 0, &value);
  return value;
}

OSStatus SelectPreset(AudioUnit unit, SInt32 number) {
  AUPreset preset = {number, nullptr};
  return AudioUnitSetProperty(unit, kAudioUnitProperty_PresentPreset, kAudioUnitScope_Global, 0,
                              &preset, sizeof(preset));
}

Buffers::Buffers(UInt32 nChannels, UInt32 nFrames, bool withMemory) : mFrames(nFrames) {
  mStorage.resize(offsetof(AudioBufferList, mBuffers) +
                  std::max<UInt32>(nChannels, 1) * sizeof(AudioBuffer));
  AudioBufferList* list = List();
  list->mNumberBuffers = nChannels;
  mMemory.resize(nChannels);
  for (UInt32 ch = 0; ch < nChannels; ++ch) {
    if (withMemory) mMemory[ch].assign(nFrames, -7.0f);
    list->mBuffers[ch].mNumberChannels = 1;
    list->mBuffers[ch].mDataByteSize = withMemory ? nFrames * sizeof(float) : 0;
    list->mBuffers[ch].mData = withMemory ? mMemory[ch].data() : nullptr;
  }
}

AudioTimeStamp TimeAt(double sampleTime) { return HostSampleTime(sampleTime); }

float Signal(int ch, UInt32 i, double sampleTime) {
  const double t = sampleTime + i;
  return ch == 0 ? (float)(0.5 * std::sin(0.05 * t)) : (float)(0.3 * std::cos(0.031 * t) - 0.1);
}

OSStatus SignalSource::Proc(void* refCon, AudioUnitRenderActionFlags*, const AudioTimeStamp* ts,
                            UInt32 bus, UInt32 nFrames, AudioBufferList* ioData) {
  SignalSource* self = static_cast<SignalSource*>(refCon);
  ++self->calls;
  self->lastBus = bus;
  for (UInt32 ch = 0; ch < ioData->mNumberBuffers; ++ch) {
    float* data = static_cast<float*>(ioData->mBuffers[ch].mData);
    if (!data) continue;
    for (UInt32 i = 0; i < nFrames; ++i) data[i] = Signal((int)ch, i, ts->mSampleTime);
  }
  return noErr;
}

OSStatus SignalSource::Attach(AudioUnit unit, AudioUnitElement bus) {
  AURenderCallbackStruct cb = {Proc, this};
  return AudioUnitSetProperty(unit, kAudioUnitProperty_SetRenderCallback, kAudioUnitScope_Input,
                              bus, &cb, sizeof(cb));
}

void ExpectedFrame(double gainDb, double monoDb, double stereoDb, float l, float r, float* pOut0,
                   float* pOut1) {
  auto gain = [](double db) { return db > -93.0 ? std::pow(10.0, db / 20.0) : 0.0; };
  const double mid = ((double)l + (double)r) * 0.5 * gain(monoDb);
  const double side = ((double)l - (double)r) * 0.5 * gain(stereoDb);
  *pOut0 = (float)((mid + side) * gain(gainDb));
  *pOut1 = (float)((mid - side) * gain(gainDb));
}

}  // namespace autest
