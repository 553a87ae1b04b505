#include "ToolEffectCopy.h"

#include <unistd.h>

#include <cstdio>
#include <memory>

#include "effect/Orvanta.h"
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

std::string Temporary(const std::string& path) {
  return path + ".part-" + std::to_string(getpid());
}

bool Publish(const std::string& temporary, const std::string& path, std::string* error) {
  if (rename(temporary.c_str(), path.c_str()) == 0) return true;
  unlink(temporary.c_str());
  *error = path + ": cannot be written";
  return false;
}

}  // namespace

bool DrawEditorSnapshot(const std::string& bundlePath, const std::vector<float>& values,
                        const std::string& pngPath, std::string* error) {
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
  for (int i = 0; i < effect.NParams(); ++i)
    graphics->SetParameterFromPlug(i, effect.GetParam(i)->Value(), false);
  graphics->SetAllControlsDirty();
  IRECT all(0, 0, graphics->Width(), graphics->Height());
  graphics->Draw(&all);
  const std::string temporary = Temporary(pngPath);
  if (!editor_snapshot::WriteEditorPng(effect, temporary.c_str())) {
    unlink(temporary.c_str());
    *error = pngPath + ": cannot be written";
    return false;
  }
  return Publish(temporary, pngPath, error);
}

bool WriteProgramFile(const std::vector<float>& values, const std::string& path, bool bank,
                      std::string* error) {
  auto plug = MakeEffect(values);
  const std::string temporary = Temporary(path);
  UTL_String file(temporary.c_str());
  if (!(bank ? plug->SaveBankAsFXB(&file) : plug->SaveProgramAsFXP(&file))) {
    unlink(temporary.c_str());
    *error = path + ": cannot be written";
    return false;
  }
  return Publish(temporary, path, error);
}

bool ReadProgramFile(const std::string& path, bool bank, std::vector<float>* values,
                     std::string* error) {
  if (access(path.c_str(), R_OK) != 0) {
    *error = path + ": no such file or not readable";
    return false;
  }
  std::unique_ptr<OrvantaWrapper> plug(MakePlug());
  UTL_String file(path.c_str());
  if (!(bank ? plug->LoadBankFromFXB(&file) : plug->LoadProgramFromFXP(&file))) {
    *error = path + ": not an " + (bank ? "FXB bank" : "FXP program") + " of this effect";
    return false;
  }
  values->clear();
  for (int i = 0; i < plug->NParams(); ++i)
    values->push_back(static_cast<float>(plug->GetParam(i)->Value()));
  return true;
}
