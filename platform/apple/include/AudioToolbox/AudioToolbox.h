#pragma once
// AudioToolbox subset for Linux: Audio Unit events and their listeners.

#include <AudioToolbox/AudioUnitUtilities.h>
#include <AudioUnit/AudioUnit.h>
