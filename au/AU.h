#pragma once
// The Audio Unit wrapper's public interface.

#include "au/CFAUPreset.h"
#include "au/IPluginAU.h"
#include "au/IPluginAUView.h"
