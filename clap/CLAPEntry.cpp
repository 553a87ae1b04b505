// The bundle's entry: clap_entry, the plug-in factory and descriptor, and the C tables of
// the plug-in and its extensions, each forwarding to the wrapper. The host is C: nothing may
// unwind through these functions.

#include <cstring>
#include <memory>
#include <mutex>
#include <string>

#include "CLAPPluginIdentity.h"
#include "clap/CLAPEditor.h"
#include "clap/CLAPInterface.h"
#include "clap/IPluginCLAP.h"
#include "graphics/EditorResourceFolder.h"

namespace {

using namespace clap;

// ---- Module state: init and deinit may come more than once (host and wrapper in one process) ----

std::mutex gModuleLock;
int gInitCount = 0;
std::string gResourceFolder;

// The images' folder: one named after the plug-in beside the file, else the file's own.
std::string ResourceFolder(const char* pluginPath) {
  std::string dir = pluginPath ? pluginPath : "";
  const size_t slash = dir.rfind('/');
  dir = slash == std::string::npos ? std::string(".") : dir.substr(0, slash);
  return dir + "/" + kCLAPResourceFolder;
}

bool EntryInit(const char* pluginPath) {
  std::lock_guard<std::mutex> lock(gModuleLock);
  try {
    if (gInitCount++ == 0) gResourceFolder = ResourceFolder(pluginPath);
  } catch (...) {
    --gInitCount;
    return false;
  }
  return true;
}

void EntryDeinit() {
  std::lock_guard<std::mutex> lock(gModuleLock);
  if (gInitCount > 0 && --gInitCount == 0) gResourceFolder.clear();
}

// ---- One instance ----

struct Instance {
  clap_plugin_t mPlugin{};
  std::unique_ptr<IPluginCLAP> mPlug;
  std::unique_ptr<CLAPEditor> mEditor;
};

Instance* Get(const clap_plugin_t* plugin) { return static_cast<Instance*>(plugin->plugin_data); }
IPluginCLAP* Plug(const clap_plugin_t* plugin) { return Get(plugin)->mPlug.get(); }

bool PluginInit(const clap_plugin_t* plugin) { return Plug(plugin)->Init(); }

void PluginDestroy(const clap_plugin_t* plugin) {
  Instance* instance = Get(plugin);
  // The editor lets go of its window and the host's timer before the plug-in goes.
  instance->mEditor.reset();
  if (instance->mPlug->IsActive()) instance->mPlug->Deactivate();
  delete instance;
}

bool PluginActivate(const clap_plugin_t* plugin, double rate, uint32_t minFrames,
                    uint32_t maxFrames) {
  try {
    return Plug(plugin)->Activate(rate, minFrames, maxFrames);
  } catch (...) {
    return false;
  }
}

void PluginDeactivate(const clap_plugin_t* plugin) { Plug(plugin)->Deactivate(); }
bool PluginStartProcessing(const clap_plugin_t* plugin) { return Plug(plugin)->StartProcessing(); }
void PluginStopProcessing(const clap_plugin_t* plugin) { Plug(plugin)->StopProcessing(); }
void PluginReset(const clap_plugin_t* plugin) { Plug(plugin)->ResetProcessing(); }

clap_process_status PluginProcess(const clap_plugin_t* plugin, const clap_process_t* process) {
  return Plug(plugin)->Process(process);
}

void PluginOnMainThread(const clap_plugin_t*) {}

// ---- Extensions ----

uint32_t AudioPortCount(const clap_plugin_t*, bool) { return 1; }

bool AudioPortGet(const clap_plugin_t*, uint32_t index, bool isInput,
                  clap_audio_port_info_t* info) {
  if (index != 0 || !info) return false;
  std::memset(info, 0, sizeof *info);
  info->id = 0;
  std::strcpy(info->name, isInput ? "Input" : "Output");
  info->flags = kAudioPortIsMain | kAudioPortSupports64Bits;
  info->channel_count = 2;
  info->port_type = kPortStereo;
  info->in_place_pair = 0;
  return true;
}

uint32_t ParamsCount(const clap_plugin_t* plugin) { return Plug(plugin)->ParamCount(); }
bool ParamsGetInfo(const clap_plugin_t* plugin, uint32_t index, clap_param_info_t* info) {
  return Plug(plugin)->GetParamInfo(index, info);
}
bool ParamsGetValue(const clap_plugin_t* plugin, clap_id id, double* value) {
  return Plug(plugin)->GetParamValue(id, value);
}
bool ParamsValueToText(const clap_plugin_t* plugin, clap_id id, double value, char* out,
                       uint32_t capacity) {
  return Plug(plugin)->ParamValueToText(id, value, out, capacity);
}
bool ParamsTextToValue(const clap_plugin_t* plugin, clap_id id, const char* text, double* value) {
  return Plug(plugin)->ParamTextToValue(id, text, value);
}
void ParamsFlush(const clap_plugin_t* plugin, const clap_input_events_t* in,
                 const clap_output_events_t* out) {
  Plug(plugin)->Flush(in, out);
}

bool StateSave(const clap_plugin_t* plugin, const clap_ostream_t* stream) {
  try {
    return Plug(plugin)->SaveState(stream);
  } catch (...) {
    return false;
  }
}

bool StateLoad(const clap_plugin_t* plugin, const clap_istream_t* stream) {
  try {
    return Plug(plugin)->LoadState(stream);
  } catch (...) {
    return false;
  }
}

uint32_t LatencyGet(const clap_plugin_t* plugin) {
  const int latency = Plug(plugin)->GetLatency();
  return latency > 0 ? (uint32_t)latency : 0;
}

uint32_t TailGet(const clap_plugin_t* plugin) { return Plug(plugin)->GetTailSize(); }

uint32_t NotePortCount(const clap_plugin_t*, bool) { return 0; }
bool NotePortGet(const clap_plugin_t*, uint32_t, bool, clap_note_port_info_t*) { return false; }

// The editor exists from the host's create to its destroy.
CLAPEditor* Editor(const clap_plugin_t* plugin) { return Get(plugin)->mEditor.get(); }

bool GuiIsAPISupported(const clap_plugin_t*, const char* api, bool isFloating) {
  return CLAPEditor::IsAPISupported(api, isFloating);
}
bool GuiGetPreferredAPI(const clap_plugin_t*, const char** api, bool* isFloating) {
  if (!api || !isFloating) return false;
  *api = kWindowAPIX11;
  *isFloating = false;
  return true;
}
bool GuiCreate(const clap_plugin_t* plugin, const char* api, bool isFloating) {
  Instance* instance = Get(plugin);
  if (instance->mEditor) return false;
  try {
    auto editor = std::make_unique<CLAPEditor>(instance->mPlug.get());
    if (!editor->Create(api, isFloating)) return false;
    instance->mEditor = std::move(editor);
    return true;
  } catch (...) {
    return false;
  }
}
void GuiDestroy(const clap_plugin_t* plugin) { Get(plugin)->mEditor.reset(); }
bool GuiSetScale(const clap_plugin_t* plugin, double scale) {
  return Editor(plugin) && Editor(plugin)->SetScale(scale);
}
bool GuiGetSize(const clap_plugin_t* plugin, uint32_t* w, uint32_t* h) {
  return Editor(plugin) && Editor(plugin)->GetSize(w, h);
}
bool GuiCanResize(const clap_plugin_t*) { return false; }
bool GuiGetResizeHints(const clap_plugin_t*, clap_gui_resize_hints_t*) { return false; }
bool GuiAdjustSize(const clap_plugin_t* plugin, uint32_t* w, uint32_t* h) {
  // The one size there is.
  return Editor(plugin) && Editor(plugin)->GetSize(w, h);
}
bool GuiSetSize(const clap_plugin_t* plugin, uint32_t w, uint32_t h) {
  uint32_t fixedW = 0, fixedH = 0;
  return Editor(plugin) && Editor(plugin)->GetSize(&fixedW, &fixedH) && w == fixedW && h == fixedH;
}
bool GuiSetParent(const clap_plugin_t* plugin, const clap_window_t* window) {
  return Editor(plugin) && Editor(plugin)->SetParent(window);
}
bool GuiSetTransient(const clap_plugin_t*, const clap_window_t*) { return false; }
void GuiSuggestTitle(const clap_plugin_t*, const char*) {}
bool GuiShow(const clap_plugin_t* plugin) { return Editor(plugin) && Editor(plugin)->Show(); }
bool GuiHide(const clap_plugin_t* plugin) { return Editor(plugin) && Editor(plugin)->Hide(); }

void TimerOnTimer(const clap_plugin_t* plugin, clap_id id) {
  if (Editor(plugin)) Editor(plugin)->OnTimer(id);
}
void FDOnFD(const clap_plugin_t* plugin, int fd, uint32_t flags) {
  if (Editor(plugin)) Editor(plugin)->OnFD(fd, flags);
}

constexpr clap_plugin_audio_ports_t kAudioPorts = {AudioPortCount, AudioPortGet};
constexpr clap_plugin_params_t kParams = {ParamsCount,       ParamsGetInfo,     ParamsGetValue,
                                          ParamsValueToText, ParamsTextToValue, ParamsFlush};
constexpr clap_plugin_state_t kState = {StateSave, StateLoad};
constexpr clap_plugin_latency_t kLatency = {LatencyGet};
constexpr clap_plugin_tail_t kTail = {TailGet};
constexpr clap_plugin_note_ports_t kNotePorts = {NotePortCount, NotePortGet};
constexpr clap_plugin_gui_t kGui = {
    GuiIsAPISupported, GuiGetPreferredAPI, GuiCreate,         GuiDestroy,    GuiSetScale,
    GuiGetSize,        GuiCanResize,       GuiGetResizeHints, GuiAdjustSize, GuiSetSize,
    GuiSetParent,      GuiSetTransient,    GuiSuggestTitle,   GuiShow,       GuiHide};
constexpr clap_plugin_timer_support_t kTimerSupport = {TimerOnTimer};
constexpr clap_plugin_posix_fd_support_t kFDSupport = {FDOnFD};

const void* PluginGetExtension(const clap_plugin_t*, const char* id) {
  struct Extension {
    const char* mID;
    const void* mTable;
  };
  static constexpr Extension kExtensions[] = {{kExtAudioPorts, &kAudioPorts},
                                              {kExtParams, &kParams},
                                              {kExtState, &kState},
                                              {kExtGUI, &kGui},
                                              {kExtLatency, &kLatency},
                                              {kExtTail, &kTail},
                                              {kExtNotePorts, &kNotePorts},
                                              {kExtTimerSupport, &kTimerSupport},
                                              {kExtPosixFDSupport, &kFDSupport}};
  if (!id) return nullptr;
  for (const Extension& e : kExtensions)
    if (!std::strcmp(id, e.mID)) return e.mTable;
  return nullptr;
}

// ---- Factory ----

const char* const kFeatures[] = {"audio-effect", "utility", "stereo", nullptr};

const clap_plugin_descriptor_t kDescriptor = {
    kVersion, kCLAPPluginID,    kCLAPPluginName,  kCLAPVendor, kCLAPURL, "",
    "",       kCLAPVersionText, kCLAPDescription, kFeatures};

uint32_t FactoryCount(const clap_plugin_factory_t*) { return 1; }

const clap_plugin_descriptor_t* FactoryDescriptor(const clap_plugin_factory_t*, uint32_t index) {
  return index == 0 ? &kDescriptor : nullptr;
}

const clap_plugin_t* FactoryCreate(const clap_plugin_factory_t*, const clap_host_t* host,
                                   const char* pluginID) {
  if (!host || !IsCompatible(host->clap_version) || !pluginID ||
      std::strcmp(pluginID, kCLAPPluginID) != 0)
    return nullptr;
  try {
    std::string folder;
    {
      std::lock_guard<std::mutex> lock(gModuleLock);
      folder = gResourceFolder;
    }
    // The instance's editor finds its images by name in the folder.
    SetEditorResourceFolder(folder.c_str());
    auto instance = std::make_unique<Instance>();
    instance->mPlug.reset(MakePlug());
    if (!instance->mPlug) return nullptr;
    instance->mPlug->AttachHost(host);
    clap_plugin_t& p = instance->mPlugin;
    p = {&kDescriptor,          instance.get(),       PluginInit,
         PluginDestroy,         PluginActivate,       PluginDeactivate,
         PluginStartProcessing, PluginStopProcessing, PluginReset,
         PluginProcess,         PluginGetExtension,   PluginOnMainThread};
    return &instance.release()->mPlugin;
  } catch (...) {
    return nullptr;
  }
}

constexpr clap_plugin_factory_t kFactory = {FactoryCount, FactoryDescriptor, FactoryCreate};

const void* EntryGetFactory(const char* id) {
  return id && !std::strcmp(id, kPluginFactoryID) ? &kFactory : nullptr;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) const clap::clap_plugin_entry_t clap_entry = {
    clap::kVersion, EntryInit, EntryDeinit, EntryGetFactory};
