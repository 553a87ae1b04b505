// The host side of the Audio Unit, music device and Carbon view calls: each packs its
// arguments in call order and calls the unit's entry.

#include <AudioUnit/AudioUnit.h>

#include "ComponentDispatch.h"

OSStatus AudioUnitInitialize(AudioUnit inUnit) {
  return DispatchToComponent(inUnit, kAudioUnitInitializeSelect, {});
}

OSStatus AudioUnitUninitialize(AudioUnit inUnit) {
  return DispatchToComponent(inUnit, kAudioUnitUninitializeSelect, {});
}

OSStatus AudioUnitGetPropertyInfo(AudioUnit inUnit, AudioUnitPropertyID inID,
                                  AudioUnitScope inScope, AudioUnitElement inElement,
                                  UInt32* outDataSize, Boolean* outWritable) {
  return DispatchToComponent(
      inUnit, kAudioUnitGetPropertyInfoSelect,
      {Slot(inID), Slot(inScope), Slot(inElement), Slot(outDataSize), Slot(outWritable)});
}

OSStatus AudioUnitGetProperty(AudioUnit inUnit, AudioUnitPropertyID inID, AudioUnitScope inScope,
                              AudioUnitElement inElement, void* outData, UInt32* ioDataSize) {
  return DispatchToComponent(
      inUnit, kAudioUnitGetPropertySelect,
      {Slot(inID), Slot(inScope), Slot(inElement), Slot(outData), Slot(ioDataSize)});
}

OSStatus AudioUnitSetProperty(AudioUnit inUnit, AudioUnitPropertyID inID, AudioUnitScope inScope,
                              AudioUnitElement inElement, const void* inData, UInt32 inDataSize) {
  return DispatchToComponent(
      inUnit, kAudioUnitSetPropertySelect,
      {Slot(inID), Slot(inScope), Slot(inElement), Slot(inData), Slot(inDataSize)});
}

OSStatus AudioUnitAddPropertyListener(AudioUnit inUnit, AudioUnitPropertyID inID,
                                      AudioUnitPropertyListenerProc inProc, void* inProcUserData) {
  return DispatchToComponent(inUnit, kAudioUnitAddPropertyListenerSelect,
                             {Slot(inID), Slot(inProc), Slot(inProcUserData)});
}

OSStatus AudioUnitRemovePropertyListener(AudioUnit inUnit, AudioUnitPropertyID inID,
                                         AudioUnitPropertyListenerProc inProc) {
  return DispatchToComponent(inUnit, kAudioUnitRemovePropertyListenerSelect,
                             {Slot(inID), Slot(inProc)});
}

OSStatus AudioUnitRemovePropertyListenerWithUserData(AudioUnit inUnit, AudioUnitPropertyID inID,
                                                     AudioUnitPropertyListenerProc inProc,
                                                     void* inProcUserData) {
  return DispatchToComponent(inUnit, kAudioUnitRemovePropertyListenerWithUserDataSelect,
                             {Slot(inID), Slot(inProc), Slot(inProcUserData)});
}

OSStatus AudioUnitAddRenderNotify(AudioUnit inUnit, AURenderCallback inProc, void* inProcUserData) {
  return DispatchToComponent(inUnit, kAudioUnitAddRenderNotifySelect,
                             {Slot(inProc), Slot(inProcUserData)});
}

OSStatus AudioUnitRemoveRenderNotify(AudioUnit inUnit, AURenderCallback inProc,
                                     void* inProcUserData) {
  return DispatchToComponent(inUnit, kAudioUnitRemoveRenderNotifySelect,
                             {Slot(inProc), Slot(inProcUserData)});
}

OSStatus AudioUnitGetParameter(AudioUnit inUnit, AudioUnitParameterID inID, AudioUnitScope inScope,
                               AudioUnitElement inElement, AudioUnitParameterValue* outValue) {
  return DispatchToComponent(inUnit, kAudioUnitGetParameterSelect,
                             {Slot(inID), Slot(inScope), Slot(inElement), Slot(outValue)});
}

