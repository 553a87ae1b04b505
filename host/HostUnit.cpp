#include "host/HostUnit.h"

#include "host/AUPresetFile.h"

std::unique_ptr<HostUnit> HostUnit::Open(const HostComponent& component, HostError* error) {
  AudioUnit unit = nullptr;
  OSErr result = OpenAComponent(component.GetComponent(), &unit);
  if (result != noErr || !unit) {
    if (error)
      error->Set(result ? OSStatus(result) : OSStatus(kHostErr_NotRegistered),
                 "the component " + component.Name() + " refused to open (status " +
                     std::to_string(result) + ")");
    return nullptr;
  }
  return std::unique_ptr<HostUnit>(new HostUnit(unit));
}

HostUnit::~HostUnit() { Close(); }

OSStatus HostUnit::Close() {
  if (!mUnit) return noErr;
  OSStatus result = CloseComponent(mUnit);
  mUnit = nullptr;
  mInitialized = false;
  mFastRender = nullptr;
  return result;
}

OSStatus HostUnit::Initialize() {
  const OSStatus result = AudioUnitInitialize(mUnit);
  mInitialized = result == noErr;
  mFastRender = mInitialized ? FastRenderProc() : nullptr;
  mFastRenderStorage = Storage();
  return result;
}

OSStatus HostUnit::Uninitialize() {
  mInitialized = false;
  mFastRender = nullptr;
  return AudioUnitUninitialize(mUnit);
}

void* HostUnit::Storage() const { return mUnit ? GetComponentInstanceStorage(mUnit) : nullptr; }

OSStatus HostUnit::GetPropertyInfo(AudioUnitPropertyID id, AudioUnitScope scope,
                                   AudioUnitElement element, UInt32* size, bool* writable) const {
  UInt32 s = 0;
  Boolean w = false;
  OSStatus result = AudioUnitGetPropertyInfo(mUnit, id, scope, element, &s, &w);
  if (size) *size = s;
  if (writable) *writable = w;
  return result;
}

AudioStreamBasicDescription HostCanonicalFormat(UInt32 channels, Float64 sampleRate) {
  AudioStreamBasicDescription f = {};
  f.mSampleRate = sampleRate;
  f.mFormatID = kAudioFormatLinearPCM;
  f.mFormatFlags = kAudioFormatFlagsAudioUnitCanonical;
  f.mBytesPerPacket = 4;
  f.mFramesPerPacket = 1;
  f.mBytesPerFrame = 4;
  f.mChannelsPerFrame = channels;
  f.mBitsPerChannel = 32;
  return f;
}

AudioTimeStamp HostSampleTime(Float64 sampleTime) {
  AudioTimeStamp ts = {};
  ts.mSampleTime = sampleTime;
  ts.mFlags = kAudioTimeStampSampleTimeValid;
  return ts;
}

OSStatus HostUnit::SetSampleRate(Float64 rate) {
  return SetProperty(kAudioUnitProperty_SampleRate, kAudioUnitScope_Global, 0, rate);
}

OSStatus HostUnit::SetMaximumFramesPerSlice(UInt32 frames) {
  return SetProperty(kAudioUnitProperty_MaximumFramesPerSlice, kAudioUnitScope_Global, 0, frames);
}

OSStatus HostUnit::SetStreamFormat(AudioUnitScope scope, AudioUnitElement bus, UInt32 channels,
                                   Float64 sampleRate) {
  return SetProperty(kAudioUnitProperty_StreamFormat, scope, bus,
                     HostCanonicalFormat(channels, sampleRate));
}

OSStatus HostUnit::SetRenderCallback(AudioUnitElement inputBus, AURenderCallback proc,
                                     void* refCon) {
  AURenderCallbackStruct callback = {proc, refCon};
  return SetProperty(kAudioUnitProperty_SetRenderCallback, kAudioUnitScope_Input, inputBus,
                     callback);
}

OSStatus HostUnit::ConnectInput(AudioUnitElement inputBus, const HostUnit& source,
                                AudioUnitElement sourceBus) {
  AudioUnitConnection connection = {source.Unit(), sourceBus, inputBus};
  return SetProperty(kAudioUnitProperty_MakeConnection, kAudioUnitScope_Input, inputBus,
                     connection);
}

OSStatus HostUnit::DisconnectInput(AudioUnitElement inputBus) {
  AudioUnitConnection connection = {nullptr, 0, inputBus};
  return SetProperty(kAudioUnitProperty_MakeConnection, kAudioUnitScope_Input, inputBus,
                     connection);
}

