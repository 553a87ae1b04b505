#include "ToolAnalyze.h"

#include <cstdio>

#include "StereoImagePlot.h"
#include "ToolUnit.h"

std::string ToolSettingsLabel(const HostUnit& unit, const std::string& preset) {
  std::string label = preset.empty() ? "" : preset + ": ";
  const auto parameters = ToolParameters(unit);
  const auto values = ToolParameterValues(unit);
  for (size_t i = 0; i < parameters.size() && i < values.size(); ++i) {
    char value[48];
    snprintf(value, sizeof(value), "%g %s", values[i], parameters[i].unit.c_str());
    label += (i ? ", " : "") + parameters[i].name + " " + value;
  }
  return label;
}

void ToolMeasure(const AudioFile& audio, StereoImageMeter* meter) {
  constexpr size_t kBlock = 4096;
  const size_t frames = audio.Frames();
  const auto& left = audio.channels[0];
  const auto& right = audio.channels.size() > 1 ? audio.channels[1] : audio.channels[0];
  for (size_t at = 0; at < frames; at += kBlock)
    meter->Add(left.data() + at, right.data() + at, std::min(kBlock, frames - at));
  meter->Finish();
}

int ToolAnalyze(HostUnit& unit, const AnalyzeRequest& request) {
  std::string error;
  AudioFile in, out;
  auto fail = [](const std::string& message) {
    fprintf(stderr, "orvanta: %s\n", message.c_str());
    return 1;
  };
  if (!ReadAudioFile(request.input, &in, &error)) return fail(error);
  if (in.channels.size() > 2)
    return fail(request.input + ": " + std::to_string(in.channels.size()) +
                " channels; a stereo image needs one or two");
  // A mono file is the same signal on both sides: the purest mono image there is.
  if (in.channels.size() == 1) in.channels.push_back(in.channels[0]);
  StereoImageMeter input(in.sampleRate), output(in.sampleRate);
  ToolMeasure(in, &input);
  if (request.throughUnit) {
    if (!RenderThroughUnit(unit, in, &out, request.render, &error)) return fail(error);
    ToolMeasure(out, &output);
  }
  StereoImageSubject subject{request.input, in.sampleRate, request.settings};
  const StereoImageFigures before = input.Figures(), after = output.Figures();
  const StereoImageFigures* measuredAfter = request.throughUnit ? &after : nullptr;
  if (!request.plot.empty() &&
      !WriteStereoImagePlot(request.plot, subject, input, request.throughUnit ? &output : nullptr,
                            &error))
    return fail(error);
  fputs((request.json ? StereoImageJson(subject, before, measuredAfter)
                      : StereoImageTable(subject, before, measuredAfter))
            .c_str(),
        stdout);
  if (!request.plot.empty() && !request.json) printf("wrote %s\n", request.plot.c_str());
  return 0;
}
