// Build-time tool: writes the bundle's Turtle files from an instance of the plug-in.
// Usage: orvanta_lv2_ttl <bundle folder> <folder of the editor images>

#include <cstdio>
#include <memory>

#include "graphics/EditorResourceFolder.h"
#include "lv2/IPluginLV2.h"
#include "lv2/LV2Description.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s <bundle folder> <image folder>\n", argv[0]);
    return 2;
  }
  // The instance builds its editor (the description asks whether there is one): its images
  // are found there instead of being reported missing.
  SetEditorResourceFolder(argv[2]);
  std::unique_ptr<IPluginLV2> plug(MakePlug());
  if (!plug || !WriteLV2Description(plug.get(), argv[1])) {
    std::fprintf(stderr, "%s: cannot write the description into %s\n", argv[0], argv[1]);
    return 1;
  }
  return 0;
}
