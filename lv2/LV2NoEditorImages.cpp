// The image cache of a plug-in whose editor loads no images (one drawn by the engine alone):
// the recipe links it when a plug-in names no LV2_RESOURCES.

#include "lv2/LV2Resources.h"

int LV2CacheEditorImages(const char*) { return 0; }

int LV2EditorImageCount() { return 0; }
