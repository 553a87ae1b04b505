#include "platform/x11/UiScale.h"

#include <cstdlib>
#include <cstring>

namespace viewrules {

namespace {

// The positive number the text starts with, or 0.
double Number(const char* text) {
  if (!text || !*text) return 0;
  char* end = nullptr;
  const double value = std::strtod(text, &end);
  return end != text && value > 0 ? value : 0;
}

}  // namespace

int ChooseUiScale(const ScaleInputs& in) {
  if (in.override && (std::strcmp(in.override, "1") == 0 || std::strcmp(in.override, "2") == 0))
    return in.override[0] - '0';
  if (in.hostFactor > 0) return in.hostFactor >= 1.5 ? 2 : 1;
  if (const double gdk = Number(in.gdkScale); gdk > 0) return gdk >= 2 ? 2 : 1;
  return in.xftDpi >= 144 ? 2 : 1;
}

std::string UiScaleOverrideProblem(const char* override, int chosen) {
  if (!override || !*override || std::strcmp(override, "1") == 0 || std::strcmp(override, "2") == 0)
    return "";
  return "ORVANTA_UI_SCALE=" + std::string(override) + " is not a scale the editor has; it takes " +
         "1 or 2 (opening at " + std::to_string(chosen) + "x)";
}

double XftDpiFromResources(const char* resources) {
  static const char kName[] = "Xft.dpi:";
  for (const char* line = resources; line && *line;) {
    if (std::strncmp(line, kName, sizeof kName - 1) == 0) {
      const char* value = line + sizeof kName - 1;
      while (*value == ' ' || *value == '\t') ++value;
      return Number(value);
    }
    line = std::strchr(line, '\n');
    if (line) ++line;
  }
  return 0;
}

}  // namespace viewrules
