#pragma once
// One open Audio Unit, driven through the Component Manager exactly as a host's calls arrive.
// Every call returns the unit's status; nothing here keeps state the unit does not report.

#include <AudioToolbox/AudioToolbox.h>
#include <AudioUnit/AudioUnit.h>

#include <memory>
#include <string>

#include "host/HostComponent.h"
#include "host/HostError.h"

class HostUnit {
 public:
  // Null with *error filled in when the component refuses to open.
  static std::unique_ptr<HostUnit> Open(const HostComponent& component, HostError* error);
  ~HostUnit();  // closes the unit if it is still open
  HostUnit(const HostUnit&) = delete;
  HostUnit& operator=(const HostUnit&) = delete;

  AudioUnit Unit() const { return mUnit; }
  // The instance storage the unit registered (for the fast-dispatch procedures).
  void* Storage() const;
  OSStatus Close();

  // Initialize also looks up the fast render procedure, so that FastRender needs no call that
  // takes the unit's lock.
  OSStatus Initialize();
  OSStatus Uninitialize();
  OSStatus Reset() { return AudioUnitReset(mUnit, kAudioUnitScope_Global, 0); }
  // CanDo and version.
  long CanDo(SInt16 selector) const { return ComponentFunctionImplemented(mUnit, selector); }
  long Version() const { return GetComponentVersion(mUnit); }

  // Properties. GetProperty passes sizeof(T) as the size and checks nothing else.
  OSStatus GetPropertyInfo(AudioUnitPropertyID id, AudioUnitScope scope, AudioUnitElement element,
                           UInt32* size, bool* writable) const;
  template <typename T>
  OSStatus GetProperty(AudioUnitPropertyID id, AudioUnitScope scope, AudioUnitElement element,
                       T* value) const {
    UInt32 size = sizeof(T);
    return AudioUnitGetProperty(mUnit, id, scope, element, value, &size);
  }
  template <typename T>
  OSStatus SetProperty(AudioUnitPropertyID id, AudioUnitScope scope, AudioUnitElement element,
                       const T& value) {
    return AudioUnitSetProperty(mUnit, id, scope, element, &value, sizeof(T));
  }

  OSStatus GetParameter(AudioUnitParameterID id, AudioUnitParameterValue* value) const {
    return AudioUnitGetParameter(mUnit, id, kAudioUnitScope_Global, 0, value);
  }
  OSStatus SetParameter(AudioUnitParameterID id, AudioUnitParameterValue value) {
    return AudioUnitSetParameter(mUnit, id, kAudioUnitScope_Global, 0, value, 0);
  }

  // Set-up a host makes before rendering.
  OSStatus SetSampleRate(Float64 rate);
  OSStatus SetMaximumFramesPerSlice(UInt32 frames);
  // The canonical non-interleaved 32-bit float format.
  OSStatus SetStreamFormat(AudioUnitScope scope, AudioUnitElement bus, UInt32 channels,
                           Float64 sampleRate = 44100.0);
  OSStatus SetRenderCallback(AudioUnitElement inputBus, AURenderCallback proc, void* refCon);
  // Feeds the input bus from an output bus of another unit (MakeConnection).
  OSStatus ConnectInput(AudioUnitElement inputBus, const HostUnit& source,
                        AudioUnitElement sourceBus);
  OSStatus DisconnectInput(AudioUnitElement inputBus);

  // Renders one slice into the host's buffer list. The time stamp carries the sample time.
  OSStatus Render(AudioUnitElement outputBus, Float64 sampleTime, UInt32 frames,
                  AudioBufferList* buffers, AudioUnitRenderActionFlags* flags = nullptr);
  // The same through the fast-dispatch render procedure found at Initialize: no Component
  // Manager call, no lock, no allocation. Fails with kAudioUnitErr_Uninitialized before
  // Initialize and with kAudioUnitErr_InvalidProperty when the unit offers none.
  OSStatus FastRender(AudioUnitElement outputBus, Float64 sampleTime, UInt32 frames,
                      AudioBufferList* buffers);
  AudioUnitRenderProc FastRenderProc() const;
  AudioUnitGetParameterProc FastGetParameterProc() const;
  AudioUnitSetParameterProc FastSetParameterProc() const;

  // Saved state and presets.
  OSStatus GetClassInfo(CFPropertyListRef* classInfo) const;  // the caller releases it
  OSStatus SetClassInfo(CFPropertyListRef classInfo);
  OSStatus GetFactoryPresets(CFArrayRef* presets) const;  // the caller releases it
  OSStatus GetPresentPreset(AUPreset* preset) const;      // the caller releases the name
  OSStatus SetPresentPreset(SInt32 number);
  // Writes the ClassInfo dictionary as an .aupreset file / restores the unit from one.
  OSStatus SavePresetFile(const std::string& path, HostError* error = nullptr) const;
  OSStatus LoadPresetFile(const std::string& path, HostError* error = nullptr);

  // Host identity and the callbacks the unit may call while rendering.
  OSStatus SetHostIdentifier(const char* name, UInt8 major, UInt8 minor, UInt8 bugfix);
  OSStatus SetHostCallbacks(const HostCallbackInfo& callbacks);

 private:
  explicit HostUnit(AudioUnit unit) : mUnit(unit) {}
  template <typename Proc>
  Proc FastProc(AudioUnitElement selector) const {
    Proc proc = nullptr;
    return GetProperty(kAudioUnitProperty_FastDispatch, kAudioUnitScope_Global, selector, &proc) ==
                   noErr
               ? proc
               : nullptr;
  }

  AudioUnit mUnit;
  bool mInitialized = false;
  AudioUnitRenderProc mFastRender = nullptr;
  void* mFastRenderStorage = nullptr;
};

// The canonical non-interleaved float format for a channel count.
AudioStreamBasicDescription HostCanonicalFormat(UInt32 channels, Float64 sampleRate);
// A time stamp carrying only a valid sample time.
AudioTimeStamp HostSampleTime(Float64 sampleTime);
