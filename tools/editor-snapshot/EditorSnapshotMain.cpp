// editor_snapshot <bundle> <folder>: draws the editor without a window at default values and
// at each factory preset, with the images of the given component bundle, into PNG files.

#include <cstdio>
#include <memory>
#include <string>

#include "effect/Orvanta.h"
#include "tools/editor-snapshot/EditorSnapshot.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s <Orvanta.component> <output folder>\n", argv[0]);
    return 2;
  }
  if (!editor_snapshot::UseBundle(argv[1])) {
    std::fprintf(stderr, "%s is not a bundle\n", argv[1]);
    return 1;
  }
  std::unique_ptr<OrvantaWrapper> plug(MakePlug());
  Orvanta& effect = static_cast<Orvanta&>(*plug);
  int failures = 0;
  for (const editor_snapshot::View& view : editor_snapshot::Views(effect)) {
    std::string path = std::string(argv[2]) + "/" + view.name + ".png";
    if (editor_snapshot::DrawView(effect, view) &&
        editor_snapshot::WriteEditorPng(effect, path.c_str())) {
      std::printf("wrote %s\n", path.c_str());
    } else {
      std::fprintf(stderr, "could not draw or write %s\n", path.c_str());
      ++failures;
    }
  }
  return failures ? 1 : 0;
}
