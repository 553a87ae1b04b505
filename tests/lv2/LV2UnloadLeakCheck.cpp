// Loads a library of the built LV2 bundle as a host does, makes an instance, runs it, cleans
// up and unloads the library again, twice over, before exit. Run under LeakSanitizer: memory
// that the libraries keep only through their own statics (the Apple-service stand-ins travel
// in the bundle and are unloaded with the plug-in) becomes unreachable once they are unmapped
// and shows up as a leak, as it would pile up in a host that loads and unloads the plug-in many
// times. Without arguments the audio library is checked, with --ui the editor library, embedded
// in a window of this program's own. Exits non-zero when a step fails or a library of the
// bundle stays mapped (then there would be nothing to check), 77 when --ui finds no display.

#include <dlfcn.h>
#include <link.h>
#include <lv2/ui/ui.h>

#include <chrono>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "lv2/LV2HostWindow.h"
#include "lv2/LV2TestHost.h"

namespace {

constexpr int kSkipped = 77;
constexpr uint32_t kFrames = 256;
constexpr uint32_t kGainPort = 0;
constexpr int kIdleCalls = 20;

bool Fail(const std::string& what) {
  fprintf(stderr, "%s\n", what.c_str());
  return false;
}

std::string LastLoaderError() {
  const char* error = dlerror();
  return error ? error : "no descriptor";
}

std::string RealPath(const std::string& path) {
  char resolved[PATH_MAX];
  return realpath(path.c_str(), resolved) ? resolved : path;
}

// The first loaded object that lies in the bundle's folder; empty when there is none.
std::string MappedFromBundle() {
  struct Search {
    std::string bundle;
    std::string found;
  } search{RealPath(LV2BundlePath()), ""};
  dl_iterate_phdr(
      [](dl_phdr_info* info, size_t, void* data) {
        auto* s = static_cast<Search*>(data);
        if (!info->dlpi_name || !*info->dlpi_name) return 0;
        std::string path = RealPath(info->dlpi_name);
        if (path.compare(0, s->bundle.size() + 1, s->bundle + "/") != 0) return 0;
        s->found = path;
        return 1;
      },
      &search);
  return search.found;
}

bool NothingLeftMapped(const char* library) {
  const std::string still = MappedFromBundle();
  return still.empty() || Fail(still + " is still loaded after " + library + " was unloaded");
}

bool RunAudioLibrary() {
  {
    LV2TestHost host;
    if (!host.Loaded()) return Fail("loading orvanta.so: " + LastLoaderError());
    if (!host.Instantiate()) return Fail("the plug-in was not instantiated");
    float in[2][kFrames], out[2][kFrames];
    for (uint32_t i = 0; i < kFrames; ++i) {
      in[0][i] = std::sin(0.05f * i);
      in[1][i] = 0.5f * std::cos(0.03f * i);
      out[0][i] = out[1][i] = NAN;
    }
    host.ConnectAudio(in[0], in[1], out[0], out[1]);
    host.Run(kFrames);
    for (uint32_t i = 0; i < kFrames; ++i)
      if (!std::isfinite(out[0][i]) || !std::isfinite(out[1][i]))
        return Fail("the block was not rendered");
  }  // cleaned up and unloaded
  return NothingLeftMapped("orvanta.so");
}

void IgnoreWrite(LV2UI_Controller, uint32_t, uint32_t, uint32_t, const void*) {}

bool RunEditorLibrary(const LV2HostWindow& parent) {
  const std::string path = LV2BundlePath() + "/orvanta_ui.so";
  void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!library) return Fail("loading orvanta_ui.so: " + LastLoaderError());
  auto entry = reinterpret_cast<LV2UI_DescriptorFunction>(dlsym(library, "lv2ui_descriptor"));
  const LV2UI_Descriptor* descriptor = entry ? entry(0) : nullptr;
  bool ok = descriptor != nullptr || Fail("orvanta_ui.so offers no descriptor");
  if (ok) {
    const LV2_Feature parentFeature = {LV2_UI__parent, (void*)parent.Id()};
    const LV2_Feature* features[] = {&parentFeature, nullptr};
    LV2UI_Widget widget = nullptr;
    LV2UI_Handle ui =
        descriptor->instantiate(descriptor, "urn:quev:orvanta", LV2BundlePath().c_str(),
                                IgnoreWrite, nullptr, &widget, features);
    ok = (ui && widget) || Fail("the editor was not instantiated in the parent window");
    if (ui) {
      // A port event and idle calls over a few frames make the editor draw, readouts included,
      // and copy to its window.
      const float gain = -6.0f;
      descriptor->port_event(ui, kGainPort, sizeof(gain), 0, &gain);
      auto idle = static_cast<const LV2UI_Idle_Interface*>(
          descriptor->extension_data(LV2_UI__idleInterface));
      ok = ok && (idle || Fail("the editor offers no idle interface"));
      for (int i = 0; ok && i < kIdleCalls; ++i) {
        ok = idle->idle(ui) == 0 || Fail("the editor closed while idling");
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
      }
      descriptor->cleanup(ui);
    }
  }
  dlclose(library);
  return ok && NothingLeftMapped("orvanta_ui.so");
}

}  // namespace

int main(int argc, char** argv) {
  const bool editor = argc > 1 && std::strcmp(argv[1], "--ui") == 0;
  if (!editor) {
    for (int round = 0; round < 2; ++round)
      if (!RunAudioLibrary()) return 1;
    return 0;
  }
  LV2HostWindow parent(400, 300);
  if (!parent.Id()) {
    fprintf(stderr, "no display: the editor library is not checked\n");
    return kSkipped;
  }
  for (int round = 0; round < 2; ++round)
    if (!RunEditorLibrary(parent)) return 1;
  return 0;
}
