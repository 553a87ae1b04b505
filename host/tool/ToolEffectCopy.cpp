#include "ToolEffectCopy.h"

#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>

#include "effect/Orvanta.h"
#include "effect/OrvantaIdentity.h"
#include "host/HostComponent.h"
#include "host/SafeFileWriter.h"
#include "tools/editor-snapshot/EditorSnapshot.h"

namespace {

std::unique_ptr<OrvantaWrapper> MakeEffect(const std::vector<float>& values) {
  std::unique_ptr<OrvantaWrapper> plug(MakePlug());
  for (int i = 0; i < plug->NParams() && i < static_cast<int>(values.size()); ++i) {
    plug->GetParam(i)->Set(values[static_cast<size_t>(i)]);
    plug->OnParamChange(i);
  }
  return plug;
}

// The editor's images, each of which the snapshot needs.
struct EditorImage {
  int id;
  const char* file;
};
constexpr EditorImage kEditorImages[] = {
    {orvanta_editor::kBackgroundID, orvanta_editor::kBackgroundFile},
    {orvanta_editor::kKnobID, orvanta_editor::kKnobFile},
    {orvanta_editor::kFaderCapID, orvanta_editor::kFaderCapFile},
    {orvanta_editor::kFontID, orvanta_editor::kFontFile},
};

// The framework writes program files only to a path. It gets a file in memory, whose bytes
// then go out through the safe writer like every other file.
bool WriteThroughMemory(const std::string& path, const std::function<bool(UTL_String*)>& save,
                        std::string* error) {
  const int fd = memfd_create("orvanta-program", MFD_CLOEXEC);
  if (fd < 0) {
    *error = path + ": cannot be written (" + strerror(errno) + ")";
    return false;
  }
  UTL_String memory(("/proc/self/fd/" + std::to_string(fd)).c_str());
  std::vector<char> bytes;
  struct stat status;
  bool ok = save(&memory) && fstat(fd, &status) == 0;
  if (ok) {
    bytes.resize(static_cast<size_t>(status.st_size));
    ok = pread(fd, bytes.data(), bytes.size(), 0) == static_cast<ssize_t>(bytes.size());
  }
  close(fd);
  if (!ok) {
    *error = path + ": the effect could not make the file";
    return false;
  }
  return WriteFileSafely(path, bytes.data(), bytes.size(), error);
}

}  // namespace

bool IsOrvantaComponent(const HostComponent& component) {
  return component.Description().componentSubType == HostFourCC(orvanta_identity::kUniqueID) &&
         component.Description().componentManufacturer == HostFourCC(orvanta_identity::kMakerID);
}

bool DrawEditorSnapshot(const std::string& bundlePath, const std::vector<float>& values,
                        const std::string& pngPath, std::string* error, int scale) {
  if (!editor_snapshot::UseBundle(bundlePath.c_str())) {
    *error = bundlePath + ": not a bundle with the editor's images";
    return false;
  }
  auto plug = MakeEffect(values);
  Orvanta& effect = static_cast<Orvanta&>(*plug);
  IGraphics* graphics = effect.GetGUI();
  if (!graphics) {
    *error = "the effect made no editor";
    return false;
  }
  // A missing image would draw as nothing, and the picture would lie about the editor.
  for (const EditorImage& image : kEditorImages) {
    if (!graphics->LoadIBitmap(image.id, image.file).mRaster) {
      *error = bundlePath + ": the editor's image " + image.file + " is missing or unreadable";
      return false;
    }
  }
  for (int i = 0; i < effect.NParams(); ++i)
    graphics->SetParameterFromPlug(i, effect.GetParam(i)->Value(), false);
  graphics->SetAllControlsDirty();
  IRECT all(0, 0, graphics->Width(), graphics->Height());
  graphics->Draw(&all);
  return editor_snapshot::WriteEditorPng(effect, pngPath.c_str(), error, scale);
}

bool WriteProgramFile(const std::vector<float>& values, const std::string& name,
                      const std::string& path, bool bank, std::string* error) {
  auto plug = MakeEffect(values);
  // A program carries the name of the present preset, which the copy's is not.
  if (!bank) plug->ModifyCurrentPreset(name.c_str());
  return WriteThroughMemory(
      path,
      [&](UTL_String* file) {
        return bank ? plug->SaveBankAsFXB(file) : plug->SaveProgramAsFXP(file);
      },
      error);
}

bool ReadProgramFile(const std::string& path, bool bank, std::vector<float>* values,
                     std::string* error, std::vector<ToolProgram>* programs, int* current) {
  if (access(path.c_str(), R_OK) != 0) {
    *error = path + ": no such file or not readable";
    return false;
  }
  std::unique_ptr<OrvantaWrapper> plug(MakePlug());
  UTL_String file(path.c_str());
  using Fault = IPluginBase::PresetFileFault;
  Fault fault = Fault::kNone;
  const bool loaded =
      bank ? plug->LoadBankFromFXB(&file, &fault) : plug->LoadProgramFromFXP(&file, &fault);
  const std::string kind = bank ? "FXB bank" : "FXP program";
  switch (loaded ? Fault::kNone : fault) {
    case Fault::kNone:
      break;
    case Fault::kTruncated:
      *error = path + ": truncated; the " + kind + " ends before the " +
               (bank ? "programs" : "values") + " its header promises";
      return false;
    case Fault::kMalformed:
      *error = path + ": malformed; the " + kind + "'s header does not describe its programs";
      return false;
    case Fault::kUnreadable:
      *error = path + ": cannot be read";
      return false;
    case Fault::kForeign:
      *error = path + ": not an " + kind + " of this effect";
      return false;
  }
  auto valuesNow = [&] {
    std::vector<float> now;
    for (int i = 0; i < plug->NParams(); ++i)
      now.push_back(static_cast<float>(plug->GetParam(i)->Value()));
    return now;
  };
  *values = valuesNow();
  if (programs) {
    // The bank filled the presets from the first; its count is in its header, big-endian.
    unsigned char count[4] = {};
    FILE* in = fopen(path.c_str(), "rb");
    const bool counted = in && fseek(in, 24, SEEK_SET) == 0 && fread(count, 1, 4, in) == 4;
    if (in) fclose(in);
    const int held = counted ? count[0] << 24 | count[1] << 16 | count[2] << 8 | count[3] : 0;
    if (current) *current = plug->GetCurrentPresetIdx();
    programs->clear();
    for (int p = 0; p < std::min(held, plug->NPresets()); ++p) {
      plug->RestorePreset(p);
      programs->push_back({plug->GetPresetName(p), valuesNow()});
    }
  }
  return true;
}
