#pragma once
// Audio Unit interface for Linux.

#include <AudioUnit/AUComponent.h>
#include <AudioUnit/AudioUnitCarbonView.h>
#include <AudioUnit/AudioUnitProperties.h>
#include <AudioUnit/MusicDevice.h>
#include <CoreAudio/CoreAudioTypes.h>
