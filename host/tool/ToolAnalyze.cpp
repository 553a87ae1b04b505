#include "ToolAnalyze.h"

#include <cstdio>
#include <vector>

#include "StereoImagePlot.h"
#include "ToolUnit.h"

std::string ToolSettingsLabel(const HostUnit& unit, const std::string& name) {
  std::string label = name.empty() ? "" : name + ": ";
  const auto parameters = ToolParameters(unit);
  const auto values = ToolParameterValues(unit);
  for (size_t i = 0; i < parameters.size() && i < values.size(); ++i) {
    char value[48];
    snprintf(value, sizeof(value), "%g %s", values[i], parameters[i].unit.c_str());
    label += (i ? ", " : "") + parameters[i].name + " " + value;
  }
  return label;
}

int ToolAnalyze(HostUnit& unit, const AnalyzeRequest& request) {
  auto fail = [](const std::string& message) {
    fprintf(stderr, "orvanta: %s\n", message.c_str());
    return 1;
  };
  std::string error;
  AudioReader reader;
  if (!reader.Open(request.input, &error)) return fail(error);
  if (reader.Channels() > 2)
    return fail(request.input + ": " + std::to_string(reader.Channels()) +
                " channels; a stereo image needs one or two");
  StereoImageMeter input(reader.SampleRate()), output(reader.SampleRate());
  if (request.throughUnit) {
    RenderOptions options = request.render;
    // A mono file is the same signal on both sides: the purest mono image there is.
    options.upmix = true;
    RenderSummary summary;
    if (!RenderStream(unit, reader, nullptr, options, &summary, &error,
                      [&](const float* const* in, const float* const* out, size_t frames) {
                        input.Add(in[0], in[1], frames);
                        output.Add(out[0], out[1], frames);
                      }))
      return fail(error);
  } else {
    constexpr size_t kBlock = 4096;
    std::vector<float> left(kBlock), right(kBlock);
    float* const channels[2] = {left.data(), right.data()};
    const float* second = reader.Channels() == 2 ? right.data() : left.data();
    while (const size_t frames = reader.Read(channels, kBlock))
      input.Add(left.data(), second, frames);
    if (!reader.Finish(&error)) return fail(error);
  }
  input.Finish();
  output.Finish();
  StereoImageSubject subject{request.input, reader.SampleRate(), request.settings, ""};
  StereoImageFigures before = input.Figures();
  const StereoImageFigures after = output.Figures();
  before.beyondFloat = reader.BeyondFloatRange();
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
