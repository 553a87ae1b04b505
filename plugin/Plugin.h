#pragma once
// What a plug-in's sources include: the framework, the editor engine and stock controls, the
// wrapper of the format being built and the platform-neutral editor maker.

#include "framework/Framework.h"
#include "graphics/Graphics.h"
#include "plugin/EditorGraphics.h"
#include "plugin/IPluginWrapper.h"
