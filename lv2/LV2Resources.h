#pragma once
// The editor's images for the LV2 build. The effect's constructor builds the editor and loads
// its images by resource ID; an LV2 bundle is no Mac bundle that the editor could find by its
// identifier, so the images are loaded from the LV2 bundle folder into the process-wide image
// cache before an instance is made, and the editor finds them there.

// Loads every editor image not yet cached from bundlePath (with or without a trailing '/').
// Returns how many images are cached afterwards out of those the editor uses.
int LV2CacheEditorImages(const char* bundlePath);
// Number of images the editor uses.
int LV2EditorImageCount();