OSStatus HostUnit::Render(AudioUnitElement outputBus, Float64 sampleTime, UInt32 frames,
                          AudioBufferList* buffers, AudioUnitRenderActionFlags* flags) {
  AudioUnitRenderActionFlags local = 0;
  AudioTimeStamp ts = HostSampleTime(sampleTime);
  return AudioUnitRender(mUnit, flags ? flags : &local, &ts, outputBus, frames, buffers);
}

AudioUnitRenderProc HostUnit::FastRenderProc() const {
  return FastProc<AudioUnitRenderProc>(kAudioUnitRenderSelect);
}

AudioUnitGetParameterProc HostUnit::FastGetParameterProc() const {
  return FastProc<AudioUnitGetParameterProc>(kAudioUnitGetParameterSelect);
}

AudioUnitSetParameterProc HostUnit::FastSetParameterProc() const {
  return FastProc<AudioUnitSetParameterProc>(kAudioUnitSetParameterSelect);
}

OSStatus HostUnit::FastRender(AudioUnitElement outputBus, Float64 sampleTime, UInt32 frames,
                              AudioBufferList* buffers) {
  if (!mFastRender)
    return mInitialized ? kAudioUnitErr_InvalidProperty : kAudioUnitErr_Uninitialized;
  AudioUnitRenderActionFlags flags = 0;
  AudioTimeStamp ts = HostSampleTime(sampleTime);
  return mFastRender(mFastRenderStorage, &flags, &ts, outputBus, frames, buffers);
}

OSStatus HostUnit::GetClassInfo(CFPropertyListRef* classInfo) const {
  return GetProperty(kAudioUnitProperty_ClassInfo, kAudioUnitScope_Global, 0, classInfo);
}

OSStatus HostUnit::SetClassInfo(CFPropertyListRef classInfo) {
  return SetProperty(kAudioUnitProperty_ClassInfo, kAudioUnitScope_Global, 0, classInfo);
}

OSStatus HostUnit::GetFactoryPresets(CFArrayRef* presets) const {
  return GetProperty(kAudioUnitProperty_FactoryPresets, kAudioUnitScope_Global, 0, presets);
}

OSStatus HostUnit::GetPresentPreset(AUPreset* preset) const {
  return GetProperty(kAudioUnitProperty_PresentPreset, kAudioUnitScope_Global, 0, preset);
}

OSStatus HostUnit::SetPresentPreset(SInt32 number) {
  AUPreset preset = {number, nullptr};
  return SetProperty(kAudioUnitProperty_PresentPreset, kAudioUnitScope_Global, 0, preset);
}

OSStatus HostUnit::SavePresetFile(const std::string& path, HostError* error) const {
  HostError local;
  HostError& err = error ? *error : local;
  CFPropertyListRef classInfo = nullptr;
  OSStatus result = GetClassInfo(&classInfo);
  if (result != noErr)
    return err.Set(result, "the unit gave no ClassInfo (status " + std::to_string(result) + ")");
  bool written = WriteAUPresetFile(path, classInfo, kCFPropertyListXMLFormat_v1_0, &err);
  CFRelease(classInfo);
  return written ? noErr : err.status;
}

OSStatus HostUnit::LoadPresetFile(const std::string& path, HostError* error) {
  HostError local;
  HostError& err = error ? *error : local;
  CFPropertyListRef classInfo = ReadAUPresetFile(path, &err);
  if (!classInfo) return err.status;
  OSStatus result = SetClassInfo(classInfo);
  CFRelease(classInfo);
  if (result != noErr)
    err.Set(result,
            "the unit refused the state in " + path + " (status " + std::to_string(result) + ")");
  return result;
}

OSStatus HostUnit::SetHostIdentifier(const char* name, UInt8 major, UInt8 minor, UInt8 bugfix) {
  AUHostIdentifier id = {};
  id.hostName = CFStringCreateWithCString(nullptr, name ? name : "", kCFStringEncodingUTF8);
  id.hostVersion.majorRev = major;
  id.hostVersion.minorAndBugRev = static_cast<UInt8>(((minor & 15) << 4) | (bugfix & 15));
  OSStatus result = SetProperty(kAudioUnitProperty_AUHostIdentifier, kAudioUnitScope_Global, 0, id);
  CFRelease(id.hostName);
  return result;
}

OSStatus HostUnit::SetHostCallbacks(const HostCallbackInfo& callbacks) {
  return SetProperty(kAudioUnitProperty_HostCallbacks, kAudioUnitScope_Global, 0, callbacks);
}
