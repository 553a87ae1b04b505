#pragma once
// Music device selectors and the calls a host makes to instruments.

#include <AudioUnit/AUComponent.h>

CF_EXTERN_C_BEGIN

typedef UInt32 MusicDeviceInstrumentID;
typedef UInt32 MusicDeviceGroupID;
typedef UInt32 NoteInstanceID;
typedef AudioComponentInstance MusicDeviceComponent;

struct NoteParamsControlValue {
  AudioUnitParameterID mID;
  AudioUnitParameterValue mValue;
};
typedef struct NoteParamsControlValue NoteParamsControlValue;

// Variable length: mArgCount - 2 controls follow pitch and velocity.
struct MusicDeviceNoteParams {
  UInt32 argCount;
  Float32 mPitch;
  Float32 mVelocity;
  NoteParamsControlValue mControls[1];
};
typedef struct MusicDeviceNoteParams MusicDeviceNoteParams;

enum {
  kMusicDeviceRange = 0x0100,
  kMusicDeviceMIDIEventSelect = 0x0101,
  kMusicDeviceSysExSelect = 0x0102,
  kMusicDevicePrepareInstrumentSelect = 0x0103,
  kMusicDeviceReleaseInstrumentSelect = 0x0104,
  kMusicDeviceStartNoteSelect = 0x0105,
  kMusicDeviceStopNoteSelect = 0x0106
};

CF_EXPORT OSStatus MusicDeviceMIDIEvent(MusicDeviceComponent inUnit, UInt32 inStatus,
                                        UInt32 inData1, UInt32 inData2, UInt32 inOffsetSampleFrame);
CF_EXPORT OSStatus MusicDeviceSysEx(MusicDeviceComponent inUnit, const UInt8* inData,
                                    UInt32 inLength);
CF_EXPORT OSStatus MusicDevicePrepareInstrument(MusicDeviceComponent inUnit,
                                                MusicDeviceInstrumentID inInstrument);
CF_EXPORT OSStatus MusicDeviceReleaseInstrument(MusicDeviceComponent inUnit,
                                                MusicDeviceInstrumentID inInstrument);
CF_EXPORT OSStatus MusicDeviceStartNote(MusicDeviceComponent inUnit,
                                        MusicDeviceInstrumentID inInstrument,
                                        MusicDeviceGroupID inGroupID,
                                        NoteInstanceID* outNoteInstanceID,
                                        UInt32 inOffsetSampleFrame,
                                        const MusicDeviceNoteParams* inParams);
CF_EXPORT OSStatus MusicDeviceStopNote(MusicDeviceComponent inUnit, MusicDeviceGroupID inGroupID,
                                       NoteInstanceID inNoteInstanceID, UInt32 inOffsetSampleFrame);

CF_EXTERN_C_END
