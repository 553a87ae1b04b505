#pragma once
// What the Audio Unit tests need of a host: the built Orvanta bundle loaded and registered,
// units opened through its exported entry, and small helpers for formats, buffers and the
// effect's expected arithmetic.

#include <AudioToolbox/AudioToolbox.h>
#include <AudioUnit/AudioUnit.h>
#include <CoreFoundation/CoreFoundation.h>
#include <CoreServices/CoreServices.h>

#include <memory>
#include <string>
#include <vector>

#include "host/Host.h"

namespace autest {

// The Orvanta bundle loaded by the host library (once per process), or null with a message.
const HostComponent* OrvantaBundle(std::string* pError = nullptr);
// Its registered component, or null with a message.
Component OrvantaComponent(std::string* pError = nullptr);
// The entry routine the component was registered with, for tests that call it with raw
// records or wrap it in a component of their own; null if the bundle did not load.
ComponentRoutineUPP OrvantaEntry();
const char* BundlePath();
// The plug-in binary inside the bundle.
std::string PluginPath();
// A path in the temporary folder that no other test process uses at the same time.
std::string TempPath(const char* name);

// One open unit, closed when it goes out of scope.
class Unit {
 public:
  Unit();
  ~Unit();
  Unit(const Unit&) = delete;
  Unit& operator=(const Unit&) = delete;

  AudioUnit Get() const { return mHost ? mHost->Unit() : nullptr; }
  operator AudioUnit() const { return Get(); }
  HostUnit& Host() { return *mHost; }
  // The plug-in object the unit registered as its instance storage.
  void* Storage() const { return mHost ? mHost->Storage() : nullptr; }

 private:
  std::unique_ptr<HostUnit> mHost;
};

// Canonical non-interleaved float format with the given channel count.
AudioStreamBasicDescription Format(UInt32 channels, double sampleRate = 44100.0);
OSStatus SetFormat(AudioUnit unit, AudioUnitScope scope, AudioUnitElement bus, UInt32 channels);
OSStatus SetMaxFrames(AudioUnit unit, UInt32 frames);
OSStatus SetParam(AudioUnit unit, AudioUnitParameterID id, float value);
float GetParam(AudioUnit unit, AudioUnitParameterID id);
OSStatus SelectPreset(AudioUnit unit, SInt32 number);

// A non-interleaved buffer list owning its channel memory (or handing out null pointers).
class Buffers {
 public:
  Buffers(UInt32 nChannels, UInt32 nFrames, bool withMemory = true);
  AudioBufferList* List() { return reinterpret_cast<AudioBufferList*>(mStorage.data()); }
  float* Channel(UInt32 ch) { return static_cast<float*>(List()->mBuffers[ch].mData); }
  UInt32 Frames() const { return mFrames; }

 private:
  std::vector<unsigned char> mStorage;
  std::vector<std::vector<float>> mMemory;
  UInt32 mFrames;
};

AudioTimeStamp TimeAt(double sampleTime);

// A deterministic stereo test signal: channel ch, frame i.
float Signal(int ch, UInt32 i, double sampleTime = 0.0);

// Render callback that writes Signal() into the buffers it is given and counts its calls.
struct SignalSource {
  int calls = 0;
  UInt32 lastBus = 0;
  static OSStatus Proc(void* refCon, AudioUnitRenderActionFlags* flags, const AudioTimeStamp* ts,
                       UInt32 bus, UInt32 nFrames, AudioBufferList* ioData);
  OSStatus Attach(AudioUnit unit, AudioUnitElement bus = 0);
};

// What the effect makes of one stereo frame for parameter values in dB.
void ExpectedFrame(double gainDb, double monoDb, double stereoDb, float l, float r, float* pOut0,
                   float* pOut1);

}  // namespace autest
