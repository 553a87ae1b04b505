#pragma once
// The editor engine of the platform a binary is built for, made without naming it.

class IGraphics;
class IPluginBase;

// [host] A new engine for pPlug's editor of w x h pixels (fps 0: the engine's default rate),
// finding its images by name in the bundle with the identifier bundleID; the plug-in hands it
// to AttachGraphics. Null in a binary that carries no editor (an LV2 audio library), where
// the plug-in builds none: the recipe links the maker that fits each binary, and in one
// without an editor no windowing, font or image code is linked.
IGraphics* MakeEditorGraphics(IPluginBase* pPlug, const char* bundleID, int w, int h, int fps = 0);
