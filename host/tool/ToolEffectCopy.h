#pragma once
// The effect itself, linked into the tool for what its entry does not offer a host: drawing the
// editor without a window, and program and bank files in the FXP/FXB format. The values come
// from (and go back to) the unit opened through the entry, so both always agree.

#include <string>
#include <vector>

class HostComponent;

// Whether the component is Orvanta (its codes), so that the copy stands for it. Another unit
// built on the same framework has other parameters, presets and artwork.
bool IsOrvantaComponent(const HostComponent& component);

// Draws the editor showing these parameter values (in parameter order) into a PNG file,
// written safely. False with a message for a bundle missing an editor image or an unwritable
// path.
bool DrawEditorSnapshot(const std::string& bundlePath, const std::vector<float>& values,
                        const std::string& pngPath, std::string* error, int scale = 1);

// Writes the values as one program (FXP) of that name, or the effect's presets as a bank (FXB),
// safely. False with a message.
bool WriteProgramFile(const std::vector<float>& values, const std::string& name,
                      const std::string& path, bool bank, std::string* error);
// A program of a file, its values in parameter order and in the parameters' units.
struct ToolProgram {
  std::string name;
  std::vector<float> values;
};

// Reads a program file (or the program a bank file makes current) into values, and a bank's
// programs into `programs` when given (`current` the index of the one made current). False
// with a message for a missing, foreign, truncated or malformed file.
bool ReadProgramFile(const std::string& path, bool bank, std::vector<float>* values,
                     std::string* error, std::vector<ToolProgram>* programs = nullptr,
                     int* current = nullptr);
