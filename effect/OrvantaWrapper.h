#pragma once
// The host wrapper the effect derives from: the Audio Unit wrapper.

#include "au/AU.h"

using OrvantaWrapper = IPluginAU;
