#pragma once
// The editor engine's public interface: engine, drawing records, controls, menus and timer.

#include "graphics/IBitmap.h"
#include "graphics/IChannelBlend.h"
#include "graphics/IColor.h"
#include "graphics/IControl.h"
#include "graphics/IGraphics.h"
#include "graphics/IMouseMod.h"
#include "graphics/IRECT.h"
#include "graphics/IText.h"
