// The editor maker of binaries with an editor on Linux: an X11 engine.

#include "platform/x11/IGraphicsLinux.h"
#include "plugin/EditorGraphics.h"

IGraphics* MakeEditorGraphics(IPluginBase* pPlug, const char* bundleID, int w, int h, int fps) {
  IGraphicsLinux* graphics = new IGraphicsLinux(pPlug, w, h, fps);
  if (bundleID) graphics->SetBundleID(bundleID);
  return graphics;
}
