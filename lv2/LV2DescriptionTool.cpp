// Build-time tool: writes the bundle's Turtle files from an instance of the plug-in.
// Usage: orvanta_lv2_ttl <bundle folder> <folder of the editor images>

#include <cstdio>
#include <memory>

#include "lv2/IPluginLV2.h"
#include "lv2/LV2Description.h"
#include "lv2/LV2Resources.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s <bundle folder> <image folder>\n", argv[0]);
    return 2;
  }
  LV2CacheEditorImages(argv[2]);
  std::unique_ptr<IPluginLV2> plug(MakePlug());
  if (!plug || !WriteLV2Description(plug.get(), argv[1])) {
    std::fprintf(stderr, "%s: cannot write the description into %s\n", argv[0], argv[1]);
    return 1;
  }
  return 0;
}
