// The editor maker of a binary without an editor: references nothing of the editor engine's
// platform, so that none of it is linked.

#include "plugin/EditorGraphics.h"

IGraphics* MakeEditorGraphics(IPluginBase*, const char*, int, int, int) { return nullptr; }
