#pragma once
// The host wrapper the effect derives from: the one of the format it is compiled for.

#include "plugin/IPluginWrapper.h"

using OrvantaWrapper = IPluginWrapper;