OSStatus AudioUnitSetParameter(AudioUnit inUnit, AudioUnitParameterID inID, AudioUnitScope inScope,
                               AudioUnitElement inElement, AudioUnitParameterValue inValue,
                               UInt32 inBufferOffsetInFrames) {
  return DispatchToComponent(
      inUnit, kAudioUnitSetParameterSelect,
      {Slot(inID), Slot(inScope), Slot(inElement), Slot(inValue), Slot(inBufferOffsetInFrames)});
}

OSStatus AudioUnitScheduleParameters(AudioUnit inUnit,
                                     const AudioUnitParameterEvent* inParameterEvent,
                                     UInt32 inNumParamEvents) {
  return DispatchToComponent(inUnit, kAudioUnitScheduleParametersSelect,
                             {Slot(inParameterEvent), Slot(inNumParamEvents)});
}

OSStatus AudioUnitRender(AudioUnit inUnit, AudioUnitRenderActionFlags* ioActionFlags,
                         const AudioTimeStamp* inTimeStamp, UInt32 inOutputBusNumber,
                         UInt32 inNumberFrames, AudioBufferList* ioData) {
  return DispatchToComponent(inUnit, kAudioUnitRenderSelect,
                             {Slot(ioActionFlags), Slot(inTimeStamp), Slot(inOutputBusNumber),
                              Slot(inNumberFrames), Slot(ioData)});
}

OSStatus AudioUnitReset(AudioUnit inUnit, AudioUnitScope inScope, AudioUnitElement inElement) {
  return DispatchToComponent(inUnit, kAudioUnitResetSelect, {Slot(inScope), Slot(inElement)});
}

OSStatus MusicDeviceMIDIEvent(MusicDeviceComponent inUnit, UInt32 inStatus, UInt32 inData1,
                              UInt32 inData2, UInt32 inOffsetSampleFrame) {
  return DispatchToComponent(
      inUnit, kMusicDeviceMIDIEventSelect,
      {Slot(inStatus), Slot(inData1), Slot(inData2), Slot(inOffsetSampleFrame)});
}

OSStatus MusicDeviceSysEx(MusicDeviceComponent inUnit, const UInt8* inData, UInt32 inLength) {
  return DispatchToComponent(inUnit, kMusicDeviceSysExSelect, {Slot(inData), Slot(inLength)});
}

OSStatus MusicDevicePrepareInstrument(MusicDeviceComponent inUnit,
                                      MusicDeviceInstrumentID inInstrument) {
  return DispatchToComponent(inUnit, kMusicDevicePrepareInstrumentSelect, {Slot(inInstrument)});
}

OSStatus MusicDeviceReleaseInstrument(MusicDeviceComponent inUnit,
                                      MusicDeviceInstrumentID inInstrument) {
  return DispatchToComponent(inUnit, kMusicDeviceReleaseInstrumentSelect, {Slot(inInstrument)});
}

OSStatus MusicDeviceStartNote(MusicDeviceComponent inUnit, MusicDeviceInstrumentID inInstrument,
                              MusicDeviceGroupID inGroupID, NoteInstanceID* outNoteInstanceID,
                              UInt32 inOffsetSampleFrame, const MusicDeviceNoteParams* inParams) {
  return DispatchToComponent(inUnit, kMusicDeviceStartNoteSelect,
                             {Slot(inInstrument), Slot(inGroupID), Slot(outNoteInstanceID),
                              Slot(inOffsetSampleFrame), Slot(inParams)});
}

OSStatus MusicDeviceStopNote(MusicDeviceComponent inUnit, MusicDeviceGroupID inGroupID,
                             NoteInstanceID inNoteInstanceID, UInt32 inOffsetSampleFrame) {
  return DispatchToComponent(inUnit, kMusicDeviceStopNoteSelect,
                             {Slot(inGroupID), Slot(inNoteInstanceID), Slot(inOffsetSampleFrame)});
}

OSStatus AudioUnitCarbonViewCreate(AudioUnitCarbonView inView, AudioUnit inAudioUnit,
                                   WindowRef inWindow, ControlRef inParentControl,
                                   const Float32Point* inLocation, const Float32Point* inSize,
                                   ControlRef* outControl) {
  return DispatchToComponent(inView, kAudioUnitCarbonViewCreateSelect,
                             {Slot(inAudioUnit), Slot(inWindow), Slot(inParentControl),
                              Slot(inLocation), Slot(inSize), Slot(outControl)});
}
