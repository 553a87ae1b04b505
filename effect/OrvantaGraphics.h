#pragma once
// The editor engine of the platform the effect is built for, and the editor's layout.

#include "effect/OrvantaIdentity.h"
#include "effect/OrvantaLayout.h"
#include "platform/x11/IGraphicsLinux.h"

class IPluginBase;
class Orvanta;

using OrvantaGraphics = IGraphicsLinux;

namespace orvanta_editor {

constexpr const char* kBundleID = orvanta_identity::kBundleID;
// The maker's web site, opened by a click on the link area.
constexpr const char* kMakerURL = "https://orvanta.example/";

// Resource IDs and file names of the editor's images.
enum EResourceID { kKnobID = 101, kBackgroundID = 102, kFontID = 103, kFaderCapID = 104 };
constexpr const char* kBackgroundFile = "resources/img/orvantaBack.png";
constexpr const char* kKnobFile = "resources/img/knob.png";
constexpr const char* kFaderCapFile = "resources/img/SliderCap.png";
constexpr const char* kFontFile = "resources/img/font-white.png";
constexpr int kFontGlyphs = 95;  // character codes 32..126

// Attachment order of the controls, which is also their drawing and hit-test order.
enum EControl {
  kBackgroundControl = 0,
  kGainKnob,
  kMonoFader,
  kStereoFader,
  kGainReadout,
  kMonoReadout,
  kStereoReadout,
  kVersionLine,
  kLinkArea,
  kNumControls
};

}  // namespace orvanta_editor

// A platform engine of the editor's size for the plug-in, finding its images in the
// effect's bundle; fps 0 takes the engine's default rate.
OrvantaGraphics* MakeGraphics(IPluginBase* plug, int w, int h, int fps);
