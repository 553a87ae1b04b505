#include "framework/Hosts.h"

#include <cstring>

#include "framework/Log.h"

namespace {
struct HostSearch {
  const char* mText;
  EHost mHost;
};

// Searched in this order; the first match decides ("cubase live" is Cubase).
constexpr HostSearch kSearchOrder[] = {
    {"cubase", kHostCubase},
    {"reaper", kHostReaper},
    {"nuendo", kHostNuendo},
    {"cakewalk", kHostSonar},
    {"samplitude", kHostSamplitude},
    {"fruity", kHostFL},
    {"live", kHostAbletonLive},
    {"melodyne", kHostMelodyneStudio},
    {"vstmanlib", kHostVSTScanner},
    {"aulab", kHostAULab},
    {"garageband", kHostGarageBand},
    {"forte", kHostForte},
    {"chainer", kHostChainer},
    {"audition", kHostAudition},
    {"orion", kHostOrion},
    {"sawstudio", kHostSAWStudio},
    {"logic", kHostLogic},
    {"digital", kHostDigitalPerformer},
    {"audiomulch", kHostAudioMulch},
    {"presonus", kHostStudioOne},
    {"vst3plugintesthost", kHostVST3TestHost},
    {"protools", kHostProTools},
    {"ardour", kHostArdour},
    {"standalone", kHostStandalone},
};

constexpr const char* kHostNames[] = {
    "Unknown",    "Reaper",     "ProTools",   "Cubase",
    "Nuendo",     "Sonar",      "Vegas",      "FLStudio",
    "Samplitude", "Live",       "Unknown",    "Unknown",
    "Unknown",    "VSTScanner", "AULab",      "Forte",
    "Chainer",    "Audition",   "Orion",      "Unknown",
    "SAWStudio",  "Logic",      "GarageBand", "DigitalPerformer",
    "Standalone", "AudioMulch", "StudioOne",  "VST3PluginTestHost",
    "Ardour",
};
}  // namespace

EHost LookUpHost(const char* name) {
  if (!name) return kHostUnknown;
  // Names longer than the search buffer are cut rather than refused: the product name
  // sits at the start of every identifier seen in practice.
  char cut[kMaxHostNameLength + 1];
  size_t len = strnlen(name, kMaxHostNameLength);
  memcpy(cut, name, len);
  cut[len] = '\0';
  char lower[kMaxHostNameLength + 1];
  ToLower(lower, cut);
  for (const HostSearch& s : kSearchOrder)
    if (strstr(lower, s.mText)) return s.mHost;
  return kHostUnknown;
}

void GetHostNameStr(EHost host, char* out) {
  if (!out) return;
  int n = (int)(sizeof(kHostNames) / sizeof(kHostNames[0]));
  const char* name = (host >= 0 && host < n) ? kHostNames[host] : "Unknown";
  strcpy(out, name);
}
