#pragma once
// The editor engine of the platform a binary is built for, made without naming it.

class IGraphics;
class IPluginBase;

// The recipe defines ORVANTA_EDITOR as 0 for a binary that carries no editor (an LV2 audio
// library); every other binary has one.
#if !defined(ORVANTA_EDITOR)
#define ORVANTA_EDITOR 1
#endif

// Whether this binary has an editor. What only the editor needs (building it, filling its
// readouts) goes under `if constexpr (kHasEditor)`: then none of the editor engine, its fonts
// and images is linked into a binary without one.
inline constexpr bool kHasEditor = ORVANTA_EDITOR != 0;

#if ORVANTA_EDITOR
// [host] A new engine for pPlug's editor of w x h pixels (fps 0: the engine's default rate),
// finding its images by name in the bundle with the identifier bundleID; the plug-in hands it
// to AttachGraphics.
IGraphics* MakeEditorGraphics(IPluginBase* pPlug, const char* bundleID, int w, int h, int fps = 0);
#else
inline IGraphics* MakeEditorGraphics(IPluginBase*, const char*, int, int, int = 0) {
  return nullptr;
}
#endif
