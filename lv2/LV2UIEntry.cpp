// The editor library's entry: an X11 UI showing the plug-in's own editor, inside the host's
// parent window or, without one, in a window of its own opened through the show interface.
// The editor works on its own instance of the plug-in, kept in step with the audio instance
// through the port protocol: the editor's changes are written to the control ports, and the
// host's port events move the editor. The host is C: nothing may unwind through here.

#include <lv2/atom/atom.h>
#include <lv2/options/options.h>
#include <lv2/ui/ui.h>
#include <lv2/urid/urid.h>

#include <cstdint>
#include <cstring>
#include <memory>

#include "graphics/EditorResourceFolder.h"
#include "lv2/IPluginLV2.h"
#include "lv2/LV2Identity.h"
#include "platform/x11/IGraphicsLinux.h"

namespace {

struct UIInstance {
  ~UIInstance() {
    if (mGraphics) mGraphics->CloseWindow();
    delete mPlug;  // deletes the editor
  }

  IPluginLV2* mPlug = nullptr;
  IGraphicsLinux* mGraphics = nullptr;  // owned by mPlug
  void* mParent = nullptr;
  bool mOpened = false;  // a window was opened: idle reports when it is gone
};

UIInstance* Get(LV2UI_Handle handle) { return static_cast<UIInstance*>(handle); }

const void* FindFeature(const LV2_Feature* const* features, const char* uri) {
  for (int i = 0; features && features[i]; ++i)
    if (features[i]->URI && std::strcmp(features[i]->URI, uri) == 0) return features[i]->data;
  return nullptr;
}

void Touch(void* handle, uint32_t port, bool grabbed) {
  auto* touch = static_cast<const LV2UI_Touch*>(handle);
  touch->touch(touch->handle, port, grabbed);
}

int Resize(void* handle, int w, int h) {
  auto* resize = static_cast<const LV2UI_Resize*>(handle);
  return resize->ui_resize(resize->handle, w, h);
}

// The host's ui:scaleFactor option (a float), or 0 when it gives none.
double HostScaleFactor(const LV2_Feature* const* features) {
  auto* options =
      static_cast<const LV2_Options_Option*>(FindFeature(features, LV2_OPTIONS__options));
  auto* map = static_cast<const LV2_URID_Map*>(FindFeature(features, LV2_URID__map));
  if (!options || !map || !map->map) return 0;
  const LV2_URID key = map->map(map->handle, LV2_UI__scaleFactor);
  const LV2_URID type = map->map(map->handle, LV2_ATOM__Float);
  for (const LV2_Options_Option* o = options; o->key; ++o) {
    if (o->key == key && o->type == type && o->size == sizeof(float) && o->value)
      return *static_cast<const float*>(o->value);
  }
  return 0;
}

bool OpenWindow(UIInstance* ui) {
  if (!ui->mGraphics->OpenWindow(ui->mParent)) return false;
  ui->mOpened = true;
  return true;
}

LV2UI_Handle Instantiate(const LV2UI_Descriptor*, const char* pluginURI, const char* bundlePath,
                         LV2UI_Write_Function write, LV2UI_Controller controller,
                         LV2UI_Widget* widget, const LV2_Feature* const* features) {
  if (!pluginURI || std::strcmp(pluginURI, kLV2PluginURI) != 0) return nullptr;
  try {
    // The editor finds its images by name in the bundle.
    SetEditorResourceFolder(bundlePath);
    auto ui = std::make_unique<UIInstance>();
    ui->mPlug = MakePlug();
    if (!ui->mPlug) return nullptr;
    ui->mGraphics = dynamic_cast<IGraphicsLinux*>(ui->mPlug->MakeEditorOnce());
    if (!ui->mGraphics) return nullptr;
    ui->mGraphics->SetHostScaleFactor(HostScaleFactor(features));

    auto* touch = static_cast<const LV2UI_Touch*>(FindFeature(features, LV2_UI__touch));
    auto* resize = static_cast<const LV2UI_Resize*>(FindFeature(features, LV2_UI__resize));
    ui->mPlug->SetUIHost(
        write, controller, touch && touch->touch ? Touch : nullptr, const_cast<LV2UI_Touch*>(touch),
        resize && resize->ui_resize ? Resize : nullptr, const_cast<LV2UI_Resize*>(resize));
    {
      // The readouts show the defaults until the host sends the ports' values.
      UTL_MutexLock lock(ui->mPlug->GetMutex());
      ui->mPlug->OnParamReset();
    }

    ui->mParent = const_cast<void*>(FindFeature(features, LV2_UI__parent));
    if (widget) *widget = nullptr;
    if (ui->mParent) {
      if (!OpenWindow(ui.get())) return nullptr;
      if (widget) *widget = ui->mGraphics->GetWindow();
      // The window's size, twice the editor's on a high-density screen.
      const int scale = ui->mGraphics->WindowScale();
      ui->mPlug->ResizeGraphics(ui->mGraphics->Width() * scale, ui->mGraphics->Height() * scale);
    }
    return ui.release();
  } catch (...) {
    return nullptr;
  }
}

void Cleanup(LV2UI_Handle handle) { delete Get(handle); }

void PortEvent(LV2UI_Handle handle, uint32_t port, uint32_t bufferSize, uint32_t format,
               const void* buffer) {
  Get(handle)->mPlug->PortEvent(port, bufferSize, format, buffer);
}

int Idle(LV2UI_Handle handle) {
  UIInstance* ui = Get(handle);
  if (!ui->mOpened) return 0;
  return ui->mGraphics->ProcessEvents() ? 0 : 1;
}

int Show(LV2UI_Handle handle) {
  UIInstance* ui = Get(handle);
  if (ui->mGraphics->GetWindow()) return 0;
  return OpenWindow(ui) ? 0 : 1;
}

int Hide(LV2UI_Handle handle) {
  UIInstance* ui = Get(handle);
  ui->mGraphics->CloseWindow();
  ui->mOpened = false;
  return 0;
}

const void* ExtensionData(const char* uri) {
  static const LV2UI_Idle_Interface sIdle = {Idle};
  static const LV2UI_Show_Interface sShow = {Show, Hide};
  if (!uri) return nullptr;
  if (std::strcmp(uri, LV2_UI__idleInterface) == 0) return &sIdle;
  if (std::strcmp(uri, LV2_UI__showInterface) == 0) return &sShow;
  return nullptr;
}

const LV2UI_Descriptor kDescriptor = {kLV2UIURI, Instantiate, Cleanup, PortEvent, ExtensionData};

}  // namespace

LV2_SYMBOL_EXPORT const LV2UI_Descriptor* lv2ui_descriptor(uint32_t index) {
  return index == 0 ? &kDescriptor : nullptr;
}
